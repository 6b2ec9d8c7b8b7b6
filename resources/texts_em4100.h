// Texts of the EM4100 page for the EM4305, its batch runs and keyboard output, in both builds.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts {

namespace em4100 {
// Captions of the page.
extern const TextPair EnterBox, KeyboardOut, Write, Read, Continuously, Incrementally, FromFile, LockCard,
    Options, Stop;
// List lines; %d stands for the count.
extern const TextPair FileOpened, FileLoaded, Counted, Numbered, StopLine, ExportStarted;
// Status texts.
extern const TextPair NotConnected, Writing, Reading, FolderPrompt, FolderCancelled, CannotOpen,
    WriteOk, WriteError, ReadOk, ReadError, ExportCannotCreate, ExportCannotWrite;
// Message boxes.
extern const TextPair Tip, Warning, LockWarning;
// Keyboard output; KeyboardUnavailable is followed by one of the reasons after it.
extern const TextPair KeyboardStarted, KeyboardStopped, KeyboardUnavailable, NoXDisplay, WaylandOnly,
    CannotOpenDisplay, NoXTest, NoInjectionBuilt;
// The tab caption of the page (the same in both builds).
extern const char* const TabCaption;
}  // namespace em4100

}  // namespace rivelo::texts
