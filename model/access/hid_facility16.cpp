#include "model/access/hid_facility16.h"

#include "model/access/access_bits.h"
#include "model/access/hid_prox.h"

namespace rivelo::access {
namespace {

// Values: facility, card.
std::vector<std::uint32_t> Encode34(const AccessValues& v) {
  Wiegand w{0, 34};
  w.SetField(2, 16, v[0]);
  w.SetField(18, 16, v[1]);
  w.SetBit(1, w.Ones(2, 17));
  w.SetBit(34, !w.Ones(18, 33));
  return HidBlocks(w);
}

std::optional<AccessValues> Decode34(std::span<const std::uint32_t> data) {
  const auto w = HidWiegand(data, 34);
  if (!w || w->Bit(1) != w->Ones(2, 17) || w->Bit(34) == w->Ones(18, 33)) return std::nullopt;
  return AccessValues{w->Field(2, 16), w->Field(18, 16)};
}

// Values: facility, card. The two parity halves are 18 bits each and share bit 19.
std::vector<std::uint32_t> Encode37(const AccessValues& v) {
  Wiegand w{0, 37};
  w.SetField(2, 16, v[0]);
  w.SetField(18, 19, v[1]);
  w.SetBit(1, w.Ones(2, 19));
  w.SetBit(37, !w.Ones(19, 36));
  return HidBlocks(w);
}

std::optional<AccessValues> Decode37(std::span<const std::uint32_t> data) {
  const auto w = HidWiegand(data, 37);
  if (!w || w->Bit(1) != w->Ones(2, 19) || w->Bit(37) == w->Ones(19, 36)) return std::nullopt;
  return AccessValues{w->Field(2, 16), w->Field(18, 19)};
}

// Values: OEM code, facility, card (the card last, so a run steps it).
std::vector<std::uint32_t> Encode36(const AccessValues& v) {
  Wiegand w{0, 36};
  w.SetField(2, 16, v[1]);
  w.SetField(18, 16, v[2]);
  w.SetField(34, 2, v[0]);
  w.SetBit(1, !w.Ones(2, 18));
  w.SetBit(36, w.Ones(19, 35));
  return HidBlocks(w);
}

std::optional<AccessValues> Decode36(std::span<const std::uint32_t> data) {
  const auto w = HidWiegand(data, 36);
  if (!w || w->Bit(1) == w->Ones(2, 18) || w->Bit(36) != w->Ones(19, 35)) return std::nullopt;
  return AccessValues{w->Field(34, 2), w->Field(2, 16), w->Field(18, 16)};
}

}  // namespace

const AccessFormat& HidH10306() {
  static const AccessFormat f{"hid-h10306", "HID 34-bit (H10306)", {{"facility", 0, 65535}, {"card", 0, 65535}},
                              HidBlock0(), 3, Encode34, Decode34};
  return f;
}

const AccessFormat& HidH10304() {
  static const AccessFormat f{"hid-h10304", "HID 37-bit (H10304)", {{"facility", 0, 65535}, {"card", 0, 524287}},
                              HidBlock0(), 3, Encode37, Decode37};
  return f;
}

const AccessFormat& Hid36Oem() {
  static const AccessFormat f{"hid-36-oem", "HID 36-bit with OEM code",
                              {{"oem", 0, 3}, {"facility", 0, 65535}, {"card", 0, 65535}},
                              HidBlock0(),
                              3,
                              Encode36,
                              Decode36};
  return f;
}

}  // namespace rivelo::access
