// Which text set the program speaks. The two programs differ only in this choice.
#pragma once

namespace rivelo {

enum class Language { English, Chinese };

Language CurrentLanguage();
void SetLanguage(Language language);

// The text for the current language: Tr("Stop", "停止").
inline const char* Tr(const char* english, const char* chinese) {
  return CurrentLanguage() == Language::Chinese ? chinese : english;
}

}  // namespace rivelo
