// The T5577 through the reader's commands: blocks, pages, password, lock, wake-up, reset,
// decoding mode, and the identity layouts against the worked examples.
#include <gtest/gtest.h>

#include <optional>

#include "test_frames.h"

namespace rivelo::simtest {
namespace {

constexpr std::uint8_t Page0 = 2;  // opcode = page + 2
constexpr std::uint8_t Page1 = 3;

// 0x201 data (no password) or 0x202 data (with one): opcode, [password], lock, data, block.
Bytes WriteData(std::uint8_t opcode, std::uint8_t block, std::uint32_t value, std::uint8_t lock = 0,
                std::optional<std::uint32_t> pwd = std::nullopt) {
  Bytes d{opcode};
  if (pwd) d.insert(d.end(), {Be32(*pwd)[0], Be32(*pwd)[1], Be32(*pwd)[2], Be32(*pwd)[3]});
  d.push_back(lock);
  for (const auto b : Be32(value)) d.push_back(b);
  d.push_back(block);
  return d;
}

class T5577Test : public ::testing::Test {
 protected:
  void SetUp() override { tag_ = reader_.AddTag("t5577"); }
  Bytes Fetch() { return Send(reader_, 0x208).reply.payload; }
  // Block read (with a password: 0x205) and fetch; empty on any failure.
  Bytes ReadBlock(std::uint8_t opcode, std::uint8_t block, std::optional<std::uint32_t> pwd = std::nullopt) {
    Bytes d{opcode};
    if (pwd) d.insert(d.end(), {Be32(*pwd)[0], Be32(*pwd)[1], Be32(*pwd)[2], Be32(*pwd)[3]});
    d.push_back(block);
    return Send(reader_, pwd ? 0x205 : 0x204, d).ok() ? Fetch() : Bytes{};
  }
  bool Write(std::uint8_t opcode, std::uint8_t block, std::uint32_t value, std::uint8_t lock = 0,
             std::optional<std::uint32_t> pwd = std::nullopt) {
    return Send(reader_, pwd ? 0x202 : 0x201, WriteData(opcode, block, value, lock, pwd)).ok();
  }
  Bytes Blocks(int n) {
    Bytes all;
    for (int b = 0; b < n; ++b) {
      const Bytes one = ReadBlock(Page0, static_cast<std::uint8_t>(b));
      all.insert(all.end(), one.begin(), one.end());
    }
    return all;
  }

