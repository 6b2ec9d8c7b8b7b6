// rivelo station --port A --port B ... run FORMAT ...: one write run per reader at once, in one
// process, all taking their identities from one registry and logging into one run log.
#pragma once

#include "cli/command_set.h"

namespace rivelo::cli {

void AddStationCommand(CommandSet& commands, CLI::App& root);

}  // namespace rivelo::cli
