// The tag formats rivelo reads, writes and runs, and what the command line needs of each
// beyond the model's descriptor: how an identity is typed as an argument and the batch
// profile (chip operations and texts) that reads and writes it. The read, write and run
// commands are made from this table, so a new format is one entry here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_profile.h"
#include "model/identity.h"

namespace rivelo::cli {

struct CliFormat {
  const IdentityFormat* format;
  const char* title;  // the format's name in texts: "EM4100"
  // The identity argument: its name in usage lines ("HEX10"), how it is typed ("10 hex
  // digits, ..."), and its strict reading (nullopt for anything but a whole identity).
  const char* argumentName;
  const char* argumentHelp;
  std::optional<Identity> (*parseArgument)(std::string_view text);
  // What one line of a batch file holds.
  const char* fileLineHelp;
  // The profile of its runs; choices is asked whenever the runner needs the lock flag or
  // the export form.
  BatchProfile (*profile)(std::function<RunChoices()> choices);
};

const std::vector<CliFormat>& CliFormats();

// The chips a profile writes, in the order it tries them: "EM4305, then T5577".
std::string ChipOrder(const BatchProfile& profile);

}  // namespace rivelo::cli
