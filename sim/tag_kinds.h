// The kinds of tag the virtual reader holds, in one table that its tag parser, rivelo-sim's
// usage, rivelo's and the window programs' --simulate help and the virtual reader's window all
// read, so a new kind is one row here.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/tag.h"

namespace rivelo::sim {

struct TagKindRow {
  TagKind kind;
  const char* name;        // "em4100": the first item of a tag's text
  const char* parameters;  // after the name: ":HEX10", or "[:pwd=HEX8][:aor]" for options
  const char* example;     // what the window's parameters field suggests: "0123456789"
  bool blankChip;          // a writable chip, which the feeder can hold
  // Makes the tag from its text's items (items[0] is the name); nullopt with *error set.
  std::optional<Tag> (*make)(const std::vector<std::string_view>& items, int id, std::string* error);
};

std::span<const TagKindRow> TagKinds();
const TagKindRow* FindTagKind(std::string_view name);
const TagKindRow& TagKindOf(TagKind kind);

// "t5577[:pwd=HEX8][:aor], em4305[...], em4100:HEX10, ...": each kind's text, in table order.
std::string TagKindSyntax();
// The same, wrapped at width columns, every line after the first indented by indent blanks.
std::string TagKindSyntax(std::size_t indent, std::size_t width);
// "t5577, em4305, em4100, ...".
std::string TagKindNames();

}  // namespace rivelo::sim
