#include "model/identity.h"

namespace rivelo {

std::uint32_t Em4305DataWord(std::uint32_t t5577Block) {
  std::uint32_t reversed = 0;
  for (int i = 0; i < 32; ++i) reversed |= (t5577Block >> i & 1u) << (31 - i);
  return reversed;
}

std::optional<std::size_t> FindForm(const IdentityFormat& format, std::string_view key) {
  for (std::size_t i = 0; i < format.forms.size(); ++i)
    if (key == format.forms[i].key) return i;
  return std::nullopt;
}

std::string DecimalValueError(std::string_view what, std::string_view text, std::uint64_t maximum) {
  const std::string range = "0 to " + std::to_string(maximum);
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
    return std::string(what) + " '" + std::string(text) + "' is not a decimal number from " + range;
  std::uint64_t value = 0;
  for (const char c : text) {
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (digit > maximum || value > (maximum - digit) / 10)
      return std::string(what) + " " + std::string(text) + " is out of range (" + range + ")";
    value = value * 10 + digit;
  }
  return {};
}

}  // namespace rivelo
