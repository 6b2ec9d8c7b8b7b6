// Byte comparison for the reader link.
#pragma once

#include <cstdint>

namespace rivelo {

// 0 if the first n bytes are equal, 1 at the first difference. Only the low 8 bits of n
// count, so n = 256 compares nothing.
int BytesDiffer(const std::uint8_t* a, const std::uint8_t* b, int n);

}  // namespace rivelo
