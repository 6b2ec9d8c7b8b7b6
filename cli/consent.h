// The operator's consent to steps that cannot be undone (locking, protecting, disabling a
// tag, writing its configuration), asked the same way by every command that takes them.
#pragma once

#include <string>

#include "cli/session.h"

namespace rivelo::cli {

// True when yes was given or the operator answers y on the terminal. Without a terminal
// nobody can answer, so the command must not go on: a usage error (exit 2), nothing sent.
bool Confirm(Session& session, const std::string& question, bool yes);

}  // namespace rivelo::cli
