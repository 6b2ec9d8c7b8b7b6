#include <ostream>

#include "cli/cli_context.h"
#include "reader/discovery.h"
#if RIVELO_HAS_SIM
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"
#endif

namespace rivelo::cli {
namespace {

// Starts the virtual reader once; path receives its terminal.
bool StartSimulator(CliContext& ctx, std::string* path) {
#if !RIVELO_HAS_SIM
  *ctx.err << "rivelo: this build has no virtual reader\n";
  (void)path;
  return false;
#else
  if (ctx.server) {
    *path = ctx.server->Path();
    return true;
  }
  ctx.reader = std::make_shared<sim::VirtualReader>();
  std::vector<std::string> tags = ctx.simTags;
  if (tags.empty()) tags.push_back("em4100:0123456789");
  for (const auto& spec : tags) {
    std::string error;
    if (ctx.reader->AddTag(spec, &error) < 0) {
      *ctx.err << "rivelo: bad tag '" << spec << "': " << error << "\n";
      return false;
    }
  }
  ctx.server = std::make_shared<sim::PtyServer>(*ctx.reader);
  if (!ctx.server->Start()) {
    *ctx.err << "rivelo: cannot start the virtual reader\n";
    return false;
  }
  *path = ctx.server->Path();
  return true;
#endif
}

}  // namespace

bool Connect(CliContext& ctx, std::string* connectedPort) {
  std::vector<std::string> first;
  if (ctx.simulate) {
    std::string path;
    if (!StartSimulator(ctx, &path)) return false;
    first.push_back(path);
  }
  std::vector<std::string> ports = first;
  if (ctx.ports.empty() && !ctx.simulate) {
    auto system = SystemSerialPorts();
    if (!system) {
      *ctx.err << "rivelo: the system's serial port list cannot be read\n";
      return false;
    }
    ports.insert(ports.end(), system->begin(), system->end());
  } else {
    ports.insert(ports.end(), ctx.ports.begin(), ctx.ports.end());
  }
  const ConnectResult r = ConnectDevice(ports);
  if (!r.found) {
    *ctx.err << "rivelo: no reader answered on " << ports.size() << " port(s)";
    for (const auto& p : ports) *ctx.err << " " << p;
    *ctx.err << "\n";
    return false;
  }
  if (connectedPort) *connectedPort = r.port;
  return true;
}

}  // namespace rivelo::cli
