#include "model/text_bytes.h"

#include <algorithm>
#include <limits>

namespace rivelo {
namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

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

std::optional<Bytes> HexTextToBytes(std::string_view text, TextMode mode) {
  if (mode == TextMode::Strict && !std::all_of(text.begin(), text.end(), IsHexDigit)) return std::nullopt;
  Bytes bytes;
  bytes.reserve((text.size() + 1) / 2);
  std::size_t i = 0;
  if (text.size() % 2 == 1) {
    bytes.push_back(HexPairValue(text.data(), 1));
    i = 1;
  }
  for (; i < text.size(); i += 2) bytes.push_back(HexPairValue(text.data() + i, 2));
  return bytes;
}

std::optional<Bytes> DecimalTextToBytes(std::string_view text, TextMode mode) {
  if (text.empty()) return Bytes{};
  constexpr std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t v = 0;
  for (char c : text) {
    const auto digit = static_cast<std::uint64_t>(static_cast<unsigned char>(c) - '0');
    if (mode == TextMode::Strict) {
      if (c < '0' || c > '9') return std::nullopt;
      if (v > (max - digit) / 10) return std::nullopt;
    }
    v = v * 10 + digit;  // a field's text wraps, as its 64-bit accumulator always has
  }
  Bytes bytes;
  do {
    bytes.insert(bytes.begin(), static_cast<std::uint8_t>(v & 0xFF));
    v >>= 8;
  } while (v != 0);
  return bytes;
}

std::optional<Bytes> HexBytesExact(std::string_view text, std::size_t n) {
  if (text.size() != 2 * n) return std::nullopt;
  return HexTextToBytes(text, TextMode::Strict);
}

std::string FormatHex(std::span<const std::uint8_t> bytes, std::string_view separator) {
  std::string s;
  s.reserve(bytes.size() * (2 + separator.size()));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) s += separator;
    const auto pair = HexByteToChars(bytes[i]);
    s.append(pair.data(), pair.size());
  }
  return s;
}

std::string FormatDecimal(const std::uint8_t* bytes, std::size_t n, int width) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v = (v << 8) | bytes[i];
  std::string digits(static_cast<std::size_t>(std::max(width, 0)), '0');
  for (std::size_t i = digits.size(); i-- > 0 && v != 0;) {
    digits[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  return digits;
}

std::string BytesToDecimalText(std::span<const std::uint8_t> bytes, int digits) {
  std::uint64_t v = 0;
  for (std::uint8_t b : bytes) v = (v << 8) | b;
  std::string all;
  while (v != 0) {
    all.insert(all.begin(), static_cast<char>('0' + v % 10));
    v /= 10;
  }
  if (digits <= 0) return all;
  const auto width = static_cast<std::size_t>(std::min(digits, 20));
  if (all.size() >= width) return all.substr(all.size() - width);
  return std::string(width - all.size(), '0') + all;
}

}  // namespace rivelo
