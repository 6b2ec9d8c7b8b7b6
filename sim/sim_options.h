// The rivelo-sim command line: which tags, feeder, journal and knobs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/virtual_reader.h"

namespace rivelo::sim {

struct SimOptions {
  std::vector<std::string> tags;
  std::vector<FeedStack> feeds;  // in order; --feed is repeatable
  int feedDelayMs = 0;
  int dwellMs = 0;
  int dwellReads = 0;
  std::string journal;  // "" none, "-" stderr
  std::string stateFile;  // where the final state goes; "" stderr, "-" stdout
  Pacing pacing = Pacing::Burst;
  bool radioTiming = false;
  bool strictReadMode = false;
  std::vector<FaultRule> faults;  // for all commands, together
  std::vector<std::pair<std::uint16_t, FaultRule>> commandFaults;
  std::optional<int> lateMs;
  std::optional<std::uint64_t> seed;
  bool help = false;
};

// Its tag kinds come from the kind table (sim/tag_kinds.h).
extern const std::string SimUsage;

// false with *error set on a bad argument, a number out of its range among them.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* out, std::string* error);
// Creates the tags and sets the knobs; false with *error set (bad tag, journal file).
bool ApplySimOptions(const SimOptions& options, VirtualReader& reader, std::string* error);

}  // namespace rivelo::sim
