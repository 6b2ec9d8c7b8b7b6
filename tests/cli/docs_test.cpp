// The manual pages and bash completions are made from the programs' own definitions: every
// command and option of rivelo, and every option of rivelo-sim's usage, must reach them, the
// roff must not be taken for requests, and the completion must work in a real bash.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/bash_completion.h"
#include "cli/help_format.h"
#include "cli/manual_page.h"
#include "cli/rivelo.h"
#if RIVELO_HAS_SIM
#include "sim/sim_options.h"
#endif

namespace rivelo::cli {
namespace {

struct Generated {
  std::string manual;
  std::string completion;
  // Each command path with its subcommands and its options' long names (help left out).
  std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>> commands;
};

void Collect(const CLI::App* app, Generated& out) {
  auto& [subs, options] = out.commands[CommandPath(app)];
  for (const CLI::Option* opt : app->get_options()) {
    if (opt->get_positional() || opt == app->get_help_ptr()) continue;
    for (const std::string& l : opt->get_lnames()) options.push_back("--" + l);
  }
  for (const CLI::App* sub : app->get_subcommands({})) {
    subs.push_back(sub->get_name());
    Collect(sub, out);
  }
}

const Generated& Rivelo() {
  static const Generated generated = [] {
    Generated g;
    InspectRiveloParser([&](const CLI::App& app, const HelpFormatter& help) {
      g.manual = RiveloManual(app, help, "9.8.7");
      g.completion = BashCompletion(RiveloCompletionTree(app));
      Collect(&app, g);
    });
    return g;
  }();
  return generated;
}

// The manual's section of one command: from its .SS line to the next.
std::string Section(const std::string& manual, const std::string& path) {
  const std::string head = ".SS \"" + RoffLiteral(path) + "\"\n";
  const auto start = manual.find(head);
  if (start == std::string::npos) return {};
  const auto end = manual.find("\n.S", start + head.size());
  return manual.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 4096> buffer{};
  while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
  pclose(pipe);
  return out;
}

std::filesystem::path WriteTemp(const std::string& name, const std::string& text) {
  // Per process: ctest runs the cases side by side.
  const auto path = std::filesystem::temp_directory_path() / ("rivelo-docs-test-" + std::to_string(getpid()) + "-" + name);
  std::ofstream(path) << text;
  return path;
}

// What the completion offers for a command line whose last word is being completed.
std::set<std::string> Complete(const std::filesystem::path& script, const std::string& words,
                               const std::string& directory = ".") {
  const auto driver = WriteTemp("complete.sh", "cd '" + directory + "' || exit 1\nsource '" + script.string() +
                                                   "'\nCOMP_WORDS=(" + words +
                                                   ")\nCOMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n_rivelo\n"
                                                   "printf '%s\\n' \"${COMPREPLY[@]}\"\n");
  std::istringstream lines(RunCommand("bash '" + driver.string() + "' 2>&1"));
  std::set<std::string> offered;
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) offered.insert(line);
  return offered;
}

bool HasBash() { return std::system("bash -c true >/dev/null 2>&1") == 0; }

TEST(Manual, ListsEveryCommandWithItsOptions) {
  const Generated& g = Rivelo();
  ASSERT_GT(g.commands.size(), 20u);
  for (const auto& [path, entry] : g.commands) {
    if (path == "rivelo") continue;
    const std::string section = Section(g.manual, path);
    ASSERT_FALSE(section.empty()) << path;
    for (const std::string& option : entry.second) {
      EXPECT_NE(section.find("\\fB" + RoffLiteral(option)), std::string::npos) << path << " " << option;
    }
  }
  for (const std::string& option : g.commands.at("rivelo").second)
    EXPECT_NE(g.manual.find("\\fB" + RoffLiteral(option)), std::string::npos) << option;
  EXPECT_NE(g.manual.find(".TH RIVELO 1 \"\" \"rivelo 9.8.7\""), std::string::npos);
  EXPECT_NE(g.manual.find(".SH \"EXIT STATUS\"\n.TP\n.B 0\n"), std::string::npos);
  EXPECT_NE(g.manual.find(".B 130\n"), std::string::npos);
}

TEST(Manual, TextIsNeverTakenForARequest) {
  EXPECT_EQ(RoffText(".x\n'y \\z"), "\\&.x\n\\&'y \\ez");
  EXPECT_EQ(RoffLiteral("--port"), "\\-\\-port");
  const std::set<std::string> macros = {".TH", ".SH", ".SS", ".TP", ".PP", ".B", ".BR", ".br", ".nh", ".hy", ".ad", ".\\\""};
  std::vector<std::string> pages = {Rivelo().manual};
#if RIVELO_HAS_SIM
  pages.push_back(UsageManual(ParseUsageText(sim::SimUsage), "1", "rivelo"));
#endif
  for (const std::string& page : pages) {
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
      if (line.empty() || (line.front() != '.' && line.front() != '\'')) continue;
      EXPECT_TRUE(macros.count(line.substr(0, line.find(' ')))) << line;
    }
  }
}

