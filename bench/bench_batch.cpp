// Tags per minute of a 100-tag incremental EM4100 run against the virtual reader (no radio
// delays, blank chips fed at once), beside the ceiling that the page's 300 ms timer sets;
// then ticks per tag of a 1,000-tag run when 20 % of the replies are lost or corrupt; then
// tags per minute with the reader's radio times at the page's period and at the lowest that
// rivelo run --period takes, fault-free and under 20 % lost replies; last, the chip-serial
// guard's cost per tick and what it prevents when identity reads misread.
// Usage: bench_batch [TAGS [FAULT_TAGS [PERIOD_TAGS]]]. A lost reply costs the host its whole wait (up to a
// second), so the lost-reply run takes minutes.
// Ticks are called back to back; the timer-bound figure counts each tick as
// max(period, tick time), as the window's timer would.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/headless_view.h"
#include "model/em4100.h"
#include "reader/commands.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "sim/final_state.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"

using namespace rivelo;

namespace {

struct Figures {
  int done = 0, ticks = 0;
  double elapsedMs = 0, timerBoundMs = 0, worstTickMs = 0;
  int periodMs = 0;
  bool tagsHoldTheirIds = true;
  std::vector<double> tickMs;
};

// The lowest period of rivelo run --period.
constexpr int LowestPeriodMs = 50;

// Tags per minute of the ticks as rivelo's run loop spaces them: a tick waits for its time, and
// one that overran the period puts the next a whole period after its end.
double TagsPerMinuteAt(const Figures& f, int periodMs) {
  double now = 0, next = periodMs;
  for (const double ms : f.tickMs) {
    now = std::max(now, next) + ms;
    next = std::max(next, now) + periodMs;
  }
  return f.done && now > 0 ? f.done * 60000.0 / now : 0.0;
}

Figures Run(int tags, const sim::FaultRule& fault, bool radioTiming = false) {
  sim::VirtualReader reader;
  reader.SetFeeder("em4305", tags, 0);
  sim::PtyServer server(reader);
  Figures f;
  if (!server.Start() || !ConnectDevice({server.Path()}).found) {
    std::fprintf(stderr, "bench_batch: the virtual reader did not answer\n");
    std::exit(1);
  }
  reader.SetSeed(7);
  reader.SetFault(fault);
  reader.SetRadioTiming(radioTiming);
  HeadlessView view(Em4100Format());
  view.keepLines = false;
  view.entered = "0123456789";
  BatchRunner runner(MakeEm4305IdProfile([] { return RunChoices{}; }), view);
  runner.IncrementalClicked(true);
  runner.WritePressed();
  f.periodMs = runner.Profile().periodMs;

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  while (runner.RunCounter() < tags && f.ticks < tags * 20) {
    const auto t0 = Clock::now();
    runner.Tick(IncrementalWriteTimer);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    f.worstTickMs = std::max(f.worstTickMs, ms);
    f.tickMs.push_back(ms);
    f.timerBoundMs += std::max(ms, static_cast<double>(f.periodMs));
    ++f.ticks;
  }
  f.elapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  runner.WriteReleased();
  DisconnectDevice();
  f.done = runner.RunCounter();
  // A listed tag is a promise: the fed chips must hold 0123456789, 012345678A, ... in order.
  reader.ClearFaults();
  Em4100Id want{0x01, 0x23, 0x45, 0x67, 0x89};
  int written = 0;
  for (const auto& t : reader.Tags()) {
    if (!t.fed || t.identity.empty()) continue;
    if (t.identity != "EM4100 " + FormatHex(want)) f.tagsHoldTheirIds = false;
    IncrementId(want);
    ++written;
  }
  if (written != f.done) f.tagsHoldTheirIds = false;
  return f;
}

// A run of tags that stay on the reader for 3 reads after their beep while the reader misreads
// a share of the identity reads as "no identity", with the chip-serial guard on or off.
struct GuardFigures {
  int done = 0, ticks = 0;
  double msPerTick = 0;
  int writtenTwice = 0;    // fed tags written more than once
  int writtenOver = 0;     // fed tags that carried two identities
  int listedOnNoTag = 0;   // listed identities that no tag holds
};

// dwellReads 0 and paced: every tick writes a tag, at the line's speed and the radio's times.
GuardFigures GuardRun(int tags, double misreads, bool guard, const char* kind, int dwellReads = 3) {
  sim::VirtualReader reader;
  reader.SetFeeder(kind, tags + 1, 0);
  reader.SetDwell(0, dwellReads);
  if (dwellReads == 0) {
    reader.SetPacing(sim::Pacing::Burst);
    reader.SetRadioTiming(true);
  }
  sim::PtyServer server(reader);
  if (!server.Start() || !ConnectDevice({server.Path()}).found) {
    std::fprintf(stderr, "bench_batch: the virtual reader did not answer\n");
    std::exit(1);
  }
  reader.SetSeed(11);
  if (misreads > 0) reader.SetCommandFault(CodeReadEm4100, {sim::Fault::Misread, misreads});
  HeadlessView view(Em4100Format());
  view.entered = "0123456789";
  BatchProfile profile = MakeEm4305IdProfile([] { return RunChoices{}; });
  // T5577s as the T5577 tab's EM4100 page writes them: no EM4305 write tried first.
  if (std::string(kind) == "t5577") profile.ops.writes = {T5577Em4100Write()};
  BatchRunner runner(std::move(profile), view);
  runner.GuardChipSerials(guard);
  runner.IncrementalClicked(true);
  runner.WritePressed();
  GuardFigures f;
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  while (runner.RunCounter() < tags && f.ticks < tags * 20) {
    runner.Tick(IncrementalWriteTimer);
    ++f.ticks;
  }
  f.msPerTick = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / f.ticks;
  runner.WriteReleased();
  DisconnectDevice();
  f.done = runner.RunCounter();
  const sim::ReaderState state = reader.State();
  std::map<std::string, int> held;
  for (const auto& t : state.tags) {
    if (!t.fed) continue;
    if (t.writes > 1) ++f.writtenTwice;
    std::set<std::string> carried(t.carried.begin(), t.carried.end());
    carried.erase("");
    if (carried.size() > 1) ++f.writtenOver;
    if (!t.identity.empty()) ++held[t.identity];
  }
  for (const ListedTag& l : view.listed)
    if (held["EM4100 " + Em4100Format().text(l.id, 0)] == 0) ++f.listedOnNoTag;
  return f;
}

// What the guard costs each tick on a fault-free run, and what it prevents under misreads.
void PrintGuardFigures(int tags) {
  std::printf("\nchip-serial guard, %d-tag incremental runs (EM4305s on the EM4305 page, T5577s on the T5577 one)\n",
              tags);
  for (const char* kind : {"em4305", "t5577"}) {
    // Its cost: fault-free, every tick a write, the replies at 38400 baud after their radio time.
    const GuardFigures on = GuardRun(tags, 0, true, kind, 0), off = GuardRun(tags, 0, false, kind, 0);
    std::printf("  %-6s fault-free, paced: %.2f ticks per tag; %.1f ms per write tick with the guard, %.1f without: "
                "the guard costs %.1f ms\n",
                kind, on.done ? static_cast<double>(on.ticks) / on.done : 0.0, on.msPerTick, off.msPerTick,
                on.msPerTick - off.msPerTick);
    const GuardFigures resting = GuardRun(tags, 0, true, kind);
    std::printf("  %-6s fault-free, resting 3 reads after the beep: %.2f ticks per tag\n", kind,
                resting.done ? static_cast<double>(resting.ticks) / resting.done : 0.0);
    for (const int percent : {20, 40}) {
      for (const bool guard : {true, false}) {
        const GuardFigures g = GuardRun(tags, percent / 100.0, guard, kind);
        std::printf("  %-6s %d %% misreads, resting 3 reads, guard %-3s: %d tags in %d ticks, %.2f ticks per tag; tags written twice "
                    "%d, written over %d; listed identities on no tag %d\n",
                    kind, percent, guard ? "on" : "off", g.done, g.ticks,
                    g.done ? static_cast<double>(g.ticks) / g.done : 0.0, g.writtenTwice, g.writtenOver,
                    g.listedOnNoTag);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int tags = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  const int faultTags = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
  const int periodTags = argc > 3 ? std::max(1, std::atoi(argv[3])) : 50;
  const Figures f = Run(tags, {});
  std::printf("incremental run: %d of %d tags verified in %d ticks (%.2f ticks per tag)\n", f.done, tags, f.ticks,
              f.done ? static_cast<double>(f.ticks) / f.done : 0.0);
  std::printf("ticks back to back: %.1f ms per tag, %.0f tags/min (slowest tick %.1f ms)\n",
              f.done ? f.elapsedMs / f.done : 0.0, f.done ? f.done * 60000.0 / f.elapsedMs : 0.0, f.worstTickMs);
  std::printf("with the %d ms timer: %.0f tags/min (ceiling one tag per tick: %.0f tags/min)\n", f.periodMs,
              f.done ? f.done * 60000.0 / f.timerBoundMs : 0.0, 60000.0 / f.periodMs);
  bool ok = f.done == tags && f.tagsHoldTheirIds;

  const struct {
    const char* name;
    sim::FaultRule rule;
  } faulty[] = {{"20 % lost replies", {sim::Fault::NoAnswer, 0.2}},
                {"20 % corrupt replies", {sim::Fault::BadChecksum, 0.2}}};
  std::printf("\nticks per tag under faults (fault-free: %.2f)\n", f.done ? static_cast<double>(f.ticks) / f.done : 0.0);
  for (const auto& row : faulty) {
    const Figures g = Run(faultTags, row.rule);
    std::printf("  %-22s %d of %d tags in %d ticks: %.2f ticks per tag, %.1f ms per tag back to back; tags %s\n",
                row.name, g.done, faultTags, g.ticks, g.done ? static_cast<double>(g.ticks) / g.done : 0.0,
                g.done ? g.elapsedMs / g.done : 0.0, g.tagsHoldTheirIds ? "hold their identities" : "DO NOT MATCH");
    ok = ok && g.done == faultTags && g.tagsHoldTheirIds;
  }

  std::printf("\ntags/min with the reader's radio times, %d tags, at the page's %d ms and the lowest %d ms\n",
              periodTags, f.periodMs, LowestPeriodMs);
  const struct {
    const char* name;
    sim::FaultRule rule;
  } periodRuns[] = {{"fault-free", {}}, {"20 % lost replies", {sim::Fault::NoAnswer, 0.2}}};
  for (const auto& row : periodRuns) {
    const Figures g = Run(periodTags, row.rule, true);
    std::vector<double> t = g.tickMs;
    std::sort(t.begin(), t.end());
    std::printf("  %-22s %5.0f at %d ms, %5.0f at %d ms (ticks: shortest %.0f ms, median %.0f ms); tags %s\n", row.name,
                TagsPerMinuteAt(g, f.periodMs), f.periodMs, TagsPerMinuteAt(g, LowestPeriodMs), LowestPeriodMs,
                t.empty() ? 0.0 : t.front(), t.empty() ? 0.0 : t[t.size() / 2],
                g.tagsHoldTheirIds ? "hold their identities" : "DO NOT MATCH");
    ok = ok && g.done == periodTags && g.tagsHoldTheirIds;
  }

  PrintGuardFigures(tags);
  return ok ? 0 : 1;
}
