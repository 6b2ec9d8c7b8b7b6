// Viking on a T5577: 64 bits, Manchester at RF/32, in blocks 1-2. The header F2 00 00, the
// 32-bit card ID, and a check byte: the XOR of the seven bytes before it, XOR A8.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& Viking();

}  // namespace rivelo::access
