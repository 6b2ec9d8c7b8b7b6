// The decoders' checks: a reader must not take a damaged frame for an identity. (The
// encoders are checked against the worked examples through the write commands.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/access/access_format.h"
#include "sim/access_decoders.h"
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

// Access-control images as published for known cards (the sources are cited with the host's
// codec tests: Proxmark3 and ChameleonUltra issues, forum dumps, the tag reference). Every
// single-bit change of one reads as nothing; Keri's ID and Presco's code carry no check, so there
// a change is another ID, never the one written.
TEST(AccessDecoders, PublishedImagesAndTheirFlippedBits) {
  struct Row {
    std::uint32_t block0;
    std::vector<std::uint32_t> data;
    const char* reads;
  };
  const Row rows[] = {
      {0x00107060, {0x1D555955, 0x5569A9A5, 0x55A59569}, "HID H10301 118:1603"},
      {0x00107060, {0x1D555955, 0x55695559, 0x555555A9}, "HID H10301 1:7"},
      {0x00107060, {0x1D555955, 0x5569A9A5, 0x56596695}, "HID H10301 118:2348"},
      {0x00107060, {0x1D555566, 0x95659959, 0x9A966555}, "HID H10304 22602:89248"},
      {0x00107060, {0x011DB7DE, 0x722BD811, 0x11111111}, "AWID26 123:45678"},
      {0x00147040, {0x007859A0, 0x362FF523}, "ioProx XSF(01)66:25342"},
      {0x00147040, {0x00786FA0, 0x30BE1E0B}, "ioProx XSF(01)BE:3011"},
      {0x00088040, {0xF2000000, 0x0102035A}, "Viking 00010203"},
      {0x00088040, {0xF2000000, 0x01A337CF}, "Viking 0001A337"},
      {0x00158040, {0xFFFF0000, 0x29447FD6}, "Jablotron 000029447F"},
      {0x00158040, {0xFFFF7999, 0x999999E7}, "Jablotron 7999999999"},
      {0x603E1040, {0xE0000000, 0x875BCD15}, "Keri 123456789"},
      {0x603E1040, {0xE0000000, 0xD6AD0AF8}, "Keri 1454181112"},
      {0x00088068, {0xBB0214FF, 0x10298001, 0x87C70000}, "Noralsy 98:1020187"},
      {0x00088068, {0xBB0214FF, 0x68102015, 0x01870000}, "Noralsy 02:6811501"},
      {0x00107080, {0x00010101, 0x01010101, 0x0101016E, 0xB35E5DA4}, "Pyramid 123:11223"},
      {0x00088088, {0x10D00000, 0, 0, 0x1E8021D9}, "Presco 1E8021D9"},
      {0x00088088, {0x10D00000, 0, 0, 0x0031E07E}, "Presco 0031E07E"},
      {0x00080080, {0xFF204990, 0x6D8511C5, 0x93155B56, 0xD5B2649F}, "PAC/Stanley CD4F5552"},
      {0x00080080, {0xFF204990, 0x6D3B41D0, 0x741D0741, 0xD0706D23}, "PAC/Stanley 9AAAAAA0"},
      {0x00148068, {0x56495332, 0x0001B669, 0x00000183}, "Visa2000 112233"},
      {0x00148040, {0xFF8C6529, 0x8C94A940}, "EM4100 RF/64 1122334455"},
      {0x00148040, {0xFF83C033, 0x22A646E4}, "EM4100 RF/64 0F0368568B"},
      {0x00148050, {0xFF8E4002, 0x7D836252}, "EM4100 RF/64 19004FC3C9"},
      {0x00088040, {0xFF8C6529, 0x8C94A940}, "EM4100 RF/32 1122334455"},
      {0x00048040, {0xFF8C6529, 0x8C94A940}, "EM4100 RF/16 1122334455"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DecodeAccessBlocks(r.block0, r.data), r.reads);
    EXPECT_EQ(DecodeAccessBlocks(r.block0 | 0x210, r.data), r.reads) << "password and wake-up";
    EXPECT_EQ(DecodeAccessBlocks(r.block0 ^ 0x00040000, r.data), "") << r.reads << ": other rate";
    EXPECT_EQ(DecodeAccessBlocks(r.block0, std::span(r.data).first(r.data.size() - 1)), "") << r.reads;
    const std::size_t unchecked = r.block0 == 0x603E1040 ? 33 : r.block0 == 0x00088088 ? 96 : r.data.size() * 32;
    for (std::size_t bit = 0; bit < r.data.size() * 32; ++bit) {
      const std::string flipped = DecodeAccessBlocks(r.block0, Flip(r.data, bit));
      if (bit >= unchecked) EXPECT_NE(flipped, r.reads) << bit;
      else EXPECT_EQ(flipped, "") << r.reads << " bit " << bit;
    }
  }
}

// What the host writes for each format, at its range's corners and inside, the virtual reader's
// own decoder reads as a card, a different one for each identity.
TEST(AccessDecoders, ReadEveryImageTheHostWrites) {
  for (const access::AccessFormat* f : access::AccessFormats()) {
    std::vector<std::string> names;
    for (const int corner : {0, 1, 2}) {
      access::AccessValues id;
      for (const access::AccessField& field : f->fields) {
        id.push_back(corner == 0 ? field.min : corner == 1 ? field.max : field.min + (field.max - field.min) / 3);
      }
      const auto image = access::Encode(*f, id);
      ASSERT_TRUE(image) << f->name;
      names.push_back(DecodeAccessBlocks(image->block0, image->data));
      EXPECT_NE(names.back(), "") << f->name << ' ' << access::Text(*f, id);
    }
    EXPECT_TRUE(names[0] != names[1] && names[1] != names[2] && names[0] != names[2]) << f->name;
  }
}

// Published HID cards as their Wiegand bits, in the 44-bit word below the fixed 1 at bit 37
// and a sentinel 1 (a 37-bit card fills the word itself): Corporate 1000 118/1603 and
// 1337/2137, H10304 666/31337, H10306 0x4996/0x02D2, 36-bit OEM cards of facility 45072.
TEST(AccessDecoders, PublishedHidCards) {
  struct Row {
    std::uint64_t bits;
    int length;
    const char* reads;
  };
  for (const Row& r : {Row{0x60EC00C87, 35, "HID Corporate 1000 118:1603"}, Row{0x4A72010B3, 35, "HID Corporate 1000 1337:2137"},
                       Row{0x1029A0F4D2, 37, "HID H10304 666:31337"}, Row{0x2932C05A4, 34, "HID H10306 18838:722"},
                       Row{0xD8082DD01, 36, "HID 36-bit OEM 0:45072:23456"}, Row{0xD80830820, 36, "HID 36-bit OEM 0:45072:24836"}}) {
    const std::uint64_t word = r.length == 37 ? r.bits : std::uint64_t{1} << 37 | std::uint64_t{1} << r.length | r.bits;
    EXPECT_EQ(DecodeHidWord(word), r.reads);
    for (int bit = 0; bit < 44; ++bit) EXPECT_NE(DecodeHidWord(word ^ std::uint64_t{1} << bit), r.reads) << bit;
  }
}

}  // namespace
}  // namespace rivelo::simtest
