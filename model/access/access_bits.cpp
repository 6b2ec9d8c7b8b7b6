#include "model/access/access_bits.h"

namespace rivelo::access {

Bits Bits::FromBlocks(std::span<const std::uint32_t> blocks) {
  Bits b;
  for (const std::uint32_t block : blocks) b.Put(block, 32);
  return b;
}

Bits& Bits::Put(std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) bits_.push_back(static_cast<std::uint8_t>(value >> i & 1));
  return *this;
}

Bits& Bits::PutManchester(std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) Put((value >> i & 1) != 0 ? 0b10 : 0b01, 2);
  return *this;
}

std::uint64_t Bits::Get(std::size_t at, int width) const {
  std::uint64_t v = 0;
  for (int i = 0; i < width; ++i) v = v << 1 | bits_[at + static_cast<std::size_t>(i)];
  return v;
}

std::optional<std::uint64_t> Bits::GetManchester(std::size_t at, int width) const {
  std::uint64_t v = 0;
  for (int i = 0; i < width; ++i) {
    const auto pair = Get(at + 2 * static_cast<std::size_t>(i), 2);
    if (pair != 0b10 && pair != 0b01) return std::nullopt;
    v = v << 1 | (pair == 0b10 ? 1 : 0);
  }
  return v;
}

std::vector<std::uint32_t> Bits::Blocks() const {
  std::vector<std::uint32_t> blocks;
  for (std::size_t at = 0; at + 32 <= bits_.size(); at += 32) blocks.push_back(static_cast<std::uint32_t>(Get(at, 32)));
  return blocks;
}

std::uint64_t Wiegand::Field(int first, int width) const {
  const int shift = length - (first + width - 1);
  const std::uint64_t mask = width >= 64 ? ~0ull : (1ull << width) - 1;
  return frame >> shift & mask;
}

void Wiegand::SetField(int first, int width, std::uint64_t value) {
  const int shift = length - (first + width - 1);
  const std::uint64_t mask = (width >= 64 ? ~0ull : (1ull << width) - 1) << shift;
  frame = (frame & ~mask) | (value << shift & mask);
}

bool Wiegand::Ones(int first, int last, int step, int skip) const {
  int ones = 0;
  for (int p = first; p <= last; ++p) {
    if (step != 0 && p % step == skip) continue;
    ones += Bit(p) ? 1 : 0;
  }
  return ones % 2 != 0;
}

std::uint32_t Block0(Rate rate, Mod modulation, int maxBlock, bool terminator) {
  // Bits 12-14 data rate, 16-20 modulation, 25-27 MAXBLK, 29 sequence terminator (1 = MSB).
  // PSK formats send their carrier at RF/2, which is field value 0.
  return static_cast<std::uint32_t>(rate) << 18 | static_cast<std::uint32_t>(modulation) << 12 |
         static_cast<std::uint32_t>(maxBlock) << 5 | (terminator ? 0x8u : 0u);
}

}  // namespace rivelo::access
