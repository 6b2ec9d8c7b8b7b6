// t5577: raw access to a T5577's blocks, as the T5577 block editor page gives it.
//   t5577 read-block N [--page P] [--password HEX8]
//   t5577 write-block N HEX8 [--page P] [--password HEX8] [--lock] [--yes]
//   t5577 read-page [--page P] | wake HEX8 | reset | restore-config [--password HEX8] [--yes] | info
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <optional>

#include "cli/chip_words.h"
#include "cli/cmd_backup.h"
#include "cli/command_set.h"
#include "cli/raw_access.h"
#include "cli/format_table.h"
#include "cli/password_option.h"
#include "cli/tag_result_text.h"
#include "batch/t5577_image.h"
#include "batch/tag_operations.h"
#include "batch/tag_protection.h"
#include "model/t5577_block0.h"
#include "model/text_bytes.h"
#include "reader/commands.h"

namespace rivelo::cli {
namespace {

using Block = std::array<std::uint8_t, 4>;

struct T5577Options {
  std::string block, data;
  PasswordSource password, newPassword;
  int page = 0;
  bool lock = false, yes = false, noBackup = false;
};

std::string Hex8Error(std::string_view what, std::string_view text) {
  return HexBytesExact(text, 4) ? std::string()
                                : std::string(what) + " '" + std::string(text) + "' is not 8 hex digits";
}

CLI::Validator Hex8Check(const std::string& what) {
  return CLI::Validator([what](std::string& text) { return Hex8Error(what, text); }, "");
}

Block ToBlock(std::string_view text) {
  const auto bytes = HexBytesExact(text, 4);
  Block b{};
  std::copy(bytes->begin(), bytes->end(), b.begin());
  return b;
}

std::optional<Block> PasswordOf(Session& session, const T5577Options& o) {
  return ResolvePassword(session, o.password, ChipPasswordOption());
}

// Page 0 holds blocks 0-7, page 1 blocks 0-3.
int BlockOf(const T5577Options& o) {
  const int last = o.page == 0 ? 7 : 3;
  if (const std::string e = DecimalValueError("block", o.block, static_cast<std::uint64_t>(last)); !e.empty())
    throw UsageError(e + " on page " + std::to_string(o.page));
  return std::stoi(o.block);
}

// The data the previous T5577 command left with the reader, or nullopt.
std::optional<std::vector<std::uint8_t>> Fetch() {
  std::array<std::uint8_t, T5577FetchMax> buffer{};
  int n = 0;
  if (CmdT5577FetchData(buffer, &n) != SOk) return std::nullopt;
  return std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + n);
}

std::string Where(int page, int block) {
  return "block " + std::to_string(block) + " of page " + std::to_string(page);
}

// Block 0 in words, one "label  value" line each.
std::string Block0Words(const Block& bytes) { return T5577Block0Words(T5577Word(bytes)); }

void NoJson(const Session& session) { cli::NoJson(session, "t5577"); }

void PrintBlocks(Session& session, const std::vector<std::uint8_t>& data, int first) {
  // A trailing partial group is not a block: it is left out.
  for (std::size_t i = 0; i + 4 <= data.size(); i += 4)
    session.Out() << "block " << first + static_cast<int>(i / 4) << "  "
                  << FormatHex(std::span(data.data() + i, 4)) << std::endl;
}

int ReadBlock(Session& session, const T5577Options& o) {
  NoJson(session);
  const int block = BlockOf(o);
  const auto password = PasswordOf(session, o);
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  const TagData got = ReadT5577Block(o.page, block, password);
  if (!got.result.ok())
    return Failed(session, TagFailureText(got.result, "read", Where(o.page, block), TagChip::T5577));
  session.Out() << FormatHex(*got.value) << std::endl;
  if (block == 0) session.Out() << Block0Words(*got.value);
  return ExitOk;
}

int WriteBlock(Session& session, const T5577Options& o) {
  NoJson(session);
  const int block = BlockOf(o);
  const Block data = ToBlock(o.data);
  const auto password = PasswordOf(session, o);
  const std::string where = Where(o.page, block);
  if (o.lock && !Confirm(session, "Lock " + where + "? It can never be changed again.", o.yes))
    return Failed(session, "not written");
  if (block == 0) {
    session.Err() << FormatHex(data) << " sets the chip up as:\n"
                  << Block0Words(data) << T5577Block0Warnings(T5577Word(data), password.has_value());
    if (!Confirm(session, "Write the configuration block? A wrong value can ruin the tag.", o.yes))
      return Failed(session, "not written");
  }
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  if (block == 0 || o.lock)
    if (const int exit = BackUpFirst(session, password, o.noBackup); exit != ExitOk) return exit;
  const TagData back = WriteT5577Block(o.page, block, o.lock, data, password);
  if (!back.result.ok()) {
    std::string text = TagFailureText(back.result, "write", where, TagChip::T5577);
    if (back.value) text += " (it reads " + FormatHex(*back.value) + ")";
    return Failed(session, text);
  }
  session.Out() << FormatHex(*back.value) << std::endl;
  return ExitOk;
}

// Page read, wake and reset hand back blocks 1 onwards.
int BlocksCommand(Session& session, const std::function<RResult(const T5577Options&)>& send, const T5577Options& o,
                  const std::string& what, bool fetchNeeded) {
  NoJson(session);
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  if (send(o) != ROk) return Failed(session, "the reader did not answer the " + what);
  const auto data = Fetch();
  if (!data) return fetchNeeded ? Failed(session, "no data came back from the " + what) : ExitOk;
  PrintBlocks(session, *data, 1);
  return ExitOk;
}

int RestoreConfig(Session& session, const T5577Options& o) {
  NoJson(session);
  const auto password = PasswordOf(session, o);
  if (!Confirm(session, "Restore block 0 to the factory configuration 000880E8?", o.yes))
    return Failed(session, "not written");
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  if (const int exit = BackUpFirst(session, password, o.noBackup); exit != ExitOk) return exit;
  const TagResult result = RestoreT5577Config([&password] { return password; });
  if (!result.ok()) return Failed(session, TagFailureText(result, "write", Where(0, 0), TagChip::T5577));
  session.Out() << FormatHex(FactoryConfigWord) << std::endl;
  return ExitOk;
}

int Info(Session& session, const T5577Options& o) {
  NoJson(session);
  const auto password = PasswordOf(session, o);
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  std::optional<Block> block0;
  std::optional<TagResult> firstFailure;
  int firstFailed = 0;
  for (int block = 0; block <= 7; ++block) {
    const TagData got = ReadT5577Block(0, block, password);
    if (!got.result.ok() && !firstFailure) {
      firstFailure = got.result;
      firstFailed = block;
    }
    if (block == 0) block0 = got.value;
    session.Out() << "block " << block << "  " << (got.value ? FormatHex(*got.value) : "not read") << std::endl;
  }
  if (block0) session.Out() << "block 0 in words:\n" << Block0Words(*block0);
  if (firstFailure)
    session.Error("not every block was read: " +
                  TagFailureText(*firstFailure, "read", Where(0, firstFailed), TagChip::T5577));
  return firstFailure ? ExitFailed : ExitOk;
}

// The password as wake's argument, else from its file or the environment.
PasswordOption WakeOption() {
  PasswordOption names = ChipPasswordOption();
  names.option = "HEX8";
  return names;
}

std::string Hex(std::uint32_t word) { return FormatHex(BlockBytes(word)); }

// Block 0 as it stands, read plainly (a password read can leave a chip without password mode
// unreadable on some chips), or with the password when the chip refuses a plain read.
TagData ReadBlock0(const std::optional<Block>& password, bool* passwordMode) {
  TagData plain = ReadT5577Block(0, 0, std::nullopt);
  *passwordMode = plain.result.outcome == TagOutcome::Refused;
  if (!*passwordMode || !password) return plain;
  return ReadT5577Block(0, 0, password);
}

int SetPassword(Session& session, const T5577Options& o) {
  NoJson(session);
  const Block newPassword = RequiredPassword(session, o.newPassword, NewPasswordOption("NEW", "--new-password-file"));
  const auto old = PasswordOf(session, o);
  if (!Confirm(session, "Give the chip on the reader a password (block 7) and turn on password mode? Forgotten, "
                        "it locks you out of the chip.",
               o.yes))
    return Failed(session, "not written");
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  if (const int exit = BackUpFirst(session, old, o.noBackup); exit != ExitOk) return exit;
  bool passwordMode = false;
  const TagData block0 = ReadBlock0(old, &passwordMode);
  if (!block0.result.ok())
    return Failed(session, TagFailureText(block0.result, "read", Where(0, 0), TagChip::T5577));
  const T5577Block0 config = DecodeT5577Block0(BlockWord(*block0.value));
  // Such a chip sends block 7 to every reader that listens: the password would go with it.
  if (config.maxBlock == 7)
    return Failed(session, "the chip sends blocks 1-7, block 7 among them, to every reader (block 0 " +
                               Hex(config.word) + "): write its identity first, then give it a password");
  const TagResult result = ProtectT5577({config.word | T5577PasswordBit, {}}, newPassword, old);
  if (!result.ok()) return Failed(session, TagFailureText(result, "protect", "the chip", TagChip::T5577));
  session.Out() << "password set; block 0 " << Hex(config.word | T5577PasswordBit) << std::endl;
  return ExitOk;
}

int ClearPassword(Session& session, const T5577Options& o) {
  NoJson(session);
  const Block old = RequiredPassword(session, o.password, ChipPasswordOption());
  if (!Confirm(session, "Turn off the chip's password mode? Anyone can then rewrite it.", o.yes))
    return Failed(session, "not written");
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  bool passwordMode = false;
  const TagData block0 = ReadBlock0(old, &passwordMode);
  if (!block0.result.ok())
    return Failed(session, TagFailureText(block0.result, "read", Where(0, 0), TagChip::T5577));
  const std::uint32_t word = BlockWord(*block0.value) & ~T5577PasswordBit;
  if (!passwordMode) {
    session.Out() << "the chip has no password mode; block 0 " << Hex(word) << std::endl;
    return ExitOk;
  }
  if (const int exit = BackUpFirst(session, old, o.noBackup); exit != ExitOk) return exit;
  if (const TagData w = WriteT5577Block(0, 0, false, BlockBytes(word), old); !w.result.ok())
    return Failed(session, TagFailureText(w.result, "write", Where(0, 0), TagChip::T5577));
  // Done only when a plain read now gives block 0 back.
  const TagData back = ReadT5577Block(0, 0, std::nullopt);
  if (!back.result.ok() || BlockWord(*back.value) != word)
    return Failed(session, "block 0 does not read back without the password: password mode may still be on");
  session.Out() << "password mode off; block 0 " << Hex(word) << std::endl;
  return ExitOk;
}

void AddPage(CLI::App* app, T5577Options& o) {
  app->add_option("--page", o.page, "the page, 0 (blocks 0-7) or 1 (blocks 0-3); default 0")
      ->type_name("P")
      ->check(CLI::Validator(
          [](std::string& text) {
            return text == "0" || text == "1" ? std::string() : "page '" + text + "' is not 0 or 1";
          },
          ""));
}

void AddPassword(CLI::App* app, T5577Options& o, const std::string& help) {
  AddPasswordOptions(app, o.password, ChipPasswordOption(), help);
}

void AddYes(CLI::App* app, T5577Options& o) {
  app->add_flag("--yes", o.yes, "do it without asking (needed without a terminal)")->disable_flag_override();
}

}  // namespace

