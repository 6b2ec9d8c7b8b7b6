// The operating system's serial port, reduced to what one reader exchange needs.
// One implementation per OS (serial_os_posix.cpp, serial_os_win32.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace rivelo {

// Tells a read that the bytes received so far already form a whole reply, so it need
// not wait for the line to fall silent. Empty: wait for the gap or the budget.
using ReplyComplete = std::function<bool(std::span<const std::uint8_t>)>;

// Why a port did not open.
enum class OpenFailure {
  None,
  NoSuchPort,        // no such path or device (or the device went away)
  Busy,              // another program holds it
  PermissionDenied,  // the user may not open it
  NotAPort,          // it opened, or exists, but is no serial port (a directory, a plain file)
  Other,             // any other system error; the code says which
};

struct ReadBudget {
  int totalMs = 1024;   // whole read, from the call
  int gapMs = 5;        // silence after the first byte that ends the burst
  int maxBytes = 1024;  // stop once this many bytes arrived
};

class OsSerial {
 public:
  OsSerial();
  ~OsSerial();
  OsSerial(const OsSerial&) = delete;
  OsSerial& operator=(const OsSerial&) = delete;

  // Opens the named port exclusively, 8N1 at baud, raw, with 1024-byte queues where the
  // OS lets us choose. Returns false (and stays closed) on any failure; the failure and the
  // system's error code (errno, GetLastError) are kept until the next Open. The settings
  // it found are put back by Close, so a port tried by mistake (a terminal) is left as it was.
  bool Open(const std::string& name, std::uint32_t baud);
  OpenFailure LastOpenFailure() const { return openFailure_; }
  int LastOpenError() const { return openError_; }
  // Returns non-zero on success, like the system close call.
  int Close();
  bool IsOpen() const;

  // Empties both queues (pending input and unsent output).
  void Purge();
  // Clears a pending line error state, where the OS keeps one.
  void ClearErrors();

  // Writes all bytes within timeoutMs. Returns 1 or a system error code (never 1).
  int Write(std::span<const std::uint8_t> bytes, int timeoutMs);
  // Reads one burst into buf; *received is set also when the read fails.
  // Returns 1 or a system error code (never 1).
  int Read(std::span<std::uint8_t> buf, const ReadBudget& budget, const ReplyComplete& complete,
           int* received);

  // The descriptor or handle, for the tests' and the simulator's eyes only.
  std::intptr_t NativeHandle() const { return handle_; }

 private:
  bool Fail(OpenFailure failure, int code);

  // The port's settings as Open found them (termios; DCB and time-outs), one type per OS.
  struct SavedSettings;
  std::unique_ptr<SavedSettings> saved_;
  std::intptr_t handle_ = -1;
  OpenFailure openFailure_ = OpenFailure::None;
  int openError_ = 0;
};

// The system's own text for one of its error codes (errno, GetLastError).
std::string SystemErrorText(int code);

// True for a Read or Write result that says the device itself went away (unplugged, its
// terminal hung up, the handle dead), as opposed to a reader that is merely silent.
bool IsPortGoneResult(int result);

// Maps an OS error number onto a Transact result: never 1 (which means success), never 0.
inline int SystemErrorResult(int code) { return (code == 1 || code == 0) ? -code - 1 : code; }

}  // namespace rivelo
