#include "shell/hex_edit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

#include <algorithm>

#include "reader/bytes.h"
#include "shell/edit_filter.h"

namespace rivelo {

using edit_filter::Digits;

QString BytesToHexText(std::span<const std::uint8_t> bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size() * 2));
  for (std::uint8_t b : bytes) {
    const auto chars = HexByteToChars(b);
    text += QLatin1Char(chars[0]);
    text += QLatin1Char(chars[1]);
  }
  return text;
}

int HexTextToBytes(const QString& text, std::span<std::uint8_t> out) {
  // Characters outside Latin-1 (only pasted ones) become '?' and so a meaningless byte.
  const QByteArray chars = text.toLatin1();
  const int length = static_cast<int>(chars.size());
  if (length == 0) return 0;
  const int count = (length + 1) / 2;
  std::size_t at = 0;
  int pos = 0;
  if (length % 2 == 1) {
    if (at < out.size()) out[at] = HexPairValue(chars.constData(), 1);
    ++at;
    pos = 1;
  }
  for (; pos < length; pos += 2, ++at) {  // an even number of characters is left
    if (at < out.size()) out[at] = HexPairValue(chars.constData() + pos, 2);
  }
  return count;
}

CHexEdit::CHexEdit(QWidget* parent) : QLineEdit(parent) {
  // Dropped text would bypass the filter just as unfiltered typing would.
  setAcceptDrops(false);
}

int CHexEdit::GetHexData(std::span<std::uint8_t> out) const { return HexTextToBytes(text(), out); }

void CHexEdit::SetHexData(const std::uint8_t* bytes, int n) {
  if (bytes == nullptr) return;
  SetHexData(std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(std::max(n, 0))));
}

void CHexEdit::SetHexData(std::span<const std::uint8_t> bytes) { setText(BytesToHexText(bytes)); }

void CHexEdit::SetByteLimit(int n) { setMaxLength(n > 0 ? 2 * n : 32767); }

void CHexEdit::keyPressEvent(QKeyEvent* event) {
  if (edit_filter::KeyPasses(*event, CtrlHeld, Digits::Hex)) {
    QLineEdit::keyPressEvent(event);
  } else {
    event->accept();
  }
}

void CHexEdit::keyReleaseEvent(QKeyEvent* event) {
  edit_filter::KeyReleased(*event, CtrlHeld);
  QLineEdit::keyReleaseEvent(event);
}

void CHexEdit::inputMethodEvent(QInputMethodEvent* event) {
  QInputMethodEvent filtered(event->preeditString(), event->attributes());
  filtered.setCommitString(edit_filter::FilterCommit(event->commitString(), CtrlHeld, Digits::Hex),
                           event->replacementStart(), event->replacementLength());
  QLineEdit::inputMethodEvent(&filtered);
}

void CHexEdit::focusInEvent(QFocusEvent* event) {
  // A Ctrl released while another window had the focus must not leave the filter open.
  CtrlHeld = edit_filter::CtrlDownNow();
  QLineEdit::focusInEvent(event);
}

}  // namespace rivelo
