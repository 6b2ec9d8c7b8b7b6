// rivelo's help texts, laid out for an 80-column terminal: wrapped descriptions, a written
// synopsis in place of CLI11's generic usage line, and option values shown as they are typed.
#pragma once

#include <CLI/CLI.hpp>

#include <cstddef>
#include <map>
#include <string>

namespace rivelo::cli {

constexpr std::size_t HelpWidth = 80;

// text broken at spaces into lines of at most width characters; the text's own line ends
// are kept. Each line after the first starts with indent spaces.
std::string WrapText(const std::string& text, std::size_t width, std::size_t indent = 0);

class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter();

  // The usage line of app (after its command path), e.g. "HEX10 [--lock]".
  void SetSynopsis(const CLI::App* app, std::string synopsis) { synopses_[app] = std::move(synopsis); }
  // "usage: rivelo read em4100 ..." for app, wrapped, without the rest of the help.
  std::string Usage(const CLI::App* app) const;

  std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override;
  std::string make_usage(const CLI::App* app, std::string name) const override;
  std::string make_description(const CLI::App* app) const override;
  std::string make_footer(const CLI::App* app) const override;
  std::string make_subcommand(const CLI::App* sub) const override;
  std::string make_option_name(const CLI::Option* opt, bool positional) const override;
  std::string make_option_opts(const CLI::Option* opt) const override;
  std::string make_option_desc(const CLI::Option* opt) const override;

 private:
  std::map<const CLI::App*, std::string> synopses_;
};

// The command path of app: "rivelo read em4100".
std::string CommandPath(const CLI::App* app);

}  // namespace rivelo::cli
