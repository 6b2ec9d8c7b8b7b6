// identify: scans the ports and prints the one on which the reader answered.
#include <ostream>

#include "cli/command_set.h"
#include "cli/json_lines.h"

namespace rivelo::cli {

void AddIdentifyCommand(CommandSet& commands, CLI::App& root) {
  Session& session = commands.session;
  commands.Add(root, "identify", "print the port on which the reader answers", "", [&session] {
    std::string port;
    if (const int code = session.Connect(&port); code != ExitOk) return code;
    if (session.json) session.Out() << JsonObject().Text("port", port).Str() << std::endl;
    else session.Out() << port << std::endl;
    return static_cast<int>(ExitOk);
  });
}

}  // namespace rivelo::cli
