// Card -> "Inspect tag...": says which chip is on the reader (T5577, EM4305 or a read-only
// tag), its configuration in words, its protection, locks, UID and identity, in the build's
// language. The password is used only on a chip that needs one, and never shown.
//
// Run through the Dialogs seam (ExecDialog), so tests drive it without a modal loop.
#pragma once

#include <QDialog>
#include <QString>

#include "batch/inspect.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace rivelo {

// The report in the build's language, one line a fact.
QString InspectReportText(const InspectReport& report);

class InspectDlg : public QDialog {
  Q_OBJECT

 public:
  explicit InspectDlg(QWidget* parent = nullptr);

  QLineEdit* password = nullptr;
  QPushButton* inspectButton = nullptr;
  QPlainTextEdit* report = nullptr;

  void OnInspect();
};

// Opens the dialog over parent (the Card menu's entry).
void OpenInspectDialog(QWidget* parent);

// Saves a backup of the tag on the reader before an irreversible step (into the data folder,
// batch/tag_backup.h); when none can be made, the operator decides whether to go on.
bool BackUpTagFirst(QWidget* parent, const std::optional<TagBytes4>& password);

}  // namespace rivelo
