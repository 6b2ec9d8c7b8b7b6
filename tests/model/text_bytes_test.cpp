#include <gtest/gtest.h>

#include <array>

#include "model/text_bytes.h"

namespace rivelo {
namespace {

using B = Bytes;

TEST(TextBytes, FieldModeTakesWhatTheFieldHolds) {
  EXPECT_EQ(HexTextToBytes("ABC", TextMode::Field), (B{0x0A, 0xBC}));
  EXPECT_EQ(HexTextToBytes("1", TextMode::Field), (B{0x01}));
  EXPECT_EQ(HexTextToBytes("", TextMode::Field), B{});
  EXPECT_EQ(DecimalTextToBytes("0", TextMode::Field), (B{0x00}));
  EXPECT_EQ(DecimalTextToBytes("65535", TextMode::Field), (B{0xFF, 0xFF}));
  EXPECT_EQ(DecimalTextToBytes("9999999999", TextMode::Field), (B{0x02, 0x54, 0x0B, 0xE3, 0xFF}));
  EXPECT_EQ(DecimalTextToBytes("", TextMode::Field), B{});
  // A field's 64-bit accumulator wraps: 2^64 reads as 0.
  EXPECT_EQ(DecimalTextToBytes("18446744073709551616", TextMode::Field), (B{0x00}));
}

TEST(TextBytes, StrictModeRefusesForeignCharactersAndOverflow) {
  EXPECT_EQ(HexTextToBytes("0a1B", TextMode::Strict), (B{0x0A, 0x1B}));
  EXPECT_FALSE(HexTextToBytes("12G4", TextMode::Strict));
  EXPECT_FALSE(HexTextToBytes("12 34", TextMode::Strict));
  EXPECT_FALSE(HexTextToBytes("0x12", TextMode::Strict));
  EXPECT_EQ(DecimalTextToBytes("18446744073709551615", TextMode::Strict), B(8, 0xFF));
  EXPECT_FALSE(DecimalTextToBytes("18446744073709551616", TextMode::Strict));
  EXPECT_FALSE(DecimalTextToBytes("12a", TextMode::Strict));
  EXPECT_FALSE(DecimalTextToBytes("-1", TextMode::Strict));
  EXPECT_EQ(HexBytesExact("0123456789", 5), (B{0x01, 0x23, 0x45, 0x67, 0x89}));
  EXPECT_FALSE(HexBytesExact("123456789", 5));
  EXPECT_FALSE(HexBytesExact("012345678Z", 5));
}

TEST(TextBytes, BytesToText) {
  EXPECT_EQ(FormatHex(B{0x0A, 0xBC}), "0ABC");
  EXPECT_EQ(FormatHex(B{0x00, 0x14}, " "), "00 14");
  const std::array<std::uint8_t, 2> n123{0x00, 0x7B};
  EXPECT_EQ(FormatDecimal(n123.data(), 2, 5), "00123");
  EXPECT_EQ(FormatDecimal(n123.data(), 2, 2), "23");
  const std::array<std::uint8_t, 1> zero{0};
  EXPECT_EQ(BytesToDecimalText(zero, 0), "");
  EXPECT_EQ(BytesToDecimalText(zero, 3), "000");
  const std::array<std::uint8_t, 8> max{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(BytesToDecimalText(max, -1), "18446744073709551615");
  EXPECT_EQ(BytesToDecimalText(max, 25), "18446744073709551615");  // 20 digits at most
  // Beyond eight bytes the first ones are pushed out.
  const std::array<std::uint8_t, 9> nine{0x07, 0, 0, 0, 0, 0, 0, 0, 0x05};
  EXPECT_EQ(BytesToDecimalText(nine, 0), "5");
}

}  // namespace
}  // namespace rivelo
