#include <gtest/gtest.h>

#include "model/em4100.h"

namespace rivelo {
namespace {

TEST(Em4100Id, IncrementCarriesAndWraps) {
  Em4100Id id{0, 0, 0, 0, 0xFF};
  IncrementId(id);
  EXPECT_EQ(id, (Em4100Id{0, 0, 0, 1, 0}));
  id = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  IncrementId(id);
  EXPECT_EQ(id, (Em4100Id{}));
  id = {0x01, 0x23, 0x45, 0x67, 0xFF};
  IncrementId(id);
  EXPECT_EQ(id, (Em4100Id{0x01, 0x23, 0x45, 0x68, 0x00}));
}

TEST(Em4100Id, AlignRight5PadsShortValues) {
  const std::uint8_t one[] = {0x1A};
  EXPECT_EQ(AlignRight5(one), (Em4100Id{0, 0, 0, 0, 0x1A}));
  EXPECT_EQ(AlignRight5({}), (Em4100Id{}));
  const std::uint8_t five[] = {1, 2, 3, 4, 5};
  EXPECT_EQ(AlignRight5(five), (Em4100Id{1, 2, 3, 4, 5}));
}

TEST(Em4100Id, BatchLinesReadLikeStrtoll) {
  EXPECT_EQ(DecimalToId("  42"), (Em4100Id{0, 0, 0, 0, 0x2A}));
  EXPECT_EQ(DecimalToId(""), (Em4100Id{}));
  EXPECT_EQ(DecimalToId("letters"), (Em4100Id{}));
  EXPECT_EQ(DecimalToId("-1"), (Em4100Id{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(DecimalToId("12AB"), (Em4100Id{0, 0, 0, 0, 12}));
  // 13-digit lines (whole 40 bits) and 10-digit lines (low 32 bits) come back as written.
  EXPECT_EQ(DecimalToId("0004886718345"), (Em4100Id{0x01, 0x23, 0x45, 0x67, 0x89}));
  EXPECT_EQ(DecimalToId("1164413321"), (Em4100Id{0x00, 0x45, 0x67, 0x89, 0x89}));
  // Beyond signed 64 bits the value saturates: LLONG_MAX keeps FF in its low 40 bits,
  // LLONG_MIN zeros.
  EXPECT_EQ(DecimalToId("99999999999999999999999"), (Em4100Id{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(DecimalToId("-99999999999999999999999"), (Em4100Id{}));
  // A Windows line end left on the line stops the number like any other character.
  EXPECT_EQ(DecimalToId("42\r"), (Em4100Id{0, 0, 0, 0, 0x2A}));
}

TEST(Em4100Id, FormTexts) {
  const Em4100Id id{0x01, 0x23, 0x45, 0x67, 0x89};
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Hex10), "0123456789");
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Dec08H), "0591751049");
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Dec06H), "0004548489");
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Split02And04), "06926505");
  const Em4100Id top{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(Em4100FormText(top, Em4100Form::Dec08H), "4294967295");
  EXPECT_EQ(Em4100FormText(top, Em4100Form::Dec06H), "0016777215");
  EXPECT_EQ(Em4100FormText(top, Em4100Form::Split02And04), "25565535");
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Dec13), "0004886718345");
  const std::uint8_t v[] = {0x00, 0x7B};
  EXPECT_EQ(FormatDecimal(v, 2, 2), "23");
}

TEST(Em4100Id, FieldConversions) {
  EXPECT_EQ(HexDigitsToBytes("ABC"), (std::vector<std::uint8_t>{0x0A, 0xBC}));
  EXPECT_EQ(HexDigitsToBytes("1"), (std::vector<std::uint8_t>{0x01}));
  EXPECT_TRUE(HexDigitsToBytes("").empty());
  EXPECT_EQ(DecimalDigitsToBytes("0"), (std::vector<std::uint8_t>{0x00}));
  EXPECT_EQ(DecimalDigitsToBytes("65535"), (std::vector<std::uint8_t>{0xFF, 0xFF}));
  EXPECT_EQ(DecimalDigitsToBytes("9999999999"), (std::vector<std::uint8_t>{0x02, 0x54, 0x0B, 0xE3, 0xFF}));
  EXPECT_TRUE(DecimalDigitsToBytes("").empty());
}

}  // namespace
}  // namespace rivelo
