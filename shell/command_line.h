// The programs' command line: --port PATH (repeatable) and --simulate[=TAG,...].
#pragma once

#include <string>
#include <vector>

namespace rivelo {

struct ShellOptions {
  std::vector<std::string> ports;  // scanned after the system's ports
  bool simulate = false;
  std::vector<std::string> simulatedTags;  // the first one lies on the reader
  std::string error;                       // non-empty: the command line is wrong
};

// The tags of --simulate without a list: an EM4100 tag on the reader, blank chips beside it.
std::vector<std::string> DefaultSimulatedTags();

// arguments without the program name (Qt's own options already taken out).
ShellOptions ParseCommandLine(const std::vector<std::string>& arguments);

const char* UsageText();

}  // namespace rivelo
