// FDX-B in rivelo: typed as decimal country and national codes with an optional trailer,
// written EM4305 first and T5577 second, reported with its country.
#include "batch/country_text.h"
#include "batch/fdxb_profile.h"
#include "cli/format_table.h"
#include "model/fdxb.h"
#include "resources/texts_fdxb.h"

namespace rivelo::cli {
namespace {

std::string CountryError(std::string_view text) {
  return DecimalValueError("country code", text, InfoOf(FdxbNumber::Country).maximum);
}

std::string NationalError(std::string_view text) {
  return DecimalValueError("national code", text, InfoOf(FdxbNumber::National).maximum);
}

std::string TrailerError(std::string_view text) {
  return DecimalValueError("trailer", text, InfoOf(FdxbNumber::Trailer).maximum);
}

// Country, national code, trailer: already checked, so within their ranges.
Identity FdxbIdentity(const std::vector<std::string>& values) {
  FdxbId id{};
  const FdxbNumber order[] = {FdxbNumber::Country, FdxbNumber::National, FdxbNumber::Trailer};
  for (std::size_t i = 0; i < 3; ++i) SetNumber(id, order[i], std::stoull(values.at(i)));
  return FromFdxbId(id);
}


BatchProfile FdxbProfile(std::function<RunChoices()> choices) {
  BatchProfile p = MakeFdxbProfile(Em4305FdxbWrite(), FdxbBatchTexts(texts::fdxb::Em4305Page()), std::move(choices));
  p.ops.writes.push_back(T5577FdxbWrite());
  return p;
}

std::string CountryOf(const FdxbId& id) { return CountryText(static_cast<int>(NumberOf(id, FdxbNumber::Country))); }

Labelled FdxbReport(const Identity& identity) {
  const FdxbId id = ToFdxbId(identity);
  const auto number = [&id](FdxbNumber n) { return std::to_string(NumberOf(id, n)); };
  return {{"national", number(FdxbNumber::National)},
          {"country", number(FdxbNumber::Country) + " (" + CountryOf(id) + ")"},
          {"trailer", number(FdxbNumber::Trailer)},
          {"24D", FdxbLine(id)},
          // As certificates write it, country and national code apart.
          {"15D", FdxbIso15(id, " ")}};
}

Labelled FdxbJsonMembers(const Identity& identity) { return {{"countryName", CountryOf(ToFdxbId(identity))}}; }

}  // namespace

CliFormat FdxbCliFormat() {
  CliFormat f{};
  f.format = &FdxbFormat();
  f.title = "FDX-B";
  f.words = {{"COUNTRY", "the country code, 0 to 1023 (999: a test tag)", CountryError},
             {"NATIONAL", "the national code, 0 to 274877906943", NationalError}};
  f.options = {{"--trailer", "the trailer, 0 to 16777215 (default 0)", TrailerError, "N", "0"}};
  f.identity = FdxbIdentity;
  f.fileLineHelp =
      "one identity a line in 24 digits (national 12, country 4, trailer 8; as read --continuous exports them)";
  f.incrementalHelp =
      "this identity onto the first tag, its national code one more onto each next (after 274877906943: 0); "
      "country code and trailer stay";
  f.formNote = "only 24D lines load back as a batch file";
  f.lockable = false;
  f.profile = FdxbProfile;
  f.chips = {{"em4305", 500}, {"t5577", 500}};
  f.report = FdxbReport;
  f.jsonMembers = FdxbJsonMembers;
  return f;
}

}  // namespace rivelo::cli
