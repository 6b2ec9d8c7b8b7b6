// One serial port object and the table of them. A reader exchange is: purge, write one
// request, read one reply burst.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>

#include "reader/my_data.h"
#include "reader/serial_os.h"

namespace rivelo {

constexpr std::uint32_t ReaderBaudRate = 38400;
constexpr int DefaultReadLength = 1024;
constexpr int MaxReadLength = 1024;
constexpr int InterByteGapMs = 5;
constexpr int WriteConstantMs = 1024;

// How a read decides that the reply has ended.
enum class ReplyEnd {
  Gap,    // after 5 ms of silence, or the budget
  Frame,  // as soon as the bytes form a whole reply frame (else as Gap)
};

class CMyComm {
 public:
  CMyComm() = default;
  virtual ~CMyComm();
  CMyComm(const CMyComm&) = delete;
  CMyComm& operator=(const CMyComm&) = delete;

  // 1 opened, 0 failed. A handle that is still open is closed first, so none is leaked.
  int Open(const std::string& name, std::uint32_t baud);
  // Why the last Open failed (None after one that succeeded) and the system's error code.
  OpenFailure LastOpenFailure() const { return port_.LastOpenFailure(); }
  int LastOpenError() const { return port_.LastOpenError(); }
  // Non-zero on success (also for a port that is already closed).
  int Close();
  // 1 done, 0 port not open (the length is then not stored).
  int SetReadLength(int length, int constant);
  // 1 on success, otherwise the system error code of the failed call (never 1).
  // reply receives at most reply.size() bytes; *replyLength their count.
  int Transact(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply, int* replyLength);

  bool IsOpen() const;

  // How the reply of the last exchange failed (None: it was usable). The command functions
  // note it, since only they know what a reply must hold.
  void NoteReply(ReplyFailure failure) { lastReply_ = failure; }
  ReplyFailure LastReplyFailure() const { return lastReply_; }
  // The result of the last Transact: 1, or the system error code of the step that failed.
  int LastTransactResult() const { return lastTransact_; }
  // The last exchange failed because the device went away (or the port is not open): no
  // further exchange on this handle can succeed, only a new Open.
  bool PortGone() const { return lastTransact_ != 1 && IsPortGoneResult(lastTransact_); }
  // The name the port was last opened with, for the operator's eyes.
  const std::string& PortName() const { return name_; }
  int ReadLength() const { return readLength_; }
  int ReadConstant() const { return readConstant_; }

  // The way replies end is a property of the link; tests and benchmarks compare both.
  void SetReplyEnd(ReplyEnd end) { replyEnd_ = end; }
  ReplyEnd GetReplyEnd() const { return replyEnd_; }

  // Counts exchanges and the bytes they moved both ways since start: tests see that nothing
  // was sent, benchmarks compute the line's own time.
  std::uint64_t TransactCount() const { return transacts_; }
  std::uint64_t BytesMoved() const { return bytesMoved_; }

  // Stands in for the port's exchange when set (fuzzing and tests that feed raw replies
  // without a device): same contract as Transact. Empty: the port.
  using ExchangeHook = std::function<int(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                                         int* replyLength)>;
  void SetExchangeHook(ExchangeHook hook) { hook_ = std::move(hook); }

 private:
  int Exchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply, int* replyLength);

  OsSerial port_;
  std::string name_;
  int readLength_ = DefaultReadLength;
  int readConstant_ = 0;
  ReplyEnd replyEnd_ = ReplyEnd::Frame;
  std::uint64_t transacts_ = 0;
  std::uint64_t bytesMoved_ = 0;
  ReplyFailure lastReply_ = ReplyFailure::None;
  int lastTransact_ = 1;
  ExchangeHook hook_;
};

constexpr int PortTableSize = 10;
constexpr int ReaderPortIndex = 0;

// The program's ports; only slot 0 is ever used for the reader.
extern std::array<CMyComm, PortTableSize> PortTable;

// Closes a slot of PortTable; an index outside 0-9 is ignored.
void ClosePort(int index);

// The slot at index, or nullptr for an index outside 0-9. ReaderPortIndex stands for the calling
// thread's reader slot (SetThreadReaderSlot), so that a station can run one reader per thread
// through the very commands and runners that know only slot 0.
CMyComm* PortAt(int index);
// The slot that ReaderPortIndex means on this thread (0-9; 0 unless set).
void SetThreadReaderSlot(int slot);

}  // namespace rivelo
