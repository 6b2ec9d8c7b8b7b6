// PAC/Stanley on a T5577: 128 bits sent as they are (direct, NRZ) at RF/32 in blocks 1-4: the byte
// FF, then twelve characters of ten bits each, a 0 start bit, seven data bits least significant
// first, an odd parity bit over them and a 1 stop bit. The characters are STX (02), '2', '0', the
// card's eight-character ID and the XOR of the ID's characters. IDs are upper-case hex digits here
// (as printed on the cards); a tag whose ID holds other characters reads as no identity rather than
// as a wrong one.
#pragma once

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& PacStanley();

}  // namespace rivelo::access