TEST(Manual, GroffFormatsThePagesWithoutWarnings) {
  if (std::system("groff -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "no groff";
  std::vector<std::pair<std::string, std::string>> pages = {{"rivelo.1", Rivelo().manual}};
#if RIVELO_HAS_SIM
  pages.emplace_back("rivelo-sim.1", UsageManual(ParseUsageText(sim::SimUsage), "1", "rivelo"));
#endif
  for (const auto& [name, text] : pages) {
    const auto path = WriteTemp(name, text);
    EXPECT_EQ(RunCommand("groff -man -Tutf8 -ww -z '" + path.string() + "' 2>&1"), "") << name;
    std::filesystem::remove(path);
  }
}

#if RIVELO_HAS_SIM
TEST(Manual, SimPageHasEveryOptionOfItsUsage) {
  const std::string usage = sim::SimUsage;
  const std::string page = UsageManual(ParseUsageText(usage), "1", "rivelo");
  std::istringstream lines(usage);
  int options = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  --", 0) != 0) continue;
    const std::string name = line.substr(2, line.find_first_of(" [=", 2) - 2);
    EXPECT_NE(page.find(".B " + RoffLiteral(name)), std::string::npos) << name;
    ++options;
  }
  EXPECT_GT(options, 5);
  EXPECT_NE(page.find(".SH NAME\nrivelo\\-sim \\- serves a virtual reader"), std::string::npos);
}
#endif

TEST(Completion, OffersEveryCommandAndOptionAtEachPath) {
  if (!HasBash()) GTEST_SKIP() << "no bash";
  const Generated& g = Rivelo();
  const auto script = WriteTemp("rivelo.bash", g.completion);
  const std::vector<std::string> global = g.commands.at("rivelo").second;
  for (const auto& [path, entry] : g.commands) {
    const std::set<std::string> commands = Complete(script, path + " ''");
    for (const std::string& sub : entry.first) EXPECT_TRUE(commands.count(sub)) << path << " " << sub;
    const std::set<std::string> options = Complete(script, path + " -");
    for (const std::string& option : entry.second) EXPECT_TRUE(options.count(option)) << path << " " << option;
    for (const std::string& option : global) EXPECT_TRUE(options.count(option)) << path << " " << option;
  }
  std::filesystem::remove(script);
}

TEST(Completion, SkipsOptionValuesAndCompletesPathsAsPaths) {
  if (!HasBash()) GTEST_SKIP() << "no bash";
  const auto script = WriteTemp("rivelo-values.bash", Rivelo().completion);
  const auto dir = std::filesystem::temp_directory_path() / ("rivelo-docs-test-" + std::to_string(getpid()) + "-dir");
  std::filesystem::create_directories(dir / "exports");
  std::ofstream(dir / "ids.txt") << "1\n";

  // A port named like a command is the port, not the command.
  const std::set<std::string> root = Complete(script, "rivelo --port read ''");
  EXPECT_TRUE(root.count("identify"));
  EXPECT_FALSE(root.count("em4100"));
  // Both words of an identity are values: the command stays "run fdxb".
  const std::set<std::string> run = Complete(script, "rivelo run fdxb --continuous 999 12 --tr");
  EXPECT_EQ(run, std::set<std::string>{"--trailer"});
  // --export wants a directory, --file a file; a flag takes no value.
  EXPECT_EQ(Complete(script, "rivelo read em4100 --export ''", dir.string()), std::set<std::string>{"exports"});
  EXPECT_TRUE(Complete(script, "rivelo run em4100 --file ''", dir.string()).count("ids.txt"));
  EXPECT_EQ(Complete(script, "rivelo read em4100 --continuous --cou"), std::set<std::string>{"--count"});
  // bash splits --port=PATH at '='.
  EXPECT_TRUE(Complete(script, "rivelo --port = ''", dir.string()).count("ids.txt"));

  std::filesystem::remove_all(dir);
  std::filesystem::remove(script);
}

}  // namespace
}  // namespace rivelo::cli
