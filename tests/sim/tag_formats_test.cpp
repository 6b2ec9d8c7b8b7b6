// The identity formats against the worked examples, and the decoders' checks.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "sim/tag_formats.h"

namespace rivelo::simtest {
namespace {

using namespace rivelo::sim;

template <std::size_t N>
std::vector<std::uint32_t> V(const std::array<std::uint32_t, N>& a) {
  return {a.begin(), a.end()};
}

std::vector<std::uint32_t> Flip(std::vector<std::uint32_t> w, std::size_t bit) {
  w[bit / 32] ^= 1u << (31 - bit % 32);
  return w;
}

TEST(Em4100Format, WorkedExamples) {
  EXPECT_EQ(V(Em4100Frame({0x11, 0x22, 0x33, 0x44, 0x55})), (std::vector<std::uint32_t>{0xFF8C6529, 0x8C94A940}));
  EXPECT_EQ(V(Em4100Frame({0x0F, 0x03, 0x68, 0x56, 0x8B})), (std::vector<std::uint32_t>{0xFF83C033, 0x22A646E4}));
  // On an EM4305 the words carry the blocks bit-reversed.
  EXPECT_EQ(Reverse32(0xFF8C6529), 0x94A631FFu);
  EXPECT_EQ(Reverse32(0x8C94A940), 0x02952931u);
  const auto id = DecodeEm4100(std::vector<std::uint32_t>{0xFF8C6529, 0x8C94A940});
  ASSERT_TRUE(id);
  EXPECT_EQ(*id, (Em4100Id{0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST(Em4100Format, AnySingleBitErrorIsRejected) {
  const auto frame = V(Em4100Frame({0x01, 0x23, 0x45, 0x67, 0x89}));
  for (std::size_t bit = 0; bit < 64; ++bit) EXPECT_FALSE(DecodeEm4100(Flip(frame, bit))) << "bit " << bit;
  EXPECT_FALSE(DecodeEm4100(std::vector<std::uint32_t>{frame[0]}));
}

TEST(FdxbFormat, WorkedExamples) {
  FdxbIdentity animal{112233, 999, false, true, 0};
  EXPECT_EQ(FdxbCrc(FdxbIdentityBits(animal)), 0x123B);
  EXPECT_EQ(V(FdxbFrame(animal)), (std::vector<std::uint32_t>{0x0032D6DC, 0x0402079F, 0x80406253, 0xB8040201}));
  FdxbIdentity pet{1337, 999, false, false, 0};
  EXPECT_EQ(FdxbCrc(FdxbIdentityBits(pet)), 0xDB59);
  EXPECT_EQ(V(FdxbFrame(pet)), (std::vector<std::uint32_t>{0x00339A08, 0x0402079F, 0x80403B75, 0x98040201}));
  const auto back = DecodeFdxb(V(FdxbFrame(animal)));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, animal);
}

TEST(FdxbFormat, TrailerTravelsInTheExtension) {
  const FdxbIdentity id{FdxbMaxNational, FdxbMaxCountry, true, true, 0xABCDEF};
  const auto back = DecodeFdxb(V(FdxbFrame(id)));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, id);
}

TEST(FdxbFormat, ErrorsInHeaderIdentityCrcOrControlBitsAreRejected) {
  const auto frame = V(FdxbFrame({112233, 999, false, true, 0}));
  // Header (11), 10 groups of 8 + control bit: everything up to the end of the CRC.
  for (std::size_t bit = 0; bit < 11 + 10 * 9; ++bit) EXPECT_FALSE(DecodeFdxb(Flip(frame, bit))) << "bit " << bit;
  // A control bit in the extension too.
  EXPECT_FALSE(DecodeFdxb(Flip(frame, 11 + 11 * 9 - 1)));
}

TEST(HidFormat, WorkedExamples) {
  EXPECT_EQ(Hid26Bits(118, 1603), 0x2EC0C86u);
  EXPECT_EQ(Hid26Bits(1, 7), 0x202000Eu);
  EXPECT_EQ(V(HidFrame(118, 1603)), (std::vector<std::uint32_t>{0x1D555955, 0x5569A9A5, 0x55A59569}));
  EXPECT_EQ(V(HidFrame(1, 7)), (std::vector<std::uint32_t>{0x1D555955, 0x55695559, 0x555555A9}));
  const auto card = DecodeHid(std::vector<std::uint32_t>{0x1D555955, 0x5569A9A5, 0x55A59569});
  ASSERT_TRUE(card);
  EXPECT_EQ(card->facility, 118);
  EXPECT_EQ(card->card, 1603);
}

TEST(HidFormat, BrokenManchesterOrParityIsRejected) {
  const auto frame = V(HidFrame(118, 1603));
  for (std::size_t bit = 0; bit < 96; ++bit) EXPECT_FALSE(DecodeHid(Flip(frame, bit))) << "bit " << bit;
  // Both halves of one Manchester pair swapped: a valid pair, but the parity catches it.
  auto swapped = frame;
  swapped[2] ^= 0x3u << 2;  // the pair of the card number's lowest bit
  EXPECT_FALSE(DecodeHid(swapped));
  // An FDX-A frame is not an HID card.
  EXPECT_FALSE(DecodeHid(V(FdxaFrame({0x1A, 0x2B, 0x3C, 0x4D, 0x5E}))));
}

TEST(FdxaFormat, WorkedExample) {
  EXPECT_EQ(V(FdxaFrame({0x1A, 0x2B, 0x3C, 0x4D, 0x5E})),
            (std::vector<std::uint32_t>{0x551D5699, 0x999A9AA5, 0xA5A666A9}));
  const auto id = DecodeFdxa(std::vector<std::uint32_t>{0x551D5699, 0x999A9AA5, 0xA5A666A9});
  ASSERT_TRUE(id);
  EXPECT_EQ(*id, (FdxaId{0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  const auto frame = V(FdxaFrame({0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  for (std::size_t bit = 0; bit < 96; ++bit) EXPECT_FALSE(DecodeFdxa(Flip(frame, bit))) << "bit " << bit;
  EXPECT_FALSE(DecodeFdxa(V(HidFrame(1, 7))));
}

}  // namespace
}  // namespace rivelo::simtest
