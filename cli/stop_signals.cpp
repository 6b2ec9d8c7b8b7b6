#include "cli/stop_signals.h"

#include <atomic>
#include <csignal>
#include <mutex>

namespace rivelo::cli {
namespace {

// Lock-free, so the handler may touch it.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnStopSignal(int signal) { stopSignal.store(signal); }

#ifdef _WIN32
// Ctrl+Break arrives as its own signal on Windows.
constexpr int Signals[] = {SIGINT, SIGTERM, SIGBREAK};
using Previous = void (*)(int);
Previous previous[3];

void Install() {
  for (int i = 0; i < 3; ++i) previous[i] = std::signal(Signals[i], OnStopSignal);
}
void Restore() {
  for (int i = 0; i < 3; ++i) std::signal(Signals[i], previous[i]);
}
#else
// SIGHUP: the terminal of an unattended run was closed (an ssh session lost).
constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[3];

void Install() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // a signal between two exchanges must not fail a port call
  for (int i = 0; i < 3; ++i) sigaction(Signals[i], &action, &previous[i]);
}
void Restore() {
  for (int i = 0; i < 3; ++i) sigaction(Signals[i], &previous[i], nullptr);
}
#endif

}  // namespace

// Several may live at once (a station's runs, each on its thread): the first installs the
// handlers and clears the flag, the last puts the old handlers back.
namespace {
std::mutex nesting;
int alive = 0;
}  // namespace

StopSignals::StopSignals() {
  const std::lock_guard<std::mutex> lock(nesting);
  if (alive++ > 0) return;
  stopSignal.store(0);
  Install();
}

StopSignals::~StopSignals() {
  const std::lock_guard<std::mutex> lock(nesting);
  if (--alive == 0) Restore();
}

bool StopSignals::Requested() const { return stopSignal.load() != 0; }

int StopSignals::Signal() const { return stopSignal.load(); }

}  // namespace rivelo::cli
