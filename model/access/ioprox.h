// Kantech ioProx (XSF) on a T5577: 64 bits of FSK at RF/64 in blocks 1-2. Nine 0 bits,
// then the bytes F0, facility, version, card (two bytes) and a checksum (FF minus the low byte
// of the sum of the five before it), each followed by a 1, and a last 1.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& IoProx();

}  // namespace rivelo::access
