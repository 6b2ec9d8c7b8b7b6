// The EM4305 configuration word's fields, from the words the identity layouts and the factory
// write, and from single bits so that no field reads its neighbour's.
#include <gtest/gtest.h>

#include <array>

#include "model/em4305_config.h"

namespace rivelo {
namespace {

TEST(Em4305Config, WordTakesTheReaderByteOrder) {
  const std::array<std::uint8_t, 4> bytes{0x5F, 0x80, 0x01, 0x00};
  EXPECT_EQ(Em4305Word(bytes), 0x0001805Fu);
}

TEST(Em4305Config, KnownWords) {
  const Em4305Config em4100 = DecodeEm4305Config(0x0001805F);
  EXPECT_EQ(em4100.dataRate, 64);
  EXPECT_EQ(em4100.encoder, Em4305Encoder::Manchester);
  EXPECT_EQ(em4100.lastReadWord, 6);
  EXPECT_FALSE(em4100.readLogin);
  EXPECT_FALSE(em4100.writeLogin);
  EXPECT_FALSE(em4100.disableAllowed);

  const Em4305Config factory = DecodeEm4305Config(0x0002008F);
  EXPECT_EQ(factory.dataRate, 32);
  EXPECT_EQ(factory.encoder, Em4305Encoder::Biphase);
  EXPECT_EQ(factory.lastReadWord, 8);
  EXPECT_FALSE(factory.readerTalksFirst);
}

TEST(Em4305Config, EachFlagAlone) {
  EXPECT_TRUE(DecodeEm4305Config(1u << 18).readLogin);
  EXPECT_FALSE(DecodeEm4305Config(1u << 18).writeLogin);
  EXPECT_TRUE(DecodeEm4305Config(1u << 20).writeLogin);
  EXPECT_FALSE(DecodeEm4305Config(1u << 20).disableAllowed);
  EXPECT_TRUE(DecodeEm4305Config(1u << 23).disableAllowed);
  EXPECT_TRUE(DecodeEm4305Config(1u << 24).readerTalksFirst);
  // The neighbours of the fields leave them alone.
  const Em4305Config c = DecodeEm4305Config((1u << 19) | (1u << 21) | (1u << 22) | (1u << 13) | (3u << 10));
  EXPECT_EQ(c.lastReadWord, 0);
  EXPECT_EQ(c.encoderBits, 0);
  EXPECT_FALSE(c.readLogin || c.writeLogin || c.disableAllowed);
}

TEST(Em4305Config, RateAndEncoderLimits) {
  EXPECT_EQ(DecodeEm4305Config(0).dataRate, 2);
  EXPECT_EQ(DecodeEm4305Config(0x3F).dataRate, 128);
  EXPECT_EQ(DecodeEm4305Config(0xFFFFFFFF).lastReadWord, 15);
  const Em4305Config odd = DecodeEm4305Config(3u << 6);
  EXPECT_EQ(odd.encoder, Em4305Encoder::Other);
  EXPECT_EQ(odd.encoderBits, 3);
}

}  // namespace
}  // namespace rivelo
