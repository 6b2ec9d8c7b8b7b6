// How the number fields of the EM4100 page for the T5577 follow one another. The operator edits
// "10H" or the 13-digit "08H---10D" (the whole 40-bit value); "06H---10D" and "02H + 04H" only
// show a read identity and are emptied by any edit, so they never show a stale value.
#pragma once

#include <string>

#include "model/em4100.h"

namespace rivelo {

enum class T5577Em4100Field { Hex10, Dec13 };

// Characters each editable field accepts.
int T5577Em4100FieldLength(T5577Em4100Field field);

struct T5577Em4100Fields {
  std::string hex10;
  std::string dec13;  // "08H---10D"
  std::string dec06;  // display only
  std::string split;  // "02H + 04H", display only: "069,26505"
  bool operator==(const T5577Em4100Fields&) const = default;
};

// The four texts that show a read identity.
T5577Em4100Fields T5577Em4100FieldsOf(const Em4100Id& id);

// The fields after the operator changed one of them; the changed field keeps its own text.
// A decimal value beyond 40 bits stands for FF FF FF FF FF.
T5577Em4100Fields MirrorT5577Em4100Fields(T5577Em4100Field changed, const T5577Em4100Fields& current);

// The text an incremental run lists for the identity it wrote: the "08H---10D" text when it
// names that identity, else the identity's 13 digits (the field may hold a clamped value or
// an edit made during the run, and the list must say what the tag got).
std::string T5577Em4100ListText(const std::string& dec13, const Em4100Id& written);

}  // namespace rivelo
