// What every identity page shares: the Write and Read toggles, the Options group with its
// option boxes, the progress bar and the list; the page's timers; the choosers and the status
// wiring. The panel is the batch runner's view of these controls; the runner reaches the
// page's own fields (the identity shown and entered) directly, through the IdentityPage the
// page implements (batch/batch_view.h).
//
// A page uses it so: it implements IdentityPage, creates the panel after its own controls (so
// that the tab order runs from the page's fields to the panel's; the panel's controls are
// children of the page) with its profile and captions, places the panel's controls, and asks
// Runner() what a run did.
#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_runner.h"

class QCheckBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QWidget;

namespace rivelo {

class GroupBox;

// The captions of the panel's controls in the current language.
struct RunPanelTexts {
  const char* write;
  const char* read;
  const char* stop;  // null: Write and Read keep their captions while their jobs run
  const char* continuously;
  const char* incrementally;
  const char* fromFile;
  const char* options;
};

class RunPanel : public QObject, private BatchView {
  Q_OBJECT

 public:
  // The profile's choices callback is called only during runs, so it may read page controls
  // created after the panel. extraOptions: captions of the page's own option boxes (e.g.
  // "lock card"), which follow "from file" in the Options group and are set aside while a job
  // runs.
  RunPanel(QWidget& page, IdentityPage& fields, BatchProfile profile, const RunPanelTexts& texts,
           const std::vector<const char*>& extraOptions = {});
  ~RunPanel() override;

  BatchRunner& Runner() { return *runner_; }

  // Further controls of the page that only an idle page offers.
  void DisableWhileRunning(QWidget* control) { idleOnly_.push_back(control); }
  // Write and Read off while another job of the page (keyboard output) holds the reader.
  void SetRunButtonsEnabled(bool enabled);

  // The page's timers: 1-4 belong to the runner; any other number (keyboard output's) calls
  // the page's own tick, given here.
  void OnPageTimer(std::function<void(int timer)> tick) { pageTick_ = std::move(tick); }
  void StartTimer(int timer, int periodMs) override;
  void StopTimer(int timer) override;
  bool TimerRunning(int timer) const { return timers_.count(timer) != 0; }
  // What the timer's expiry does (tests tick directly).
  void TickTimer(int timer);

  // Status to the main window (PostStatus) and a warning box over the page.
  void PostStatus(int kind, const std::string& text) override;
  void ShowMessage(const std::string& text) override;

  QPushButton* writeButton = nullptr;
  QPushButton* readButton = nullptr;
  GroupBox* options = nullptr;
  QCheckBox* continuous = nullptr;
  QCheckBox* incremental = nullptr;
  QCheckBox* fromFile = nullptr;
  std::vector<QCheckBox*> extraOptions;
  QProgressBar* progress = nullptr;
  QListWidget* list = nullptr;

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  void Connect();

  // BatchView
  IdentityPage& Page() override { return fields_; }
  void AppendLine(const std::string& line) override;
  void AppendUnscrolledLine(const std::string& line) override;
  void SetProgressRange(int maximum) override;
  void SetProgress(int position) override;
  void ShowRunState(RunState state) override;
  void ReleaseWrite() override;
  void ReleaseRead() override;
  void SetOptionBoxes(bool continuousOn, bool incrementalOn, bool fromFileOn) override;
  void PrepareOperation() override;
  ResumeChoice AskResumeFile(const std::string& question) override;
  std::string ChooseBatchFile() override;
  std::string ChooseExportFolder(const std::string& title) override;

  QWidget& page_;
  IdentityPage& fields_;
  RunPanelTexts texts_;
  std::unique_ptr<BatchRunner> runner_;
  std::vector<QWidget*> idleOnly_;
  std::map<int, int> timers_;  // page timer -> Qt timer id
  std::function<void(int)> pageTick_;
};

}  // namespace rivelo
