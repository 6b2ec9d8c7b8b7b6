// The T5577 configuration block (block 0) taken apart into its fields, and the identity layout
// its fields match. Bits are counted 1-32 from the most significant, as the chip's datasheet
// counts them; the page shows a block most-significant byte first, so the word is the four
// field bytes in order.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace rivelo {

// The modulation field (bits 16-20) as the chip reads it.
enum class T5577Modulation {
  Direct, Psk1, Psk2, Psk3, Fsk1, Fsk2, Fsk1a, Fsk2a, Manchester, Biphase, Biphase57, Reserved
};

// The identity a block 0 is set up for, by its modulation, data rate and block count.
enum class T5577Layout { None, Em4100, Fdxb, HidOrFdxa, Factory };

struct T5577Block0 {
  std::uint32_t word = 0;
  int masterKey = 0;                  // bits 1-4
  bool extendedMode = false;          // bit 15 with master key 6 or 9
  int dataRate = 0;                   // RF/n; 0 in extended mode, where bits 12-14 mean something else
  int modulationBits = 0;             // bits 16-20
  T5577Modulation modulation = T5577Modulation::Direct;
  int pskCarrier = 0;                 // bits 21-22
  bool answerOnRequest = false;       // bit 23
  int maxBlock = 0;                   // bits 25-27: the tag repeats blocks 1..maxBlock
  bool passwordMode = false;          // bit 28
  bool sequenceTerminator = false;    // bit 29
  bool initDelay = false;             // bit 32
  T5577Layout layout = T5577Layout::None;
};

// The restore value 00 08 80 E8: RF/32, Manchester, MAXBLK 7, sequence terminator.
inline constexpr std::array<std::uint8_t, 4> FactoryConfigWord = {0x00, 0x08, 0x80, 0xE8};

// Bit 28, password mode: writes and direct reads then need the password (block 7).
inline constexpr std::uint32_t T5577PasswordBit = 0x10;

std::uint32_t T5577Word(std::span<const std::uint8_t, 4> bytes);
T5577Block0 DecodeT5577Block0(std::uint32_t word);

// Whether the reader's block reads decode what a chip so set up sends: its read modes listen
// for Manchester at RF/32 and RF/64 and bi-phase at RF/32 only.
bool ReaderReadsBlocks(const T5577Block0& b);

}  // namespace rivelo
