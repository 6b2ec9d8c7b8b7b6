// The EM4305 configuration word in words, one field a line, in the build's language.
#pragma once

#include <QString>

#include "model/em4305_config.h"

namespace rivelo {

QString Em4305ConfigMeaning(const Em4305Config& config);

}  // namespace rivelo