  sim::VirtualReader reader_;
  int tag_ = -1;
};

TEST_F(T5577Test, BlankChipAndAddresses) {
  EXPECT_EQ(ReadBlock(Page0, 0), Hex("00 08 80 E8"));
  EXPECT_EQ(ReadBlock(Page1, 0), Hex("00 08 80 E8"));  // page 1 block 0 is block 0
  EXPECT_EQ(ReadBlock(Page1, 1).at(0), 0xE0);  // traceability: ACL, manufacturer
  EXPECT_FALSE(Write(Page1, 1, 0));            // ... locked at the factory
  EXPECT_TRUE(Fetch().empty());
  EXPECT_FALSE(Write(Page0, 8, 1));
  EXPECT_FALSE(Write(Page1, 4, 1));
  EXPECT_FALSE(Write(1, 1, 1));  // opcode 1 is no page
  EXPECT_TRUE(Send(reader_, 0x204, {Page0}).failed());
}

TEST_F(T5577Test, WriteReadBackAndPages) {
  for (std::uint8_t b = 1; b <= 7; ++b) {
    ASSERT_TRUE(Write(Page0, b, 0x11111111u * b));
    EXPECT_EQ(Fetch(), Be32(0x11111111u * b));  // the write's own read-back
  }
  ASSERT_TRUE(Write(Page1, 3, 0x11223344));
  ASSERT_TRUE(Send(reader_, 0x206, {Page0}).ok());
  const Bytes page = Fetch();
  ASSERT_EQ(page.size(), 28u);  // blocks 1-7
  EXPECT_EQ(Bytes(page.begin() + 24, page.end()), Be32(0x77777777));
  ASSERT_TRUE(Send(reader_, 0x206, {Page1}).ok());
  const Bytes page1 = Fetch();
  ASSERT_EQ(page1.size(), 12u);  // blocks 1-3
  EXPECT_EQ(Fetch(), page1);     // a second fetch hands out the same data
  EXPECT_EQ(Bytes(page1.end() - 4, page1.end()), Hex("11223344"));
}

TEST_F(T5577Test, LockedBlockRefusesWritesForGood) {
  ASSERT_TRUE(Write(Page0, 3, 0xCAFEF00D, 1));
  EXPECT_FALSE(Write(Page0, 3, 0));
  EXPECT_FALSE(Write(Page0, 3, 0, 0, 0));
  EXPECT_EQ(ReadBlock(Page0, 3), Hex("CAFEF00D"));
  EXPECT_TRUE(reader_.Memory(tag_)->locked[3]);
  EXPECT_FALSE(reader_.Memory(tag_)->locked[4]);
  // An identity layout that touches a locked block changes nothing at all.
  ASSERT_TRUE(Write(Page0, 2, 0x12345678, 1));
  EXPECT_TRUE(Send(reader_, 0x20C, Hex("00 01 23 45 67 89")).failed());
  EXPECT_EQ(Blocks(2), Hex("000880E8 00000000"));
  // The lock byte of 0x20C locks blocks 0-2.
  sim::VirtualReader other;
  const int id = other.AddTag("t5577");
  ASSERT_TRUE(Send(other, 0x20C, Hex("01 01 23 45 67 89")).ok());
  EXPECT_EQ(other.Memory(id)->locked, (std::vector<bool>{true, true, true, false, false, false, false, false, false,
                                                         true, true, false}));
  EXPECT_TRUE(Send(other, 0x20C, Hex("00 99 99 99 99 99")).failed());
}

TEST_F(T5577Test, PasswordModeNeedsTheRightPassword) {
  const std::uint32_t pwd = 0x51243648;
  ASSERT_TRUE(Write(Page0, 4, 0x01020304, 0, 0xDEADBEEF));  // ignored outside password mode
  ASSERT_TRUE(Write(Page0, 7, pwd));
  ASSERT_TRUE(Write(Page0, 0, 0x000880F8));  // PWD on
  EXPECT_TRUE(ReadBlock(Page0, 1).empty());
  EXPECT_FALSE(Write(Page0, 1, 0xAAAAAAAA));
  EXPECT_TRUE(Send(reader_, 0x206, {Page0}).failed());
  EXPECT_FALSE(Write(Page0, 1, 0xAAAAAAAA, 0, pwd ^ 1));
  EXPECT_TRUE(ReadBlock(Page0, 1, pwd ^ 1).empty());
  ASSERT_TRUE(Write(Page0, 1, 0xAAAAAAAA, 0, pwd));
  EXPECT_EQ(ReadBlock(Page0, 1, pwd), Hex("AA AA AA AA"));
  EXPECT_EQ(ReadBlock(Page0, 4, pwd), Hex("01 02 03 04"));
  EXPECT_TRUE(Send(reader_, 0x20C, Hex("00 01 23 45 67 89")).failed());  // carries no password
  ASSERT_TRUE(Write(Page0, 0, 0x000880E8, 0, pwd));                      // factory block again
  EXPECT_EQ(ReadBlock(Page0, 1), Hex("AA AA AA AA"));
}

TEST(T5577Aor, SilentUntilWokenAndAgainAfterResetOrFieldDrop) {
  sim::VirtualReader r;
  const int id = r.AddTag("t5577:pwd=11223344:aor");
  const int other = r.AddTag("em4100:0123456789");
  // The EM4100 layout with password and answer on request, written with the password.
  ASSERT_TRUE(Send(r, 0x202, WriteData(Page0, 1, 0xFF8C6529, 0, 0x11223344)).ok());
  ASSERT_TRUE(Send(r, 0x202, WriteData(Page0, 2, 0x8C94A940, 0, 0x11223344)).ok());
  ASSERT_TRUE(Send(r, 0x202, WriteData(Page0, 0, 0x00148250, 0, 0x11223344)).ok());
  EXPECT_TRUE(Send(r, 0x10C).failed());
  EXPECT_TRUE(Send(r, 0x203, Hex("11 22 33 45")).failed());
  EXPECT_TRUE(Send(r, 0x208).failed());
  ASSERT_TRUE(Send(r, 0x203, Hex("11 22 33 44")).ok());
  EXPECT_EQ(Send(r, 0x208).reply.payload, Hex("FF8C6529 8C94A940"));  // blocks 1..MAXBLK
  EXPECT_EQ(Send(r, 0x10C).reply.payload, Hex("11 22 33 44 55"));
  ASSERT_TRUE(Send(r, 0x207).ok());
  EXPECT_TRUE(Send(r, 0x208).failed());
  EXPECT_TRUE(Send(r, 0x10C).failed());
  ASSERT_TRUE(Send(r, 0x203, Hex("11 22 33 44")).ok());
  r.PlaceOnReader(other);
  r.PlaceOnReader(id);
  EXPECT_TRUE(Send(r, 0x10C).failed());
}

TEST_F(T5577Test, ResetRepeatsTheConfiguredBlocks) {
  ASSERT_TRUE(Send(reader_, 0x20C, Hex("00 11 22 33 44 55")).ok());
  ASSERT_TRUE(Send(reader_, 0x207).ok());
  EXPECT_EQ(Fetch(), Hex("FF8C6529 8C94A940"));
}

TEST_F(T5577Test, StrictModeNeedsTheMatchingDecodingMode) {
  reader_.SetStrictReadMode(true);
  EXPECT_TRUE(ReadBlock(Page0, 0).empty());  // no mode chosen yet
  ASSERT_TRUE(Send(reader_, 0x107, {0x25}).ok());
  EXPECT_TRUE(ReadBlock(Page0, 0).empty());  // the factory block is RF/32
  ASSERT_TRUE(Send(reader_, 0x107, {0x2A}).ok());
  EXPECT_EQ(ReadBlock(Page0, 0), Hex("000880E8"));
  ASSERT_TRUE(Send(reader_, 0x20C, Hex("00 11 22 33 44 55")).ok());  // now RF/64
  EXPECT_TRUE(ReadBlock(Page0, 0).empty());
  ASSERT_TRUE(Send(reader_, 0x107, {0x25}).ok());
  EXPECT_EQ(ReadBlock(Page0, 0), Hex("00148040"));
  reader_.SetStrictReadMode(false);
  ASSERT_TRUE(Send(reader_, 0x107, {0x2A}).ok());
  EXPECT_EQ(ReadBlock(Page0, 0), Hex("00148040"));
}

TEST_F(T5577Test, IdentityLayoutsMatchTheWorkedExamples) {
  ASSERT_TRUE(Send(reader_, 0x20C, Hex("00 11 22 33 44 55")).ok());
  EXPECT_EQ(Blocks(3), Hex("00148040 FF8C6529 8C94A940"));
  EXPECT_EQ(Send(reader_, 0x10C).reply.payload, Hex("11 22 33 44 55"));
  ASSERT_TRUE(Send(reader_, 0x20C, Hex("00 0F 03 68 56 8B")).ok());
  EXPECT_EQ(Blocks(3), Hex("00148040 FF83C033 22A646E4"));

  // The record's first flag byte is the data-block flag, the second the animal flag.
  ASSERT_TRUE(Send(reader_, 0x20B, Hex("00 00 01 B6 69  03 E7  00 01  00 00 00")).ok());
  EXPECT_EQ(Blocks(5), Hex("00098080 0032D6DC 0402079F 80406253 B8040201"));
  ASSERT_TRUE(Send(reader_, 0x20B, Hex("00 00 00 05 39  03 E7  00 00  00 00 00")).ok());
  EXPECT_EQ(Blocks(5), Hex("00098080 00339A08 0402079F 80403B75 98040201"));

  ASSERT_TRUE(Send(reader_, 0x20D, Hex("76 06 43")).ok());  // FC 118, CN 1603
  EXPECT_EQ(Blocks(4), Hex("00107060 1D555955 5569A9A5 55A59569"));
  EXPECT_EQ(Send(reader_, 0x10D).reply.payload, Hex("76 06 43"));
  ASSERT_TRUE(Send(reader_, 0x20D, Hex("01 00 07")).ok());
  EXPECT_EQ(Blocks(4), Hex("00107060 1D555955 55695559 555555A9"));

  ASSERT_TRUE(Send(reader_, 0x20A, Hex("1A 2B 3C 4D 5E")).ok());
  EXPECT_EQ(Blocks(4), Hex("00107060 551D5699 999A9AA5 A5A666A9"));
  EXPECT_EQ(Send(reader_, 0x10A).reply.payload, Hex("1A 2B 3C 4D 5E"));
}

TEST_F(T5577Test, InvalidIdentityDataIsRefused) {
  EXPECT_TRUE(Send(reader_, 0x20A, Hex("1A 2B 3C 4D DE")).failed());  // top bit carries parity
  // National code beyond 38 bits, country beyond 10 bits, trailer without data-block flag.
  EXPECT_TRUE(Send(reader_, 0x20B, Hex("40 00 00 00 00  03 E7  01 01  00 00 00")).failed());
  EXPECT_TRUE(Send(reader_, 0x20B, Hex("00 00 00 00 01  04 00  01 01  00 00 00")).failed());
  EXPECT_TRUE(Send(reader_, 0x20B, Hex("00 00 00 00 01  03 E7  00 01  00 00 01")).failed());
  EXPECT_TRUE(Send(reader_, 0x20C, Hex("00 01 23 45 67")).failed());  // a byte short
  EXPECT_EQ(ReadBlock(Page0, 0), Hex("00 08 80 E8"));
}

}  // namespace
}  // namespace rivelo::simtest
