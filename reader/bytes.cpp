#include "reader/bytes.h"

namespace rivelo {

int BytesDiffer(const std::uint8_t* a, const std::uint8_t* b, int n) {
  const int count = n & 0xFF;
  for (int i = 0; i < count; ++i)
    if (a[i] != b[i]) return 1;
  return 0;
}

}  // namespace rivelo
