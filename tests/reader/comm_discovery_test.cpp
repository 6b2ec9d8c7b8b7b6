// The serial port object and finding the reader, through real pseudo-terminals.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "tests/reader/fake_device.h"

namespace rivelo {
namespace {

using test::Bytes;
using test::FakeDevice;
using test::WireReply;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(SerialPort, ReadLengthNeedsAnOpenPort) {
  CMyComm comm;
  EXPECT_EQ(comm.SetReadLength(200, 0), 0);
  EXPECT_EQ(comm.ReadLength(), DefaultReadLength);
  FakeDevice device;
  ASSERT_EQ(comm.Open(device.Path(), ReaderBaudRate), 1);
  EXPECT_EQ(comm.SetReadLength(200, 0), 1);
  EXPECT_EQ(comm.ReadLength(), 200);
  comm.Close();
  EXPECT_EQ(comm.SetReadLength(50, 0), 0);
  EXPECT_EQ(comm.ReadLength(), 200);  // survives Close, and Open does not change it
  ASSERT_EQ(comm.Open(device.Path(), ReaderBaudRate), 1);
  EXPECT_EQ(comm.ReadLength(), 200);
}

TEST(SerialPort, OpenFailuresAndExclusiveUse) {
  CMyComm comm;
  EXPECT_EQ(comm.Open("/dev/rivelo-no-such-port", ReaderBaudRate), 0);
  EXPECT_FALSE(comm.IsOpen());
  EXPECT_NE(comm.Close(), 0);  // closing a closed port changes nothing

  FakeDevice device;
  ASSERT_EQ(comm.Open(device.Path(), ReaderBaudRate), 1);
  CMyComm other;
  EXPECT_EQ(other.Open(device.Path(), ReaderBaudRate), 0) << "the reader must not be shared";
  // Opening again over an open handle replaces it instead of leaking it.
  ASSERT_EQ(comm.Open(device.Path(), ReaderBaudRate), 1);
  comm.Close();
  EXPECT_EQ(other.Open(device.Path(), ReaderBaudRate), 1);
}

TEST(SerialPort, OpenSaysWhyItFailed) {
  CMyComm comm;
  EXPECT_EQ(comm.Open("/dev/rivelo-no-such-port", ReaderBaudRate), 0);
  EXPECT_EQ(comm.LastOpenFailure(), OpenFailure::NoSuchPort);
  EXPECT_FALSE(SystemErrorText(comm.LastOpenError()).empty());
  EXPECT_EQ(comm.Open("/dev/null/ttyS0", ReaderBaudRate), 0);
  EXPECT_EQ(comm.LastOpenFailure(), OpenFailure::NoSuchPort);
  EXPECT_EQ(comm.Open(::testing::TempDir(), ReaderBaudRate), 0);
  EXPECT_EQ(comm.LastOpenFailure(), OpenFailure::NotAPort);
  EXPECT_EQ(comm.Open("/dev/null", ReaderBaudRate), 0);
  EXPECT_EQ(comm.LastOpenFailure(), OpenFailure::NotAPort);

  FakeDevice device;
  ASSERT_EQ(comm.Open(device.Path(), ReaderBaudRate), 1);
  EXPECT_EQ(comm.LastOpenFailure(), OpenFailure::None);
  CMyComm other;
  EXPECT_EQ(other.Open(device.Path(), ReaderBaudRate), 0);
  EXPECT_EQ(other.LastOpenFailure(), OpenFailure::Busy);
  EXPECT_NE(other.LastOpenError(), 0);
}

TEST(SerialPort, SilentDeviceGivesAnEmptyReply) {
  FakeDevice device;
  CMyComm comm;
  ASSERT_EQ(comm.Open(device.Path(), ReaderBaudRate), 1);
  comm.SetReadLength(50, 0);
  device.Script(std::nullopt);
  const Bytes request = {0xAA, 0xDD, 0x00, 0x03, 0x01, 0x0C, 0x0D};
  std::array<std::uint8_t, 1024> reply{};
  int length = -1;
  EXPECT_EQ(comm.Transact(request, reply, &length), 1);
  EXPECT_EQ(length, 0);
}

TEST(SerialPort, TransactOnAClosedPortFailsWithoutTouchingTheLength) {
  CMyComm comm;
  const Bytes request = {0xAA, 0xDD, 0x00, 0x03, 0x01, 0x0C, 0x0D};
  std::array<std::uint8_t, 16> reply{};
  int length = 77;
  const int r = comm.Transact(request, reply, &length);
  EXPECT_NE(r, 1);
  EXPECT_NE(r, 0);
  EXPECT_EQ(length, 77);
}

TEST(SerialPort, BothReplyEndsReadTheSameBytes) {
  FakeDevice device;
  CMyComm comm;
  ASSERT_EQ(comm.Open(device.Path(), ReaderBaudRate), 1);
  const Bytes request = {0xAA, 0xDD, 0x00, 0x03, 0x01, 0x0C, 0x0D};
  const Bytes answer = WireReply(0x10C, 0, {0xAA, 1, 2, 3, 4});
  for (ReplyEnd end : {ReplyEnd::Gap, ReplyEnd::Frame}) {
    comm.SetReplyEnd(end);
    device.Script(answer);
    std::array<std::uint8_t, 1024> reply{};
    int length = 0;
    ASSERT_EQ(comm.Transact(request, reply, &length), 1);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + length), answer);
  }
}

