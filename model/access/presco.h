// Presco on a T5577: 128 bits of Manchester at RF/32 in blocks 1-4. Block 1 is 10D00000, blocks
// 2 and 3 are zero and block 4 is the card's 32-bit full code (the site code in its top byte, the
// user code in its low 16 bits). The code carries no check: only the fixed blocks guard a read.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& Presco();

}  // namespace rivelo::access
