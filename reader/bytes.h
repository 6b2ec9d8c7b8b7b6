// Byte and hex-digit helpers shared by the reader link, the number models and the window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace rivelo {

// 0 if the first n bytes are equal, 1 at the first difference. Only the low 8 bits of n
// count, so n = 256 compares nothing.
int BytesDiffer(const std::uint8_t* a, const std::uint8_t* b, int n);

// The two upper-case hex digits of a byte, high nibble first.
std::array<char, 2> HexByteToChars(std::uint8_t byte);

// '0'-'9' -> 0-9, 'A'-'F' and 'a'-'f' -> 10-15; any other character its own code.
int HexCharValue(char c);

// count 1: the value of the one digit; count 2: (16 * first + second) mod 256; else 0.
std::uint8_t HexPairValue(const char* chars, int count);

}  // namespace rivelo
