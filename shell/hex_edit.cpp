#include "shell/hex_edit.h"

#include <algorithm>

#include "model/text_bytes.h"

namespace rivelo {

using edit_filter::Digits;

namespace {

// Characters outside Latin-1 (only pasted ones) become '?' and so a meaningless byte.
std::string FieldText(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

CHexEdit::CHexEdit(QWidget* parent) : CFilteredEdit(Digits::Hex, parent) {}

int CHexEdit::GetHexData(std::span<std::uint8_t> out) const {
  // Typing lets only hex digits in, but a paste does not: such text gives no bytes at all, so
  // that it can never reach a tag as a meaningless value.
  const auto parsed = HexTextToBytes(FieldText(text()), TextMode::Strict);
  if (!parsed) return NotHexText;
  const Bytes& bytes = *parsed;
  std::copy_n(bytes.begin(), std::min(bytes.size(), out.size()), out.begin());
  return static_cast<int>(bytes.size());
}

void CHexEdit::SetHexData(const std::uint8_t* bytes, int n) {
  if (bytes == nullptr) return;
  SetHexData(std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(std::max(n, 0))));
}

void CHexEdit::SetHexData(std::span<const std::uint8_t> bytes) { setText(QString::fromStdString(FormatHex(bytes))); }

void CHexEdit::SetByteLimit(int n) { setMaxLength(n > 0 ? 2 * n : 32767); }

}  // namespace rivelo
