// Why a single tag operation of the raw-access pages did not count (see batch/tag_result.h),
// spoken in the build's language after the operation's own failure text.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::tag_result {

// Between the failure text and the reason, and between the reason and the hint.
extern const TextPair ReasonSeparator, HintSeparator;
// One per outcome that does not count.
extern const TextPair Refused, NotReadBack, NoReply, PortGone, NotSent;
// Hints, per chip where the chips differ.
extern const TextPair T5577PasswordProtected, T5577Locked, Em4305PasswordProtected, Em4305Locked, LoginToRead;
// A write that was taken but cannot be read back since the chip asks for a login first; it
// stands instead of NotReadBack.
extern const TextPair WrittenLoginToRead;
// The word a reason is about, before the reason, in the EM4305 page's status: %d.
extern const TextPair WordReason;

}  // namespace rivelo::texts::tag_result
