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

}  // namespace rivelo::cli
