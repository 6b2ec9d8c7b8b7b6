// The device's frame handling: requests as the host stuffs them, replies as the host
// expects them, and cutting frames out of the byte stream.
#include <gtest/gtest.h>

#include "sim/device_frame.h"
#include "test_frames.h"

namespace rivelo::simtest {
namespace {

using sim::ParseRequest;
using sim::RequestAssembler;

TEST(DeviceFrame, WorkedRequestsAndReplies) {
  auto r = ParseRequest(Hex("AA DD 00 08 03 01 05 AA 00 BB CC DD 07"));  // stuffed data byte
  ASSERT_TRUE(r);
  EXPECT_EQ(r->code, 0x301);
  EXPECT_EQ(r->data, Hex("05 AA BB CC DD"));
  EXPECT_TRUE(r->checksumOk);
  EXPECT_FALSE(ParseRequest(Hex("AA DD 00 03 01 0C 0E"))->checksumOk);
  EXPECT_FALSE(ParseRequest(Hex("AA DD 00 03 01 0C")));  // a byte short
  EXPECT_FALSE(ParseRequest(Hex("AA DD 00 02 01 0C")));  // length below 3

  EXPECT_EQ(sim::BuildReply(0x10C, 0, Hex("01 02 03 04 05")), Hex("AA DD 00 09 01 0C 00 01 02 03 04 05 0C"));
  // A payload AA and a checksum AA (01 ^ 00 ^ 00 ^ AA ^ 01) are both stuffed.
  EXPECT_EQ(sim::BuildReply(0x100, 0, Hex("AA 01")), Hex("AA DD 00 06 01 00 00 AA 00 01 AA 00"));
}

TEST(RequestAssembler, CutsFramesOutOfAStream) {
  RequestAssembler a;
  const Bytes one = RequestFrame(0x10C, {});
  const Bytes two = RequestFrame(0x301, Hex("05 AA BB CC DD"));
  // Noise, a lone AA and a false header with an impossible length before the frames.
  Bytes stream = Hex("13 AA 55 AA DD FF FF");
  stream.insert(stream.end(), one.begin(), one.end());
  stream.insert(stream.end(), two.begin(), two.end());
  std::vector<Bytes> frames;
  for (const auto b : stream)  // byte by byte, as a slow line delivers them
    for (auto& f : a.Push(Bytes{b})) frames.push_back(f);
  EXPECT_EQ(frames, (std::vector<Bytes>{one, two}));
  EXPECT_FALSE(a.Pending());
  stream.insert(stream.end(), one.begin(), one.end());
  EXPECT_EQ(a.Push(stream).size(), 3u);  // all in one read
}

TEST(RequestAssembler, WaitsForTheStuffedByteAfterAFinalAa) {
  const Bytes frame = RequestFrame(0x201, Hex("00 AA 03"));  // checksum AA
  ASSERT_EQ(frame[frame.size() - 2], 0xAA);
  RequestAssembler a;
  EXPECT_TRUE(a.Push(Bytes(frame.begin(), frame.end() - 1)).empty());
  EXPECT_EQ(a.Push(Bytes{0x00}), std::vector<Bytes>{frame});
}

TEST(ReaderProtocol, IdentifiesItselfAndRecordsSignals) {
  sim::VirtualReader r;
  const auto id = Send(r, 0x102);
  ASSERT_TRUE(id.ok());
  EXPECT_EQ(std::string(id.reply.payload.begin(), id.reply.payload.end()), "ID card reader & writer");
  for (const Bytes& ack : {Bytes{10}, Bytes{20}}) EXPECT_TRUE(Send(r, 0x103, ack).ok());
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

TEST(ReaderProtocol, SilentOnABadChecksumFailureOnAnUnknownCommand) {
  sim::VirtualReader r;
  r.AddTag("t5577");
  Bytes bad = RequestFrame(0x201, Hex("02 00 11 22 33 44 01"));
  bad.back() ^= 0x01;
  EXPECT_TRUE(r.Respond(bad).bytes.empty());
  EXPECT_EQ(r.Memory(1)->words[1], 0u);  // nothing was written
  EXPECT_TRUE(r.Respond(Hex("01 02 03")).bytes.empty());
  const auto unknown = Send(r, 0x1FF);
  EXPECT_TRUE(unknown.failed());
  EXPECT_EQ(unknown.reply.code, 0x1FF);
}

}  // namespace
}  // namespace rivelo::simtest
