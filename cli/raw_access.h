// What the raw-access command families (t5577, em4305) share: the confirmation of
// irreversible steps (cli/consent.h), their refusal of --json, and their failure exit.
#pragma once

#include <string>

#include "cli/consent.h"
#include "cli/session.h"

namespace rivelo::cli {

// Their output is lines of text: better refused than a --json that is silently not honoured.
void NoJson(const Session& session, const std::string& family);

int Failed(Session& session, const std::string& text);

}  // namespace rivelo::cli
