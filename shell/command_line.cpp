#include "shell/command_line.h"

namespace rivelo {

ShellOptions ParseCommandLine(const std::vector<std::string>& arguments) {
  const ConnectionParse parse =
      ParseConnectionArguments(arguments, "also scan this serial port (after the system's ports)");
  ShellOptions options;
  options.ports = parse.options.ports;
  options.simulate = parse.options.simulate;
  options.simulatedTags = parse.options.simulatedTags;
  options.error = parse.error;
  return options;
}

const char* UsageText() {
  static const std::string text =
      "usage: [--port PATH]... [--simulate[=TAG,...]]\n"
      "  --port PATH          also scan this serial port (after the system's ports)\n"
      "  --simulate           serve a virtual reader on a pseudo-terminal and scan it\n"
      "                       first: an EM4100 tag 0123456789 on it, a blank T5577 and\n"
      "                       a blank EM4305 beside it\n"
      "  --simulate=TAG,...   these tags instead, the first on the reader:\n"
      "                       " + SimulatedTagKinds(23, 80) + "\n";
  return text.c_str();
}

}  // namespace rivelo
