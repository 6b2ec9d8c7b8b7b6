#include "shell/hex_edit.h"

#include <algorithm>

#include "reader/bytes.h"

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

CHexEdit::CHexEdit(QWidget* parent) : CFilteredEdit(Digits::Hex, parent) {}

int CHexEdit::GetHexData(std::span<std::uint8_t> out) const { return HexTextToBytes(text(), out); }

void CHexEdit::SetHexData(const std::uint8_t* bytes, int n) {
  if (bytes == nullptr) return;
  SetHexData(std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(std::max(n, 0))));
}

void CHexEdit::SetHexData(std::span<const std::uint8_t> bytes) { setText(BytesToHexText(bytes)); }

void CHexEdit::SetByteLimit(int n) { setMaxLength(n > 0 ? 2 * n : 32767); }

}  // namespace rivelo
