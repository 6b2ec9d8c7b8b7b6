// The EM4305 configuration word (word 4) in its bit fields. The reader hands a word over least
// significant byte first, so the bytes are taken in that order.
#pragma once

#include <cstdint>
#include <span>

namespace rivelo {

enum class Em4305Encoder { Manchester, Biphase, Other };

struct Em4305Config {
  std::uint32_t word = 0;
  int dataRate = 0;  // n in RF/n
  Em4305Encoder encoder = Em4305Encoder::Other;
  int encoderBits = 0;      // co6-co9 as they stand, for an encoder with no name
  int lastReadWord = 0;     // LWR: the default read sends words 5 to this one
  bool readLogin = false;   // reading words other than 0 and 1 needs a login
  bool writeLogin = false;  // writing and protecting need a login
  bool disableAllowed = false;
  bool readerTalksFirst = false;
};

// co20: writing and protecting need a login.
inline constexpr std::uint32_t Em4305WriteLoginBit = 1u << 20;

// The word as the reader delivered its 4 bytes.
std::uint32_t Em4305Word(std::span<const std::uint8_t, 4> bytes);
Em4305Config DecodeEm4305Config(std::uint32_t word);

}  // namespace rivelo
