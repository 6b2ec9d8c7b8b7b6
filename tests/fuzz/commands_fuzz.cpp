// Every command function fed an arbitrary reply through the port's exchange hook. Input: a
// byte choosing the command, a byte of flags (bit 0: the port's exchange fails; the rest vary
// the arguments), then the reply burst as it came off the line. Each result must say exactly
// what the reply holds, output buffers stay untouched on every failure, and each function
// sends its own command code.
#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "reader/commands.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/reply_oracle.h"

using namespace rivelo;

namespace {

constexpr std::uint8_t Canary = 0xC5;
constexpr int PortError = 5;  // EIO: the exchange itself failed

struct Line {
  std::span<const std::uint8_t> reply;
  int result = 1;
  int calls = 0;
  std::uint16_t sentCode = 0;
};
Line line;

int FakeExchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply, int* replyLength) {
  ++line.calls;
  // Command bytes sit after header and length; no length of these commands needs stuffing.
  if (request.size() >= 6) line.sentCode = static_cast<std::uint16_t>(request[4] << 8 | request[5]);
  const std::size_t n = std::min(reply.size(), line.reply.size());
  std::copy_n(line.reply.begin(), n, reply.begin());
  *replyLength = static_cast<int>(n);
  return line.result;
}

template <std::size_t N>
std::array<std::uint8_t, N> Filled() {
  std::array<std::uint8_t, N> a;
  a.fill(Canary);
  return a;
}

template <typename C>
bool Untouched(const C& c) {
  return std::all_of(std::begin(c), std::end(c), [](std::uint8_t b) { return b == Canary; });
}

template <typename C>
bool Holds(const C& out, const std::vector<std::uint8_t>& payload, std::size_t from = 0) {
  return std::equal(std::begin(out), std::end(out), payload.begin() + static_cast<std::ptrdiff_t>(from));
}

ReplyFailure Noted() { return LastReplyFailure(ReaderPortIndex); }

// Families R, S and E on their own, given the reply the line delivered.
void CheckR(RResult r, const fuzz::OracleReply& o) {
  FUZZ_CHECK((r == ROk) == o.valid);
  FUZZ_CHECK((Noted() == ReplyFailure::None) == o.valid);
}

template <std::size_t N>
void CheckS(SResult r, const std::array<std::uint8_t, N>& out, const fuzz::OracleReply& o) {
  if (!o.valid) {
    FUZZ_CHECK(r == SNoReply && Noted() != ReplyFailure::None);
  } else if (o.status != 0) {
    FUZZ_CHECK(r == SFailStatus);
  } else if (o.payload.size() < N) {
    FUZZ_CHECK(r == SNoReply && Noted() == ReplyFailure::Malformed);
  } else {
    FUZZ_CHECK(r == SOk && Holds(out, o.payload));
    return;
  }
  FUZZ_CHECK(Untouched(out));
}

template <std::size_t N>
void CheckE(EResult r, const std::array<std::uint8_t, N>& out, const fuzz::OracleReply& o, bool fixedSize) {
  bool ok = false;
  if (line.result != 1) {
    FUZZ_CHECK(r == EPortFailure);
  } else if (!o.valid || o.status != 0 || (fixedSize && o.payload.size() != N)) {
    FUZZ_CHECK(r == EFail);
  } else {
    FUZZ_CHECK(r == EOk);
    ok = true;
  }
  if (ok && fixedSize) FUZZ_CHECK(Holds(out, o.payload));
  if (!ok) FUZZ_CHECK(Untouched(out));
}

const std::array<std::uint8_t, 4> Word{0x11, 0xAA, 0x33, 0x44};
const std::array<std::uint8_t, 4> Password{0xAA, 0x00, 0xAA, 0x01};
const std::array<std::uint8_t, 5> Id5{0x01, 0x23, 0x45, 0x67, 0x89};
const std::array<std::uint8_t, 3> Id3{0x76, 0x06, 0x43};
const std::array<std::uint8_t, 12> FdxbRecord{0, 0, 0x01, 0x12, 0x33, 0x03, 0xE7, 0x01, 0x01, 0x0A, 0x0B, 0x0C};

