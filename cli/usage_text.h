// A program's plain usage text taken apart, so that its manual page and shell completion are
// made from the very text its --help prints.
#pragma once

#include <string>
#include <vector>

namespace rivelo::cli {

struct UsageOption {
  std::string term;                // "--fault KIND[:P]"
  std::vector<std::string> names;  // "--fault"
  bool takesValue = false;         // "--fault KIND" but not "--no-pacing"
  std::vector<std::string> lines;  // the description as laid out, one entry per line
};

struct UsageText {
  std::string program;                     // "rivelo-sim"
  std::string synopsis;                    // what follows the program in the usage line
  std::vector<std::string> description;    // the lines between the usage line and the options
  std::vector<UsageOption> options;
  std::vector<std::string> after;          // unindented lines after the options
};

// Reads "usage: PROGRAM SYNOPSIS", then description lines, then options indented by two
// spaces ("  --name VALUE  text", continued by deeper indented lines). An option's term
// ends at the first run of two spaces.
UsageText ParseUsageText(const std::string& text);

}  // namespace rivelo::cli
