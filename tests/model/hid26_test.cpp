#include <gtest/gtest.h>

#include <cstdint>

#include "model/hid26.h"

namespace rivelo {
namespace {

// Published H10301 frames: FC 118 / CN 1603 carries a leading 1 and a trailing 0, FC 1 / CN 7
// a leading 1 and a trailing 0 as well, FC 0 / CN 0 only the trailing odd-parity 1.
TEST(Hid26, FramesOfKnownCards) {
  EXPECT_EQ(Hid26Text(Hid26Frame(118, 1603)), "2EC0C86");
  EXPECT_EQ(Hid26Text(Hid26Frame(1, 7)), "202000E");
  EXPECT_EQ(Hid26Text(Hid26Frame(0, 0)), "0000001");
  EXPECT_EQ(Hid26Text(Hid26Frame(255, 65535)), "1FFFFFF");
}

TEST(Hid26, EveryFrameTakesApartIntoItsFieldsWithBothParitiesGood) {
  for (unsigned facility = 0; facility < 256; ++facility) {
    for (unsigned card : {0u, 1u, 7u, 0xFFFu, 0x1000u, 1603u, 0x8001u, 65535u}) {
      const auto f = Hid26FromFrame(Hid26Frame(static_cast<std::uint8_t>(facility), static_cast<std::uint16_t>(card)));
      ASSERT_EQ(f.facility, facility);
      ASSERT_EQ(f.card, card);
      ASSERT_TRUE(f.ParityOk()) << facility << ':' << card;
    }
  }
}

// Each parity bit guards its own half: a flipped data bit spoils exactly the parity of its
// half, a flipped parity bit only itself.
TEST(Hid26, AFlippedBitSpoilsTheParityOfItsHalf) {
  const std::uint32_t good = Hid26Frame(118, 1603);
  for (int bit = 0; bit < 26; ++bit) {
    const auto f = Hid26FromFrame(good ^ (std::uint32_t{1} << bit));
    const bool leadingHalf = bit >= 13;  // the parity bit 25 and data bits 13-24
    EXPECT_EQ(f.leadingParityOk, !leadingHalf) << "bit " << bit;
    EXPECT_EQ(f.trailingParityOk, leadingHalf) << "bit " << bit;
  }
}

TEST(Hid26, BitsAboveTheFrameAreIgnored) {
  const auto f = Hid26FromFrame(0xFC000000u | Hid26Frame(1, 7));
  EXPECT_EQ(f.facility, 1);
  EXPECT_EQ(f.card, 7);
  EXPECT_TRUE(f.ParityOk());
  EXPECT_EQ(Hid26Text(0xFFFFFFFFu), "3FFFFFF");
}

}  // namespace
}  // namespace rivelo
