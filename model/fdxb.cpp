#include "model/fdxb.h"

#include <algorithm>

#include "model/access/access_bits.h"
#include "model/text_bytes.h"

namespace rivelo {
namespace {

constexpr FdxbNumberInfo National{0, 5, 0x3F, 10, 12, 12, 0x3FFFFFFFFFull};
constexpr FdxbNumberInfo Country{5, 2, 0x03, 4, 4, 4, 0x3FF};
constexpr FdxbNumberInfo Trailer{7, 3, 0xFF, 6, 8, 8, 0xFFFFFF};

std::uint64_t ValueOf(const Bytes& bytes) {
  std::uint64_t v = 0;
  for (std::uint8_t b : bytes) v = (v << 8) | b;
  return v;
}

// The value's low n bytes, big-endian.
Bytes BytesOf(std::uint64_t value, std::size_t n) {
  Bytes b(n);
  for (std::size_t i = n; i-- > 0; value >>= 8) b[i] = static_cast<std::uint8_t>(value & 0xFF);
  return b;
}

std::string HexOf(const FdxbNumberInfo& info, std::uint64_t value) { return FormatHex(BytesOf(value, info.bytes)); }

std::string DecimalOf(const FdxbNumberInfo& info, std::uint64_t value) {
  const Bytes b = BytesOf(value, info.bytes);
  return FormatDecimal(b.data(), b.size(), info.decimalDigits);
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string FormText(const Identity& id, std::size_t form) {
  const FdxbId f = ToFdxbId(id);
  return form == 0 ? FdxbLine(f) : FdxbIso15(f);
}

// Past the last national code the run goes on at 0, as the window's runs always have.
bool Increment(Identity& id) {
  FdxbId f = ToFdxbId(id);
  IncrementNationalCode(f);
  id = FromFdxbId(f);
  return true;
}

std::string CountryError(std::string_view text) { return DecimalValueError("country code", text, Country.maximum); }
std::string NationalError(std::string_view text) { return DecimalValueError("national code", text, National.maximum); }
std::string TrailerError(std::string_view text) { return DecimalValueError("trailer", text, Trailer.maximum); }

// Country, national code, trailer: already checked, so within their ranges.
Identity FromValues(const std::vector<std::string>& values) {
  FdxbId id{};
  const FdxbNumber order[] = {FdxbNumber::Country, FdxbNumber::National, FdxbNumber::Trailer};
  for (std::size_t i = 0; i < 3; ++i) SetNumber(id, order[i], std::stoull(values.at(i)));
  return FromFdxbId(id);
}

Identity FromEntry(std::string_view text) {
  const LineParse p = ParseFdxbLine(text);
  return p.id ? *p.id : Identity{};
}

std::vector<std::pair<std::string, std::string>> Fields(const Identity& id) {
  const FdxbId f = ToFdxbId(id);
  return {{"national", DecimalOf(National, NumberOf(f, FdxbNumber::National))},
          {"country", DecimalOf(Country, NumberOf(f, FdxbNumber::Country))},
          {"trailer", DecimalOf(Trailer, NumberOf(f, FdxbNumber::Trailer))},
          {"24D", FdxbLine(f)},
          {"15D", FdxbIso15(f)}};
}

}  // namespace

const FdxbNumberInfo& InfoOf(FdxbNumber number) {
  switch (number) {
    case FdxbNumber::National: return National;
    case FdxbNumber::Country: return Country;
    case FdxbNumber::Trailer: break;
  }
  return Trailer;
}

std::uint64_t NumberOf(const FdxbId& id, FdxbNumber number) {
  const FdxbNumberInfo& info = InfoOf(number);
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < info.bytes; ++i) v = (v << 8) | id[info.offset + i];
  return v;
}

void SetNumber(FdxbId& id, FdxbNumber number, std::uint64_t value) {
  const FdxbNumberInfo& info = InfoOf(number);
  const Bytes b = BytesOf(value, info.bytes);
  std::copy(b.begin(), b.end(), id.begin() + static_cast<std::ptrdiff_t>(info.offset));
}

FdxbRecord ToRecord(const FdxbId& id) {
  FdxbRecord r{};
  std::copy(id.begin(), id.begin() + 7, r.begin());
  r[7] = 0x01;
  r[8] = 0x01;
  std::copy(id.begin() + 7, id.end(), r.begin() + 9);
  return r;
}

FdxbId FromRecord(const FdxbRecord& record) {
  FdxbId id{};
  std::copy(record.begin(), record.begin() + 7, id.begin());
  std::copy(record.begin() + 9, record.end(), id.begin() + 7);
  return id;
}

FdxbId ToFdxbId(const Identity& id) {
  FdxbId f{};
  const std::size_t k = std::min(id.size(), FdxbIdLength);
  std::copy(id.end() - static_cast<std::ptrdiff_t>(k), id.end(), f.end() - static_cast<std::ptrdiff_t>(k));
  return f;
}

Identity FromFdxbId(const FdxbId& id) { return Identity(id.begin(), id.end()); }

std::optional<FdxbId> FdxbFromHexFields(std::string_view national, std::string_view country,
                                        std::string_view trailer) {
  FdxbId id{};
  const std::string_view fields[] = {national, country, trailer};
  const FdxbNumber numbers[] = {FdxbNumber::National, FdxbNumber::Country, FdxbNumber::Trailer};
  for (int i = 0; i < 3; ++i) {
    const auto b = HexTextToBytes(fields[i], TextMode::Strict);
    if (!b) return std::nullopt;
    const FdxbNumberInfo& info = InfoOf(numbers[i]);
    const std::size_t k = std::min(b->size(), info.bytes);
    const auto at = id.begin() + static_cast<std::ptrdiff_t>(info.offset + info.bytes - k);
    std::copy(b->end() - static_cast<std::ptrdiff_t>(k), b->end(), at);
    id[info.offset] &= info.topMask;
  }
  return id;
}

FdxbFields FdxbFieldsOf(const FdxbId& id) {
  const auto n = NumberOf(id, FdxbNumber::National), c = NumberOf(id, FdxbNumber::Country),
             t = NumberOf(id, FdxbNumber::Trailer);
  return {HexOf(National, n), HexOf(Country, c), HexOf(Trailer, t),
          DecimalOf(National, n), DecimalOf(Country, c), DecimalOf(Trailer, t)};
}

FdxbMirror MirrorFdxbHex(FdxbNumber number, std::string_view hexText) {
  const FdxbNumberInfo& info = InfoOf(number);
  const Bytes b = HexTextToBytes(hexText, TextMode::Field).value_or(Bytes{});
  if (b.empty()) return {std::string(hexText), {}};
  // Only a full-width entry can go over: its first byte holds the number's top bits.
  if (b.size() == info.bytes && (b[0] & ~info.topMask) != 0)
    return {HexOf(info, info.maximum), DecimalOf(info, info.maximum)};
  return {std::string(hexText), DecimalOf(info, ValueOf(b))};
}

FdxbMirror MirrorFdxbDecimal(FdxbNumber number, std::string_view decimalText) {
  const FdxbNumberInfo& info = InfoOf(number);
  const Bytes b = DecimalTextToBytes(decimalText, TextMode::Field).value_or(Bytes{});
  if (b.empty()) return {std::string(decimalText), {}};
  const bool over = b.size() > info.bytes || (b.size() == info.bytes && (b[0] & ~info.topMask) != 0);
  if (over) return {DecimalOf(info, info.maximum), HexOf(info, info.maximum)};
  return {std::string(decimalText), HexOf(info, ValueOf(b))};
}

void IncrementNationalCode(FdxbId& id) {
  for (std::size_t i = National.bytes; i-- > 0;) {
    if (++id[i] != 0) break;
  }
  if (id[0] > National.topMask) id[0] = 0x00;
}

std::string FdxbLine(const FdxbId& id) {
  const FdxbFields f = FdxbFieldsOf(id);
  return f.nationalDec + f.countryDec + f.trailerDec;
}

LineParse ParseFdxbLine(std::string_view line) {
  while (!line.empty() && Blank(line.back())) line.remove_suffix(1);
  constexpr std::size_t FieldEnds[] = {12, 16, 24};
  if (line.size() > FieldEnds[2]) return {std::nullopt, LineError::TrailingText};
  // A line that stops inside the country code or the trailer is most likely another form
  // (the 15-digit one, say) whose digits would fall into the wrong fields.
  const bool whole = line.size() == FieldEnds[2] || line.size() == FieldEnds[1] || line.size() <= FieldEnds[0];
  if (!whole) return {std::nullopt, LineError::PartLine};
  std::size_t i = 0;
  while (i < line.size() && i < FieldEnds[0] && Blank(line[i])) ++i;
  const std::size_t firstDigit = i;
  for (; i < line.size(); ++i) {
    const char c = line[i];
    if (c >= '0' && c <= '9') continue;
    if (c == '-') return {std::nullopt, LineError::Negative};
    return {std::nullopt, i == firstDigit ? LineError::NotANumber : LineError::TrailingText};
  }
  if (firstDigit == line.size()) return {std::nullopt, LineError::NotANumber};
  FdxbId id{};
  const FdxbNumber numbers[] = {FdxbNumber::National, FdxbNumber::Country, FdxbNumber::Trailer};
  constexpr std::uint64_t Highest[] = {274877906943, 1023, 16777215};
  std::size_t start = 0;
  for (int k = 0; k < 3; ++k) {
    const std::size_t end = std::min(FieldEnds[k], line.size());
    std::uint64_t value = 0;
    for (std::size_t j = start; j < end; ++j)
      if (!Blank(line[j])) value = value * 10 + static_cast<std::uint64_t>(line[j] - '0');
    // A line beyond the format's ranges (38-bit national code, 10-bit country code, 24-bit
    // trailer) would be written but never read back as itself: no reader hands such a code over.
    if (value > Highest[k]) return {std::nullopt, LineError::TooLarge};
    SetNumber(id, numbers[k], value);
    start = std::max(start, end);
  }
  return {FromFdxbId(id), LineError::None};
}

std::string FdxbIso15(const FdxbId& id, std::string_view separator) {
  const std::uint64_t country = NumberOf(id, FdxbNumber::Country);
  const Bytes c = BytesOf(country, 2);
  // Country codes end at 999; a larger value read off a tag keeps all its digits.
  return BytesToDecimalText(c, country > 999 ? 4 : 3) + std::string(separator) + FdxbFieldsOf(id).nationalDec;
}

namespace {

// ISO 11784/85 on the air: header 00000000001, then 13 groups of 8 bits (least significant
// first), each followed by a control bit 1: the 64 identity bits, their CRC, the trailer.
std::uint16_t FdxbCrc(std::uint64_t identityBits) {
  std::uint16_t crc = 0;  // CRC-16/CCITT polynomial, start 0, over the bits in the order sent
  for (int i = 0; i < 64; ++i) {
    const bool feedback = ((crc >> 15) ^ (identityBits >> i & 1)) != 0;
    crc = static_cast<std::uint16_t>(crc << 1);
    if (feedback) crc ^= 0x1021;
  }
  return crc;
}

std::uint8_t Reversed8(unsigned v) {
  unsigned r = 0;
  for (int i = 0; i < 8; ++i) r |= (v >> i & 1u) << (7 - i);
  return static_cast<std::uint8_t>(r);
}

// Bi-phase, RF/32, blocks 1-4; on the EM4305 bi-phase, RF/32, words 5-8. The reader writes the
// record with both flag bytes set: data block (the trailer travels) and animal.
ChipImage FdxbImage(const Identity& identity) {
  const FdxbRecord record = ToRecord(ToFdxbId(identity));
  const FdxbId id = ToFdxbId(identity);
  const std::uint64_t bits = NumberOf(id, FdxbNumber::National) | NumberOf(id, FdxbNumber::Country) << 38 |
                             std::uint64_t{record[7] != 0} << 48 | std::uint64_t{record[8] != 0} << 63;
  const std::uint16_t crc = FdxbCrc(bits);
  const std::uint64_t trailer = NumberOf(id, FdxbNumber::Trailer);
  access::Bits frame;
  frame.Put(1, 11);
  const auto group = [&frame](unsigned byte) {
    frame.Put(Reversed8(byte), 8).Put(1, 1);
  };
  for (int g = 0; g < 8; ++g) group(static_cast<unsigned>(bits >> (8 * g) & 0xFF));
  // The CRC goes out most significant bit first.
  group(Reversed8(crc >> 8));
  group(Reversed8(crc & 0xFF));
  for (int g = 0; g < 3; ++g) group(static_cast<unsigned>(trailer >> (8 * g) & 0xFF));
  return {0x00098080, frame.Blocks(), 0x0002008F};
}

}  // namespace

const IdentityFormat& FdxbFormat() {
  static const IdentityFormat format = [] {
    IdentityFormat f{
        "fdxb", FdxbIdLength, {{"24D", "24D"}, {"15D", "15D"}}, FormText, Increment, ParseFdxbLine, FromEntry, Fields,
    };
    f.title = "FDX-B";
    f.words = {{"COUNTRY", "the country code, 0 to 1023 (999: a test tag)", CountryError, nullptr, nullptr, 0, 1023},
               {"NATIONAL", "the national code, 0 to 274877906943", NationalError, nullptr, nullptr, 0, 274877906943}};
    f.options = {{"--trailer", "the trailer, 0 to 16777215 (default 0)", TrailerError, "N", "0", 0, 16777215}};
    f.fromValues = FromValues;
    f.fileLineHelp =
        "one identity a line in 24 digits (national 12, country 4, trailer 8; as read --continuous exports them)";
    f.incrementalHelp =
        "this identity onto the first tag, its national code one more onto each next (after 274877906943: 0); "
        "country code and trailer stay";
    f.formNote = "only 24D lines load back as a batch file";
    f.tagKind = "fdxb";
    f.chipImage = FdxbImage;
    return f;
  }();
  return format;
}

}  // namespace rivelo
