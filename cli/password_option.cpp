#include "cli/password_option.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "cli/command_set.h"
#include "model/text_bytes.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace rivelo::cli {
namespace {

std::optional<TagPassword> Parse(std::string_view text) {
  const auto bytes = HexBytesExact(text, 4);
  if (!bytes) return std::nullopt;
  return TagPassword{(*bytes)[0], (*bytes)[1], (*bytes)[2], (*bytes)[3]};
}

// Blanks and a CR around the line are the file's or the terminal's, not the password's.
std::string Trimmed(std::string text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

#ifdef _WIN32
bool ReadWithoutEcho(std::string* line) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (in == INVALID_HANDLE_VALUE || !GetConsoleMode(in, &mode)) return false;
  SetConsoleMode(in, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
  const bool got = static_cast<bool>(std::getline(std::cin, *line));
  SetConsoleMode(in, mode);
  return got;
}
bool HaveTerminal() {
  DWORD mode = 0;
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  return in != INVALID_HANDLE_VALUE && GetConsoleMode(in, &mode);
}
#else
// A Ctrl+C at the prompt must not leave the terminal without echo.
struct termios savedTerminal;
extern "C" void RestoreEchoAndStop(int signal) {
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

bool ReadWithoutEcho(std::string* line) {
  if (tcgetattr(STDIN_FILENO, &savedTerminal) != 0) return false;
  struct termios quiet = savedTerminal;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  struct sigaction action {}, previousInt {}, previousTerm {};
  action.sa_handler = RestoreEchoAndStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previousInt);
  sigaction(SIGTERM, &action, &previousTerm);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  const bool got = static_cast<bool>(std::getline(std::cin, *line));
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
  sigaction(SIGINT, &previousInt, nullptr);
  sigaction(SIGTERM, &previousTerm, nullptr);
  return got;
}
bool HaveTerminal() { return isatty(STDIN_FILENO) != 0; }
#endif

std::string FromPrompt(Session& session, const PasswordOption& names) {
  if (!HaveTerminal())
    throw UsageError(names.option + " -: no terminal to ask on; give " + names.fileOption + " FILE or " +
                     names.environment);
  session.Err() << names.prompt << ": " << std::flush;
  std::string line;
  const bool got = ReadWithoutEcho(&line);
  session.Err() << std::endl;  // the Enter that was not echoed
  if (!got) throw UsageError(names.option + " -: nothing was typed");
  return line;
}

std::string FromFile(const PasswordSource& source, const PasswordOption& names) {
  std::ifstream in(source.file);
  if (!in) throw UsageError(names.fileOption + " " + source.file + ": " + std::strerror(errno));
  std::string line;
  std::getline(in, line);
  return line;
}

std::optional<std::string> FromEnvironment(const PasswordOption& names) {
  const char* value = std::getenv(names.environment);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::string Checked(const std::string& text) {
  if (text == "-" || text == "env" || Parse(text)) return {};
  return "not 8 hex digits, - (ask without echo) or env";
}

}  // namespace

const char* const PasswordVisibleNote =
    "; given here, other users can see it (ps): prefer - (asked without echo), the file option or the "
    "environment";

void AddPasswordOptions(CLI::App* app, PasswordSource& source, const PasswordOption& names, const std::string& help) {
  // The reason never repeats the text: it may be a password with one digit mistyped.
  const CLI::Validator check([](std::string& text) { return Checked(text); }, "");
  const std::string envNote = names.environmentByDefault
                                  ? " (without it, the file option or " + std::string(names.environment) + ")"
                                  : " (env: from " + std::string(names.environment) + ")";
  app->add_option(names.option, source.value, help + envNote + PasswordVisibleNote)->type_name("HEX8")->check(check);
  app->add_option(names.fileOption, source.file, "read " + names.option + " from the first line of FILE")
      ->type_name("FILE");
}

std::optional<TagPassword> ResolvePassword(Session& session, const PasswordSource& source, const PasswordOption& names) {
  if (!source.value.empty() && !source.file.empty())
    throw UsageError("give " + names.option + " or " + names.fileOption + ", not both");
  std::string text, from;
  if (source.value == "-") {
    text = FromPrompt(session, names);
    from = "the password typed";
  } else if (source.value == "env" || (source.value.empty() && source.file.empty() && names.environmentByDefault)) {
    const auto value = FromEnvironment(names);
    if (!value) {
      if (source.value == "env") throw UsageError(names.option + " env: " + names.environment + " is not set");
      return std::nullopt;
    }
    text = *value;
    from = names.environment;
  } else if (!source.file.empty()) {
    text = FromFile(source, names);
    from = "the first line of " + source.file;
  } else if (!source.value.empty()) {
    text = source.value;
    from = names.option;
  } else {
    return std::nullopt;
  }
  if (const auto password = Parse(Trimmed(text))) return password;
  throw UsageError(names.option + ": " + from + " is not 8 hex digits");
}

TagPassword RequiredPassword(Session& session, const PasswordSource& source, const PasswordOption& names) {
  if (const auto password = ResolvePassword(session, source, names)) return *password;
  throw UsageError("give the password: " + names.option + " HEX8 or - (asked without echo), " + names.fileOption +
                   " FILE, or " + names.environment);
}

PasswordOption ChipPasswordOption() {
  return {"--password", "--password-file", "RIVELO_PASSWORD", true, "The chip's password (8 hex digits)"};
}

PasswordOption NewPasswordOption(const std::string& option, const std::string& fileOption) {
  return {option, fileOption, "RIVELO_NEW_PASSWORD", true, "The new password (8 hex digits)"};
}

PasswordOption ProtectOption() {
  return {"--protect", "--protect-file", "RIVELO_NEW_PASSWORD", false,
          "The password each written tag gets (8 hex digits)"};
}

}  // namespace rivelo::cli
