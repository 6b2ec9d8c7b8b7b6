#include "cli/raw_access.h"



#include "cli/command_set.h"

namespace rivelo::cli {

void NoJson(const Session& session, const std::string& family) {
  if (session.json) throw UsageError("the " + family + " commands print text only: drop --json");
}

int Failed(Session& session, const std::string& text) {
  session.Error(text);
  return ExitFailed;
}

}  // namespace rivelo::cli
