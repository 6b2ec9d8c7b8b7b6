// The window side of a batch run: the page's controls and timers as the runner sees them.
// The window implements it with widgets and QTimers; tests and the command line with plain
// objects.
#pragma once

#include <string>

#include "batch/batch_profile.h"

namespace rivelo {

enum class RunState { Idle, Writing, Reading };

class BatchView {
 public:
  virtual ~BatchView() = default;

  virtual void AppendLine(const std::string& line) = 0;
  virtual void SetProgressRange(int maximum) = 0;
  virtual void SetProgress(int position) = 0;

  // A read identity, or the next identity of an incremental run, shown in the number fields.
  virtual void ShowIdentity(const Identity& id) = 0;
  virtual void ClearIdentity() = 0;
  // The identity the operator entered (the hex field through AlignRight5; empty gives zeros).
  virtual Identity EnteredIdentity() = 0;
  // The field text that an incremental list line carries (taken before the increment).
  virtual std::string IncrementalListText() = 0;

  // Enables and disables the controls for the state, and sets the Read and Write captions.
  virtual void ShowRunState(RunState state) = 0;
  virtual void ReleaseWrite() = 0;
  virtual void ReleaseRead() = 0;
  // The option boxes are set from the runner's flags.
  virtual void SetOptionBoxes(bool continuous, bool incremental, bool fromFile) = 0;
  // Called after the connection test of every Read and Write press.
  virtual void PrepareOperation() {}

  virtual void StartTimer(int timer, int periodMs) = 0;
  virtual void StopTimer(int timer) = 0;

  // Empty when cancelled.
  virtual std::string ChooseBatchFile() = 0;
  virtual std::string ChooseExportFolder(const std::string& title) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void PostStatus(int kind, const std::string& text) = 0;
};

}  // namespace rivelo
