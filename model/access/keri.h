// Keri (internal ID) on a T5577: 64 bits of PSK1 in blocks 1-2. The card sends 29 zero bits, a 1,
// the 31-bit internal ID and three 1 bits, over and over; the blocks start at those three 1 bits,
// so block 1 is E0000000 and block 2 the ID with its top bit set.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& Keri();

}  // namespace rivelo::access
