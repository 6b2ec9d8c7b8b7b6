// rivelo: the reader link for scripts and headless stations.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/basic_commands.h"
#include "cli/cli_context.h"
#include "cli/em4100_jobs.h"

namespace {

using rivelo::cli::Args;
using rivelo::cli::CliContext;

constexpr const char* Usage =
    "usage: rivelo [--port PATH]... [--simulate[=TAG[,TAG]...]] COMMAND\n"
    "commands:\n"
    "  identify                  print the port on which the reader answers\n"
    "  read em4100               print the EM4100 identity (10 hex digits)\n"
    "  read em4100 --continuous [--export DIR] [--form 10H|08H|06H|02H04H|13D] [--count N]\n"
    "                            list every tag read (with --export: each new identity once,\n"
    "                            into DIR/YYYY-MM-DD-hh-mm-ss.txt); until N are listed or Ctrl+C;\n"
    "                            13D (40-bit decimal) files feed run em4100 --file\n"
    "  write em4100 HEX10 [--lock]\n"
    "                            write an EM4100 identity (EM4305 first, then T5577), verified\n"
    "  run em4100 (--continuous HEX10 | --incremental HEX10 | --file PATH) [--count N] [--lock]\n"
    "                            write tag after tag: the same identity, a growing one, or the\n"
    "                            decimal identities of a file; until N tags, the file's end or\n"
    "                            Ctrl+C (with --simulate, blank chips are fed: --feed em4305|t5577)\n"
    "  send CODE [BYTE]...       send one raw command (hex), print status and payload\n"
    "exit codes: 0 success, 1 the tag or the command failed, 2 usage error, 3 no reader found\n";

std::vector<std::string> SplitCommas(const std::string& s) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= s.size()) {
    const std::size_t comma = s.find(',', start);
    const std::string part = s.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!part.empty()) parts.push_back(part);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return parts;
}

int Dispatch(CliContext& ctx, const Args& words) {
  if (words.empty()) return rivelo::cli::ExitUsage;
  const std::string& verb = words[0];
  const Args rest(words.begin() + 1, words.end());
  if (verb == "identify") return rivelo::cli::RunIdentify(ctx, rest);
  if (verb == "send") return rivelo::cli::RunSend(ctx, rest);
  if (verb == "read" && rest.size() > 1 && rest[0] == "em4100")
    return rivelo::cli::RunReadEm4100Continuous(ctx, Args(rest.begin() + 1, rest.end()));
  if (verb == "write" && !rest.empty() && rest[0] == "em4100")
    return rivelo::cli::RunWriteEm4100(ctx, Args(rest.begin() + 1, rest.end()));
  if (verb == "run" && !rest.empty() && rest[0] == "em4100")
    return rivelo::cli::RunRunEm4100(ctx, Args(rest.begin() + 1, rest.end()));
  if (verb == "read" && !rest.empty() && rest[0] == "em4100")
    return rivelo::cli::RunReadEm4100(ctx, Args(rest.begin() + 1, rest.end()));
  return rivelo::cli::ExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  CliContext ctx;
  ctx.out = &std::cout;
  ctx.err = &std::cerr;
  Args words;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--port") {
      if (i + 1 >= argc) {
        std::cerr << Usage;
        return rivelo::cli::ExitUsage;
      }
      ctx.ports.push_back(argv[++i]);
    } else if (a.rfind("--port=", 0) == 0) {
      ctx.ports.push_back(a.substr(7));
    } else if (a == "--simulate") {
      ctx.simulate = true;
    } else if (a.rfind("--simulate=", 0) == 0) {
      ctx.simulate = true;
      ctx.simTags = SplitCommas(a.substr(11));
    } else if (a == "--help" || a == "-h") {
      std::cout << Usage;
      return rivelo::cli::ExitOk;
    } else {
      words.push_back(a);
    }
  }
  const int code = Dispatch(ctx, words);
  if (code == rivelo::cli::ExitUsage) std::cerr << Usage;
  return code;
}
