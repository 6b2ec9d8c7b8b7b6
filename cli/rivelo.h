// rivelo: the reader link for scripts and headless stations.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rivelo::sim {
class VirtualReader;
}

namespace rivelo::cli {

// The whole program: arguments without the program's name; listed tags and results go to
// out, status texts and errors to err. Returns the exit code (see ExitCode). With
// simulation, --simulate serves that virtual reader (the tags it names are added to it), so
// that its caller can look at the tags afterwards.
int RunRivelo(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              sim::VirtualReader* simulation = nullptr);

}  // namespace rivelo::cli
