// HID Prox Wiegand formats with a 16-bit facility code, in the same 96-bit FSK frame as the other
// HID formats (hid_prox.h). Bits are numbered 1..length from the first sent.
// - H10306, 34 bits: even parity (bit 1) over 2-17, facility 2-17, card 18-33, odd parity
//   (bit 34) over 18-33.
// - H10304, 37 bits: even parity (bit 1) over 2-19, facility 2-17, card 18-36 (19 bits), odd
//   parity (bit 37) over 19-36: bit 19 counts in both halves.
// - 36 bits with an OEM code: odd parity (bit 1) over 2-18, facility 2-17, card 18-33, OEM code
//   34-35, even parity (bit 36) over 19-35.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& HidH10306();
const AccessFormat& HidH10304();
const AccessFormat& Hid36Oem();

}  // namespace rivelo::access
