// The codec's reply side on any burst the line can deliver: a reply is valid exactly when
// the protocol says so, nothing that did not arrive is ever handed out, and the read's
// frame-end test never ends a read before the frame the codec needs is whole. The same
// bytes also build a request, which must unstuff back to its command and data.
#include <algorithm>
#include <array>
#include <vector>

#include "reader/my_data.h"
#include "reader/reply_frame.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/reply_oracle.h"

using namespace rivelo;

namespace {

constexpr std::uint8_t Canary = 0x5C;

void CheckReply(std::span<const std::uint8_t> raw, std::size_t destSize) {
  const auto wire = raw.first(std::min(raw.size(), FrameBufferSize));
  const fuzz::OracleReply want = fuzz::DecodeReply(wire);

  CMyData frame(0x10C);
  frame.SetRawReply(raw);
  const bool valid = frame.IsReplyValid() == 1;
  FUZZ_CHECK(valid == want.valid);
  FUZZ_CHECK((frame.Failure() == ReplyFailure::None) == valid);
  FUZZ_CHECK((frame.Failure() == ReplyFailure::Silent) == (!valid && wire.empty()));
  FUZZ_CHECK(frame.IsReplyValid() == (valid ? 1 : 0));  // judging twice changes nothing

  std::vector<std::uint8_t> dest(destSize, Canary);
  const int p = frame.GetPayload(dest);
  const auto payload = frame.Payload();
  if (!valid) {
    FUZZ_CHECK(frame.GetStatus() == 0xFF);
    FUZZ_CHECK(frame.PayloadLength() == 0 && p == 0 && payload.empty());
  } else {
    FUZZ_CHECK(frame.GetStatus() == want.status);
    FUZZ_CHECK(p == static_cast<int>(want.payload.size()) && frame.PayloadLength() == p);
    FUZZ_CHECK(std::equal(payload.begin(), payload.end(), want.payload.begin(), want.payload.end()));
  }
  const std::size_t copied = std::min(static_cast<std::size_t>(p), dest.size());
  FUZZ_CHECK(std::equal(dest.begin(), dest.begin() + static_cast<std::ptrdiff_t>(copied), payload.begin()));
  FUZZ_CHECK(std::all_of(dest.begin() + static_cast<std::ptrdiff_t>(copied), dest.end(),
                         [](std::uint8_t b) { return b == Canary; }));

  // Ending a read here must not cut a frame short: the codec then has all it announced.
  if (IsWholeReplyFrame(wire)) {
    FUZZ_CHECK(frame.Failure() != ReplyFailure::Truncated && frame.Failure() != ReplyFailure::Silent);
  }
  // And a valid frame with nothing behind it is recognised, so its read need not wait.
  const auto& l = want.logical;
  if (valid && wire[0] == 0xAA && wire[1] == 0xDD && !want.openStuffing && l[0] * 256 + l[1] >= 4 &&
      l.size() == static_cast<std::size_t>(l[0] * 256 + l[1]) + 2) {
    FUZZ_CHECK(IsWholeReplyFrame(wire));
  }
}

void CheckRequest(std::uint16_t code, std::span<const std::uint8_t> data) {
  CMyData frame(code, data);
  const auto req = frame.Request();
  FUZZ_CHECK(req.size() <= FrameBufferSize);
  if (data.size() > MaxRequestData) {
    FUZZ_CHECK(req.empty());
    return;
  }
  FUZZ_CHECK(req.size() >= 7 && req[0] == 0xAA && req[1] == 0xDD);
  std::vector<std::uint8_t> logical;
  for (std::size_t i = 2; i < req.size(); ++i) {
    logical.push_back(req[i]);
    if (req[i] == 0xAA) {
      FUZZ_CHECK(i + 1 < req.size() && req[i + 1] == 0x00);
      ++i;
    }
  }
  FUZZ_CHECK(logical.size() == data.size() + 5);
  FUZZ_CHECK(static_cast<std::size_t>(logical[0] * 256 + logical[1]) == data.size() + 3);
  FUZZ_CHECK(logical[2] == (code >> 8) && logical[3] == (code & 0xFF));
  FUZZ_CHECK(std::equal(data.begin(), data.end(), logical.begin() + 4));
  std::uint8_t x = 0;
  for (std::size_t i = 2; i < logical.size(); ++i) x = static_cast<std::uint8_t>(x ^ logical[i]);
  FUZZ_CHECK(x == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> in(data, size);
  CheckReply(in, size == 0 ? 0 : in[size - 1] % 40);
  if (size >= 2) CheckRequest(static_cast<std::uint16_t>(in[0] << 8 | in[1]), in.subspan(2));
  return 0;
}
