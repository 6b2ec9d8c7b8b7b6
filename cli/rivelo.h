// rivelo: the reader link for scripts and headless stations.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace rivelo::sim {
class VirtualReader;
}

namespace CLI {
class App;
}

namespace rivelo::cli {

class HelpFormatter;

// The whole program: arguments without the program's name; listed tags and results go to
// out, status texts and errors to err. Returns the exit code (see ExitCode). With
// simulation, --simulate serves that virtual reader (the tags it names are added to it), so
// that its caller can look at the tags afterwards.
int RunRivelo(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              sim::VirtualReader* simulation = nullptr);

// Builds rivelo's parser, exactly as a run does, and hands it with its help layout to
// inspect without parsing anything: the manual page and the shell completion are made from
// it, so they list what the program accepts.
using ParserInspector = std::function<void(const CLI::App& app, const HelpFormatter& help)>;
void InspectRiveloParser(const ParserInspector& inspect);

}  // namespace rivelo::cli
