// A copy of one tag's memory in a versioned JSON file, written before anything that cannot be
// undone and put back on demand: the chip, its blocks or words, its locks and the identities
// they decode to. Never the password: a T5577 in password mode keeps block 7 out of the file
// and an EM4305's word 2 never reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/inspect.h"
#include "batch/tag_operations.h"

namespace rivelo {

inline constexpr int TagBackupVersion = 1;

struct TagBackup {
  InspectChip chip = InspectChip::None;  // T5577 or Em4305
  // T5577 page 0 blocks 0-7, EM4305 words 0-15; nullopt: not in the file.
  std::vector<std::optional<std::uint32_t>> memory;
  std::optional<std::vector<int>> locked;  // nullopt: not known (a T5577's lock bits do not read)
  std::optional<std::uint32_t> uid;
  std::vector<FoundIdentity> identities;
};

// The backup of what inspect found; nullopt for a tag that is no T5577 or EM4305, or whose
// configuration did not read (a copy without it could not be put back).
std::optional<TagBackup> BackupOf(const InspectReport& report);

std::string BackupJson(const TagBackup& backup, const std::string& time);
// The backup a file's text holds, or nullopt with why: not JSON, another version, another chip,
// a block or word that is no 8 hex digits.
std::optional<TagBackup> ParseBackup(const std::string& text, std::string* why);

// Creates path anew (mode 0600) with text: an existing file or link is never followed or
// replaced. numbered: a taken name gives way to "NAME-1.json", "NAME-2.json"... *written
// receives the path used. False with the system's reason.
bool WriteNewFile(const std::string& path, const std::string& text, bool numbered, std::string* written,
                  std::string* why);
// Reads a whole backup file (at most 1 MiB), or nullopt with the reason.
std::optional<std::string> ReadBackupFile(const std::string& path, std::string* why);

// Where automatic backups go: $XDG_DATA_HOME/rivelo/backups (~/.local/share/rivelo/backups
// without it), %LOCALAPPDATA%\rivelo\backups on Windows.
std::string BackupFolder();
// Reads the tag on the reader and saves its backup in BackupFolder() as CHIP-YYYYMMDD-hhmmss.json:
// the file's path, or nullopt with why (the tag could not be read, the file not written).
std::optional<std::string> SaveAutomaticBackup(const std::optional<TagBytes4>& password, std::string* why);

// A block or word whose value in the file differs from the tag's (nullopt: not read).
struct MemoryDifference {
  int index = 0;
  std::uint32_t file = 0;
  std::optional<std::uint32_t> tag;
};
std::vector<MemoryDifference> CompareBackup(const TagBackup& backup, const InspectReport& tag);

// Writes a T5577 backup's blocks back, each read back: the data blocks first, block 0 last
// (with a password, block 7 goes after block 0, since before it block 7 is the password that
// opens the chip). A block 0 in password mode without block 7 gets the password given as block 7
// (NotSent at block 7 without one). The first result that does not count, and its block.
struct RestoreResult {
  TagResult result;
  int failedAt = -1;
  std::vector<int> skipped;  // EM4305 words left as they were: locked, and already as in the file
};
RestoreResult RestoreT5577(const std::vector<std::optional<std::uint32_t>>& blocks,
                           const std::optional<TagBytes4>& password);
// Writes the EM4305 words that differ from the tag's (0, 3, 5-13, then the configuration, 4).
RestoreResult RestoreEm4305(const TagBackup& backup, const InspectReport& tag, bool loggedIn);

// Data blocks 1-7 zero and block 0 the factory configuration.
std::vector<std::optional<std::uint32_t>> BlankT5577Blocks();
// The EM4305's user words (3, 5-13) zeroed where the protection allows it; locked ones are
// skipped (and listed).
RestoreResult WipeEm4305(const InspectReport& tag, bool loggedIn);

}  // namespace rivelo
