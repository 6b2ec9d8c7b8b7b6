#include "shell/edit_filter.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
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

namespace rivelo {

CFilteredEdit::CFilteredEdit(edit_filter::Digits digits, QWidget* parent) : QLineEdit(parent), digits_(digits) {
  // Dropped text would bypass the filter just as unfiltered typing would.
  setAcceptDrops(false);
}

void CFilteredEdit::keyPressEvent(QKeyEvent* event) {
  if (edit_filter::KeyPasses(*event, CtrlHeld, digits_)) {
    QLineEdit::keyPressEvent(event);
  } else {
    event->accept();
  }
}

void CFilteredEdit::keyReleaseEvent(QKeyEvent* event) {
  edit_filter::KeyReleased(*event, CtrlHeld);
  QLineEdit::keyReleaseEvent(event);
}

void CFilteredEdit::inputMethodEvent(QInputMethodEvent* event) {
  QInputMethodEvent filtered(event->preeditString(), event->attributes());
  filtered.setCommitString(edit_filter::FilterCommit(event->commitString(), CtrlHeld, digits_),
                           event->replacementStart(), event->replacementLength());
  QLineEdit::inputMethodEvent(&filtered);
}

void CFilteredEdit::focusInEvent(QFocusEvent* event) {
  // A Ctrl released while another window had the focus must not leave the filter open.
  CtrlHeld = edit_filter::CtrlDownNow();
  QLineEdit::focusInEvent(event);
}

}  // namespace rivelo
