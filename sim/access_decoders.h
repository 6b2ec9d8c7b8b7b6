// The virtual reader's own reading of the access-control formats people clone onto a T5577:
// from block 0 and the data blocks it names the format and its identity, checking each
// format's preamble, parity or checksum as its public description states. Written apart
// from the host's encoders so that what the host writes is checked by a second reading.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace rivelo::sim {

// block0 and page 0's blocks 1.. (as many as there are; blocks past the format's MAXBLK are
// ignored). The password and answer-on-request bits of block 0 change nothing the tag
// sends, so they are ignored. "HID H10301 118:1603", "AWID26 123:45678", ..., or "" when the
// blocks hold none of these formats.
std::string DecodeAccessBlocks(std::uint32_t block0, std::span<const std::uint32_t> data);

// The HID Prox family inside a 44-bit word (H10301, H10306, Corporate 1000, 36-bit OEM,
// H10304), or "".
std::string DecodeHidWord(std::uint64_t word);

}  // namespace rivelo::sim
