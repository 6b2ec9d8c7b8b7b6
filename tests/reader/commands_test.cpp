// Every command's request bytes and result family, through a real pseudo-terminal.
#include <gtest/gtest.h>

#include <array>

#include "reader/commands.h"
#include "reader/my_comm.h"
#include "tests/reader/fake_device.h"

namespace rivelo {
namespace {

using test::Bytes;
using test::WireReply;

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(device.Path().empty());
    ASSERT_EQ(PortTable[0].Open(device.Path(), ReaderBaudRate), 1);
  }
  void TearDown() override { ClosePort(0); }
  void Ok(std::uint16_t code, const Bytes& payload = {}) { device.Script(WireReply(code, 0, payload)); }
  void Expect(std::uint16_t code, const Bytes& data) {
    const Bytes last = device.LastRequest();
    ASSERT_GE(last.size(), 7u);
    EXPECT_EQ(test::RequestCode(last), code);
    EXPECT_EQ(test::RequestData(last), data);
  }
  test::FakeDevice device;
};

TEST_F(Commands, RequestLayouts) {
  const std::array<std::uint8_t, 4> data{0x11, 0x22, 0x33, 0x44};
  const std::array<std::uint8_t, 4> pwd{0xA1, 0xB2, 0xC3, 0xD4};
  const std::array<std::uint8_t, 5> id{0x01, 0x23, 0x45, 0x67, 0x89};
  const std::array<std::uint8_t, 3> hid{0x76, 0x06, 0x43};
  const std::array<std::uint8_t, 12> record{0x00, 0x00, 0x01, 0x12, 0x33, 0x03, 0xE7, 0x01, 0x01, 0x0A, 0x0B, 0x0C};

  Ok(0x201); EXPECT_EQ(CmdT5577WriteBlock(1, 3, 0, data), ROk);
  Expect(0x201, {0x03, 0x00, 0x11, 0x22, 0x33, 0x44, 0x03});
  Ok(0x202); EXPECT_EQ(CmdT5577WriteBlockPwd(0, 5, 1, data, pwd), ROk);
  Expect(0x202, {0x02, 0xA1, 0xB2, 0xC3, 0xD4, 0x01, 0x11, 0x22, 0x33, 0x44, 0x05});
  Ok(0x203); EXPECT_EQ(CmdT5577Wake(pwd), ROk);
  Expect(0x203, {0xA1, 0xB2, 0xC3, 0xD4});
  Ok(0x204); EXPECT_EQ(CmdT5577ReadBlock(0, 7), ROk);
  Expect(0x204, {0x02, 0x07});
  Ok(0x205); EXPECT_EQ(CmdT5577ReadBlockPwd(1, 2, pwd), ROk);
  Expect(0x205, {0x03, 0xA1, 0xB2, 0xC3, 0xD4, 0x02});
  Ok(0x206); EXPECT_EQ(CmdT5577ReadPage(1), ROk);
  Expect(0x206, {0x03});
  Ok(0x207); EXPECT_EQ(CmdT5577Reset(), ROk);
  Expect(0x207, {});
  Ok(0x20C); EXPECT_EQ(CmdT5577WriteEm4100(id, 1), ROk);
  Expect(0x20C, {0x01, 0x01, 0x23, 0x45, 0x67, 0x89});
  Ok(0x20A); EXPECT_EQ(CmdT5577WriteFdxa(id), ROk);
  Expect(0x20A, {0x01, 0x23, 0x45, 0x67, 0x89});
  Ok(0x20D); EXPECT_EQ(CmdT5577WriteHid(hid), ROk);
  Expect(0x20D, {0x76, 0x06, 0x43});
  Ok(0x20B); EXPECT_EQ(CmdT5577WriteFdxb(record), ROk);
  Expect(0x20B, {0x00, 0x00, 0x01, 0x12, 0x33, 0x03, 0xE7, 0x01, 0x01, 0x0A, 0x0B, 0x0C});
  Ok(0x30B); EXPECT_EQ(CmdEm4305WriteFdxb(record), EOk);
  Expect(0x30B, {0x00, 0x00, 0x01, 0x12, 0x33, 0x03, 0xE7, 0x01, 0x01, 0x0A, 0x0B, 0x0C});
  Ok(0x30C); EXPECT_EQ(CmdEm4305WriteEm4100(id, 0), EOk);
  Expect(0x30C, {0x00, 0x01, 0x23, 0x45, 0x67, 0x89});
  Ok(0x301); EXPECT_EQ(CmdEm4305WriteWord(5, std::array<std::uint8_t, 4>{0xAA, 0xBB, 0xCC, 0xDD}), EOk);
  Expect(0x301, {0x05, 0xAA, 0xBB, 0xCC, 0xDD});
  Ok(0x303); EXPECT_EQ(CmdEm4305Login(pwd), EOk);
  Expect(0x303, {0xA1, 0xB2, 0xC3, 0xD4});
  Ok(0x305); EXPECT_EQ(CmdEm4305Disable(), EOk);
  Expect(0x305, {});
  Ok(0x107); EXPECT_EQ(CmdSetReadMode(0x135), ROk);  // only the low byte is sent
  Expect(0x107, {0x35});
  Ok(0x103); EXPECT_EQ(CmdAcknowledge(10), ROk);
  Expect(0x103, {0x0A});
  Ok(0x104); EXPECT_EQ(CmdReportResult(2), ROk);
  Expect(0x104, {0x02});
}

