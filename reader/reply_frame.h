// Recognises a whole reply frame on the wire, so a read can end without waiting for silence.
#pragma once

#include <cstdint>
#include <span>

namespace rivelo {

// True when bytes hold the header, the length field and as many (unstuffed) bytes as the
// length announces. Anything that is not a well-formed start of a frame gives false, and the
// read then ends the old way, by the gap.
bool IsWholeReplyFrame(std::span<const std::uint8_t> bytes);

}  // namespace rivelo
