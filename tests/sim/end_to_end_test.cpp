// The virtual reader on a pseudo-terminal, reached through the host's own serial port and
// command functions.
#include <gtest/gtest.h>

#include <array>

#include "reader/commands.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "sim/final_state.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"

namespace rivelo::simtest {
namespace {

using sim::Fault;
using sim::FaultRule;

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    ASSERT_FALSE(server_.Path().empty());
  }
  void TearDown() override {
    ClosePort(ReaderPortIndex);
    server_.Stop();
  }
  bool Open() { return PortTable[ReaderPortIndex].Open(server_.Path(), ReaderBaudRate) == 1; }

  sim::VirtualReader reader_;
  sim::PtyServer server_{reader_};
};

TEST_F(EndToEnd, Em4100OntoT5577) {
  reader_.AddTag("t5577");
  ASSERT_TRUE(ConnectDevice({server_.Path()}).found);
  const std::array<std::uint8_t, 5> id{0x01, 0x23, 0x45, 0x67, 0x89};
  EXPECT_EQ(CmdT5577WriteEm4100(id, 0), ROk);
  EXPECT_EQ(CmdT5577ReadBlock(0, 0), ROk);
  std::array<std::uint8_t, T5577FetchMax> fetched{};
  int length = 0;
  ASSERT_EQ(CmdT5577FetchData(fetched, &length), SOk);
  ASSERT_EQ(length, 4);
  EXPECT_EQ((std::array<std::uint8_t, 4>{fetched[0], fetched[1], fetched[2], fetched[3]}),
            (std::array<std::uint8_t, 4>{0x00, 0x14, 0x80, 0x40}));
  std::array<std::uint8_t, 5> read{};
  ASSERT_EQ(CmdReadEm4100(read), SOk);
  EXPECT_EQ(read, id);
  EXPECT_EQ(PortTable[ReaderPortIndex].ReadLength(), DefaultReadLength);
}

TEST_F(EndToEnd, Em4100OntoEm4305) {
  reader_.AddTag("em4305");
  ASSERT_TRUE(Open());
  const std::array<std::uint8_t, 5> id{0x11, 0x22, 0x33, 0x44, 0x55};
  EXPECT_EQ(CmdEm4305WriteEm4100(id, 0), EOk);
  std::array<std::uint8_t, 5> read{};
  ASSERT_EQ(CmdReadEm4100(read), SOk);
  EXPECT_EQ(read, id);
  std::array<std::uint8_t, 4> word{};
  ASSERT_EQ(CmdEm4305ReadWord(5, word), EOk);
  EXPECT_EQ(word, (std::array<std::uint8_t, 4>{0xFF, 0x31, 0xA6, 0x94}));  // 94A631FF
  EXPECT_EQ(CmdEm4305ReadWord(2, word), EFail);
  // Word 15 cannot be named; words 5 and 6 can, and then refuse writes.
  const std::array<std::uint8_t, 2> words{5, 6};
  EXPECT_EQ(CmdEm4305Protect(words), EOk);
  EXPECT_EQ(CmdEm4305WriteWord(5, std::array<std::uint8_t, 4>{}), EFail);
}

TEST_F(EndToEnd, FdxbRecordOntoT5577) {
  reader_.AddTag("t5577");
  ASSERT_TRUE(Open());
  const std::array<std::uint8_t, 5> national{0x00, 0x00, 0x01, 0xB6, 0x69};
  const std::array<std::uint8_t, 2> country{0x03, 0xE7};
  const std::array<std::uint8_t, 3> trailer{0x12, 0x34, 0x56};
  EXPECT_EQ(CmdT5577WriteFdxb(national, country, trailer), ROk);
  std::array<std::uint8_t, 5> n{};
  std::array<std::uint8_t, 2> c{};
  std::array<std::uint8_t, 3> t{};
  ASSERT_EQ(CmdReadFdxb(n, c, t), SOk);
  EXPECT_EQ(n, national);
  EXPECT_EQ(c, country);
  EXPECT_EQ(t, trailer);
  std::array<std::uint8_t, 3> hid{};
  EXPECT_EQ(CmdReadHid(hid), SFailStatus);
}

TEST_F(EndToEnd, LineSurvivesReopeningAndStaysExclusive) {
  reader_.AddTag("em4100:0102030405");
  reader_.SetPacing(sim::Pacing::Burst);
  std::array<std::uint8_t, 5> read{};
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(Open());
    CMyComm second;
    EXPECT_EQ(second.Open(server_.Path(), ReaderBaudRate), 0);  // held by slot 0
    ASSERT_EQ(CmdReadEm4100(read), SOk) << "round " << round;
    EXPECT_EQ(read, (std::array<std::uint8_t, 5>{1, 2, 3, 4, 5}));
    ClosePort(ReaderPortIndex);
  }
}

