// The programs' command line: --port PATH (repeatable) and --simulate[=TAG,...], read by the
// same parser as rivelo's.
#pragma once

#include <string>
#include <vector>

#include "cli/connection_options.h"

namespace rivelo {

struct ShellOptions {
  std::vector<std::string> ports;  // scanned after the system's ports
  bool simulate = false;
  std::vector<std::string> simulatedTags;  // the first one lies on the reader
  std::string error;                       // non-empty: the command line is wrong
};

// arguments without the program name (Qt's own options already taken out).
ShellOptions ParseCommandLine(const std::vector<std::string>& arguments);

const char* UsageText();

}  // namespace rivelo
