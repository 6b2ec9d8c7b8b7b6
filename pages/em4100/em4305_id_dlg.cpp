#include "pages/em4100/em4305_id_dlg.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "batch/keyboard_output.h"
#include "pages/common/dialog_keys.h"
#include "pages/common/tag_passwords.h"
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
  Connect();
  SwallowDialogKeys(*this);
}

EM4305IdDlg::~EM4305IdDlg() = default;

void EM4305IdDlg::SetKeyInjector(std::unique_ptr<KeyInjector> keys) { keys_ = std::move(keys); }

Em4100Form EM4305IdDlg::OutputForm() const {
  for (int i = 0; i < 4; ++i)
    if (forms[i]->isChecked()) return static_cast<Em4100Form>(i);
  return Em4100Form::Hex10;
}

RunChoices EM4305IdDlg::Choices() const {
  return WithTagPasswords({lockCard->isChecked() ? 1 : 0, static_cast<std::size_t>(OutputForm())});
}

void EM4305IdDlg::Connect() {
  // Only the operator's own edits convert; the page's updates of the other fields do not echo.
  connect(hex10, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Hex10); });
  connect(dec08, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Dec08H); });
  connect(dec06, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Dec06H); });
  connect(box02, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Box02); });
  connect(box04, &QLineEdit::textEdited, this, [this] { FieldEdited(Em4305Field::Box04); });
  connect(lockCard, &QCheckBox::clicked, this, [this](bool on) { LockClicked(on); });
  connect(keyboardOut, &QPushButton::clicked, this, [this](bool on) { KeyboardClicked(on); });
  panel_->OnPageTimer([this](int timer) {
    if (timer == KeyboardTimer) KeyboardTick();
  });
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
    ShowMessage(this, Q(*m.limitMessage), Q(t::Tip()), MessageIcon::Warning, MessageButtons::Ok);
    (m.focus == Em4305Field::Box02 ? box02 : box04)->setFocus();
    return;
  }
  SetFields(m.fields);
}

void EM4305IdDlg::LockClicked(bool checked) {
  if (!checked) return;
  const DialogAnswer a =
      ShowMessage(this, Q(t::LockWarning()), Q(t::Warning()), MessageIcon::Warning, MessageButtons::OkCancel);
  if (a != DialogAnswer::Ok) lockCard->setChecked(false);
}

void EM4305IdDlg::KeyboardClicked(bool checked) {
  if (!checked) {
    panel_->StopTimer(KeyboardTimer);
    CmdReportResult(ResultIndicationNormal);
    PostStatus(StatusKindFailure, Q(t::KeyboardStopped()));
    panel_->SetRunButtonsEnabled(true);
    keyboardOut->setText(Q(t::KeyboardOut()));
    return;
  }
  if (!IsDeviceConnected()) {
    keyboardOut->setChecked(false);
    PostStatus(StatusKindFailure, Q(t::NotConnected()));
    return;
  }
  if (!keys_) keys_ = CreateSystemKeyInjector();
  // Where nothing can be typed, the operator is told so rather than left waiting.
  if (const KeyInjectionStatus status = keys_->Available(); status != KeyInjectionStatus::Available) {
    keyboardOut->setChecked(false);
    PostStatus(StatusKindFailure, Q(t::KeyboardUnavailable()) + Q(UnavailableReason(status)));
    return;
  }
  panel_->progress->setValue(0);
  keyboardOut->setText(Q(t::Stop()));
  panel_->SetRunButtonsEnabled(false);
  PostStatus(StatusKindInfo, Q(t::KeyboardStarted()));
  panel_->StartTimer(KeyboardTimer, KeyboardPeriodMs);
}

void EM4305IdDlg::KeyboardTick() {
  if (keys_) KeyboardOutputTick(*keys_, OutputForm(), enterBox->isChecked());
}

// IdentityPage

void EM4305IdDlg::ShowReadIdentity(const Identity& id) { SetFields(Em4305FieldsOf(ToEm4100Id(id))); }
void EM4305IdDlg::ShowNextTarget(const Identity& id) { SetFields(Em4305FieldsOf(ToEm4100Id(id))); }
void EM4305IdDlg::ClearIdentity() { SetFields({}); }

Identity EM4305IdDlg::EnteredIdentity() { return Em4100Format().fromEntry(hex10->text().toStdString()); }

std::string EM4305IdDlg::IncrementalListText() { return hex10->text().toStdString(); }

}  // namespace rivelo
