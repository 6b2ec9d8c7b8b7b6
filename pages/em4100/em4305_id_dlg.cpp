#include "pages/em4100/em4305_id_dlg.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimerEvent>

#include "batch/keyboard_output.h"
#include "reader/commands.h"
#include "reader/discovery.h"
#include "resources/texts_em4100.h"
#include "shell/dec_edit.h"
#include "shell/dialogs.h"
#include "shell/hex_edit.h"
#include "shell/status.h"

namespace rivelo {
namespace {

namespace t = texts::em4100;

QString Q(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

// Why keyboard output cannot start, in the operator's words.
const char* UnavailableReason(KeyInjectionStatus status) {
  switch (status) {
    case KeyInjectionStatus::NoDisplay: return t::NoXDisplay();
    case KeyInjectionStatus::WaylandOnly: return t::WaylandOnly();
    case KeyInjectionStatus::CannotOpenDisplay: return t::CannotOpenDisplay();
    case KeyInjectionStatus::NoXTest: return t::NoXTest();
    case KeyInjectionStatus::NotInThisBuild:
    case KeyInjectionStatus::Available: break;
  }
  return t::NoInjectionBuilt();
}

}  // namespace

EM4305IdDlg::EM4305IdDlg(QWidget* parent) : QWidget(parent) {
  BuildControls();
  runner_ = std::make_unique<BatchRunner>(MakeEm4305IdProfile([this] { return Choices(); }), static_cast<BatchView&>(*this));
  Connect();
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

EM4305IdDlg::~EM4305IdDlg() = default;

void EM4305IdDlg::SetKeyInjector(std::unique_ptr<KeyInjector> keys) { keys_ = std::move(keys); }

Em4100Form EM4305IdDlg::OutputForm() const {
  for (int i = 0; i < 4; ++i)
    if (forms[i]->isChecked()) return static_cast<Em4100Form>(i);
  return Em4100Form::Hex10;
}

RunChoices EM4305IdDlg::Choices() const {
  return {lockCard->isChecked() ? 1 : 0, static_cast<std::size_t>(OutputForm())};
}

void EM4305IdDlg::Connect() {
  // Only the operator's own edits convert; the page's updates of the other fields do not echo.
  connect(hex10, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Hex10); });
  connect(dec08, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Dec08H); });
  connect(dec06, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Dec06H); });
  connect(box02, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Box02); });
  connect(box04, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Box04); });

  connect(continuous, &QCheckBox::clicked, this, [this](bool on) { runner_->ContinuousClicked(on); });
  connect(incremental, &QCheckBox::clicked, this, [this](bool on) { runner_->IncrementalClicked(on); });
  connect(fromFile, &QCheckBox::clicked, this, [this](bool on) { runner_->FromFileClicked(on); });
  connect(lockCard, &QCheckBox::clicked, this, [this](bool on) { LockClicked(on); });
  connect(writeButton, &QPushButton::clicked, this, [this](bool on) {
    if (on) runner_->WritePressed();
    else runner_->WriteReleased();
  });
  connect(readButton, &QPushButton::clicked, this, [this](bool on) {
    if (on) runner_->ReadPressed();
    else runner_->ReadReleased();
  });
  connect(keyboardOut, &QPushButton::clicked, this, [this](bool on) { KeyboardClicked(on); });
  connect(list, &QListWidget::itemDoubleClicked, list, &QListWidget::clear);
}

Em4305Fields EM4305IdDlg::Fields() const {
  return {hex10->text().toStdString(), dec08->text().toStdString(), dec06->text().toStdString(),
          box02->text().toStdString(), box04->text().toStdString()};
}

void EM4305IdDlg::SetFields(const Em4305Fields& f) {
  // setText never emits textEdited, so these updates start no conversion of their own.
  auto set = [](QLineEdit* e, const std::string& s) {
    if (e->text() != Q(s)) e->setText(Q(s));
  };
  set(hex10, f.hex10);
  set(dec08, f.dec08);
  set(dec06, f.dec06);
  set(box02, f.box02);
  set(box04, f.box04);
}

void EM4305IdDlg::FieldEdited(Em4305Field field) {
  const Em4305Mirror m = MirrorEm4305Fields(field, Fields());
  if (m.limitMessage) {
    rivelo::ShowMessage(this, Q(*m.limitMessage), Q(t::Tip()), MessageIcon::Warning, MessageButtons::Ok);
    (m.focus == Em4305Field::Box02 ? box02 : box04)->setFocus();
    return;
  }
  SetFields(m.fields);
}

void EM4305IdDlg::LockClicked(bool checked) {
  if (!checked) return;
  const DialogAnswer a = rivelo::ShowMessage(this, Q(t::LockWarning()), Q(t::Warning()), MessageIcon::Warning,
                                             MessageButtons::OkCancel);
  if (a != DialogAnswer::Ok) lockCard->setChecked(false);
}

