#include <gtest/gtest.h>

#include "model/em4305_fields.h"

namespace rivelo {
namespace {

using F = Em4305Field;

TEST(Em4305Fields, HexEntryFillsTheOtherForms) {
  Em4305Fields f;
  f.hex10 = "ABC";
  const auto m = MirrorEm4305Fields(F::Hex10, f);
  ASSERT_FALSE(m.limitMessage);
  EXPECT_EQ(m.fields, (Em4305Fields{"ABC", "0000002748", "0000002748", "000", "02748"}));
}

TEST(Em4305Fields, DecimalEntriesZeroTheHigherBytesUnlessTheySpill) {
  Em4305Fields f = Em4305FieldsOf({0x11, 0x22, 0x33, 0x44, 0x55});
  f.dec08 = "0";
  EXPECT_EQ(MirrorEm4305Fields(F::Dec08H, f).fields, (Em4305Fields{"0000000000", "0", "0000000000", "000", "00000"}));
  f.dec08 = "9999999999";
  EXPECT_EQ(MirrorEm4305Fields(F::Dec08H, f).fields.hex10, "02540BE3FF");
  f.dec06 = "16777216";
  EXPECT_EQ(MirrorEm4305Fields(F::Dec06H, f).fields.hex10, "0001000000");
}

TEST(Em4305Fields, EmptyingAFieldEmptiesItsRow) {
  Em4305Fields f = Em4305FieldsOf({0x01, 0x23, 0x45, 0x67, 0x89});
  f.dec08.clear();
  EXPECT_EQ(MirrorEm4305Fields(F::Dec08H, f).fields, Em4305Fields{});
  // The two boxes count as empty only together.
  f = Em4305FieldsOf({0x01, 0x23, 0x45, 0x67, 0x89});
  f.box02.clear();
  EXPECT_EQ(MirrorEm4305Fields(F::Box02, f).fields.hex10, "0000006789");
  f.box04.clear();
  const auto both = MirrorEm4305Fields(F::Box04, f).fields;
  EXPECT_TRUE(both.hex10.empty() && both.dec08.empty() && both.dec06.empty());
}

TEST(Em4305Fields, BoxesBuildTheLow24Bits) {
  Em4305Fields f;
  f.box02 = "1";
  EXPECT_EQ(MirrorEm4305Fields(F::Box02, f).fields.hex10, "0000010000");
  f = {};
  f.box04 = "1";
  const auto m = MirrorEm4305Fields(F::Box04, f).fields;
  EXPECT_EQ(m.hex10, "0000000001");
  EXPECT_EQ(m.box02, "");  // the boxes themselves are the operator's
}

TEST(Em4305Fields, BoxLimitsStopTheUpdate) {
  Em4305Fields f = Em4305FieldsOf({0x01, 0x23, 0x45, 0x67, 0x89});
  f.box02 = "256";
  auto m = MirrorEm4305Fields(F::Box02, f);
  ASSERT_TRUE(m.limitMessage);
  EXPECT_EQ(*m.limitMessage, "256 > 255");
  EXPECT_EQ(m.focus, F::Box02);
  EXPECT_EQ(m.fields.hex10, "0123456789");

  f.box02 = "001";
  f.box04 = "65536";
  m = MirrorEm4305Fields(F::Box04, f);
  EXPECT_EQ(*m.limitMessage, "65536 > 65535");
  EXPECT_EQ(m.focus, F::Box04);

  // The 02H box is tested first, whichever box changed; a change of the 02H box still
  // reports an over-limit 04H box.
  f.box02 = "300";
  EXPECT_EQ(*MirrorEm4305Fields(F::Box04, f).limitMessage, "300 > 255");
  f.box02 = "2";
  EXPECT_EQ(*MirrorEm4305Fields(F::Box02, f).limitMessage, "65536 > 65535");
}

TEST(Em4305Fields, ReadIdentityShowsAllFive) {
  EXPECT_EQ(Em4305FieldsOf({0x01, 0x23, 0x45, 0x67, 0x89}),
            (Em4305Fields{"0123456789", "0591751049", "0004548489", "069", "26505"}));
}

}  // namespace
}  // namespace rivelo
