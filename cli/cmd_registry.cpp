#include "cli/cmd_registry.h"

#include <algorithm>
#include <map>
#include <ostream>
#include <set>

#include "batch/run_log.h"
#include "cli/json_lines.h"
#include "cli/registry_identities.h"
#include "cli/registry_option.h"

namespace rivelo::cli {
namespace {

struct RegistryOptions {
  std::string where;
  std::vector<std::string> logs;
  std::string format;
  bool csv = false;
  std::string id;
};

std::string TimeText(std::int64_t ms) {
  return IsoLocalTime(std::chrono::system_clock::time_point(std::chrono::milliseconds(ms)));
}

std::string Plural(std::int64_t n, const std::string& one, const std::string& many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The columns of an exported row, in order, as text (empty where the row has nothing).
const char* const RowColumns[] = {"format", "identity", "state", "time", "lease_until", "host",
                                  "port",   "run",      "chip",  "file_line", "chip_serial"};

std::vector<std::string> RowFields(const RegistryRow& row) {
  const bool reserved = row.state == RegistryState::Reserved;
  return {row.format,
          row.identity,
          RegistryStateName(row.state),
          TimeText(row.time),
          reserved ? TimeText(row.leaseUntil) : "",
          row.station.host,
          row.station.port,
          row.run,
          row.chip,
          row.fileLine > 0 ? std::to_string(row.fileLine) : "",
          row.chipSerial};
}

std::string RowJson(const RegistryRow& row) {
  const auto textOrNull = [](JsonObject& o, const char* key, const std::string& text) -> JsonObject& {
    return text.empty() ? o.Null(key) : o.Text(key, text);
  };
  JsonObject o;
  o.Text("format", row.format).Text("identity", row.identity).Text("state", RegistryStateName(row.state));
  o.Text("time", TimeText(row.time));
  if (row.state == RegistryState::Reserved) o.Text("leaseUntil", TimeText(row.leaseUntil));
  else o.Null("leaseUntil");
  textOrNull(o, "host", row.station.host);
  textOrNull(o, "port", row.station.port);
  textOrNull(o, "run", row.run);
  textOrNull(o, "chip", row.chip);
  if (row.fileLine > 0) o.Number("fileLine", row.fileLine);
  else o.Null("fileLine");
  return textOrNull(o, "chipSerial", row.chipSerial).Str();
}

// Rows of cells, each column as wide as its widest cell, two spaces apart.
void PrintAligned(std::ostream& out, const std::vector<std::vector<std::string>>& table) {
  std::vector<std::size_t> widths;
  for (const auto& cells : table) {
    widths.resize(std::max(widths.size(), cells.size()));
    for (std::size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], cells[i].size());
  }
  for (const auto& cells : table) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      line += cells[i];
      if (i + 1 < cells.size()) line += std::string(widths[i] - cells[i].size() + 2, ' ');
    }
    out << line.substr(0, line.find_last_not_of(' ') + 1) << '\n';
  }
  out.flush();
}

int Failed(Session& session, const std::string& text) {
  session.Error(text);
  return ExitFailed;
}

int Import(Session& session, const RegistryOptions& o) {
  std::vector<RegistryRow> rows;
  std::map<std::pair<std::string, std::string>, bool> seen;
  std::int64_t refused = 0, repeated = 0;
  for (const std::string& log : o.logs) {
    RunLogRows read;
    std::string why;
    if (!ReadRunLog(log, &read, &why)) return Failed(session, "cannot import " + log + ", " + why + "; nothing was imported");
    refused += read.refused;
    for (RegistryRow& row : read.rows) {
      // An identity on several lines (a continuous run writes one on every tag) is one row.
      if (!seen.emplace(std::make_pair(row.format, row.identity), true).second) {
        ++repeated;
        continue;
      }
      rows.push_back(std::move(row));
    }
  }
  std::string error;
  const auto registry = OpenRegistryOption(o.where, true, &error);
  if (!registry) return Failed(session, error);
  RegistryImportCounts counts;
  std::string why;
  if (!registry->Import(rows, &counts, &why))
    return Failed(session, "the registry " + o.where + " refused the import: " + why + "; nothing was imported");
  const std::int64_t imported = counts.added + counts.overReservation;
  if (session.json) {
    session.Out() << JsonObject()
                         .Number("imported", imported)
                         .Number("known", counts.known)
                         .Number("overReservation", counts.overReservation)
                         .Number("repeated", repeated)
                         .Number("refusedSkipped", refused)
                         .Str()
                  << std::endl;
    return ExitOk;
  }
  std::string text = std::to_string(imported) + " imported, " + std::to_string(counts.known) + " already there";
  if (counts.overReservation > 0)
    text += "; " + Plural(counts.overReservation, "was", "were") + " reserved by a run, now issued";
  if (repeated > 0) text += "; " + Plural(repeated, "line repeated", "lines repeated") + " an identity";
  if (refused > 0) text += "; " + Plural(refused, "refused tag", "refused tags") + " skipped";
  session.Out() << text << std::endl;
  return ExitOk;
}

