// Win32 communications serial port (COMn) for Windows.
#include "reader/serial_os.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>

namespace rivelo {
namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD QueueBytes = 1024;
constexpr DWORD GapMs = 5;            // read interval: silence that ends a burst
constexpr DWORD WriteConstMs = 1024;  // write budget on top of 1 ms per byte

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool IsValid(std::intptr_t handle) { return H(handle) != INVALID_HANDLE_VALUE && handle != 0; }

int LastErrorResult() { return SystemErrorResult(static_cast<int>(GetLastError())); }

// The driver's read and write time-outs. A total budget of "1 ms per byte plus a constant"
// is what the reader's timings are stated in; budgets shorter than the byte count fall
// back to a plain constant so the total is never longer than asked.
COMMTIMEOUTS Timeouts(DWORD readInterval, DWORD readBytes, int readTotalMs, DWORD writeBytes,
                      int writeTotalMs) {
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = readInterval;
  const DWORD readTotal = static_cast<DWORD>(std::max(readTotalMs, 0));
  if (readTotal >= readBytes) {
    t.ReadTotalTimeoutMultiplier = 1;
    t.ReadTotalTimeoutConstant = readTotal - readBytes;
  } else {
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = readTotal;
  }
  const DWORD writeTotal = static_cast<DWORD>(std::max(writeTotalMs, 0));
  if (writeTotal >= writeBytes) {
    t.WriteTotalTimeoutMultiplier = 1;
    t.WriteTotalTimeoutConstant = writeTotal - writeBytes;
  } else {
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = writeTotal;
  }
  return t;
}

// The settings a freshly opened port gets: 5 ms interval, 1 ms per byte for both
// directions, no read constant, 1024 ms write constant.
COMMTIMEOUTS DefaultTimeouts() {
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = GapMs;
  t.ReadTotalTimeoutMultiplier = 1;
  t.ReadTotalTimeoutConstant = 0;
  t.WriteTotalTimeoutMultiplier = 1;
  t.WriteTotalTimeoutConstant = WriteConstMs;
  return t;
}

int MsUntil(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

DWORD BytesWaiting(HANDLE h) {
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(h, &errors, &stat)) return 0;
  return stat.cbInQue;
}

// One ReadFile of up to count bytes that waits at most waitMs for the first of them and
// returns as soon as count arrived. Returns 1 or an error result; *got gets the count.
int ReadUpTo(HANDLE h, std::uint8_t* dst, DWORD count, int waitMs, DWORD* got) {
  *got = 0;
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = 0;
  t.ReadTotalTimeoutMultiplier = 0;
  // A zero total with a zero interval would mean "wait for ever"; 1 ms is the shortest.
  t.ReadTotalTimeoutConstant = static_cast<DWORD>(std::max(waitMs, 1));
  t.WriteTotalTimeoutMultiplier = 1;
  t.WriteTotalTimeoutConstant = WriteConstMs;
  if (!SetCommTimeouts(h, &t)) return LastErrorResult();
  if (!ReadFile(h, dst, count, got, nullptr)) return LastErrorResult();
  return 1;
}

OpenFailure OpenFailureOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH: return OpenFailure::NoSuchPort;
    // A COM port held by another program answers "access denied": ports are opened for
    // exclusive use, and no other refusal is usual for them.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return OpenFailure::Busy;
    default: return OpenFailure::Other;
  }
}

}  // namespace

struct OsSerial::SavedSettings {
  DCB dcb;
  COMMTIMEOUTS timeouts;
};

bool IsPortGoneResult(int result) {
  // What a USB serial adapter's driver answers once the adapter is unplugged, and a dead handle.
  switch (result) {
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_HANDLE:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_OPERATION_ABORTED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED: return true;
    default: return false;
  }
}

std::string SystemErrorText(int code) {
  char* text = nullptr;
  constexpr DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  const DWORD n =
      FormatMessageA(flags, nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = n > 0 && text ? std::string(text, n) : "system error " + std::to_string(code);
  if (text) LocalFree(text);
  // The system's texts end in a full stop and a line end.
  while (!result.empty() && std::string_view("\r\n. ").find(result.back()) != std::string_view::npos)
    result.pop_back();
  return result;
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
  if (name.empty()) return Fail(OpenFailure::NoSuchPort, ERROR_FILE_NOT_FOUND);
  // COM10 and above are reachable only through the device namespace.
  const std::string path = name.rfind("\\\\.\\", 0) == 0 ? name : "\\\\.\\" + name;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    return Fail(OpenFailureOf(code), static_cast<int>(code));
  }
  SetupComm(h, QueueBytes, QueueBytes);
  // Kept for Close, which puts them back, where the driver lets us read them.
  auto saved = std::make_unique<SavedSettings>();
  saved->dcb.DCBlength = sizeof(DCB);
  const bool haveSaved = GetCommState(h, &saved->dcb) && GetCommTimeouts(h, &saved->timeouts);
  COMMTIMEOUTS t = DefaultTimeouts();
  SetCommTimeouts(h, &t);
  // Only the line format changes; handshake and the rest stay as the driver has them.
  DCB dcb{};
  dcb.DCBlength = sizeof(dcb);
  GetCommState(h, &dcb);
  dcb.BaudRate = baud;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  SetCommState(h, &dcb);
  PurgeComm(h, PURGE_TXCLEAR | PURGE_RXCLEAR);
  if (haveSaved) saved_ = std::move(saved);
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return true;
}

