#include "reader/commands.h"

#include <algorithm>
#include <array>

#include "reader/my_data.h"

namespace rivelo {
namespace {

using Bytes = std::span<const std::uint8_t>;

// The commands that signal or poll run with a shortened read length, set back afterwards.
int ShortReadLength(std::uint16_t code) {
  switch (code) {
    case CodeAcknowledge:
    case CodeReportResult: return 50;
    case CodeReadEm4100: return 250;
    default: return 0;
  }
}

// One exchange: returns the port's result (0 when the slot does not exist), and notes on the
// port how its reply failed, if it did.
int Exchange(CMyData& frame, std::uint16_t code, int port) {
  CMyComm* comm = PortAt(port);
  if (comm == nullptr) return 0;
  const int shortLength = ShortReadLength(code);
  if (shortLength != 0) comm->SetReadLength(shortLength, 0);
  const int result = comm->Transact(frame.Request(), frame.RawReplyBuffer(), frame.RawReplyLength());
  if (shortLength != 0) comm->SetReadLength(DefaultReadLength, 0);
  frame.IsReplyValid();
  const ReplyFailure failure = frame.Failure();
  comm->NoteReply(failure != ReplyFailure::None && result != 1 ? ReplyFailure::PortFailed : failure);
  return result;
}

// A valid frame whose payload the command cannot use.
void NoteUnusable(int port) {
  if (CMyComm* comm = PortAt(port)) comm->NoteReply(ReplyFailure::Malformed);
}

std::uint8_t Low(int v) { return static_cast<std::uint8_t>(v & 0xFF); }

RResult FamilyR(std::uint16_t code, Bytes data, int port) {
  CMyData frame(code, data);
  Exchange(frame, code, port);
  return frame.IsReplyValid() ? ROk : RNoReply;
}

// Family S: out receives exactly the fixed-size payload; a shorter payload is no reply.
SResult FamilyS(std::uint16_t code, std::span<std::uint8_t> out, int port) {
  CMyData frame(code);
  Exchange(frame, code, port);
  if (!frame.IsReplyValid()) return SNoReply;
  if (frame.GetStatus() != 0) return SFailStatus;
  if (frame.PayloadLength() < static_cast<int>(out.size())) {
    NoteUnusable(port);
    return SNoReply;
  }
  frame.GetPayload(out);
  return SOk;
}

// Family E: out (may be empty) receives exactly the fixed-size payload. A reply with data
// of another size is no word: a longer one cannot be told apart from a misread frame.
EResult FamilyE(std::uint16_t code, Bytes data, std::span<std::uint8_t> out, int port) {
  CMyData frame(code, data);
  if (Exchange(frame, code, port) != 1) return EPortFailure;
  if (!frame.IsReplyValid() || frame.GetStatus() != 0) return EFail;
  if (!out.empty() && frame.PayloadLength() != static_cast<int>(out.size())) {
    NoteUnusable(port);
    return EFail;
  }
  if (!out.empty()) frame.GetPayload(out);
  return EOk;
}

std::array<std::uint8_t, 6> Em4100Request(std::span<const std::uint8_t, 5> id, int lock) {
  return {Low(lock), id[0], id[1], id[2], id[3], id[4]};
}

}  // namespace

RResult CmdGetDeviceInfo(std::span<std::uint8_t> out, int* length, int port) {
  CMyData frame(CodeGetDeviceInfo);
  Exchange(frame, CodeGetDeviceInfo, port);
  if (!frame.IsReplyValid()) return RNoReply;
  const int p = frame.PayloadLength();
  if (p > static_cast<int>(out.size())) {
    NoteUnusable(port);
    return RNoReply;
  }
  frame.GetPayload(out);
  *length = p;
  return ROk;
}

RResult CmdAcknowledge(int value, int port) {
  const std::uint8_t d[] = {Low(value)};
  return FamilyR(CodeAcknowledge, d, port);
}

RResult CmdReportResult(int value, int port) {
  const std::uint8_t d[] = {Low(value)};
  return FamilyR(CodeReportResult, d, port);
}

RResult CmdSetReadMode(int mode, int port) {
  const std::uint8_t d[] = {Low(mode)};
  return FamilyR(CodeSetReadMode, d, port);
}

SResult CmdReadEm4100(std::span<std::uint8_t, 5> id, int port) { return FamilyS(CodeReadEm4100, id, port); }
SResult CmdReadFdxa(std::span<std::uint8_t, 5> id, int port) { return FamilyS(CodeReadFdxa, id, port); }
SResult CmdReadHid(std::span<std::uint8_t, 3> id, int port) { return FamilyS(CodeReadHid, id, port); }

SResult CmdReadFdxb(std::span<std::uint8_t, FdxbRecordBytes> record, int port) {
  return FamilyS(CodeReadFdxb, record, port);
}

RResult CmdT5577WriteBlock(int page, int block, int lock, std::span<const std::uint8_t, 4> data, int port) {
  const std::uint8_t d[] = {Low(page + 2), Low(lock), data[0], data[1], data[2], data[3], Low(block)};
  return FamilyR(CodeT5577WriteBlock, d, port);
}

RResult CmdT5577WriteBlockPwd(int page, int block, int lock, std::span<const std::uint8_t, 4> data,
                          std::span<const std::uint8_t, 4> password, int port) {
  const std::uint8_t d[] = {Low(page + 2), password[0], password[1], password[2], password[3], Low(lock),
                            data[0],       data[1],     data[2],     data[3],     Low(block)};
  return FamilyR(CodeT5577WriteBlockPwd, d, port);
}

RResult CmdT5577Wake(std::span<const std::uint8_t, 4> password, int port) {
  return FamilyR(CodeT5577Wake, password, port);
}

RResult CmdT5577ReadBlock(int page, int block, int port) {
  const std::uint8_t d[] = {Low(page + 2), Low(block)};
  return FamilyR(CodeT5577ReadBlock, d, port);
}

RResult CmdT5577ReadBlockPwd(int page, int block, std::span<const std::uint8_t, 4> password, int port) {
  const std::uint8_t d[] = {Low(page + 2), password[0], password[1], password[2], password[3], Low(block)};
  return FamilyR(CodeT5577ReadBlockPwd, d, port);
}

RResult CmdT5577ReadPage(int page, int port) {
  const std::uint8_t d[] = {Low(page + 2)};
  return FamilyR(CodeT5577ReadPage, d, port);
}

RResult CmdT5577Reset(int port) { return FamilyR(CodeT5577Reset, {}, port); }

SResult CmdT5577FetchData(std::span<std::uint8_t, T5577FetchMax> out, int* length, int port) {
  CMyData frame(CodeT5577FetchData);
  Exchange(frame, CodeT5577FetchData, port);
  if (!frame.IsReplyValid()) return SNoReply;
  if (frame.GetStatus() != 0) return SFailStatus;
  const int p = frame.PayloadLength();
  if (p > static_cast<int>(out.size())) {
    NoteUnusable(port);
    return SNoReply;
  }
  frame.GetPayload(out);
  *length = p;
  return SOk;
}

RResult CmdT5577WriteEm4100(std::span<const std::uint8_t, 5> id, int lock, int port) {
  return FamilyR(CodeT5577WriteEm4100, Em4100Request(id, lock), port);
}

RResult CmdT5577WriteFdxa(std::span<const std::uint8_t, 5> id, int port) { return FamilyR(CodeT5577WriteFdxa, id, port); }
RResult CmdT5577WriteHid(std::span<const std::uint8_t, 3> id, int port) { return FamilyR(CodeT5577WriteHid, id, port); }

RResult CmdT5577WriteFdxb(std::span<const std::uint8_t, FdxbRecordBytes> record, int port) {
  return FamilyR(CodeT5577WriteFdxb, record, port);
}

EResult CmdEm4305WriteWord(int word, std::span<const std::uint8_t, 4> data, int port) {
  const std::uint8_t d[] = {Low(word), data[0], data[1], data[2], data[3]};
  return FamilyE(CodeEm4305WriteWord, d, {}, port);
}

EResult CmdEm4305ReadWord(int word, std::span<std::uint8_t, 4> out, int port) {
  const std::uint8_t d[] = {Low(word)};
  return FamilyE(CodeEm4305ReadWord, d, out, port);
}

EResult CmdEm4305Login(std::span<const std::uint8_t, 4> password, int port) {
  return FamilyE(CodeEm4305Login, password, {}, port);
}

bool ProtectionMask(std::span<const std::uint8_t> words, std::span<std::uint8_t, 4> mask) {
  std::array<std::uint8_t, 4> m{};
  for (std::uint8_t w : words) {
    if (w >= 15) return false;
    m[w / 8] = static_cast<std::uint8_t>(m[w / 8] | (1u << (w % 8)));
  }
  std::copy(m.begin(), m.end(), mask.begin());
  return true;
}

EResult CmdEm4305Protect(std::span<const std::uint8_t> words, int port) {
  std::array<std::uint8_t, 4> mask{};
  if (!ProtectionMask(words, mask)) return EBadWordNumber;
  return FamilyE(CodeEm4305Protect, mask, {}, port);
}

EResult CmdEm4305Disable(int port) { return FamilyE(CodeEm4305Disable, {}, {}, port); }

EResult CmdEm4305WriteFdxb(std::span<const std::uint8_t, FdxbRecordBytes> record, int port) {
  return FamilyE(CodeEm4305WriteFdxb, record, {}, port);
}

EResult CmdEm4305WriteEm4100(std::span<const std::uint8_t, 5> id, int lock, int port) {
  return FamilyE(CodeEm4305WriteEm4100, Em4100Request(id, lock), {}, port);
}

ReplyFailure LastReplyFailure(int port) {
  const CMyComm* comm = PortAt(port);
  return comm ? comm->LastReplyFailure() : ReplyFailure::None;
}

RawReply CmdRaw(std::uint16_t code, std::span<const std::uint8_t> data, int port) {
  CMyData frame(code, data);
  RawReply r;
  r.transact = Exchange(frame, code, port);
  if (frame.IsReplyValid()) {
    r.valid = true;
    r.status = frame.GetStatus();
    const auto p = frame.Payload();
    r.payload.assign(p.begin(), p.end());
  }
  return r;
}

}  // namespace rivelo
