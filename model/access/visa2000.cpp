#include "model/access/visa2000.h"

#include <bit>

#include "model/access/access_bits.h"

namespace rivelo::access {
namespace {

constexpr std::uint32_t Header = 0x56495332;

std::uint32_t Check(std::uint32_t card) {
  std::uint32_t parities = 0;
  std::uint32_t x = 0;
  for (int shift = 28; shift >= 0; shift -= 4) {
    const std::uint32_t nibble = card >> shift & 0xF;
    parities = parities << 1 | static_cast<std::uint32_t>(std::popcount(nibble) % 2);
    x ^= nibble;
  }
  return parities << 4 | x;
}

std::vector<std::uint32_t> Encode(const AccessValues& v) {
  const auto card = static_cast<std::uint32_t>(v[0]);
  return {Header, card, Check(card)};
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> data) {
  if (data[0] != Header || data[2] != Check(data[1])) return std::nullopt;
  return AccessValues{data[1]};
}

}  // namespace

const AccessFormat& Visa2000() {
  static const AccessFormat f{"visa2000", "Visa2000", {{"card", 0, 0xFFFFFFFF}},
                              Block0(Rate::RF64, Mod::Manchester, 3, true), 3, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
