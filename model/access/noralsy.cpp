#include "model/access/noralsy.h"

#include <array>

#include "model/access/access_bits.h"

namespace rivelo::access {
namespace {

constexpr std::uint32_t Block1 = 0xBB0214FF;
using Nibbles = std::array<std::uint64_t, 24>;

std::uint64_t Xor(const Nibbles& n, std::size_t first, std::size_t end) {
  std::uint64_t x = 0;
  for (std::size_t i = first; i < end; ++i) x ^= n[i];
  return x;
}

// Nibbles 8-18 from the card's seven digits and the year's two, the check nibbles set.
Nibbles Layout(std::uint64_t year, std::uint64_t card) {
  Nibbles n{};
  for (std::size_t i = 0; i < 8; ++i) n[i] = Block1 >> (28 - 4 * i) & 0xF;
  std::array<std::uint64_t, 7> digits{};
  for (std::size_t i = 7; i-- > 0; card /= 10) digits[i] = card % 10;
  const std::array<std::uint64_t, 10> middle = {digits[0], digits[1], digits[2], year / 10, year % 10,
                                                0,         digits[3], digits[4], digits[5], digits[6]};
  for (std::size_t i = 0; i < middle.size(); ++i) n[8 + i] = middle[i];
  n[18] = Xor(n, 8, 18);
  n[19] = Xor(n, 0, 19);
  return n;
}

// Values: year, card.
std::vector<std::uint32_t> Encode(const AccessValues& v) {
  const Nibbles n = Layout(v[0], v[1]);
  Bits bits;
  for (const std::uint64_t nibble : n) bits.Put(nibble, 4);
  return bits.Blocks();
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> data) {
  const Bits bits = Bits::FromBlocks(data);
  Nibbles n{};
  for (std::size_t i = 0; i < n.size(); ++i) n[i] = bits.Get(4 * i, 4);
  std::uint64_t card = 0;
  for (const std::size_t i : {8, 9, 10, 14, 15, 16, 17}) {
    if (n[i] > 9) return std::nullopt;
    card = card * 10 + n[i];
  }
  if (n[11] > 9 || n[12] > 9) return std::nullopt;
  const std::uint64_t year = n[11] * 10 + n[12];
  // Every other nibble is fixed or a check: the image must be exactly this identity's.
  if (Layout(year, card) != n) return std::nullopt;
  return AccessValues{year, card};
}

}  // namespace

const AccessFormat& Noralsy() {
  static const AccessFormat f{"noralsy", "Noralsy", {{"year", 0, 99}, {"card", 0, 9999999}},
                              Block0(Rate::RF32, Mod::Manchester, 3, true), 3, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
