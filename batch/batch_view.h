// The window side of a batch run as the runner sees it: the page's fields (IdentityPage) and
// the run's controls and timers (BatchView). The window implements them with the page and its
// run panel; the command line, the tests and the benchmarks with HeadlessView, which is both.
#pragma once

#include <string>

#include "batch/batch_profile.h"

namespace rivelo {

enum class RunState { Idle, Writing, Reading };

// What a numbered or counted list line stands for: a tag read, or a tag written and verified.
struct ListedTag {
  int number = 0;
  Identity id;
  const char* chip = nullptr;  // the chip whose write verified; null for reads
  int fileLine = 0;            // the batch file's line number of a from-file write; 0 otherwise
  std::string chipSerial{};    // the chip's own serial in hex (EM4305 UID, T5577 page 1); empty: unknown
  bool protectedTag = false;   // it was given the run's password and read back with it
};

// A tag that answered but did not take the identity a run meant for it.
struct RefusedTag {
  Identity target;             // the identity it refused
  const char* chip = nullptr;  // the last chip write tried on it
  std::string reason{};        // why it may have refused, in the log's words ("password-protected")
  int fileLine = 0;
  std::string chipSerial{};
};

// Write pressed again on a file run that was stopped before the file's end.
enum class ResumeChoice { GoOn, StartOver, Cancel };

// The identity page as a run sees it: what only the page knows, its number fields and the
// identity entered. The runner calls it directly, without going through the run's controls.
class IdentityPage {
 public:
  virtual ~IdentityPage() = default;

  // An identity the reader read, shown in the number fields.
  virtual void ShowReadIdentity(const Identity& id) = 0;
  // The identity that an incremental run writes next, shown in the number fields.
  virtual void ShowNextTarget(const Identity& id) = 0;
  virtual void ClearIdentity() = 0;
  // The identity the operator entered (the format's reading of the entry); one of the wrong
  // length is refused by the runner.
  virtual Identity EnteredIdentity() = 0;
  // The text an incremental list line carries (taken before the increment).
  virtual std::string IncrementalListText() = 0;
  // The text a from-file list line carries: the file line exactly as read, unless the page
  // says otherwise.
  virtual std::string FileListText(const std::string& line, const Identity&) { return line; }
  // Each counted or numbered line, after BatchView::AppendLine, with what it stands for.
  virtual void Listed(const ListedTag&) {}
};

// The run's controls: the list, the progress bar, the toggles, the option boxes, the timers,
// the choosers and the status.
class BatchView {
 public:
  virtual ~BatchView() = default;

  // The page whose fields the run reads and shows.
  virtual IdentityPage& Page() = 0;

  virtual void AppendLine(const std::string& line) = 0;
  // A line added without scrolling the list to it.
  virtual void AppendUnscrolledLine(const std::string& line) { AppendLine(line); }
  // The summary line after a run's stop line.
  virtual void ShowSummary(const std::string& line) { AppendLine(line); }
  virtual void SetProgressRange(int maximum) = 0;
  virtual void SetProgress(int position) = 0;

  // Enables and disables the controls for the state, and sets the Read and Write captions.
  virtual void ShowRunState(RunState state) = 0;
  virtual void ReleaseWrite() = 0;
  virtual void ReleaseRead() = 0;
  // The option boxes are set from the runner's flags.
  virtual void SetOptionBoxes(bool continuous, bool incremental, bool fromFile) = 0;
  // Called after the connection test of every Read and Write press.
  virtual void PrepareOperation() {}
  // Asks whether a stopped file run goes on where it stopped; without anyone to ask, it does.
  virtual ResumeChoice AskResumeFile(const std::string& /*question*/) { return ResumeChoice::GoOn; }

  virtual void StartTimer(int timer, int periodMs) = 0;
  virtual void StopTimer(int timer) = 0;

  // Empty when cancelled.
  virtual std::string ChooseBatchFile() = 0;
  virtual std::string ChooseExportFolder(const std::string& title) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void PostStatus(int kind, const std::string& text) = 0;
};

// The reader's signals that a run gives (beeps and lights) and the connection test, as one
// seam, so that tests can see them.
class ReaderSignals {
 public:
  virtual ~ReaderSignals() = default;
  virtual void Acknowledge(int value) = 0;
  virtual void ReportResult(int value) = 0;
  virtual bool Connected() = 0;
  // Asked after a read without a valid reply: the reader's port went away (unplugged), and
  // its name. Then DropPort lets go of the dead handle, so that only a new connect uses it.
  virtual bool PortGone() { return false; }
  virtual std::string PortName() { return {}; }
  virtual void DropPort() {}
};

// The signals sent to the connected reader on slot 0.
ReaderSignals& DeviceSignals();

}  // namespace rivelo
