// rivelo: the reader link for scripts and headless stations.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rivelo::cli {

// The whole program: arguments without the program's name; listed tags and results go to
// out, status texts and errors to err. Returns the exit code (see ExitCode).
int RunRivelo(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace rivelo::cli
