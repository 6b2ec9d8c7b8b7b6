// What every command of one rivelo run shares: the global options, where to print, and the
// reader connection (with the virtual reader, when one was asked for).
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/connection_options.h"

namespace rivelo {
struct RunSummary;
}

namespace rivelo::sim {
class VirtualReader;
}

namespace rivelo::cli {

enum ExitCode : int {
  ExitOk = 0,
  ExitFailed = 1,  // the tag or the command failed, or a run ended short
  ExitUsage = 2,
  ExitNoReader = 3,
  ExitPortRefused = 4,    // no reader, and a port was busy or not permitted
  ExitInterrupted = 130,  // SIGINT or SIGTERM before the run finished
};

class Session {
 public:
  // simulation: the virtual reader that --simulate serves, instead of one of its own.
  Session(std::ostream& out, std::ostream& err, sim::VirtualReader* simulation = nullptr);
  ~Session();  // closes the port before the virtual reader goes away
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  ConnectionOptions connection;
  bool json = false;
  // Takes a run's summary instead of printing it (a station sums its readers' runs into one).
  std::function<void(const RunSummary&)> takeSummary;

  std::ostream& Out() { return out_; }
  std::ostream& Err() { return err_; }
  // One line "rivelo: text" on standard error.
  void Error(const std::string& text);

  // Starts the virtual reader when asked for, scans and connects slot 0. ExitOk, or the exit
  // code after saying on standard error what each port did instead.
  int Connect(std::string* connectedPort = nullptr);

  // The virtual reader's stack of blank chips for a write run (no-op without one).
  // Stacks of (kind, count), one after the other.
  void FeedBlankChips(const std::vector<std::pair<std::string, int>>& stacks);

 private:
  bool StartSimulation(std::string* path);

  struct Simulation;
  std::unique_ptr<Simulation> simulation_;
  sim::VirtualReader* givenReader_;
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace rivelo::cli
