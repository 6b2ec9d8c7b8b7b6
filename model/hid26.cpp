#include "model/hid26.h"

#include <bit>
#include <cstdio>

namespace rivelo {
namespace {

bool OddCount(std::uint32_t bits) { return (std::popcount(bits) & 1) != 0; }

// The leading bit makes its half even, the trailing bit makes its half odd.
std::uint32_t LeadingParity(std::uint32_t data) { return OddCount(data >> 12) ? 1 : 0; }
std::uint32_t TrailingParity(std::uint32_t data) { return OddCount(data & 0xFFF) ? 0 : 1; }

}  // namespace

std::uint32_t Hid26Frame(std::uint8_t facility, std::uint16_t card) {
  const std::uint32_t data = std::uint32_t{facility} << 16 | card;
  return LeadingParity(data) << 25 | data << 1 | TrailingParity(data);
}

Hid26Fields Hid26FromFrame(std::uint32_t frame) {
  frame &= Hid26FrameMask;
  const std::uint32_t data = frame >> 1 & 0xFFFFFF;
  Hid26Fields f;
  f.facility = static_cast<std::uint8_t>(data >> 16);
  f.card = static_cast<std::uint16_t>(data & 0xFFFF);
  f.leadingParityOk = (frame >> 25) == LeadingParity(data);
  f.trailingParityOk = (frame & 1) == TrailingParity(data);
  return f;
}

std::string Hid26Text(std::uint32_t frame) {
  char text[8];
  std::snprintf(text, sizeof text, "%07X", static_cast<unsigned>(frame & Hid26FrameMask));
  return text;
}

}  // namespace rivelo
