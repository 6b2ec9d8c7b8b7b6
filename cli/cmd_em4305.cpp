// em4305: raw access to an EM4305's words, as the EM4305 word editor page gives it.
//   em4305 read-word N [--password HEX8] | write-word N HEX8 [--password HEX8] [--yes]
//   em4305 login HEX8 | set-password NEW [--password OLD] [--yes]
//   em4305 protect N... [--password HEX8] [--yes] | disable [--password HEX8] [--yes] | dump
// A word is shown and given as its 32-bit value, most significant digit first; the reader
// carries it least significant byte first.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/chip_words.h"
#include "cli/cmd_backup.h"
#include "cli/command_set.h"
#include "cli/raw_access.h"
#include "cli/format_table.h"
#include "cli/password_option.h"
#include "cli/tag_result_text.h"
#include "batch/tag_operations.h"
#include "model/em4305_config.h"
#include "model/text_bytes.h"
#include "reader/commands.h"

namespace rivelo::cli {
namespace {

using Bytes4 = std::array<std::uint8_t, 4>;

constexpr int LastWord = 15;
constexpr int PasswordWord = 2;
constexpr int ConfigWord = 4;

struct Em4305Options {
  std::string word, data;
  PasswordSource password, newPassword;
  std::vector<std::string> words;
  std::string out;
  bool yes = false, noBackup = false;
};

std::string Hex8Error(std::string_view what, std::string_view text) {
  return HexBytesExact(text, 4) ? std::string()
                                : std::string(what) + " '" + std::string(text) + "' is not 8 hex digits";
}

CLI::Validator Hex8Check(const std::string& what) {
  return CLI::Validator([what](std::string& text) { return Hex8Error(what, text); }, "");
}

std::uint32_t ToWord(std::string_view text) {
  const auto bytes = HexBytesExact(text, 4);
  return static_cast<std::uint32_t>((*bytes)[0]) << 24 | static_cast<std::uint32_t>((*bytes)[1]) << 16 |
         static_cast<std::uint32_t>((*bytes)[2]) << 8 | static_cast<std::uint32_t>((*bytes)[3]);
}

// The order the reader carries a word in.
Bytes4 WireBytes(std::uint32_t word) {
  return {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word >> 16),
          static_cast<std::uint8_t>(word >> 24)};
}

std::string WordHex(std::uint32_t word) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", word);
  return text;
}

int WordOf(std::string_view text, int last = LastWord) {
  if (const std::string e = DecimalValueError("word", text, static_cast<std::uint64_t>(last)); !e.empty())
    throw UsageError(e);
  return std::stoi(std::string(text));
}

const char* RoleOf(int word) {
  switch (word) {
    case 1: return "UID";
    case PasswordWord: return "password";
    case ConfigWord: return "configuration";
    case 14:
    case 15: return "protection";
    default: return "user";
  }
}

std::string ConfigWords(std::uint32_t word) { return Em4305ConfigWords(word); }

void NoJson(const Session& session) { cli::NoJson(session, "em4305"); }

std::optional<std::uint32_t> ReadWord(int word) {
  Bytes4 bytes{};
  if (CmdEm4305ReadWord(word, bytes) != EOk) return std::nullopt;
  return Em4305Word(bytes);
}

using Password = std::optional<TagPassword>;

Password PasswordOf(Session& session, const Em4305Options& o) {
  return ResolvePassword(session, o.password, ChipPasswordOption());
}

