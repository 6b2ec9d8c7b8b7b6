#include "model/access/pac.h"

#include <array>
#include <bit>

#include "model/access/access_bits.h"

namespace rivelo::access {
namespace {

constexpr std::uint64_t Lead = 0xFF;
constexpr std::array<std::uint64_t, 3> Head = {0x02, '2', '0'};
constexpr int IdChars = 8;
constexpr const char* HexDigits = "0123456789ABCDEF";

void PutChar(Bits& bits, std::uint64_t c) {
  bits.Put(0, 1);
  for (int i = 0; i < 7; ++i) bits.Put(c >> i & 1, 1);
  bits.Put(std::popcount(c) % 2 == 0 ? 1 : 0, 1).Put(1, 1);
}

std::vector<std::uint32_t> Encode(const AccessValues& v) {
  Bits bits;
  bits.Put(Lead, 8);
  for (const std::uint64_t c : Head) PutChar(bits, c);
  std::uint64_t check = 0;
  for (int i = IdChars - 1; i >= 0; --i) {
    const auto c = static_cast<std::uint64_t>(HexDigits[v[0] >> (4 * i) & 0xF]);
    PutChar(bits, c);
    check ^= c;
  }
  PutChar(bits, check);
  return bits.Blocks();
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> data) {
  const Bits bits = Bits::FromBlocks(data);
  if (bits.Get(0, 8) != Lead) return std::nullopt;
  std::array<std::uint64_t, 12> chars{};
  for (std::size_t k = 0; k < chars.size(); ++k) {
    const std::size_t at = 8 + 10 * k;
    if (bits.Get(at, 1) != 0 || bits.Get(at + 9, 1) != 1 || std::popcount(bits.Get(at + 1, 8)) % 2 == 0) return std::nullopt;
    for (int i = 6; i >= 0; --i) chars[k] = chars[k] << 1 | bits.Get(at + 1 + static_cast<std::size_t>(i), 1);
  }
  if (chars[0] != Head[0] || chars[1] != Head[1] || chars[2] != Head[2]) return std::nullopt;
  std::uint64_t id = 0;
  std::uint64_t check = 0;
  for (std::size_t k = 3; k < 3 + IdChars; ++k) {
    const std::uint64_t c = chars[k];
    check ^= c;
    if (c >= '0' && c <= '9') id = id << 4 | (c - '0');
    else if (c >= 'A' && c <= 'F') id = id << 4 | (c - 'A' + 10);
    else return std::nullopt;
  }
  if (chars[11] != check) return std::nullopt;
  return AccessValues{id};
}

}  // namespace

const AccessFormat& PacStanley() {
  static const AccessFormat f{"pac", "PAC/Stanley", {{"id", 0, 0xFFFFFFFF, 8}},
                              Block0(Rate::RF32, Mod::Direct, 4), 4, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
