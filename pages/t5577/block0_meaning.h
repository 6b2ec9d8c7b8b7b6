// Block 0 of a T5577 in words, one field a line, in the build's language.
#pragma once

#include <QString>

#include "model/t5577_block0.h"

namespace rivelo {

QString Block0Meaning(const T5577Block0& block0);

}  // namespace rivelo
