#include "resources/language.h"

namespace rivelo {
namespace {
Language current = Language::English;
}

Language CurrentLanguage() { return current; }
void SetLanguage(Language language) { current = language; }

}  // namespace rivelo
