// File -> Identity registry...: chooses the registry of issued identities that every identity
// page's runs and single writes take their identities from (a SQLite file, or a PostgreSQL URI),
// for the rest of the session, and shows how many identities of each format it holds.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace rivelo {

class RegistryDlg : public QDialog {
  Q_OBJECT

 public:
  explicit RegistryDlg(QWidget* parent = nullptr);

  QLineEdit& FileField() const { return *file_; }
  QLineEdit& UriField() const { return *uri_; }
  QPushButton& UseButton() const { return *use_; }
  QPushButton& NoneButton() const { return *none_; }
  QLabel& StateLabel() const { return *state_; }

 public slots:
  void OnChoose();
  // Opens the URI when one is entered, else the file, and puts it in force.
  void OnUse();
  void OnNone();

 private:
  void ShowState();

  QLineEdit* file_;
  QLineEdit* uri_;
  QPushButton* use_;
  QPushButton* none_;
  QLabel* state_;
};

// Runs the dialog (through Dialogs). The menu entry's action.
void ShowRegistryDialog(QWidget* parent);
// The registry in force for the window's writes; empty: none.
std::string WindowRegistryWhere();

}  // namespace rivelo
