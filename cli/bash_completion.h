// bash completion scripts, made from the same definitions as the programs' --help: rivelo's
// parser, and rivelo-sim's usage text.
#pragma once

#include <string>
#include <vector>

#include "cli/usage_text.h"

namespace CLI {
class App;
}

namespace rivelo::cli {

// What a value of an option is, for completing it.
enum class ValueKind { Other, File, Directory };

struct CompletedOption {
  std::vector<std::string> names;  // every spelling: "-h", "--help"
  int values = 0;                  // the words that follow it (0: a flag)
  ValueKind kind = ValueKind::Other;
};

struct CompletedCommand {
  std::string path;  // "rivelo read em4100"
  std::vector<std::string> subcommands;
  std::vector<CompletedOption> options;  // its own, and the global ones that may follow it
};

// The program's commands, the program itself first.
struct CompletionTree {
  std::string program;
  std::vector<CompletedCommand> commands;
};

// PATH, FILE and DIR values are completed as files and directories.
ValueKind KindOfValue(const std::string& valueName);

CompletionTree RiveloCompletionTree(const CLI::App& app);
CompletionTree UsageCompletionTree(const UsageText& usage);

// A script for /usr/share/bash-completion/completions/PROGRAM.
std::string BashCompletion(const CompletionTree& tree);

}  // namespace rivelo::cli
