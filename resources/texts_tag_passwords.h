// Texts of the tag passwords the operator sets for the session (Card -> Tag passwords...), and
// of the line that opens a run while they are in force. Both builds. No text ever holds a
// password's value.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::tag_passwords {
extern const TextPair MenuItem;
extern const TextPair Title;
// The two fields: the password the tags on the reader carry, the one a written tag is given.
extern const TextPair Carried, Given;
extern const TextPair Note;
extern const TextPair Ok, Cancel;
// A field that is neither empty nor 8 hex digits.
extern const TextPair BadPassword;
// The status after the dialog was closed with OK.
extern const TextPair InForce, NoneInForce;
// A run's first list line: InForceLine, then CarriedPart, GivenPart or both joined by AndPart.
extern const TextPair InForceLine, CarriedPart, GivenPart, AndPart;
}  // namespace rivelo::texts::tag_passwords
