// Texts of Card -> "Inspect tag...": which chip is on the reader and what it holds.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::inspect {
// Card menu item, the dialog's title, the password field's caption and the button.
extern const TextPair MenuItem, Title, PasswordCaption, InspectButton;
extern const TextPair NotConnected, ReadFailed, BadPassword;
// "Chip: " followed by one of the chip names, or NoTag alone.
extern const TextPair Chip, ReadOnly, NoTag;
extern const TextPair Configuration, NoPassword, Protected, NeedsPassword, Refused, WokenAor;
extern const TextPair Uid, Locked, LocksUnknown, NoneLocked, Words, Blank;
extern const TextPair Identity, NoIdentity, FromReader, FromBlocks;
// "Block 3: ", "Word 3: ", what a protected chip sends, and the password's place.
extern const TextPair Block, Word, Sends, PasswordHidden, NotRead;
// The question before an irreversible step when no backup of the tag could be made.
extern const TextPair NoBackup;
}  // namespace rivelo::texts::inspect
