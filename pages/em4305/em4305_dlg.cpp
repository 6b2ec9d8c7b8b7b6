#include "pages/em4305/em4305_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "batch/tag_operations.h"
#include "model/em4305_config.h"
#include "model/text_bytes.h"
#include "pages/common/dialog_keys.h"
#include "pages/common/tag_passwords.h"
#include "pages/common/tag_reason.h"
#include "pages/inspect/inspect_dlg.h"
#include "pages/em4305/config_meaning.h"
#include "pages/em4305/em_protect_dlg.h"
#include "reader/commands.h"
#include "resources/texts_em4305.h"
#include "resources/texts_tag_result.h"
#include "shell/dialogs.h"
#include "shell/hex_edit.h"
#include "shell/status.h"

namespace rivelo {
namespace {

namespace t = texts::em4305;

using Bytes4 = TagBytes4;

QString Q(const char* text) { return QString::fromUtf8(text); }
QString WithNumber(const char* text, int n) { return Q(text).replace(QStringLiteral("%d"), QString::number(n)); }

void Report(bool ok, const QString& okText, const QString& failText) {
  PostStatus(ok ? StatusKindSuccess : StatusKindFailure, ok ? okText : failText);
}

constexpr int PasswordWord = 2;
constexpr int ConfigWord = 4;

}  // namespace

EM4305Dlg::EM4305Dlg(QWidget* parent) : QWidget(parent) {
  BuildControls();
  Connect();
  SwallowDialogKeys(*this);
  // Login takes word 2's field, in the order the page shows every word: the session's password
  // is there already.
  FollowCarriedPassword(*wordEdit[PasswordWord], PasswordBytes::WireOrder);
}

void EM4305Dlg::Connect() {
  for (int n = 0; n < WordCount; ++n) {
    // textEdited comes only from the operator's typing, never from the page's own setText:
    // a word read into its field is not marked for the next write.
    connect(wordEdit[static_cast<std::size_t>(n)], &QLineEdit::textEdited, this, [this, n] { OnWordChange(n); });
  }
  connect(writeButton, &QPushButton::clicked, this, &EM4305Dlg::OnWriteWords);
  connect(disableButton, &QPushButton::clicked, this, &EM4305Dlg::OnDisable);
  connect(protectButton, &QPushButton::clicked, this, &EM4305Dlg::OnProtect);
  connect(loginButton, &QPushButton::clicked, this, &EM4305Dlg::OnLogin);
  // Only the operator's choice reaches the reader; choosing the same word again reads it again.
  connect(modeCombo, &QComboBox::activated, this, &EM4305Dlg::OnModeChange);
  connect(readCombo, &QComboBox::activated, this, &EM4305Dlg::OnReadWordSelect);
}

void EM4305Dlg::OnWordChange(int word) {
  m_wordChanged[static_cast<std::size_t>(word)] = 1;
  // The meaning stands for the word 4 that was read, never for a value typed over it.
  if (word == ConfigWord) configMeaning->clear();
}

// Strict: a pasted character that is no hex digit refuses the field, as a wrong length does,
// rather than being taken for a digit.
bool EM4305Dlg::TakeWord(int word, std::span<std::uint8_t, 4> bytes) {
  const auto parsed =
      HexTextToBytes(wordEdit[static_cast<std::size_t>(word)]->text().toStdString(), TextMode::Strict);
  if (parsed && parsed->size() == 4) {
    std::copy(parsed->begin(), parsed->end(), bytes.begin());
    return true;
  }
  ShowMessage(this, Q(t::FormatError), Q(t::Tip), MessageIcon::Information);
  return false;
}

// One changed word; true while it still counts as written: read back as written (word 2, the
// password, never reads back: its write counts when the chip takes it). A word that was sent
// and does not count adds its reason to reasons.
bool EM4305Dlg::WriteWord(int word, QString& reasons) {
  if (word == 1 || word == 14 || word == 15) {
    ShowMessage(this, Q(t::CannotWrite), Q(t::Tip), MessageIcon::Information);
    return false;
  }
  Bytes4 bytes{};
  if (!TakeWord(word, bytes)) return false;
  if (word == ConfigWord &&
      (ShowMessage(this, Q(t::ConfigQuestion), Q(t::Tip), MessageIcon::Information, MessageButtons::OkCancel) !=
           DialogAnswer::Ok ||
       !BackUpTagFirst(this, std::nullopt)))
    return false;
  if (word == PasswordWord) {
    const bool ok = CmdEm4305WriteWord(word, bytes) == EOk;
    ShowMessage(this, Q(ok ? t::PasswordChanged : t::LoginFirst), Q(t::Tip), MessageIcon::Information);
    return ok;
  }
  const TagResult result = WriteEm4305Word(word, bytes, m_loggedIn).result;
  if (!result.ok()) {
    if (!reasons.isEmpty()) reasons += QString::fromUtf8(texts::tag_result::HintSeparator());
    reasons += WithNumber(texts::tag_result::WordReason(), word) + TagReason(result, TagChip::Em4305);
  }
  return result.ok();
}

// The words that did not count are named with their reasons after the list.
void EM4305Dlg::OnWriteWords() {
  QString written, reasons;
  for (int n = 0; n < WordCount; ++n) {
    if (m_wordChanged[static_cast<std::size_t>(n)] == 0) continue;
    if (!WriteWord(n, reasons)) m_wordChanged[static_cast<std::size_t>(n)] = 0;
    else written += WithNumber(t::ModifiedWord, n);
  }
  QString text = written.isEmpty() ? Q(t::NothingChanged) : Q(t::Modified) + written;
  if (!reasons.isEmpty()) text += QString::fromUtf8(texts::tag_result::ReasonSeparator()) + reasons;
  PostStatus(written.isEmpty() ? StatusKindFailure : StatusKindSuccess, text);
  ClearFlags();
}

void EM4305Dlg::OnReadWordSelect(int selection) {
  if (selection <= 0 || selection > WordCount) return;
  const int word = selection - 1;
  if (word == PasswordWord) return Report(false, {}, Q(t::PasswordUnreadable));
  CHexEdit& field = *wordEdit[static_cast<std::size_t>(word)];
  const TagData got = ReadEm4305Word(word, m_loggedIn);
  const bool ok = got.result.ok();
  if (ok) field.SetHexData(*got.value);
  else field.clear();
  if (word == ConfigWord) {
    if (ok) configMeaning->setText(Em4305ConfigMeaning(DecodeEm4305Config(Em4305Word(*got.value))));
    else configMeaning->clear();
  }
  Report(ok, WithNumber(t::ReadOk, word),
         WithTagReason(WithNumber(t::ReadFailed, word), got.result, TagChip::Em4305));
  ClearFlags();
}

void EM4305Dlg::OnLogin() {
  Bytes4 password{};
  if (!TakeWord(PasswordWord, password)) return;
  m_loggedIn = CmdEm4305Login(password) == EOk;
  Report(m_loggedIn, Q(t::LoginOk), Q(t::LoginFailed));
}

// A disabled chip stops answering, so it is asked for like any operation that may end a tag.
void EM4305Dlg::OnDisable() {
  if (ShowMessage(this, QString::fromUtf8(t::DisableQuestion()), Q(t::Tip), MessageIcon::Warning,
                  MessageButtons::OkCancel) != DialogAnswer::Ok)
    return;
  Report(CmdEm4305Disable() == EOk, Q(t::DisableOk), Q(t::DisableFailed));
}

void EM4305Dlg::OnModeChange(int selection) {
  if (selection != 0 && selection != 1) return;
  const bool ok = CmdSetReadMode(selection == 0 ? ModeEm4100 : ModeFdxb) == ROk;
  Report(ok, Q(selection == 0 ? t::IdMode : t::FdxbMode), Q(t::ModeFailed));
}

void EM4305Dlg::OnProtect() {
  CEmProtectDlg dialog;
  ExecDialog(dialog);
}

}  // namespace rivelo
