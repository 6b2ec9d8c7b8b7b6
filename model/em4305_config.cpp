#include "model/em4305_config.h"

namespace rivelo {

std::uint32_t Em4305Word(std::span<const std::uint8_t, 4> bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

Em4305Config DecodeEm4305Config(std::uint32_t word) {
  Em4305Config c;
  c.word = word;
  c.dataRate = 2 * static_cast<int>(word & 0x3Fu) + 2;
  c.encoderBits = static_cast<int>((word >> 6) & 0xFu);
  c.encoder = c.encoderBits == 1   ? Em4305Encoder::Manchester
              : c.encoderBits == 2 ? Em4305Encoder::Biphase
                                   : Em4305Encoder::Other;
  c.lastReadWord = static_cast<int>((word >> 14) & 0xFu);
  c.readLogin = (word >> 18) & 1u;
  c.writeLogin = (word >> 20) & 1u;
  c.disableAllowed = (word >> 23) & 1u;
  c.readerTalksFirst = (word >> 24) & 1u;
  return c;
}

}  // namespace rivelo
