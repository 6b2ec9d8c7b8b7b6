// Manual pages in roff (man macros), made from the same definitions as the programs' --help:
// rivelo's parser, and rivelo-sim's usage text.
#pragma once

#include <string>

#include "cli/usage_text.h"

namespace CLI {
class App;
}

namespace rivelo::cli {

class HelpFormatter;

// Text set in roff: backslashes kept, and no line taken for a request.
std::string RoffText(const std::string& text);
// The same for what is typed as it stands (names, synopses): '-' is a minus, not a hyphen.
std::string RoffLiteral(const std::string& text);

// rivelo(1): the synopsis, the global options, every command with its arguments and
// options, and the exit codes.
std::string RiveloManual(const CLI::App& app, const HelpFormatter& help, const std::string& version);

// A manual page of a program with a plain usage text (rivelo-sim).
std::string UsageManual(const UsageText& usage, const std::string& version, const std::string& seeAlso);

}  // namespace rivelo::cli
