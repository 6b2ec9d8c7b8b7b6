// formats: every identity format of the table with the fields its write takes and their
// ranges, as text or one JSON object a format.
#include <cstdio>
#include <ostream>

#include "cli/command_set.h"
#include "cli/format_table.h"
#include "cli/json_lines.h"

namespace rivelo::cli {
namespace {

// The field's name as a JSON key: "COUNTRY" and "--trailer" as "country" and "trailer".
std::string FieldKey(const IdentityField& field) {
  std::string key = field.name;
  key.erase(0, key.find_first_not_of('-'));
  for (char& c : key) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return key;
}

std::string ValueText(const IdentityField& field, std::uint64_t value) {
  if (field.hexDigits == 0) return std::to_string(value);
  char text[24];
  std::snprintf(text, sizeof text, "%0*llX", field.hexDigits, static_cast<unsigned long long>(value));
  return text;
}

std::vector<const IdentityField*> FieldsOf(const IdentityFormat& format) {
  std::vector<const IdentityField*> fields;
  for (const IdentityField& f : format.words) fields.push_back(&f);
  for (const IdentityField& f : format.options) fields.push_back(&f);
  return fields;
}

int ListFormats(Session& session) {
  for (const FormatEntry& entry : FormatTable()) {
    const IdentityFormat& format = *entry.format;
    if (session.json) {
      std::string fields;
      for (const IdentityField* f : FieldsOf(format)) {
        JsonObject field;
        field.Text("name", FieldKey(*f)).Number("min", static_cast<long long>(f->min)).Number("max", static_cast<long long>(f->max));
        if (f->hexDigits > 0) field.Number("hexDigits", f->hexDigits);
        fields += (fields.empty() ? "" : ",") + field.Str();
      }
      session.Out() << JsonObject().Text("name", format.name).Text("title", format.title).Raw("fields", "[" + fields + "]").Str()
                    << std::endl;
      continue;
    }
    std::string line = format.name;
    line.resize(std::max<std::size_t>(line.size() + 2, 15), ' ');
    line += format.title;
    line.resize(std::max<std::size_t>(line.size() + 2, 44), ' ');
    std::string fields;
    for (const IdentityField* f : FieldsOf(format))
      fields += (fields.empty() ? "" : ", ") + std::string(f->name) + " " + ValueText(*f, f->min) + "-" + ValueText(*f, f->max);
    session.Out() << line << fields << '\n';
  }
  session.Out().flush();
  return ExitOk;
}

}  // namespace

void AddFormatsCommand(CommandSet& commands, CLI::App& root) {
  Session& session = commands.session;
  commands.Add(root, "formats",
               "list the identity formats that read, write and run take, with the fields a write takes and their "
               "ranges (hex fields in hex); with --json one object a format with its name and fields (name, min, "
               "max)",
               "", [&session] { return ListFormats(session); });
}

}  // namespace rivelo::cli
