// termios and poll() serial port for Linux and macOS.
#include "reader/serial_os.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace rivelo {
namespace {

using Clock = std::chrono::steady_clock;

speed_t BaudConstant(std::uint32_t baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

int MsUntil(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

OpenFailure OpenFailureOf(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:   // a device node whose device is gone (an unplugged adapter)
    case ENODEV: return OpenFailure::NoSuchPort;
    case EBUSY: return OpenFailure::Busy;  // TIOCEXCL held by another program
    case EACCES:
    case EPERM:
    case EROFS: return OpenFailure::PermissionDenied;
    case EISDIR:
    case ENOTTY: return OpenFailure::NotAPort;
    default: return OpenFailure::Other;
  }
}

}  // namespace

struct OsSerial::SavedSettings {
  termios tio;
};

std::string SystemErrorText(int code) { return std::strerror(code); }

bool IsPortGoneResult(int result) {
  // EIO: the terminal hung up (a USB adapter unplugged, the far end of a pseudo-terminal
  // closed); ENXIO and ENODEV: the device node lost its device; EBADF: no handle at all.
  return result == EIO || result == ENXIO || result == ENODEV || result == EBADF;
}

OsSerial::OsSerial() = default;
OsSerial::~OsSerial() { Close(); }

bool OsSerial::Fail(OpenFailure failure, int code) {
  openFailure_ = failure;
  openError_ = code;
  return false;
}

bool OsSerial::Open(const std::string& name, std::uint32_t baud) {
  openFailure_ = OpenFailure::None;
  openError_ = 0;
  const speed_t speed = BaudConstant(baud);
  if (speed == B0) return Fail(OpenFailure::Other, EINVAL);
  if (name.empty()) return Fail(OpenFailure::NoSuchPort, ENOENT);
  const std::string path = name.front() == '/' ? name : "/dev/" + name;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(OpenFailureOf(errno), errno);
  // Closes the descriptor, keeping the errno of the step that failed.
  const auto refuse = [fd](int code) {
    ::close(fd);
    return code;
  };
  // The reader must not be shared: refuse a port that another program holds, and keep
  // others out while we hold it.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int code = refuse(errno);
    return Fail(code == EWOULDBLOCK ? OpenFailure::Busy : OpenFailureOf(code), code);
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int code = refuse(errno);
    return Fail(OpenFailureOf(code), code);
  }
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) {
    const int code = refuse(errno);
    return Fail(OpenFailureOf(code), code);
  }
  auto saved = std::make_unique<SavedSettings>(SavedSettings{tio});
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, speed);
  ::cfsetospeed(&tio, speed);
  ::tcsetattr(fd, TCSANOW, &tio);  // as with the driver's own settings, a refusal is not fatal
  ::tcflush(fd, TCIOFLUSH);
  saved_ = std::move(saved);
  handle_ = fd;
  return true;
}

int OsSerial::Close() {
  if (handle_ < 0) return 1;
  const int fd = Fd(handle_);
  // Now, not after draining: a device that went away would never drain.
  if (saved_) ::tcsetattr(fd, TCSANOW, &saved_->tio);
  saved_.reset();
  ::ioctl(fd, TIOCNXCL);
  if (::close(fd) != 0 && errno != EINTR) return 0;
  handle_ = -1;
  return 1;
}

bool OsSerial::IsOpen() const { return handle_ >= 0; }

void OsSerial::Purge() {
  if (handle_ >= 0) ::tcflush(Fd(handle_), TCIOFLUSH);
}

void OsSerial::ClearErrors() {}

int OsSerial::Write(std::span<const std::uint8_t> bytes, int timeoutMs) {
  if (handle_ < 0) return SystemErrorResult(EBADF);
  const int fd = Fd(handle_);
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return SystemErrorResult(errno);
    pollfd p{fd, POLLOUT, 0};
    const int wait = MsUntil(deadline);
    if (wait == 0) return SystemErrorResult(ETIMEDOUT);
    if (::poll(&p, 1, wait) < 0 && errno != EINTR) return SystemErrorResult(errno);
    if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return SystemErrorResult(EIO);
  }
  return 1;
}

int OsSerial::Read(std::span<std::uint8_t> buf, const ReadBudget& budget,
                   const ReplyComplete& complete, int* received) {
  *received = 0;
  if (handle_ < 0) return SystemErrorResult(EBADF);
  const int fd = Fd(handle_);
  const std::size_t want = std::min(buf.size(), static_cast<std::size_t>(std::max(budget.maxBytes, 0)));
  const auto deadline = Clock::now() + std::chrono::milliseconds(budget.totalMs);
  std::size_t got = 0;
  while (got < want) {
    // Before the first byte only the total budget counts; after it, also the gap.
    int wait = MsUntil(deadline);
    if (got > 0) wait = std::min(wait, budget.gapMs);
    if (wait == 0) break;
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, wait);
    if (r < 0) {
      if (errno == EINTR) continue;
      *received = static_cast<int>(got);
      return SystemErrorResult(errno);
    }
    if (r == 0) {
      if (got > 0 || MsUntil(deadline) == 0) break;
      continue;
    }
    if (p.revents & POLLIN) {
      const ssize_t n = ::read(fd, buf.data() + got, want - got);
      if (n > 0) {
        got += static_cast<std::size_t>(n);
        if (complete && complete(buf.first(got))) {
          // Whole reply: take what already waits behind it, but wait for nothing more.
          ssize_t more = 0;
          while (got < want && (more = ::read(fd, buf.data() + got, want - got)) > 0)
            got += static_cast<std::size_t>(more);
          break;
        }
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    }
    // Hang-up (the other end of the line went away) or an error: the burst is over.
    *received = static_cast<int>(got);
    return SystemErrorResult(EIO);
  }
  *received = static_cast<int>(got);
  return 1;
}

}  // namespace rivelo
