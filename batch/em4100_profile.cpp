#include "batch/em4100_profile.h"

#include <algorithm>

#include "reader/commands.h"
#include "resources/texts_em4100.h"

namespace rivelo {

Em4100Id ToEm4100Id(const Identity& id) { return AlignRight5(id); }

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
  return x;
}

BatchProfile MakeEm4305IdProfile(const Em4100Choices* choices) {
  BatchProfile p;
  p.periodMs = 300;
  p.idLength = Em4100IdLength;
  p.read = [](Identity* id) {
    Em4100Id bytes{};
    if (CmdReadEm4100(bytes) != SOk) return false;
    id->assign(bytes.begin(), bytes.end());
    return true;
  };
  p.writes.push_back([choices](const Identity& id) {
    const Em4100Id bytes = ToEm4100Id(id);
    CmdEm4305WriteEm4100(bytes, choices->lockAfterWrite);
  });
  p.writes.push_back([choices](const Identity& id) {
    const Em4100Id bytes = ToEm4100Id(id);
    CmdT5577WriteEm4100(bytes, choices->lockAfterWrite);
  });
  p.increment = [](Identity& id) {
    Em4100Id bytes = ToEm4100Id(id);
    IncrementId(bytes);
    id.assign(bytes.begin(), bytes.end());
  };
  p.parseLine = [](const std::string& line) {
    const Em4100Id bytes = DecimalToId(line);
    return Identity(bytes.begin(), bytes.end());
  };
  p.exportLine = [choices](const Identity& id) { return Em4100FormText(ToEm4100Id(id), choices->outputForm); };
  p.texts = Em4100BatchTexts();
  return p;
}

}  // namespace rivelo
