#include <gtest/gtest.h>

#include <vector>

#include "reader/my_data.h"
#include "reader/reply_frame.h"

namespace rivelo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Request(std::uint16_t code, const Bytes& data) {
  CMyData frame(code, data);
  auto r = frame.Request();
  return Bytes(r.begin(), r.end());
}

CMyData WithReply(const Bytes& raw) {
  CMyData frame(0x10C);
  frame.SetRawReply(raw);
  return frame;
}

TEST(RequestFrame, WorkedExamples) {
  EXPECT_EQ(Request(0x10C, {}), (Bytes{0xAA, 0xDD, 0x00, 0x03, 0x01, 0x0C, 0x0D}));
  EXPECT_EQ(Request(0x204, {0x02, 0x01}), (Bytes{0xAA, 0xDD, 0x00, 0x05, 0x02, 0x04, 0x02, 0x01, 0x05}));
  EXPECT_EQ(Request(0x301, {0x05, 0xAA, 0xBB, 0xCC, 0xDD}),
            (Bytes{0xAA, 0xDD, 0x00, 0x08, 0x03, 0x01, 0x05, 0xAA, 0x00, 0xBB, 0xCC, 0xDD, 0x07}));
}

TEST(RequestFrame, StuffsChecksumAndLengthBytes) {
  // Checksum 0xAA: command 0x1AB ^ data 0x01 -> 0x01 ^ 0xAB ^ 0x00... choose data so XOR is 0xAA.
  const Bytes r = Request(0x0100, {0xAB});
  ASSERT_EQ(r.back(), 0x00);
  EXPECT_EQ(r[r.size() - 2], 0xAA);

  // n = 167 makes the length 0xAA: sent as AA 00.
  const Bytes big = Request(0x0201, Bytes(167, 0x11));
  EXPECT_EQ(big[2], 0x00);
  EXPECT_EQ(big[3], 0xAA);
  EXPECT_EQ(big[4], 0x00);
  EXPECT_EQ(big[5], 0x02);

  // Every data byte 0xAA: the worst case still fits the buffer.
  CMyData worst(0x0201, Bytes(MaxRequestData, 0xAA));
  EXPECT_LE(worst.RequestLength(), static_cast<int>(FrameBufferSize));
  EXPECT_EQ(worst.RequestLength(), static_cast<int>(2 * MaxRequestData + 7));
}

TEST(ReplyFrame, WorkedExampleGivesStatusAndPayload) {
  CMyData f = WithReply({0xAA, 0xDD, 0x00, 0x09, 0x01, 0x0C, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x0C});
  ASSERT_EQ(f.IsReplyValid(), 1);
  EXPECT_EQ(f.GetStatus(), 0);
  std::uint8_t out[5] = {};
  EXPECT_EQ(f.GetPayload(out), 5);
  EXPECT_EQ(Bytes(out, out + 5), (Bytes{1, 2, 3, 4, 5}));
}

TEST(ReplyFrame, UnstuffingDropsWhateverFollowsAA) {
  // Payload AA sent as AA 00, then as AA 7F: both unstuff to AA.
  for (std::uint8_t follower : {std::uint8_t{0x00}, std::uint8_t{0x7F}}) {
    CMyData f = WithReply({0xAA, 0xDD, 0x00, 0x05, 0x01, 0x0C, 0x00, 0xAA, follower, 0xA7});
    ASSERT_EQ(f.IsReplyValid(), 1) << int(follower);
    ASSERT_EQ(f.PayloadLength(), 1);
    EXPECT_EQ(f.Payload()[0], 0xAA);
  }
}

TEST(ReplyFrame, StatusAndEmptyPayload) {
  CMyData failed = WithReply({0xAA, 0xDD, 0x00, 0x04, 0x01, 0x0C, 0x01, 0x0C});
  ASSERT_EQ(failed.IsReplyValid(), 1);
  EXPECT_EQ(failed.GetStatus(), 1);
  EXPECT_EQ(failed.PayloadLength(), 0);
}

TEST(ReplyFrame, InvalidReplies) {
  const Bytes good = {0xAA, 0xDD, 0x00, 0x09, 0x01, 0x0C, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x0C};
  Bytes badSum = good;
  badSum.back() ^= 1;
  EXPECT_EQ(WithReply(badSum).IsReplyValid(), 0);
  EXPECT_EQ(WithReply({}).IsReplyValid(), 0);
  EXPECT_EQ(WithReply({0xAA, 0xDD}).IsReplyValid(), 0);
  // XOR right but too short to hold status and checksum: nothing unreceived is handed out.
  EXPECT_EQ(WithReply({0xAA, 0xDD, 0x00, 0x00, 0x00}).IsReplyValid(), 0);
  EXPECT_EQ(WithReply({0xAA, 0xDD, 0x00, 0x04, 0x01, 0x01}).IsReplyValid(), 0);
  // Length announces 5 payload bytes but only 3 arrived (checksum still right).
  EXPECT_EQ(WithReply({0xAA, 0xDD, 0x00, 0x09, 0x01, 0x0C, 0x00, 0x01, 0x02, 0x03, 0x0C ^ 0x01 ^ 0x02 ^ 0x03 ^ 0x01})
                .IsReplyValid(), 0);
  // Bytes trailing a whole reply spoil the checksum.
  Bytes trailing = good;
  trailing.push_back(0x33);
  EXPECT_EQ(WithReply(trailing).IsReplyValid(), 0);
  // An invalid reply gives neither status nor payload.
  CMyData f = WithReply(badSum);
  f.IsReplyValid();
  EXPECT_NE(f.GetStatus(), 0);
  EXPECT_EQ(f.PayloadLength(), 0);
}

