// Visa2000 on a T5577: 96 bits of Manchester at RF/64 in blocks 1-3. Block 1 is "VIS2" in ASCII
// (56495332), block 2 the 32-bit card number, block 3 twenty 0s, then one parity bit per nibble of
// the card number (1 when the nibble holds an odd count of ones), first nibble first, and the XOR
// of the eight nibbles.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& Visa2000();

}  // namespace rivelo::access
