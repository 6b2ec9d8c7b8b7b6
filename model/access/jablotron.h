// Jablotron on a T5577: 64 bits, bi-phase ('57) at RF/64, in blocks 1-2 as sent. Sixteen 1 bits,
// the 40-bit card ID whose first bit is 0 (so the preamble is seventeen bits long), and a check
// byte: the sum of the ID's five bytes, XOR 3A. The ID is taken as ten hex digits; genuine cards
// hold the printed number's last ten decimal digits in them (1410-00-0002-1669 as 0000021669).
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& Jablotron();

}  // namespace rivelo::access
