// The bit-level pieces every access-control format on a T5577 shares: a bit stream written and
// read most significant bit first, cut into 32-bit blocks in the order the tag sends them, the
// Manchester pairs some frames carry inside the chip's own modulation, parity over a Wiegand
// frame's positions, and the block 0 word that sets the chip up to send the blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rivelo::access {

// Bits in the order the tag sends them; each element 0 or 1.
class Bits {
 public:
  Bits() = default;
  // The 32 bits of each block, block 1 first.
  static Bits FromBlocks(std::span<const std::uint32_t> blocks);

  // Appends the low `width` bits of `value` (width <= 64), most significant first.
  Bits& Put(std::uint64_t value, int width);
  // Appends each bit as a pair: 1 as 10, 0 as 01.
  Bits& PutManchester(std::uint64_t value, int width);

  std::size_t size() const { return bits_.size(); }
  // `width` bits (<= 64) from position `at`; the caller keeps inside size().
  std::uint64_t Get(std::size_t at, int width) const;
  // `width` Manchester pairs from position `at` as bits, or nullopt if a pair is 00 or 11.
  std::optional<std::uint64_t> GetManchester(std::size_t at, int width) const;

  // The stream as blocks; its size must be a multiple of 32.
  std::vector<std::uint32_t> Blocks() const;

 private:
  std::vector<std::uint8_t> bits_;
};

// A Wiegand frame of `length` bits (<= 64) numbered 1..length from the most significant, as
// format descriptions number them.
struct Wiegand {
  std::uint64_t frame = 0;
  int length = 0;

  std::uint64_t Field(int first, int width) const;
  void SetField(int first, int width, std::uint64_t value);
  bool Bit(int position) const { return Field(position, 1) != 0; }
  void SetBit(int position, bool value) { SetField(position, 1, value ? 1 : 0); }
  // The number of ones at positions first..last (inclusive) whose (position % step) is not
  // `skip` (step 0: every position), taken modulo 2.
  bool Ones(int first, int last, int step = 0, int skip = -1) const;
};

// The block 0 fields a format sets; everything else (password, answer on request, lock) stays 0.
enum class Rate { RF8 = 0, RF16, RF32, RF40, RF50, RF64, RF100, RF128 };
enum class Mod : std::uint32_t {
  Direct = 0x00, Psk1 = 0x01, Fsk2a = 0x07, Manchester = 0x08, Biphase = 0x10, Biphase57 = 0x18
};
std::uint32_t Block0(Rate rate, Mod modulation, int maxBlock, bool terminator = false);

// Block 0's protection bits, password mode (PWD) and answer on request (AOR): set on a protected
// tag, they leave the signal it sends unchanged.
inline constexpr std::uint32_t Block0ProtectionBits = 0x210;

}  // namespace rivelo::access
