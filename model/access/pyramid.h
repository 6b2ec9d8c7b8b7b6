// Farpointe Pyramid 26-bit on a T5577: 128 bits of FSK2a at RF/50 in blocks 1-4. The frame opens
// with fifteen 0s and a 1; then thirteen bytes, each seven data bits and an odd parity bit, carry
// 91 data bits: 0s, a sentinel 1 and the 26-bit Wiegand card (the H10301 layout) at their end; the
// last byte is the CRC-8/MAXIM (polynomial 31 reflected, start 0) of those thirteen bytes.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& Pyramid26();

}  // namespace rivelo::access
