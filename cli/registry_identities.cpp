#include "cli/registry_identities.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "batch/format_table.h"

namespace rivelo::cli {
namespace {

std::string UpperTrimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  text = text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// A whole number from 1 up, as the run and file_line columns hold them.
std::optional<int> Positive(const std::string& text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
  return value;
}

// The fields of one CSV line, quoted as the run log quotes them; nullopt when a quote is open.
std::optional<std::vector<std::string>> SplitCsv(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  if (quoted) return std::nullopt;
  return fields;
}

// The format whose forms the header names (the one with the most, should two fit).
const IdentityFormat* FormatOfHeader(const std::map<std::string, std::size_t>& columns) {
  const IdentityFormat* found = nullptr;
  for (const IdentityFormat* format : IdentityFormats()) {
    bool all = true;
    for (const IdentityForm& form : format->forms) all = all && columns.count(form.key) > 0;
    if (all && (!found || format->forms.size() > found->forms.size())) found = format;
  }
  return found;
}

std::string FormatsAndForms() {
  std::string text;
  for (const IdentityFormat* format : IdentityFormats()) {
    text += text.empty() ? "" : "; ";
    text += std::string(format->name) + ":";
    for (const IdentityForm& form : format->forms) text += std::string(" ") + form.key;
  }
  return text;
}

}  // namespace

std::optional<Identity> IdentityFromText(const IdentityFormat& format, std::string_view text) {
  const std::string wanted = UpperTrimmed(text);
  if (wanted.empty()) return std::nullopt;
  std::vector<Identity> readings{format.fromEntry(wanted)};
  if (const LineParse line = format.parseLine(wanted); line.id) readings.push_back(*line.id);
  for (const Identity& id : readings)
    for (std::size_t form = 0; form < format.forms.size(); ++form)
      if (UpperTrimmed(format.text(id, form)) == wanted) return id;
  return std::nullopt;
}

std::string RegistryIdentity(const IdentityFormat& format, const Identity& id) { return format.text(id, 0); }

std::optional<std::int64_t> RunLogTimeMs(std::string_view t) {
  // YYYY-MM-DDThh:mm:ss+hhmm; the offset may also be written +hh:mm.
  if (t.size() != 24 && t.size() != 25) return std::nullopt;
  if (t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':') return std::nullopt;
  if (t[19] != '+' && t[19] != '-') return std::nullopt;
  const auto year = Digits(t, 0, 4), month = Digits(t, 5, 2), day = Digits(t, 8, 2);
  const auto hour = Digits(t, 11, 2), minute = Digits(t, 14, 2), second = Digits(t, 17, 2);
  const bool colon = t.size() == 25;
  if (colon && t[22] != ':') return std::nullopt;
  const auto offHours = Digits(t, 20, 2), offMinutes = Digits(t, colon ? 23 : 22, 2);
  if (!year || !month || !day || !hour || !minute || !second || !offHours || !offMinutes) return std::nullopt;
  if (*hour > 23 || *minute > 59 || *second > 60 || *offHours > 23 || *offMinutes > 59) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(*year), std::chrono::month(static_cast<unsigned>(*month)),
                                         std::chrono::day(static_cast<unsigned>(*day))};
  if (!date.ok()) return std::nullopt;
  const std::int64_t days = std::chrono::sys_days(date).time_since_epoch().count();
  const std::int64_t offset = (t[19] == '-' ? -1 : 1) * (*offHours * 3600 + *offMinutes * 60);
  return (days * 86400 + *hour * 3600 + *minute * 60 + *second - offset) * 1000;
}

bool ReadRunLog(const std::string& path, RunLogRows* read, std::string* why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *why = "cannot be read";
    return false;
  }
  std::string line;
  if (!std::getline(in, line)) {
    *why = "is empty, no run log";
    return false;
  }
  if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string headerLine = line;
  std::map<std::string, std::size_t> columns;
  const auto header = SplitCsv(line);
  for (std::size_t i = 0; header && i < header->size(); ++i) columns.emplace((*header)[i], i);
  const IdentityFormat* format = FormatOfHeader(columns);
  for (const char* name : {"time", "chip", "run", "file_line"})
    if (!columns.count(name)) format = nullptr;
  if (!format) {
    *why = "line 1: no run log header (time,page,chip,run,file_line and the forms of one format: " +
           FormatsAndForms() + ")";
    return false;
  }
  const auto column = [&](const char* name) { return columns.count(name) ? columns.at(name) : std::string::npos; };
  const std::size_t status = column("status"), serial = column("chip_serial");
  const std::string source = std::filesystem::absolute(path).lexically_normal().string();

  for (int number = 2; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Blank where a line cut off by a crash was ended; a header again where a log written as a
    // stream (a pipe) was saved, which repeats it with each run.
    if (line.empty() || line == headerLine) continue;
    const auto fail = [&](const std::string& reason) {
      *why = "line " + std::to_string(number) + ": " + reason;
      return false;
    };
    const auto fields = SplitCsv(line);
    if (!fields) return fail("a quote is not closed");
    if (fields->size() != header->size())
      return fail(std::to_string(fields->size()) + " fields where the header names " +
                  std::to_string(header->size()) + " (a line cut off?)");
    const auto field = [&](std::size_t at) { return at == std::string::npos ? std::string() : (*fields)[at]; };
    if (status != std::string::npos) {
      const std::string state = field(status);
      if (state == "refused") {
        ++read->refused;
        continue;
      }
      if (state != "written" && state != "protected")
        return fail("status '" + state + "' is neither written, protected nor refused");
    }
    RegistryRow row;
    row.format = format->name;
    const auto time = RunLogTimeMs(field(column("time")));
    if (!time) return fail("time '" + field(column("time")) + "' is no time like 2026-12-07T18:30:05+0100");
    row.time = *time;
    const auto run = Positive(field(column("run")));
    if (!run) return fail("run '" + field(column("run")) + "' is no run number");
    const std::string fileLine = field(column("file_line"));
    const auto lineNumber = Positive(fileLine);
    if (!fileLine.empty() && !lineNumber) return fail("file_line '" + fileLine + "' is no line number");
    std::optional<Identity> id;
    for (std::size_t form = 0; form < format->forms.size() && !id; ++form) {
      id = IdentityFromText(*format, field(columns.at(format->forms[form].key)));
      for (std::size_t f = 0; id && f < format->forms.size(); ++f)
        if (format->text(*id, f) != field(columns.at(format->forms[f].key))) id.reset();
    }
    if (!id) return fail(std::string("its forms are no one ") + format->name + " identity");
    row.identity = RegistryIdentity(*format, *id);
    row.run = "log " + source + " run " + std::to_string(*run);
    row.chip = field(column("chip"));
    row.fileLine = lineNumber.value_or(0);
    row.chipSerial = field(serial);
    read->rows.push_back(std::move(row));
    read->lines.push_back(number);
  }
  if (in.bad()) {
    *why = "cannot be read to its end";
    return false;
  }
  return true;
}

}  // namespace rivelo::cli
