#include "cli/consent.h"

#include <unistd.h>

#include <iostream>

#include "cli/command_set.h"

namespace rivelo::cli {

bool Confirm(Session& session, const std::string& question, bool yes) {
  if (yes) return true;
  if (!isatty(STDIN_FILENO)) throw UsageError(question + " Give --yes to confirm without a terminal.");
  session.Err() << question << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return answer == "y" || answer == "Y" || answer == "yes";
}

}  // namespace rivelo::cli
