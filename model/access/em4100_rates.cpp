#include "model/access/em4100_rates.h"

#include <bit>

#include "model/access/access_bits.h"

namespace rivelo::access {
namespace {

std::vector<std::uint32_t> Encode(const AccessValues& v) {
  const std::uint64_t frame = Em4100Frame(v[0]);
  return {static_cast<std::uint32_t>(frame >> 32), static_cast<std::uint32_t>(frame)};
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> data) {
  const auto id = Em4100Id(std::uint64_t{data[0]} << 32 | data[1]);
  if (!id) return std::nullopt;
  return AccessValues{*id};
}

AccessFormat Make(const char* name, const char* title, Rate rate) {
  return {name, title, {{"id", 0, (1ull << 40) - 1, 10}}, Block0(rate, Mod::Manchester, 2), 2, Encode, Decode};
}

}  // namespace

std::uint64_t Em4100Frame(std::uint64_t id) {
  Bits bits;
  bits.Put(0x1FF, 9);
  std::uint64_t columns = 0;
  for (int row = 9; row >= 0; --row) {
    const std::uint64_t nibble = id >> (4 * row) & 0xF;
    bits.Put(nibble, 4).Put(static_cast<std::uint64_t>(std::popcount(nibble) & 1), 1);
    columns ^= nibble;
  }
  bits.Put(columns, 4).Put(0, 1);
  return bits.Get(0, 64);
}

std::optional<std::uint64_t> Em4100Id(std::uint64_t frame) {
  const std::uint64_t id = [&] {
    std::uint64_t v = 0;
    for (int row = 0; row < 10; ++row) v = v << 4 | (frame >> (64 - 9 - 5 * row - 4) & 0xF);
    return v;
  }();
  if (Em4100Frame(id) != frame) return std::nullopt;
  return id;
}

const AccessFormat& Em4100Rf64() {
  static const AccessFormat f = Make("em4100-rf64", "EM4100 (RF/64)", Rate::RF64);
  return f;
}

const AccessFormat& Em4100Rf32() {
  static const AccessFormat f = Make("em4100-rf32", "EM4100 at RF/32", Rate::RF32);
  return f;
}

const AccessFormat& Em4100Rf16() {
  static const AccessFormat f = Make("em4100-rf16", "EM4100 at RF/16", Rate::RF16);
  return f;
}

}  // namespace rivelo::access
