// The unattended jobs of an identity page: continuous reading (optionally exporting each new
// identity), and writing onto a stream of tags the same identity, a growing identity or the
// identities of a batch file. One tick at a time, driven by the page's timers.
#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "batch/batch_files.h"
#include "batch/batch_profile.h"
#include "batch/batch_view.h"
#include "batch/chip_serial.h"
#include "batch/identity_gate.h"
#include "batch/link_watch.h"
#include "batch/run_log.h"
#include "batch/tag_result.h"
#include "batch/written_tags.h"

namespace rivelo {

// What a run did, said when it ends.
struct RunSummary {
  bool write = true;     // a write run; false: a read run
  int tags = 0;          // written and verified (write runs) or listed (read runs) by this run
  int refused = 0;       // tags that answered but did not take their identity
  int leftAlone = 0;     // tags of this run put back, left alone as written earlier
  int silentTicks = 0;   // ticks in which no read brought a valid reply
  double seconds = 0;
  double TagsPerMinute() const { return seconds > 0 ? tags * 60.0 / seconds : 0.0; }
};

// The summary line in the current language: "Run summary: 4 written, 1 refused, ...".
std::string SummaryText(const RunSummary& summary);
// Replaces each %s of format in turn with the next value.
std::string Filled(const std::string& format, std::initializer_list<std::string> values);

class BatchRunner {
 public:
  // readerSignals: where acknowledgements, result indications and the connection test go; the
  // connected reader when null.
  BatchRunner(BatchProfile profile, BatchView& view, ReaderSignals* readerSignals = nullptr);
  BatchRunner(const BatchRunner&) = delete;
  BatchRunner& operator=(const BatchRunner&) = delete;

  // The option boxes, clicked; checked is the box's state after the click.
  void ContinuousClicked(bool checked);
  void IncrementalClicked(bool checked);
  // Chooses and loads the batch file when checked. True when a file was loaded (the page then
  // empties its number fields).
  bool FromFileClicked(bool checked);
  // Loads the batch file as FromFileClicked does with a chosen one; the command line's way in.
  // False with the file's reason in *why (and its kind in *error) when the file is refused whole.
  bool LoadFile(const std::string& path, std::string* why, BatchFileError* error = nullptr);

  // The Read and Write toggles: pressed by the operator, or released by the operator.
  void WritePressed();
  void WriteReleased();
  void ReadPressed();
  void ReadReleased();

  // One tick of timer 1-4; other timers are not the runner's.
  void Tick(int timer);

  WriteMode Mode() const;
  RunState State() const { return state_; }
  int RunCounter() const { return runCounter_; }
  const Identity& TargetId() const { return targetId_; }
  const Identity& LastWrittenId() const { return lastWrittenId_; }
  const std::vector<std::string>& FileLines() const { return fileLines_; }
  // Each identity line's own number in the loaded file, from 1.
  const std::vector<int>& FileLineNumbers() const { return fileLineNumbers_; }
  // The identity (an index into the file's) that a stopped file run goes on from when Write is
  // pressed next, unless the operator starts over; 0 when there is none. The command line sets
  // it to start a run part way through the file: what comes before counts as written by it.
  std::size_t FileResumeIndex() const { return resumeAt_; }
  void ResumeFileAt(std::size_t index) { resumeAt_ = index; }
  // The last incremental run ended because nothing follows the identity it wrote last.
  bool RangeEnded() const { return rangeEnded_; }
  // The chip whose write verified last (null before the first).
  const char* LastChip() const { return lastChip_; }
  // The last verified write also gave the tag the password of RunChoices::protect.
  bool LastProtected() const { return lastProtected_; }
  // How the last write ended (of a single write, for instance): the last chip's outcome.
  const TagResult& LastWriteResult() const { return lastWrite_; }
  const std::string& ExportPath() const { return exportPath_; }
  bool Exporting() const { return exportFile_.IsOpen(); }
  // The port whose loss stopped the last run (the reader unplugged); empty when none did.
  const std::string& LostPort() const { return lostPort_; }

  // The run log of the command line: this file, whatever folder the window chose. Empty: the
  // folder's (RunLogFolder), or none.
  void SetRunLogFile(std::string path) { runLogFile_ = std::move(path); }
  const RunLog* ActiveRunLog() const { return runLog_.get(); }
  // The last write stopped because its log could not be written.
  bool RunLogFailed() const { return runLogFailed_; }
  // Why, with the system's reason and the listed tag that the log does not hold.
  const std::string& RunLogError() const { return runLogError_; }

  // The gate (the registry of issued identities) this runner's writes take their identities
  // through; null: the window's (WindowIdentityGate), if any. Strict: an identity taken
  // elsewhere stops a file or incremental run instead of being skipped.
  void SetIdentityGate(std::shared_ptr<IdentityGate> gate, bool strict = false) {
    ownGate_ = std::move(gate);
    strictGate_ = strict;
  }
  // The last write stopped because of the gate (taken in a strict run, a tag not recorded);
  // GateError says why.
  bool GateStopped() const { return !gateError_.empty(); }
  const std::string& GateError() const { return gateError_; }
  // Batch-file lines the last file run skipped as taken: they count in RunCounter, not as tags.
  int LinesSkipped() const { return linesSkipped_; }

