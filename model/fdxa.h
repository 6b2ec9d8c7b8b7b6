// FDX-A (FECAVA) codes: 5 bytes of which the tag carries 7 data bits each; the eighth bit of
// every byte on the air is the parity the writer adds, so a code to be written keeps only the
// low 7 bits of each byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/identity.h"

namespace rivelo {

constexpr std::size_t FdxaLength = 5;
using FdxaCode = std::array<std::uint8_t, FdxaLength>;

// The code as it is sent to be written: bit 7 of every byte cleared.
FdxaCode FdxaWritable(std::span<const std::uint8_t, FdxaLength> code);

// The FDX-A identity: its 5 bytes, typed and written in 10 hex digits (also the batch line),
// each byte 00 to 7F. An incremental run counts through the 35 data bits (7F follows 00 of
// the next byte up) and ends after 7F7F7F7F7F.
const IdentityFormat& FdxaFormat();

}  // namespace rivelo
