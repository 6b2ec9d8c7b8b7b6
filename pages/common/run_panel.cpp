#include "pages/common/run_panel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>

#include "pages/common/dialog_layout.h"
#include "pages/common/group_box.h"
#include "shell/dialogs.h"
#include "shell/status.h"

namespace rivelo {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

RunPanel::RunPanel(QWidget& page, IdentityPage& fields, BatchProfile profile, const RunPanelTexts& texts,
                   const std::vector<const char*>& extraOptionCaptions)
    : QObject(&page), page_(page), fields_(fields), texts_(texts) {
  writeButton = MakeToggle(Q(texts.write), &page);
  readButton = MakeToggle(Q(texts.read), &page);
  // The box first, so that the option boxes inside it lie above it.
  options = new GroupBox(Q(texts.options), &page);
  continuous = new QCheckBox(Q(texts.continuously), &page);
  incremental = new QCheckBox(Q(texts.incrementally), &page);
  fromFile = new QCheckBox(Q(texts.fromFile), &page);
  for (const char* caption : extraOptionCaptions) extraOptions.push_back(new QCheckBox(Q(caption), &page));
  progress = new QProgressBar(&page);
  progress->setTextVisible(false);
  progress->setRange(0, 100);
  progress->setValue(0);
  list = new QListWidget(&page);
  runner_ = std::make_unique<BatchRunner>(std::move(profile), static_cast<BatchView&>(*this));
  Connect();
}

RunPanel::~RunPanel() = default;

void RunPanel::Connect() {
  connect(continuous, &QCheckBox::clicked, this, [this](bool on) { runner_->ContinuousClicked(on); });
  connect(incremental, &QCheckBox::clicked, this, [this](bool on) { runner_->IncrementalClicked(on); });
  connect(fromFile, &QCheckBox::clicked, this, [this](bool on) { runner_->FromFileClicked(on); });
  connect(writeButton, &QPushButton::clicked, this, [this](bool on) {
    if (on) runner_->WritePressed();
    else runner_->WriteReleased();
  });
  connect(readButton, &QPushButton::clicked, this, [this](bool on) {
    if (on) runner_->ReadPressed();
    else runner_->ReadReleased();
  });
  connect(list, &QListWidget::itemDoubleClicked, list, &QListWidget::clear);
}

void RunPanel::SetRunButtonsEnabled(bool enabled) {
  writeButton->setEnabled(enabled);
  readButton->setEnabled(enabled);
}

void RunPanel::StartTimer(int timer, int periodMs) {
  StopTimer(timer);
  timers_[timer] = startTimer(periodMs);
}

void RunPanel::StopTimer(int timer) {
  const auto it = timers_.find(timer);
  if (it == timers_.end()) return;
  killTimer(it->second);
  timers_.erase(it);
}

void RunPanel::TickTimer(int timer) {
  if (timer >= ReadTimer && timer <= FileWriteTimer) runner_->Tick(timer);
  else if (pageTick_) pageTick_(timer);
}

void RunPanel::timerEvent(QTimerEvent* event) {
  for (const auto& [timer, qtId] : timers_) {
    if (qtId == event->timerId()) {
      TickTimer(timer);
      return;
    }
  }
  QObject::timerEvent(event);
}

void RunPanel::PostStatus(int kind, const std::string& text) { rivelo::PostStatus(kind, Q(text)); }

void RunPanel::ShowMessage(const std::string& text) {
  rivelo::ShowMessage(&page_, Q(text), QCoreApplication::applicationName(), MessageIcon::Warning, MessageButtons::Ok);
}

// BatchView

void RunPanel::AppendLine(const std::string& line) {
  list->addItem(Q(line));
  list->scrollToItem(list->item(list->count() - 1), QAbstractItemView::PositionAtTop);
}

void RunPanel::AppendUnscrolledLine(const std::string& line) { list->addItem(Q(line)); }

void RunPanel::SetProgressRange(int maximum) { progress->setRange(0, maximum); }
void RunPanel::SetProgress(int position) { progress->setValue(position); }

void RunPanel::ShowRunState(RunState state) {
  const bool idle = state == RunState::Idle;
  for (QWidget* w : {static_cast<QWidget*>(continuous), static_cast<QWidget*>(incremental),
                     static_cast<QWidget*>(fromFile)})
    w->setEnabled(idle);
  for (QCheckBox* box : extraOptions) box->setEnabled(idle);
  for (QWidget* w : idleOnly_) w->setEnabled(idle);
  writeButton->setEnabled(state != RunState::Reading);
  readButton->setEnabled(state != RunState::Writing);
  if (!texts_.stop) return;
  writeButton->setText(Q(state == RunState::Writing ? texts_.stop : texts_.write));
  readButton->setText(Q(state == RunState::Reading ? texts_.stop : texts_.read));
}

void RunPanel::ReleaseWrite() { writeButton->setChecked(false); }
void RunPanel::ReleaseRead() { readButton->setChecked(false); }

void RunPanel::SetOptionBoxes(bool continuousOn, bool incrementalOn, bool fromFileOn) {
  continuous->setChecked(continuousOn);
  incremental->setChecked(incrementalOn);
  fromFile->setChecked(fromFileOn);
}

void RunPanel::PrepareOperation() { progress->setValue(0); }

// Yes (the default button) goes on, No starts over; Escape starts nothing.
ResumeChoice RunPanel::AskResumeFile(const std::string& question) {
  switch (rivelo::ShowMessage(&page_, Q(question), QCoreApplication::applicationName(), MessageIcon::Question,
                              MessageButtons::YesNoCancel)) {
    case DialogAnswer::Yes: return ResumeChoice::GoOn;
    case DialogAnswer::No: return ResumeChoice::StartOver;
    default: return ResumeChoice::Cancel;
  }
}

std::string RunPanel::ChooseBatchFile() {
  return ChooseOpenFile(&page_, QStringLiteral("Files (*.txt);;All Files (*.*)")).toStdString();
}

std::string RunPanel::ChooseExportFolder(const std::string& title) {
  return ChooseFolder(&page_, Q(title)).toStdString();
}

}  // namespace rivelo
