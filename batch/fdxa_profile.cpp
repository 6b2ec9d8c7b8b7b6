// FDX-A through the reader: the read (0x10A) and the T5577 write (0x20A), ticking at the T5577
// pages' 500 ms.
#include <array>

#include "batch/chip_serial.h"
#include "batch/format_table.h"
#include "batch/tag_protection.h"
#include "model/fdxa.h"
#include "reader/commands.h"

namespace rivelo {
namespace {

ReadOutcome ReadFdxaTag(Identity* id) {
  FdxaCode code{};
  switch (CmdReadFdxa(code)) {
    case SResult::Ok: *id = Identity(code.begin(), code.end()); return ReadOutcome::Found;
    case SResult::FailStatus: return ReadOutcome::NoIdentity;
    case SResult::NoReply: break;
  }
  return ReadOutcome::NoReply;
}

// The tag keeps 7 bits a byte: the code sent is the one its read-back is compared with.
ChipWrite T5577FdxaWrite() {
  return WithTagPasswords({"T5577",
                           [](const Identity& id, const RunChoices&) {
                             FdxaCode code{};
                             std::copy_n(id.begin(), std::min(id.size(), code.size()), code.begin());
                             CmdT5577WriteFdxa(FdxaWritable(code));
                           },
                           ReadT5577Serial},
                          FdxaFormat());
}

BatchProfile FdxaProfile(std::function<RunChoices()> choices) {
  BatchProfile p;
  p.format = &FdxaFormat();
  p.page = "FDX-A/T5577";
  p.periodMs = 500;
  p.ops.read = ReadFdxaTag;
  p.ops.writes = {T5577FdxaWrite()};
  p.choices = std::move(choices);
  p.texts = FormatBatchTexts(FdxaFormat().title);
  return p;
}

}  // namespace

FormatEntry FdxaEntry() {
  FormatEntry e;
  e.format = &FdxaFormat();
  e.profile = FdxaProfile;
  return e;
}

}  // namespace rivelo
