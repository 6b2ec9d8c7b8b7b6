#include "cli/connection_options.h"

#include <CLI/CLI.hpp>

#if RIVELO_HAS_SIM
#include "sim/tag.h"
#include "sim/tag_kinds.h"
#endif

namespace rivelo {
namespace {

// What a bare --simulate leaves in the flag's value; no tag list can be this.
constexpr const char* BareSimulate = "\x01";

}  // namespace

std::vector<std::string> DefaultSimulatedTags() { return {"em4100:0123456789", "t5577", "em4305"}; }

std::vector<std::string> SplitTagList(const std::string& list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = list.find(',', start);
    const std::size_t end = comma == std::string::npos ? list.size() : comma;
    if (end > start) parts.push_back(list.substr(start, end - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return parts;
}

std::string SimulatedTagError(const std::string& tag) {
#if RIVELO_HAS_SIM
  std::string error;
  if (sim::MakeTag(tag, 0, &error)) return {};
  return "bad tag '" + tag + "': " + error;
#else
  (void)tag;
  return "this build has no virtual reader";
#endif
}

std::string SimulatedTagKinds(std::size_t indent, std::size_t width) {
#if RIVELO_HAS_SIM
  return sim::TagKindSyntax(indent, width);
#else
  (void)indent;
  (void)width;
  return {};
#endif
}

void AddConnectionOptions(CLI::App& app, ConnectionOptions& options, const std::string& portHelp) {
  app.add_option("--port", options.ports, portHelp)
      ->type_name("PATH")
      ->allow_extra_args(false)
      ->check(CLI::Validator(
          [](std::string& path) { return path.empty() ? std::string("the path is empty") : std::string(); }, ""));
  const std::string simulateHelp =
      "serve a virtual reader on a pseudo-terminal and scan it first; bare: an EM4100 tag 0123456789 on it, a "
      "blank T5577 and a blank EM4305 beside it; TAG: " +
      SimulatedTagKinds() + " (the first lies on it)";
  app.add_flag(std::string("--simulate{") + BareSimulate + "}", simulateHelp)
      ->option_text("[=TAG,...]")
      ->multi_option_policy(CLI::MultiOptionPolicy::Throw)
      ->check(CLI::Validator(
          [](std::string& value) -> std::string {
            const std::vector<std::string> tags = value == BareSimulate ? DefaultSimulatedTags() : SplitTagList(value);
            if (tags.empty()) return "no tag in the list";
            for (const std::string& tag : tags) {
              std::string error = SimulatedTagError(tag);
              if (!error.empty()) return error;
            }
            return {};
          },
          ""))
      ->each([&options](const std::string& value) {
        options.simulate = true;
        options.simulatedTags = value == BareSimulate ? DefaultSimulatedTags() : SplitTagList(value);
      });
}

std::string EmptyValueError(const std::vector<std::string>& arguments) {
  for (const std::string& a : arguments) {
    if (a == "--") break;
    if (a.size() > 3 && a.rfind("--", 0) == 0 && a.back() == '=' && a.find('=') == a.size() - 1)
      return a.substr(0, a.size() - 1) + ": the value is empty";
  }
  return {};
}

ConnectionParse ParseConnectionArguments(const std::vector<std::string>& arguments, const std::string& portHelp) {
  ConnectionParse result;
  result.error = EmptyValueError(arguments);
  if (!result.error.empty()) return result;
  CLI::App app;
  app.set_help_flag();  // the programs have no --help of their own
  AddConnectionOptions(app, result.options, portHelp);
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    result.options = {};
    result.error = e.what();
  }
  return result;
}

}  // namespace rivelo
