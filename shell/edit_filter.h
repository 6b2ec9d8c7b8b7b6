// The keyboard filter shared by the hex and decimal edits: only digits of their base are
// typed, only Left, Right and Delete move or delete, and while Ctrl is held everything passes
// (so copy, cut and paste work, and pasted text is taken as it is).
#pragma once

#include <QLineEdit>
#include <QString>

class QFocusEvent;
class QKeyEvent;
class QInputMethodEvent;

namespace rivelo::edit_filter {

enum class Digits { Hex, Decimal };

// '0'-'9' (and 'a'-'f', 'A'-'F' for hex) and backspace.
bool CharAccepted(QChar c, Digits digits);

// Key press: updates ctrlHeld; true when the edit is to handle the key, false to swallow it.
bool KeyPasses(const QKeyEvent& event, int& ctrlHeld, Digits digits);
// Key release: a release of Ctrl clears ctrlHeld. All releases pass.
void KeyReleased(const QKeyEvent& event, int& ctrlHeld);
// Text committed by an input method is typed text: it keeps only the accepted characters.
QString FilterCommit(const QString& commit, int ctrlHeld, Digits digits);
// The state of the Ctrl key right now, for a control that gains the focus.
int CtrlDownNow();

}  // namespace rivelo::edit_filter

namespace rivelo {

// The line edit that applies the filter for its digits: the common base of the hex and the
// decimal edit, which are otherwise unrelated.
class CFilteredEdit : public QLineEdit {
  Q_OBJECT

 public:
  int CtrlHeld = 0;  // 1 while Ctrl is down: the filter lets everything through

 protected:
  CFilteredEdit(edit_filter::Digits digits, QWidget* parent);
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  edit_filter::Digits digits_;
};

}  // namespace rivelo
