#include <gtest/gtest.h>

#include <cstdint>

#include "model/fdxa.h"

namespace rivelo {
namespace {

TEST(Fdxa, OnlyTheSevenDataBitsOfEachByteAreWritten) {
  const std::uint8_t all[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(FdxaWritable(all), (FdxaCode{0x7F, 0x7F, 0x7F, 0x7F, 0x7F}));
  const std::uint8_t nine[] = {0x01, 0x23, 0x45, 0x67, 0x89};  // "123456789"
  EXPECT_EQ(FdxaWritable(nine), (FdxaCode{0x01, 0x23, 0x45, 0x67, 0x09}));
  const std::uint8_t low[] = {0x00, 0x1A, 0x2B, 0x3C, 0x7F};
  EXPECT_EQ(FdxaWritable(low), (FdxaCode{0x00, 0x1A, 0x2B, 0x3C, 0x7F}));
}

}  // namespace
}  // namespace rivelo
