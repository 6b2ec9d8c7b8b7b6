// ISO 3166 numeric country codes as FDX-B animal identities carry them, with the names from
// Debian's iso-codes (English, and the Chinese translation), taken in at build time.
#pragma once

namespace rivelo {

enum class CountryKind {
  Country,       // an ISO 3166 code with a name
  Manufacturer,  // 900-998: the national code is a manufacturer's
  Test,          // 999: a test tag
  Unknown,       // no country has this code
};

struct CountryInfo {
  CountryKind kind = CountryKind::Unknown;
  const char* english = nullptr;  // set for CountryKind::Country
  const char* chinese = nullptr;
};

CountryInfo CountryOf(int code);

// How many countries the build carries (0 when iso-codes was not there to build from).
int CountryCount();

}  // namespace rivelo
