// A long unattended run without a window: a 10,000-tag incremental EM4100 run against the
// virtual reader with faults on (corrupt, cut-off and padded replies, a few lost ones, tags
// taken away before their read-back, tags lying on the reader for a few requests after their
// beep). Checks that no identity is missing or doubled, in the list and on the tags, and
// prints the resident memory at the start and the end.
// Usage: soak_batch [TAGS [LOST_REPLY_PROBABILITY]]; exit 1 when a check fails.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <unistd.h>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/headless_view.h"
#include "model/em4100.h"
#include "reader/discovery.h"
#include "sim/final_state.h"
#include "sim/pty_server.h"

using namespace rivelo;

namespace {

// Resident memory in KiB, from /proc/self/statm (its second field, in pages).
long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

std::string Summary(const sim::Counters& c) {
  std::string s;
  for (int k = 1; k < sim::FaultKinds; ++k) {
    const int n = c.faultsByKind[static_cast<std::size_t>(k)];
    if (n > 0) s += (s.empty() ? "" : ", ") + std::string(sim::FaultName(static_cast<sim::Fault>(k))) + " " + std::to_string(n);
  }
  return s.empty() ? "none" : s;
}

}  // namespace

int main(int argc, char** argv) {
  const int tags = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10'000;
  const double lost = argc > 2 ? std::atof(argv[2]) : 0.001;
  sim::VirtualReader reader;
  // Spare blanks for those taken away before their read-back.
  reader.SetFeeder("em4305", std::min(tags + tags / 10 + 10, sim::MaxFeedCount), 0);
  sim::PtyServer server(reader);
  if (!server.Start() || !ConnectDevice({server.Path()}).found) {
    std::fprintf(stderr, "soak_batch: the virtual reader did not answer\n");
    return 1;
  }
  reader.SetSeed(20261207);
  reader.SetFault({sim::Fault::NoAnswer, lost});
  reader.AddFault({sim::Fault::BadChecksum, 0.05});
  reader.AddFault({sim::Fault::Truncated, 0.05});
  reader.AddFault({sim::Fault::TrailingBytes, 0.02});
  reader.AddFault({sim::Fault::LiftAfterWrite, 0.01});
  reader.SetDwell(0, 2);

  HeadlessView view(Em4100Format());
  view.keepLines = false;  // as the command line keeps them: printed, not held
  view.entered = "0100000000";
  Identity next = Em4100Format().fromEntry(view.entered);
  int listed = 0, outOfOrder = 0;
  // The list, checked as it comes: 1, 2, 3... with consecutive identities.
  view.onListed = [&](const ListedTag& t) {
    if (t.number != listed + 1 || t.id != next) ++outOfOrder;
    ++listed;
    Em4100Format().increment(next);
  };
  BatchRunner runner(MakeEm4305IdProfile([] { return RunChoices{}; }), view);
  runner.IncrementalClicked(true);

  const long startKiB = ResidentKiB();
  std::printf("soak: %d tags, incremental EM4100 on EM4305, resident memory at the start %ld KiB\n", tags, startKiB);
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  runner.WritePressed();
  long ticks = 0;
  while (listed < tags && ticks < 40L * tags && view.RunningTimer() != 0) {
    runner.Tick(view.RunningTimer());
    ++ticks;
    if (ticks % 5000 == 0) {
      std::printf("  %d tags listed, %ld ticks, %ld KiB\n", listed, ticks, ResidentKiB());
      std::fflush(stdout);
    }
  }
  runner.WriteReleased();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  reader.ClearFaults();
  DisconnectDevice();
  const long endKiB = ResidentKiB();

  // The tags: every listed identity on exactly one tag that stayed, none on two.
  const sim::ReaderState state = reader.State();
  std::map<Identity, int> onTags;
  int lifted = 0, writtenOver = 0;
  for (const sim::TagState& t : state.tags) {
    if (t.lifted) ++lifted;
    std::set<std::string> carried(t.carried.begin(), t.carried.end());
    carried.erase("");
    if (carried.size() > 1) ++writtenOver;
    if (t.lifted || !t.em4100) continue;
    ++onTags[Identity(t.em4100->begin(), t.em4100->end())];
  }
  Identity id = Em4100Format().fromEntry("0100000000");
  int missing = 0, doubled = 0;
  for (int k = 0; k < listed; ++k) {
    const auto it = onTags.find(id);
    if (it == onTags.end()) ++missing;
    else if (it->second > 1) ++doubled;
    if (it != onTags.end()) onTags.erase(it);
    Em4100Format().increment(id);
  }
  const int unlisted = static_cast<int>(onTags.size());

  std::printf("soak: %d of %d tags listed in %ld ticks (%.2f ticks per tag), %.0f s (%.1f ms per tag)\n", listed, tags,
              ticks, listed ? static_cast<double>(ticks) / listed : 0.0, seconds, listed ? seconds * 1000 / listed : 0.0);
  std::printf("soak: %d faults injected and survived (%s); %d tags taken away before their read-back\n",
              state.counters.faults, Summary(state.counters).c_str(), lifted);
  std::printf("soak: list out of order %d, identities missing from the tags %d, doubled %d, on tags but unlisted %d, "
              "tags written over %d\n",
              outOfOrder, missing, doubled, unlisted, writtenOver);
  std::printf("soak: resident memory %ld KiB at the start, %ld KiB at the end (%+ld KiB; the virtual reader holds %zu "
              "tags)\n",
              startKiB, endKiB, endKiB - startKiB, state.tags.size());
  const bool ok = listed == tags && outOfOrder == 0 && missing == 0 && doubled == 0 && unlisted == 0 && writtenOver == 0;
  std::printf("soak: %s\n", ok ? "every identity on one tag, none missing or doubled" : "FAILED");
  return ok ? 0 : 1;
}
