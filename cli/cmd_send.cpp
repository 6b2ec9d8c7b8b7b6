// send CODE [BYTE]...: one raw command; prints the result, the status byte and the payload.
// Commands that cannot be undone are asked about first, as the commands made for them do.
#include <charconv>
#include <ostream>

#include "cli/command_set.h"
#include "cli/consent.h"
#include "cli/json_lines.h"
#include "cli/reader_messages.h"
#include "model/text_bytes.h"
#include "reader/commands.h"

namespace rivelo::cli {
namespace {

// No reader command takes more data than this.
constexpr std::size_t MaxSendBytes = 64;

// Hex, with or without 0x, up to max.
std::optional<unsigned> HexNumber(std::string text, unsigned max) {
  if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) text = text.substr(2);
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > max) return std::nullopt;
  return value;
}

CLI::Validator HexCheck(unsigned max, const std::string& what) {
  return CLI::Validator(
      [max, what](std::string& value) {
        return HexNumber(value, max) ? std::string() : "'" + value + "' is not " + what;
      },
      "");
}

struct SendOptions {
  std::string code;
  std::vector<std::string> bytes;
  bool yes = false;
};

// The question to ask before sending a command that locks, protects or disables a tag or
// writes a configuration; empty for any other. Data too short to tell counts as the worst case:
// the reader may read what is missing as zeros.
std::string Question(std::uint16_t code, const std::vector<std::uint8_t>& data) {
  const auto at = [&](std::size_t i) { return i < data.size() ? data[i] : std::uint8_t{0}; };
  const auto lockByte = [&](std::size_t i) { return i >= data.size() || data[i] != 0; };
  std::string what;
  switch (code) {
    case CodeT5577WriteBlock:
    case CodeT5577WriteBlockPwd: {
      // page, [password], lock, data, block
      const std::size_t lock = code == CodeT5577WriteBlock ? 1 : 5;
      if (lockByte(lock)) what = "locks the block it writes for good";
      else if (at(lock + 5) == 0) what = "writes block 0, the configuration: a wrong value can ruin the tag";
      break;
    }
    case CodeT5577WriteEm4100:
    case CodeEm4305WriteEm4100:
      if (lockByte(0)) what = "locks the tag for good";
      break;
    case CodeEm4305WriteWord:
      if (at(0) == 4) what = "writes word 4, the configuration: a wrong value can ruin the tag";
      else if (at(0) >= 14) what = "writes a protection word: protected words can never be written again";
      break;
    case CodeEm4305Protect: what = "write-protects words of the tag for good"; break;
    case CodeEm4305Disable: what = "silences the tag for good"; break;
    default: break;
  }
  return what.empty() ? what : "This command " + what + ". Send it?";
}

int Send(Session& session, const SendOptions& o) {
  if (o.bytes.size() > MaxSendBytes) throw UsageError("at most " + std::to_string(MaxSendBytes) + " data bytes");
  const auto code = static_cast<std::uint16_t>(*HexNumber(o.code, 0xFFFF));
  std::vector<std::uint8_t> data;
  for (const std::string& b : o.bytes) data.push_back(static_cast<std::uint8_t>(*HexNumber(b, 0xFF)));
  if (const std::string question = Question(code, data); !question.empty() && !Confirm(session, question, o.yes)) {
    session.Error("not sent");
    return ExitFailed;
  }
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  const RawReply reply = CmdRaw(code, data);
  if (!reply.valid) {
    const ReplyFailure failure = LastReplyFailure();
    if (session.json)
      session.Out() << JsonObject().Bool("valid", false).Text("failure", DescribeReplyFailure(failure)).Str()
                    << std::endl;
    else session.Out() << "result: no valid reply" << std::endl;
    session.Error("no valid reply from the reader (" + DescribeReplyFailure(failure) + ")");
    return ExitFailed;
  }
  if (session.json) {
    session.Out() << JsonObject()
                         .Bool("valid", true)
                         .Number("status", reply.status)
                         .Text("payload", FormatHex(reply.payload))
                         .Str()
                  << std::endl;
  } else {
    session.Out() << "result: valid reply\n"
                  << "status: " << FormatHex(std::span(&reply.status, 1))
                  << (reply.status == 0 ? " (success)" : " (failure)") << "\npayload: " << FormatHex(reply.payload, " ")
                  << std::endl;
  }
  return reply.status == 0 ? ExitOk : ExitFailed;
}

}  // namespace

void AddSendCommand(CommandSet& commands, CLI::App& root) {
  auto options = std::make_shared<SendOptions>();
  Session& session = commands.session;
  CLI::App* send = commands.Add(root, "send",
                                "send one raw command and print the result, the status byte and the payload; "
                                "exit 0 when the reader reports success",
                                "CODE [BYTE]... [--yes]", [&session, options] { return Send(session, *options); });
  send->add_option("CODE", options->code, "the command code in hex, e.g. 10C")
      ->required()
      ->check(HexCheck(0xFFFF, "a command code (hex, 0 to FFFF)"));
  send->add_option("BYTE", options->bytes, "data bytes in hex, e.g. 01 FF (at most 64)")
      ->check(HexCheck(0xFF, "a byte (hex, 0 to FF)"));
  send->add_flag("--yes", options->yes,
                 "send a command that locks, protects, disables or writes a configuration without asking "
                 "(needed for those without a terminal)")
      ->disable_flag_override();
}

}  // namespace rivelo::cli
