// How the five number fields of the EM4100 page for the EM4305 follow one another: the page
// hands over the field that changed and the texts of all five, and writes back what comes out.
#pragma once

#include <optional>
#include <string>

#include "model/em4100.h"

namespace rivelo {

enum class Em4305Field { Hex10, Dec08H, Dec06H, Box02, Box04 };

// Characters each field accepts.
int Em4305FieldLength(Em4305Field field);

struct Em4305Fields {
  std::string hex10;
  std::string dec08;
  std::string dec06;
  std::string box02;
  std::string box04;
  bool operator==(const Em4305Fields&) const = default;
};

// The five texts that show an identity.
Em4305Fields Em4305FieldsOf(const Em4100Id& id);

struct Em4305Mirror {
  Em4305Fields fields;  // the texts to show; the changed field keeps its own text
  // Set when the 02H or 04H box is over its limit: the message (e.g. "256 > 255") and the box
  // that gets the focus. No field changes then.
  std::optional<std::string> limitMessage;
  Em4305Field focus = Em4305Field::Box02;
};

// The other fields after the operator changed one of them.
Em4305Mirror MirrorEm4305Fields(Em4305Field changed, const Em4305Fields& current);

}  // namespace rivelo
