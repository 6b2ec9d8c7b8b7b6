// The batch profile of the EM4100 page for the EM4305 (which also serves T5577 tags): read
// with the EM4100 read, write with the EM4305 command first and the T5577 command second,
// both carrying the lock flag.
#pragma once

#include "batch/batch_profile.h"
#include "model/em4100.h"

namespace rivelo {

// The page's choices that the profile reads at the moment it needs them.
struct Em4100Choices {
  int lockAfterWrite = 0;                   // 0 or 1: the first byte of both write payloads
  Em4100Form outputForm = Em4100Form::Hex10;  // export lines (and keyboard output)
};

// choices must outlive the profile.
BatchProfile MakeEm4305IdProfile(const Em4100Choices* choices);

// The texts of the EM4100 runs in the current language.
BatchTexts Em4100BatchTexts();

Em4100Id ToEm4100Id(const Identity& id);

}  // namespace rivelo
