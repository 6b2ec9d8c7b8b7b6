// An edit box for hexadecimal bytes: only hex digits are typed, and its text converts to and
// from big-endian bytes.
#pragma once


#include <cstdint>
#include <span>

#include "shell/edit_filter.h"

namespace rivelo {

class CHexEdit : public CFilteredEdit {
  Q_OBJECT

 public:
  explicit CHexEdit(QWidget* parent = nullptr);

  // Returned for text that holds a character other than a hex digit (only a paste puts one
  // there): no count a caller needs, so the entry is refused like one of the wrong length.
  static constexpr int NotHexText = -1;
  // The text's bytes ((L + 1) / 2, an odd first digit a byte of its own); 0 for an empty text.
  // Callers compare the count with the size they need; a longer text never writes beyond out.
  int GetHexData(std::span<std::uint8_t> out) const;
  // Shows the n bytes; a null pointer changes nothing, n = 0 empties the text.
  void SetHexData(const std::uint8_t* bytes, int n);
  void SetHexData(std::span<const std::uint8_t> bytes);
  // At most 2n characters.
  void SetByteLimit(int n);
};

}  // namespace rivelo