void AddT5577Commands(CommandSet& commands, CLI::App& root) {
  Session& session = commands.session;
  CLI::App* family = commands.Add(root, "t5577", "read and write the blocks of a T5577 chip", "COMMAND [OPTIONS]", {});
  family->require_subcommand(1);
  const std::string pwdHelp = "the chip's password (block 7), 8 hex digits";

  auto o = std::make_shared<T5577Options>();
  CLI::App* app = commands.Add(*family, "read-block", "print one block of the chip on the reader; block 0 in words too",
                               "N [--page P] [--password HEX8]", [&session, o] { return ReadBlock(session, *o); });
  app->add_option("N", o->block, "the block number: 0-7 on page 0, 0-3 on page 1")->required();
  AddPage(app, *o);
  AddPassword(app, *o, pwdHelp);

  o = std::make_shared<T5577Options>();
  app = commands.Add(*family, "write-block",
                     "write one block and read it back; block 0 and --lock ask first; exit 1 unless the block "
                     "reads back what was written",
                     "N HEX8 [--page P] [--password HEX8] [--lock] [--yes] [--no-backup]",
                     [&session, o] { return WriteBlock(session, *o); });
  app->add_option("N", o->block, "the block number: 0-7 on page 0, 0-3 on page 1")->required();
  app->add_option("HEX8", o->data, "the block's new value, 8 hex digits")->required()->check(Hex8Check("block value"));
  AddPage(app, *o);
  AddPassword(app, *o, pwdHelp);
  app->add_flag("--lock", o->lock, "lock the block: it can never be changed again")->disable_flag_override();
  AddYes(app, *o);
  AddNoBackup(app, o->noBackup);

  o = std::make_shared<T5577Options>();
  app = commands.Add(*family, "read-page", "print the blocks of a page, from block 1", "[--page P]",
                     [&session, o] {
                       return BlocksCommand(
                           session, [](const T5577Options& x) { return CmdT5577ReadPage(x.page); }, *o, "page read",
                           true);
                     });
  AddPage(app, *o);

  o = std::make_shared<T5577Options>();
  app = commands.Add(*family, "wake", "wake a chip in answer-on-request mode with its password",
                     "[HEX8]", [&session, o] {
                       const Block password = RequiredPassword(session, o->password, WakeOption());
                       return BlocksCommand(
                           session, [password](const T5577Options&) { return CmdT5577Wake(password); }, *o, "wake",
                           true);
                     });
  AddPasswordOptions(app, o->password, WakeOption(), pwdHelp);

  o = std::make_shared<T5577Options>();
  commands.Add(*family, "reset", "reset the chip; prints the blocks it hands back", "", [&session, o] {
    return BlocksCommand(session, [](const T5577Options&) { return CmdT5577Reset(); }, *o, "reset", false);
  });

  o = std::make_shared<T5577Options>();
  app = commands.Add(*family, "restore-config",
                     "write the factory configuration 000880E8 into block 0 and read it back; asks first; with "
                     "--password, tried again with it when the plain write does not take",
                     "[--password HEX8] [--yes] [--no-backup]", [&session, o] { return RestoreConfig(session, *o); });
  AddPassword(app, *o, pwdHelp);
  AddYes(app, *o);
  AddNoBackup(app, o->noBackup);

  o = std::make_shared<T5577Options>();
  app = commands.Add(*family, "set-password",
                     "give the chip a password (block 7) and turn on password mode (block 0), then read both back "
                     "with it; asks first",
                     "[NEW] [--password OLD] [--yes] [--no-backup]",
                     [&session, o] { return SetPassword(session, *o); });
  AddPasswordOptions(app, o->newPassword, NewPasswordOption("NEW", "--new-password-file"), "the new password");
  AddPassword(app, *o, "the password the chip carries now, if it is in password mode");
  AddYes(app, *o);
  AddNoBackup(app, o->noBackup);

  o = std::make_shared<T5577Options>();
  app = commands.Add(*family, "clear-password",
                     "turn off the chip's password mode (block 0) and read block 0 back without it; asks first",
                     "[--password HEX8] [--yes] [--no-backup]", [&session, o] { return ClearPassword(session, *o); });
  AddPassword(app, *o, pwdHelp);
  AddYes(app, *o);
  AddNoBackup(app, o->noBackup);

  o = std::make_shared<T5577Options>();
  app = commands.Add(*family, "info", "print blocks 0-7 of page 0, and block 0 in words", "[--password HEX8]",
                     [&session, o] { return Info(session, *o); });
  AddPassword(app, *o, pwdHelp);

  AddT5577BackupCommands(commands, *family);
}

}  // namespace rivelo::cli
