#include "model/hid26.h"

#include <bit>
#include <cstdio>

#include "model/access/access_bits.h"

namespace rivelo {
namespace {

bool OddCount(std::uint32_t bits) { return (std::popcount(bits) & 1) != 0; }

// The leading bit makes its half even, the trailing bit makes its half odd.
std::uint32_t LeadingParity(std::uint32_t data) { return OddCount(data >> 12) ? 1 : 0; }
std::uint32_t TrailingParity(std::uint32_t data) { return OddCount(data & 0xFFF) ? 0 : 1; }

}  // namespace

std::uint32_t Hid26Frame(std::uint8_t facility, std::uint16_t card) {
  const std::uint32_t data = std::uint32_t{facility} << 16 | card;
  return LeadingParity(data) << 25 | data << 1 | TrailingParity(data);
}

Hid26Fields Hid26FromFrame(std::uint32_t frame) {
  frame &= Hid26FrameMask;
  const std::uint32_t data = frame >> 1 & 0xFFFFFF;
  Hid26Fields f;
  f.facility = static_cast<std::uint8_t>(data >> 16);
  f.card = static_cast<std::uint16_t>(data & 0xFFFF);
  f.leadingParityOk = (frame >> 25) == LeadingParity(data);
  f.trailingParityOk = (frame & 1) == TrailingParity(data);
  return f;
}

std::string Hid26Text(std::uint32_t frame) {
  char text[8];
  std::snprintf(text, sizeof text, "%07X", static_cast<unsigned>(frame & Hid26FrameMask));
  return text;
}

}  // namespace rivelo

namespace rivelo {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::uint8_t FacilityOf(const Identity& id) { return id.size() == Hid26IdLength ? id[0] : 0; }
std::uint16_t CardOf(const Identity& id) {
  return id.size() == Hid26IdLength ? static_cast<std::uint16_t>(id[1] << 8 | id[2]) : 0;
}

Identity HidIdentity(std::uint32_t facility, std::uint32_t card) {
  return {static_cast<std::uint8_t>(facility), static_cast<std::uint8_t>(card >> 8),
          static_cast<std::uint8_t>(card & 0xFF)};
}

std::string FormText(const Identity& id, std::size_t form) {
  const std::uint8_t facility = FacilityOf(id);
  const std::uint16_t card = CardOf(id);
  if (form == 1) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(facility) << 16 | card);
    return text;
  }
  if (form == 2) return Hid26Text(Hid26Frame(facility, card));
  return std::to_string(facility) + ":" + std::to_string(card);
}

// The card number only: stepping past 65535 would issue another facility's card, or wrap to
// a card already issued.
bool Increment(Identity& id) {
  const std::uint16_t card = CardOf(id);
  if (card == 0xFFFF) return false;
  id = HidIdentity(FacilityOf(id), card + 1u);
  return true;
}

// One decimal number of at most maximum at text[*i], which moves past it.
LineError Number(std::string_view text, std::size_t* i, std::uint32_t maximum, std::uint32_t* value) {
  if (*i < text.size() && text[*i] == '-') return LineError::Negative;
  const std::size_t start = *i;
  std::uint64_t v = 0;
  for (; *i < text.size() && text[*i] >= '0' && text[*i] <= '9'; ++*i) {
    v = v * 10 + static_cast<std::uint64_t>(text[*i] - '0');
    if (v > maximum) return LineError::TooLarge;
  }
  if (*i == start) return LineError::NotANumber;
  *value = static_cast<std::uint32_t>(v);
  return LineError::None;
}

// "FACILITY:CARD" in decimal, blanks around it allowed.
LineParse ParseLine(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && Blank(line[i])) ++i;
  std::uint32_t facility = 0, card = 0;
  if (const LineError e = Number(line, &i, 0xFF, &facility); e != LineError::None) return {std::nullopt, e};
  if (i >= line.size() || line[i] != ':') return {std::nullopt, i < line.size() ? LineError::TrailingText : LineError::NotANumber};
  ++i;
  if (const LineError e = Number(line, &i, 0xFFFF, &card); e != LineError::None) return {std::nullopt, e};
  while (i < line.size() && Blank(line[i])) ++i;
  if (i != line.size()) return {std::nullopt, LineError::TrailingText};
  return {HidIdentity(facility, card), LineError::None};
}

Identity FromEntry(std::string_view text) {
  const LineParse p = ParseLine(text);
  return p.id ? *p.id : Identity{};
}

std::vector<std::pair<std::string, std::string>> Fields(const Identity& id) {
  return {{"facility", std::to_string(FacilityOf(id))},
          {"card", std::to_string(CardOf(id))},
          {"FC:CN", FormText(id, 0)},
          {"6H", FormText(id, 1)},
          {"frame", FormText(id, 2)}};
}

std::string FacilityError(std::string_view text) { return DecimalValueError("facility code", text, 0xFF); }
std::string CardError(std::string_view text) { return DecimalValueError("card number", text, 0xFFFF); }

Identity FromValues(const std::vector<std::string>& values) {
  return HidIdentity(static_cast<std::uint32_t>(std::stoul(values.at(0))),
                     static_cast<std::uint32_t>(std::stoul(values.at(1))));
}

// FSK2a, RF/50, blocks 1-3: 0x1D, then a 44-bit word (bit 37 the header, bit 26 the sentinel,
// the 26-bit frame below) in Manchester pairs. The reader writes it onto no EM4305.
ChipImage HidImage(const Identity& id) {
  const std::uint32_t frame =
      Hid26Frame(id.at(0), static_cast<std::uint16_t>(id.at(1) << 8 | id.at(2)));
  const std::uint64_t word = std::uint64_t{1} << 37 | std::uint64_t{1} << 26 | frame;
  access::Bits bits;
  bits.Put(0x1D, 8).PutManchester(word, 44);
  return {0x00107060, bits.Blocks(), 0};
}

}  // namespace

const IdentityFormat& Hid26Format() {
  static const IdentityFormat format = [] {
    IdentityFormat f{"hid", Hid26IdLength, {{"FC:CN", "FC:CN"}, {"6H", "6H"}, {"frame", "26-bit frame"}},
                     FormText, Increment, ParseLine, FromEntry, Fields};
    f.title = "HID 26-bit";
    f.words = {{"FACILITY", "the facility code, 0 to 255", FacilityError, nullptr, nullptr, 0, 255},
               {"CARD", "the card number, 0 to 65535", CardError, nullptr, nullptr, 0, 65535}};
    f.fromValues = FromValues;
    f.fileLineHelp = "one identity a line as FACILITY:CARD in decimal, e.g. 1:65534 (as read --continuous exports them)";
    f.incrementalHelp =
        "this identity onto the first tag, its card number one more onto each next; after card 65535 the run "
        "ends (it never steps into another facility code)";
    f.formNote = "only FC:CN lines load back as a batch file; frame: the 26 bits with their parity computed";
    f.tagKind = "hid";
    f.chipImage = HidImage;
    return f;
  }();
  return format;
}

}  // namespace rivelo
