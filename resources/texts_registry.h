// Texts of the registry of issued identities as runs and the window use it, in both builds.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::registry {
// A run's first list line, followed by the registry (its file or URI).
extern const TextPair RunStarted;
// List lines of identities taken elsewhere. %s: the identity, why (TakenIssued, TakenReserved).
extern const TextPair Skipped;
// %s: the batch file's line number, the identity, why.
extern const TextPair LineSkipped;
// Why an identity is taken; %s: the station (host and port) that has it, and when.
extern const TextPair TakenIssued, TakenReserved;
// The run stops instead of skipping (a strict run, or a continuous run: it has no other
// identity). %s: the identity, why.
extern const TextPair TakenStop;
// A single write that the registry did not allow. %s: the identity, why.
extern const TextPair TakenSingle;
// The registry could not be asked before a write; followed by the reason. Nothing was written.
extern const TextPair Unreachable;
// The registry did not record a written tag. %s: the identity, the reason.
extern const TextPair NotRecorded;
// The registry's hold on an identity ran out and another run took it. Its reason for NotRecorded.
extern const TextPair LostToAnother;

// File menu item; the dialog: its title, captions, buttons and what it says.
extern const TextPair MenuItem, DialogTitle, SqliteCaption, PostgresCaption, Choose, Use, NoRegistry, Close;
extern const TextPair FilePrompt, InUse, NoneInUse, CountsHeader, CannotOpen, Empty;
// One format's count line: %s: the format, issued, reserved.
extern const TextPair CountLine;
}  // namespace rivelo::texts::registry
