// Write-then-read round trips over many seeded random identities, on both chips.
#include <gtest/gtest.h>

#include <random>

#include "test_frames.h"

namespace rivelo::simtest {
namespace {

class RoundTrip : public ::testing::Test {
 protected:
  Bytes RandomBytes(std::size_t n, std::uint8_t mask = 0xFF) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng_() & mask);
    return b;
  }
  std::mt19937 rng_{20240607};
  sim::VirtualReader reader_;
};

TEST_F(RoundTrip, Em4100OnBothChips) {
  const int t5577 = reader_.AddTag("t5577");
  const int em4305 = reader_.AddTag("em4305");
  for (int i = 0; i < 200; ++i) {
    const Bytes id = RandomBytes(5);
    Bytes data{0};
    data.insert(data.end(), id.begin(), id.end());
    reader_.PlaceOnReader(i % 2 ? t5577 : em4305);
    ASSERT_TRUE(Send(reader_, i % 2 ? 0x20C : 0x30C, data).ok());
    const auto read = Send(reader_, 0x10C);
    ASSERT_TRUE(read.ok());
    ASSERT_EQ(read.reply.payload, id) << "round " << i;
    // The same frame is no FDX-B, HID or FDX-A identity.
    ASSERT_TRUE(Send(reader_, 0x10B).failed());
    ASSERT_TRUE(Send(reader_, 0x10D).failed());
  }
}

TEST_F(RoundTrip, FdxbOnBothChips) {
  const int t5577 = reader_.AddTag("t5577");
  const int em4305 = reader_.AddTag("em4305");
  for (int i = 0; i < 200; ++i) {
    // National code up to 38 bits, country up to 1023, any trailer with the flag set.
    Bytes record = RandomBytes(5);
    record[0] &= 0x3F;
    const Bytes country = {static_cast<std::uint8_t>(rng_() & 0x03), static_cast<std::uint8_t>(rng_())};
    record.insert(record.end(), country.begin(), country.end());
    record.push_back(1);
    record.push_back(static_cast<std::uint8_t>(rng_() & 1));
    const Bytes trailer = RandomBytes(3);
    record.insert(record.end(), trailer.begin(), trailer.end());
    reader_.PlaceOnReader(i % 2 ? t5577 : em4305);
    ASSERT_TRUE(Send(reader_, i % 2 ? 0x20B : 0x30B, record).ok());
    const auto read = Send(reader_, 0x10B);
    ASSERT_TRUE(read.ok());
    ASSERT_EQ(read.reply.payload, record) << "round " << i;
    ASSERT_TRUE(Send(reader_, 0x10C).failed());
  }
}

TEST_F(RoundTrip, HidAndFdxaOnT5577) {
  reader_.AddTag("t5577");
  for (int i = 0; i < 200; ++i) {
    const Bytes card = RandomBytes(3);
    ASSERT_TRUE(Send(reader_, 0x20D, card).ok());
    const auto hid = Send(reader_, 0x10D);
    ASSERT_TRUE(hid.ok());
    ASSERT_EQ(hid.reply.payload, card);
    ASSERT_TRUE(Send(reader_, 0x10A).failed());

    const Bytes code = RandomBytes(5, 0x7F);
    ASSERT_TRUE(Send(reader_, 0x20A, code).ok());
    const auto fdxa = Send(reader_, 0x10A);
    ASSERT_TRUE(fdxa.ok());
    ASSERT_EQ(fdxa.reply.payload, code);
    ASSERT_TRUE(Send(reader_, 0x10D).failed());
  }
}

// Raw block writes that change the configuration change what the reader decodes.
TEST_F(RoundTrip, ConfigurationDecidesWhatTheReaderHears) {
  const int tag = reader_.AddTag("t5577");
  ASSERT_TRUE(Send(reader_, 0x20C, Hex("00 01 23 45 67 89")).ok());
  // The same blocks at RF/32, or with MAXBLK 3, are no EM4100 tag.
  ASSERT_TRUE(Send(reader_, 0x201, Hex("02 00 00 08 80 40 00")).ok());
  EXPECT_TRUE(Send(reader_, 0x10C).failed());
  ASSERT_TRUE(Send(reader_, 0x201, Hex("02 00 00 14 80 60 00")).ok());
  EXPECT_TRUE(Send(reader_, 0x10C).failed());
  ASSERT_TRUE(Send(reader_, 0x201, Hex("02 00 00 14 80 40 00")).ok());
  EXPECT_EQ(Send(reader_, 0x10C).reply.payload, Hex("01 23 45 67 89"));
  EXPECT_EQ(reader_.Info(tag)->identity, "EM4100 0123456789");
}

}  // namespace
}  // namespace rivelo::simtest