TEST(ReplyFrame, SaysWhyAReplyIsNoReply) {
  const Bytes good = {0xAA, 0xDD, 0x00, 0x09, 0x01, 0x0C, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x0C};
  const auto failure = [](const Bytes& raw) {
    CMyData f = WithReply(raw);
    f.IsReplyValid();
    return f.Failure();
  };
  EXPECT_EQ(failure(good), ReplyFailure::None);
  EXPECT_EQ(failure({}), ReplyFailure::Silent);
  Bytes badSum = good;
  badSum.back() ^= 1;
  EXPECT_EQ(failure(badSum), ReplyFailure::BadChecksum);
  // Cut anywhere before its end, the frame is truncated, whatever its checksum says.
  for (std::size_t n = 2; n < good.size(); ++n) {
    const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(failure(cut), ReplyFailure::Truncated) << n;
  }
  EXPECT_EQ(failure({0xAA, 0xDD, 0x00, 0x09, 0x01, 0x0C, 0x00, 0x01, 0x02, 0x03, 0x0C ^ 0x01 ^ 0x02 ^ 0x03 ^ 0x01}),
            ReplyFailure::Truncated);
  // A good frame with stray bytes behind it, and bytes that are no frame at all.
  Bytes trailing = good;
  trailing.push_back(0x33);
  EXPECT_EQ(failure(trailing), ReplyFailure::Malformed);
  EXPECT_EQ(failure({0x55}), ReplyFailure::Malformed);
  Bytes noHeader = badSum;
  noHeader[1] = 0x00;
  EXPECT_EQ(failure(noHeader), ReplyFailure::Malformed);
  // Validity itself is unchanged by the diagnosis.
  CMyData f = WithReply(trailing);
  EXPECT_EQ(f.IsReplyValid(), 0);
  f.SetRawReply(good);
  EXPECT_EQ(f.IsReplyValid(), 1);
  EXPECT_EQ(f.Failure(), ReplyFailure::None);
}

TEST(ReplyFrame, TrailingBytesNeverMendADamagedFrame) {
  // Payload 01 arrived as 03 under the checksum of 01; the noise byte 02 behind the frame
  // brings the XOR over everything received to 0.
  CMyData f = WithReply({0xAA, 0xDD, 0x00, 0x05, 0x01, 0x0C, 0x00, 0x03, 0x0C, 0x02});
  EXPECT_EQ(f.IsReplyValid(), 0);
  EXPECT_EQ(f.Failure(), ReplyFailure::BadChecksum);
  EXPECT_EQ(f.PayloadLength(), 0);
}

TEST(ReplyFrame, ShortLengthFieldGivesNoPayload) {
  // A length of 3 (less than status + checksum) on an otherwise valid reply.
  CMyData f = WithReply({0xAA, 0xDD, 0x00, 0x03, 0x01, 0x0C, 0x00, 0x0D});
  ASSERT_EQ(f.IsReplyValid(), 1);
  EXPECT_EQ(f.PayloadLength(), 0);
}

TEST(WholeReplyFrame, RecognisesTheEndOfAFrame) {
  const Bytes good = {0xAA, 0xDD, 0x00, 0x09, 0x01, 0x0C, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x0C};
  for (std::size_t n = 0; n < good.size(); ++n)
    EXPECT_FALSE(IsWholeReplyFrame(std::span(good).first(n))) << n;
  EXPECT_TRUE(IsWholeReplyFrame(good));
  // A stuffed byte at the end is whole only with its stuffing byte.
  const Bytes stuffed = {0xAA, 0xDD, 0x00, 0x05, 0x01, 0x0C, 0x00, 0xAA, 0x00, 0xA7};
  EXPECT_TRUE(IsWholeReplyFrame(stuffed));
  const Bytes endsInAA = {0xAA, 0xDD, 0x00, 0x04, 0x01, 0x0C, 0xA6, 0xAA};
  EXPECT_FALSE(IsWholeReplyFrame(endsInAA));
  // Not a frame start: the read falls back to the silence gap.
  EXPECT_FALSE(IsWholeReplyFrame(Bytes{0x55, 0xDD, 0x00, 0x04, 0x01, 0x0C, 0x00, 0x0D}));
  EXPECT_FALSE(IsWholeReplyFrame(Bytes{0xAA, 0xDD, 0x00, 0x02, 0x01, 0x0C}));
}

}  // namespace
}  // namespace rivelo