TEST_F(Commands, ProtectMaskAndRefusal) {
  const std::uint8_t words[] = {0, 14};
  Ok(0x304);
  EXPECT_EQ(CmdEm4305Protect(words), EOk);
  Expect(0x304, {0x01, 0x40, 0x00, 0x00});
  Ok(0x304);
  EXPECT_EQ(CmdEm4305Protect({}), EOk);
  Expect(0x304, {0x00, 0x00, 0x00, 0x00});

  const auto before = device.Requests().size();
  const std::uint8_t withFifteen[] = {3, 15, 4};
  EXPECT_EQ(CmdEm4305Protect(withFifteen), EBadWordNumber);
  EXPECT_EQ(device.Requests().size(), before);
}

TEST_F(Commands, FamilySResults) {
  std::array<std::uint8_t, 5> id{};
  Ok(0x10C, {0x01, 0x23, 0x45, 0x67, 0x89});
  EXPECT_EQ(CmdReadEm4100(id), SOk);
  EXPECT_EQ(id, (std::array<std::uint8_t, 5>{0x01, 0x23, 0x45, 0x67, 0x89}));

  std::array<std::uint8_t, 5> untouched{9, 9, 9, 9, 9};
  device.Script(WireReply(0x10C, 1, {}));
  EXPECT_EQ(CmdReadEm4100(untouched), SFailStatus);
  Bytes bad = WireReply(0x10C, 0, {1, 2, 3, 4, 5});
  bad.back() ^= 0x40;
  device.Script(bad);
  EXPECT_EQ(CmdReadEm4100(untouched), SNoReply);
  // A payload shorter than the identity is no reply: no page may show bytes that never came.
  Ok(0x10C, {1, 2, 3});
  EXPECT_EQ(CmdReadEm4100(untouched), SNoReply);
  EXPECT_EQ(untouched, (std::array<std::uint8_t, 5>{9, 9, 9, 9, 9}));

  std::array<std::uint8_t, 3> hid{};
  Ok(0x10D, {0x76, 0x06});
  EXPECT_EQ(CmdReadHid(hid), SNoReply);
  Ok(0x10D, {0x76, 0x06, 0x43});
  EXPECT_EQ(CmdReadHid(hid), SOk);
  EXPECT_EQ(hid, (std::array<std::uint8_t, 3>{0x76, 0x06, 0x43}));

  std::array<std::uint8_t, 5> fdxa{};
  Ok(0x10A, {0x1A, 0x2B, 0x3C, 0x4D});
  EXPECT_EQ(CmdReadFdxa(fdxa), SNoReply);

  std::array<std::uint8_t, 12> record{};
  Ok(0x10B, {1, 2, 3, 4, 5, 6, 7, 0xEE, 0xFF, 10, 11, 12});
  EXPECT_EQ(CmdReadFdxb(record), SOk);
  EXPECT_EQ(record, (std::array<std::uint8_t, 12>{1, 2, 3, 4, 5, 6, 7, 0xEE, 0xFF, 10, 11, 12}));
  Ok(0x10B, {1, 2, 3, 4, 5, 6, 7, 0, 0, 10, 11});
  EXPECT_EQ(CmdReadFdxb(record), SNoReply);
}

TEST_F(Commands, FetchAndIdentificationLengths) {
  std::array<std::uint8_t, T5577FetchMax> data{};
  int length = -1;
  Ok(0x208, {0x00, 0x14, 0x80, 0x40});
  EXPECT_EQ(CmdT5577FetchData(data, &length), SOk);
  EXPECT_EQ(length, 4);
  // More than the 28 bytes the buffer holds: refused rather than cut or overrun.
  length = -1;
  Ok(0x208, Bytes(32, 0x55));
  EXPECT_EQ(CmdT5577FetchData(data, &length), SNoReply);
  EXPECT_EQ(length, -1);
  device.Script(WireReply(0x208, 2, {}));
  EXPECT_EQ(CmdT5577FetchData(data, &length), SFailStatus);

  std::array<std::uint8_t, 8> text{};
  length = -1;
  Ok(0x102, Bytes{'I', 'D', ' ', 'c', 'a', 'r', 'd', ' ', 'r'});
  EXPECT_EQ(CmdGetDeviceInfo(text, &length), RNoReply);
  EXPECT_EQ(length, -1);
  Ok(0x102, Bytes{'I', 'D'});
  EXPECT_EQ(CmdGetDeviceInfo(text, &length), ROk);
  EXPECT_EQ(length, 2);
}

