// Tag passwords on the command line. A password given as an argument is seen by every local
// user (ps) and kept by the shell's history, so each password option also takes it from a file
// (its first line), from the environment, or from a prompt that does not echo ("-"). Whatever
// the source, the value never appears in an error message: a refused one is named, not shown.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

#include "batch/batch_profile.h"
#include "cli/session.h"

namespace rivelo::cli {

// How one password option is named and where else it may come from.
struct PasswordOption {
  std::string option;        // "--password", or a positional's name ("HEX8")
  std::string fileOption;    // "--password-file"
  const char* environment;   // "RIVELO_PASSWORD"
  // Read when neither option is given. Off for a password that a command would give to a tag
  // (--protect): a variable left in the environment must not protect tags nobody asked it for;
  // there it is read only when the option says "env".
  bool environmentByDefault = true;
  std::string prompt;        // asked on the terminal for "-"
};

// What the command line held: the option's text (HEX8, "-" or "env") and the file's path.
struct PasswordSource {
  std::string value;
  std::string file;
};

// The option (or positional, when names.option has no leading "--") and its file option.
void AddPasswordOptions(CLI::App* app, PasswordSource& source, const PasswordOption& names, const std::string& help);

// The password from the first source given: the option (its value, the prompt, or the
// environment for "env"), the file, else the environment where read by default. nullopt when
// none is given. A refused source is a usage error (exit 2) that names the source only.
std::optional<TagPassword> ResolvePassword(Session& session, const PasswordSource& source, const PasswordOption& names);

// As ResolvePassword, but one of the sources must give it: else a usage error naming them.
TagPassword RequiredPassword(Session& session, const PasswordSource& source, const PasswordOption& names);

// The standard specs: the password the chip carries, and the one a command gives it.
PasswordOption ChipPasswordOption();
PasswordOption NewPasswordOption(const std::string& option, const std::string& fileOption);
PasswordOption ProtectOption();

// What --help says of every password option.
extern const char* const PasswordVisibleNote;

}  // namespace rivelo::cli