std::uint32_t WordOfPassword(const TagPassword& p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// Connects, and logs in when a password was given: ExitOk or the exit code.
int Start(Session& session, const Password& password) {
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  if (!password) return ExitOk;
  if (CmdEm4305Login(WireBytes(WordOfPassword(*password))) != EOk) return Failed(session, "the chip refused the password");
  return ExitOk;
}

int ReadWordCommand(Session& session, const Em4305Options& o) {
  NoJson(session);
  const int word = WordOf(o.word);
  if (word == PasswordWord) throw UsageError("word 2 is the password, which the chip never sends");
  const Password password = PasswordOf(session, o);
  if (const int exit = Start(session, password); exit != ExitOk) return exit;
  const TagData got = ReadEm4305Word(word, password.has_value());
  if (!got.result.ok())
    return Failed(session, TagFailureText(got.result, "read", "word " + std::to_string(word), TagChip::Em4305));
  const std::uint32_t value = Em4305Word(*got.value);
  session.Out() << WordHex(value) << std::endl;
  if (word == ConfigWord) session.Out() << ConfigWords(value);
  return ExitOk;
}

int WriteWordCommand(Session& session, const Em4305Options& o) {
  NoJson(session);
  const int word = WordOf(o.word);
  if (word == 1) throw UsageError("word 1 is the chip's UID, which cannot be written");
  if (word == 14 || word == 15)
    throw UsageError("word " + std::to_string(word) + " is a protection word: use 'rivelo em4305 protect'");
  if (word == PasswordWord) throw UsageError("word 2 is the password: use 'rivelo em4305 set-password'");
  const std::uint32_t value = ToWord(o.data);
  const Password password = PasswordOf(session, o);
  if (word == ConfigWord) {
    session.Err() << WordHex(value) << " sets the chip up as:\n" << ConfigWords(value);
    if (!Confirm(session, "Write the configuration word? A wrong value can ruin the tag.", o.yes))
      return Failed(session, "not written");
  }
  if (const int exit = Start(session, password); exit != ExitOk) return exit;
  if (word == ConfigWord)
    if (const int exit = BackUpFirst(session, password, o.noBackup); exit != ExitOk) return exit;
  const std::string where = "word " + std::to_string(word);
  const TagData back = WriteEm4305Word(word, WireBytes(value), password.has_value());
  if (!back.result.ok()) {
    std::string text = TagFailureText(back.result, "write", where, TagChip::Em4305);
    if (back.value) text += " (it reads " + WordHex(Em4305Word(*back.value)) + ")";
    return Failed(session, text);
  }
  session.Out() << WordHex(value) << std::endl;
  return ExitOk;
}

int LoginCommand(Session& session, const Em4305Options& o) {
  NoJson(session);
  PasswordOption names = ChipPasswordOption();
  names.option = "HEX8";
  const Password password = RequiredPassword(session, o.password, names);
  if (const int exit = Start(session, password); exit != ExitOk) return exit;
  session.Out() << "logged in" << std::endl;
  return ExitOk;
}

int SetPassword(Session& session, const Em4305Options& o) {
  NoJson(session);
  const std::uint32_t value = WordOfPassword(RequiredPassword(session, o.newPassword, NewPasswordOption("NEW", "--new-password-file")));
  const Password password = PasswordOf(session, o);
  // Neither the question nor any failure shows the password: the terminal may be watched or recorded.
  if (!Confirm(session, "Set the chip's password? Forgotten, it locks you out of the chip.", o.yes))
    return Failed(session, "not written");
  if (const int exit = Start(session, password); exit != ExitOk) return exit;
  if (CmdEm4305WriteWord(PasswordWord, WireBytes(value)) != EOk)
    return Failed(session, !password ? "the chip refused the new password; give the old one with --password"
                                     : "the chip refused the new password");
  // The password is never read back: a login with it is the only proof that it took.
  if (CmdEm4305Login(WireBytes(value)) != EOk)
    return Failed(session, "the chip does not accept the new password at login: the password may be unchanged");
  session.Out() << "password set" << std::endl;
  return ExitOk;
}

int Protect(Session& session, const Em4305Options& o) {
  NoJson(session);
  std::vector<std::uint8_t> words;
  std::string list;
  for (const std::string& text : o.words) {
    const int word = WordOf(text, 14);
    words.push_back(static_cast<std::uint8_t>(word));
    list += (list.empty() ? "" : ", ") + std::to_string(word) + (word == 14 ? " (words 14 and 15)" : "");
  }
  Bytes4 mask{};
  ProtectionMask(words, mask);
  session.Err() << "mask " << WordHex(Em4305Word(mask)) << " protects " << (words.size() > 1 ? "words " : "word ")
                << list << "\n";
  const Password password = PasswordOf(session, o);
  if (!Confirm(session, "Protect these words? It can never be undone.", o.yes)) return Failed(session, "not protected");
  if (const int exit = Start(session, password); exit != ExitOk) return exit;
  if (const int exit = BackUpFirst(session, password, o.noBackup); exit != ExitOk) return exit;
  if (CmdEm4305Protect(words) != EOk)
    return Failed(session, "the chip refused the protection (it needs a login, or the protection words are locked)");
  session.Out() << "protected: " << list << std::endl;
  return ExitOk;
}

int Disable(Session& session, const Em4305Options& o) {
  NoJson(session);
  const Password password = PasswordOf(session, o);
  if (!Confirm(session, "Disable the chip? It will never answer again.", o.yes)) return Failed(session, "not disabled");
  if (const int exit = Start(session, password); exit != ExitOk) return exit;
  if (CmdEm4305Disable() != EOk)
    return Failed(session, "the chip refused to be disabled (its configuration forbids it, or it needs a login)");
  session.Out() << "disabled" << std::endl;
  return ExitOk;
}

int Dump(Session& session, const Em4305Options& o) {
  NoJson(session);
  const Password password = PasswordOf(session, o);
  if (!o.out.empty()) return DumpToFile(session, InspectChip::Em4305, password, o.out);
  if (const int exit = Start(session, password); exit != ExitOk) return exit;
  std::optional<std::uint32_t> config;
  bool all = true;
  for (int word = 0; word <= LastWord; ++word) {
    if (word == PasswordWord) continue;  // write-only
    const auto value = ReadWord(word);
    all = all && value;
    if (word == ConfigWord) config = value;
    std::string number = std::to_string(word);
    number.resize(2, ' ');
    session.Out() << "word " << number << "  " << (value ? WordHex(*value) : "not read") << "  " << RoleOf(word)
                  << std::endl;
  }
  if (config) session.Out() << "word 4 in words:\n" << ConfigWords(*config);
  if (!all) session.Error("not every word was read");
  return all ? ExitOk : ExitFailed;
}

void AddPassword(CLI::App* app, Em4305Options& o, const std::string& help) {
  AddPasswordOptions(app, o.password, ChipPasswordOption(), help);
}

void AddYes(CLI::App* app, Em4305Options& o) {
  app->add_flag("--yes", o.yes, "do it without asking (needed without a terminal)")->disable_flag_override();
}

}  // namespace