int Export(Session& session, const RegistryOptions& o) {
  if (session.json && o.csv) throw UsageError("--csv and --json exclude each other");
  std::string error;
  const auto registry = OpenRegistryOption(o.where, false, &error);
  if (!registry) return Failed(session, error);
  std::vector<RegistryRow> rows;
  if (!registry->Export(o.format, &rows, &error)) return Failed(session, "cannot export " + o.where + ": " + error);
  std::ostream& out = session.Out();
  if (session.json) {
    for (const RegistryRow& row : rows) out << RowJson(row) << '\n';
  } else if (o.csv) {
    std::string header;
    for (const char* name : RowColumns) header += (header.empty() ? "" : ",") + std::string(name);
    out << header << '\n';
    for (const RegistryRow& row : rows) {
      std::string line;
      for (const std::string& field : RowFields(row)) line += (line.empty() ? "" : ",") + CsvField(field);
      out << line << '\n';
    }
  } else {
    std::vector<std::vector<std::string>> table{{std::begin(RowColumns), std::end(RowColumns)}};
    for (const RegistryRow& row : rows) table.push_back(RowFields(row));
    PrintAligned(out, table);
  }
  out.flush();
  return ExitOk;
}

int Stats(Session& session, const RegistryOptions& o) {
  std::string error;
  const auto registry = OpenRegistryOption(o.where, false, &error);
  if (!registry) return Failed(session, error);
  std::vector<RegistryCount> counts;
  if (!registry->Stats(&counts, &error)) return Failed(session, "cannot count " + o.where + ": " + error);
  std::map<std::string, std::pair<std::int64_t, std::int64_t>> perFormat;  // issued, reserved
  for (const RegistryCount& c : counts)
    (c.state == RegistryState::Issued ? perFormat[c.format].first : perFormat[c.format].second) += c.count;
  if (session.json) {
    for (const auto& [format, n] : perFormat)
      session.Out() << JsonObject().Text("format", format).Number("issued", n.first).Number("reserved", n.second).Str()
                    << '\n';
    session.Out().flush();
    return ExitOk;
  }
  std::vector<std::vector<std::string>> table{{"format", "issued", "reserved"}};
  for (const auto& [format, n] : perFormat) table.push_back({format, std::to_string(n.first), std::to_string(n.second)});
  PrintAligned(session.Out(), table);
  return ExitOk;
}

// The format and registry text of the ID argument: the format given, or the one format that
// reads it.
std::pair<const IdentityFormat*, std::string> CheckedIdentity(const RegistryOptions& o) {
  std::vector<std::pair<const IdentityFormat*, std::string>> readings;
  for (const IdentityFormat* format : IdentityFormats()) {
    if (!o.format.empty() && o.format != format->name) continue;
    if (const auto id = IdentityFromText(*format, o.id)) readings.emplace_back(format, RegistryIdentity(*format, *id));
  }
  if (readings.size() == 1) return readings.front();
  if (!o.format.empty()) throw UsageError("'" + o.id + "' is no " + o.format + " identity");
  if (readings.empty()) throw UsageError("'" + o.id + "' is no identity of any format");
  std::string names;
  for (const auto& r : readings) names += (names.empty() ? "" : ", ") + std::string(r.first->name);
  throw UsageError("'" + o.id + "' reads as an identity of " + names + ": say which with --format");
}

