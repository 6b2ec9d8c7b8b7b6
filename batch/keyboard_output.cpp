#include "batch/keyboard_output.h"

#include "reader/commands.h"

namespace rivelo {

int KeyboardLatch = 0;

LatchStep StepKeyboardLatch(bool readOk) {
  if (readOk) {
    const bool armed = KeyboardLatch == 0;
    KeyboardLatch = 1;
    return armed ? LatchStep::Type : LatchStep::Held;
  }
  if (KeyboardLatch == 0) return LatchStep::Held;
  if (++KeyboardLatch < 3) return LatchStep::Held;
  KeyboardLatch = 0;
  return LatchStep::Rearmed;
}

LatchStep KeyboardOutputTick(KeyInjector& keys, Em4100Form form, bool pressEnter) {
  Em4100Id id{};
  const bool ok = CmdReadEm4100(id) == SOk;
  const LatchStep step = StepKeyboardLatch(ok);
  if (step == LatchStep::Type) {
    CmdReportResult(ResultIndicationSuccess);
    CmdAcknowledge(AcknowledgeKeyboard);
    keys.TypeText(Em4100FormText(id, form));
    if (pressEnter) keys.PressEnter();
  } else if (step == LatchStep::Rearmed) {
    CmdReportResult(ResultIndicationNormal);
  }
  return step;
}

}  // namespace rivelo
