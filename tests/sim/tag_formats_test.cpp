// The decoders' checks: a reader must not take a damaged frame for an identity. (The
// encoders are checked against the worked examples through the write commands.)
#include <gtest/gtest.h>

#include <vector>

#include "sim/tag_formats.h"

namespace rivelo::simtest {
namespace {

using namespace rivelo::sim;

template <typename Frame>
std::vector<std::uint32_t> Flip(const Frame& frame, std::size_t bit) {
  std::vector<std::uint32_t> w(frame.begin(), frame.end());
  w[bit / 32] ^= 1u << (31 - bit % 32);
  return w;
}

TEST(TagFormats, ChecksumsOfTheWorkedExamples) {
  EXPECT_EQ(FdxbCrc(FdxbIdentityBits({112233, 999, false, true, 0})), 0x123B);
  EXPECT_EQ(FdxbCrc(FdxbIdentityBits({1337, 999, false, false, 0})), 0xDB59);
  EXPECT_EQ(Hid26Bits(118, 1603), 0x2EC0C86u);
  EXPECT_EQ(Hid26Bits(1, 7), 0x202000Eu);
}

TEST(TagFormats, AnySingleBitErrorIsRejected) {
  const auto em = Em4100Frame({0x01, 0x23, 0x45, 0x67, 0x89});
  const auto hid = HidFrame(118, 1603);
  const auto fdxa = FdxaFrame({0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  const auto fdxb = FdxbFrame({112233, 999, false, true, 0});
  for (std::size_t bit = 0; bit < 64; ++bit) EXPECT_FALSE(DecodeEm4100(Flip(em, bit))) << bit;
  for (std::size_t bit = 0; bit < 96; ++bit) {
    EXPECT_FALSE(DecodeHid(Flip(hid, bit))) << bit;
    EXPECT_FALSE(DecodeFdxa(Flip(fdxa, bit))) << bit;
  }
  // FDX-B: header, identity, CRC and every control bit (the trailer has no check of its own).
  for (std::size_t bit = 0; bit < 128; ++bit) {
    const bool checked = bit < 11 + 10 * 9 || (bit - 10) % 9 == 0;
    if (checked) {
      EXPECT_FALSE(DecodeFdxb(Flip(fdxb, bit))) << bit;
    }
  }
}

TEST(TagFormats, ValidButForeignFramesAreRejected) {
  // A swapped Manchester pair is a valid bit: the HID parity must catch it.
  auto hid = HidFrame(118, 1603);
  hid[2] ^= 0x3u << 2;  // the pair of the card number's lowest bit
  EXPECT_FALSE(DecodeHid(hid));
  EXPECT_FALSE(DecodeHid(FdxaFrame({0x1A, 0x2B, 0x3C, 0x4D, 0x5E})));
  EXPECT_FALSE(DecodeFdxa(HidFrame(1, 7)));
  const auto em = Em4100Frame({1, 2, 3, 4, 5});
  EXPECT_FALSE(DecodeEm4100(std::vector<std::uint32_t>{em[0]}));
}

TEST(TagFormats, ExtremesRoundTrip) {
  const FdxbIdentity id{FdxbMaxNational, FdxbMaxCountry, true, true, 0xABCDEF};
  EXPECT_EQ(DecodeFdxb(FdxbFrame(id)), id);
  EXPECT_EQ(DecodeEm4100(Em4100Frame({0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), (Em4100Id{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(DecodeFdxa(FdxaFrame({0, 0, 0, 0, 0})), (FdxaId{0, 0, 0, 0, 0}));
  const auto card = DecodeHid(HidFrame(255, 65535));
  ASSERT_TRUE(card);
  EXPECT_EQ(card->facility, 255);
  EXPECT_EQ(card->card, 65535);
}

}  // namespace
}  // namespace rivelo::simtest
