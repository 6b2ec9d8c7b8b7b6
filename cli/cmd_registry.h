// rivelo registry import|export|stats|check: the registry of issued identities, seen and filled
// from the command line.
#pragma once

#include "cli/command_set.h"

namespace rivelo::cli {

void AddRegistryCommands(CommandSet& commands, CLI::App& root);

}  // namespace rivelo::cli
