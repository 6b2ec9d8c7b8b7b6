// HID 26-bit (H10301) frames: an 8-bit facility code and a 16-bit card number between two
// parity bits, the leading one even over the facility and the card's top 4 bits, the trailing
// one odd over the card's low 12 bits. The reader hands over only the 24 data bits, so the page
// shows the frame a tag of that identity carries, with its parity computed here.
#pragma once

#include <cstdint>
#include <string>

#include "model/identity.h"

namespace rivelo {

constexpr std::uint32_t Hid26FrameMask = 0x3FFFFFF;

// The 26-bit frame, most significant bit first as the tag sends it.
std::uint32_t Hid26Frame(std::uint8_t facility, std::uint16_t card);

// A frame taken apart, with each parity bit checked against its data bits.
struct Hid26Fields {
  std::uint8_t facility = 0;
  std::uint16_t card = 0;
  bool leadingParityOk = false;
  bool trailingParityOk = false;
  bool ParityOk() const { return leadingParityOk && trailingParityOk; }
};

// Bits above the 26th are ignored.
Hid26Fields Hid26FromFrame(std::uint32_t frame);

// The frame as 7 upper-case hex digits ("2EC0C86").
std::string Hid26Text(std::uint32_t frame);

// The HID 26-bit identity as the reader hands it over: facility code, then the card number
// big-endian (3 bytes). Its text forms are "1:65534" (FC:CN, also the batch line), the 24 data
// bits in hex and the frame; an incremental run steps the card number and ends after 65535.
constexpr std::size_t Hid26IdLength = 3;
const IdentityFormat& Hid26Format();

}  // namespace rivelo
