// How long one exchange takes when a read ends on silence (5 ms after the last byte) and when
// it ends as soon as the reply frame is whole, against the virtual reader on a line paced at
// 38400 baud; beside the line's own time for the same bytes. Also what the connect scan
// spends on a port that stays silent and on one that cannot be opened.
//
// usage: bench_exchange [ROUNDS]
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/headless_view.h"
#include "reader/commands.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"

namespace {

using namespace rivelo;
using Clock = std::chrono::steady_clock;
constexpr double ByteMs = 10.0 * 1000.0 / 38400.0;

struct Sample {
  double ms;
  double floorMs;
  int exchanges;
};

struct Figures {
  double median, p99, floorMedian, overheadMedian;
  int failures;
  double exchanges;
};

Figures Summarise(std::vector<Sample> s, int failures) {
  auto at = [](std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())))];
  };
  std::vector<double> ms, floors, overhead, exchanges;
  for (const Sample& x : s) {
    ms.push_back(x.ms);
    floors.push_back(x.floorMs);
    // Overhead per exchange: the host's share of each request and reply.
    overhead.push_back((x.ms - x.floorMs) / std::max(x.exchanges, 1));
    exchanges.push_back(x.exchanges);
  }
  return {at(ms, 0.5), at(ms, 0.99), at(floors, 0.5), at(overhead, 0.5), failures, at(exchanges, 0.5)};
}

// Runs op rounds times; each sample is its time and the line time of the bytes it moved.
Figures Measure(int rounds, const std::function<bool()>& op) {
  std::vector<Sample> samples;
  int failures = 0;
  CMyComm& port = PortTable[ReaderPortIndex];
  for (int i = 0; i < rounds; ++i) {
    const std::uint64_t bytes0 = port.BytesMoved();
    const std::uint64_t exchanges0 = port.TransactCount();
    const auto t0 = Clock::now();
    const bool ok = op();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    if (!ok) ++failures;
    samples.push_back({ms, static_cast<double>(port.BytesMoved() - bytes0) * ByteMs,
                       static_cast<int>(port.TransactCount() - exchanges0)});
  }
  return Summarise(samples, failures);
}

void Print(const char* what, const Figures& gap, const Figures& frame) {
  std::printf("%-26s %3.0f %8.2f %8.2f  %8.2f %8.2f  %7.2f  %6.2f %6.2f  %5.2fx  %d/%d\n", what, frame.exchanges,
              gap.median, gap.p99, frame.median, frame.p99, frame.floorMedian, gap.overheadMedian,
              frame.overheadMedian, gap.median / frame.median, gap.failures, frame.failures);
}

double TimeIdentify(const std::string& port, int rounds) {
  double total = 0;
  for (int i = 0; i < rounds; ++i) {
    const auto t0 = Clock::now();
    IdentifyReader(port, ReaderPortIndex);
    total += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    ClosePort(ReaderPortIndex);
  }
  return total / rounds;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
  sim::VirtualReader reader;
  reader.SetPacing(sim::Pacing::Line);
  const int em4100 = reader.AddTag("em4100:0123456789");
  const int t5577 = reader.AddTag("t5577");
  reader.AddTag("em4305");
  sim::PtyServer server(reader);
  if (!server.Start() || !ConnectDevice({server.Path()}).found) {
    std::fprintf(stderr, "bench_exchange: the virtual reader did not answer\n");
    return 1;
  }
  CMyComm& port = PortTable[ReaderPortIndex];

  const auto readEm4100 = [] {
    std::array<std::uint8_t, 5> id{};
    return CmdReadEm4100(id) == SOk;
  };
  const auto writeAndFetch = [] {
    const std::array<std::uint8_t, 4> data{0x12, 0x34, 0x56, 0x78};
    std::array<std::uint8_t, T5577FetchMax> back{};
    int length = 0;
    return CmdT5577WriteBlock(0, 3, 0, data) == ROk && CmdT5577FetchData(back, &length) == SOk && length == 4;
  };
  // One tick of an incremental run that writes a fresh blank: read twice (blank), write,
  // read back, acknowledge; the feeder then lays the next blank on the reader.
  HeadlessView view(Em4100Format());
  view.keepLines = false;
  view.entered = "0123456789";
  BatchRunner runner(MakeEm4305IdProfile([] { return RunChoices{}; }), view);
  const auto tick = [&runner] {
    const int before = runner.RunCounter();
    runner.Tick(IncrementalWriteTimer);
    return runner.RunCounter() == before + 1;
  };

  struct Row {
    const char* name;
    std::function<void()> setup;
    std::function<bool()> op;
    Figures gap{}, frame{};
  };
  std::vector<Row> rows = {
      {"EM4100 read (0x10C)", [&] { reader.PlaceOnReader(em4100); }, readEm4100},
      {"T5577 block write + fetch", [&] { reader.PlaceOnReader(t5577); }, writeAndFetch},
      {"incremental batch tick", [&] {
         reader.SetFeeder("em4305", rounds + 1, 0);
         reader.TakeOffReader();
         reader.AddTag("em4305");
         reader.PlaceOnReader(reader.Tags().back().id);
         runner.IncrementalClicked(true);
         runner.WritePressed();
       }, tick},
  };
  for (Row& row : rows) {
    for (ReplyEnd end : {ReplyEnd::Gap, ReplyEnd::Frame}) {
      port.SetReplyEnd(end);
      row.setup();
      (end == ReplyEnd::Gap ? row.gap : row.frame) = Measure(rounds, row.op);
      if (row.name[0] == 'i') runner.WriteReleased();
    }
  }
  reader.SetFeeder("em4305", 0, 0);

  std::printf("%d rounds each, line paced at 38400 baud (%.3f ms a byte). Times in ms.\n", rounds, ByteMs);
  std::printf("%-26s %3s %8s %8s  %8s %8s  %7s  %13s  %5s  %s\n", "", "", "gap end", "", "frame end", "", "line",
              "overhead/exch", "ratio", "failed");
  std::printf("%-26s %3s %8s %8s  %8s %8s  %7s  %6s %6s  %5s  %s\n", "operation", "exc", "median", "p99", "median",
              "p99", "floor", "gap", "frame", "", "gap/frame");
  for (const Row& row : rows) Print(row.name, row.gap, row.frame);

  // The connect scan: a port that never answers costs the identification budget; one that
  // cannot be opened costs only the failed open.
  DisconnectDevice();
  int master = -1, slave = -1;
  char name[128] = {};
  termios raw{};
  cfmakeraw(&raw);
  if (openpty(&master, &slave, name, &raw, nullptr) == 0) {
    std::printf("connect scan: %.1f ms per silent port (budget %d ms), ", TimeIdentify(name, 5), IdentifyReadLength);
    close(slave);
    close(master);
  }
  std::printf("%.3f ms per port that cannot be opened\n", TimeIdentify("/dev/rivelo-no-such-port", 100));
  return 0;
}
