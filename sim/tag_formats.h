// The identity formats as the tags carry them: each encoder gives the frame as the 32-bit
// words a T5577 holds in blocks 1.. (first transmitted bit = most significant bit of the
// first word); each decoder checks a frame (parity, CRC, fixed bits) and gives the identity
// back, or nullopt.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace rivelo::sim {

// T5577 block 0 for each layout, and EM4305 word 4.
constexpr std::uint32_t T5577ConfigEm4100 = 0x00148040;     // Manchester, RF/64, MAXBLK 2
constexpr std::uint32_t T5577ConfigFdxb = 0x00098080;       // bi-phase, RF/32, MAXBLK 4
constexpr std::uint32_t T5577ConfigFsk = 0x00107060;        // FSK2a, RF/50, MAXBLK 3 (HID, FDX-A)
constexpr std::uint32_t T5577ConfigFactory = 0x000880E8;    // Manchester, RF/32, MAXBLK 7
constexpr std::uint32_t Em4305ConfigEm4100 = 0x0001805F;    // Manchester, RF/64, words 5-6
constexpr std::uint32_t Em4305ConfigFdxb = 0x0002008F;      // bi-phase, RF/32, words 5-8

using Em4100Id = std::array<std::uint8_t, 5>;
using FdxaId = std::array<std::uint8_t, 5>;

std::array<std::uint32_t, 2> Em4100Frame(const Em4100Id& id);
std::optional<Em4100Id> DecodeEm4100(std::span<const std::uint32_t> words);

struct FdxbIdentity {
  std::uint64_t national = 0;  // 38 bits
  std::uint16_t country = 0;   // 10 bits
  bool dataBlock = false;      // the 24-bit extension carries the trailer
  bool animal = false;
  std::uint32_t trailer = 0;   // 24 bits
  bool operator==(const FdxbIdentity&) const = default;
};
constexpr std::uint64_t FdxbMaxNational = (std::uint64_t{1} << 38) - 1;
constexpr std::uint16_t FdxbMaxCountry = 1023;

// The CRC of the 64 identity bits (least significant bit first on the air).
std::uint16_t FdxbCrc(std::uint64_t identityBits);
std::uint64_t FdxbIdentityBits(const FdxbIdentity& id);
// The fields must fit (national 38 bits, country 10, trailer 24).
std::array<std::uint32_t, 4> FdxbFrame(const FdxbIdentity& id);
std::optional<FdxbIdentity> DecodeFdxb(std::span<const std::uint32_t> words);

// The 26 bits of an H10301 card: even parity, facility code, card number, odd parity.
std::uint32_t Hid26Bits(std::uint8_t facility, std::uint16_t card);
std::array<std::uint32_t, 3> HidFrame(std::uint8_t facility, std::uint16_t card);
struct HidCard {
  std::uint8_t facility = 0;
  std::uint16_t card = 0;
};
std::optional<HidCard> DecodeHid(std::span<const std::uint32_t> words);

// FDX-A: every byte must be 0x00-0x7F (the top bit carries the parity on the tag).
std::array<std::uint32_t, 3> FdxaFrame(const FdxaId& id);
std::optional<FdxaId> DecodeFdxa(std::span<const std::uint32_t> words);

std::uint32_t Reverse32(std::uint32_t v);

}  // namespace rivelo::sim
