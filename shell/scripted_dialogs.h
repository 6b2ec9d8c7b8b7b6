// Dialogs that answer from a script instead of asking anybody; for tests. Installed for the
// lifetime of the object. Every request is recorded.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "shell/dialogs.h"

namespace rivelo {

class ScriptedDialogs : public Dialogs {
 public:
  struct Request {
    enum class Kind { Message, OpenFile, Folder, Custom } kind = Kind::Message;
    QString text;     // message text, file filter, folder title or dialog title
    QString caption;  // message boxes only
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
  };

  ScriptedDialogs();
  ~ScriptedDialogs() override;
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  // Answers are taken in order. With none left, a message box gets its first button
  // (Ok, Yes or Retry) and the choosers are cancelled.
  std::deque<DialogAnswer> messageAnswers;
  std::deque<QString> files;
  std::deque<QString> folders;
  // Plays the user of one of the program's own dialogs: it may fill in the dialog's controls
  // and returns the result code. Without it such dialogs are rejected.
  std::function<int(QDialog&)> customAnswer;

  std::vector<Request> requests;

  DialogAnswer MessageBox(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                          MessageButtons buttons) override;
  QString OpenFile(QWidget* parent, const QString& filter) override;
  QString ChooseFolder(QWidget* parent, const QString& title) override;
  int Exec(QDialog& dialog) override;

 private:
  Dialogs* previous_;
};

}  // namespace rivelo
