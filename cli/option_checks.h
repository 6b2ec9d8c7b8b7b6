// The checks of rivelo's option values, with the one-line reasons a usage error gives.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace rivelo::cli {

constexpr int MaxCount = 1000000;

// Any text but the empty one.
CLI::Validator NonEmpty();
// A whole number from 1 to MaxCount.
CLI::Validator CountCheck();
// Why the virtual reader's feeder would refuse a chip kind ("t5577" or "em4305", with the
// options the virtual reader takes), or empty.
std::string FeedKindError(const std::string& kind);

// A --feed value: the chip kind with its options, then the number of chips when the part after
// the last colon is one ("t5577:pwd=11223344:1"); count -1 when none is given.
struct FeedValue {
  std::string kind;
  int count = -1;
};
FeedValue SplitFeed(const std::string& value);
// The reason a --feed value is refused (its kind, or its count beyond 1 to MaxCount), or empty.
std::string FeedValueError(const std::string& value);

}  // namespace rivelo::cli
