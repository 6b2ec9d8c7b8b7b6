// An edit box for unsigned decimal numbers of up to 8 big-endian bytes: only digits are
// typed, and its text converts to and from bytes.
#pragma once


#include <cstdint>
#include <span>

#include "shell/edit_filter.h"

namespace rivelo {

// The number held in the bytes (taken in order, v = v * 256 + byte, so only the last 8
// count) in decimal. digits >= 1: exactly that many digits (leading zeros, or only the lowest
// digits when the number has more); digits <= 0: all digits, and an empty text for 0.
// At most 20 digits.
QString BytesToDecimalText(std::span<const std::uint8_t> bytes, int digits);
// The text as an unsigned 64-bit number (wrapping above 2^64 - 1), stored as the fewest
// big-endian bytes, at least one. Returns their count (1 to 8), 0 for an empty text; writes
// at most out.size() of them, the most significant first.
int DecimalTextToBytes(const QString& text, std::span<std::uint8_t> out);

class CDecEdit : public CFilteredEdit {
  Q_OBJECT

 public:
  explicit CDecEdit(QWidget* parent = nullptr);

  int GetDecimalData(std::span<std::uint8_t> out) const;
  // A null pointer changes nothing.
  void SetDecimalData(const std::uint8_t* bytes, int n, int digits);
  void SetDecimalData(std::span<const std::uint8_t> bytes, int digits);
};

}  // namespace rivelo
