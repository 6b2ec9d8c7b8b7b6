#include "batch/country_text.h"

#include "model/country_names.h"
#include "resources/language.h"
#include "resources/texts_country.h"

namespace rivelo {

std::string CountryText(int code) {
  namespace t = texts::country;
  const CountryInfo c = CountryOf(code);
  switch (c.kind) {
    case CountryKind::Country: return Tr(c.english, c.chinese);
    case CountryKind::Manufacturer: return t::Manufacturer() + std::to_string(code);
    case CountryKind::Test: return t::Test() + std::to_string(code);
    case CountryKind::Unknown: break;
  }
  return t::Unknown() + std::to_string(code);
}

}  // namespace rivelo
