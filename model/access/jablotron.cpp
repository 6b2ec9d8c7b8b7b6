#include "model/access/jablotron.h"

#include "model/access/access_bits.h"

namespace rivelo::access {
namespace {

constexpr std::uint64_t Preamble = 0xFFFF;

std::uint64_t Check(std::uint64_t id) {
  std::uint64_t sum = 0;
  for (int i = 0; i < 5; ++i) sum += id >> (8 * i) & 0xFF;
  return (sum ^ 0x3A) & 0xFF;
}

std::vector<std::uint32_t> Encode(const AccessValues& v) {
  return Bits().Put(Preamble, 16).Put(v[0], 40).Put(Check(v[0]), 8).Blocks();
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> data) {
  const Bits bits = Bits::FromBlocks(data);
  const std::uint64_t id = bits.Get(16, 40);
  if (bits.Get(0, 17) != Preamble << 1 || bits.Get(56, 8) != Check(id)) return std::nullopt;
  return AccessValues{id};
}

}  // namespace

const AccessFormat& Jablotron() {
  static const AccessFormat f{"jablotron", "Jablotron", {{"id", 0, 0x7FFFFFFFFF, 10}},
                              Block0(Rate::RF64, Mod::Biphase57, 2), 2, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
