// Tags per minute of a 100-tag incremental EM4100 run against the virtual reader (no radio
// delays, blank chips fed at once), beside the ceiling that the page's 300 ms timer sets;
// then ticks per tag of a 1,000-tag run when 20 % of the replies are lost or corrupt.
// Last, tags per minute with the reader's radio times at the page's period and at the lowest that
// rivelo run --period takes, fault-free and under 20 % lost replies.
// Usage: bench_batch [TAGS [FAULT_TAGS [PERIOD_TAGS]]]. A lost reply costs the host its whole wait (up to a
// second), so the lost-reply run takes minutes.
// Ticks are called back to back; the timer-bound figure counts each tick as
// max(period, tick time), as the window's timer would.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/headless_view.h"
#include "model/em4100.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
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
  return ok ? 0 : 1;
}
