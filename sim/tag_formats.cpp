#include "sim/tag_formats.h"

#include <vector>

namespace rivelo::sim {
namespace {

// A bit stream in transmission order.
class Bits {
 public:
  void Msb(std::uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i) bits_.push_back(static_cast<std::uint8_t>(v >> i & 1));
  }
  void Lsb(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) bits_.push_back(static_cast<std::uint8_t>(v >> i & 1));
  }
  // Manchester as the T5577 layouts store it: 1 -> 10, 0 -> 01.
  void Manchester(std::uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i) Msb((v >> i & 1) ? 0b10 : 0b01, 2);
  }
  template <std::size_t N>
  std::array<std::uint32_t, N> Words() const {
    std::array<std::uint32_t, N> w{};
    for (std::size_t i = 0; i < bits_.size() && i < 32 * N; ++i)
      if (bits_[i]) w[i / 32] |= 1u << (31 - i % 32);
    return w;
  }

 private:
  std::vector<std::uint8_t> bits_;
};

class BitReader {
 public:
  explicit BitReader(std::span<const std::uint32_t> words) : words_(words) {}
  std::size_t Size() const { return words_.size() * 32; }
  bool Ok() const { return ok_; }
  unsigned Bit() {
    if (pos_ >= Size()) {
      ok_ = false;
      return 0;
    }
    const unsigned b = words_[pos_ / 32] >> (31 - pos_ % 32) & 1;
    ++pos_;
    return b;
  }
  std::uint64_t Msb(int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 1 | Bit();
    return v;
  }
  std::uint64_t Lsb(int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint64_t{Bit()} << i;
    return v;
  }
  // One Manchester bit; a pair 00 or 11 is no valid bit.
  unsigned Manchester() {
    const auto pair = Msb(2);
    if (pair != 0b10 && pair != 0b01) ok_ = false;
    return pair == 0b10 ? 1 : 0;
  }
  std::uint64_t ManchesterBits(int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 1 | Manchester();
    return v;
  }

 private:
  std::span<const std::uint32_t> words_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

// The CRC goes out most significant bit first; the groups go out least significant first.
std::uint8_t Reverse8(unsigned v) {
  unsigned r = 0;
  for (int i = 0; i < 8; ++i) r |= (v >> i & 1u) << (7 - i);
  return static_cast<std::uint8_t>(r);
}

unsigned Parity(std::uint64_t v) {
  unsigned p = 0;
  for (; v != 0; v &= v - 1) p ^= 1;
  return p;
}

}  // namespace

std::uint32_t Reverse32(std::uint32_t v) {
  std::uint32_t r = 0;
  for (int i = 0; i < 32; ++i) r |= (v >> i & 1u) << (31 - i);
  return r;
}

std::array<std::uint32_t, 2> Em4100Frame(const Em4100Id& id) {
  Bits b;
  b.Msb(0x1FF, 9);
  unsigned columns = 0;
  for (int i = 0; i < 10; ++i) {
    const unsigned nibble = (i % 2 == 0 ? id[i / 2] >> 4 : id[i / 2]) & 0xFu;
    b.Msb(nibble, 4);
    b.Msb(Parity(nibble), 1);
    columns ^= nibble;
  }
  b.Msb(columns, 4);
  b.Msb(0, 1);
  return b.Words<2>();
}

std::optional<Em4100Id> DecodeEm4100(std::span<const std::uint32_t> words) {
  if (words.size() != 2) return std::nullopt;
  BitReader r(words);
  if (r.Msb(9) != 0x1FF) return std::nullopt;
  Em4100Id id{};
  unsigned columns = 0;
  for (int i = 0; i < 10; ++i) {
    const auto nibble = static_cast<unsigned>(r.Msb(4));
    if (r.Bit() != Parity(nibble)) return std::nullopt;
    columns ^= nibble;
    id[i / 2] = static_cast<std::uint8_t>(i % 2 == 0 ? nibble << 4 : id[i / 2] | nibble);
  }
  if (r.Msb(4) != columns || r.Bit() != 0) return std::nullopt;
  return id;
}

std::uint16_t FdxbCrc(std::uint64_t identityBits) {
  std::uint16_t crc = 0;
  for (int i = 0; i < 64; ++i) {  // bit by bit in transmission order
    const unsigned in = static_cast<unsigned>(identityBits >> i & 1);
    const bool feedback = ((crc >> 15 ^ in) & 1) != 0;
    crc = static_cast<std::uint16_t>(crc << 1);
    if (feedback) crc ^= 0x1021;
  }
  return crc;
}

std::uint64_t FdxbIdentityBits(const FdxbIdentity& id) {
  return (id.national & FdxbMaxNational) | std::uint64_t{static_cast<std::uint16_t>(id.country & FdxbMaxCountry)} << 38 |
         std::uint64_t{id.dataBlock} << 48 | std::uint64_t{id.animal} << 63;
}

