#include "sim/pty_server.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "sim/device_frame.h"
#include "sim/virtual_reader.h"

namespace rivelo::sim {
namespace {

using Clock = std::chrono::steady_clock;

// 38400 baud, 8N1: ten bits a byte.
constexpr auto ByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 38400);
// A partial request older than this is dropped: the host has given up on it.
constexpr int StaleRequestMs = 50;
// While no one holds the line, look again this often (never spin).
constexpr int IdlePollMs = 20;

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

struct PtyServer::Impl {
  explicit Impl(VirtualReader& r) : reader(r) {}

  VirtualReader& reader;
  int master = -1;
  // The server keeps the slave open itself, so the master never sees a hang-up when the
  // host closes and reopens the line.
  int keeper = -1;
  int wakeRead = -1;
  int wakeWrite = -1;
  std::string path;
  std::thread thread;
  std::atomic<bool> stopping{false};

  void Run();
  // Waits up to ms; returns 1 on request bytes, 0 on time-out, -1 when asked to stop.
  int Wait(int ms);
  void Serve(const std::vector<std::uint8_t>& frame);
  void Send(const std::vector<std::uint8_t>& bytes, Pacing pacing);
};

int PtyServer::Impl::Wait(int ms) {
  pollfd fds[2] = {{master, POLLIN, 0}, {wakeRead, POLLIN, 0}};
  for (;;) {
    const int r = ::poll(fds, 2, ms);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || (fds[1].revents & POLLIN) || stopping) return -1;
    if (r == 0) return 0;
    if (fds[0].revents & POLLIN) return 1;
    // A hang-up or error on the master: nothing to read; sleep rather than spin.
    pollfd wake{wakeRead, POLLIN, 0};
    if (::poll(&wake, 1, IdlePollMs) != 0) return -1;
    return 0;
  }
}

void PtyServer::Impl::Send(const std::vector<std::uint8_t>& bytes, Pacing pacing) {
  const bool paced = pacing == Pacing::Line;
  if (pacing == Pacing::Burst) {
    const auto lineTime = std::chrono::ceil<std::chrono::milliseconds>(ByteTime * static_cast<long>(bytes.size()));
    if (Wait(static_cast<int>(lineTime.count())) != 0) return;
  }
  const auto start = Clock::now();
  std::size_t sent = 0;
  while (sent < bytes.size() && !stopping) {
    std::size_t due = bytes.size();
    if (paced) {
      const auto elapsed = Clock::now() - start;
      due = std::min(bytes.size(), static_cast<std::size_t>(elapsed / ByteTime));
    }
    if (due > sent) {
      const ssize_t n = ::write(master, bytes.data() + sent, due - sent);
      if (n > 0) {
        sent += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) return;
      pollfd out{master, POLLOUT, 0};
      ::poll(&out, 1, 10);
      continue;
    }
    // Wake about once a millisecond and send what has fallen due: every wake-up is a
    // chance for a busy machine to hold the thread up, so fewer of them keep the line steadier.
    // The last bytes still leave on time, so the reply ends when a real one would.
    const auto end = start + ByteTime * static_cast<long>(bytes.size());
    std::this_thread::sleep_until(std::min(end, std::max(start + ByteTime * static_cast<long>(sent + 1),
                                                         Clock::now() + std::chrono::milliseconds(1))));
  }
}

void PtyServer::Impl::Serve(const std::vector<std::uint8_t>& frame) {
  // On a paced line the request itself takes its time to arrive: the pseudo-terminal hands
  // it over at once, so the device waits until its last byte would have come in.
  if (reader.GetPacing() != Pacing::Off) std::this_thread::sleep_for(ByteTime * static_cast<long>(frame.size()));
  const Reply reply = reader.Respond(frame);
  if (reply.delayMs > 0) {
    // A new request while we wait means the host has moved on: a real reader busy with
    // the radio would answer it next, so the stale answer is dropped.
    if (Wait(reply.delayMs) != 0) return;
  }
  if (!reply.bytes.empty()) Send(reply.bytes, reader.GetPacing());
}

void PtyServer::Impl::Run() {
  RequestAssembler assembler;
  std::uint8_t buf[1024];
  while (!stopping) {
    const int w = Wait(assembler.Pending() ? StaleRequestMs : -1);
    if (w < 0) return;
    if (w == 0) {
      assembler.Reset();
      continue;
    }
    const ssize_t n = ::read(master, buf, sizeof buf);
    if (n <= 0) {
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      pollfd wake{wakeRead, POLLIN, 0};
      if (::poll(&wake, 1, IdlePollMs) != 0) return;
      continue;
    }
    for (const auto& frame : assembler.Push({buf, static_cast<std::size_t>(n)})) {
      if (stopping) return;
      Serve(frame);
    }
  }
}

PtyServer::PtyServer(VirtualReader& reader) : impl_(std::make_unique<Impl>(reader)) {}

PtyServer::~PtyServer() { Stop(); }

bool PtyServer::Start() {
  Impl& s = *impl_;
  if (s.thread.joinable()) return true;
  // Raw and without echo from the start, so that nothing the host writes before it sets
  // the line up is echoed back or altered.
  termios tio{};
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, B38400);
  ::cfsetospeed(&tio, B38400);
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, &tio, nullptr) != 0) return false;
  char name[256];
  int pipeFds[2];
  if (::ptsname_r(master, name, sizeof name) != 0 || ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    ::close(master);
    ::close(slave);
    return false;
  }
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  s.master = master;
  s.keeper = slave;
  s.wakeRead = pipeFds[0];
  s.wakeWrite = pipeFds[1];
  s.path = name;
  s.stopping = false;
  s.thread = std::thread([&s] { s.Run(); });
  return true;
}

void PtyServer::Stop() {
  Impl& s = *impl_;
  if (!s.thread.joinable()) return;
  s.stopping = true;
  const char wake = 1;
  [[maybe_unused]] const auto written = ::write(s.wakeWrite, &wake, 1);
  s.thread.join();
  CloseFd(s.master);
  CloseFd(s.keeper);
  CloseFd(s.wakeRead);
  CloseFd(s.wakeWrite);
}

const std::string& PtyServer::Path() const { return impl_->path; }

}  // namespace rivelo::sim
