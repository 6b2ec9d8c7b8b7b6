#include "cli/manual_page.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

#include "cli/help_format.h"

namespace rivelo::cli {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Header(const std::string& program, const std::string& version) {
  return ".\\\" Generated from the program's own command definitions.\n.TH " + Upper(RoffLiteral(program)) +
         " 1 \"\" \"rivelo " + RoffText(version) + "\" \"User Commands\"\n";
}

// "rivelo: programs and reads ... port." -> "programs and reads ... port"
std::string Summary(std::string text, const std::string& program) {
  if (text.rfind(program + ": ", 0) == 0) text.erase(0, program.size() + 2);
  if (const auto semicolon = text.find("; "); semicolon != std::string::npos) text.erase(semicolon);
  while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
  if (!text.empty()) text.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
  return text;
}

std::string Synopsis(const std::string& program, const std::string& synopsis) {
  return ".nh\n.ad l\n.B " + RoffLiteral(program) + "\n" + RoffLiteral(synopsis) + "\n.ad\n.hy\n";
}

// The usage line without "usage: PATH ", on one line.
std::string SynopsisOf(const CLI::App* app, const HelpFormatter& help) {
  std::istringstream words(help.Usage(app));
  std::string line;
  for (std::string word; words >> word;) line += (line.empty() ? "" : " ") + word;
  const std::string head = "usage: " + CommandPath(app);
  if (line == head) return {};
  return line.rfind(head + " ", 0) == 0 ? line.substr(head.size() + 1) : line;
}

std::vector<const CLI::Option*> Listed(const CLI::App* app, bool positional, bool withHelp) {
  std::vector<const CLI::Option*> options;
  for (const CLI::Option* opt : app->get_options()) {
    if (opt->get_group().empty() || opt->get_positional() != positional) continue;
    if (!withHelp && opt == app->get_help_ptr()) continue;
    options.push_back(opt);
  }
  return options;
}

std::string OptionEntries(const CLI::App* app, const HelpFormatter& help, bool positional, bool withHelp) {
  std::string out;
  for (const CLI::Option* opt : Listed(app, positional, withHelp)) {
    const std::string opts = help.make_option_opts(opt);
    out += ".TP\n\\fB" + RoffLiteral(help.make_option_name(opt, positional)) + "\\fR";
    if (!opts.empty()) out += "\\fI" + RoffLiteral(opts) + "\\fR";
    out += "\n" + RoffText(opt->get_description()) + "\n";
  }
  return out;
}

void AddCommands(const CLI::App* app, const HelpFormatter& help, std::string& out) {
  for (const CLI::App* sub : app->get_subcommands({})) {
    const std::string path = CommandPath(sub);
    out += ".SS \"" + RoffLiteral(path) + "\"\n" + Synopsis(path, SynopsisOf(sub, help)) + ".PP\n" +
           RoffText(sub->get_description()) + "\n" + OptionEntries(sub, help, true, false) +
           OptionEntries(sub, help, false, false);
    AddCommands(sub, help, out);
  }
}

// "Exit codes: 0 ...; 1 ...": one entry per code.
std::string ExitStatus(const std::string& line) {
  std::string text = line.substr(line.find(':') + 1);
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find("; ", start);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(start, end - start);
    item.erase(0, item.find_first_not_of(' '));
    if (!item.empty() && item.back() == '.') item.pop_back();
    const auto space = item.find(' ');
    if (space == std::string::npos || !std::isdigit(static_cast<unsigned char>(item.front())))
      return ".PP\n" + RoffText(line) + "\n";
    out += ".TP\n.B " + item.substr(0, space) + "\n" + RoffText(item.substr(space + 1)) + "\n";
    start = end + 2;
  }
  return out;
}

}  // namespace

std::string RoffText(const std::string& text) {
  std::string out;
  bool lineStart = true;
  for (char c : text) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\') out += "\\e";
    else out += c;
    lineStart = c == '\n';
  }
  return out;
}

std::string RoffLiteral(const std::string& text) {
  std::string out;
  for (char c : RoffText(text)) {
    if (c == '-') out += "\\-";
    else out += c;
  }
  return out;
}

std::string RiveloManual(const CLI::App& app, const HelpFormatter& help, const std::string& version) {
  const std::string program = app.get_name();
  std::string out = Header(program, version);
  out += ".SH NAME\n" + RoffLiteral(program) + " \\- " + RoffText(Summary(app.get_description(), program)) + "\n";
  out += ".SH SYNOPSIS\n" + Synopsis(program, SynopsisOf(&app, help));
  // "rivelo: programs and reads ..." as a sentence: "rivelo programs and reads ...".
  std::string description = app.get_description();
  if (description.rfind(program + ": ", 0) == 0) description.erase(program.size(), 1);
  out += ".SH DESCRIPTION\n" + RoffText(description) + "\n";
  std::string exitStatus;
  std::istringstream footer(app.get_footer());
  for (std::string line; std::getline(footer, line);) {
    if (line.rfind("Exit codes:", 0) == 0) exitStatus += ExitStatus(line);
    else if (!line.empty()) out += ".PP\n" + RoffText(line) + "\n";
  }
  out += ".SH OPTIONS\n" + OptionEntries(&app, help, false, true);
  out += ".PP\nEvery command takes \\fB\\-h\\fR, \\fB\\-\\-help\\fR, and the options above may also follow it.\n";
  out += ".SH COMMANDS\n";
  AddCommands(&app, help, out);
  if (!exitStatus.empty()) out += ".SH \"EXIT STATUS\"\n" + exitStatus;
#if RIVELO_HAS_SIM
  out += ".SH \"SEE ALSO\"\n.BR rivelo\\-sim (1)\n";
#endif
  return out;
}

std::string UsageManual(const UsageText& usage, const std::string& version, const std::string& seeAlso) {
  std::string out = Header(usage.program, version);
  const std::string summary = usage.description.empty() ? std::string() : usage.description.front();
  out += ".SH NAME\n" + RoffLiteral(usage.program) + " \\- " + RoffText(Summary(summary, usage.program)) + "\n";
  out += ".SH SYNOPSIS\n" + Synopsis(usage.program, usage.synopsis);
  out += ".SH DESCRIPTION\n";
  for (const std::string& line : usage.description) out += line.empty() ? ".PP\n" : RoffText(line) + "\n";
  out += ".SH OPTIONS\n";
  for (const UsageOption& option : usage.options) {
    out += ".TP\n.B " + RoffLiteral(option.term) + "\n";
    bool listFollows = false;
    for (const std::string& line : option.lines) {
      // A list keeps its own line: after a line ending in ':', or from "KIND: a, b, c".
      const auto colon = line.find(": ");
      const bool listHead = colon != std::string::npos && colon > 0 &&
                            std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon),
                                        [](char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; });
      if (listHead && !listFollows && &line != &option.lines.front()) out += ".br\n";
      out += RoffText(line) + "\n";
      listFollows = !line.empty() && line.back() == ':';
      if (listFollows) out += ".br\n";
    }
  }
  if (!usage.after.empty()) out += ".PP\n";
  for (const std::string& line : usage.after) out += RoffText(line) + "\n";
  if (!seeAlso.empty()) out += ".SH \"SEE ALSO\"\n.BR " + RoffLiteral(seeAlso) + " (1)\n";
  return out;
}

}  // namespace rivelo::cli
