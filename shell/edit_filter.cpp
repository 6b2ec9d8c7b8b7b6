#include "shell/edit_filter.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace rivelo::edit_filter {

bool CharAccepted(QChar c, Digits digits) {
  const char16_t u = c.unicode();
  if (u == 8 || (u >= '0' && u <= '9')) return true;
  return digits == Digits::Hex && ((u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F'));
}

bool KeyPasses(const QKeyEvent& event, int& ctrlHeld, Digits digits) {
  if (event.key() == Qt::Key_Control) {
    ctrlHeld = 1;
    return true;
  }
  // A Ctrl chord can arrive without the Ctrl press (focus came with Ctrl already down).
  if (ctrlHeld != 0 || (event.modifiers() & Qt::ControlModifier)) return true;
  switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    // The dialog's own keys go on to the edit, which hands them to its parent.
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return true;
    default:
      break;
  }
  const QString text = event.text();
  if (text.isEmpty()) return false;  // Home, End, Up, Down, Insert and the like
  for (QChar c : text) {
    if (!CharAccepted(c, digits)) return false;
  }
  return true;
}

void KeyReleased(const QKeyEvent& event, int& ctrlHeld) {
  if (event.key() == Qt::Key_Control) ctrlHeld = 0;
}

QString FilterCommit(const QString& commit, int ctrlHeld, Digits digits) {
  if (ctrlHeld != 0) return commit;
  QString kept;
  for (QChar c : commit) {
    if (CharAccepted(c, digits) && c.unicode() != 8) kept += c;
  }
  return kept;
}

int CtrlDownNow() {
  return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) ? 1 : 0;
}

}  // namespace rivelo::edit_filter
