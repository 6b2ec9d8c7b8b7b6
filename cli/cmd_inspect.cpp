// inspect [--password HEX8]: what is on the reader, in words or as one JSON object.
// compare FILE [--password HEX8]: whether the tag holds a backup (exit 0) or not (exit 1).
#include <memory>

#include "batch/tag_backup.h"
#include "cli/chip_words.h"
#include "cli/cmd_backup.h"
#include "cli/json_lines.h"
#include "cli/password_option.h"
#include "cli/raw_access.h"
#include "cli/tag_result_text.h"

namespace rivelo::cli {
namespace {

struct InspectOptions {
  std::string file;
  PasswordSource password;
};

const char* ChipName(InspectChip chip) {
  switch (chip) {
    case InspectChip::T5577: return "T5577";
    case InspectChip::Em4305: return "EM4305";
    case InspectChip::ReadOnly: return "read-only";
    case InspectChip::None: break;
  }
  return "none";
}

std::string Label(const std::string& label) {
  std::string text = label;
  text.resize(20, ' ');
  return text;
}

std::string PasswordText(const InspectReport& r) {
  if (r.passwordRefused) return "protected; the password given was refused";
  if (!r.passwordProtected) return "none";
  const std::string what = r.chip == InspectChip::T5577 ? "password mode" : "login needed";
  if (r.loginNeededToRead) return what + "; its memory reads only with the password (give --password)";
  return what + (r.passwordGiven ? " (read with the password given)" : "");
}

std::string LockText(const InspectReport& r) {
  if (r.chip == InspectChip::T5577) return "not known: the reader cannot read a T5577's lock bits";
  if (!r.lockedWords) return "not known: the protection words did not read";
  if (r.lockedWords->empty()) return "none";
  std::string text = "words";
  for (const int w : *r.lockedWords) text += " " + std::to_string(w);
  return text;
}

std::string SourceText(IdentitySource s) { return s == IdentitySource::Reader ? "read by the reader" : "from the blocks"; }

void PrintWords(Session& session, const InspectReport& r) {
  std::ostream& out = session.Out();
  out << Label("chip") << ChipName(r.chip) << "\n";
  if (r.chip == InspectChip::T5577 || r.chip == InspectChip::Em4305) {
    const auto config = r.Config();
    const bool t5577 = r.chip == InspectChip::T5577;
    out << Label("configuration") << (config ? Hex8(*config) : "not read") << "\n";
    if (config) out << (t5577 ? T5577Block0Words(*config) : Em4305ConfigWords(*config));
    if (t5577 && r.answerOnRequest && !config) out << Label("answer on request") << "on (woken with the password)\n";
    out << Label("password") << PasswordText(r) << "\n";
    if (r.uid) out << Label("UID") << Hex8(*r.uid) << "\n";
    out << Label("locked") << LockText(r) << "\n";
    if (config) out << Label("blank") << (r.blank ? "yes" : "no") << "\n";
    const auto& memory = t5577 ? r.blocks : r.words;
    for (std::size_t i = 0; i < memory.size(); ++i) {
      const bool password = (t5577 && static_cast<int>(i) == T5577PasswordBlock && r.passwordProtected) ||
                            (!t5577 && i == 2);
      out << Label((t5577 ? "block " : "word ") + std::to_string(i))
          << (memory[i] ? Hex8(*memory[i]) : password ? "(the password, not shown)" : "not read") << "\n";
    }
    for (std::size_t i = 0; i < r.sent.size() && !config; ++i)
      out << Label("sends block " + std::to_string(i + 1)) << Hex8(r.sent[i]) << "\n";
  }
  if (r.identities.empty()) out << Label("identity") << (r.blank ? "none (blank)" : "none the reader knows") << "\n";
  for (const FoundIdentity& id : r.identities)
    out << Label("identity") << id.title << " " << id.text << " (" << SourceText(id.source) << ")\n";
  out << std::flush;
}

std::string HexArray(const std::vector<std::optional<std::uint32_t>>& memory) {
  std::string text;
  for (const auto& v : memory) text += (text.empty() ? "" : ",") + (v ? JsonString(Hex8(*v)) : "null");
  return "[" + text + "]";
}

std::string ReportJson(const InspectReport& r) {
  JsonObject o;
  o.Text("chip", ChipName(r.chip));
  const auto config = r.Config();
  const bool t5577 = r.chip == InspectChip::T5577;
  if (config) {
    o.Text("configuration", Hex8(*config)).Raw("configurationFields", t5577 ? T5577Block0Json(*config) : Em4305ConfigJson(*config));
  } else {
    o.Null("configuration");
  }
  o.Bool("passwordProtected", r.passwordProtected).Bool("passwordRefused", r.passwordRefused)
      .Bool("readNeedsPassword", r.loginNeededToRead);
  if (t5577) o.Bool("answerOnRequest", r.answerOnRequest);
  o.Bool("blank", r.blank);
  if (t5577) o.Raw("blocks", HexArray(r.blocks));
  if (r.chip == InspectChip::Em4305) o.Raw("words", HexArray(r.words));
  if (r.uid) {
    o.Text("uid", Hex8(*r.uid));
  } else {
    o.Null("uid");
  }
  if (r.lockedWords) {
    std::string list;
    for (const int w : *r.lockedWords) list += (list.empty() ? "" : ",") + std::to_string(w);
    o.Raw("locked", "[" + list + "]");
  } else {
    o.Null("locked");
  }
  std::string ids;
  for (const FoundIdentity& id : r.identities)
    ids += (ids.empty() ? "" : ",") + JsonObject()
                                          .Text("format", id.format)
                                          .Text("title", id.title)
                                          .Text("id", id.text)
                                          .Text("source", id.source == IdentitySource::Reader ? "reader" : "blocks")
                                          .Str();
  o.Raw("identities", "[" + ids + "]");
  return o.Str();
}

int Inspect(Session& session, const InspectOptions& o) {
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  const InspectReport r = InspectTag(ResolvePassword(session, o.password, ChipPasswordOption()));
  if (r.failure) return Failed(session, TagFailureText(*r.failure, "read", "the tag", TagChip::T5577));
  if (session.json) {
    session.Out() << ReportJson(r) << std::endl;
  } else {
    PrintWords(session, r);
  }
  if (r.chip == InspectChip::None) {
    session.Error(
        "no tag answered (a T5577 in answer-on-request mode stays silent until woken: give its --password)");
    return ExitFailed;
  }
  return ExitOk;
}

int Compare(Session& session, const InspectOptions& o) {
  NoJson(session, "compare");
  std::string why;
  const auto text = ReadBackupFile(o.file, &why);
  if (!text) return Failed(session, "cannot read " + o.file + " (" + why + ")");
  const auto backup = ParseBackup(*text, &why);
  if (!backup) return Failed(session, o.file + ": " + why);
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  const InspectReport tag = InspectTag(ResolvePassword(session, o.password, ChipPasswordOption()));
  if (tag.failure) return Failed(session, TagFailureText(*tag.failure, "read", "the tag", TagChip::T5577));
  const bool t5577 = backup->chip == InspectChip::T5577;
  if (tag.chip != backup->chip)
    return Failed(session, std::string("the tag on the reader is no ") + (t5577 ? "T5577" : "EM4305") + ", as in " + o.file);
  if (tag.passwordRefused) return Failed(session, "the chip refused the password");
  if (tag.loginNeededToRead) return Failed(session, "the tag does not read without its password (give --password)");
  const auto differences = CompareBackup(*backup, tag);
  for (const MemoryDifference& d : differences)
    session.Out() << (t5577 ? "block " : "word ") << d.index << "  file " << Hex8(d.file) << "  tag "
                  << (d.tag ? Hex8(*d.tag) : "not read") << std::endl;
  if (!differences.empty()) return ExitFailed;
  session.Out() << "the tag holds " << o.file << std::endl;
  return ExitOk;
}

}  // namespace

void AddInspectCommands(CommandSet& commands, CLI::App& root) {
  Session& session = commands.session;
  auto o = std::make_shared<InspectOptions>();
  CLI::App* app = commands.Add(
      root, "inspect",
      "say which chip is on the reader (T5577, EM4305 or a read-only tag), its configuration in words, whether it "
      "is password-protected, its locks, its UID and the identity it holds; a password is used only on a chip that "
      "needs one",
      "[--password HEX8]", [&session, o] { return Inspect(session, *o); });
  AddPasswordOptions(app, o->password, ChipPasswordOption(),
                     "the chip's password (T5577 block 7, EM4305 login), 8 hex digits");

  o = std::make_shared<InspectOptions>();
  app = commands.Add(root, "compare",
                     "exit 0 when the tag on the reader holds a backup file's blocks or words, 1 listing those "
                     "that differ",
                     "FILE [--password HEX8]", [&session, o] { return Compare(session, *o); });
  app->add_option("FILE", o->file, "a backup file of dump --out or of the automatic backups")->required();
  AddPasswordOptions(app, o->password, ChipPasswordOption(),
                     "the chip's password (T5577 block 7, EM4305 login), 8 hex digits");
}

}  // namespace rivelo::cli
