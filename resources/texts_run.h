// Texts of a write or read run that every identity page shares: a tag that refused its
// identity, the run's summary, and an export that can no longer be written. Both builds.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::run {
// A tag that answered but did not take the identity: %s the identity, %s the reason below,
// %s how many tags refused so far.
extern const TextPair Refused;
// Why it may have refused: it keeps another identity, or it reads as nothing.
extern const TextPair ReasonLocked, ReasonProtected;
// The summary at a run's end; each %s in turn: written, refused, left alone, ticks without a
// valid reply, seconds, tags per minute (a read run: read, ticks, seconds, tags per minute).
extern const TextPair WriteSummary, ReadSummary;
// %s the system's reason.
extern const TextPair ExportReason;
// The export failed this many times (%s) in a row: the read run stops.
extern const TextPair ExportStopped;
}  // namespace rivelo::texts::run
