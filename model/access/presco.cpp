#include "model/access/presco.h"

#include "model/access/access_bits.h"

namespace rivelo::access {
namespace {

constexpr std::uint32_t Header = 0x10D00000;

std::vector<std::uint32_t> Encode(const AccessValues& v) {
  return {Header, 0, 0, static_cast<std::uint32_t>(v[0])};
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> data) {
  if (data[0] != Header || data[1] != 0 || data[2] != 0) return std::nullopt;
  return AccessValues{data[3]};
}

}  // namespace

const AccessFormat& Presco() {
  static const AccessFormat f{"presco", "Presco", {{"code", 0, 0xFFFFFFFF, 8}},
                              Block0(Rate::RF32, Mod::Manchester, 4, true), 4, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
