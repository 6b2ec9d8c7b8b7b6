// Texts of the EM4100 page for the T5577. The page speaks Chinese in both builds.
#pragma once

namespace rivelo::texts::ata_em4100 {

// Captions of the page.
extern const char *const Hex10, *const Dec13, *const Dec06, *const Split, *const Write, *const Read,
    *const Continuously, *const Incrementally, *const FromFile, *const Options;
// List lines; %d stands for the count. ExportStarted is followed by the path, then ExportStartedEnd.
extern const char *const FileOpened, *const FileLoaded, *const Counted, *const Numbered, *const StopLine,
    *const ExportStarted, *const ExportStartedEnd;
// Status texts and the message of a file that cannot be opened.
extern const char *const NotConnected, *const Writing, *const Reading, *const FolderPrompt, *const FolderCancelled,
    *const CannotOpen, *const WriteOk, *const WriteError, *const ReadOk, *const ReadError;
// An export file that cannot be created (followed by the path and the reason) or written (the path).
extern const char *const ExportCannotCreate, *const ExportCannotWrite;

}  // namespace rivelo::texts::ata_em4100
