// A batch view that shows nothing: benchmarks drive the runner's ticks themselves.
#pragma once

#include <string>

#include "batch/batch_view.h"
#include "model/em4100.h"

namespace rivelo::bench {

class QuietView : public BatchView {
 public:
  void AppendLine(const std::string&) override {}
  void SetProgressRange(int) override {}
  void SetProgress(int) override {}
  void ShowIdentity(const Identity& id) override { shown = id; }
  void ClearIdentity() override {}
  Identity EnteredIdentity() override { return Identity{0x01, 0x23, 0x45, 0x67, 0x89}; }
  std::string IncrementalListText() override { return FormatHex(shown); }
  void ShowRunState(RunState) override {}
  void ReleaseWrite() override {}
  void ReleaseRead() override {}
  void SetOptionBoxes(bool, bool, bool) override {}
  void StartTimer(int, int) override {}
  void StopTimer(int) override {}
  std::string ChooseBatchFile() override { return {}; }
  std::string ChooseExportFolder(const std::string&) override { return {}; }
  void ShowMessage(const std::string&) override {}
  void PostStatus(int, const std::string&) override {}
  Identity shown;
};

}  // namespace rivelo::bench
