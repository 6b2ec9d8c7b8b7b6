// The Win32 serial port against the other end of a linked COM pair, played by the test.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "reader/my_comm.h"
#include "reader/reply_frame.h"
#include "reader/serial_os.h"
#include "tests/win32/com_pair.h"

namespace rivelo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A whole reply frame: length 6, command 0x0102, status 0, payload 11 22, checksum 0x30.
const Bytes kReply{0xAA, 0xDD, 0x00, 0x06, 0x01, 0x02, 0x00, 0x11, 0x22, 0x30};

class ComPairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto pair = test::ComPair();
    if (!pair) GTEST_SKIP() << "RIVELO_TEST_COM_PAIR names no linked COM ports";
    host_ = pair->first;
    ASSERT_TRUE(device_.Open(pair->second, ReaderBaudRate));
  }

  Bytes DeviceRead(int totalMs) {
    Bytes buf(1024);
    int got = 0;
    ReadBudget budget;
    budget.totalMs = totalMs;
    EXPECT_EQ(device_.Read(buf, budget, {}, &got), 1);
    buf.resize(static_cast<std::size_t>(got));
    return buf;
  }

  std::string host_;
  OsSerial device_;
};

// Wine opens serial devices without enforcing the no-sharing request; Windows refuses.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST_F(ComPairTest, OpenIsExclusiveAndCloseReleasesThePort) {
  OsSerial first, second;
  ASSERT_TRUE(first.Open(host_, ReaderBaudRate));
  if (!UnderWine()) {
    EXPECT_FALSE(second.Open(host_, ReaderBaudRate));
  }
  second.Close();
  EXPECT_NE(first.Close(), 0);
  EXPECT_FALSE(first.IsOpen());
  EXPECT_NE(first.Close(), 0);  // closing again changes nothing
  EXPECT_TRUE(second.Open(host_, ReaderBaudRate));
  OsSerial missing;
  EXPECT_FALSE(missing.Open("COM199", ReaderBaudRate));
  EXPECT_FALSE(missing.Open("", ReaderBaudRate));
}

TEST_F(ComPairTest, ClosedPortReportsErrorsNeverSuccess) {
  OsSerial closed;
  const Bytes request{1, 2, 3};
  EXPECT_NE(closed.Write(request, 100), 1);
  Bytes buf(8);
  int got = -1;
  EXPECT_NE(closed.Read(buf, ReadBudget{}, {}, &got), 1);
  EXPECT_EQ(got, 0);
}

// Both ways a reply may end: after the gap, and as soon as the frame is whole.
class TransactTest : public ComPairTest, public ::testing::WithParamInterface<ReplyEnd> {};

TEST_P(TransactTest, RequestGoesOutWholeAndReplyComesBack) {
  CMyComm host;
  ASSERT_EQ(host.Open(host_, ReaderBaudRate), 1);
  host.SetReplyEnd(GetParam());
  const Bytes request{0xAA, 0xDD, 0x00, 0x03, 0x01, 0x02, 0x03};
  Bytes seen;
  std::thread device([&] {
    seen = DeviceRead(2000);
    device_.Write(kReply, 1000);
  });
  Bytes reply(1024);
  int length = -1;
  EXPECT_EQ(host.Transact(request, reply, &length), 1);
  device.join();
  EXPECT_EQ(seen, request);
  reply.resize(static_cast<std::size_t>(std::max(length, 0)));
  EXPECT_EQ(reply, kReply);
}

TEST_P(TransactTest, SilentDeviceGivesSuccessWithNoBytes) {
  CMyComm host;
  ASSERT_EQ(host.Open(host_, ReaderBaudRate), 1);
  host.SetReplyEnd(GetParam());
  ASSERT_EQ(host.SetReadLength(50, 0), 1);
  const Bytes request{0x01};
  Bytes reply(16);
  int length = -1;
  EXPECT_EQ(host.Transact(request, reply, &length), 1);
  EXPECT_EQ(length, 0);
}

INSTANTIATE_TEST_SUITE_P(ReplyEnds, TransactTest, ::testing::Values(ReplyEnd::Gap, ReplyEnd::Frame),
                         [](const auto& param) { return param.param == ReplyEnd::Gap ? "Gap" : "Frame"; });

// A pause on the line ends the burst, with or without a frame test; a whole frame ends it
// too and takes what already waits behind it.
TEST_F(ComPairTest, PauseEndsTheBurstAndTheRestComesNextRead) {
  OsSerial host;
  ASSERT_TRUE(host.Open(host_, ReaderBaudRate));
  const ReplyComplete never = [](std::span<const std::uint8_t>) { return false; };
  for (const ReplyComplete& complete : {ReplyComplete{}, never}) {
    std::thread device([&] {
      device_.Write(Bytes{1, 2, 3}, 1000);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      device_.Write(Bytes{4, 5}, 1000);
    });
    Bytes buf(16);
    int got = 0;
    EXPECT_EQ(host.Read(buf, ReadBudget{}, complete, &got), 1);
    EXPECT_EQ(Bytes(buf.begin(), buf.begin() + got), (Bytes{1, 2, 3}));
    EXPECT_EQ(host.Read(buf, ReadBudget{}, complete, &got), 1);
    EXPECT_EQ(Bytes(buf.begin(), buf.begin() + got), (Bytes{4, 5}));
    device.join();
  }
}

TEST_F(ComPairTest, WholeFrameTakesTrailingBytesAndReadStopsAtMaxBytes) {
  OsSerial host;
  ASSERT_TRUE(host.Open(host_, ReaderBaudRate));
  Bytes sent = kReply;
  sent.push_back(0x55);
  ASSERT_EQ(device_.Write(sent, 1000), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // all of it queued
  Bytes buf(32);
  int got = 0;
  EXPECT_EQ(host.Read(buf, ReadBudget{}, IsWholeReplyFrame, &got), 1);
  EXPECT_EQ(Bytes(buf.begin(), buf.begin() + got), sent);

  ASSERT_EQ(device_.Write(kReply, 1000), 1);
  ReadBudget four;
  four.maxBytes = 4;
  EXPECT_EQ(host.Read(buf, four, {}, &got), 1);
  EXPECT_EQ(Bytes(buf.begin(), buf.begin() + got), Bytes(kReply.begin(), kReply.begin() + 4));
}

}  // namespace
}  // namespace rivelo
