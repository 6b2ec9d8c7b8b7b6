#include "batch/batch_runner.h"

#include "reader/commands.h"
#include "reader/discovery.h"

namespace rivelo {

std::string WithCount(const std::string& format, int n) {
  std::string s = format;
  const auto at = s.find("%d");
  if (at != std::string::npos) s.replace(at, 2, std::to_string(n));
  return s;
}

BatchRunner::BatchRunner(BatchProfile profile, BatchView& view)
    : profile_(std::move(profile)),
      view_(view),
      targetId_(profile_.idLength, 0),
      lastWrittenId_(profile_.idLength, 0),
      lastExportedId_(profile_.idLength, 0),
      clock_([] { return std::time(nullptr); }) {}

WriteMode BatchRunner::Mode() const {
  if (fromFile_) return WriteMode::FromFile;
  if (continuous_ && incremental_) return WriteMode::Incremental;
  if (continuous_) return WriteMode::Continuous;
  return WriteMode::None;
}

void BatchRunner::SyncBoxes() { view_.SetOptionBoxes(continuous_, incremental_, fromFile_); }

void BatchRunner::ContinuousClicked(bool checked) {
  continuous_ = checked;
  if (checked) fromFile_ = false;
  else incremental_ = false;
  SyncBoxes();
}

void BatchRunner::IncrementalClicked(bool checked) {
  incremental_ = checked;
  if (checked) {
    continuous_ = true;
    fromFile_ = false;
  }
  SyncBoxes();
}

bool BatchRunner::FromFileClicked(bool checked) {
  fromFile_ = checked;
  bool loaded = false;
  if (checked) {
    const std::string path = view_.ChooseBatchFile();
    if (path.empty()) {
      fromFile_ = false;
    } else {
      view_.AppendLine(profile_.texts.fileOpened + path);
      auto lines = LoadBatchFile(path);
      if (!lines) {
        view_.ShowMessage(profile_.texts.cannotOpen);
        fromFile_ = false;
      } else {
        fileLines_ = std::move(*lines);
        view_.AppendLine(WithCount(profile_.texts.fileLoaded, static_cast<int>(fileLines_.size())));
        continuous_ = false;
        incremental_ = false;
        loaded = true;
      }
    }
  }
  SyncBoxes();
  if (loaded) view_.ClearIdentity();
  return loaded;
}

bool BatchRunner::ReadTag(Identity* id) {
  id->assign(profile_.idLength, 0);
  return profile_.read(id);
}

bool BatchRunner::ReadTwice(Identity* id) { return ReadTag(id) || ReadTag(id); }

bool BatchRunner::WriteAndVerify(const Identity& id) {
  Identity back;
  for (const auto& write : profile_.writes) {
    write(id);
    if (ReadTag(&back) && back == id) return true;
  }
  return false;
}

void BatchRunner::SingleWrite() {
  targetId_ = view_.EnteredIdentity();
  const bool ok = WriteAndVerify(targetId_);
  view_.ReleaseWrite();
  view_.PostStatus(ok ? 1 : 0, ok ? profile_.texts.writeOk : profile_.texts.writeError);
}

void BatchRunner::SingleRead() {
  Identity id;
  const bool ok = ReadTag(&id);
  if (ok) view_.ShowIdentity(id);
  else view_.ClearIdentity();
  view_.ReleaseRead();
  view_.PostStatus(ok ? 1 : 0, ok ? profile_.texts.readOk : profile_.texts.readError);
}

void BatchRunner::WritePressed() {
  if (state_ != RunState::Idle) return;
  if (!IsDeviceConnected()) {
    view_.ReleaseWrite();
    view_.PostStatus(0, profile_.texts.notConnected);
    return;
  }
  view_.PrepareOperation();
  const WriteMode mode = Mode();
  if (mode == WriteMode::None) {
    SingleWrite();
    return;
  }
  view_.PostStatus(2, profile_.texts.writing);
  state_ = RunState::Writing;
  view_.ShowRunState(state_);
  runCounter_ = 0;
  lastWrittenId_.assign(profile_.idLength, 0);
  if (mode == WriteMode::FromFile) {
    view_.SetProgressRange(static_cast<int>(fileLines_.size()) + 1);
    view_.SetProgress(0);
    activeTimer_ = FileWriteTimer;
  } else {
    targetId_ = view_.EnteredIdentity();
    activeTimer_ = mode == WriteMode::Incremental ? IncrementalWriteTimer : ContinuousWriteTimer;
  }
  view_.StartTimer(activeTimer_, profile_.periodMs);
}

void BatchRunner::EndWriteRun() {
  view_.StopTimer(activeTimer_);
  activeTimer_ = 0;
  state_ = RunState::Idle;
  view_.ShowRunState(state_);
}

void BatchRunner::WriteReleased() {
  if (state_ != RunState::Writing) return;
  EndWriteRun();
  view_.AppendLine(profile_.texts.stop);
}

void BatchRunner::ReadPressed() {
  if (state_ != RunState::Idle) return;
  if (!IsDeviceConnected()) {
    view_.ClearIdentity();
    view_.ReleaseRead();
    view_.PostStatus(0, profile_.texts.notConnected);
    return;
  }
  view_.PrepareOperation();
  if (!continuous_) {
    SingleRead();
    return;
  }
  view_.PostStatus(2, profile_.texts.reading);
  state_ = RunState::Reading;
  view_.ShowRunState(state_);
  runCounter_ = 0;
  lastExportedId_.assign(profile_.idLength, 0);
  if (incremental_) {
    const std::string name = ExportFileName(clock_());
    const std::string folder = view_.ChooseExportFolder(profile_.texts.folderPrompt);
    auto abandon = [&](const std::string& status) {
      state_ = RunState::Idle;
      view_.ShowRunState(state_);
      view_.ReleaseRead();
      view_.PostStatus(0, status);
    };
    if (folder.empty()) {
      abandon(profile_.texts.folderCancelled);
      return;
    }
    exportPath_ = JoinExportPath(folder, name);
    std::string why;
    // A run must not list identities that it cannot export: without the file it does not start.
    if (!exportFile_.Open(exportPath_, &why)) {
      abandon(profile_.texts.exportCannotCreate + exportPath_ + " (" + why + ")");
      return;
    }
    view_.AppendLine(profile_.texts.exportStarted + exportPath_);
  }
  activeTimer_ = ReadTimer;
  view_.StartTimer(ReadTimer, profile_.periodMs);
}

void BatchRunner::ReadReleased() {
  if (state_ != RunState::Reading) return;
  view_.StopTimer(ReadTimer);
  activeTimer_ = 0;
  state_ = RunState::Idle;
  view_.ShowRunState(state_);
  exportFile_.Close();
  CmdReportResult(ResultIndicationNormal);
  view_.AppendLine(profile_.texts.stop);
}

void BatchRunner::Tick(int timer) {
  if (timer != activeTimer_ || timer < ReadTimer || timer > FileWriteTimer) return;
  if (timer == ReadTimer) ReadTick();
  else if (timer == FileWriteTimer) FileTick();
  else WriteTick(timer);
}

void BatchRunner::WriteTick(int timer) {
  const bool incremental = timer == IncrementalWriteTimer;
  Identity onReader;
  // The tag already carries what this run would give it.
  if (ReadTwice(&onReader) && onReader == (incremental ? lastWrittenId_ : targetId_)) return;
  if (!WriteAndVerify(targetId_)) return;  // tried again next tick
  if (!incremental) {
    CmdAcknowledge(AcknowledgeNormal);
    ++runCounter_;
    view_.AppendLine(WithCount(profile_.texts.counted, runCounter_));
    return;
  }
  const std::string text = view_.IncrementalListText();
  lastWrittenId_ = targetId_;
  profile_.increment(targetId_);
  view_.ShowIdentity(targetId_);
  CmdAcknowledge(AcknowledgeNormal);
  ++runCounter_;
  view_.AppendLine(WithCount(profile_.texts.numbered, runCounter_) + text);
}

void BatchRunner::FileTick() {
  const int count = static_cast<int>(fileLines_.size());
  if (runCounter_ >= count) {
    EndWriteRun();
    view_.SetProgress(count + 1);
    view_.ReleaseWrite();
    fromFile_ = false;
    SyncBoxes();
    view_.AppendLine(profile_.texts.stop);
    return;
  }
  Identity onReader;
  if (ReadTwice(&onReader) && onReader == lastWrittenId_) return;
  const std::string& line = fileLines_[static_cast<std::size_t>(runCounter_)];
  targetId_ = profile_.parseLine(line);
  if (!WriteAndVerify(targetId_)) return;  // the same line again next tick
  lastWrittenId_ = targetId_;
  CmdAcknowledge(AcknowledgeNormal);
  ++runCounter_;
  view_.SetProgress(runCounter_);
  view_.AppendLine(WithCount(profile_.texts.numbered, runCounter_) + line);
}

void BatchRunner::ReadTick() {
  Identity id;
  if (!ReadTag(&id)) {
    CmdReportResult(ResultIndicationNormal);
    return;
  }
  if (exportFile_.IsOpen()) {
    if (id == lastExportedId_) return;
    // An identity that did not reach the file is not listed; the next tick tries again.
    if (!exportFile_.WriteLine(profile_.exportLine(id))) {
      CmdReportResult(ResultIndicationNormal);
      view_.PostStatus(0, profile_.texts.exportCannotWrite + exportPath_);
      return;
    }
    lastExportedId_ = id;
  }
  CmdReportResult(ResultIndicationSuccess);
  CmdAcknowledge(AcknowledgeNormal);
  view_.ShowIdentity(id);
  ++runCounter_;
  view_.AppendLine(WithCount(profile_.texts.counted, runCounter_));
}

}  // namespace rivelo
