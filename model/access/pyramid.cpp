#include "model/access/pyramid.h"

#include <array>
#include <bit>

#include "model/access/access_bits.h"
#include "model/hid26.h"

namespace rivelo::access {
namespace {

constexpr std::uint64_t Preamble = 0x0001;
constexpr int DataBits = 91;
constexpr int Groups = 13;
using Bytes = std::array<std::uint8_t, Groups>;

std::uint8_t Crc(const Bytes& bytes) {
  std::uint8_t crc = 0;
  for (const std::uint8_t b : bytes) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) crc = static_cast<std::uint8_t>((crc & 1) != 0 ? crc >> 1 ^ 0x8C : crc >> 1);
  }
  return crc;
}

// Values: facility, card.
std::vector<std::uint32_t> Encode(const AccessValues& v) {
  const std::uint32_t card = Hid26Frame(static_cast<std::uint8_t>(v[0]), static_cast<std::uint16_t>(v[1]));
  Bits data;
  data.Put(0, DataBits - 27).Put(1, 1).Put(card, 26);
  Bytes bytes{};
  Bits bits;
  bits.Put(Preamble, 16);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint64_t group = data.Get(7 * i, 7);
    bytes[i] = static_cast<std::uint8_t>(group << 1 | (std::popcount(group) % 2 == 0 ? 1 : 0));
    bits.Put(bytes[i], 8);
  }
  return bits.Put(Crc(bytes), 8).Blocks();
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> blocks) {
  const Bits bits = Bits::FromBlocks(blocks);
  if (bits.Get(0, 16) != Preamble) return std::nullopt;
  Bytes bytes{};
  Bits data;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(bits.Get(16 + 8 * i, 8));
    if (std::popcount(bytes[i]) % 2 == 0) return std::nullopt;
    data.Put(static_cast<std::uint64_t>(bytes[i] >> 1), 7);
  }
  if (bits.Get(120, 8) != Crc(bytes)) return std::nullopt;
  // A longer card would put its own bits where this one's leading 0s and sentinel are.
  if (data.Get(0, DataBits - 27) != 0 || data.Get(DataBits - 27, 1) != 1) return std::nullopt;
  const Hid26Fields f = Hid26FromFrame(static_cast<std::uint32_t>(data.Get(DataBits - 26, 26)));
  if (!f.ParityOk()) return std::nullopt;
  return AccessValues{f.facility, f.card};
}

}  // namespace

const AccessFormat& Pyramid26() {
  static const AccessFormat f{"pyramid", "Farpointe Pyramid 26-bit", {{"facility", 0, 255}, {"card", 0, 65535}},
                              Block0(Rate::RF50, Mod::Fsk2a, 4), 4, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
