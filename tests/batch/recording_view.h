// A batch view that records what the runner shows, for tests and benchmarks.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_runner.h"
#include "model/em4100.h"

namespace rivelo::test {

class RecordingView : public BatchView {
 public:
  std::vector<std::string> lines;
  std::vector<std::pair<int, std::string>> statuses;
  std::map<int, int> timers;  // running timer -> period
  int progressMax = -1, progress = -1;
  Identity shown;
  bool cleared = false;
  std::string entered;  // the hex field
  bool writePressed = false, readPressed = false;
  bool continuous = false, incremental = false, fromFile = false;
  RunState state = RunState::Idle;
  std::vector<std::string> files, folders, messages;

  void AppendLine(const std::string& line) override { lines.push_back(line); }
  void SetProgressRange(int maximum) override { progressMax = maximum; }
  void SetProgress(int position) override { progress = position; }
  void ShowIdentity(const Identity& id) override {
    shown = id;
    entered = FormatHex(id);
  }
  void ClearIdentity() override {
    cleared = true;
    entered.clear();
  }
  Identity EnteredIdentity() override {
    const Em4100Id id = AlignRight5(HexDigitsToBytes(entered));
    return Identity(id.begin(), id.end());
  }
  std::string IncrementalListText() override { return entered; }
  void ShowRunState(RunState s) override { state = s; }
  void ReleaseWrite() override { writePressed = false; }
  void ReleaseRead() override { readPressed = false; }
  void SetOptionBoxes(bool c, bool i, bool f) override {
    continuous = c;
    incremental = i;
    fromFile = f;
  }
  void StartTimer(int timer, int periodMs) override { timers[timer] = periodMs; }
  void StopTimer(int timer) override { timers.erase(timer); }
  std::string ChooseBatchFile() override { return Take(files); }
  std::string ChooseExportFolder(const std::string&) override { return Take(folders); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void PostStatus(int kind, const std::string& text) override { statuses.emplace_back(kind, text); }

 private:
  static std::string Take(std::vector<std::string>& answers) {
    if (answers.empty()) return {};
    std::string a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
};

}  // namespace rivelo::test
