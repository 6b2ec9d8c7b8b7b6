// Texts of the run log (the record of every tag a write run wrote), in both builds.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::run_log {
// File menu item, and the title of its folder chooser.
extern const TextPair MenuItem, FolderPrompt;
// Status after a folder was chosen, followed by the folder.
extern const TextPair FolderChosen;
// List line when a run starts, followed by the log file's path.
extern const TextPair Started;
// The run does not start; followed by the path and the reason.
extern const TextPair CannotOpen;
// The run stops; followed by the path, the reason, and the listed tag with NotInLog.
extern const TextPair CannotWrite, NotInLog;
}  // namespace rivelo::texts::run_log
