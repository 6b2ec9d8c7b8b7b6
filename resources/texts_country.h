// How a country code reads where it names no country, in both builds.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::country {
// Each followed by the code.
extern const TextPair Manufacturer, Test, Unknown;
}  // namespace rivelo::texts::country