TEST_F(EndToEnd, HostSeesTheInjectedFaults) {
  reader_.AddTag("em4100:0102030405");
  ASSERT_TRUE(Open());
  std::array<std::uint8_t, 5> read{};
  FaultRule rule{Fault::BadChecksum};
  rule.times = 1;
  reader_.SetCommandFault(0x10C, rule);
  EXPECT_EQ(CmdReadEm4100(read), SNoReply);
  EXPECT_EQ(CmdReadEm4100(read), SOk);

  rule.fault = Fault::Truncated;
  rule.times = 1;
  reader_.SetCommandFault(0x10C, rule);
  EXPECT_EQ(CmdReadEm4100(read), SNoReply);

  // Silence costs the read budget (250 ms for this command), so only once.
  rule.fault = Fault::NoAnswer;
  rule.times = 1;
  reader_.SetCommandFault(0x10C, rule);
  EXPECT_EQ(CmdReadEm4100(read), SNoReply);
  EXPECT_EQ(CmdReadEm4100(read), SOk);

  // A reply later than the host waits is dropped once the next request comes, so it can
  // never be taken for the answer to that one.
  rule.fault = Fault::Late;
  rule.lateMs = 600;
  rule.times = 1;
  reader_.SetCommandFault(0x104, rule);
  EXPECT_EQ(CmdReportResult(ResultIndicationSuccess), RNoReply);  // 50 ms budget
  std::array<std::uint8_t, 64> info{};
  int length = 0;
  ASSERT_EQ(CmdGetDeviceInfo(info, &length), ROk);
  EXPECT_EQ(length, 23);
  EXPECT_EQ(reader_.GetCounters().resultSignals, 1);
}

TEST_F(EndToEnd, AcknowledgementOfAWriteFeedsTheNextBlank) {
  reader_.SetFeeder("t5577", 2, 0);
  const auto first = reader_.TagOnReader();
  ASSERT_TRUE(first);
  ASSERT_TRUE(Open());
  EXPECT_EQ(CmdAcknowledge(AcknowledgeNormal), ROk);  // as after a connect: the blank stays
  EXPECT_EQ(reader_.TagOnReader(), first);
  EXPECT_EQ(CmdT5577WriteEm4100(std::array<std::uint8_t, 5>{0, 0, 0, 0, 1}, 0), ROk);
  EXPECT_EQ(CmdAcknowledge(AcknowledgeNormal), ROk);
  const auto second = reader_.TagOnReader();
  ASSERT_TRUE(second);
  EXPECT_NE(*second, *first);
  std::array<std::uint8_t, 5> read{};
  EXPECT_EQ(CmdReadEm4100(read), SFailStatus);  // a blank
  EXPECT_EQ(reader_.Info(*first)->identity, "EM4100 0000000001");
  // The stack is empty: the last written tag stays.
  EXPECT_EQ(CmdT5577WriteEm4100(std::array<std::uint8_t, 5>{0, 0, 0, 0, 2}, 0), ROk);
  EXPECT_EQ(CmdAcknowledge(AcknowledgeNormal), ROk);
  EXPECT_EQ(reader_.TagOnReader(), second);
}

// An access-control image written with the raw block commands, password mode first so that
// the data blocks go through the password write: the virtual reader holds every block as
// written and its own decoder names the card (HID H10304 FC 22602 CN 89248).
TEST_F(EndToEnd, RawBlockImageIsHeldAsWrittenAndNamed) {
  reader_.AddTag("t5577");
  ASSERT_TRUE(Open());
  const auto be = [](std::uint32_t v) {
    return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                                       static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  };
  const std::uint32_t image[] = {0x00107070, 0x1D555566, 0x95659959, 0x9A966555};
  const auto password = be(0x51243648);
  ASSERT_EQ(CmdT5577WriteBlock(0, 7, 0, password), ROk);
  ASSERT_EQ(CmdT5577WriteBlock(0, 0, 0, be(image[0])), ROk);
  for (int b = 1; b < 4; ++b) EXPECT_EQ(CmdT5577WriteBlockPwd(0, b, 0, be(image[b]), password), ROk) << b;
  const sim::ReaderState state = reader_.State();
  ASSERT_EQ(state.tags.size(), 1u);
  ASSERT_TRUE(state.tags[0].memory);
  for (std::size_t b = 0; b < 4; ++b) EXPECT_EQ(state.tags[0].memory->words[b], image[b]) << b;
  EXPECT_EQ(state.tags[0].blockFormat, "HID H10304 22602:89248");
  EXPECT_NE(sim::StateText(state).find("\n  blocks hold HID H10304 22602:89248\n"), std::string::npos);
}

}  // namespace
}  // namespace rivelo::simtest