std::array<std::uint32_t, 4> FdxbFrame(const FdxbIdentity& id) {
  const std::uint64_t bits = FdxbIdentityBits(id);
  const std::uint16_t crc = FdxbCrc(bits);
  const std::uint32_t trailer = id.trailer & 0xFFFFFF;
  std::uint8_t groups[13];
  for (int g = 0; g < 8; ++g) groups[g] = static_cast<std::uint8_t>(bits >> (8 * g));
  groups[8] = Reverse8(crc >> 8);
  groups[9] = Reverse8(crc & 0xFFu);
  for (int g = 0; g < 3; ++g) groups[10 + g] = static_cast<std::uint8_t>(trailer >> (8 * g));
  Bits b;
  b.Msb(0b00000000001, 11);
  for (const std::uint8_t g : groups) {
    b.Lsb(g, 8);
    b.Msb(1, 1);
  }
  return b.Words<4>();
}

std::optional<FdxbIdentity> DecodeFdxb(std::span<const std::uint32_t> words) {
  if (words.size() != 4) return std::nullopt;
  BitReader r(words);
  if (r.Msb(11) != 1) return std::nullopt;
  std::uint8_t groups[13];
  for (std::uint8_t& g : groups) {
    g = static_cast<std::uint8_t>(r.Lsb(8));
    if (r.Bit() != 1) return std::nullopt;
  }
  std::uint64_t bits = 0;
  for (int g = 0; g < 8; ++g) bits |= std::uint64_t{groups[g]} << (8 * g);
  const auto crc = static_cast<std::uint16_t>(Reverse8(groups[8]) << 8 | Reverse8(groups[9]));
  if (crc != FdxbCrc(bits)) return std::nullopt;
  FdxbIdentity id;
  id.national = bits & FdxbMaxNational;
  id.country = static_cast<std::uint16_t>(bits >> 38 & FdxbMaxCountry);
  id.dataBlock = (bits >> 48 & 1) != 0;
  id.animal = (bits >> 63 & 1) != 0;
  id.trailer = static_cast<std::uint32_t>(groups[10] | groups[11] << 8 | groups[12] << 16);
  return id;
}

std::uint32_t Hid26Bits(std::uint8_t facility, std::uint16_t card) {
  const std::uint32_t data = std::uint32_t{facility} << 16 | card;
  const unsigned even = Parity(data >> 12);      // facility and the card's top 4 bits
  const unsigned odd = Parity(data & 0xFFF) ^ 1;  // the card's low 12 bits
  return std::uint32_t{even} << 25 | data << 1 | odd;
}

std::array<std::uint32_t, 3> HidFrame(std::uint8_t facility, std::uint16_t card) {
  const std::uint64_t word = std::uint64_t{1} << 37 | std::uint64_t{1} << 26 | Hid26Bits(facility, card);
  Bits b;
  b.Msb(0x1D, 8);
  b.Manchester(word, 44);
  return b.Words<3>();
}

std::optional<HidCard> DecodeHid(std::span<const std::uint32_t> words) {
  if (words.size() != 3) return std::nullopt;
  BitReader r(words);
  if (r.Msb(8) != 0x1D) return std::nullopt;
  const std::uint64_t word = r.ManchesterBits(44);
  if (!r.Ok()) return std::nullopt;
  const std::uint64_t fixed = std::uint64_t{1} << 37 | std::uint64_t{1} << 26;
  if ((word & ~std::uint64_t{0x3FFFFFF}) != fixed) return std::nullopt;
  const auto bits = static_cast<std::uint32_t>(word & 0x3FFFFFF);
  HidCard c;
  c.facility = static_cast<std::uint8_t>(bits >> 17);
  c.card = static_cast<std::uint16_t>(bits >> 1);
  if (Hid26Bits(c.facility, c.card) != bits) return std::nullopt;  // a parity bit is wrong
  return c;
}

std::array<std::uint32_t, 3> FdxaFrame(const FdxaId& id) {
  Bits b;
  b.Msb(0x551D, 16);
  for (const std::uint8_t byte : id) {
    const unsigned data = byte & 0x7Fu;
    b.Manchester((Parity(data) ^ 1u) << 7 | data, 8);
  }
  return b.Words<3>();
}

std::optional<FdxaId> DecodeFdxa(std::span<const std::uint32_t> words) {
  if (words.size() != 3) return std::nullopt;
  BitReader r(words);
  if (r.Msb(16) != 0x551D) return std::nullopt;
  FdxaId id{};
  for (std::uint8_t& byte : id) {
    const std::uint64_t v = r.ManchesterBits(8);
    if (!r.Ok() || Parity(v) != 1) return std::nullopt;
    byte = static_cast<std::uint8_t>(v & 0x7F);
  }
  return id;
}

}  // namespace rivelo::sim
