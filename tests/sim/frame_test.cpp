// The device's frame handling: requests as the host stuffs them, replies as the host
// expects them, and cutting frames out of the byte stream.
#include <gtest/gtest.h>

#include "sim/device_frame.h"
#include "test_frames.h"

namespace rivelo::simtest {
namespace {

using sim::ParseRequest;
using sim::RequestAssembler;

TEST(DeviceFrame, ParsesTheWorkedRequests) {
  auto r = ParseRequest(Hex("AA DD 00 03 01 0C 0D"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->code, 0x10C);
  EXPECT_TRUE(r->data.empty());
  EXPECT_TRUE(r->checksumOk);

  // The data byte 0xAA arrives stuffed; the checksum is over the unstuffed bytes.
  r = ParseRequest(Hex("AA DD 00 08 03 01 05 AA 00 BB CC DD 07"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->code, 0x301);
  EXPECT_EQ(r->data, Hex("05 AA BB CC DD"));
  EXPECT_TRUE(r->checksumOk);
}

TEST(DeviceFrame, RejectsBrokenRequests) {
  EXPECT_FALSE(ParseRequest(Hex("AA DE 00 03 01 0C 0D")));  // header
  EXPECT_FALSE(ParseRequest(Hex("AA DD 00 03 01 0C")));     // a byte short
  EXPECT_FALSE(ParseRequest(Hex("AA DD 00 02 01 0C")));     // length below 3
  auto r = ParseRequest(Hex("AA DD 00 03 01 0C 0E"));
  ASSERT_TRUE(r);
  EXPECT_FALSE(r->checksumOk);
}

TEST(DeviceFrame, BuildsTheWorkedReplyAndStuffsEveryAa) {
  EXPECT_EQ(sim::BuildReply(0x10C, 0, Hex("01 02 03 04 05")), Hex("AA DD 00 09 01 0C 00 01 02 03 04 05 0C"));
  // Payload AA and a checksum of AA (01 ^ 00 ^ 00 ^ AA ^ 01) are both followed by 00; the
  // header is not.
  const Bytes reply = sim::BuildReply(0x100, 0, Hex("AA 01"));
  EXPECT_EQ(reply, Hex("AA DD 00 06 01 00 00 AA 00 01 AA 00"));
  const HostReply parsed = ParseReply(reply);
  EXPECT_TRUE(parsed.valid);
  EXPECT_EQ(parsed.payload, Hex("AA 01"));
  EXPECT_FALSE(ParseReply(sim::BuildReply(0x10C, 0, {}, true)).valid);
}

TEST(DeviceFrame, LongFrameWithStuffedLengthRoundTrips) {
  // 167 data bytes give the length 0xAA, sent as AA 00.
  const Bytes data(167, 0xAA);
  const Bytes wire = RequestFrame(0x201, data);
  EXPECT_EQ(wire[2], 0x00);
  EXPECT_EQ(wire[3], 0xAA);
  EXPECT_EQ(wire[4], 0x00);
  const auto r = ParseRequest(wire);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->data, data);
  EXPECT_TRUE(r->checksumOk);
}

TEST(RequestAssembler, CutsFramesOutOfAStream) {
  RequestAssembler a;
  const Bytes one = RequestFrame(0x10C, {});
  const Bytes two = RequestFrame(0x301, Hex("05 AA BB CC DD"));
  Bytes stream = Hex("13 37 AA 55");  // noise, including a lone AA, before the first header
  stream.insert(stream.end(), one.begin(), one.end());
  stream.insert(stream.end(), two.begin(), two.end());

  std::vector<Bytes> frames;
  for (const auto b : stream)  // byte by byte, as a slow line delivers them
    for (auto& f : a.Push(Bytes{b})) frames.push_back(f);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], one);
  EXPECT_EQ(frames[1], two);
  EXPECT_FALSE(a.Pending());

  // Both at once in one read.
  Bytes both = one;
  both.insert(both.end(), two.begin(), two.end());
  EXPECT_EQ(a.Push(both).size(), 2u);
}

TEST(RequestAssembler, WaitsForTheStuffedByteAfterAFinalAa) {
  // Data 00 AA 03 gives the checksum AA (02 01 ^ 00 ^ AA ^ 03 = AA): the frame ends only
  // after the 00 that follows it.
  const Bytes frame = RequestFrame(0x201, Hex("00 AA 03"));
  ASSERT_EQ(frame[frame.size() - 2], 0xAA);
  RequestAssembler a;
  EXPECT_TRUE(a.Push(Bytes(frame.begin(), frame.end() - 1)).empty());
  EXPECT_TRUE(a.Pending());
  const auto frames = a.Push(Bytes{0x00});
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], frame);
}

TEST(RequestAssembler, SkipsAFalseHeaderWithAnImpossibleLength) {
  RequestAssembler a;
  Bytes stream = Hex("AA DD FF FF");  // length 0xFFFF cannot be a request
  const Bytes good = RequestFrame(0x102, {});
  stream.insert(stream.end(), good.begin(), good.end());
  const auto frames = a.Push(stream);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], good);
}

TEST(ReaderProtocol, IdentifiesItselfAndRecordsSignals) {
  sim::VirtualReader r;
  const auto id = Send(r, 0x102);
  ASSERT_TRUE(id.ok());
  EXPECT_EQ(std::string(id.reply.payload.begin(), id.reply.payload.end()), "ID card reader & writer");
  EXPECT_EQ(id.reply.code, 0x102);

  EXPECT_TRUE(Send(r, 0x103, {10}).ok());
  EXPECT_TRUE(Send(r, 0x103, {20}).ok());
  EXPECT_TRUE(Send(r, 0x104, {2}).ok());
  EXPECT_TRUE(Send(r, 0x107, {0x2A}).ok());
  EXPECT_TRUE(Send(r, 0x103, {}).failed());  // value byte missing: not recorded
  const sim::Counters c = r.GetCounters();
  EXPECT_EQ(c.acknowledgements, 2);
  EXPECT_EQ(c.lastAcknowledge, 20);
  EXPECT_EQ(c.resultSignals, 1);
  EXPECT_EQ(c.lastResult, 2);
  EXPECT_EQ(c.readMode, 0x2A);
  EXPECT_EQ(c.requests, 6);
}

TEST(ReaderProtocol, StaysSilentOnABadChecksumAndFailsUnknownCommands) {
  sim::VirtualReader r;
  ASSERT_GE(r.AddTag("t5577"), 0);
  Bytes bad = RequestFrame(0x201, Hex("02 00 11 22 33 44 01"));
  bad.back() ^= 0x01;
  EXPECT_TRUE(r.Respond(bad).bytes.empty());
  EXPECT_EQ(r.Memory(1)->words[1], 0u);  // nothing was written
  EXPECT_TRUE(r.Respond(Hex("01 02 03")).bytes.empty());
  EXPECT_EQ(r.GetCounters().requests, 2);

  const auto unknown = Send(r, 0x1FF);
  EXPECT_TRUE(unknown.failed());
  EXPECT_EQ(unknown.reply.code, 0x1FF);
}

}  // namespace
}  // namespace rivelo::simtest
