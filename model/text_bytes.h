// Text to bytes and back: the one conversion every entry, batch line and command-line
// argument goes through. Numbers are unsigned and big-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rivelo {

using Bytes = std::vector<std::uint8_t>;

// Field: the text is taken as an edit field takes it (its filter lets only digits in, so
// every character counts as a digit); never fails. Strict: text with a character that is
// not a digit of its base, or a decimal value beyond 64 bits, gives nullopt.
enum class TextMode { Field, Strict };

// The two upper-case hex digits of a byte, high nibble first.
std::array<char, 2> HexByteToChars(std::uint8_t byte);
// '0'-'9' -> 0-9, 'A'-'F' and 'a'-'f' -> 10-15; any other character its own code.
int HexCharValue(char c);
// count 1: the value of the one digit; count 2: (16 * first + second) mod 256; else 0.
std::uint8_t HexPairValue(const char* chars, int count);

// (L + 1) / 2 bytes, each pair of characters one byte; an odd count makes the first
// character a byte of its own ("ABC" gives 0A BC). Empty text gives no bytes.
std::optional<Bytes> HexTextToBytes(std::string_view text, TextMode mode);
// The digits as an unsigned 64-bit value (Field: wrapping), stored as the fewest big-endian
// bytes, at least one ("0" gives 00). Empty text gives no bytes.
std::optional<Bytes> DecimalTextToBytes(std::string_view text, TextMode mode);
// Strict hex of exactly 2n digits (the form a command line or a file names n bytes in).
std::optional<Bytes> HexBytesExact(std::string_view text, std::size_t n);

// Two upper-case hex digits per byte, with separator between bytes.
std::string FormatHex(std::span<const std::uint8_t> bytes, std::string_view separator = {});
// The first n bytes (n <= 8) as an unsigned big-endian value in exactly width decimal digits
// with leading zeros; a wider value keeps its low width digits.
std::string FormatDecimal(const std::uint8_t* bytes, std::size_t n, int width);
// The value of the bytes (v = v * 256 + byte, so only the last 8 count) in decimal.
// digits >= 1: exactly that many digits, as FormatDecimal; digits <= 0: all digits, and an
// empty text for 0. At most 20 digits.
std::string BytesToDecimalText(std::span<const std::uint8_t> bytes, int digits);

}  // namespace rivelo
