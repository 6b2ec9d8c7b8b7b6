#include <gtest/gtest.h>

#include "model/t5577_em4100_fields.h"

namespace rivelo {
namespace {

using F = T5577Em4100Field;

const Em4100Id Sample{0x01, 0x23, 0x45, 0x67, 0x89};

TEST(T5577Em4100Fields, ReadIdentityShowsAllFour) {
  EXPECT_EQ(T5577Em4100FieldsOf(Sample), (T5577Em4100Fields{"0123456789", "0004886718345", "0004548489", "069,26505"}));
  EXPECT_EQ(T5577Em4100FieldsOf({}), (T5577Em4100Fields{"0000000000", "0000000000000", "0000000000", "000,00000"}));
}

// Any edit empties the display-only fields; the value itself is never realigned or cut.
TEST(T5577Em4100Fields, HexEntryGivesTheWholeValueIn13Digits) {
  T5577Em4100Fields f = T5577Em4100FieldsOf(Sample);
  f.hex10 = "ABC";
  EXPECT_EQ(MirrorT5577Em4100Fields(F::Hex10, f), (T5577Em4100Fields{"ABC", "0000000002748", "", ""}));
  f.hex10 = "FFFFFFFFFF";
  EXPECT_EQ(MirrorT5577Em4100Fields(F::Hex10, f).dec13, "1099511627775");
  f = T5577Em4100FieldsOf(Sample);
  f.hex10.clear();
  EXPECT_EQ(MirrorT5577Em4100Fields(F::Hex10, f), T5577Em4100Fields{});
}

TEST(T5577Em4100Fields, DecimalEntryFillsTheHexFieldAndClampsBeyond40Bits) {
  T5577Em4100Fields f = T5577Em4100FieldsOf(Sample);
  const auto hexOf = [&](const std::string& dec13) {
    f.dec13 = dec13;
    return MirrorT5577Em4100Fields(F::Dec13, f).hex10;
  };
  EXPECT_EQ(hexOf("0"), "0000000000");
  EXPECT_EQ(hexOf("4886718345"), "0123456789");  // fewer digits than 13: right-aligned
  EXPECT_EQ(hexOf("1099511627775"), "FFFFFFFFFF");
  EXPECT_EQ(hexOf("1099511627776"), "FFFFFFFFFF");
  EXPECT_EQ(hexOf("9999999999999"), "FFFFFFFFFF");
  EXPECT_EQ(hexOf(""), "");
  const auto m = MirrorT5577Em4100Fields(F::Dec13, T5577Em4100FieldsOf(Sample));
  EXPECT_EQ(m.dec13, "0004886718345");  // the operator's field keeps its text
  EXPECT_TRUE(m.dec06.empty() && m.split.empty());
}

TEST(T5577Em4100Fields, ListTextNamesTheIdentityWritten) {
  EXPECT_EQ(T5577Em4100ListText("0004886718345", Sample), "0004886718345");
  EXPECT_EQ(T5577Em4100ListText("4886718345", Sample), "4886718345");  // as the operator typed it
  // A clamped entry, an entry changed during the run, an empty field: the identity written.
  const Em4100Id all{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(T5577Em4100ListText("9999999999999", all), "1099511627775");
  EXPECT_EQ(T5577Em4100ListText("12", Sample), "0004886718345");
  EXPECT_EQ(T5577Em4100ListText("", Em4100Id{}), "0000000000000");
  EXPECT_EQ(T5577Em4100ListText("00x", Em4100Id{}), "0000000000000");
}

}  // namespace
}  // namespace rivelo
