#include "cli/session.h"

#include <ostream>

#include "cli/reader_messages.h"
#include "reader/discovery.h"
#if RIVELO_HAS_SIM
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"
#endif

namespace rivelo::cli {

#if RIVELO_HAS_SIM
struct Session::Simulation {
  explicit Simulation(sim::VirtualReader* given)
      : own(given ? nullptr : std::make_unique<sim::VirtualReader>()), reader(given ? *given : *own) {}
  std::unique_ptr<sim::VirtualReader> own;
  sim::VirtualReader& reader;
  std::unique_ptr<sim::PtyServer> server;
};
#else
struct Session::Simulation {};
#endif

Session::Session(std::ostream& out, std::ostream& err, sim::VirtualReader* simulation)
    : givenReader_(simulation), out_(out), err_(err) {}

Session::~Session() { DisconnectDevice(); }

void Session::Error(const std::string& text) { err_ << "rivelo: " << text << std::endl; }

bool Session::StartSimulation(std::string* path) {
#if RIVELO_HAS_SIM
  if (!simulation_) {
    auto simulation = std::make_unique<Simulation>(givenReader_);
    for (const std::string& tag : connection.simulatedTags) {
      std::string error;
      if (simulation->reader.AddTag(tag, &error) < 0) {
        Error("bad tag '" + tag + "': " + error);
        return false;
      }
    }
    simulation->server = std::make_unique<sim::PtyServer>(simulation->reader);
    if (!simulation->server->Start()) {
      Error("the virtual reader cannot be started (no pseudo-terminal)");
      return false;
    }
    simulation_ = std::move(simulation);
  }
  *path = simulation_->server->Path();
  return true;
#else
  (void)path, (void)givenReader_;
  Error("this build has no virtual reader");
  return false;
#endif
}

void Session::FeedBlankChips(const std::vector<std::pair<std::string, int>>& stacks) {
#if RIVELO_HAS_SIM
  std::vector<sim::FeedStack> feed;
  for (const auto& [kind, count] : stacks) feed.push_back({kind, count});
  if (simulation_) simulation_->reader.SetFeeder(feed, 0);
#else
  (void)stacks;
#endif
}

int Session::Connect(std::string* connectedPort) {
  std::vector<std::string> ports;
  if (connection.simulate) {
    std::string path;
    if (!StartSimulation(&path)) return ExitFailed;
    ports.push_back(path);
  }
  // Ports given replace the system's list; so does the virtual reader.
  if (connection.ports.empty() && !connection.simulate) {
    auto system = SystemSerialPorts();
    if (!system) {
      Error("the system's list of serial ports cannot be read; name the port with --port");
      return ExitNoReader;
    }
    ports = std::move(*system);
  } else {
    ports.insert(ports.end(), connection.ports.begin(), connection.ports.end());
  }
  if (ports.empty()) {
    Error("no reader found: the system lists no serial port");
    return ExitNoReader;
  }
  const ConnectResult result = ConnectDevice(ports);
  if (result.found) {
    if (connectedPort) *connectedPort = result.port;
    return ExitOk;
  }
  bool refused = false;
  for (const PortAttempt& attempt : result.refused) refused = refused || PortRefused(attempt);
  if (result.refused.size() == 1) {
    Error("no reader on " + result.refused[0].port + ": " + DescribeAttempt(result.refused[0]));
  } else {
    Error("no reader found on " + std::to_string(result.refused.size()) + " ports:");
    for (const PortAttempt& attempt : result.refused) Error("  " + attempt.port + ": " + DescribeAttempt(attempt));
  }
  return refused ? ExitPortRefused : ExitNoReader;
}

}  // namespace rivelo::cli
