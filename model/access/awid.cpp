#include "model/access/awid.h"

#include <bit>

#include "model/access/access_bits.h"
#include "model/hid26.h"

namespace rivelo::access {
namespace {

constexpr std::uint64_t Preamble = 0x01;
constexpr std::uint64_t Length = 26;

std::vector<std::uint32_t> Encode(const AccessValues& v) {
  const std::uint32_t frame = Hid26Frame(static_cast<std::uint8_t>(v[0]), static_cast<std::uint16_t>(v[1]));
  Bits data;
  data.Put(Length, 8).Put(frame, 26).Put(0, 32);
  Bits bits;
  bits.Put(Preamble, 8);
  for (std::size_t at = 0; at < data.size(); at += 3) {
    const std::uint64_t group = data.Get(at, 3);
    bits.Put(group, 3).Put(std::popcount(group) % 2 == 0 ? 1 : 0, 1);
  }
  return bits.Blocks();
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> blocks) {
  const Bits bits = Bits::FromBlocks(blocks);
  if (bits.Get(0, 8) != Preamble) return std::nullopt;
  Bits data;
  for (std::size_t at = 8; at < bits.size(); at += 4) {
    if (std::popcount(bits.Get(at, 4)) % 2 == 0) return std::nullopt;
    data.Put(bits.Get(at, 3), 3);
  }
  if (data.Get(0, 8) != Length || data.Get(34, 32) != 0) return std::nullopt;
  const Hid26Fields f = Hid26FromFrame(static_cast<std::uint32_t>(data.Get(8, 26)));
  if (!f.ParityOk()) return std::nullopt;
  return AccessValues{f.facility, f.card};
}

}  // namespace

const AccessFormat& Awid26() {
  static const AccessFormat f{"awid26", "AWID 26-bit", {{"facility", 0, 255}, {"card", 0, 65535}},
                              Block0(Rate::RF50, Mod::Fsk2a, 3), 3, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
