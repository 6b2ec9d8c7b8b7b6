// HID Prox cards in the 44-bit word of an FSK tag. Below the 37-bit length a fixed 1 at bit
// 37 and a sentinel 1 just above the card's bits give its length; a 37-bit card fills bits
// 0-36 with nothing above. Bit numbers here count from 1 at the card's first transmitted bit.
#include <cstdio>

#include "sim/access_decoders.h"

namespace rivelo::sim {
namespace {

struct Card {
  std::uint64_t bits;
  int length;
  int Bit(int i) const { return static_cast<int>(bits >> (length - i) & 1); }
  std::uint64_t Field(int first, int count) const {
    return bits >> (length - first - count + 1) & ((std::uint64_t{1} << count) - 1);
  }
  // Sum of the bits from..to, both included, modulo 2.
  int Parity(int from, int to) const {
    int p = 0;
    for (int i = from; i <= to; ++i) p ^= Bit(i);
    return p;
  }
};

std::string Named(const char* format, std::uint64_t a, std::uint64_t b) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %llu:%llu", format, static_cast<unsigned long long>(a),
                static_cast<unsigned long long>(b));
  return buf;
}

// Two parity bits, first even over the first half, last odd over the second half; the halves
// overlap by one bit when the length is odd. Facility code from bit 2, card number after it.
std::string TwoParity(const Card& c, const char* format, int facilityBits) {
  const int half = (c.length + 1) / 2;
  if (c.Parity(1, half) != 0 || c.Parity(c.length - half + 1, c.length) != 1) return "";
  const int cardBits = c.length - 2 - facilityBits;
  return Named(format, c.Field(2, facilityBits), c.Field(2 + facilityBits, cardBits));
}

// Corporate 1000: bit 2 even over bits 3-4, 6-7, ... 33-34; bit 35 odd over bits 2-3, 5-6,
// ... 32-33; bit 1 odd over the whole card. Company ID bits 3-14, card number 15-34.
std::string Corporate1000(const Card& c) {
  int even = c.Bit(2), odd = c.Bit(35);
  for (int i = 3; i <= 34; ++i) {
    if (i % 3 != 2) even ^= c.Bit(i);
    if (i % 3 != 1) odd ^= c.Bit(i);
  }
  odd ^= c.Bit(2);
  if (even != 0 || odd != 1 || c.Parity(1, 35) != 1) return "";
  return Named("HID Corporate 1000", c.Field(3, 12), c.Field(15, 20));
}

// The 36-bit cards with an OEM code have their parities the other way round: bit 1 odd over
// bits 1-18, bit 36 even over bits 19-36. Facility 2-17, card 18-33, OEM code 34-35.
std::string Oem36(const Card& c) {
  if (c.Parity(1, 18) != 1 || c.Parity(19, 36) != 0) return "";
  char buf[64];
  std::snprintf(buf, sizeof buf, "HID 36-bit OEM %llu:%llu:%llu", static_cast<unsigned long long>(c.Field(34, 2)),
                static_cast<unsigned long long>(c.Field(2, 16)), static_cast<unsigned long long>(c.Field(18, 16)));
  return buf;
}

}  // namespace

std::string DecodeHidWord(std::uint64_t word) {
  constexpr std::uint64_t low37 = (std::uint64_t{1} << 37) - 1;
  Card c{word & low37, 37};
  if (word >> 37 == 1) {
    c.length = 36;
    while (c.length > 0 && (c.bits >> c.length & 1) == 0) --c.length;
    if (c.length == 0) return "";
    c.bits &= (std::uint64_t{1} << c.length) - 1;
  } else if (word >> 37 != 0) {
    return "";
  }
  switch (c.length) {
    case 26: return TwoParity(c, "HID H10301", 8);
    case 34: return TwoParity(c, "HID H10306", 16);
    case 35: return Corporate1000(c);
    case 36: return Oem36(c);
    case 37: return TwoParity(c, "HID H10304", 16);
    default: return "";
  }
}

}  // namespace rivelo::sim
