// Noralsy on a T5577: 96 bits, Manchester at RF/32 with the sequence terminator, in blocks 1-3,
// read as 24 nibbles. Block 1 is the fixed BB0214FF. Block 2 holds the card number's first three
// BCD digits, the two BCD digits of the year (98 for 1998, 02 for 2002), a 0 nibble and digits
// four and five; block 3 digits six and seven, then two check nibbles and four 0 nibbles. The first
// check nibble is the XOR of the ten nibbles before it from block 2 on; the second the XOR of every
// nibble before it from block 1 on.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& Noralsy();

}  // namespace rivelo::access
