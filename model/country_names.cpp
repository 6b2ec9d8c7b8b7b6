#include "model/country_names.h"

#include <algorithm>
#include <iterator>

namespace rivelo {
namespace {

struct Row {
  int code;
  const char* english;
  const char* chinese;
};

// The last row only ends the table, which may otherwise be empty.
const Row Rows[] = {
#include "country_names_table.inc"
    {-1, "", ""},
};
const Row* const RowsEnd = std::end(Rows) - 1;

}  // namespace

CountryInfo CountryOf(int code) {
  if (code >= 900 && code <= 998) return {CountryKind::Manufacturer};
  if (code == 999) return {CountryKind::Test};
  const auto it = std::find_if(std::begin(Rows), RowsEnd, [code](const Row& r) { return r.code == code; });
  if (it == RowsEnd || code < 0) return {};
  return {CountryKind::Country, it->english, it->chinese};
}

int CountryCount() { return static_cast<int>(RowsEnd - std::begin(Rows)); }

}  // namespace rivelo
