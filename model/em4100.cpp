#include "model/em4100.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "reader/bytes.h"

namespace rivelo {

const char* Em4100FormCaption(Em4100Form form) {
  switch (form) {
    case Em4100Form::Hex10: return "10H";
    case Em4100Form::Dec08H: return "08H---10D";
    case Em4100Form::Dec06H: return "06H---10D";
    case Em4100Form::Split02And04: return "02H + 04H";
    case Em4100Form::Dec13: return "13D";
  }
  return "";
}

Em4100Id AlignRight5(std::span<const std::uint8_t> bytes) {
  Em4100Id id{};
  const std::size_t k = std::min(bytes.size(), Em4100IdLength);
  std::copy(bytes.end() - static_cast<std::ptrdiff_t>(k), bytes.end(), id.end() - static_cast<std::ptrdiff_t>(k));
  return id;
}

void IncrementId(Em4100Id& id) {
  for (std::size_t i = id.size(); i-- > 0;) {
    if (++id[i] != 0) return;
  }
}

void DecimalToBytes(std::string_view text, std::span<std::uint8_t> out) {
  // strtoll needs a terminated string; it also gives the saturation beyond 64 bits.
  const std::string copy(text);
  long long value = std::strtoll(copy.c_str(), nullptr, 10);
  for (std::size_t i = out.size(); i-- > 0;) {
    out[i] = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;  // arithmetic: negative numbers fill with FF
  }
}

Em4100Id DecimalToId(std::string_view text) {
  Em4100Id id{};
  DecimalToBytes(text, id);
  return id;
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

std::string FormatHex(std::span<const std::uint8_t> bytes) {
  std::string s;
  s.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    const auto pair = HexByteToChars(b);
    s.append(pair.data(), pair.size());
  }
  return s;
}

std::string Em4100FormText(const Em4100Id& id, Em4100Form form) {
  switch (form) {
    case Em4100Form::Hex10: return FormatHex(id);
    case Em4100Form::Dec08H: return FormatDecimal(id.data() + 1, 4, 10);
    case Em4100Form::Dec06H: return FormatDecimal(id.data() + 2, 3, 10);
    case Em4100Form::Split02And04: return FormatDecimal(id.data() + 2, 1, 3) + FormatDecimal(id.data() + 3, 2, 5);
    case Em4100Form::Dec13: return FormatDecimal(id.data(), 5, 13);
  }
  return {};
}

std::vector<std::uint8_t> HexDigitsToBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  std::size_t i = 0;
  if (text.size() % 2 == 1) {
    bytes.push_back(HexPairValue(text.data(), 1));
    i = 1;
  }
  for (; i < text.size(); i += 2) bytes.push_back(HexPairValue(text.data() + i, 2));
  return bytes;
}

std::vector<std::uint8_t> DecimalDigitsToBytes(std::string_view text) {
  if (text.empty()) return {};
  std::uint64_t v = 0;
  for (char c : text) v = v * 10 + static_cast<std::uint64_t>(static_cast<unsigned char>(c) - '0');
  std::vector<std::uint8_t> bytes;
  do {
    bytes.insert(bytes.begin(), static_cast<std::uint8_t>(v & 0xFF));
    v >>= 8;
  } while (v != 0);
  return bytes;
}

}  // namespace rivelo
