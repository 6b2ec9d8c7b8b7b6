#include "cli/option_checks.h"

#include "cli/connection_options.h"

namespace rivelo::cli {

CLI::Validator NonEmpty() {
  return CLI::Validator(
      [](std::string& value) { return value.empty() ? std::string("the value is empty") : std::string(); }, "");
}

CLI::Validator CountCheck() {
  return CLI::Validator(
      [](std::string& value) -> std::string {
        const std::string why = "'" + value + "' is not a count from 1 to " + std::to_string(MaxCount);
        if (value.empty() || value.size() > 7 || value.find_first_not_of("0123456789") != std::string::npos) return why;
        const long n = std::stol(value);
        return n < 1 || n > MaxCount ? why : std::string();
      },
      "");
}

std::string FeedKindError(const std::string& kind) {
  const bool writable =
      kind == "t5577" || kind == "em4305" || kind.rfind("t5577:", 0) == 0 || kind.rfind("em4305:", 0) == 0;
  if (!writable) return "'" + kind + "' is no blank chip kind: t5577 or em4305, with options as in --simulate";
  const std::string error = SimulatedTagError(kind);
  return error.empty() ? std::string() : error;
}

FeedValue SplitFeed(const std::string& value) {
  const auto colon = value.rfind(':');
  if (colon == std::string::npos || colon + 1 == value.size()) return {value, -1};
  const std::string last = value.substr(colon + 1);
  if (last.find_first_not_of("0123456789") != std::string::npos) return {value, -1};
  const bool small = last.size() <= 7;
  return {value.substr(0, colon), small ? std::stoi(last) : MaxCount + 1};
}

std::string FeedValueError(const std::string& value) {
  const FeedValue feed = SplitFeed(value);
  if (feed.count == 0 || feed.count > MaxCount)
    return "'" + value + "': the number of chips is from 1 to " + std::to_string(MaxCount);
  return FeedKindError(feed.kind);
}

}  // namespace rivelo::cli
