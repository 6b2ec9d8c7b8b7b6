#include "model/access/access_identity.h"

#include <bit>
#include <cstdio>
#include <deque>

namespace rivelo::access {
namespace {

std::size_t FieldBytes(const AccessField& field) {
  return std::max<std::size_t>(1, (static_cast<std::size_t>(std::bit_width(field.max)) + 7) / 8);
}

std::size_t IdentityLength(const AccessFormat& format) {
  std::size_t n = 0;
  for (const AccessField& f : format.fields) n += FieldBytes(f);
  return n;
}

// The descriptors' texts live as long as the program, as the other formats' literals do.
const char* Keep(std::string text) {
  static std::deque<std::string> kept;
  return kept.emplace_back(std::move(text)).c_str();
}

std::string Upper(std::string s) {
  for (char& c : s) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : (c == '-' ? '_' : c);
  return s;
}

std::string FieldText(const AccessField& field, std::uint64_t value) {
  AccessFormat one{"", "", {field}, 0, 0, nullptr, nullptr};
  return Text(one, {value});
}

std::string RangeText(const AccessField& field) {
  return FieldText(field, field.min) + " to " + FieldText(field, field.max);
}

// Why a typed value is not one of the field's, or empty.
std::string FieldError(const AccessField& field, std::string_view text) {
  AccessFormat one{"", "", {field}, 0, 0, nullptr, nullptr};
  if (text.find_first_of(" \t:") == std::string_view::npos) {
    const AccessParse p = ParseLine(one, text);
    if (p.values) return {};
    if (p.error == LineError::TooLarge && field.hexDigits == 0)
      return std::string(field.name) + " " + std::string(text) + " is out of range (" + RangeText(field) + ")";
  }
  const std::string kind = field.hexDigits > 0 ? std::to_string(field.hexDigits) + " hex digits" : "a decimal number";
  return std::string(field.name) + " '" + std::string(text) + "' is not " + kind + " from " + RangeText(field);
}

std::string ExampleLine(const AccessFormat& format) {
  AccessValues values;
  for (const AccessField& f : format.fields) values.push_back(f.min + (f.max - f.min) / 3);
  return Text(format, values);
}

IdentityFormat MakeFormat(const AccessFormat* format) {
  IdentityFormat f;
  f.name = format->name;
  f.length = IdentityLength(*format);
  std::string names;
  for (const AccessField& field : format->fields) names += (names.empty() ? "" : ":") + Upper(field.name);
  f.forms = {{format->name, Keep(names)}, {"blocks", "T5577 blocks"}};
  f.text = [format](const Identity& id, std::size_t form) -> std::string {
    const auto values = ValuesOf(*format, id);
    if (!values) return {};
    if (form == 1) return BlocksText(*Encode(*format, *values));
    return Text(*format, *values);
  };
  f.increment = [format](Identity& id) {
    const auto values = ValuesOf(*format, id);
    const auto next = values ? Increment(*format, *values) : std::nullopt;
    if (next) id = ToIdentity(*format, *next);
    return next.has_value();
  };
  f.parseLine = [format](std::string_view line) -> LineParse {
    const AccessParse p = ParseLine(*format, line);
    if (!p.values) return {std::nullopt, p.error};
    return {ToIdentity(*format, *p.values), LineError::None};
  };
  // Text that is no identity gives none, so that nothing is written for it.
  f.fromEntry = [format](std::string_view text) {
    const AccessParse p = ParseLine(*format, text);
    return p.values ? ToIdentity(*format, *p.values) : Identity{};
  };
  f.fields = [format](const Identity& id) {
    std::vector<std::pair<std::string, std::string>> out;
    const auto values = ValuesOf(*format, id);
    if (!values) return out;
    for (std::size_t i = 0; i < values->size(); ++i) out.emplace_back(format->fields[i].name, FieldText(format->fields[i], (*values)[i]));
    out.emplace_back(format->name, Text(*format, *values));
    out.emplace_back("blocks", BlocksText(*Encode(*format, *values)));
    return out;
  };
  f.title = format->title;
  for (const AccessField& field : format->fields) {
    const std::string range = field.hexDigits > 0 ? std::to_string(field.hexDigits) + " hex digits, " + RangeText(field)
                                                  : RangeText(field);
    f.words.push_back({Keep(Upper(field.name)), Keep("the " + std::string(field.name) + ", " + range),
                       [field](std::string_view text) { return FieldError(field, text); }, nullptr, nullptr, field.min,
                       field.max, field.hexDigits});
  }
  f.fromValues = [format](const std::vector<std::string>& texts) {
    std::string line;
    for (const std::string& t : texts) line += (line.empty() ? "" : ":") + t;
    const AccessParse p = ParseLine(*format, line);
    return p.values ? ToIdentity(*format, *p.values) : Identity{};
  };
  const AccessField& last = format->fields.back();
  f.fileLineHelp = Keep("one identity a line as " + names + ", e.g. " + ExampleLine(*format) + " (as read --continuous exports them)");
  f.incrementalHelp = Keep("this identity onto the first tag, its " + std::string(last.name) +
                           " one more onto each next; after " + FieldText(last, last.max) +
                           " the run ends (it never wraps to an identity already issued)");
  f.formNote = "only the first form's lines load back as a batch file; blocks: block 0 and the data blocks in hex";
  f.tagKind = "t5577";
  f.lineForm = 0;
  return f;
}

}  // namespace

const std::vector<IdentityFormat>& AccessIdentityFormats() {
  static const std::vector<IdentityFormat> formats = [] {
    std::vector<IdentityFormat> v;
    for (const AccessFormat* format : AccessFormats()) v.push_back(MakeFormat(format));
    return v;
  }();
  return formats;
}

Identity ToIdentity(const AccessFormat& format, const AccessValues& values) {
  Identity id;
  for (std::size_t i = 0; i < format.fields.size() && i < values.size(); ++i)
    for (std::size_t b = FieldBytes(format.fields[i]); b-- > 0;) id.push_back(static_cast<std::uint8_t>(values[i] >> (8 * b)));
  return id;
}

std::optional<AccessValues> ValuesOf(const AccessFormat& format, const Identity& id) {
  if (id.size() != IdentityLength(format)) return std::nullopt;
  AccessValues values;
  std::size_t at = 0;
  for (const AccessField& field : format.fields) {
    std::uint64_t v = 0;
    for (std::size_t b = FieldBytes(field); b-- > 0;) v = v << 8 | id[at++];
    values.push_back(v);
  }
  if (!InRange(format, values)) return std::nullopt;
  return values;
}

std::string BlocksText(const BlockImage& image) {
  std::string text;
  char word[9];
  std::snprintf(word, sizeof word, "%08X", static_cast<unsigned>(image.block0));
  text = word;
  for (const std::uint32_t block : image.data) {
    std::snprintf(word, sizeof word, "%08X", static_cast<unsigned>(block));
    text += std::string(" ") + word;
  }
  return text;
}

}  // namespace rivelo::access
