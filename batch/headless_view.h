// The one view without a window: the command line, the tests and the benchmarks drive the
// runner through it. It keeps what the runner shows, answers the choosers from queues, and
// hands each line, listed tag and status to optional callbacks as they come.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_view.h"

namespace rivelo {

class HeadlessView : public BatchView, public IdentityPage {
 public:
  explicit HeadlessView(const IdentityFormat& format) : format_(format) {}

  // What the runner showed.
  std::vector<std::string> lines;  // kept unless keepLines is false
  std::vector<ListedTag> listed;   // kept unless keepLines is false
  std::vector<std::pair<int, std::string>> statuses;
  std::vector<std::string> summaries;  // kept apart from lines: their times differ from run to run
  std::vector<std::string> messages;
  std::map<int, int> timers;  // running timer -> period
  int progressMax = -1, progress = -1;
  Identity shown;            // the last identity shown, read or next target
  bool cleared = false;
  RunState state = RunState::Idle;
  bool continuous = false, incremental = false, fromFile = false;
  bool writeReleased = false, readReleased = false;
  bool keepLines = true;

  // The page's main entry field (for EM4100 the "10H" text); a shown identity rewrites it.
  std::string entered;
  // Answers of the choosers, taken in order; an empty queue answers "cancelled".
  std::vector<std::string> files, folders;

  std::function<void(const std::string&)> onLine;
  std::function<void(const ListedTag&)> onListed;
  std::function<void(int kind, const std::string&)> onStatus;
  std::function<void(const std::string&)> onMessage;
  std::function<void(const std::string&)> onSummary;

  // The running timer (0 when none) and its period: the loop that drives a headless run.
  int RunningTimer() const;
  int PeriodMs() const;

  IdentityPage& Page() override { return *this; }
  void AppendLine(const std::string& line) override;
  void Listed(const ListedTag& tag) override;
  void ShowSummary(const std::string& line) override;
  void SetProgressRange(int maximum) override { progressMax = maximum; }
  void SetProgress(int position) override { progress = position; }
  void ShowReadIdentity(const Identity& id) override { Show(id); }
  void ShowNextTarget(const Identity& id) override { Show(id); }
  void ClearIdentity() override;
  Identity EnteredIdentity() override { return format_.fromEntry(entered); }
  std::string IncrementalListText() override { return entered; }
  void ShowRunState(RunState s) override { state = s; }
  void ReleaseWrite() override { writeReleased = true; }
  void ReleaseRead() override { readReleased = true; }
  void SetOptionBoxes(bool c, bool i, bool f) override;
  void StartTimer(int timer, int periodMs) override { timers[timer] = periodMs; }
  void StopTimer(int timer) override { timers.erase(timer); }
  std::string ChooseBatchFile() override { return Take(files); }
  std::string ChooseExportFolder(const std::string&) override { return Take(folders); }
  void ShowMessage(const std::string& text) override;
  void PostStatus(int kind, const std::string& text) override;

 private:
  void Show(const Identity& id);
  static std::string Take(std::vector<std::string>& answers);

  const IdentityFormat& format_;
};

}  // namespace rivelo
