#include <gtest/gtest.h>

#include "batch/keyboard_output.h"

namespace rivelo {
namespace {

TEST(KeyboardLatch, TypesOnArrivalAndRearmsAfterTwoMissedPolls) {
  KeyboardLatch = 0;
  EXPECT_EQ(StepKeyboardLatch(true), LatchStep::Type);
  EXPECT_EQ(StepKeyboardLatch(true), LatchStep::Held);  // held on the reader: typed once
  EXPECT_EQ(StepKeyboardLatch(false), LatchStep::Held);
  EXPECT_EQ(StepKeyboardLatch(true), LatchStep::Held);  // one missed poll is not a new tag
  EXPECT_EQ(StepKeyboardLatch(false), LatchStep::Held);
  EXPECT_EQ(StepKeyboardLatch(false), LatchStep::Rearmed);
  EXPECT_EQ(KeyboardLatch, 0);
  EXPECT_EQ(StepKeyboardLatch(false), LatchStep::Held);  // armed and empty: nothing
  EXPECT_EQ(StepKeyboardLatch(true), LatchStep::Type);
}

}  // namespace
}  // namespace rivelo
