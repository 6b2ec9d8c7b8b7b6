#include "cli/basic_commands.h"

#include <array>
#include <charconv>
#include <ostream>

#include "model/text_bytes.h"
#include "reader/commands.h"

namespace rivelo::cli {
namespace {

bool ParseNumber(const std::string& text, unsigned long max, unsigned long* value) {
  std::string digits = text;
  int base = 16;
  if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0) digits = digits.substr(2);
  if (digits.empty()) return false;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), *value, base);
  return ec == std::errc() && end == digits.data() + digits.size() && *value <= max;
}

}  // namespace

int RunIdentify(CliContext& ctx, const Args& args) {
  if (!args.empty()) return ExitUsage;
  std::string port;
  if (!Connect(ctx, &port)) return ExitNoReader;
  *ctx.out << port << "\n";
  return ExitOk;
}

int RunReadEm4100(CliContext& ctx, const Args& args) {
  if (!args.empty()) return ExitUsage;
  if (!Connect(ctx)) return ExitNoReader;
  std::array<std::uint8_t, 5> id{};
  const SResult r = CmdReadEm4100(id);
  if (r != SOk) {
    *ctx.err << (r == SFailStatus ? "rivelo: no EM4100 tag was read\n" : "rivelo: the reader did not answer\n");
    return ExitFailed;
  }
  *ctx.out << FormatHex(id) << "\n";
  return ExitOk;
}

int RunSend(CliContext& ctx, const Args& args) {
  unsigned long code = 0;
  if (args.empty() || !ParseNumber(args[0], 0xFFFF, &code)) return ExitUsage;
  std::vector<std::uint8_t> data;
  for (std::size_t i = 1; i < args.size(); ++i) {
    unsigned long b = 0;
    if (!ParseNumber(args[i], 0xFF, &b)) return ExitUsage;
    data.push_back(static_cast<std::uint8_t>(b));
  }
  if (data.size() > 64) return ExitUsage;
  if (!Connect(ctx)) return ExitNoReader;
  const RawReply reply = CmdRaw(static_cast<std::uint16_t>(code), data);
  if (!reply.valid) {
    *ctx.out << "result: no valid reply\n";
    return ExitFailed;
  }
  *ctx.out << "result: valid reply\n";
  *ctx.out << "status: " << FormatHex(std::span(&reply.status, 1)) << (reply.status == 0 ? " (success)" : " (failure)") << "\n";
  *ctx.out << "payload: " << FormatHex(reply.payload, " ") << "\n";
  return reply.status == 0 ? ExitOk : ExitFailed;
}

}  // namespace rivelo::cli
