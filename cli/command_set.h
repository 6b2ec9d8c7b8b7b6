// How rivelo's commands join the parser: each command family adds its subcommands and the
// action that runs when one of them was chosen.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

#include "cli/help_format.h"
#include "cli/session.h"

namespace rivelo::cli {

// A command line that the parser accepted but that asks for something impossible: exit 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct CommandSet {
  Session& session;
  HelpFormatter& help;
  std::map<const CLI::App*, std::function<int()>> actions;

  // Makes a subcommand of parent with its usage line, listed under group in the parent's
  // help; action (empty for a command that only holds others) gives the exit code.
  CLI::App* Add(CLI::App& parent, const std::string& name, const std::string& description, const std::string& synopsis,
                std::function<int()> action, const std::string& group = "Commands");
};

void AddIdentifyCommand(CommandSet& commands, CLI::App& root);
void AddSendCommand(CommandSet& commands, CLI::App& root);
// read, write and run, with one subcommand per format of the table.
void AddIdentityCommands(CommandSet& commands, CLI::App& root);
// formats: the table's formats with their fields and ranges.
void AddFormatsCommand(CommandSet& commands, CLI::App& root);
struct IdentityJob;
// The run subcommands of every format under run, each starting its job with start.
using JobStart = int (*)(Session& session, const IdentityJob& job);
void AddRunCommands(CommandSet& commands, CLI::App& run, JobStart start);
void AddT5577Commands(CommandSet& commands, CLI::App& root);
void AddEm4305Commands(CommandSet& commands, CLI::App& root);
// inspect and compare.
void AddInspectCommands(CommandSet& commands, CLI::App& root);

}  // namespace rivelo::cli