TEST_F(Commands, FamilyEAndR) {
  std::array<std::uint8_t, 4> word{7, 7, 7, 7};
  Ok(0x302, {0xDE, 0xAD, 0xBE, 0xEF});
  EXPECT_EQ(CmdEm4305ReadWord(1, word), EOk);
  EXPECT_EQ(word, (std::array<std::uint8_t, 4>{0xDE, 0xAD, 0xBE, 0xEF}));
  word = {7, 7, 7, 7};
  device.Script(WireReply(0x302, 3, {0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_EQ(CmdEm4305ReadWord(2, word), EFail);
  Ok(0x302, {0xDE, 0xAD});
  EXPECT_EQ(CmdEm4305ReadWord(2, word), EFail);
  Ok(0x302, {0xDE, 0xAD, 0xBE, 0xEF, 0x01});
  EXPECT_EQ(CmdEm4305ReadWord(2, word), EFail);
  EXPECT_EQ(word, (std::array<std::uint8_t, 4>{7, 7, 7, 7}));

  // Family R takes a failure status as an answer; callers that need certainty read back.
  device.Script(WireReply(0x207, 5, {}));
  EXPECT_EQ(CmdT5577Reset(), ROk);
  // A reply that answers another command is still accepted: the echo is not compared.
  device.Script(WireReply(0x999, 0, {}));
  EXPECT_EQ(CmdT5577Reset(), ROk);
}

TEST_F(Commands, SilenceAndTheReadLength) {
  // One silent exchange per family: each costs its read budget, so keep them few.
  device.Script(std::nullopt);
  std::array<std::uint8_t, 5> id{};
  EXPECT_EQ(CmdReadEm4100(id), SNoReply);
  EXPECT_EQ(PortTable[0].ReadLength(), DefaultReadLength);
  device.Script(std::nullopt);
  EXPECT_EQ(CmdAcknowledge(10), RNoReply);
  EXPECT_EQ(PortTable[0].ReadLength(), DefaultReadLength);
  Ok(0x10C, {1, 2, 3, 4, 5});
  EXPECT_EQ(CmdReadEm4100(id), SOk);
  EXPECT_EQ(PortTable[0].ReadLength(), DefaultReadLength);
}

TEST_F(Commands, TheLastReplyFailureIsKeptPerExchange) {
  std::array<std::uint8_t, 5> id{};
  Bytes bad = WireReply(0x10C, 0, {1, 2, 3, 4, 5});
  bad.back() ^= 0x40;
  device.Script(bad);
  EXPECT_EQ(CmdReadEm4100(id), SNoReply);
  EXPECT_EQ(LastReplyFailure(), ReplyFailure::BadChecksum);
  const Bytes whole = WireReply(0x10C, 0, {1, 2, 3, 4, 5});
  device.Script(Bytes(whole.begin(), whole.begin() + 6));
  EXPECT_EQ(CmdReadEm4100(id), SNoReply);
  EXPECT_EQ(LastReplyFailure(), ReplyFailure::Truncated);
  // A valid frame too short for the command is no reply either, and says so.
  Ok(0x10C, {1, 2, 3});
  EXPECT_EQ(CmdReadEm4100(id), SNoReply);
  EXPECT_EQ(LastReplyFailure(), ReplyFailure::Malformed);
  // A failure status is an answer: nothing failed on the line.
  device.Script(WireReply(0x10C, 1, {}));
  EXPECT_EQ(CmdReadEm4100(id), SFailStatus);
  EXPECT_EQ(LastReplyFailure(), ReplyFailure::None);
  device.Script(std::nullopt);
  EXPECT_EQ(CmdAcknowledge(10), RNoReply);
  EXPECT_EQ(LastReplyFailure(), ReplyFailure::Silent);
  EXPECT_EQ(LastReplyFailure(PortTableSize), ReplyFailure::None);
}

TEST(CommandsWithoutPort, ClosedPortAndBadSlot) {
  ClosePort(0);
  std::array<std::uint8_t, 4> word{};
  EXPECT_EQ(CmdEm4305ReadWord(1, word), EPortFailure);
  EXPECT_EQ(CmdT5577Reset(), RNoReply);
  std::array<std::uint8_t, 5> id{};
  EXPECT_EQ(CmdReadEm4100(id, 10), SNoReply);
  EXPECT_EQ(CmdEm4305Disable(-1), EPortFailure);
}

}  // namespace
}  // namespace rivelo
