// The T5577 through the reader's commands: blocks, pages, password, lock, wake-up, reset,
// decoding mode, and the identity layouts.
#include <gtest/gtest.h>

#include "test_frames.h"

namespace rivelo::simtest {
namespace {

constexpr std::uint8_t Page0 = 2;  // opcode = page + 2
constexpr std::uint8_t Page1 = 3;

Bytes WriteData(std::uint8_t opcode, std::uint8_t block, std::uint32_t value, std::uint8_t lock = 0) {
  Bytes d{opcode, lock};
  const Bytes v = Be32(value);
  d.insert(d.end(), v.begin(), v.end());
  d.push_back(block);
  return d;
}

Bytes WritePwdData(std::uint8_t opcode, std::uint8_t block, std::uint32_t value, std::uint32_t pwd,
                   std::uint8_t lock = 0) {
  Bytes d{opcode};
  for (const auto b : Be32(pwd)) d.push_back(b);
  d.push_back(lock);
  for (const auto b : Be32(value)) d.push_back(b);
  d.push_back(block);
  return d;
}

class T5577Test : public ::testing::Test {
 protected:
  void SetUp() override { tag_ = reader_.AddTag("t5577"); }

  // Block read + fetch; the fetched bytes, or empty on any failure.
  Bytes ReadBlock(std::uint8_t opcode, std::uint8_t block) {
    if (!Send(reader_, 0x204, {opcode, block}).ok()) return {};
    return Fetch();
  }
  Bytes ReadBlockPwd(std::uint8_t opcode, std::uint8_t block, std::uint32_t pwd) {
    Bytes d{opcode};
    for (const auto b : Be32(pwd)) d.push_back(b);
    d.push_back(block);
    if (!Send(reader_, 0x205, d).ok()) return {};
    return Fetch();
  }
  Bytes Fetch() {
    const auto f = Send(reader_, 0x208);
    return f.ok() ? f.reply.payload : Bytes{};
  }

