#include "shell/dec_edit.h"

#include <algorithm>
#include <array>


namespace rivelo {

using edit_filter::Digits;

constexpr int MaxDecimalDigits = 20;

QString BytesToDecimalText(std::span<const std::uint8_t> bytes, int digits) {
  std::uint64_t v = 0;
  for (std::uint8_t b : bytes) v = (v << 8) | b;
  std::array<char, MaxDecimalDigits> lowFirst{};
  int have = 0;
  for (; v != 0; v /= 10) lowFirst[static_cast<std::size_t>(have++)] = static_cast<char>('0' + v % 10);
  const int shown = digits >= 1 ? std::min(digits, MaxDecimalDigits) : have;
  QString text;
  for (int i = shown - 1; i >= 0; --i) text += QLatin1Char(i < have ? lowFirst[static_cast<std::size_t>(i)] : '0');
  return text;
}

int DecimalTextToBytes(const QString& text, std::span<std::uint8_t> out) {
  if (text.isEmpty()) return 0;
  std::uint64_t v = 0;
  for (QChar c : text) v = v * 10 + static_cast<std::uint64_t>(static_cast<int>(c.unicode()) - '0');
  std::array<std::uint8_t, 8> lowFirst{};
  int count = 0;
  do {
    lowFirst[static_cast<std::size_t>(count++)] = static_cast<std::uint8_t>(v & 0xFF);
    v >>= 8;
  } while (v != 0);
  for (int i = 0; i < count; ++i) {
    if (static_cast<std::size_t>(i) < out.size()) out[static_cast<std::size_t>(i)] = lowFirst[static_cast<std::size_t>(count - 1 - i)];
  }
  return count;
}

CDecEdit::CDecEdit(QWidget* parent) : CFilteredEdit(Digits::Decimal, parent) {}

int CDecEdit::GetDecimalData(std::span<std::uint8_t> out) const { return DecimalTextToBytes(text(), out); }

void CDecEdit::SetDecimalData(const std::uint8_t* bytes, int n, int digits) {
  if (bytes == nullptr) return;
  SetDecimalData(std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(std::max(n, 0))), digits);
}

void CDecEdit::SetDecimalData(std::span<const std::uint8_t> bytes, int digits) {
  setText(BytesToDecimalText(bytes, digits));
}

}  // namespace rivelo
