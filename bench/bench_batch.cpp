// Tags per minute of a 100-tag incremental EM4100 run against the virtual reader (no radio
// delays, blank chips fed at once), beside the ceiling that the page's 300 ms timer sets.
// Ticks are called back to back; the timer-bound figure counts each tick as
// max(period, tick time), as the window's timer would.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "bench/quiet_view.h"
#include "model/em4100.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"

using namespace rivelo;

int main(int argc, char** argv) {
  const int tags = argc > 1 ? std::atoi(argv[1]) : 100;
  sim::VirtualReader reader;
  reader.AddTag("em4305");
  reader.SetFeeder("em4305", tags, 0);
  sim::PtyServer server(reader);
  if (!server.Start() || !ConnectDevice({server.Path()}).found) {
    std::fprintf(stderr, "bench_batch: the virtual reader did not answer\n");
    return 1;
  }
  Em4100Choices choices;
  bench::QuietView view;
  BatchRunner runner(MakeEm4305IdProfile(&choices), view);
  runner.IncrementalClicked(true);
  runner.WritePressed();
  const BatchProfile& profile = runner.Profile();

  using Clock = std::chrono::steady_clock;
  int ticks = 0;
  double timerBoundMs = 0, worstTickMs = 0;
  const auto start = Clock::now();
  while (runner.RunCounter() < tags && ticks < tags * 20) {
    const auto t0 = Clock::now();
    runner.Tick(IncrementalWriteTimer);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    worstTickMs = std::max(worstTickMs, ms);
    timerBoundMs += std::max(ms, static_cast<double>(profile.periodMs));
    ++ticks;
  }
  const double elapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  runner.WriteReleased();
  DisconnectDevice();

  const int done = runner.RunCounter();
  std::printf("incremental run: %d of %d tags verified in %d ticks (%.2f ticks per tag)\n", done, tags, ticks,
              done ? static_cast<double>(ticks) / done : 0.0);
  std::printf("ticks back to back: %.1f ms per tag, %.0f tags/min (slowest tick %.1f ms)\n",
              done ? elapsedMs / done : 0.0, done ? done * 60000.0 / elapsedMs : 0.0, worstTickMs);
  std::printf("with the %d ms timer: %.0f tags/min (ceiling one tag per tick: %.0f tags/min)\n", profile.periodMs,
              done ? done * 60000.0 / timerBoundMs : 0.0, 60000.0 / profile.periodMs);
  return done == tags ? 0 : 1;
}
