#include "model/t5577_block0.h"

namespace rivelo {
namespace {

// Field of `width` bits whose last bit is bit `last` (1 = most significant).
int Field(std::uint32_t word, int last, int width) {
  return static_cast<int>(word >> (32 - last) & ((1u << width) - 1));
}

bool Bit(std::uint32_t word, int bit) { return Field(word, bit, 1) != 0; }

T5577Modulation ModulationOf(int bits) {
  switch (bits) {
    case 0x00: return T5577Modulation::Direct;
    case 0x01: return T5577Modulation::Psk1;
    case 0x02: return T5577Modulation::Psk2;
    case 0x03: return T5577Modulation::Psk3;
    case 0x04: return T5577Modulation::Fsk1;
    case 0x05: return T5577Modulation::Fsk2;
    case 0x06: return T5577Modulation::Fsk1a;
    case 0x07: return T5577Modulation::Fsk2a;
    case 0x08: return T5577Modulation::Manchester;
    case 0x10: return T5577Modulation::Biphase;
    case 0x18: return T5577Modulation::Biphase57;
    default: return T5577Modulation::Reserved;
  }
}

// The protection bits (PWD, AOR) do not change what the tag sends, so an identity layout
// matches on the fields that shape the signal alone.
T5577Layout LayoutOf(const T5577Block0& b) {
  if (b.extendedMode) return T5577Layout::None;
  const auto is = [&](T5577Modulation m, int rate, int maxBlock) {
    return b.modulation == m && b.dataRate == rate && b.maxBlock == maxBlock;
  };
  if (is(T5577Modulation::Manchester, 64, 2)) return T5577Layout::Em4100;
  if (is(T5577Modulation::Biphase57, 32, 4)) return T5577Layout::Fdxb;
  if (is(T5577Modulation::Fsk2a, 50, 3)) return T5577Layout::HidOrFdxa;
  if (is(T5577Modulation::Manchester, 32, 7) && b.sequenceTerminator && !b.passwordMode && !b.answerOnRequest)
    return T5577Layout::Factory;
  return T5577Layout::None;
}

}  // namespace

std::uint32_t T5577Word(std::span<const std::uint8_t, 4> bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

T5577Block0 DecodeT5577Block0(std::uint32_t word) {
  static constexpr int rates[8] = {8, 16, 32, 40, 50, 64, 100, 128};
  T5577Block0 b;
  b.word = word;
  b.masterKey = Field(word, 4, 4);
  b.extendedMode = Bit(word, 15) && (b.masterKey == 6 || b.masterKey == 9);
  b.dataRate = b.extendedMode ? 0 : rates[Field(word, 14, 3)];
  b.modulationBits = Field(word, 20, 5);
  b.modulation = ModulationOf(b.modulationBits);
  b.pskCarrier = Field(word, 22, 2);
  b.answerOnRequest = Bit(word, 23);
  b.maxBlock = Field(word, 27, 3);
  b.passwordMode = Bit(word, 28);
  b.sequenceTerminator = Bit(word, 29);
  b.initDelay = Bit(word, 32);
  b.layout = LayoutOf(b);
  return b;
}

bool ReaderReadsBlocks(const T5577Block0& b) {
  if (b.extendedMode) return false;
  if (b.modulation == T5577Modulation::Manchester) return b.dataRate == 32 || b.dataRate == 64;
  if (b.modulation == T5577Modulation::Biphase || b.modulation == T5577Modulation::Biphase57) return b.dataRate == 32;
  return false;
}

}  // namespace rivelo