int Check(Session& session, const RegistryOptions& o) {
  const auto [format, identity] = CheckedIdentity(o);
  std::string error;
  const auto registry = OpenRegistryOption(o.where, false, &error);
  if (!registry) return Failed(session, error);
  const RegistryAnswer answer = registry->Check(format->name, identity);
  if (!answer.ok()) return Failed(session, "cannot check " + o.where + ": " + answer.why);
  std::ostream& out = session.Out();
  if (!answer.row) {
    if (session.json)
      out << JsonObject().Text("format", format->name).Text("identity", identity).Text("state", "free").Str() << std::endl;
    else out << format->name << " " << identity << ": free" << std::endl;
    return ExitOk;
  }
  const RegistryRow& row = *answer.row;
  if (session.json) {
    out << RowJson(row) << std::endl;
    return ExitFailed;
  }
  const std::vector<std::string> fields = RowFields(row);
  std::vector<std::vector<std::string>> table;
  const auto add = [&](const char* label, const std::string& value) {
    if (!value.empty()) table.push_back({std::string(label) + ":", value});
  };
  add("time", fields[3]);
  if (row.state == RegistryState::Reserved) add("lease until", fields[4]);
  add("station", row.station.host.empty() && row.station.port.empty()
                     ? std::string("unknown")
                     : row.station.host + (row.station.port.empty() ? "" : " " + row.station.port));
  add("run", row.run);
  add("chip", row.chip);
  add("file line", fields[9]);
  add("chip serial", row.chipSerial);
  out << format->name << " " << identity << ": " << RegistryStateName(row.state) << '\n';
  PrintAligned(out, table);
  return ExitFailed;
}

CLI::Validator FormatCheck() {
  return CLI::Validator(
      [](std::string& value) {
        std::string names;
        for (const IdentityFormat* format : IdentityFormats()) names += (names.empty() ? "" : ", ") + std::string(format->name);
        return FindFormat(value) ? std::string() : "'" + value + "' is no format: " + names;
      },
      "");
}

}  // namespace

void AddRegistryCommands(CommandSet& commands, CLI::App& root) {
  auto o = std::make_shared<RegistryOptions>();
  Session& session = commands.session;
  CLI::App* registry = commands.Add(root, "registry",
                                    "the registry of issued identities, shared by every run and station: fill it "
                                    "from run logs, list it, count it, ask it about one identity",
                                    "COMMAND --registry WHERE ...", {});
  const auto formatOption = [&](CLI::App* app, const std::string& what) {
    app->add_option("--format", o->format, what)->type_name("F")->check(FormatCheck());
  };

  CLI::App* import = commands.Add(
      *registry, "import",
      "record the identities of run logs (rivelo --log, File -> Run log...) as issued; lines of tags that refused "
      "are skipped; a registry file that does not exist is made. A line that is no whole record refuses the whole "
      "import, which then records nothing",
      "--registry WHERE LOG.csv...", [&session, o] { return Import(session, *o); });
  AddRegistryOption(*import, o->where, true);
  import->add_option("LOG.csv", o->logs, "run logs, each of one format (known from its header)")
      ->required()
      ->check(CLI::ExistingFile);

  CLI::App* exportApp = commands.Add(*registry, "export",
                                     "list the registry's identities, by format and identity: aligned text, CSV "
                                     "with a header, or with --json one object a line",
                                     "--registry WHERE [--format F] [--csv]",
                                     [&session, o] { return Export(session, *o); });
  AddRegistryOption(*exportApp, o->where, true);
  formatOption(exportApp, "only the identities of this format");
  exportApp->add_flag("--csv", o->csv, "CSV with a header line instead of aligned text")->disable_flag_override();

  CLI::App* stats = commands.Add(*registry, "stats", "count the identities of each format, issued and reserved",
                                 "--registry WHERE", [&session, o] { return Stats(session, *o); });
  AddRegistryOption(*stats, o->where, true);

  CLI::App* check = commands.Add(*registry, "check",
                                 "say whether an identity is issued or reserved, when and where (station, run, "
                                 "chip, batch-file line, chip serial): exit 0 when it is free, 1 when it is taken",
                                 "--registry WHERE [--format F] ID", [&session, o] { return Check(session, *o); });
  AddRegistryOption(*check, o->where, true);
  formatOption(check, "the identity's format (needed only when ID reads as the identity of several)");
  check->add_option("ID", o->id,
                    "the identity in one of its format's forms, e.g. 0123456789 (EM4100, 10 hex digits) or "
                    "274877906943099900000000 (FDX-B, the 24-digit line)")
      ->required();
}

}  // namespace rivelo::cli
