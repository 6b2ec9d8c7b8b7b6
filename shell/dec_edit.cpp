#include "shell/dec_edit.h"

#include <algorithm>
#include <array>

#include "model/text_bytes.h"


namespace rivelo {

using edit_filter::Digits;

namespace {

std::string FieldText(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

CDecEdit::CDecEdit(QWidget* parent) : CFilteredEdit(Digits::Decimal, parent) {}

int CDecEdit::GetDecimalData(std::span<std::uint8_t> out) const {
  const Bytes bytes = DecimalTextToBytes(FieldText(text()), TextMode::Field).value_or(Bytes{});
  std::copy_n(bytes.begin(), std::min(bytes.size(), out.size()), out.begin());
  return static_cast<int>(bytes.size());
}

void CDecEdit::SetDecimalData(const std::uint8_t* bytes, int n, int digits) {
  if (bytes == nullptr) return;
  SetDecimalData(std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(std::max(n, 0))), digits);
}

void CDecEdit::SetDecimalData(std::span<const std::uint8_t> bytes, int digits) {
  setText(QString::fromStdString(BytesToDecimalText(bytes, digits)));
}

}  // namespace rivelo
