// HID 26-bit through the reader: the read (0x10D) and the T5577 write (0x20D), ticking at the
// T5577 pages' 500 ms. A report shows the frame with its parity computed, because the reader
// hands over only the 24 data bits.
#include <array>

#include "batch/chip_serial.h"
#include "batch/format_table.h"
#include "batch/tag_protection.h"
#include "model/hid26.h"
#include "model/text_bytes.h"
#include "reader/commands.h"

namespace rivelo {
namespace {

ReadOutcome ReadHidTag(Identity* id) {
  std::array<std::uint8_t, Hid26IdLength> bytes{};
  switch (CmdReadHid(bytes)) {
    case SResult::Ok: *id = Identity(bytes.begin(), bytes.end()); return ReadOutcome::Found;
    case SResult::FailStatus: return ReadOutcome::NoIdentity;
    case SResult::NoReply: break;
  }
  return ReadOutcome::NoReply;
}

ChipWrite T5577HidWrite() {
  return WithTagPasswords({"T5577",
                           [](const Identity& id, const RunChoices&) {
                             std::array<std::uint8_t, Hid26IdLength> bytes{};
                             std::copy_n(id.begin(), std::min(id.size(), bytes.size()), bytes.begin());
                             CmdT5577WriteHid(bytes);
                           },
                           ReadT5577Serial},
                          Hid26Format());
}

BatchProfile HidProfile(std::function<RunChoices()> choices) {
  BatchProfile p;
  p.format = &Hid26Format();
  p.page = "HID 26-bit/T5577";
  p.periodMs = 500;
  p.ops.read = ReadHidTag;
  p.ops.writes = {T5577HidWrite()};
  p.choices = std::move(choices);
  p.texts = FormatBatchTexts(Hid26Format().title);
  return p;
}

Labelled HidReport(const Identity& id) {
  const std::span<const std::uint8_t> bytes(id);
  return {{"facility", std::to_string(id.at(0)) + " (" + FormatHex(bytes.first(1)) + ")"},
          {"card", std::to_string(id.at(1) << 8 | id.at(2)) + " (" + FormatHex(bytes.subspan(1, 2)) + ")"},
          {"frame", Hid26Format().text(id, 2) + " (26 bits; parity computed: the reader hands over no parity bits)"}};
}

}  // namespace

FormatEntry Hid26Entry() {
  FormatEntry e;
  e.format = &Hid26Format();
  e.profile = HidProfile;
  e.report = HidReport;
  return e;
}

}  // namespace rivelo