  sim::VirtualReader reader_;
  int tag_ = -1;
};

TEST_F(T5577Test, BlankChipReadsFactoryConfigAndTraceability) {
  EXPECT_EQ(ReadBlock(Page0, 0), Hex("00 08 80 E8"));
  EXPECT_EQ(ReadBlock(Page0, 5), Hex("00 00 00 00"));
  EXPECT_EQ(ReadBlock(Page1, 0), Hex("00 08 80 E8"));  // page 1 block 0 is block 0
  const Bytes trace = ReadBlock(Page1, 1);
  ASSERT_EQ(trace.size(), 4u);
  EXPECT_EQ(trace[0], 0xE0);
  EXPECT_EQ(trace[1], 0x15);
  // Traceability is locked at the factory.
  EXPECT_TRUE(Send(reader_, 0x201, WriteData(Page1, 1, 0)).failed());
  EXPECT_TRUE(Fetch().empty());
}

TEST_F(T5577Test, WriteAndReadBackEveryBlock) {
  for (std::uint8_t b = 1; b <= 7; ++b) {
    ASSERT_TRUE(Send(reader_, 0x201, WriteData(Page0, b, 0x11111111u * b)).ok());
    EXPECT_EQ(Fetch(), Be32(0x11111111u * b));  // the write's own read-back
  }
  ASSERT_TRUE(Send(reader_, 0x201, WriteData(Page1, 3, 0x11223344)).ok());
  EXPECT_EQ(ReadBlock(Page1, 3), Hex("11223344"));
  // The page read hands out blocks 1-7 (page 0) or 1-3 (page 1).
  ASSERT_TRUE(Send(reader_, 0x206, {Page0}).ok());
  const Bytes page = Fetch();
  ASSERT_EQ(page.size(), 28u);
  EXPECT_EQ(Bytes(page.begin() + 24, page.end()), Be32(0x77777777));
  ASSERT_TRUE(Send(reader_, 0x206, {Page1}).ok());
  EXPECT_EQ(Fetch().size(), 12u);
}

TEST_F(T5577Test, BadAddressesAndOpcodesFail) {
  EXPECT_TRUE(Send(reader_, 0x201, WriteData(Page0, 8, 1)).failed());
  EXPECT_TRUE(Send(reader_, 0x201, WriteData(Page1, 4, 1)).failed());
  EXPECT_TRUE(Send(reader_, 0x201, WriteData(1, 1, 1)).failed());  // opcode 1 is no page
  EXPECT_TRUE(Send(reader_, 0x204, {Page0}).failed());             // block missing
  EXPECT_TRUE(Send(reader_, 0x206, {4}).failed());
}

TEST_F(T5577Test, LockedBlockRefusesWritesForGood) {
  ASSERT_TRUE(Send(reader_, 0x201, WriteData(Page0, 3, 0xCAFEF00D, 1)).ok());
  EXPECT_EQ(Fetch(), Hex("CAFEF00D"));
  EXPECT_TRUE(Send(reader_, 0x201, WriteData(Page0, 3, 0)).failed());
  EXPECT_TRUE(Send(reader_, 0x202, WritePwdData(Page0, 3, 0, 0)).failed());
  EXPECT_EQ(ReadBlock(Page0, 3), Hex("CAFEF00D"));
  const auto mem = reader_.Memory(tag_);
  EXPECT_TRUE(mem->locked[3]);
  EXPECT_FALSE(mem->locked[4]);
  // Identity layouts that touch a locked block change nothing at all.
  ASSERT_TRUE(Send(reader_, 0x201, WriteData(Page0, 2, 0x12345678, 1)).ok());
  EXPECT_TRUE(Send(reader_, 0x20C, Hex("00 01 23 45 67 89")).failed());
  EXPECT_EQ(ReadBlock(Page0, 0), Hex("00 08 80 E8"));
  EXPECT_EQ(ReadBlock(Page0, 1), Hex("00 00 00 00"));
}

TEST_F(T5577Test, PasswordModeNeedsTheRightPassword) {
  const std::uint32_t pwd = 0x51243648;
  ASSERT_TRUE(Send(reader_, 0x201, WriteData(Page0, 7, pwd)).ok());
  ASSERT_TRUE(Send(reader_, 0x201, WriteData(Page0, 0, 0x000880F8)).ok());  // PWD on
  // Plain reads and writes fail; so do page reads.
  EXPECT_TRUE(ReadBlock(Page0, 1).empty());
  EXPECT_TRUE(Send(reader_, 0x201, WriteData(Page0, 1, 0xAAAAAAAA)).failed());
  EXPECT_TRUE(Send(reader_, 0x206, {Page0}).failed());
  // A wrong password writes nothing.
  EXPECT_TRUE(Send(reader_, 0x202, WritePwdData(Page0, 1, 0xAAAAAAAA, pwd ^ 1)).failed());
  EXPECT_TRUE(ReadBlockPwd(Page0, 1, pwd ^ 1).empty());
  EXPECT_EQ(ReadBlockPwd(Page0, 1, pwd), Hex("00 00 00 00"));
  ASSERT_TRUE(Send(reader_, 0x202, WritePwdData(Page0, 1, 0xAAAAAAAA, pwd)).ok());
  EXPECT_EQ(Fetch(), Hex("AA AA AA AA"));
  // Identity writes carry no password: refused.
  EXPECT_TRUE(Send(reader_, 0x20C, Hex("00 01 23 45 67 89")).failed());
  // The broadcast is not protected: restoring the factory block with the password works.
  ASSERT_TRUE(Send(reader_, 0x202, WritePwdData(Page0, 0, 0x000880E8, pwd)).ok());
  EXPECT_EQ(ReadBlock(Page0, 1), Hex("AA AA AA AA"));
}

TEST_F(T5577Test, PasswordIsIgnoredOutsidePasswordMode) {
  ASSERT_TRUE(Send(reader_, 0x202, WritePwdData(Page0, 4, 0x01020304, 0xDEADBEEF)).ok());
  EXPECT_EQ(ReadBlockPwd(Page0, 4, 0x12345678), Hex("01 02 03 04"));
}

TEST(T5577Aor, SilentUntilWokenAndAgainAfterTheFieldDrops) {
  sim::VirtualReader r;
  const int id = r.AddTag("t5577:pwd=11223344:aor");
  const int other = r.AddTag("em4100:0123456789");
  // The EM4100 layout with password and answer on request, written with the password.
  ASSERT_TRUE(Send(r, 0x202, WritePwdData(Page0, 1, 0xFF8C6529, 0x11223344)).ok());
  ASSERT_TRUE(Send(r, 0x202, WritePwdData(Page0, 2, 0x8C94A940, 0x11223344)).ok());
  ASSERT_TRUE(Send(r, 0x202, WritePwdData(Page0, 0, 0x00148250, 0x11223344)).ok());
  EXPECT_TRUE(Send(r, 0x10C).failed());
  EXPECT_TRUE(Send(r, 0x203, Hex("11 22 33 45")).failed());
  EXPECT_TRUE(Send(r, 0x208).failed());
  ASSERT_TRUE(Send(r, 0x203, Hex("11 22 33 44")).ok());
  EXPECT_EQ(Send(r, 0x208).reply.payload, Hex("FF8C6529 8C94A940"));
  EXPECT_EQ(Send(r, 0x10C).reply.payload, Hex("11 22 33 44 55"));
  // A reset starts it as after power-up: silent again.
  ASSERT_TRUE(Send(r, 0x207).ok());
  EXPECT_TRUE(Send(r, 0x208).failed());
  EXPECT_TRUE(Send(r, 0x10C).failed());
  // So does taking it out of the field.
  ASSERT_TRUE(Send(r, 0x203, Hex("11 22 33 44")).ok());
  r.PlaceOnReader(other);
  r.PlaceOnReader(id);
  EXPECT_TRUE(Send(r, 0x10C).failed());
}

TEST_F(T5577Test, ResetRepeatsTheConfiguredBlocks) {
  ASSERT_TRUE(Send(reader_, 0x20C, Hex("00 11 22 33 44 55")).ok());
  ASSERT_TRUE(Send(reader_, 0x207).ok());
  EXPECT_EQ(Fetch(), Hex("FF8C6529 8C94A940"));  // MAXBLK 2
}

TEST_F(T5577Test, StrictModeNeedsTheMatchingDecodingMode) {
  reader_.SetStrictReadMode(true);
  EXPECT_TRUE(ReadBlock(Page0, 0).empty());  // no mode chosen yet
  ASSERT_TRUE(Send(reader_, 0x107, {0x25}).ok());
  EXPECT_TRUE(ReadBlock(Page0, 0).empty());  // factory block is RF/32
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
  const auto blocks = [&](int n) {
    Bytes all;
    for (std::uint8_t b = 0; b < n; ++b) {
      const Bytes one = ReadBlock(Page0, b);
      all.insert(all.end(), one.begin(), one.end());
    }
    return all;
  };
  ASSERT_TRUE(Send(reader_, 0x20C, Hex("00 11 22 33 44 55")).ok());
  EXPECT_EQ(blocks(3), Hex("00148040 FF8C6529 8C94A940"));
  EXPECT_EQ(Send(reader_, 0x10C).reply.payload, Hex("11 22 33 44 55"));

  // The record's first flag byte is the data-block flag, the second the animal flag.
  ASSERT_TRUE(Send(reader_, 0x20B, Hex("00 00 01 B6 69  03 E7  00 01  00 00 00")).ok());
  EXPECT_EQ(blocks(5), Hex("00098080 0032D6DC 0402079F 80406253 B8040201"));
  ASSERT_TRUE(Send(reader_, 0x20B, Hex("00 00 00 05 39  03 E7  00 00  00 00 00")).ok());
  EXPECT_EQ(blocks(5), Hex("00098080 00339A08 0402079F 80403B75 98040201"));

  ASSERT_TRUE(Send(reader_, 0x20D, Hex("76 06 43")).ok());  // FC 118, CN 1603
  EXPECT_EQ(blocks(4), Hex("00107060 1D555955 5569A9A5 55A59569"));
  EXPECT_EQ(Send(reader_, 0x10D).reply.payload, Hex("76 06 43"));

  ASSERT_TRUE(Send(reader_, 0x20A, Hex("1A 2B 3C 4D 5E")).ok());
  EXPECT_EQ(blocks(4), Hex("00107060 551D5699 999A9AA5 A5A666A9"));
  EXPECT_EQ(Send(reader_, 0x10A).reply.payload, Hex("1A 2B 3C 4D 5E"));
  EXPECT_TRUE(Send(reader_, 0x10D).failed());  // FDX-A is no HID card
}

TEST_F(T5577Test, LockByteLocksTheEm4100Blocks) {
  ASSERT_TRUE(Send(reader_, 0x20C, Hex("01 01 23 45 67 89")).ok());
  const auto mem = reader_.Memory(tag_);
  EXPECT_TRUE(mem->locked[0] && mem->locked[1] && mem->locked[2]);
  EXPECT_FALSE(mem->locked[3]);
  EXPECT_TRUE(Send(reader_, 0x20C, Hex("00 99 99 99 99 99")).failed());
  EXPECT_EQ(Send(reader_, 0x10C).reply.payload, Hex("01 23 45 67 89"));
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
