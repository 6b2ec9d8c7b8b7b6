// Identities on their way into the registry: typed on the command line, or read from run logs.
// The registry compares identities as text, so both give the format's first form.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/registry.h"
#include "model/identity.h"

namespace rivelo::cli {

// The identity text stands for: as the format's entry field or a batch-file line reads it, when
// one of the format's forms gives the text back (case and surrounding blanks aside), so that a
// reading that dropped or misplaced digits is refused. nullopt when neither reads it.
std::optional<Identity> IdentityFromText(const IdentityFormat& format, std::string_view text);

// The text the registry holds for an identity: its format's first form.
std::string RegistryIdentity(const IdentityFormat& format, const Identity& id);

// "2026-12-07T18:30:05+0100", the run log's time column, in milliseconds since 1970 (UTC).
std::optional<std::int64_t> RunLogTimeMs(std::string_view text);

// What one run log gives the registry: its written tags (in the order of the file) and the
// number of lines of tags that refused the identity, which were skipped.
struct RunLogRows {
  std::vector<RegistryRow> rows;
  std::vector<int> lines;  // each row's line in the file
  int refused = 0;
};

// Reads a whole run log, the format known from its form columns. False with *why ("LINE 7:
// ...", or a reason for the whole file) at the first line that is no whole record.
bool ReadRunLog(const std::string& path, RunLogRows* read, std::string* why);

}  // namespace rivelo::cli
