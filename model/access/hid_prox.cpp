#include "model/access/hid_prox.h"

#include "model/access/access_bits.h"
#include "model/hid26.h"

namespace rivelo::access {
namespace {

constexpr std::uint64_t Preamble = 0x1D;
constexpr std::uint64_t HeaderBit = 1ull << 37;

// H10301 frames are the reader's own HID 26-bit frames.
std::vector<std::uint32_t> Encode26(const AccessValues& v) {
  return HidBlocks(Wiegand{Hid26Frame(static_cast<std::uint8_t>(v[0]), static_cast<std::uint16_t>(v[1])), 26});
}

std::optional<AccessValues> Decode26(std::span<const std::uint32_t> data) {
  const auto w = HidWiegand(data, 26);
  if (!w) return std::nullopt;
  const Hid26Fields f = Hid26FromFrame(static_cast<std::uint32_t>(w->frame));
  if (!f.ParityOk()) return std::nullopt;
  return AccessValues{f.facility, f.card};
}

// Corporate 1000: company code 3-14, card 15-34. Bit 2 even parity over the positions 3-34 that
// are not 2 modulo 3 (3,4, 6,7, ...); bit 35 odd parity over the positions 2-33 that are not 1
// modulo 3 (2,3, 5,6, ...); bit 1 odd parity over bits 2-35, so it is set last.
std::vector<std::uint32_t> Encode35(const AccessValues& v) {
  Wiegand w{0, 35};
  w.SetField(3, 12, v[0]);
  w.SetField(15, 20, v[1]);
  w.SetBit(2, w.Ones(3, 34, 3, 2));
  w.SetBit(35, !w.Ones(2, 33, 3, 1));
  w.SetBit(1, !w.Ones(2, 35));
  return HidBlocks(w);
}

std::optional<AccessValues> Decode35(std::span<const std::uint32_t> data) {
  const auto w = HidWiegand(data, 35);
  if (!w || w->Bit(2) != w->Ones(3, 34, 3, 2) || w->Bit(35) == w->Ones(2, 33, 3, 1) || w->Bit(1) == w->Ones(2, 35)) {
    return std::nullopt;
  }
  return AccessValues{w->Field(3, 12), w->Field(15, 20)};
}

}  // namespace

std::uint32_t HidBlock0() { return Block0(Rate::RF50, Mod::Fsk2a, 3); }

std::vector<std::uint32_t> HidBlocks(const Wiegand& w) {
  Bits bits;
  bits.Put(Preamble, 8).PutManchester(HidWord(w.frame, w.length), 44);
  return bits.Blocks();
}

std::optional<Wiegand> HidWiegand(std::span<const std::uint32_t> data, int length) {
  const Bits bits = Bits::FromBlocks(data);
  if (bits.size() != 96 || bits.Get(0, 8) != Preamble) return std::nullopt;
  const auto word = bits.GetManchester(8, 44);
  if (!word) return std::nullopt;
  const auto frame = HidFrame(*word, length);
  if (!frame) return std::nullopt;
  return Wiegand{*frame, length};
}

std::uint64_t HidWord(std::uint64_t frame, int length) {
  const std::uint64_t data = frame & ((1ull << length) - 1);
  return length == 37 ? data : HeaderBit | 1ull << length | data;
}

std::optional<std::uint64_t> HidFrame(std::uint64_t word, int length) {
  const std::uint64_t data = word & ((1ull << length) - 1);
  if (word >> 44 != 0 || HidWord(data, length) != word) return std::nullopt;
  return data;
}

const AccessFormat& HidH10301() {
  static const AccessFormat f{"hid-h10301", "HID Prox 26-bit (H10301)", {{"facility", 0, 255}, {"card", 0, 65535}},
                              HidBlock0(), 3, Encode26, Decode26};
  return f;
}

const AccessFormat& HidCorporate1000() {
  static const AccessFormat f{"hid-corp1000", "HID Corporate 1000 35-bit", {{"company", 0, 4095}, {"card", 0, 1048575}},
                              HidBlock0(), 3, Encode35, Decode35};
  return f;
}

}  // namespace rivelo::access
