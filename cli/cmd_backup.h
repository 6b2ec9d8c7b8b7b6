// Tag backups on the command line: dump to a file, restore, wipe, and the automatic backup
// before every step that cannot be undone (block 0, a lock, a protection, restore-config, a
// wipe or a restore), which --no-backup leaves out.
#pragma once

#include <CLI/CLI.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "batch/inspect.h"
#include "cli/command_set.h"

namespace rivelo::cli {

void AddNoBackup(CLI::App* app, bool& noBackup);
// Reads the tag on the reader and saves its backup, saying where on standard error: ExitOk, or
// ExitFailed when no backup could be made (nothing is written then; --no-backup goes on
// without one). Does nothing with noBackup.
int BackUpFirst(Session& session, const std::optional<TagBytes4>& password, bool noBackup);
// Reads the tag, which must be the chip expected, and writes its backup into a new file.
int DumpToFile(Session& session, InspectChip expected, const std::optional<TagBytes4>& password,
               const std::string& path);

// t5577 dump, restore, wipe; em4305 restore, wipe.
void AddT5577BackupCommands(CommandSet& commands, CLI::App& family);
void AddEm4305BackupCommands(CommandSet& commands, CLI::App& family);

}  // namespace rivelo::cli
