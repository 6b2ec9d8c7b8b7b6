#include "model/access/ioprox.h"

#include <array>

#include "model/access/access_bits.h"

namespace rivelo::access {
namespace {

constexpr std::uint64_t Lead = 0;  // 9 bits
constexpr std::uint64_t Magic = 0xF0;

std::uint64_t Checksum(const std::array<std::uint64_t, 5>& bytes) {
  std::uint64_t sum = 0;
  for (const std::uint64_t b : bytes) sum += b;
  return 0xFF - (sum & 0xFF);
}

// Values: version, facility, card.
std::vector<std::uint32_t> Encode(const AccessValues& v) {
  const std::array<std::uint64_t, 5> bytes = {Magic, v[1], v[0], v[2] >> 8, v[2] & 0xFF};
  Bits bits;
  bits.Put(Lead, 9);
  for (const std::uint64_t b : bytes) bits.Put(b, 8).Put(1, 1);
  bits.Put(Checksum(bytes), 8).Put(0b11, 2);
  return bits.Blocks();
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> data) {
  const Bits bits = Bits::FromBlocks(data);
  if (bits.Get(0, 9) != Lead || bits.Get(62, 2) != 0b11) return std::nullopt;
  std::array<std::uint64_t, 5> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::size_t at = 9 + 9 * i;
    if (bits.Get(at + 8, 1) != 1) return std::nullopt;
    bytes[i] = bits.Get(at, 8);
  }
  if (bytes[0] != Magic || bits.Get(54, 8) != Checksum(bytes)) return std::nullopt;
  return AccessValues{bytes[2], bytes[1], bytes[3] << 8 | bytes[4]};
}

}  // namespace

const AccessFormat& IoProx() {
  static const AccessFormat f{"ioprox", "Kantech ioProx (XSF)", {{"version", 0, 255}, {"facility", 0, 255}, {"card", 0, 65535}},
                              Block0(Rate::RF64, Mod::Fsk2a, 2), 2, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
