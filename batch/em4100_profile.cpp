#include "batch/em4100_profile.h"

#include "batch/chip_serial.h"
#include "batch/format_table.h"
#include "batch/tag_protection.h"
#include "reader/commands.h"
#include "resources/texts_batch.h"
#include "resources/texts_em4100.h"

namespace rivelo {

ReadOutcome ReadEm4100Tag(Identity* id) {
  Em4100Id bytes{};
  switch (CmdReadEm4100(bytes)) {
    case SResult::Ok: *id = FromEm4100Id(bytes); return ReadOutcome::Found;
    case SResult::FailStatus: return ReadOutcome::NoIdentity;
    case SResult::NoReply: break;
  }
  return ReadOutcome::NoReply;
}

ChipWrite Em4305Em4100Write() {
  return WithTagPasswords(
      {"EM4305", [](const Identity& id, const RunChoices& c) { CmdEm4305WriteEm4100(ToEm4100Id(id), c.lock); },
       ReadEm4305Serial},
      Em4100Format());
}

ChipWrite T5577Em4100Write() {
  return WithTagPasswords(
      {"T5577", [](const Identity& id, const RunChoices& c) { CmdT5577WriteEm4100(ToEm4100Id(id), c.lock); },
       ReadT5577Serial},
      Em4100Format());
}

BatchTexts Em4100BatchTexts() {
  namespace t = texts::em4100;
  BatchTexts x;
  x.fileOpened = t::FileOpened();
  x.fileLoaded = t::FileLoaded();
  x.counted = t::Counted();
  x.numbered = t::Numbered();
  x.stop = t::StopLine();
  x.exportStarted = t::ExportStarted();
  x.notConnected = t::NotConnected();
  x.writing = t::Writing();
  x.reading = t::Reading();
  x.folderPrompt = t::FolderPrompt();
  x.folderCancelled = t::FolderCancelled();
  x.cannotOpen = t::CannotOpen();
  x.exportCannotCreate = t::ExportCannotCreate();
  x.exportCannotWrite = t::ExportCannotWrite();
  x.writeOk = t::WriteOk();
  x.writeError = t::WriteError();
  x.readOk = t::ReadOk();
  x.readError = t::ReadError();
  x.wrongLength = texts::batch::WrongLength();
  return x;
}

BatchProfile MakeEm4305IdProfile(std::function<RunChoices()> choices) {
  BatchProfile p;
  p.format = &Em4100Format();
  p.page = "EM4100/EM4305";
  p.periodMs = 300;
  p.ops.read = ReadEm4100Tag;
  p.ops.writes = {Em4305Em4100Write(), T5577Em4100Write()};
  p.choices = std::move(choices);
  p.texts = Em4100BatchTexts();
  return p;
}

}  // namespace rivelo

namespace rivelo {

FormatEntry Em4100Entry() {
  FormatEntry e;
  e.format = &Em4100Format();
  e.lockable = true;
  e.profile = MakeEm4305IdProfile;
  // The T5577 runs tick as the T5577 tab's EM4100 page does.
  e.chips = {{"em4305", 300}, {"t5577", 500}};
  return e;
}

}  // namespace rivelo
