#include "reader/bytes.h"

namespace rivelo {

int BytesDiffer(const std::uint8_t* a, const std::uint8_t* b, int n) {
  const int count = n & 0xFF;
  for (int i = 0; i < count; ++i)
    if (a[i] != b[i]) return 1;
  return 0;
}

std::array<char, 2> HexByteToChars(std::uint8_t byte) {
  static constexpr char digits[] = "0123456789ABCDEF";
  return {digits[byte >> 4], digits[byte & 0x0F]};
}

int HexCharValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return static_cast<unsigned char>(c);
}

std::uint8_t HexPairValue(const char* chars, int count) {
  if (count == 1) return static_cast<std::uint8_t>(HexCharValue(chars[0]));
  if (count == 2) return static_cast<std::uint8_t>((16 * HexCharValue(chars[0]) + HexCharValue(chars[1])) & 0xFF);
  return 0;
}

}  // namespace rivelo
