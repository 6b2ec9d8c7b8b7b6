#include <gtest/gtest.h>

#include "model/t5577_block0.h"

namespace rivelo {
namespace {

using M = T5577Modulation;
using L = T5577Layout;

TEST(T5577Block0, WordIsTheFieldBytesMostSignificantFirst) {
  const std::uint8_t bytes[4] = {0x00, 0x14, 0x80, 0x40};
  EXPECT_EQ(T5577Word(bytes), 0x00148040u);
  EXPECT_EQ(T5577Word(FactoryConfigWord), 0x000880E8u);
}

// The identity layouts written by the reader, each read from its fields.
TEST(T5577Block0, KnownLayoutsFromTheirFields) {
  const T5577Block0 em = DecodeT5577Block0(0x00148040);
  EXPECT_EQ(em.modulation, M::Manchester);
  EXPECT_EQ(em.dataRate, 64);
  EXPECT_EQ(em.maxBlock, 2);
  EXPECT_FALSE(em.passwordMode);
  EXPECT_FALSE(em.answerOnRequest);
  EXPECT_FALSE(em.sequenceTerminator);
  EXPECT_EQ(em.layout, L::Em4100);

  const T5577Block0 fdxb = DecodeT5577Block0(0x00098080);
  EXPECT_EQ(fdxb.modulation, M::Biphase57);
  EXPECT_EQ(fdxb.modulationBits, 0x18);
  EXPECT_EQ(fdxb.dataRate, 32);
  EXPECT_EQ(fdxb.maxBlock, 4);
  EXPECT_EQ(fdxb.layout, L::Fdxb);

  const T5577Block0 fsk = DecodeT5577Block0(0x00107060);
  EXPECT_EQ(fsk.modulation, M::Fsk2a);
  EXPECT_EQ(fsk.dataRate, 50);
  EXPECT_EQ(fsk.maxBlock, 3);
  EXPECT_EQ(fsk.layout, L::HidOrFdxa);

  const T5577Block0 factory = DecodeT5577Block0(0x000880E8);
  EXPECT_EQ(factory.modulation, M::Manchester);
  EXPECT_EQ(factory.dataRate, 32);
  EXPECT_EQ(factory.maxBlock, 7);
  EXPECT_TRUE(factory.sequenceTerminator);
  EXPECT_FALSE(factory.passwordMode);
  EXPECT_EQ(factory.layout, L::Factory);
}

// Password mode and answer on request protect a layout without changing it; the factory word
// with a password is no longer the factory word.
TEST(T5577Block0, ProtectionBitsLeaveTheLayout) {
  const T5577Block0 em = DecodeT5577Block0(0x00148050);
  EXPECT_TRUE(em.passwordMode);
  EXPECT_EQ(em.layout, L::Em4100);
  const T5577Block0 aor = DecodeT5577Block0(0x00148240);
  EXPECT_TRUE(aor.answerOnRequest);
  EXPECT_EQ(aor.layout, L::Em4100);
  EXPECT_EQ(DecodeT5577Block0(0x000880F8).layout, L::None);
  // The datasheet's delivery word: Manchester RF/32 with two blocks, no layout of ours.
  EXPECT_EQ(DecodeT5577Block0(0x00088040).layout, L::None);
}

// A word no layout knows still has every field taken apart.
TEST(T5577Block0, UnknownWordKeepsItsFields) {
  // Master key 6, RF/128, PSK2 with carrier 2, AOR, MAXBLK 5, PWD, terminator, init delay.
  const T5577Block0 b = DecodeT5577Block0(0x601C2BB9);
  EXPECT_EQ(b.masterKey, 6);
  EXPECT_FALSE(b.extendedMode);
  EXPECT_EQ(b.dataRate, 128);
  EXPECT_EQ(b.modulation, M::Psk2);
  EXPECT_EQ(b.pskCarrier, 2);
  EXPECT_TRUE(b.answerOnRequest);
  EXPECT_EQ(b.maxBlock, 5);
  EXPECT_TRUE(b.passwordMode);
  EXPECT_TRUE(b.sequenceTerminator);
  EXPECT_TRUE(b.initDelay);
  EXPECT_EQ(b.layout, L::None);

  EXPECT_EQ(DecodeT5577Block0(0x0000D000).modulation, M::Reserved);
  EXPECT_EQ(DecodeT5577Block0(0x00000000).modulation, M::Direct);
  EXPECT_EQ(DecodeT5577Block0(0x00000000).dataRate, 8);
  EXPECT_EQ(DecodeT5577Block0(0x00000000).maxBlock, 0);
}

// With master key 6 or 9 and bit 15 the rate bits follow the extended layout: no basic rate
// and no layout match is claimed for them.
TEST(T5577Block0, ExtendedModeClaimsNoBasicRate) {
  const T5577Block0 x = DecodeT5577Block0(0x60168040);
  EXPECT_TRUE(x.extendedMode);
  EXPECT_EQ(x.dataRate, 0);
  EXPECT_EQ(x.layout, L::None);
  // Bit 15 with another master key is not extended mode.
  EXPECT_FALSE(DecodeT5577Block0(0x00168040).extendedMode);
  EXPECT_EQ(DecodeT5577Block0(0x00168040).layout, L::Em4100);
}

}  // namespace
}  // namespace rivelo
