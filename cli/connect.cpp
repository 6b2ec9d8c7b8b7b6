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

bool ParseHexBytes(const std::string& text, std::size_t n, std::vector<unsigned char>* bytes) {
  if (text.size() != 2 * n) return false;
  bytes->clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    unsigned v = 0;
    for (std::size_t k = 0; k < 2; ++k) {
      const char c = text[i + k];
      unsigned d;
      if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
      else return false;
      v = v * 16 + d;
    }
    bytes->push_back(static_cast<unsigned char>(v));
  }
  return true;
}

std::string HexText(const unsigned char* bytes, std::size_t n, const char* separator) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) s += separator;
    s += digits[bytes[i] >> 4];
    s += digits[bytes[i] & 0x0F];
  }
  return s;
}

}  // namespace rivelo::cli
