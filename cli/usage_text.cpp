#include "cli/usage_text.h"

#include <sstream>

namespace rivelo::cli {
namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "--fault KIND[:P]" and "-h, --help" name their options; a value follows a name after a space.
void ReadTerm(UsageOption& option) {
  std::istringstream words(option.term);
  std::string word;
  while (words >> word) {
    if (word.front() != '-') {
      option.takesValue = true;
      break;
    }
    if (word.back() == ',') word.pop_back();
    const auto equals = word.find_first_of("=[");
    option.names.push_back(word.substr(0, equals));
  }
}

}  // namespace

UsageText ParseUsageText(const std::string& text) {
  UsageText usage;
  std::istringstream lines(text);
  std::string line;
  bool inOptions = false;
  const std::string head = "usage: ";
  while (std::getline(lines, line)) {
    if (usage.program.empty() && line.rfind(head, 0) == 0) {
      const std::string rest = Trimmed(line.substr(head.size()));
      const auto space = rest.find(' ');
      usage.program = rest.substr(0, space);
      usage.synopsis = space == std::string::npos ? std::string() : Trimmed(rest.substr(space));
      continue;
    }
    const std::string content = Trimmed(line);
    const std::size_t indent = line.find_first_not_of(' ');
    if (content.empty()) {
      if (!inOptions) usage.description.push_back({});
      continue;
    }
    if (indent == 0) {
      (inOptions ? usage.after : usage.description).push_back(content);
      continue;
    }
    if (content.front() == '-' && indent <= 4) {
      inOptions = true;
      UsageOption option;
      const auto gap = content.find("  ");
      option.term = content.substr(0, gap);
      if (gap != std::string::npos) option.lines.push_back(Trimmed(content.substr(gap)));
      ReadTerm(option);
      usage.options.push_back(option);
      continue;
    }
    if (!usage.options.empty() && usage.after.empty()) {
      usage.options.back().lines.push_back(content);
    } else {
      (inOptions ? usage.after : usage.description).push_back(content);
    }
  }
  return usage;
}

}  // namespace rivelo::cli