TEST(SerialPort, BytesTrailingAWholeFrameStillSpoilTheReply) {
  FakeDevice device;
  CMyComm comm;
  ASSERT_EQ(comm.Open(device.Path(), ReaderBaudRate), 1);
  ASSERT_EQ(comm.GetReplyEnd(), ReplyEnd::Frame);
  const Bytes request = {0xAA, 0xDD, 0x00, 0x03, 0x01, 0x0C, 0x0D};
  Bytes answer = WireReply(0x10C, 0, {1, 2, 3, 4, 5});
  const std::size_t frameLength = answer.size();
  answer.insert(answer.end(), {0x42, 0x43});
  device.Script(answer);
  std::array<std::uint8_t, 1024> reply{};
  int length = 0;
  ASSERT_EQ(comm.Transact(request, reply, &length), 1);
  EXPECT_GT(length, static_cast<int>(frameLength));
}

class Discovery : public ::testing::Test {
 protected:
  void TearDown() override { DisconnectDevice(); }
};

TEST_F(Discovery, AcceptsTheReaderTextItsLeadingPartAndAnEmptyText) {
  for (const std::string& text : {std::string("ID card reader & writer"), std::string("ID card"), std::string()}) {
    FakeDevice device;
    device.Script(WireReply(0x102, 0, Text(text)));
    EXPECT_EQ(IdentifyReader(device.Path(), 0), 1) << "'" << text << "'";
    EXPECT_TRUE(PortTable[0].IsOpen());
    EXPECT_EQ(PortTable[0].ReadLength(), DefaultReadLength);
    ClosePort(0);
  }
}

TEST_F(Discovery, RefusesOtherDevices) {
  FakeDevice other;
  other.Script(WireReply(0x102, 0, Text("GPS receiver")));
  EXPECT_EQ(IdentifyReader(other.Path(), 0), 0);
  EXPECT_FALSE(PortTable[0].IsOpen());

  // The reader's text followed by more than the 30-byte buffer holds.
  FakeDevice longer;
  Bytes tooLong = Text("ID card reader & writer");
  tooLong.resize(31, 0);
  longer.Script(WireReply(0x102, 0, tooLong));
  EXPECT_EQ(IdentifyReader(longer.Path(), 0), 0);

  EXPECT_EQ(IdentifyReader("/dev/rivelo-no-such-port", 0), 0);
}

TEST_F(Discovery, ConnectTakesTheFirstReaderAndAFailureClearsTheFlag) {
  FakeDevice other, reader1, reader2;
  other.Script(WireReply(0x102, 0, Text("modem")));
  reader1.Script(WireReply(0x102, 0, Text("ID card reader & writer")));
  const ConnectResult r = ConnectDevice({"/dev/rivelo-no-such-port", other.Path(), reader1.Path(), reader2.Path()});
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.port, reader1.Path());
  EXPECT_EQ(IsDeviceConnected(), 1);
  EXPECT_TRUE(reader2.Requests().empty());

  // A second connect closes the open port and scans from the first port again.
  reader1.Script(WireReply(0x102, 0, Text("ID card reader & writer")));
  EXPECT_TRUE(ConnectDevice({reader1.Path()}).found);
  EXPECT_EQ(reader1.Requests().size(), 2u);

  // A failed reconnect leaves slot 0 closed, so the flag must not claim a reader.
  other.Script(WireReply(0x102, 0, Text("modem")));
  EXPECT_FALSE(ConnectDevice({other.Path()}).found);
  EXPECT_FALSE(PortTable[0].IsOpen());
  EXPECT_EQ(IsDeviceConnected(), 0);

  EXPECT_FALSE(ConnectDevice({}).found);
}

TEST_F(Discovery, ConnectSaysWhyEachPortGaveNoReader) {
  FakeDevice other, silent, garbled, reader;
  other.Script(WireReply(0x102, 0, Text("modem")));
  silent.Script(std::nullopt);
  Bytes bad = WireReply(0x102, 0, Text("ID card reader & writer"));
  bad.back() ^= 1;
  garbled.Script(bad);
  CMyComm holder;
  ASSERT_EQ(holder.Open(reader.Path(), ReaderBaudRate), 1);
  const ConnectResult r =
      ConnectDevice({"/dev/rivelo-no-such-port", other.Path(), silent.Path(), garbled.Path(), reader.Path()});
  EXPECT_FALSE(r.found);
  ASSERT_EQ(r.refused.size(), 5u);
  EXPECT_EQ(r.refused[0].port, "/dev/rivelo-no-such-port");
  EXPECT_EQ(r.refused[0].open, OpenFailure::NoSuchPort);
  EXPECT_EQ(r.refused[1].open, OpenFailure::None);
  EXPECT_TRUE(r.refused[1].otherDevice);
  EXPECT_EQ(r.refused[2].reply, ReplyFailure::Silent);
  EXPECT_FALSE(r.refused[2].otherDevice);
  EXPECT_EQ(r.refused[3].reply, ReplyFailure::BadChecksum);
  EXPECT_EQ(r.refused[4].open, OpenFailure::Busy);
  EXPECT_TRUE(reader.Requests().empty());

  holder.Close();
  reader.Script(WireReply(0x102, 0, Text("ID card reader & writer")));
  const ConnectResult found = ConnectDevice({"/dev/rivelo-no-such-port", reader.Path()});
  EXPECT_TRUE(found.found);
  ASSERT_EQ(found.refused.size(), 1u);
}

TEST_F(Discovery, DisconnectWhileNotConnectedChangesNothing) {
  DisconnectDevice();
  EXPECT_EQ(IsDeviceConnected(), 0);
  EXPECT_FALSE(PortTable[0].IsOpen());
}

}  // namespace
}  // namespace rivelo