void AddEm4305Commands(CommandSet& commands, CLI::App& root) {
  Session& session = commands.session;
  CLI::App* family =
      commands.Add(root, "em4305", "read and write the words of an EM4305 chip", "COMMAND [OPTIONS]", {});
  family->require_subcommand(1);
  const std::string pwdHelp = "log in first with the chip's password, 8 hex digits";
  const std::string wordHelp = "the word number, 0-15";

  auto o = std::make_shared<Em4305Options>();
  CLI::App* app = commands.Add(*family, "read-word", "print one word; word 4 in words too; word 2 cannot be read",
                               "N [--password HEX8]", [&session, o] { return ReadWordCommand(session, *o); });
  app->add_option("N", o->word, wordHelp)->required();
  AddPassword(app, *o, pwdHelp);

  o = std::make_shared<Em4305Options>();
  app = commands.Add(*family, "write-word",
                     "write one word and read it back; word 4 asks first; words 1, 2, 14 and 15 are refused; "
                     "exit 1 unless the word reads back what was written",
                     "N HEX8 [--password HEX8] [--yes] [--no-backup]", [&session, o] { return WriteWordCommand(session, *o); });
  app->add_option("N", o->word, "the word number: 0, 3 (user), 4 (configuration), 5-13 (user)")->required();
  app->add_option("HEX8", o->data, "the word's new value, 8 hex digits")->required()->check(Hex8Check("word value"));
  AddPassword(app, *o, pwdHelp);
  AddYes(app, *o);
  AddNoBackup(app, o->noBackup);

  o = std::make_shared<Em4305Options>();
  app = commands.Add(*family, "login", "log in to the chip with its password", "[HEX8]",
                     [&session, o] { return LoginCommand(session, *o); });
  {
    PasswordOption names = ChipPasswordOption();
    names.option = "HEX8";
    AddPasswordOptions(app, o->password, names, "the chip's password, 8 hex digits");
  }

  o = std::make_shared<Em4305Options>();
  app = commands.Add(*family, "set-password",
                     "write a new password (word 2) and log in with it to prove it took; asks first",
                     "[NEW] [--password OLD] [--yes]",
                     [&session, o] { return SetPassword(session, *o); });
  AddPasswordOptions(app, o->newPassword, NewPasswordOption("NEW", "--new-password-file"),
                     "the new password, 8 hex digits");
  AddPassword(app, *o, "log in first with the old password, 8 hex digits");
  AddYes(app, *o);

  o = std::make_shared<Em4305Options>();
  app = commands.Add(*family, "protect",
                     "write-protect words for good (14: the protection words themselves); shows the mask and "
                     "asks first",
                     "N... [--password HEX8] [--yes] [--no-backup]", [&session, o] { return Protect(session, *o); });
  app->add_option("N", o->words, "the words to protect, 0-14")->required();
  AddPassword(app, *o, pwdHelp);
  AddYes(app, *o);
  AddNoBackup(app, o->noBackup);

  o = std::make_shared<Em4305Options>();
  app = commands.Add(*family, "disable", "silence the chip for good; asks first", "[--password HEX8] [--yes]",
                     [&session, o] { return Disable(session, *o); });
  AddPassword(app, *o, pwdHelp);
  AddYes(app, *o);

  o = std::make_shared<Em4305Options>();
  app = commands.Add(*family, "dump",
                     "print words 0-15 but the password with their roles, and word 4 in words; exit 1 if a "
                     "word was not read",
                     "[--password HEX8] [--out FILE]", [&session, o] { return Dump(session, *o); });
  AddPassword(app, *o, pwdHelp);
  app->add_option("--out", o->out, "save the words into a new backup file instead (an existing one is never replaced)")
      ->type_name("FILE");

  AddEm4305BackupCommands(commands, *family);
}

}  // namespace rivelo::cli