void EM4305IdDlg::KeyboardClicked(bool checked) {
  if (!checked) {
    StopTimer(KeyboardTimer);
    CmdReportResult(ResultIndicationNormal);
    rivelo::PostStatus(StatusKindFailure, Q(t::KeyboardStopped()));
    writeButton->setEnabled(true);
    readButton->setEnabled(true);
    keyboardOut->setText(Q(t::KeyboardOut()));
    return;
  }
  if (!IsDeviceConnected()) {
    keyboardOut->setChecked(false);
    rivelo::PostStatus(StatusKindFailure, Q(t::NotConnected()));
    return;
  }
  if (!keys_) keys_ = CreateSystemKeyInjector();
  // Where nothing can be typed, the operator is told so rather than left waiting.
  if (const KeyInjectionStatus status = keys_->Available(); status != KeyInjectionStatus::Available) {
    keyboardOut->setChecked(false);
    rivelo::PostStatus(StatusKindFailure, Q(t::KeyboardUnavailable()) + Q(UnavailableReason(status)));
    return;
  }
  progress->setValue(0);
  keyboardOut->setText(Q(t::Stop()));
  writeButton->setEnabled(false);
  readButton->setEnabled(false);
  rivelo::PostStatus(StatusKindInfo, Q(t::KeyboardStarted()));
  StartTimer(KeyboardTimer, KeyboardPeriodMs);
}

void EM4305IdDlg::TickTimer(int timer) {
  if (timer == KeyboardTimer) {
    if (keys_) KeyboardOutputTick(*keys_, OutputForm(), enterBox->isChecked());
  } else {
    runner_->Tick(timer);
  }
}

void EM4305IdDlg::timerEvent(QTimerEvent* event) {
  for (const auto& [timer, qtId] : timers_) {
    if (qtId == event->timerId()) {
      TickTimer(timer);
      return;
    }
  }
  QWidget::timerEvent(event);
}

bool EM4305IdDlg::eventFilter(QObject* watched, QEvent* event) {
  // Enter and Escape neither close nor trigger anything on this page.
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
      event->accept();
      return event->type() == QEvent::KeyPress;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// BatchView

void EM4305IdDlg::AppendLine(const std::string& line) {
  list->addItem(Q(line));
  list->scrollToItem(list->item(list->count() - 1), QAbstractItemView::PositionAtTop);
}

void EM4305IdDlg::SetProgressRange(int maximum) { progress->setRange(0, maximum); }
void EM4305IdDlg::SetProgress(int position) { progress->setValue(position); }

void EM4305IdDlg::ShowReadIdentity(const Identity& id) { SetFields(Em4305FieldsOf(ToEm4100Id(id))); }
void EM4305IdDlg::ShowNextTarget(const Identity& id) { SetFields(Em4305FieldsOf(ToEm4100Id(id))); }
void EM4305IdDlg::ClearIdentity() { SetFields({}); }

Identity EM4305IdDlg::EnteredIdentity() {
  return Em4100Format().fromEntry(hex10->text().toStdString());
}

std::string EM4305IdDlg::IncrementalListText() { return hex10->text().toStdString(); }

void EM4305IdDlg::ShowRunState(RunState state) {
  const bool idle = state == RunState::Idle;
  for (QWidget* w : {static_cast<QWidget*>(continuous), static_cast<QWidget*>(incremental),
                     static_cast<QWidget*>(fromFile), static_cast<QWidget*>(lockCard),
                     static_cast<QWidget*>(keyboardOut)})
    w->setEnabled(idle);
  writeButton->setEnabled(state != RunState::Reading);
  readButton->setEnabled(state != RunState::Writing);
  writeButton->setText(Q(state == RunState::Writing ? t::Stop() : t::Write()));
  readButton->setText(Q(state == RunState::Reading ? t::Stop() : t::Read()));
}

void EM4305IdDlg::ReleaseWrite() { writeButton->setChecked(false); }
void EM4305IdDlg::ReleaseRead() { readButton->setChecked(false); }

void EM4305IdDlg::SetOptionBoxes(bool continuousOn, bool incrementalOn, bool fromFileOn) {
  continuous->setChecked(continuousOn);
  incremental->setChecked(incrementalOn);
  fromFile->setChecked(fromFileOn);
}

void EM4305IdDlg::PrepareOperation() {
  progress->setValue(0);
}

void EM4305IdDlg::StartTimer(int timer, int periodMs) {
  StopTimer(timer);
  timers_[timer] = startTimer(periodMs);
}

void EM4305IdDlg::StopTimer(int timer) {
  const auto it = timers_.find(timer);
  if (it == timers_.end()) return;
  killTimer(it->second);
  timers_.erase(it);
}

std::string EM4305IdDlg::ChooseBatchFile() {
  return ChooseOpenFile(this, QStringLiteral("Files (*.txt);;All Files (*.*)")).toStdString();
}

std::string EM4305IdDlg::ChooseExportFolder(const std::string& title) {
  return ChooseFolder(this, Q(title)).toStdString();
}

void EM4305IdDlg::ShowMessage(const std::string& text) {
  rivelo::ShowMessage(this, Q(text), QCoreApplication::applicationName(), MessageIcon::Warning, MessageButtons::Ok);
}

void EM4305IdDlg::PostStatus(int kind, const std::string& text) { rivelo::PostStatus(kind, Q(text)); }

}  // namespace rivelo
