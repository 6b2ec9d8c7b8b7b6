// EM4100 on a T5577 at its usual RF/64 and at the faster RF/32 and RF/16 some readers expect:
// the same 64-bit frame (9 header ones, 10 rows of 4 bits each with even parity, 4 even column
// parity bits, a stop 0) in blocks 1-2, Manchester, only block 0's data rate differing.
#pragma once

#include <cstdint>
#include <optional>

#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& Em4100Rf64();
const AccessFormat& Em4100Rf32();
const AccessFormat& Em4100Rf16();

// The frame of a 40-bit identity, and the identity back from a frame whose header, parity
// and stop bit hold.
std::uint64_t Em4100Frame(std::uint64_t id);
std::optional<std::uint64_t> Em4100Id(std::uint64_t frame);

}  // namespace rivelo::access
