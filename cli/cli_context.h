// What every command of the rivelo tool gets: the ports to scan, the virtual reader when one
// was asked for, and where to print.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace rivelo::sim {
class VirtualReader;
class PtyServer;
}  // namespace rivelo::sim

namespace rivelo::cli {

enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2, ExitNoReader = 3 };

struct CliContext {
  std::vector<std::string> ports;       // given with --port, in order
  bool simulate = false;
  std::vector<std::string> simTags;     // --simulate=TAG[,TAG...]
  std::shared_ptr<sim::VirtualReader> reader;  // set once the virtual reader runs
  std::shared_ptr<sim::PtyServer> server;
  std::ostream* out = nullptr;
  std::ostream* err = nullptr;
};

// Starts the virtual reader when asked for, scans and connects slot 0. Prints why on failure
// and returns false.
bool Connect(CliContext& ctx, std::string* connectedPort = nullptr);

}  // namespace rivelo::cli
