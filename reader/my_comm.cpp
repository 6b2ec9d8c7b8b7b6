#include "reader/my_comm.h"

#include <algorithm>
#include <array>

#include "reader/reply_frame.h"

namespace rivelo {

std::array<CMyComm, PortTableSize> PortTable;

CMyComm::~CMyComm() { Close(); }

int CMyComm::Open(const std::string& name, std::uint32_t baud) {
  port_.Close();
  name_ = name;
  lastTransact_ = 1;  // what failed on the last handle says nothing about this one
  return port_.Open(name, baud) ? 1 : 0;
}

int CMyComm::Close() { return port_.Close(); }

bool CMyComm::IsOpen() const { return port_.IsOpen(); }

int CMyComm::SetReadLength(int length, int constant) {
  if (!port_.IsOpen()) return 0;
  readLength_ = std::clamp(length, 0, MaxReadLength);
  readConstant_ = std::max(constant, 0);
  port_.Purge();
  return 1;
}

int CMyComm::Transact(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                      int* replyLength) {
  lastTransact_ = hook_ ? hook_(request, reply, replyLength) : Exchange(request, reply, replyLength);
  return lastTransact_;
}

int CMyComm::Exchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply, int* replyLength) {
  ++transacts_;
  port_.Purge();
  port_.ClearErrors();
  const int writeBudget = static_cast<int>(request.size()) + WriteConstantMs;
  const int w = port_.Write(request, writeBudget);
  if (w != 1) return w;
  bytesMoved_ += request.size();

  std::array<std::uint8_t, MaxReadLength> local{};
  ReadBudget budget;
  budget.totalMs = readLength_ + readConstant_;
  budget.gapMs = InterByteGapMs;
  budget.maxBytes = readLength_;
  ReplyComplete complete;
  if (replyEnd_ == ReplyEnd::Frame) complete = IsWholeReplyFrame;
  int got = 0;
  const int r = port_.Read(local, budget, complete, &got);
  bytesMoved_ += static_cast<std::uint64_t>(got);
  const int n = std::min(got, static_cast<int>(reply.size()));
  std::copy_n(local.begin(), n, reply.begin());
  *replyLength = n;
  return r;
}

void ClosePort(int index) {
  if (CMyComm* port = PortAt(index)) port->Close();
}

namespace {
thread_local int threadReaderSlot = ReaderPortIndex;
}  // namespace

void SetThreadReaderSlot(int slot) {
  if (slot >= 0 && slot < PortTableSize) threadReaderSlot = slot;
}

CMyComm* PortAt(int index) {
  if (index == ReaderPortIndex) index = threadReaderSlot;
  if (index < 0 || index >= PortTableSize) return nullptr;
  return &PortTable[static_cast<std::size_t>(index)];
}

}  // namespace rivelo
