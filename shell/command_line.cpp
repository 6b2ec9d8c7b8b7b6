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
  return "usage: [--port PATH]... [--simulate[=TAG,...]]\n"
         "  --port PATH          also scan this serial port (after the system's ports)\n"
         "  --simulate           serve a virtual reader on a pseudo-terminal and scan it\n"
         "                       first: an EM4100 tag 0123456789 on it, a blank T5577 and\n"
         "                       a blank EM4305 beside it\n"
         "  --simulate=TAG,...   these tags instead, the first on the reader:\n"
         "                       em4100:HEX10, t5577, em4305, fdxb:COUNTRY:NATIONAL,\n"
         "                       hid:FC:CN, fdxa:HEX10\n";
}

}  // namespace rivelo
