#include "batch/fdxb_profile.h"

#include <algorithm>
#include <array>

#include "batch/chip_serial.h"
#include "reader/commands.h"
#include "resources/texts_batch.h"

namespace rivelo {
namespace {

struct RecordParts {
  std::array<std::uint8_t, 5> national{};
  std::array<std::uint8_t, 2> country{};
  std::array<std::uint8_t, 3> trailer{};
};

RecordParts PartsOf(const Identity& id) {
  const FdxbRecord r = ToRecord(ToFdxbId(id));
  RecordParts p;
  std::copy(r.begin(), r.begin() + 5, p.national.begin());
  std::copy(r.begin() + 5, r.begin() + 7, p.country.begin());
  std::copy(r.begin() + 9, r.end(), p.trailer.begin());
  return p;
}

}  // namespace

ReadOutcome ReadFdxbTag(Identity* id) {
  RecordParts p;
  switch (CmdReadFdxb(p.national, p.country, p.trailer)) {
    case SResult::Ok: break;
    case SResult::FailStatus: return ReadOutcome::NoIdentity;
    case SResult::NoReply: return ReadOutcome::NoReply;
  }
  // A tag holds a 38-bit national and a 10-bit country code. Wider values come from a damaged
  // or foreign reply, and would be listed and exported as another identity (their lines keep
  // 12 and 4 digits): such a reply is no valid reply.
  if ((p.national[0] & ~InfoOf(FdxbNumber::National).topMask) != 0 ||
      (p.country[0] & ~InfoOf(FdxbNumber::Country).topMask) != 0) {
    if (CMyComm* comm = PortAt(ReaderPortIndex)) comm->NoteReply(ReplyFailure::Malformed);
    return ReadOutcome::NoReply;
  }
  Identity bytes(p.national.begin(), p.national.end());
  bytes.insert(bytes.end(), p.country.begin(), p.country.end());
  bytes.insert(bytes.end(), p.trailer.begin(), p.trailer.end());
  *id = std::move(bytes);
  return ReadOutcome::Found;
}

ChipWrite T5577FdxbWrite() {
  return {"T5577", [](const Identity& id, const RunChoices&) {
            const RecordParts p = PartsOf(id);
            CmdT5577WriteFdxb(p.national, p.country, p.trailer);
          },
          ReadT5577Serial};
}

ChipWrite Em4305FdxbWrite() {
  return {"EM4305", [](const Identity& id, const RunChoices&) {
            const RecordParts p = PartsOf(id);
            CmdEm4305WriteFdxb(p.national, p.country, p.trailer);
          },
          ReadEm4305Serial};
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
