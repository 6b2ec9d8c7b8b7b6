// An edit box for unsigned decimal numbers of up to 8 big-endian bytes: only digits are
// typed, and its text converts to and from bytes.
#pragma once


#include <cstdint>
#include <span>

#include "shell/edit_filter.h"

namespace rivelo {

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
