// What the raw-access command families (t5577, em4305) share: the confirmation of
// irreversible steps, their refusal of --json, and their failure exit.
#pragma once

#include <string>

#include "cli/session.h"

namespace rivelo::cli {

// True when yes was given or the operator answers y on the terminal. Without a terminal
// nobody can answer, so the command must not go on: a usage error.
bool Confirm(Session& session, const std::string& question, bool yes);

// Their output is lines of text: better refused than a --json that is silently not honoured.
void NoJson(const Session& session, const std::string& family);

int Failed(Session& session, const std::string& text);

}  // namespace rivelo::cli
