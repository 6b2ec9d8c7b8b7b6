#include "cli/help_format.h"

#include <sstream>
#include <vector>

namespace rivelo::cli {
namespace {

constexpr std::size_t NameColumn = 24;

// Breaks a usage line only where it does not split an option from its value: between the
// groups in brackets and parentheses, and inside a group after a '|'.
std::string WrapSynopsis(const std::string& text, std::size_t width, std::size_t indent) {
  std::vector<std::string> units;
  std::string unit;
  int depth = 0;
  for (char c : text) {
    if (c == ' ' && (depth == 0 || (!unit.empty() && unit.back() == '|'))) {
      if (!unit.empty()) units.push_back(unit);
      unit.clear();
      continue;
    }
    if (c == '[' || c == '(') ++depth;
    if (c == ']' || c == ')') --depth;
    unit += c;
  }
  if (!unit.empty()) units.push_back(unit);
  std::string out;
  std::size_t column = 0;
  for (const std::string& u : units) {
    if (column > 0 && column + 1 + u.size() > width) {
      out += '\n' + std::string(indent, ' ');
      column = indent;
    } else if (column > 0) {
      out += ' ';
      ++column;
    }
    out += u;
    column += u.size();
  }
  return out;
}

}  // namespace

std::string WrapText(const std::string& text, std::size_t width, std::size_t indent) {
  std::string out;
  std::size_t lineStart = 0;  // in out
  std::istringstream lines(text);
  std::string line;
  bool firstLine = true;
  while (std::getline(lines, line)) {
    if (!firstLine) {
      out += '\n' + std::string(indent, ' ');
      lineStart = out.size() - indent;
    }
    firstLine = false;
    std::istringstream words(line);
    std::string word;
    bool firstWord = true;
    while (words >> word) {
      if (!firstWord && out.size() - lineStart + 1 + word.size() > width) {
        out += '\n' + std::string(indent, ' ');
        lineStart = out.size() - indent;
      } else if (!firstWord) {
        out += ' ';
      }
      out += word;
      firstWord = false;
    }
  }
  return out;
}

std::string CommandPath(const CLI::App* app) {
  std::string path = app->get_name();
  for (const CLI::App* p = app->get_parent(); p != nullptr; p = p->get_parent()) path = p->get_name() + " " + path;
  return path;
}

HelpFormatter::HelpFormatter() {
  column_width(NameColumn);
  label("Positionals", "Arguments");
  label("Subcommands", "Commands");
}

std::string HelpFormatter::Usage(const CLI::App* app) const { return make_usage(app, CommandPath(app)); }

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode mode) const {
  // The usage first: it is what a reader of the help looks for.
  return make_usage(app, CommandPath(app)) + "\n" + make_description(app) + make_positionals(app) +
         make_groups(app, mode) + make_subcommands(app, mode) +
         (app->get_footer().empty() ? "" : "\n" + make_footer(app));
}

std::string HelpFormatter::make_usage(const CLI::App* app, std::string name) const {
  const auto it = synopses_.find(app);
  std::string synopsis = it != synopses_.end() ? it->second : "[OPTIONS]";
  const std::string head = "usage: " + name + " ";
  // Hanging indent under the first argument, unless the command path is too long for it.
  const std::size_t indent = head.size() <= HelpWidth / 2 ? head.size() : 4;
  return WrapSynopsis(head + synopsis, HelpWidth, indent) + "\n";
}

std::string HelpFormatter::make_description(const CLI::App* app) const {
  const std::string& description = app->get_description();
  return description.empty() ? std::string() : WrapText(description, HelpWidth) + "\n";
}

std::string HelpFormatter::make_footer(const CLI::App* app) const {
  const std::string footer = app->get_footer();
  return footer.empty() ? std::string() : WrapText(footer, HelpWidth) + "\n";
}

std::string HelpFormatter::make_subcommand(const CLI::App* sub) const {
  std::stringstream out;
  CLI::detail::format_help(out, sub->get_name(), WrapText(sub->get_description(), HelpWidth - NameColumn), NameColumn);
  return out.str();
}

std::string HelpFormatter::make_option_name(const CLI::Option* opt, bool positional) const {
  // A flag's value when given bare ("--simulate{...}") is no part of its name.
  std::string name = CLI::Formatter::make_option_name(opt, positional);
  const auto brace = name.find('{');
  return brace == std::string::npos ? name : name.substr(0, brace);
}

std::string HelpFormatter::make_option_opts(const CLI::Option* opt) const {
  if (opt->get_positional()) return {};  // the name says what it is
  const std::string& text = opt->get_option_text();
  // An optional value joined by '=' follows the name directly: --simulate[=TAG,...].
  if (!text.empty()) return text.rfind("[=", 0) == 0 ? text : " " + text;
  if (opt->get_type_size() == 0 || opt->get_type_name().empty()) return {};
  return " " + opt->get_type_name();
}

std::string HelpFormatter::make_option_desc(const CLI::Option* opt) const {
  return WrapText(opt->get_description(), HelpWidth - NameColumn);
}

}  // namespace rivelo::cli
