// rivelo-docs VERSION DIR: writes the manual pages and bash completions of rivelo and
// rivelo-sim into DIR/man1 and DIR/completions, made from the definitions their --help
// prints, so that the installed documentation cannot drift from the programs. Run at build
// time; never installed.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "cli/bash_completion.h"
#include "cli/manual_page.h"
#include "cli/rivelo.h"
#if RIVELO_HAS_SIM
#include "sim/sim_options.h"
#endif

namespace {

bool Write(const std::filesystem::path& path, const std::string& text) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) {
    std::cerr << "rivelo-docs: cannot write " << path.string() << "\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace rivelo::cli;
  if (argc != 3) {
    std::cerr << "usage: rivelo-docs VERSION DIR\n";
    return 2;
  }
  const std::string version = argv[1];
  const std::filesystem::path dir = argv[2];
  std::string manual;
  std::string completion;
  InspectRiveloParser([&](const CLI::App& app, const HelpFormatter& help) {
    manual = RiveloManual(app, help, version);
    completion = BashCompletion(RiveloCompletionTree(app));
  });
  bool ok = Write(dir / "man1" / "rivelo.1", manual) && Write(dir / "completions" / "rivelo", completion);
#if RIVELO_HAS_SIM
  const UsageText sim = ParseUsageText(rivelo::sim::SimUsage);
  ok = ok && Write(dir / "man1" / "rivelo-sim.1", UsageManual(sim, version, "rivelo")) &&
       Write(dir / "completions" / "rivelo-sim", BashCompletion(UsageCompletionTree(sim)));
#endif
  return ok ? 0 : 1;
}
