// Every modal dialog of the program goes through this interface, so that tests can answer
// them without a modal loop.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace rivelo {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
// The button that closed a message box (Escape or the close box gives Cancel, or No for YesNo).
enum class DialogAnswer { Ok, Cancel, Yes, No, Retry };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual DialogAnswer MessageBox(QWidget* parent, const QString& text, const QString& caption,
                                  MessageIcon icon, MessageButtons buttons) = 0;
  // filter in Qt's form, e.g. "Text (*.txt);;All files (*)". Empty when cancelled.
  virtual QString OpenFile(QWidget* parent, const QString& filter) = 0;
  // Empty when cancelled.
  virtual QString ChooseFolder(QWidget* parent, const QString& title) = 0;
  // Runs one of the program's own modal dialogs (About, word lock); returns its result code
  // (QDialog::Accepted or QDialog::Rejected).
  virtual int Exec(QDialog& dialog) = 0;
};

// The dialogs in use: the Qt ones unless another set is installed.
Dialogs& CurrentDialogs();
// Installs dialogs (nullptr restores the Qt ones); returns the previously installed set.
// The caller keeps ownership.
Dialogs* SetDialogs(Dialogs* dialogs);

// Shorthands for the calls above.
inline DialogAnswer ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                                MessageIcon icon = MessageIcon::None,
                                MessageButtons buttons = MessageButtons::Ok) {
  return CurrentDialogs().MessageBox(parent, text, caption, icon, buttons);
}
inline QString ChooseOpenFile(QWidget* parent, const QString& filter) {
  return CurrentDialogs().OpenFile(parent, filter);
}
inline QString ChooseFolder(QWidget* parent, const QString& title) {
  return CurrentDialogs().ChooseFolder(parent, title);
}
inline int ExecDialog(QDialog& dialog) { return CurrentDialogs().Exec(dialog); }

}  // namespace rivelo
