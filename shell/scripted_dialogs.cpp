#include "shell/scripted_dialogs.h"

#include <QDialog>

namespace rivelo {

ScriptedDialogs::ScriptedDialogs() : previous_(SetDialogs(this)) {}

ScriptedDialogs::~ScriptedDialogs() { SetDialogs(previous_); }

DialogAnswer ScriptedDialogs::MessageBox(QWidget*, const QString& text, const QString& caption, MessageIcon icon,
                                         MessageButtons buttons) {
  requests.push_back({Request::Kind::Message, text, caption, icon, buttons});
  if (!messageAnswers.empty()) {
    const DialogAnswer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
      return DialogAnswer::Yes;
    case MessageButtons::RetryCancel:
      return DialogAnswer::Retry;
    default:
      return DialogAnswer::Ok;
  }
}

QString ScriptedDialogs::OpenFile(QWidget*, const QString& filter) {
  requests.push_back({Request::Kind::OpenFile, filter, {}, MessageIcon::None, MessageButtons::Ok});
  if (files.empty()) return {};
  QString path = files.front();
  files.pop_front();
  return path;
}

QString ScriptedDialogs::ChooseFolder(QWidget*, const QString& title) {
  requests.push_back({Request::Kind::Folder, title, {}, MessageIcon::None, MessageButtons::Ok});
  if (folders.empty()) return {};
  QString path = folders.front();
  folders.pop_front();
  return path;
}

int ScriptedDialogs::Exec(QDialog& dialog) {
  requests.push_back({Request::Kind::Custom, dialog.windowTitle(), {}, MessageIcon::None, MessageButtons::Ok});
  return customAnswer ? customAnswer(dialog) : QDialog::Rejected;
}

}  // namespace rivelo
