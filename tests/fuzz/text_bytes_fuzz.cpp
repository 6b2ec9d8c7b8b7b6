// The strict text-to-bytes conversions on any text: strict hex and decimal refuse exactly
// what is not a number of their base (and decimals beyond 64 bits), and what they accept
// formats back to the same number. The lenient field mode must never fail. The first byte
// chooses the byte count, width and digit count of the helpers that take one.
#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

#include "model/text_bytes.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rivelo;

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool AllOf(std::string_view text, bool (*is)(char)) { return std::all_of(text.begin(), text.end(), is); }

std::uint64_t ValueOf(const Bytes& b) {
  std::uint64_t v = 0;
  for (std::uint8_t x : b) v = v << 8 | x;
  return v;
}

void CheckHex(std::string_view text, std::size_t n) {
  const auto strict = HexTextToBytes(text, TextMode::Strict);
  const bool hex = AllOf(text, IsHex);
  FUZZ_CHECK(strict.has_value() == hex);
  const auto field = HexTextToBytes(text, TextMode::Field);
  FUZZ_CHECK(field.has_value() && field->size() == (text.size() + 1) / 2);
  if (hex) {
    FUZZ_CHECK(*field == *strict);
    // Formatting gives the digits back, upper case, an odd count with a leading 0.
    std::string want = text.size() % 2 ? "0" + std::string(text) : std::string(text);
    for (char& c : want)
      if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    FUZZ_CHECK(FormatHex(*strict) == want);
  }
  const auto exact = HexBytesExact(text, n);
  FUZZ_CHECK(exact.has_value() == (hex && text.size() == 2 * n));
  if (exact) FUZZ_CHECK(exact->size() == n);
}

void CheckDecimal(std::string_view text, int digits) {
  const auto strict = DecimalTextToBytes(text, TextMode::Strict);
  const auto field = DecimalTextToBytes(text, TextMode::Field);
  FUZZ_CHECK(field.has_value());
  if (text.empty()) {
    FUZZ_CHECK(strict && strict->empty() && field->empty());
    return;
  }
  std::uint64_t want = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), want);
  const bool number = AllOf(text, IsDigit) && ec == std::errc{} && end == text.data() + text.size();
  FUZZ_CHECK(strict.has_value() == number);
  FUZZ_CHECK(!field->empty() && field->size() <= 8 && (field->size() == 1 || field->front() != 0));
  if (!number) return;
  FUZZ_CHECK(*strict == *field && ValueOf(*strict) == want);
  const std::string all = BytesToDecimalText(*strict, 0);
  FUZZ_CHECK(all == (want == 0 ? std::string() : std::to_string(want)));
  // Fixed widths keep the low digits, with leading zeros.
  const std::string padded = std::string(30, '0') + std::to_string(want);
  const auto low = [&](int width) { return padded.substr(padded.size() - static_cast<std::size_t>(width)); };
  if (digits >= 1) FUZZ_CHECK(BytesToDecimalText(*strict, digits) == low(std::min(digits, 20)));
  FUZZ_CHECK(FormatDecimal(strict->data(), strict->size(), digits) == (digits <= 0 ? std::string() : low(digits)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckHex(text, data[0] % 16);
  CheckDecimal(text, data[0] % 24 - 1);
  return 0;
}
