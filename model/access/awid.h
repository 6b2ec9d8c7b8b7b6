// AWID 26-bit on a T5577: 96 bits of FSK in blocks 1-3, like HID Prox. The preamble 00000001,
// then 22 groups of three data bits each followed by an odd parity bit. The 66 data bits are
// the length 26 (8 bits), an H10301 Wiegand frame, and 32 zero bits.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& Awid26();

}  // namespace rivelo::access