int OsSerial::Close() {
  if (!IsValid(handle_)) return 1;
  if (saved_) {
    SetCommState(H(handle_), &saved_->dcb);
    SetCommTimeouts(H(handle_), &saved_->timeouts);
    saved_.reset();
  }
  const BOOL ok = CloseHandle(H(handle_));
  if (ok) handle_ = -1;
  return ok ? 1 : 0;
}

bool OsSerial::IsOpen() const { return IsValid(handle_); }

void OsSerial::Purge() {
  if (IsValid(handle_))
    PurgeComm(H(handle_), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void OsSerial::ClearErrors() {
  if (!IsValid(handle_)) return;
  DWORD errors = 0;
  COMSTAT stat{};
  ClearCommError(H(handle_), &errors, &stat);
}

int OsSerial::Write(std::span<const std::uint8_t> bytes, int timeoutMs) {
  if (!IsValid(handle_)) return SystemErrorResult(ERROR_INVALID_HANDLE);
  HANDLE h = H(handle_);
  const auto count = static_cast<DWORD>(bytes.size());
  COMMTIMEOUTS t = Timeouts(GapMs, 0, 0, count, timeoutMs);
  if (!SetCommTimeouts(h, &t)) return LastErrorResult();
  DWORD written = 0;
  if (!WriteFile(h, bytes.data(), count, &written, nullptr)) return LastErrorResult();
  // A write that ran out of time reports success with fewer bytes; the request did not
  // go out whole, so it is a failure.
  if (written != count) return SystemErrorResult(ERROR_TIMEOUT);
  return 1;
}

int OsSerial::Read(std::span<std::uint8_t> buf, const ReadBudget& budget,
                   const ReplyComplete& complete, int* received) {
  *received = 0;
  if (!IsValid(handle_)) return SystemErrorResult(ERROR_INVALID_HANDLE);
  HANDLE h = H(handle_);
  const auto want = static_cast<DWORD>(
      std::min(buf.size(), static_cast<std::size_t>(std::max(budget.maxBytes, 0))));
  if (want == 0) return 1;

  if (!complete) {
    // The driver does it all: one read, ended by the gap after the first byte or by the
    // total budget.
    COMMTIMEOUTS t = Timeouts(static_cast<DWORD>(std::max(budget.gapMs, 1)), want,
                              budget.totalMs, 0, static_cast<int>(WriteConstMs));
    if (!SetCommTimeouts(h, &t)) return LastErrorResult();
    DWORD got = 0;
    const BOOL ok = ReadFile(h, buf.data(), want, &got, nullptr);
    *received = static_cast<int>(got);
    return ok ? 1 : LastErrorResult();
  }

  // Whole-frame end: wait for one byte at a time while the line is quiet, take whatever is
  // queued behind it, and look at the reply after every piece.
  const auto deadline = Clock::now() + std::chrono::milliseconds(budget.totalMs);
  DWORD got = 0;
  int result = 1;
  while (got < want) {
    const DWORD queued = BytesWaiting(h);
    if (queued > 0) {
      DWORD n = 0;
      result = ReadUpTo(h, buf.data() + got, std::min(queued, want - got), 1, &n);
      got += n;
      if (result != 1) break;
    } else {
      int wait = MsUntil(deadline);
      if (got > 0) wait = std::min(wait, budget.gapMs);
      if (wait <= 0) break;
      DWORD n = 0;
      result = ReadUpTo(h, buf.data() + got, 1, wait, &n);
      got += n;
      if (result != 1) break;
      if (n == 0) {
        if (got > 0 || MsUntil(deadline) == 0) break;  // the gap, or the budget
        continue;
      }
    }
    if (complete(std::span<const std::uint8_t>(buf.data(), got))) {
      // Whole reply: take what already waits behind it, but wait for nothing more.
      const DWORD more = std::min(BytesWaiting(h), want - got);
      if (more > 0) {
        DWORD n = 0;
        result = ReadUpTo(h, buf.data() + got, more, 1, &n);
        got += n;
      }
      break;
    }
  }
  *received = static_cast<int>(got);
  return result;
}

}  // namespace rivelo
