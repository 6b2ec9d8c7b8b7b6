#include "reader/reply_frame.h"

namespace rivelo {

bool IsWholeReplyFrame(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != 0xAA || bytes[1] != 0xDD) return false;
  // Unstuff from position 2: every 0xAA on the wire is followed by one dropped byte.
  std::size_t logical = 0;
  unsigned length = 0;
  std::size_t i = 2;
  while (i < bytes.size()) {
    const std::uint8_t b = bytes[i];
    if (b == 0xAA) {
      if (i + 1 >= bytes.size()) return false;  // its stuffing byte is still on the way
      i += 2;
    } else {
      ++i;
    }
    if (logical < 2) length = (length << 8) | b;
    ++logical;
    // The length counts command, status, payload and checksum; a reply has at least 4.
    if (logical == 2 && length < 4) return false;
    if (logical >= 2 && logical == 2 + length) return true;
  }
  return false;
}

}  // namespace rivelo
