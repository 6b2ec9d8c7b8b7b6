// read and write of the T5577 tab's access and animal formats that have no batch runs:
//   read hid | write hid FACILITY CARD
//   read fdxa | write fdxa HEX10
// A write counts only when the tag on the reader reads back what was sent.
#include <algorithm>
#include <ostream>

#include "cli/command_set.h"
#include "cli/format_table.h"
#include "cli/json_lines.h"
#include "model/fdxa.h"
#include "model/hid26.h"
#include "model/text_bytes.h"
#include "reader/commands.h"

namespace rivelo::cli {
namespace {

using HidId = std::array<std::uint8_t, 3>;

struct AccessOptions {
  std::string facility, card, code;
};

CLI::Validator Check(std::string (*check)(std::string_view)) {
  return CLI::Validator([check](std::string& text) { return check(text); }, "");
}

std::string FacilityError(std::string_view text) { return DecimalValueError("facility code", text, 255); }
std::string CardError(std::string_view text) { return DecimalValueError("card number", text, 65535); }

std::string FdxaCodeError(std::string_view text) {
  const auto bytes = HexBytesExact(text, FdxaLength);
  if (!bytes) return "'" + std::string(text) + "' is not an FDX-A code: 10 hex digits, e.g. 0123456701";
  // The tag keeps 7 data bits a byte: a code with bit 7 set would be written as another one.
  const FdxaCode writable = FdxaWritable(std::span<const std::uint8_t, FdxaLength>(bytes->data(), FdxaLength));
  if (std::equal(writable.begin(), writable.end(), bytes->begin())) return {};
  return "FDX-A code " + std::string(text) + " has bytes above 7F; a tag holds 7 bits a byte, so it would get " +
         FormatHex(writable);
}

void PrintHid(Session& session, const HidId& id) {
  const auto facility = id[0];
  const auto card = static_cast<std::uint16_t>(id[1] << 8 | id[2]);
  // The reader hands over the 24 data bits only: the parity bits shown are computed, not read.
  const std::string frame = Hid26Text(Hid26Frame(facility, card));
  if (session.json) {
    session.Out() << JsonObject()
                         .Number("facility", facility)
                         .Number("card", card)
                         .Text("hex", FormatHex(id))
                         .Text("frame", frame)
                         .Bool("parityRead", false)
                         .Str()
                  << std::endl;
    return;
  }
  session.Out() << "facility  " << int{facility} << " (" << FormatHex(std::span(id.data(), 1)) << ")\n"
                << "card      " << card << " (" << FormatHex(std::span(id.data() + 1, 2)) << ")\n"
                << "frame     " << frame << " (26 bits; parity computed: the reader hands over no parity bits)"
                << std::endl;
}

void PrintFdxa(Session& session, const FdxaCode& code) {
  if (session.json) session.Out() << JsonObject().Text("fdxa", FormatHex(code)).Str() << std::endl;
  else session.Out() << FormatHex(code) << std::endl;
}

int ReadHid(Session& session) {
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  HidId id{};
  if (CmdReadHid(id) != SOk) {
    session.Error("no HID 26-bit tag read");
    return ExitFailed;
  }
  PrintHid(session, id);
  return ExitOk;
}

int WriteHid(Session& session, const AccessOptions& o) {
  const auto card = static_cast<std::uint16_t>(std::stoul(o.card));
  const HidId sent{static_cast<std::uint8_t>(std::stoul(o.facility)), static_cast<std::uint8_t>(card >> 8),
                   static_cast<std::uint8_t>(card & 0xFF)};
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  if (CmdT5577WriteHid(sent) != ROk) {
    session.Error("the reader did not answer the HID write");
    return ExitFailed;
  }
  HidId back{};
  if (CmdReadHid(back) != SOk || back != sent) {
    session.Error("the tag did not read back facility " + o.facility + ", card " + o.card + " (T5577 only)");
    return ExitFailed;
  }
  PrintHid(session, back);
  return ExitOk;
}

int ReadFdxa(Session& session) {
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  FdxaCode code{};
  if (CmdReadFdxa(code) != SOk) {
    session.Error("no FDX-A tag read");
    return ExitFailed;
  }
  PrintFdxa(session, code);
  return ExitOk;
}

int WriteFdxa(Session& session, const AccessOptions& o) {
  const auto bytes = HexBytesExact(o.code, FdxaLength);
  FdxaCode sent{};
  std::copy(bytes->begin(), bytes->end(), sent.begin());
  if (const int exit = session.Connect(); exit != ExitOk) return exit;
  if (CmdT5577WriteFdxa(sent) != ROk) {
    session.Error("the reader did not answer the FDX-A write");
    return ExitFailed;
  }
  FdxaCode back{};
  if (CmdReadFdxa(back) != SOk || back != sent) {
    session.Error("the tag did not read back " + FormatHex(sent) + " (T5577 only)");
    return ExitFailed;
  }
  PrintFdxa(session, back);
  return ExitOk;
}

}  // namespace

void AddAccessCommands(CommandSet& commands, CLI::App& read, CLI::App& write) {
  auto o = std::make_shared<AccessOptions>();
  Session& session = commands.session;
  commands.Add(read, "hid",
               "print the facility code, card number and 26-bit frame of the HID 26-bit tag on the reader", "",
               [&session] { return ReadHid(session); }, "Formats");
  commands.Add(read, "fdxa", "print the code of the FDX-A tag on the reader in 10 hex digits", "",
               [&session] { return ReadFdxa(session); }, "Formats");
  CLI::App* hid = commands.Add(
      write, "hid", "write an HID 26-bit identity onto the T5577 on the reader and read it back", "FACILITY CARD",
      [&session, o] { return WriteHid(session, *o); }, "Formats");
  hid->add_option("FACILITY", o->facility, "the facility code, 0 to 255")->required()->check(Check(FacilityError));
  hid->add_option("CARD", o->card, "the card number, 0 to 65535")->required()->check(Check(CardError));
  CLI::App* fdxa = commands.Add(write, "fdxa",
                                "write an FDX-A code onto the T5577 on the reader and read it back; each byte "
                                "holds 7 bits, so a code with a byte above 7F is refused",
                                "HEX10", [&session, o] { return WriteFdxa(session, *o); }, "Formats");
  fdxa->add_option("HEX10", o->code, "10 hex digits, each byte 00 to 7F, e.g. 0123456701")
      ->required()
      ->check(Check(FdxaCodeError));
}

}  // namespace rivelo::cli
