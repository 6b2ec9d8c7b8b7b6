#include "batch/batch_runner.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "reader/commands.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "resources/texts_batch.h"
#include "resources/texts_registry.h"
#include "resources/texts_run.h"
#include "resources/texts_run_log.h"
#include "resources/texts_tag_passwords.h"

namespace rivelo {
namespace {

class ConnectedReaderSignals : public ReaderSignals {
 public:
  void Acknowledge(int value) override { CmdAcknowledge(value); }
  void ReportResult(int value) override { CmdReportResult(value); }
  bool Connected() override { return IsDeviceConnected(); }
  bool PortGone() override {
    const CMyComm* port = PortAt(ReaderPortIndex);
    return port != nullptr && port->PortGone();
  }
  std::string PortName() override {
    const CMyComm* port = PortAt(ReaderPortIndex);
    return port != nullptr ? port->PortName() : std::string();
  }
  void DropPort() override { DisconnectDevice(); }
};

// That passwords are in force, never their values: the list is shown and exported freely.
std::string PasswordsLine(const RunChoices& choices) {
  namespace t = texts::tag_passwords;
  if (!choices.password && !choices.protect) return {};
  std::string line = t::InForceLine();
  if (choices.password) line += t::CarriedPart();
  if (choices.password && choices.protect) line += t::AndPart();
  if (choices.protect) line += t::GivenPart();
  return line;
}

}  // namespace

ReaderSignals& DeviceSignals() {
  static ConnectedReaderSignals signals;
  return signals;
}

std::string WithCount(const std::string& format, int n) {
  std::string s = format;
  const auto at = s.find("%d");
  if (at != std::string::npos) s.replace(at, 2, std::to_string(n));
  return s;
}

// Replaces each %s of format in turn with the next value.
std::string Filled(const std::string& format, std::initializer_list<std::string> values) {
  std::string s = format;
  std::size_t from = 0;
  for (const std::string& v : values) {
    const auto at = s.find("%s", from);
    if (at == std::string::npos) break;
    s.replace(at, 2, v);
    from = at + v.size();
  }
  return s;
}

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string SummaryText(const RunSummary& r) {
  const std::string seconds = OneDecimal(r.seconds), rate = OneDecimal(r.TagsPerMinute());
  if (!r.write) return Filled(texts::run::ReadSummary(), {std::to_string(r.tags), std::to_string(r.silentTicks), seconds, rate});
  return Filled(texts::run::WriteSummary(), {std::to_string(r.tags), std::to_string(r.refused), std::to_string(r.leftAlone),
                                             std::to_string(r.silentTicks), seconds, rate});
}

BatchRunner::BatchRunner(BatchProfile profile, BatchView& view, ReaderSignals* readerSignals)
    : profile_(std::move(profile)),
      view_(view),
      page_(view.Page()),
      signals_(readerSignals ? *readerSignals : DeviceSignals()),
      targetId_(profile_.format->length, 0),
      lastWrittenId_(profile_.format->length, 0),
      lastExportedId_(profile_.format->length, 0),
      clock_([] { return std::time(nullptr); }),
      runClock_([] { return std::chrono::steady_clock::now(); }) {}

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

ReadOutcome BatchRunner::ReadTag(Identity* id) {
  id->assign(profile_.format->length, 0);
  ReadOutcome outcome = profile_.ops.read(id);
  // A damaged reply is asked again at once; a lost one has cost its full wait already.
  for (int again = 0; again < 2 && outcome == ReadOutcome::NoReply && LastReplyDamaged(); ++again)
    outcome = profile_.ops.read(id);
  if (outcome == ReadOutcome::Found && id->size() != profile_.format->length) outcome = ReadOutcome::NoReply;
  if (state_ != RunState::Idle) {
    link_.Note(outcome);
    if (outcome == ReadOutcome::NoReply && signals_.PortGone()) portGone_ = true;
  }
  return outcome;
}

// Reads the tag, and once more when the first read found no identity. A tick may write only
// when the reader itself said that no identity was there: a read without a valid reply
// says nothing, and the tag on the reader may be the one just written. Such a read ends the
// tick: the next tick asks again.
ReadOutcome BatchRunner::ReadBeforeWrite(Identity* id) {
  const ReadOutcome first = ReadTag(id);
  if (first != ReadOutcome::NoIdentity) return first;
  const ReadOutcome second = ReadTag(id);
  return second;
}

bool BatchRunner::WriteAndVerify(const Identity& id) {
  lastWrite_ = {TagOutcome::NotSent};
  if (id.size() != profile_.format->length) {
    view_.PostStatus(0, profile_.texts.wrongLength);
    return false;
  }
  wrote_ = false;
  if (!ChipSerialAllowsWrite()) return false;
  if (!serials_.CheckedSerial().empty() && refusedSerials_.count(serials_.CheckedSerial()) != 0) return false;
  const RunChoices choices = profile_.choices();
  Identity back;
  const std::string known = serials_.CheckedChip();  // the kind its serial named, if any
  for (const ChipWrite& chip : profile_.ops.writes) {
    if (!known.empty() && known != chip.chip) continue;
    wrote_ = true;
    chip.write(id, choices);
    ReadOutcome outcome = ReadTag(&back);
    // A lost reply is not a failed write: ask once more before trying the next chip.
    if (outcome == ReadOutcome::NoReply) outcome = ReadTag(&back);
    lastWrite_ = {TagOutcome::NotReadBack};
    if (outcome == ReadOutcome::Found && back == id) {
      if (!ProtectWritten(chip.chip, id)) {
        unverifiedChip_ = nullptr;
        return false;
      }
      lastWrite_ = {TagOutcome::Done};
      lastChip_ = chip.chip;
      unverifiedChip_ = nullptr;
      blankBacks_ = 0;
      return true;
    }
    // Nothing is known of this write: another chip's write could not tell whether it took, and
    // would credit itself with this one's. The next tick's read decides.
    if (outcome == ReadOutcome::NoReply) {
      lastWrite_ = {signals_.PortGone() ? TagOutcome::PortGone : TagOutcome::NoReply};
      unverifiedChip_ = chip.chip;
      return false;
    }
    // When the chip's serial named its kind, "no identity" may be a misread of the tag just
    // written: the next tick decides, until the same chip has said it that often that it
    // refuses. Another identity read back is no misread: the tag did not take the write.
    if (!known.empty() && outcome == ReadOutcome::NoIdentity) {
      blankBacks_ = serials_.CheckedSerial() == blankSerial_ ? blankBacks_ + 1 : 1;
      blankSerial_ = serials_.CheckedSerial();
      if (blankBacks_ < SerialRefusalWrites) {
        unverifiedChip_ = chip.chip;
        return false;
      }
      blankBacks_ = 0;
      refusedSerials_.insert(blankSerial_);
      notTaken_ = RefusalWrites - 1;  // the caller's count of writes not taken names it now
      notTakenFound_ = ReadOutcome::NoIdentity;
    }
  }
  unverifiedChip_ = nullptr;
  return false;
}

// A write whose verifying reads both went unanswered is verified by the next read that answers:
// when the tag then carries the target, that chip's write took. Without this, a continuous run
// would see its own identity on the tag and wait for ever for a tag that is never listed.
bool BatchRunner::TakeUnverifiedWrite(ReadOutcome found, const Identity& onReader) {
  const char* chip = unverifiedChip_;
  unverifiedChip_ = nullptr;
  if (chip == nullptr || found != ReadOutcome::Found || onReader != targetId_) return false;
  if (!ProtectWritten(chip, onReader)) return false;
  lastChip_ = chip;
  return true;
}

// With a password to give, a tag that took its identity counts only once it carries that
// password and reads back its identity with it.
bool BatchRunner::ProtectWritten(const char* chip, const Identity& id) {
  lastProtected_ = false;
  protectFailed_ = false;
  const RunChoices choices = profile_.choices();
  if (!choices.protect) return true;
  for (const ChipWrite& w : profile_.ops.writes)
    if (w.chip == chip || std::string(w.chip) == chip) lastProtected_ = w.protect && w.protect(id, choices);
  protectFailed_ = !lastProtected_;
  return lastProtected_;
}

void BatchRunner::List(const std::string& line, const Identity& id, const char* chip, int fileLine) {
  ListedTag tag{runCounter_, id, chip, fileLine, serials_.Verified(chip, runCounter_, id)};
  tag.protectedTag = chip != nullptr && lastProtected_;
  if (!GateIssued(tag)) return;
  view_.AppendLine(line);
  page_.Listed(tag);
  if (chip) LogTag(tag);
}

// Opens the run log for a write, when one is asked for, and starts its next run. A write whose
// record could not be kept does not start: the log is the only record that outlives the list.
bool BatchRunner::OpenRunLog() {
  runLog_.reset();
  runLogFailed_ = false;
  const std::string folder = runLogFile_.empty() ? RunLogFolder() : std::string();
  if (runLogFile_.empty() && folder.empty()) return true;
  const std::string path = runLogFile_.empty() ? RunLogPathIn(folder, *profile_.format) : runLogFile_;
  auto log = std::make_unique<RunLog>(*profile_.format);
  std::string why;
  // A file named on the command line may be a link of the operator's choosing; the name the
  // window makes up in its folder is never followed.
  if (!log->Open(path, &why, !runLogFile_.empty())) {
    view_.PostStatus(0, texts::run_log::CannotOpen() + path + " (" + why + ")");
    return false;
  }
  log->StartRun();
  runLog_ = std::move(log);
  return true;
}

// A tag that is listed but not recorded would be missing from the only lasting record, so a
// log that can no longer be written stops the run.
void BatchRunner::LogTag(const ListedTag& tag) {
  if (!runLog_ || runLog_->Append(clock_(), profile_.page, tag)) return;
  StopForRunLog(runLog_->Path() + " (" + runLog_->Error() + "); " + std::to_string(tag.number) + " " +
                profile_.format->text(tag.id, 0) + texts::run_log::NotInLog());
}

// What: the log's path and the system's reason, and what the log does not hold.
void BatchRunner::StopForRunLog(const std::string& what) {
  runLogError_ = texts::run_log::CannotWrite() + what;
  runLog_.reset();
  runLogFailed_ = true;
  view_.PostStatus(0, runLogError_);
  if (state_ != RunState::Writing) return;
  EndWriteRun();
  view_.ReleaseWrite();
  AppendStop();
}

void BatchRunner::SingleWrite() {
  targetId_ = page_.EnteredIdentity();
  if (targetId_.size() == profile_.format->length && !OpenRunLog()) {
    view_.ReleaseWrite();
    return;
  }
  GateStart();
  if (targetId_.size() == profile_.format->length && !GateAllowsWrite(WriteMode::None)) {
    view_.ReleaseWrite();
    runLog_.reset();
    return;
  }
  bool ok = WriteAndVerify(targetId_);
  view_.ReleaseWrite();
  if (targetId_.size() != profile_.format->length) return;  // already reported
  if (ok) ok = GateIssued(ListedTag{1, targetId_, lastChip_, 0, serials_.Verified(lastChip_, 1, targetId_)});
  GateRelease();
  if (!ok && GateStopped()) {
    view_.PostStatus(0, gateError_);
    runLog_.reset();
    return;
  }
  view_.PostStatus(ok ? 1 : 0, ok ? profile_.texts.writeOk : profile_.texts.writeError);
  // A single write is a run of one tag in the log.
  if (ok) {
    ListedTag tag{1, targetId_, lastChip_};
    tag.protectedTag = lastProtected_;
    LogTag(tag);
  }
  runLog_.reset();
}

void BatchRunner::SingleRead() {
  Identity id;
  const bool ok = ReadTag(&id) == ReadOutcome::Found;
  if (ok) page_.ShowReadIdentity(id);
  else page_.ClearIdentity();
  view_.ReleaseRead();
  view_.PostStatus(ok ? 1 : 0, ok ? profile_.texts.readOk : profile_.texts.readError);
}

void BatchRunner::WritePressed() {
  if (state_ != RunState::Idle) return;
  if (!signals_.Connected()) {
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
  Identity entered;
  if (mode != WriteMode::FromFile) {
    entered = page_.EnteredIdentity();
    if (entered.size() != profile_.format->length) {
      view_.ReleaseWrite();
      view_.PostStatus(0, profile_.texts.wrongLength);
      return;
    }
  }
  std::size_t first = 0;
  if (mode == WriteMode::FromFile && !ChooseFileStart(&first)) {
    view_.ReleaseWrite();
    return;
  }
  if (!OpenRunLog()) {
    view_.ReleaseWrite();
    return;
  }
  GateStart();
  view_.PostStatus(2, profile_.texts.writing);
  state_ = RunState::Writing;
  StartWatch();
  view_.ShowRunState(state_);
  runCounter_ = 0;
  unverifiedChip_ = nullptr;
  rangeEnded_ = false;
  lastWrittenId_.assign(profile_.format->length, 0);
  written_.Clear();
  serials_.Clear();
  refusedSerials_.clear();
  blankBacks_ = 0;
  StartSummary(true);
  if (gate_) view_.AppendLine(texts::registry::RunStarted() + gate_->Where());
  if (const std::string passwords = PasswordsLine(profile_.choices()); !passwords.empty()) view_.AppendLine(passwords);
  if (runLog_) view_.AppendLine(texts::run_log::Started() + runLog_->Path());
  if (mode == WriteMode::FromFile) {
    view_.SetProgressRange(static_cast<int>(fileLines_.size()) + 1);
    StartFileAt(first);
    summaryFirst_ = runCounter_;
    activeTimer_ = FileWriteTimer;
  } else {
    targetId_ = std::move(entered);
    activeTimer_ = mode == WriteMode::Incremental ? IncrementalWriteTimer : ContinuousWriteTimer;
  }
  view_.StartTimer(activeTimer_, profile_.periodMs);
}

void BatchRunner::StartSummary(bool write) {
  summary_ = RunSummary{};
  summary_.write = write;
  summaryFirst_ = runCounter_;
  notTaken_ = 0;
  refused_ = 0;
  leftAlone_ = 0;
  runStart_ = runClock_();
}

// Taken when a run ends, however it ended, and said after its stop line.
void BatchRunner::EndSummary() {
  summary_.tags = runCounter_ - summaryFirst_ - (summary_.write ? linesSkipped_ : 0);
  summary_.refused = refused_;
  summary_.leftAlone = leftAlone_;
  summary_.silentTicks = link_.TotalSilentTicks();
  summary_.seconds = std::chrono::duration<double>(runClock_() - runStart_).count();
  summaryDue_ = true;
}

// The stop line, and the summary of the run that just ended after it.
void BatchRunner::AppendStop() {
  view_.AppendLine(profile_.texts.stop);
  if (!summaryDue_) return;
  summaryDue_ = false;
  view_.ShowSummary(SummaryText(summary_));
}

// A write the tag answered without taking it. The same tag refusing twice in a row is named,
// signalled, counted and logged, and the next tag gets the same identity. A tag that reads as an
// identity is told apart from the next tag by it, and named once however long it stays. A blank
// reads like the next blank (and like an empty reader), so each second refusal in a row counts
// as one more refused tag: a run never stays silent on a stack of refusing blanks.
void BatchRunner::WriteNotTaken(ReadOutcome found, const Identity& onReader, int fileLine) {
  // Nothing was sent (the guard held the write back), or nothing is known of the write: no refusal.
  if (!wrote_ || unverifiedChip_ != nullptr) return;
  const bool same = notTaken_ > 0 && found == notTakenFound_ &&
                    (found != ReadOutcome::Found || onReader == notTakenReading_);
  notTaken_ = same ? notTaken_ + 1 : 1;
  notTakenFound_ = found;
  notTakenReading_ = onReader;
  if (notTaken_ != RefusalWrites) return;
  if (found != ReadOutcome::Found) notTaken_ = 0;
  ++refused_;
  signals_.ReportResult(ResultIndicationNormal);  // the error indication: the operator puts it aside
  const bool locked = found == ReadOutcome::Found;
  const std::string text = Filled(texts::run::Refused(), {profile_.format->text(targetId_, 0),
                                                          locked ? texts::run::ReasonLocked() : texts::run::ReasonProtected(),
                                                          std::to_string(refused_)});
  view_.AppendLine(text);
  view_.PostStatus(0, text);
  const RefusedTag tag{targetId_, profile_.ops.writes.empty() ? nullptr : profile_.ops.writes.back().chip,
                       locked ? "locked" : "password-protected or not writable", fileLine, {}};
  if (runLog_ && !runLog_->AppendRefused(clock_(), profile_.page, tag))
    StopForRunLog(runLog_->Path() + " (" + runLog_->Error() + ")");
}

void BatchRunner::EndWriteRun() {
  // A file run stopped short of the file's end may go on from where it stopped.
  if (activeTimer_ == FileWriteTimer)
    resumeAt_ = static_cast<std::size_t>(runCounter_) < fileIds_.size() ? static_cast<std::size_t>(runCounter_) : 0;
  runLog_.reset();
  GateRelease();
  view_.StopTimer(activeTimer_);
  activeTimer_ = 0;
  state_ = RunState::Idle;
  view_.ShowRunState(state_);
  EndSummary();
}

void BatchRunner::WriteReleased() {
  if (state_ != RunState::Writing) return;
  EndWriteRun();
  AppendStop();
}

void BatchRunner::ReadPressed() {
  if (state_ != RunState::Idle) return;
  if (!signals_.Connected()) {
    page_.ClearIdentity();
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
  StartWatch();
  view_.ShowRunState(state_);
  runCounter_ = 0;
  lastExportedId_.assign(profile_.format->length, 0);
  seen_.clear();
  exportFailures_ = 0;
  exportFailed_ = false;
  StartSummary(false);
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
    exportPath_ = exportFile_.Path();  // a name that was taken got a number
    const std::string started = profile_.texts.exportStarted + exportPath_ + profile_.texts.exportStartedEnd;
    if (profile_.texts.exportStartedScrolls) view_.AppendLine(started);
    else view_.AppendUnscrolledLine(started);
  }
  activeTimer_ = ReadTimer;
  view_.StartTimer(ReadTimer, profile_.periodMs);
}

void BatchRunner::ReadReleased() {
  if (state_ != RunState::Reading) return;
  EndReadRun();
  signals_.ReportResult(ResultIndicationNormal);
  AppendStop();
}

void BatchRunner::EndReadRun() {
  view_.StopTimer(ReadTimer);
  activeTimer_ = 0;
  state_ = RunState::Idle;
  view_.ShowRunState(state_);
  exportFile_.Close();
  EndSummary();
}

void BatchRunner::Tick(int timer) {
  if (timer != activeTimer_ || timer < ReadTimer || timer > FileWriteTimer) return;
  if (timer == ReadTimer) ReadTick();
  else if (timer == FileWriteTimer) FileTick();
  else WriteTick(timer);
  AfterTick();
}

void BatchRunner::StartWatch() {
  link_.Reset();
  portGone_ = false;
  lostPort_.clear();
}

// A port that went away ends the run: its handle is dead, and only a new connect can reach
// the reader again. A reader that merely went quiet is said once, and its return too, while
// the run keeps trying.
void BatchRunner::AfterTick() {
  if (state_ == RunState::Idle) return;  // the tick ended the run
  if (portGone_) {
    StopOnLostPort();
    return;
  }
  switch (link_.EndTick()) {
    case LinkWatch::Change::WentSilent:
      view_.PostStatus(0, WithCount(profile_.texts.linkSilent, link_.SilentTicks()));
      break;
    case LinkWatch::Change::Answers: view_.PostStatus(2, profile_.texts.linkAnswers); break;
    case LinkWatch::Change::None: break;
  }
}

void BatchRunner::StopOnLostPort() {
  const RunState was = state_;
  lostPort_ = signals_.PortName();
  signals_.DropPort();
  if (was == RunState::Writing) {
    EndWriteRun();
    view_.ReleaseWrite();
  } else {
    EndReadRun();
    view_.ReleaseRead();
  }
  std::string text = profile_.texts.portGone;
  if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, lostPort_);
  view_.PostStatus(0, text);
  AppendStop();
}

void BatchRunner::WriteTick(int timer) {
  const bool incremental = timer == IncrementalWriteTimer;
  Identity onReader;
  const ReadOutcome found = ReadBeforeWrite(&onReader);
  if (found == ReadOutcome::NoReply) return;  // nothing is known about the tag: next tick
  if (!TakeUnverifiedWrite(found, onReader)) {
    // The tag already carries what this run would give it.
    // (Unless it took the identity but not the password: it is written again.)
    if (found == ReadOutcome::Found && onReader == (incremental ? lastWrittenId_ : targetId_) && !protectFailed_) return;
    if (found == ReadOutcome::Found && incremental && LeftAloneAsWritten(onReader)) return;
    if (!GateAllowsWrite(incremental ? WriteMode::Incremental : WriteMode::Continuous)) return;
    if (!WriteAndVerify(targetId_)) {
      WriteNotTaken(found, onReader, 0);
      return;  // tried again next tick
    }
  }
  notTaken_ = 0;
  if (!incremental) {
    signals_.Acknowledge(AcknowledgeNormal);
    ++runCounter_;
    List(WithCount(profile_.texts.counted, runCounter_), targetId_, lastChip_);
    return;
  }
  const std::string text = page_.IncrementalListText();
  lastWrittenId_ = targetId_;
  const bool more = profile_.format->increment(targetId_);
  if (more) page_.ShowNextTarget(targetId_);
  signals_.Acknowledge(AcknowledgeNormal);
  ++runCounter_;
  written_.Add(lastWrittenId_, runCounter_);
  const std::string& numbered =
      profile_.texts.numberedIncremental.empty() ? profile_.texts.numbered : profile_.texts.numberedIncremental;
  List(WithCount(numbered, runCounter_) + text, lastWrittenId_, lastChip_);
  if (!more) EndAtRangeEnd();
}

// Nothing follows the identity just written within its format's range: the run ends rather
// than step into another range or wrap onto an identity already issued.
void BatchRunner::EndAtRangeEnd() {
  if (state_ != RunState::Writing) return;  // the tag's log line already stopped it
  rangeEnded_ = true;
  EndWriteRun();
  view_.ReleaseWrite();
  view_.AppendLine(texts::batch::RangeEnded() + profile_.format->text(lastWrittenId_, 0));
  view_.AppendLine(profile_.texts.stop);
}

void BatchRunner::ReadTick() {
  Identity id;
  if (ReadTag(&id) != ReadOutcome::Found) {
    signals_.ReportResult(ResultIndicationNormal);
    return;
  }
  if (unique_ && seen_.contains(id)) return;
  if (exportFile_.IsOpen()) {
    if (id == lastExportedId_) return;
    // The form chosen now: changing it during a run changes the lines that follow.
    const std::string line = profile_.format->text(id, profile_.choices().form);
    // An identity that did not reach the file is not listed; the next tick tries again, and a
    // file that cannot be written in several ticks in a row stops the run, as a full disk would
    // otherwise have it retry the same tag for ever.
    errno = 0;
    if (!exportFile_.WriteLine(line)) {
      const int error = errno;
      signals_.ReportResult(ResultIndicationNormal);
      const std::string why = error != 0 ? std::generic_category().message(error) : std::string("I/O error");
      view_.PostStatus(0, profile_.texts.exportCannotWrite + exportPath_ + Filled(texts::run::ExportReason(), {why}));
      if (++exportFailures_ < ExportFailureLimit) return;
      exportFailed_ = true;
      EndReadRun();
      view_.ReleaseRead();
      view_.PostStatus(0, Filled(texts::run::ExportStopped(), {std::to_string(ExportFailureLimit)}));
      AppendStop();
      return;
    }
    exportFailures_ = 0;
    lastExportedId_ = id;
  }
  if (unique_) seen_.insert(id);
  signals_.ReportResult(ResultIndicationSuccess);
  signals_.Acknowledge(AcknowledgeNormal);
  page_.ShowReadIdentity(id);
  ++runCounter_;
  List(WithCount(profile_.texts.counted, runCounter_), id, nullptr);
}

}  // namespace rivelo
