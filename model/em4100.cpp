#include "model/em4100.h"

#include <algorithm>

#include "model/access/em4100_rates.h"

namespace rivelo {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

constexpr std::uint64_t Em4100Max = (std::uint64_t{1} << 40) - 1;

std::string FormText(const Identity& id, std::size_t form) {
  return Em4100FormText(ToEm4100Id(id), static_cast<Em4100Form>(form));
}

// After FFFFFFFFFF the run goes on at 0000000000, as the window's runs always have.
bool Increment(Identity& id) {
  Em4100Id bytes = ToEm4100Id(id);
  IncrementId(bytes);
  id = FromEm4100Id(bytes);
  return true;
}

std::string Hex10Error(std::string_view text) {
  return HexBytesExact(text, Em4100IdLength)
             ? std::string()
             : "'" + std::string(text) + "' is not an identity: 10 hex digits, e.g. 0123456789";
}

Identity FromValues(const std::vector<std::string>& values) {
  const auto bytes = HexBytesExact(values.at(0), Em4100IdLength);
  return bytes ? Identity(bytes->begin(), bytes->end()) : Identity{};
}

// Typing lets only hex digits in, but a paste does not: text that is no hex, or longer than an
// identity, stands for none rather than for a meaningless or cut one.
Identity FromEntry(std::string_view text) {
  const auto bytes = HexTextToBytes(text, TextMode::Strict);
  if (!bytes || bytes->size() > Em4100IdLength) return {};
  return FromEm4100Id(AlignRight5(*bytes));
}

std::vector<std::pair<std::string, std::string>> Fields(const Identity& id) {
  std::vector<std::pair<std::string, std::string>> fields;
  for (int f = 0; f <= static_cast<int>(Em4100Form::Dec13); ++f) {
    const auto form = static_cast<Em4100Form>(f);
    fields.emplace_back(Em4100Format().forms[static_cast<std::size_t>(f)].key, Em4100FormText(ToEm4100Id(id), form));
  }
  return fields;
}

}  // namespace

const char* Em4100FormCaption(Em4100Form form) {
  switch (form) {
    case Em4100Form::Hex10: return "10H";
    case Em4100Form::Dec08H: return "08H---10D";
    case Em4100Form::Dec06H: return "06H---10D";
    case Em4100Form::Split02And04: return "02H + 04H";
    case Em4100Form::Dec13: return "13D";
  }
  return "";
}

Em4100Id AlignRight5(std::span<const std::uint8_t> bytes) {
  Em4100Id id{};
  const std::size_t k = std::min(bytes.size(), Em4100IdLength);
  std::copy(bytes.end() - static_cast<std::ptrdiff_t>(k), bytes.end(), id.end() - static_cast<std::ptrdiff_t>(k));
  return id;
}

void IncrementId(Em4100Id& id) {
  for (std::size_t i = id.size(); i-- > 0;) {
    if (++id[i] != 0) return;
  }
}

std::string Em4100FormText(const Em4100Id& id, Em4100Form form) {
  switch (form) {
    case Em4100Form::Hex10: return FormatHex(id);
    case Em4100Form::Dec08H: return FormatDecimal(id.data() + 1, 4, 10);
    case Em4100Form::Dec06H: return FormatDecimal(id.data() + 2, 3, 10);
    case Em4100Form::Split02And04: return FormatDecimal(id.data() + 2, 1, 3) + FormatDecimal(id.data() + 3, 2, 5);
    case Em4100Form::Dec13: return FormatDecimal(id.data(), 5, 13);
  }
  return {};
}

Em4100Id ToEm4100Id(const Identity& id) { return AlignRight5(id); }
Identity FromEm4100Id(const Em4100Id& id) { return Identity(id.begin(), id.end()); }

LineParse ParseEm4100Line(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && Blank(line[i])) ++i;
  if (i < line.size() && line[i] == '-') return {std::nullopt, LineError::Negative};
  const std::size_t first = i;
  std::uint64_t value = 0;
  bool tooLarge = false;
  for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
    value = value * 10 + static_cast<std::uint64_t>(line[i] - '0');
    if (value > Em4100Max) tooLarge = true;  // stays set; no overflow once past 40 bits
    if (tooLarge) value = Em4100Max + 1;
  }
  if (i == first) return {std::nullopt, LineError::NotANumber};
  while (i < line.size() && Blank(line[i])) ++i;
  if (i != line.size()) return {std::nullopt, LineError::TrailingText};
  if (tooLarge) return {std::nullopt, LineError::TooLarge};
  Em4100Id id{};
  for (std::size_t b = id.size(); b-- > 0; value >>= 8) id[b] = static_cast<std::uint8_t>(value & 0xFF);
  return {FromEm4100Id(id), LineError::None};
}

namespace {

// Manchester, RF/64, blocks 1-2: the 64-bit frame. On the EM4305: Manchester, RF/64, words 5-6.
ChipImage Em4100Image(const Identity& identity) {
  const Em4100Id id = ToEm4100Id(identity);
  std::uint64_t value = 0;
  for (const std::uint8_t b : id) value = value << 8 | b;
  const std::uint64_t frame = access::Em4100Frame(value);
  return {0x00148040, {static_cast<std::uint32_t>(frame >> 32), static_cast<std::uint32_t>(frame)}, 0x0001805F};
}

}  // namespace

const IdentityFormat& Em4100Format() {
  static const IdentityFormat format = [] {
    IdentityFormat f{
        "em4100",
        Em4100IdLength,
        {{"10H", "10H"}, {"08H", "08H---10D"}, {"06H", "06H---10D"}, {"02H04H", "02H + 04H"}, {"13D", "13D"}},
        FormText,
        Increment,
        ParseEm4100Line,
        FromEntry,
        Fields,
    };
    f.title = "EM4100";
    f.words = {{"HEX10", "10 hex digits, e.g. 0123456789", Hex10Error, nullptr, nullptr, 0, 0xFFFFFFFFFF, 10}};
    f.fromValues = FromValues;
    f.fileLineHelp = "one identity a line in decimal (13D, as read --continuous --form 13D exports them)";
    f.incrementalHelp = "this identity onto the first tag, one more onto each next";
    f.tagKind = "em4100";
    f.lineForm = static_cast<std::size_t>(Em4100Form::Dec13);
    f.chipImage = Em4100Image;
    return f;
  }();
  return format;
}

}  // namespace rivelo
