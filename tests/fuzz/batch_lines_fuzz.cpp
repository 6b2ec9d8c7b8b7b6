// Every identity format's batch-line parser on any line a file can hold. A line is an
// identity or a reason, never both; an identity has the format's length, survives every text
// form, and its batch-line form reads back as the same identity, so a file that a run
// exported loads back as the tags it listed.
#include <string>
#include <string_view>

#include "batch/format_table.h"
#include "model/identity.h"
#include "model/text_bytes.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rivelo;

namespace {

// An EM4100 line is decimal digits between optional blanks, at most 40 bits.
void CheckEm4100(std::string_view line, const LineParse& parsed) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  const auto value = DecimalTextToBytes(line, TextMode::Strict);
  const bool number = !line.empty() && value.has_value();
  FUZZ_CHECK(parsed.id.has_value() == (number && value->size() <= 5));
  if (!parsed.id) return;
  Identity want(5 - value->size(), 0);
  want.insert(want.end(), value->begin(), value->end());
  FUZZ_CHECK(*parsed.id == want);
}

void CheckFormat(const IdentityFormat& format, std::string_view line) {
  const LineParse parsed = format.parseLine(line);
  FUZZ_CHECK(parsed.id.has_value() == (parsed.error == LineError::None));
  const Identity entry = format.fromEntry(line);
  FUZZ_CHECK(entry.empty() || entry.size() == format.length);
  if (std::string_view(format.name) == "em4100") CheckEm4100(line, parsed);
  if (!parsed.id) return;
  const Identity& id = *parsed.id;
  FUZZ_CHECK(id.size() == format.length);
  for (std::size_t f = 0; f < format.forms.size(); ++f) FUZZ_CHECK(!format.text(id, f).empty());
  FUZZ_CHECK(!format.fields(id).empty());
  // A next identity differs; past the range's end the identity stays as it was.
  Identity next = id;
  const bool more = format.increment(next);
  FUZZ_CHECK(next.size() == format.length && (next != id) == more);
  // The batch line form loads back as the identity it shows.
  const LineParse again = format.parseLine(format.text(id, format.lineForm));
  FUZZ_CHECK(again.id.has_value() && *again.id == id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  for (const FormatEntry& entry : FormatTable()) CheckFormat(*entry.format, line);
  return 0;
}
