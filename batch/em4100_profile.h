// The chip operations for EM4100 identities, and the batch profile of the EM4100 page for
// the EM4305 (which also serves T5577 tags): EM4305 write first, T5577 second.
#pragma once

#include <functional>

#include "batch/batch_profile.h"
#include "model/em4100.h"

namespace rivelo {

// The EM4100 read (0x10C): an identity, the reader's "none", or no valid reply.
ReadOutcome ReadEm4100Tag(Identity* id);
// The EM4100 writes of each chip, with the lock flag of the choices.
ChipWrite Em4305Em4100Write();
ChipWrite T5577Em4100Write();

// The texts of the EM4100 runs in the current language.
BatchTexts Em4100BatchTexts();

// choices is called whenever the runner needs the page's lock flag or export form.
BatchProfile MakeEm4305IdProfile(std::function<RunChoices()> choices);

}  // namespace rivelo