struct Command {
  std::uint16_t code;
  std::function<void(int flags, const fuzz::OracleReply& o)> run;
};

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands{
      {CodeGetDeviceInfo,
       [](int flags, const fuzz::OracleReply& o) {
         // A caller's buffer of any size, up to the whole frame buffer.
         std::vector<std::uint8_t> out(flags & 0x40 ? 16 : FrameBufferSize, Canary);
         int length = -1;
         const RResult r = CmdGetDeviceInfo(out, &length);
         if (o.valid && o.payload.size() <= out.size()) {
           FUZZ_CHECK(r == ROk && length == static_cast<int>(o.payload.size()));
           FUZZ_CHECK(std::equal(o.payload.begin(), o.payload.end(), out.begin()));
           FUZZ_CHECK(std::all_of(out.begin() + length, out.end(), [](std::uint8_t b) { return b == Canary; }));
         } else {
           FUZZ_CHECK(r == RNoReply && length == -1 && Untouched(out) && Noted() != ReplyFailure::None);
         }
       }},
      {CodeAcknowledge, [](int flags, const fuzz::OracleReply& o) { CheckR(CmdAcknowledge(flags >> 1), o); }},
      {CodeReportResult, [](int flags, const fuzz::OracleReply& o) { CheckR(CmdReportResult(flags >> 1), o); }},
      {CodeSetReadMode, [](int flags, const fuzz::OracleReply& o) { CheckR(CmdSetReadMode(flags >> 1), o); }},
      {CodeReadEm4100,
       [](int, const fuzz::OracleReply& o) {
         auto out = Filled<5>();
         CheckS(CmdReadEm4100(out), out, o);
       }},
      {CodeReadFdxa,
       [](int, const fuzz::OracleReply& o) {
         auto out = Filled<5>();
         CheckS(CmdReadFdxa(out), out, o);
       }},
      {CodeReadHid,
       [](int, const fuzz::OracleReply& o) {
         auto out = Filled<3>();
         CheckS(CmdReadHid(out), out, o);
       }},
      {CodeReadFdxb,
       [](int, const fuzz::OracleReply& o) {
         auto out = Filled<12>();
         CheckS(CmdReadFdxb(out), out, o);
       }},
      {CodeT5577WriteBlock,
       [](int flags, const fuzz::OracleReply& o) { CheckR(CmdT5577WriteBlock(flags >> 1 & 1, flags >> 2, flags >> 7, Word), o); }},
      {CodeT5577WriteBlockPwd,
       [](int flags, const fuzz::OracleReply& o) {
         CheckR(CmdT5577WriteBlockPwd(flags >> 1 & 1, flags >> 2, flags >> 7, Word, Password), o);
       }},
      {CodeT5577Wake, [](int, const fuzz::OracleReply& o) { CheckR(CmdT5577Wake(Password), o); }},
      {CodeT5577ReadBlock, [](int flags, const fuzz::OracleReply& o) { CheckR(CmdT5577ReadBlock(flags >> 1 & 1, flags >> 2), o); }},
      {CodeT5577ReadBlockPwd,
       [](int flags, const fuzz::OracleReply& o) { CheckR(CmdT5577ReadBlockPwd(flags >> 1 & 1, flags >> 2, Password), o); }},
      {CodeT5577ReadPage, [](int flags, const fuzz::OracleReply& o) { CheckR(CmdT5577ReadPage(flags >> 1 & 1), o); }},
      {CodeT5577Reset, [](int, const fuzz::OracleReply& o) { CheckR(CmdT5577Reset(), o); }},
      {CodeT5577FetchData,
       [](int, const fuzz::OracleReply& o) {
         auto out = Filled<T5577FetchMax>();
         int length = -1;
         const SResult r = CmdT5577FetchData(out, &length);
         if (o.valid && o.status == 0 && o.payload.size() <= T5577FetchMax) {
           FUZZ_CHECK(r == SOk && length == static_cast<int>(o.payload.size()));
           FUZZ_CHECK(std::equal(o.payload.begin(), o.payload.end(), out.begin()));
           FUZZ_CHECK(std::all_of(out.begin() + length, out.end(), [](std::uint8_t b) { return b == Canary; }));
           return;
         }
         FUZZ_CHECK(r == (o.valid && o.status != 0 ? SFailStatus : SNoReply));
         FUZZ_CHECK(length == -1 && Untouched(out));
       }},
      {CodeT5577WriteEm4100, [](int flags, const fuzz::OracleReply& o) { CheckR(CmdT5577WriteEm4100(Id5, flags >> 1 & 1), o); }},
      {CodeT5577WriteFdxa, [](int, const fuzz::OracleReply& o) { CheckR(CmdT5577WriteFdxa(Id5), o); }},
      {CodeT5577WriteHid, [](int, const fuzz::OracleReply& o) { CheckR(CmdT5577WriteHid(Id3), o); }},
      {CodeT5577WriteFdxb, [](int, const fuzz::OracleReply& o) { CheckR(CmdT5577WriteFdxb(FdxbRecord), o); }},
      {CodeEm4305WriteWord,
       [](int flags, const fuzz::OracleReply& o) { CheckE(CmdEm4305WriteWord(flags >> 1, Word), Filled<0>(), o, false); }},
      {CodeEm4305ReadWord,
       [](int flags, const fuzz::OracleReply& o) {
         auto out = Filled<4>();
         CheckE(CmdEm4305ReadWord(flags >> 1, out), out, o, true);
       }},
      {CodeEm4305Login, [](int, const fuzz::OracleReply& o) { CheckE(CmdEm4305Login(Password), Filled<0>(), o, false); }},
      {CodeEm4305Protect,
       [](int flags, const fuzz::OracleReply& o) {
         const std::uint8_t words[] = {0, static_cast<std::uint8_t>(flags >> 1 & 0x0F), 14};
         const EResult r = CmdEm4305Protect(words);
         if (words[1] >= 15) {
           FUZZ_CHECK(r == EBadWordNumber && line.calls == 0);
           return;
         }
         CheckE(r, Filled<0>(), o, false);
       }},
      {CodeEm4305Disable, [](int, const fuzz::OracleReply& o) { CheckE(CmdEm4305Disable(), Filled<0>(), o, false); }},
      {CodeEm4305WriteFdxb,
       [](int, const fuzz::OracleReply& o) { CheckE(CmdEm4305WriteFdxb(FdxbRecord), Filled<0>(), o, false); }},
      {CodeEm4305WriteEm4100,
       [](int flags, const fuzz::OracleReply& o) { CheckE(CmdEm4305WriteEm4100(Id5, flags >> 1 & 1), Filled<0>(), o, false); }},
      {0x0999,
       [](int flags, const fuzz::OracleReply& o) {
         const std::uint8_t d[] = {static_cast<std::uint8_t>(flags)};
         const RawReply r = CmdRaw(0x0999, d);
         FUZZ_CHECK(r.transact == line.result && r.valid == o.valid);
         FUZZ_CHECK(r.status == o.status && r.payload == o.payload);
       }},
  };
  return commands;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static const bool hooked = [] {
    PortAt(ReaderPortIndex)->SetExchangeHook(FakeExchange);
    return true;
  }();
  (void)hooked;
  const Command& command = Commands()[data[0] % Commands().size()];
  const int flags = data[1];
  line = Line{};
  line.reply = std::span<const std::uint8_t>(data + 2, size - 2);
  line.result = (flags & 1) ? PortError : 1;
  // The command sees at most what fits its frame's reply buffer.
  const auto delivered = line.reply.first(std::min(line.reply.size(), FrameBufferSize));
  command.run(flags, fuzz::DecodeReply(delivered));
  FUZZ_CHECK(line.calls <= 1);
  if (line.calls == 1) FUZZ_CHECK(line.sentCode == command.code);
  return 0;
}
