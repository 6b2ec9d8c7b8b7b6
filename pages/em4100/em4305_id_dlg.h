// The EM4100 page for the EM4305 (it serves T5577 tags as well): the identity in four forms,
// single and batch writes, single and continuous reads with export, and keyboard output.
// The page shown when the program starts.
#pragma once

#include <QWidget>

#include <map>
#include <memory>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "model/em4305_fields.h"
#include "platform/key_injection.h"

class QCheckBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace rivelo {

class CDecEdit;
class CHexEdit;

class EM4305IdDlg : public QWidget, private BatchView {
  Q_OBJECT

 public:
  explicit EM4305IdDlg(QWidget* parent = nullptr);
  ~EM4305IdDlg() override;

  // Keyboard output types through this injector instead of the system's (tests).
  void SetKeyInjector(std::unique_ptr<KeyInjector> keys);

  BatchRunner& Runner() { return *runner_; }
  Em4100Form OutputForm() const;
  // The lock flag and export form as they stand now: the runner asks at the moment of use.
  RunChoices Choices() const;
  // The timer of the page running under a runner or keyboard identifier (tests tick directly).
  bool TimerRunning(int timer) const { return timers_.count(timer) != 0; }
  void TickTimer(int timer);

  CHexEdit* hex10 = nullptr;
  CDecEdit *dec08 = nullptr, *dec06 = nullptr, *box02 = nullptr, *box04 = nullptr;
  QRadioButton* forms[4] = {};
  QCheckBox* enterBox = nullptr;
  QPushButton *keyboardOut = nullptr, *writeButton = nullptr, *readButton = nullptr;
  QCheckBox *continuous = nullptr, *incremental = nullptr, *fromFile = nullptr, *lockCard = nullptr;
  QProgressBar* progress = nullptr;
  QListWidget* list = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void BuildControls();
  void Connect();
  void FieldEdited(Em4305Field field);
  void SetFields(const Em4305Fields& f);
  Em4305Fields Fields() const;
  void LockClicked(bool checked);
  void KeyboardClicked(bool checked);

  // BatchView
  void AppendLine(const std::string& line) override;
  void SetProgressRange(int maximum) override;
  void SetProgress(int position) override;
  void ShowReadIdentity(const Identity& id) override;
  void ShowNextTarget(const Identity& id) override;
  void ClearIdentity() override;
  Identity EnteredIdentity() override;
  std::string IncrementalListText() override;
  void ShowRunState(RunState state) override;
  void ReleaseWrite() override;
  void ReleaseRead() override;
  void SetOptionBoxes(bool continuousOn, bool incrementalOn, bool fromFileOn) override;
  void PrepareOperation() override;
  void StartTimer(int timer, int periodMs) override;
  void StopTimer(int timer) override;
  std::string ChooseBatchFile() override;
  std::string ChooseExportFolder(const std::string& title) override;
  void ShowMessage(const std::string& text) override;
  void PostStatus(int kind, const std::string& text) override;

  std::unique_ptr<BatchRunner> runner_;
  std::unique_ptr<KeyInjector> keys_;
  std::map<int, int> timers_;  // page timer -> Qt timer id
};

}  // namespace rivelo
