// Keyboard output: while on, each tag that arrives on the reader is typed once into the
// window that has the focus.
#pragma once

#include "model/em4100.h"
#include "platform/key_injection.h"

namespace rivelo {

// 0 armed (the next tag read is typed), 1 a tag was read at the last poll, 2 one poll has
// missed since. Process-wide; starting or stopping keyboard output leaves it as it is.
extern int KeyboardLatch;

enum class LatchStep {
  Type,     // a tag arrived while armed: type it
  Held,     // nothing to do
  Rearmed,  // the tag has been gone for two polls: armed again
};

// Moves the latch by one poll's outcome.
LatchStep StepKeyboardLatch(bool readOk);

// One poll (timer 5): reads the tag, signals, and types it when the latch says so. Returns
// the latch's step.
LatchStep KeyboardOutputTick(KeyInjector& keys, Em4100Form form, bool pressEnter);

constexpr int KeyboardPeriodMs = 250;

}  // namespace rivelo
