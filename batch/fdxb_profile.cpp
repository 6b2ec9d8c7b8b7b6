#include "batch/fdxb_profile.h"

#include "batch/chip_serial.h"
#include "batch/country_text.h"
#include "batch/format_table.h"
#include "batch/tag_protection.h"
#include "reader/commands.h"
#include "resources/texts_batch.h"

namespace rivelo {

ReadOutcome ReadFdxbTag(Identity* id) {
  FdxbRecord record{};
  switch (CmdReadFdxb(record)) {
    case SResult::Ok: break;
    case SResult::FailStatus: return ReadOutcome::NoIdentity;
    case SResult::NoReply: return ReadOutcome::NoReply;
  }
  // A tag holds a 38-bit national and a 10-bit country code. Wider values come from a damaged
  // or foreign reply, and would be listed and exported as another identity (their lines keep
  // 12 and 4 digits): such a reply is no valid reply.
  const FdxbId read = FromRecord(record);
  if ((read[InfoOf(FdxbNumber::National).offset] & ~InfoOf(FdxbNumber::National).topMask) != 0 ||
      (read[InfoOf(FdxbNumber::Country).offset] & ~InfoOf(FdxbNumber::Country).topMask) != 0) {
    if (CMyComm* comm = PortAt(ReaderPortIndex)) comm->NoteReply(ReplyFailure::Malformed);
    return ReadOutcome::NoReply;
  }
  *id = FromFdxbId(read);
  return ReadOutcome::Found;
}

ChipWrite T5577FdxbWrite() {
  return WithTagPasswords({"T5577", [](const Identity& id, const RunChoices&) { CmdT5577WriteFdxb(ToRecord(ToFdxbId(id))); },
                           ReadT5577Serial},
                          FdxbFormat());
}

ChipWrite Em4305FdxbWrite() {
  return WithTagPasswords({"EM4305", [](const Identity& id, const RunChoices&) { CmdEm4305WriteFdxb(ToRecord(ToFdxbId(id))); },
                           ReadEm4305Serial},
                          FdxbFormat());
}

BatchTexts FdxbBatchTexts(const texts::fdxb::PageTexts& t) {
  BatchTexts x;
  x.fileOpened = t.fileOpened;
  x.fileLoaded = t.fileLoaded;
  x.counted = t.counted;
  x.numbered = t.numbered;
  x.numberedIncremental = t.numberedIncremental;
  x.stop = t.stop;
  x.exportStarted = t.exportStarted;
  x.exportStartedEnd = t.exportStartedEnd;
  x.exportStartedScrolls = false;
  x.notConnected = t.notConnected;
  x.writing = t.writing;
  x.reading = t.reading;
  x.folderPrompt = t.folderPrompt;
  x.folderCancelled = t.folderPrompt;
  x.cannotOpen = t.cannotOpen;
  x.exportCannotCreate = t.exportCannotCreate;
  x.exportCannotWrite = t.exportCannotWrite;
  x.writeOk = t.writeOk;
  x.writeError = t.writeError;
  x.readOk = t.readResult;
  x.readError = t.readResult;
  x.wrongLength = texts::batch::WrongLength();
  return x;
}

BatchProfile MakeFdxbProfile(ChipWrite write, BatchTexts texts, std::function<RunChoices()> choices) {
  BatchProfile p;
  p.format = &FdxbFormat();
  p.page = std::string("FDX-B/") + write.chip;
  p.periodMs = 500;
  p.ops.read = ReadFdxbTag;
  p.ops.writes = {std::move(write)};
  p.choices = std::move(choices);
  p.texts = std::move(texts);
  return p;
}

}  // namespace rivelo

namespace rivelo {
namespace {

// Written EM4305 first and T5577 second, with the EM4305 page's texts.
BatchProfile FdxbProfile(std::function<RunChoices()> choices) {
  BatchProfile p = MakeFdxbProfile(Em4305FdxbWrite(), FdxbBatchTexts(texts::fdxb::Em4305Page()), std::move(choices));
  p.ops.writes.push_back(T5577FdxbWrite());
  return p;
}

std::string CountryOf(const FdxbId& id) { return CountryText(static_cast<int>(NumberOf(id, FdxbNumber::Country))); }

Labelled FdxbReport(const Identity& identity) {
  const FdxbId id = ToFdxbId(identity);
  const auto number = [&id](FdxbNumber n) { return std::to_string(NumberOf(id, n)); };
  return {{"national", number(FdxbNumber::National)},
          {"country", number(FdxbNumber::Country) + " (" + CountryOf(id) + ")"},
          {"trailer", number(FdxbNumber::Trailer)},
          {"24D", FdxbLine(id)},
          // As certificates write it, country and national code apart.
          {"15D", FdxbIso15(id, " ")}};
}

Labelled FdxbJsonMembers(const Identity& identity) { return {{"countryName", CountryOf(ToFdxbId(identity))}}; }

}  // namespace

FormatEntry FdxbEntry() {
  FormatEntry e;
  e.format = &FdxbFormat();
  e.profile = FdxbProfile;
  e.chips = {{"em4305", 500}, {"t5577", 500}};
  e.report = FdxbReport;
  e.jsonMembers = FdxbJsonMembers;
  return e;
}

}  // namespace rivelo
