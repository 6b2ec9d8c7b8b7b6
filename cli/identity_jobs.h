// The jobs of the read, write and run commands, for any format of the table: one read, one
// write, and the batch runner's unattended runs driven by a timer loop until they are done,
// end by themselves, or a stop signal comes.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "cli/format_table.h"
#include "batch/identity_gate.h"
#include "cli/session.h"

namespace rivelo::cli {

struct IdentityJob {
  enum class Kind { Read, Write, ReadRun, ContinuousRun, IncrementalRun, FileRun };
  const FormatEntry* format = nullptr;
  Kind kind = Kind::Read;
  Identity id;            // Write, ContinuousRun, IncrementalRun
  std::string file;       // FileRun
  std::string exportDir;  // ReadRun; empty: no export
  std::vector<std::string> feeds;  // the virtual reader's stacks of blank chips for a write run (--feed)
  std::string chip;       // the --chip key of the one chip to write; empty: each in turn
  std::string log;        // Write and runs: the run log's file; empty: none
  std::size_t form = 0;   // Read and ReadRun: the form of the lines and the export
  bool formAsked = false;  // Read: --form was given, so no report
  int count = 0;          // runs: stop after this many listed tags; 0: no limit
  int fromLine = 0;       // FileRun: the file's own line number to start at; 0: its first line
  bool lock = false;
  int maxRefused = 0;     // runs: end (exit 1) after this many refused tags; 0: no limit
  int periodMs = 0;       // runs: the tick period; 0: the page's
  bool unique = false;    // ReadRun: each identity once
  bool yes = false;       // --lock was consented to beforehand
  // Write and runs: the password the tags carry, and the one each written tag is given.
  std::optional<TagPassword> password, protect;
  std::string registry;   // Write and write runs: the registry of issued identities; empty: none
  bool strictRegistry = false;  // a file or incremental run stops at an identity taken elsewhere
  int leaseSeconds = 0;   // how long a reservation holds unrenewed; 0: the registry's default
  std::shared_ptr<IdentityGate> gate;  // runs: the gate to use instead of opening registry
};

// Where the run loop's time comes from and how it waits for the next tick. Tests set one whose
// wait only moves its time on, so a run takes no longer than its exchanges.
using Clock = std::chrono::steady_clock;
struct RunLoopClock {
  std::function<Clock::time_point()> now;
  std::function<void(Clock::duration)> sleep;
};
void SetRunLoopClock(RunLoopClock clock);

// The exit code of the job; what went wrong is said on standard error.
int RunIdentityJob(Session& session, const IdentityJob& job);

}  // namespace rivelo::cli
