#include "model/access/viking.h"

#include "model/access/access_bits.h"

namespace rivelo::access {
namespace {

constexpr std::uint64_t Header = 0xF20000;

std::uint64_t Check(std::uint64_t first56) {
  std::uint64_t x = 0xA8;
  for (int i = 0; i < 7; ++i) x ^= first56 >> (8 * i) & 0xFF;
  return x;
}

std::vector<std::uint32_t> Encode(const AccessValues& v) {
  const std::uint64_t first56 = Header << 32 | v[0];
  return Bits().Put(first56, 56).Put(Check(first56), 8).Blocks();
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> data) {
  const Bits bits = Bits::FromBlocks(data);
  const std::uint64_t first56 = bits.Get(0, 56);
  if (first56 >> 32 != Header || bits.Get(56, 8) != Check(first56)) return std::nullopt;
  return AccessValues{first56 & 0xFFFFFFFF};
}

}  // namespace

const AccessFormat& Viking() {
  static const AccessFormat f{"viking", "Viking", {{"id", 0, 0xFFFFFFFF, 8}},
                              Block0(Rate::RF32, Mod::Manchester, 2), 2, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
