// The EM4305 through the reader's commands: words, password and login, protection words,
// disable, the identity layouts; and writes aimed at the wrong chip family.
#include <gtest/gtest.h>

#include <optional>

#include "test_frames.h"

namespace rivelo::simtest {
namespace {

// Word data travels least significant byte first.
Bytes Le32(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

class Em4305Test : public ::testing::Test {
 protected:
  void SetUp() override { tag_ = reader_.AddTag("em4305:pwd=A1B2C3D4:uid=12345678"); }

  bool Write(std::uint8_t word, std::uint32_t v) {
    Bytes d{word};
    for (const auto b : Le32(v)) d.push_back(b);
    return Send(reader_, 0x301, d).ok();
  }
  std::optional<std::uint32_t> Read(std::uint8_t word) {
    const auto e = Send(reader_, 0x302, {word});
    if (!e.ok() || e.reply.payload.size() != 4) return std::nullopt;
    const Bytes& p = e.reply.payload;
    return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
  }
  bool Login(std::uint32_t pwd) { return Send(reader_, 0x303, Le32(pwd)).ok(); }
  bool Protect(std::uint32_t mask) { return Send(reader_, 0x304, Le32(mask)).ok(); }

  sim::VirtualReader reader_;
  int tag_ = -1;
};

TEST_F(Em4305Test, AsDeliveredAndWhichWordsTakeWrites) {
  EXPECT_EQ(Read(1), 0x12345678u);
  EXPECT_EQ(Send(reader_, 0x302, {4}).reply.payload, Hex("8F 00 02 00"));  // 0002008F
  EXPECT_FALSE(Read(2));  // the password is never readable
  EXPECT_FALSE(Read(16));
  // Word 14 is in force: bit 15 is the top bit of the second byte.
  EXPECT_EQ(Send(reader_, 0x302, {14}).reply.payload, Hex("03 80 00 00"));
  ASSERT_TRUE(Write(13, 0xA500000D));
  EXPECT_EQ(Read(13), 0xA500000Du);
  EXPECT_FALSE(Write(1, 0));
  EXPECT_FALSE(Write(0, 0));   // protected from the factory
  EXPECT_FALSE(Write(14, 0));  // only words 0-13 are written with Write Word
  EXPECT_EQ(Read(1), 0x12345678u);
}

TEST_F(Em4305Test, PasswordChangeNeedsLogin) {
  EXPECT_FALSE(Write(2, 0x11111111));
  EXPECT_FALSE(Login(0xA1B2C3D5));
  ASSERT_TRUE(Login(0xA1B2C3D4));
  ASSERT_TRUE(Write(2, 0x11111111));
  EXPECT_FALSE(Login(0xA1B2C3D4));  // a failed login also logs out
  EXPECT_FALSE(Write(2, 0x22222222));
  EXPECT_TRUE(Login(0x11111111));
  EXPECT_EQ(reader_.Memory(tag_)->words[2], 0x11111111u);
}

TEST_F(Em4305Test, ReadAndWriteLoginFromTheConfiguration) {
  ASSERT_TRUE(Write(4, 0x0002008Fu | 1u << 18 | 1u << 20));
  EXPECT_FALSE(Read(3));
  EXPECT_EQ(Read(0), 0x00000609u);  // words 0 and 1 stay readable
  EXPECT_TRUE(Read(1));
  EXPECT_FALSE(Write(3, 1));
  EXPECT_FALSE(Protect(1u << 3));
  ASSERT_TRUE(Login(0xA1B2C3D4));
  EXPECT_TRUE(Write(3, 1));
  EXPECT_EQ(Read(3), 1u);
  // The login ends when the tag leaves the field.
  reader_.TakeOffReader();
  reader_.PlaceOnReader(tag_);
  EXPECT_FALSE(Read(3));
}

TEST_F(Em4305Test, ProtectionAddsBitsAndSwapsTheWordInForce) {
  ASSERT_TRUE(Protect(1u << 5 | 1u << 6));
  EXPECT_FALSE(Write(5, 1));
  EXPECT_FALSE(Write(6, 1));
  EXPECT_TRUE(Write(7, 1));
  EXPECT_EQ(Read(14), 0u);  // erased
  EXPECT_EQ(Read(15), 0x8000u | 0x3u | 1u << 5 | 1u << 6);
  // An empty mask removes nothing; the next set goes back into word 14.
  ASSERT_TRUE(Protect(0));
  EXPECT_EQ(Read(14), 0x8063u);
  EXPECT_EQ(Read(15), 0u);
  ASSERT_TRUE(Protect(1u << 7 | 1u << 14));
  EXPECT_FALSE(Write(7, 2));
  EXPECT_FALSE(Protect(1u << 8));  // the protection words protect themselves now
  EXPECT_TRUE(Write(8, 2));
  const auto mem = reader_.Memory(tag_);
  EXPECT_TRUE(mem->locked[7] && mem->locked[14] && mem->locked[15]);
  EXPECT_FALSE(mem->locked[8]);
}

TEST_F(Em4305Test, DisableNeedsItsBitAndSilencesTheTagUntilTheFieldDrops) {
  ASSERT_TRUE(Send(reader_, 0x30C, Hex("00 01 23 45 67 89")).ok());
  EXPECT_TRUE(Send(reader_, 0x305).failed());
  ASSERT_TRUE(Write(4, 0x0001805Fu | 1u << 23));
  ASSERT_TRUE(Send(reader_, 0x305).ok());
  EXPECT_TRUE(Send(reader_, 0x10C).failed());
  EXPECT_FALSE(Read(1));
  EXPECT_FALSE(Login(0xA1B2C3D4));
  reader_.TakeOffReader();
  reader_.PlaceOnReader(tag_);
  EXPECT_EQ(Send(reader_, 0x10C).reply.payload, Hex("01 23 45 67 89"));
}

TEST_F(Em4305Test, Em4100LayoutAndItsLock) {
  ASSERT_TRUE(Send(reader_, 0x30C, Hex("00 11 22 33 44 55")).ok());
  EXPECT_EQ(Read(4), 0x0001805Fu);
  EXPECT_EQ(Read(5), 0x94A631FFu);
  EXPECT_EQ(Read(6), 0x02952931u);
  EXPECT_EQ(Send(reader_, 0x10C).reply.payload, Hex("11 22 33 44 55"));
  // A raw write that breaks the frame breaks the read.
  ASSERT_TRUE(Write(6, 0x02952930));
  EXPECT_TRUE(Send(reader_, 0x10C).failed());
  // The lock byte protects words 4-6.
  ASSERT_TRUE(Send(reader_, 0x30C, Hex("01 11 22 33 44 55")).ok());
  EXPECT_FALSE(Write(5, 0));
  EXPECT_TRUE(Send(reader_, 0x30C, Hex("00 99 88 77 66 55")).failed());
  EXPECT_EQ(Send(reader_, 0x10C).reply.payload, Hex("11 22 33 44 55"));
  EXPECT_EQ(Read(15), 0x8000u | 0x3u | 0x70u);
}

TEST(ChipFamilies, WritesAimedAtTheOtherFamilyChangeNothing) {
  sim::VirtualReader r;
  const int t5577 = r.AddTag("t5577");
  const int em4305 = r.AddTag("em4305");
  const int em4100 = r.AddTag("em4100:0102030405");
  const auto before = r.Memory(t5577);
  EXPECT_TRUE(Send(r, 0x30C, Hex("00 11 22 33 44 55")).failed());
  EXPECT_TRUE(Send(r, 0x30B, Hex("00 00 01 B6 69 03 E7 01 01 00 00 00")).failed());
  EXPECT_TRUE(Send(r, 0x301, Hex("05 01 02 03 04")).failed());
  EXPECT_EQ(r.Memory(t5577)->words, before->words);

  r.PlaceOnReader(em4305);
  const auto words = r.Memory(em4305)->words;
  EXPECT_TRUE(Send(r, 0x20C, Hex("00 11 22 33 44 55")).failed());
  EXPECT_TRUE(Send(r, 0x201, Hex("02 00 11 22 33 44 05")).failed());
  EXPECT_TRUE(Send(r, 0x20D, Hex("01 00 07")).failed());
  EXPECT_EQ(r.Memory(em4305)->words, words);

  // Read-only tags take no writes at all, and nothing is read without a tag.
  r.PlaceOnReader(em4100);
  EXPECT_TRUE(Send(r, 0x20C, Hex("00 11 22 33 44 55")).failed());
  EXPECT_TRUE(Send(r, 0x302, {1}).failed());
  EXPECT_EQ(Send(r, 0x10C).reply.payload, Hex("01 02 03 04 05"));
  EXPECT_FALSE(r.Memory(em4100));
  r.TakeOffReader();
  for (const int code : {0x10C, 0x10B, 0x10A, 0x10D}) EXPECT_TRUE(Send(r, static_cast<std::uint16_t>(code)).failed());
  EXPECT_TRUE(Send(r, 0x204, {2, 1}).failed());
  EXPECT_TRUE(Send(r, 0x302, {1}).failed());
}

}  // namespace
}  // namespace rivelo::simtest
