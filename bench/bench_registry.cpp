// The time a registry adds per tag: one Reserve and one Issue, as a run makes them before and
// after each write, in a fresh SQLite file and, where RIVELO_TEST_PG (or the second argument)
// names a PostgreSQL database, there, under a format of its own (a scratch database: the rows
// stay; scripts/with-test-postgres bench_registry starts a throwaway one).
// Usage: bench_registry [TAGS [POSTGRESQL_URI]]. An Issue waits for the disk, as it must; a
// Reserve does not. The time of one sync of the disk is printed beside, as the floor.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/registry.h"

using namespace rivelo;

namespace {

bool Measure(const char* engine, IdentityRegistry& registry, int tags, const std::string& format) {
  using Clock = std::chrono::steady_clock;
  const RegistryStation station{"bench", "/dev/ttyUSB0"};
  const std::string run = "bench-" + std::to_string(getpid());
  std::vector<double> reserve, issue;
  for (int i = 1; i <= tags; ++i) {
    char id[11];
    std::snprintf(id, sizeof id, "%010X", i);
    const auto t0 = Clock::now();
    const RegistryAnswer r = registry.Reserve(format, id, station, run, DefaultRegistryLease);
    const auto t1 = Clock::now();
    const RegistryAnswer d = registry.Issue(format, id, station, run, "EM4305", 0, "");
    const auto t2 = Clock::now();
    if (!r.ok() || !d.ok()) {
      std::fprintf(stderr, "bench_registry: %s: %s%s\n", engine, r.why.c_str(), d.why.c_str());
      return false;
    }
    reserve.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    issue.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
  }
  std::vector<double> both(reserve.size());
  for (std::size_t i = 0; i < both.size(); ++i) both[i] = reserve[i] + issue[i];
  auto mean = [](const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return sum / static_cast<double>(v.size());
  };
  auto quantile = [](std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
  };
  std::printf("%-10s %5d tags: %.3f ms per tag (reserve %.3f, issue %.3f), median %.3f, 99th percentile %.3f\n",
              engine, tags, mean(both), mean(reserve), mean(issue), quantile(both, 0.5), quantile(both, 0.99));
  return true;
}

// The floor under a durable Issue: one write and sync of a file in the same folder.
double SyncMs(const std::string& dir) {
  const std::string path = dir + "/sync.bin";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0) return 0;
  std::vector<double> times;
  const char block[4096] = {};
  for (int i = 0; i < 100; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    if (write(fd, block, sizeof block) != static_cast<ssize_t>(sizeof block) || fdatasync(fd) != 0) break;
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  close(fd);
  unlink(path.c_str());
  if (times.empty()) return 0;
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int tags = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  std::string dir = (std::filesystem::temp_directory_path() / "bench_registry.XXXXXX").string();
  if (!mkdtemp(dir.data())) return 1;
  std::string why;
  bool ok = true;
  if (auto sqlite = OpenRegistry(dir + "/ids.sqlite", &why))
    ok = Measure("SQLite", *sqlite, tags, "em4100");
  else
    ok = false, std::fprintf(stderr, "bench_registry: %s\n", why.c_str());
  std::printf("(one 4 KiB write and fdatasync in the same folder: median %.3f ms)\n", SyncMs(dir));
  std::filesystem::remove_all(dir);

  const char* uri = argc > 2 ? argv[2] : std::getenv("RIVELO_TEST_PG");
  if (!uri || !*uri) {
    std::printf("PostgreSQL: no database given (RIVELO_TEST_PG or the second argument)\n");
    return ok ? 0 : 1;
  }
  auto postgres = OpenRegistry(uri, &why);
  if (!postgres) {
    std::fprintf(stderr, "bench_registry: %s\n", why.c_str());
    return 1;
  }
  // A format of its own, so that identities of earlier runs do not answer "taken".
  const std::string format = "bench-" + std::to_string(getpid()) + "-" + std::to_string(std::time(nullptr));
  return Measure("PostgreSQL", *postgres, tags, format) && ok ? 0 : 1;
}