  // Tags that answered a write twice without taking it: said, signalled, counted and logged.
  // The writes in a row, without a verified write between, that make a tag refused.
  static constexpr int RefusalWrites = 2;
  // A chip known by its serial whose read-back said "no identity" this often in a row refuses:
  // fewer could be misreads of a tag that took the write.
  static constexpr int SerialRefusalWrites = 4;
  int RefusedCount() const { return refused_; }
  // A read run lists (and exports) each identity once, instead of only not repeating the last.
  void SetUniqueReads(bool unique) { unique_ = unique; }
  // Export lines that failed in a row before a read run stops.
  static constexpr int ExportFailureLimit = 3;
  // The last read run stopped because its export could no longer be written.
  bool ExportFailed() const { return exportFailed_; }
  // The last run's summary (also added to the list when it ended).
  const RunSummary& LastSummary() const { return summary_; }

  // Where "now" comes from for export file names; tests fix it.
  void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
  // Where a run's duration is measured; tests fix it.
  void SetRunClock(std::function<std::chrono::steady_clock::time_point()> clock) { runClock_ = std::move(clock); }
  const BatchProfile& Profile() const { return profile_; }
  // Whether a write run reads each blank chip's serial before writing it (chip_serial.h); on
  // unless turned off, as benchmarks do to show what it prevents.
  void GuardChipSerials(bool on) { guardSerials_ = on; }

 private:
  void SyncBoxes();
  ReadOutcome ReadTag(Identity* id);
  ReadOutcome ReadBeforeWrite(Identity* id);
  bool WriteAndVerify(const Identity& id);
  void List(const std::string& line, const Identity& id, const char* chip, int fileLine = 0);
  bool OpenRunLog();
  void LogTag(const ListedTag& tag);
  void StopForRunLog(const std::string& what);
  void WriteNotTaken(ReadOutcome found, const Identity& onReader, int fileLine);
  void StartSummary(bool write);
  void EndSummary();
  void EndReadRun();
  void AppendStop();
  void SingleWrite();
  void SingleRead();
  void EndWriteRun();
  void EndAtRangeEnd();
  void StartWatch();
  void AfterTick();
  void StopOnLostPort();
  void WriteTick(int timer);
  void FileTick();
  bool ChooseFileStart(std::size_t* first);
  void StartFileAt(std::size_t first);
  bool LeftAloneAsWritten(const Identity& onReader);
  bool TakeUnverifiedWrite(ReadOutcome found, const Identity& onReader);
  bool ProtectWritten(const char* chip, const Identity& id);
  bool ChipSerialAllowsWrite();
  void ReadTick();
  void GateStart();
  bool GateAllowsWrite(WriteMode mode);
  bool GateSkip(WriteMode mode, const std::string& why);
  bool GateIssued(const ListedTag& tag);
  void GateRelease();
  void GateStop(const std::string& text);

  BatchProfile profile_;
  BatchView& view_;
  IdentityPage& page_;
  ReaderSignals& signals_;
  const char* lastChip_ = nullptr;
  TagResult lastWrite_;
  const char* unverifiedChip_ = nullptr;  // its write of targetId_ got no answer to either read-back
  bool lastProtected_ = false;  // the last verified write also gave the tag the run's password
  bool protectFailed_ = false;  // the tag took its identity, but not the password
  bool continuous_ = false;
  bool incremental_ = false;
  bool fromFile_ = false;
  RunState state_ = RunState::Idle;
  int activeTimer_ = 0;
  int runCounter_ = 0;
  Identity targetId_;
  Identity lastWrittenId_;
  Identity lastExportedId_;
  std::vector<std::string> fileLines_;
  std::vector<Identity> fileIds_;
  std::vector<int> fileLineNumbers_;
  std::string filePath_;
  std::size_t resumeAt_ = 0;
  WrittenTags written_;  // by this run (incremental and from file)
  ChipSerialGuard serials_;  // the chips this run wrote
  bool guardSerials_ = true;
  std::string exportPath_;
  ExportFile exportFile_;
  std::function<std::time_t()> clock_;
  LinkWatch link_;
  bool portGone_ = false;  // a read of this tick failed because the port went away
  std::string lostPort_;
  std::string runLogFile_;
  std::unique_ptr<RunLog> runLog_;
  bool runLogFailed_ = false;
  bool rangeEnded_ = false;
  // Writes answered but not taken in a row, and what the tag read before the last of them.
  int notTaken_ = 0;
  bool wrote_ = false;        // the last WriteAndVerify sent a write (the guard may hold it back)
  std::string blankSerial_;   // the chip whose read-backs said "no identity", and how often in a row
  int blankBacks_ = 0;
  std::set<std::string> refusedSerials_;  // chips named as refused: not written or named again
  ReadOutcome notTakenFound_ = ReadOutcome::NoIdentity;
  Identity notTakenReading_;
  int refused_ = 0;
  int leftAlone_ = 0;
  bool unique_ = false;
  std::set<Identity> seen_;  // identities a unique read run has listed
  int exportFailures_ = 0;   // in a row
  bool exportFailed_ = false;
  int summaryFirst_ = 0;     // RunCounter at the start: a file run may start part way
  std::chrono::steady_clock::time_point runStart_;
  std::function<std::chrono::steady_clock::time_point()> runClock_;
  RunSummary summary_;
  bool summaryDue_ = false;
  std::string runLogError_;
  std::shared_ptr<IdentityGate> ownGate_, gate_;  // set, and in force for the current write
  bool strictGate_ = false;
  bool holding_ = false;  // the gate holds heldId_ for this run, not issued yet
  Identity heldId_;
  std::string gateError_;
  int linesSkipped_ = 0;
};

}  // namespace rivelo
