#include "model/fdxa.h"

#include <algorithm>
#include <bit>

#include "model/access/access_bits.h"

#include "model/text_bytes.h"

namespace rivelo {

FdxaCode FdxaWritable(std::span<const std::uint8_t, FdxaLength> code) {
  FdxaCode out{};
  for (std::size_t i = 0; i < FdxaLength; ++i) out[i] = static_cast<std::uint8_t>(code[i] & 0x7F);
  return out;
}

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string FormText(const Identity& id, std::size_t) { return FormatHex(id); }

// Counts in the 7 bits a byte holds; after the last code nothing follows (no wrap onto a code
// already issued).
bool Increment(Identity& id) {
  if (id.size() != FdxaLength) return false;
  for (std::size_t i = FdxaLength; i-- > 0;) {
    if ((id[i] & 0x7F) == 0x7F) continue;
    id[i] = static_cast<std::uint8_t>((id[i] & 0x7F) + 1);
    std::fill(id.begin() + static_cast<std::ptrdiff_t>(i) + 1, id.end(), std::uint8_t{0});
    return true;
  }
  return false;
}

// 10 hex digits, each byte 00 to 7F; blanks around them allowed.
LineParse ParseLine(std::string_view line) {
  std::size_t start = 0, end = line.size();
  while (start < end && Blank(line[start])) ++start;
  while (end > start && Blank(line[end - 1])) --end;
  const auto bytes = HexBytesExact(line.substr(start, end - start), FdxaLength);
  if (!bytes) return {std::nullopt, LineError::NotHex};
  if (std::any_of(bytes->begin(), bytes->end(), [](std::uint8_t b) { return b > 0x7F; }))
    return {std::nullopt, LineError::TooLarge};
  return {Identity(bytes->begin(), bytes->end()), LineError::None};
}

Identity FromEntry(std::string_view text) {
  const LineParse p = ParseLine(text);
  return p.id ? *p.id : Identity{};
}

std::vector<std::pair<std::string, std::string>> Fields(const Identity& id) { return {{"10H", FormatHex(id)}}; }

std::string CodeError(std::string_view text) {
  const auto bytes = HexBytesExact(text, FdxaLength);
  if (!bytes) return "'" + std::string(text) + "' is not an FDX-A code: 10 hex digits, e.g. 0123456701";
  // The tag keeps 7 data bits a byte: a code with bit 7 set would be written as another one.
  const FdxaCode writable = FdxaWritable(std::span<const std::uint8_t, FdxaLength>(bytes->data(), FdxaLength));
  if (std::equal(writable.begin(), writable.end(), bytes->begin())) return {};
  return "FDX-A code " + std::string(text) + " has bytes above 7F; a tag holds 7 bits a byte, so it would get " +
         FormatHex(writable);
}

Identity FromValues(const std::vector<std::string>& values) {
  const auto bytes = HexBytesExact(values.at(0), FdxaLength);
  return bytes ? Identity(bytes->begin(), bytes->end()) : Identity{};
}

// FSK2a, RF/50, blocks 1-3: the sync 551D, then each byte's 7 bits under an odd parity bit, in
// Manchester pairs. The reader writes it onto no EM4305.
ChipImage FdxaImage(const Identity& id) {
  access::Bits bits;
  bits.Put(0x551D, 16);
  for (std::size_t i = 0; i < FdxaLength; ++i) {
    const unsigned data = id.at(i) & 0x7Fu;
    const unsigned parity = (std::popcount(data) & 1) != 0 ? 0 : 1;
    bits.PutManchester(parity << 7 | data, 8);
  }
  return {0x00107060, bits.Blocks(), 0};
}

}  // namespace

const IdentityFormat& FdxaFormat() {
  static const IdentityFormat format = [] {
    IdentityFormat f{"fdxa", FdxaLength, {{"10H", "10H"}}, FormText, Increment, ParseLine, FromEntry, Fields};
    f.title = "FDX-A";
    f.words = {{"HEX10", "10 hex digits, each byte 00 to 7F, e.g. 0123456701", CodeError, nullptr, nullptr, 0, 0x7F7F7F7F7F, 10}};
    f.fromValues = FromValues;
    f.fileLineHelp = "one code a line in 10 hex digits, each byte 00 to 7F (as read --continuous exports them)";
    f.incrementalHelp =
        "this code onto the first tag, one more onto each next, counting in the 7 bits of each byte "
        "(0000007F, then 00000100); after 7F7F7F7F7F the run ends";
    f.tagKind = "fdxa";
    f.chipImage = FdxaImage;
    return f;
  }();
  return format;
}

}  // namespace rivelo
