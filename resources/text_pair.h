// A text in both languages; calling it gives the text of the current language.
#pragma once

#include "resources/language.h"

namespace rivelo {

struct TextPair {
  const char* english;
  const char* chinese;
  const char* operator()() const { return Tr(english, chinese); }
};

}  // namespace rivelo
