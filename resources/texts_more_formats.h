// Texts of the "More formats" page: the access-control formats a T5577 carries, each written and
// read through its fields. Both builds.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::more_formats {
extern const TextPair Tab;
extern const TextPair Format;
// The caption of an identity field by its name ("facility"); nullptr for a name without one.
const TextPair* FieldCaption(const char* name);
// A field's range: %1 the least value, %2 the greatest (the hex form in hex digits).
extern const TextPair Range, HexRange;
// A field left empty or outside its range: %1 the caption, %2 its range.
extern const TextPair FieldMissing;
extern const TextPair MessageCaption;
extern const TextPair Write, Read, Continuously, Incrementally, FromFile, Options;
}  // namespace rivelo::texts::more_formats
