// t5577 dump --out FILE | restore FILE | wipe, em4305 restore FILE | wipe (em4305 dump --out is
// the em4305 dump's), and the automatic backup before an irreversible step.
#include "cli/cmd_backup.h"

#include <memory>

#include "batch/tag_backup.h"
#include "cli/chip_words.h"
#include "cli/json_lines.h"
#include "cli/password_option.h"
#include "cli/raw_access.h"
#include "cli/tag_result_text.h"
#include "model/text_bytes.h"
#include "reader/commands.h"

namespace rivelo::cli {
namespace {

struct BackupOptions {
  std::string file;
  PasswordSource password;
  bool yes = false, noBackup = false;
};

const char* ChipText(InspectChip chip) {
  switch (chip) {
    case InspectChip::T5577: return "a T5577";
    case InspectChip::Em4305: return "an EM4305";
    case InspectChip::ReadOnly: return "a read-only tag";
    case InspectChip::None: break;
  }
  return "no tag";
}

std::string UtcTime() { return IsoLocalTime(std::chrono::system_clock::now()); }

// The tag read whole, when it is the chip expected: ExitOk, or the exit with its reason said.
int ReadChip(Session& session, InspectChip expected, const std::optional<TagBytes4>& password, InspectReport& report) {
  report = InspectTag(password);
  if (report.failure)
    return Failed(session, TagFailureText(*report.failure, "read", "the tag",
                                          expected == InspectChip::T5577 ? TagChip::T5577 : TagChip::Em4305));
  if (report.chip != expected)
    return Failed(session, std::string("the tag on the reader is ") + ChipText(report.chip) + ", not " + ChipText(expected));
  if (report.passwordRefused) return Failed(session, "the chip refused the password");
  if (!report.Config()) return Failed(session, "the chip's configuration does not read without its password (give --password)");
  return ExitOk;
}

// Logs in to an EM4305 when a password was given (its writes may need it).
bool Em4305Login(const std::optional<TagBytes4>& password) {
  if (!password) return false;
  const TagBytes4& p = *password;
  return CmdEm4305Login(TagBytes4{p[3], p[2], p[1], p[0]}) == EOk;
}

std::string Where(InspectChip chip, int index) {
  return (chip == InspectChip::T5577 ? "block " : "word ") + std::to_string(index);
}

int RestoreFailed(Session& session, InspectChip chip, const RestoreResult& r) {
  return Failed(session, TagFailureText(r.result, "write", Where(chip, r.failedAt),
                                        chip == InspectChip::T5577 ? TagChip::T5577 : TagChip::Em4305));
}

int Restore(Session& session, InspectChip chip, const BackupOptions& o) {
  NoJson(session, chip == InspectChip::T5577 ? "t5577" : "em4305");
  std::string why;
  const auto text = ReadBackupFile(o.file, &why);
  if (!text) return Failed(session, "cannot read " + o.file + " (" + why + ")");
  const auto backup = ParseBackup(*text, &why);
  if (!backup) return Failed(session, o.file + ": " + why);
  if (backup->chip != chip) return Failed(session, o.file + " holds " + ChipText(backup->chip) + ", not " + ChipText(chip));
  const auto password = ResolvePassword(session, o.password, ChipPasswordOption());
  const std::uint32_t config = *backup->memory[chip == InspectChip::T5577 ? 0 : 4];
  if (chip == InspectChip::T5577 && (config & 0x10) != 0 && !backup->memory[T5577PasswordBlock] && !password)
    throw UsageError("the backup puts the chip in password mode, and a backup never holds the password: give the "
                     "password it is to have with --password");
  if (chip == InspectChip::T5577) {
    session.Err() << "block 0 " << Hex8(config) << " sets the chip up as:\n"
                  << T5577Block0Words(config) << T5577Block0Warnings(config, password.has_value());
  } else {
    session.Err() << "word 4 " << Hex8(config) << " sets the chip up as:\n" << Em4305ConfigWords(config);
  }
  if (!Confirm(session, "Write the backup " + o.file + " onto the tag? What it holds now is overwritten.", o.yes))
    return Failed(session, "not written");
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  if (const int exit = BackUpFirst(session, password, o.noBackup); exit != ExitOk) return exit;
  RestoreResult r;
  if (chip == InspectChip::T5577) {
    r = RestoreT5577(backup->memory, password);
  } else {
    const bool loggedIn = Em4305Login(password);
    if (password && !loggedIn) return Failed(session, "the chip refused the password");
    InspectReport now;
    if (const int exit = ReadChip(session, chip, password, now); exit != ExitOk) return exit;
    if (loggedIn) Em4305Login(password);  // the read may have ended the login
    r = RestoreEm4305(*backup, now, loggedIn);
  }
  if (!r.result.ok()) return RestoreFailed(session, chip, r);
  session.Out() << "restored from " << o.file << std::endl;
  return ExitOk;
}

int Wipe(Session& session, InspectChip chip, const BackupOptions& o) {
  NoJson(session, chip == InspectChip::T5577 ? "t5577" : "em4305");
  const auto password = ResolvePassword(session, o.password, ChipPasswordOption());
  const std::string question = chip == InspectChip::T5577
                                   ? "Wipe the T5577: data blocks 1-7 to 00000000 and block 0 to the factory "
                                     "configuration 000880E8?"
                                   : "Wipe the EM4305: its user words (3, 5-13) to 00000000?";
  if (!Confirm(session, question, o.yes)) return Failed(session, "not wiped");
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  if (const int exit = BackUpFirst(session, password, o.noBackup); exit != ExitOk) return exit;
  RestoreResult r;
  if (chip == InspectChip::T5577) {
    r = RestoreT5577(BlankT5577Blocks(), password);
  } else {
    const bool loggedIn = Em4305Login(password);
    if (password && !loggedIn) return Failed(session, "the chip refused the password");
    InspectReport now;
    if (const int exit = ReadChip(session, chip, password, now); exit != ExitOk) return exit;
    if (loggedIn) Em4305Login(password);
    r = WipeEm4305(now, loggedIn);
  }
  if (!r.result.ok()) return RestoreFailed(session, chip, r);
  std::string skipped;
  for (const int w : r.skipped) skipped += (skipped.empty() ? "" : ", ") + std::to_string(w);
  session.Out() << "wiped" << (skipped.empty() ? "" : "; locked words left as they were: " + skipped) << std::endl;
  return ExitOk;
}

void AddPassword(CLI::App* app, BackupOptions& o, const std::string& help) {
  AddPasswordOptions(app, o.password, ChipPasswordOption(), help);
}

void AddYes(CLI::App* app, BackupOptions& o) {
  app->add_flag("--yes", o.yes, "do it without asking (needed without a terminal)")->disable_flag_override();
}

void AddRestoreAndWipe(CommandSet& commands, CLI::App& family, InspectChip chip, const std::string& pwdHelp) {
  Session& session = commands.session;
  const bool t5577 = chip == InspectChip::T5577;
  auto o = std::make_shared<BackupOptions>();
  CLI::App* app = commands.Add(
      family, "restore",
      t5577 ? "write a backup's blocks back, data blocks first and block 0 last, each read back; asks first"
            : "write a backup's words back where they differ, the configuration last, each read back; asks first",
      "FILE [--password HEX8] [--yes] [--no-backup]", [&session, o, chip] { return Restore(session, chip, *o); });
  app->add_option("FILE", o->file, "a backup file of dump --out or of the automatic backups")->required();
  AddPassword(app, *o, pwdHelp);
  AddYes(app, *o);
  AddNoBackup(app, o->noBackup);

  o = std::make_shared<BackupOptions>();
  app = commands.Add(family, "wipe",
                     t5577 ? "write data blocks 1-7 blank and block 0 the factory configuration, each read back; "
                             "asks first"
                           : "write the user words (3, 5-13) that are not locked to 00000000, each read back; asks first",
                     "[--password HEX8] [--yes] [--no-backup]", [&session, o, chip] { return Wipe(session, chip, *o); });
  AddPassword(app, *o, pwdHelp);
  AddYes(app, *o);
  AddNoBackup(app, o->noBackup);
}

}  // namespace


void AddNoBackup(CLI::App* app, bool& noBackup) {
  app->add_flag("--no-backup", noBackup, "do not save a backup of the tag first")->disable_flag_override();
}

int BackUpFirst(Session& session, const std::optional<TagBytes4>& password, bool noBackup) {
  if (noBackup) return ExitOk;
  std::string why;
  const auto path = SaveAutomaticBackup(password, &why);
  if (!path) return Failed(session, "no backup of the tag was made (" + why + "); nothing written. --no-backup goes on without one");
  session.Err() << "backup saved: " << *path << std::endl;
  return ExitOk;
}

int DumpToFile(Session& session, InspectChip expected, const std::optional<TagBytes4>& password, const std::string& path) {
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  InspectReport report;
  if (const int exit = ReadChip(session, expected, password, report); exit != ExitOk) return exit;
  const auto backup = BackupOf(report);
  std::string why;
  if (!WriteNewFile(path, BackupJson(*backup, UtcTime()), false, nullptr, &why))
    return Failed(session, "cannot create " + path + " (" + why + "); a backup never replaces a file");
  int unread = 0;
  for (const auto& v : backup->memory) unread += v ? 0 : 1;
  session.Out() << "saved " << path << std::endl;
  // An EM4305's word 2 and a protected T5577's block 7 are the password, never saved.
  const int passwordGaps = expected == InspectChip::Em4305 || report.passwordProtected ? 1 : 0;
  if (unread > passwordGaps)
    session.Err() << "not every " << (expected == InspectChip::T5577 ? "block" : "word")
                  << " was read; the file holds those that were" << std::endl;
  return ExitOk;
}

void AddT5577BackupCommands(CommandSet& commands, CLI::App& family) {
  Session& session = commands.session;
  const std::string pwdHelp = "the chip's password (block 7), 8 hex digits";
  auto o = std::make_shared<BackupOptions>();
  CLI::App* app = commands.Add(family, "dump",
                               "save blocks 0-7 of page 0, with the identity they hold, into a new backup file (in "
                               "password mode without block 7, the password)",
                               "--out FILE [--password HEX8]", [&session, o] {
                                 NoJson(session, "t5577");
                                 return DumpToFile(session, InspectChip::T5577, ResolvePassword(session, o->password, ChipPasswordOption()), o->file);
                               });
  app->add_option("--out", o->file, "the new file; an existing one is never replaced")->required()->type_name("FILE");
  AddPassword(app, *o, pwdHelp);
  AddRestoreAndWipe(commands, family, InspectChip::T5577, pwdHelp);
}

void AddEm4305BackupCommands(CommandSet& commands, CLI::App& family) {
  AddRestoreAndWipe(commands, family, InspectChip::Em4305, "log in first with the chip's password, 8 hex digits");
}

}  // namespace rivelo::cli
