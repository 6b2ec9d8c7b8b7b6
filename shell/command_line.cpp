#include "shell/command_line.h"

namespace rivelo {
namespace {

std::vector<std::string> SplitCommas(const std::string& list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = list.find(',', start);
    const std::size_t end = comma == std::string::npos ? list.size() : comma;
    if (end > start) parts.push_back(list.substr(start, end - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return parts;
}

}  // namespace

std::vector<std::string> DefaultSimulatedTags() { return {"em4100:0123456789", "t5577", "em4305"}; }

ShellOptions ParseCommandLine(const std::vector<std::string>& arguments) {
  ShellOptions options;
  const std::string portEq = "--port=";
  const std::string simulateEq = "--simulate=";
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--port") {
      if (i + 1 >= arguments.size()) {
        options.error = "--port needs a path";
        return options;
      }
      options.ports.push_back(arguments[++i]);
    } else if (a.rfind(portEq, 0) == 0 && a.size() > portEq.size()) {
      options.ports.push_back(a.substr(portEq.size()));
    } else if (a == "--simulate") {
      options.simulate = true;
      options.simulatedTags = DefaultSimulatedTags();
    } else if (a.rfind(simulateEq, 0) == 0) {
      options.simulate = true;
      options.simulatedTags = SplitCommas(a.substr(simulateEq.size()));
    } else {
      options.error = "unknown argument: " + a;
      return options;
    }
  }
  return options;
}

const char* UsageText() {
  return "usage: [--port PATH]... [--simulate[=TAG,...]]\n"
         "  --port PATH      also scan this serial port (after the system's ports)\n"
         "  --simulate       serve a virtual reader on a pseudo-terminal and scan it first;\n"
         "                   TAG e.g. em4100:0123456789, t5577, em4305, fdxb:999:112233,\n"
         "                   hid:118:1603, fdxa:1A2B3C4D5E (the first lies on the reader)\n";
}

}  // namespace rivelo
