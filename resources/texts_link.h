// Texts of a run whose reader stops answering or whose port goes away, in both builds.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::link {
// %d stands for the ticks without a valid reply.
extern const TextPair Silent;
extern const TextPair Answers;
// %s stands for the port's name.
extern const TextPair PortGone;
}  // namespace rivelo::texts::link
