// One function per reader command. Each builds a request, makes one exchange on a slot of
// PortTable and turns the reply into a small result code (and payload bytes for reads).
//
// Result families:
//   R: 1 a valid reply arrived, 0 none (the status byte is not looked at).
//   S: 1 success with payload, 2 the reader reported failure, 3 no valid reply.
//   E: 0 success, 1 no valid reply or a failure status, 2 the port exchange failed.
// Output buffers are written only on success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "reader/my_comm.h"

namespace rivelo {

// Each family is its own type, so a result of one family never compares with another's.
enum class RResult { NoReply = 0, Ok = 1 };
enum class SResult { Ok = 1, FailStatus = 2, NoReply = 3 };
enum class EResult {
  Ok = 0,
  Fail = 1,
  PortFailure = 2,
  BadWordNumber = 3,  // CmdEm4305Protect only: nothing was sent
};
constexpr RResult ROk = RResult::Ok;
constexpr RResult RNoReply = RResult::NoReply;
constexpr SResult SOk = SResult::Ok;
constexpr SResult SFailStatus = SResult::FailStatus;
constexpr SResult SNoReply = SResult::NoReply;
constexpr EResult EOk = EResult::Ok;
constexpr EResult EFail = EResult::Fail;
constexpr EResult EPortFailure = EResult::PortFailure;
constexpr EResult EBadWordNumber = EResult::BadWordNumber;

// The family's number, for printing.
constexpr int ResultCode(RResult r) { return static_cast<int>(r); }
constexpr int ResultCode(SResult r) { return static_cast<int>(r); }
constexpr int ResultCode(EResult r) { return static_cast<int>(r); }

// Command codes.
enum CommandCode : std::uint16_t {
  CodeGetDeviceInfo = 0x102,
  CodeAcknowledge = 0x103,
  CodeReportResult = 0x104,
  CodeSetReadMode = 0x107,
  CodeReadFdxa = 0x10A,
  CodeReadFdxb = 0x10B,
  CodeReadEm4100 = 0x10C,
  CodeReadHid = 0x10D,
  CodeT5577WriteBlock = 0x201,
  CodeT5577WriteBlockPwd = 0x202,
  CodeT5577Wake = 0x203,
  CodeT5577ReadBlock = 0x204,
  CodeT5577ReadBlockPwd = 0x205,
  CodeT5577ReadPage = 0x206,
  CodeT5577Reset = 0x207,
  CodeT5577FetchData = 0x208,
  CodeT5577WriteFdxa = 0x20A,
  CodeT5577WriteFdxb = 0x20B,
  CodeT5577WriteEm4100 = 0x20C,
  CodeT5577WriteHid = 0x20D,
  CodeEm4305WriteWord = 0x301,
  CodeEm4305ReadWord = 0x302,
  CodeEm4305Login = 0x303,
  CodeEm4305Protect = 0x304,
  CodeEm4305Disable = 0x305,
  CodeEm4305WriteFdxb = 0x30B,
  CodeEm4305WriteEm4100 = 0x30C,
};

// Decoding modes for CmdSetReadMode.
constexpr int ModeManchesterRf64 = 0x25;
constexpr int ModeManchesterRf32 = 0x2A;
constexpr int ModeEm4100 = 0x35;
constexpr int ModeFdxb = 0x3A;

// Signal values.
constexpr int AcknowledgeNormal = 10;
constexpr int AcknowledgeKeyboard = 20;
constexpr int ResultIndicationSuccess = 2;
constexpr int ResultIndicationNormal = 1;

// The most data one T5577 fetch hands back (7 blocks).
constexpr std::size_t T5577FetchMax = 28;

// 0x102, R: the identification text; *length receives its byte count. A text longer than
// out counts as no valid reply.
RResult CmdGetDeviceInfo(std::span<std::uint8_t> out, int* length, int port = ReaderPortIndex);
// 0x103 and 0x104, R, run with a 50 ms read length.
RResult CmdAcknowledge(int value, int port = ReaderPortIndex);
RResult CmdReportResult(int value, int port = ReaderPortIndex);
// 0x107, R.
RResult CmdSetReadMode(int mode, int port = ReaderPortIndex);
// 0x10C, S, run with a 250 ms read length.
SResult CmdReadEm4100(std::span<std::uint8_t, 5> id, int port = ReaderPortIndex);
// 0x10A, S.
SResult CmdReadFdxa(std::span<std::uint8_t, 5> id, int port = ReaderPortIndex);
// 0x10D, S: facility code, card number (2 bytes).
SResult CmdReadHid(std::span<std::uint8_t, 3> id, int port = ReaderPortIndex);
// The FDX-B record of 12 bytes as the model lays it out (model/fdxb.h): national code 5, country
// code 2, two flag bytes, trailer 3.
constexpr std::size_t FdxbRecordBytes = 12;
// 0x10B, S: the record as the reader hands it over.
SResult CmdReadFdxb(std::span<std::uint8_t, FdxbRecordBytes> record, int port = ReaderPortIndex);

// T5577 (all R except the fetch). page is 0 or 1 and is sent as the opcode page + 2.
RResult CmdT5577WriteBlock(int page, int block, int lock, std::span<const std::uint8_t, 4> data,
                       int port = ReaderPortIndex);
RResult CmdT5577WriteBlockPwd(int page, int block, int lock, std::span<const std::uint8_t, 4> data,
                          std::span<const std::uint8_t, 4> password, int port = ReaderPortIndex);
RResult CmdT5577Wake(std::span<const std::uint8_t, 4> password, int port = ReaderPortIndex);
RResult CmdT5577ReadBlock(int page, int block, int port = ReaderPortIndex);
RResult CmdT5577ReadBlockPwd(int page, int block, std::span<const std::uint8_t, 4> password,
                         int port = ReaderPortIndex);
RResult CmdT5577ReadPage(int page, int port = ReaderPortIndex);
RResult CmdT5577Reset(int port = ReaderPortIndex);
// 0x208, S: the data of the previous T5577 command and its length. More than 28 bytes
// counts as no valid reply.
SResult CmdT5577FetchData(std::span<std::uint8_t, T5577FetchMax> out, int* length,
                      int port = ReaderPortIndex);
RResult CmdT5577WriteEm4100(std::span<const std::uint8_t, 5> id, int lock, int port = ReaderPortIndex);
RResult CmdT5577WriteFdxa(std::span<const std::uint8_t, 5> id, int port = ReaderPortIndex);
RResult CmdT5577WriteHid(std::span<const std::uint8_t, 3> id, int port = ReaderPortIndex);
RResult CmdT5577WriteFdxb(std::span<const std::uint8_t, FdxbRecordBytes> record, int port = ReaderPortIndex);

// EM4305 (family E).
EResult CmdEm4305WriteWord(int word, std::span<const std::uint8_t, 4> data, int port = ReaderPortIndex);
EResult CmdEm4305ReadWord(int word, std::span<std::uint8_t, 4> out, int port = ReaderPortIndex);
EResult CmdEm4305Login(std::span<const std::uint8_t, 4> password, int port = ReaderPortIndex);
// Sends the mask with bit w set for each listed word w; a word of 15 or more returns
// EBadWordNumber and sends nothing.
EResult CmdEm4305Protect(std::span<const std::uint8_t> words, int port = ReaderPortIndex);
EResult CmdEm4305Disable(int port = ReaderPortIndex);
EResult CmdEm4305WriteFdxb(std::span<const std::uint8_t, FdxbRecordBytes> record, int port = ReaderPortIndex);
EResult CmdEm4305WriteEm4100(std::span<const std::uint8_t, 5> id, int lock, int port = ReaderPortIndex);

// How the reply of the last command on the slot failed: None when it was usable (whatever
// its status said), else silence, a truncated frame, a bad checksum, a malformed frame or a
// failed port. None for a slot outside 0-9.
ReplyFailure LastReplyFailure(int port = ReaderPortIndex);

// The 4-byte protection mask for the listed words (bit w of the little-endian value for word
// w), or false if a word of 15 or more is listed.
bool ProtectionMask(std::span<const std::uint8_t> words, std::span<std::uint8_t, 4> mask);

}  // namespace rivelo

namespace rivelo {

// Any command, for tools that speak to the reader directly (the command line's send).
struct RawReply {
  int transact = 0;  // the port's result: 1 or a system error code
  bool valid = false;
  std::uint8_t status = 0xFF;
  std::vector<std::uint8_t> payload;
};
RawReply CmdRaw(std::uint16_t code, std::span<const std::uint8_t> data, int port = ReaderPortIndex);

}  // namespace rivelo
