#include "pages/t5577/ata_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "batch/tag_operations.h"
#include "model/t5577_block0.h"
#include "pages/common/dialog_keys.h"
#include "pages/common/tag_passwords.h"
#include "pages/common/tag_reason.h"
#include "pages/inspect/inspect_dlg.h"
#include "pages/t5577/block0_meaning.h"
#include "reader/commands.h"
#include "resources/texts_ata.h"
#include "shell/dialogs.h"
#include "shell/hex_edit.h"
#include "shell/status.h"

namespace rivelo {
namespace {

namespace t = texts::ata;

using Bytes4 = TagBytes4;

QString Q(const char* text) { return QString::fromUtf8(text); }

void Report(bool ok, const char* okText, const char* failText) {
  PostStatus(ok ? StatusKindSuccess : StatusKindFailure, Q(ok ? okText : failText));
}

// A failure says why, after the page's own text.
void Report(const TagResult& result, const char* okText, const char* failText) {
  if (result.ok()) return Report(true, okText, failText);
  PostStatus(StatusKindFailure, WithTagReason(Q(failText), result, TagChip::T5577));
}

}  // namespace

CAtaDlg::CAtaDlg(QWidget* parent) : QWidget(parent) {
  BuildControls();
  Connect();
  SwallowDialogKeys(*this);
  FollowCarriedPassword(*passwordEdit);
}

void CAtaDlg::Connect() {
  connect(readButton, &QPushButton::clicked, this, &CAtaDlg::OnReadBlock);
  connect(writeButton, &QPushButton::clicked, this, &CAtaDlg::OnWriteBlock);
  connect(readPwdButton, &QPushButton::clicked, this, &CAtaDlg::OnReadBlockPwd);
  connect(writePwdButton, &QPushButton::clicked, this, &CAtaDlg::OnWriteBlockPwd);
  connect(readPageButton, &QPushButton::clicked, this, &CAtaDlg::OnReadPage);
  connect(wakeButton, &QPushButton::clicked, this, &CAtaDlg::OnWake);
  connect(resetButton, &QPushButton::clicked, this, &CAtaDlg::OnReset);
  connect(initButton, &QPushButton::clicked, this, &CAtaDlg::OnInitConfig);
  // Only the operator's choice reaches the reader: the initial selection sends nothing.
  connect(modulationCombo, &QComboBox::activated, this, &CAtaDlg::OnModulationChange);
  // The meaning stands for the block 0 that was read, never for a value typed over it.
  connect(blockEdit[0], &QLineEdit::textEdited, block0Meaning, &QLabel::clear);
}

int CAtaDlg::Page() const { return pageCombo->currentIndex(); }

int CAtaDlg::BlockNumber() const {
  const int index = blockCombo->currentIndex();
  return index == 7 ? 0 : index + 1;
}

int CAtaDlg::LockFlag() const { return lockCombo->currentIndex(); }

namespace {

// The block 0 typed in words, with what it does to the tag, when it leaves the tag hard to
// reach; empty otherwise.
QString Block0Risks(std::span<const std::uint8_t, 4> bytes, bool withPassword) {
  const T5577Block0 b = DecodeT5577Block0(T5577Word(bytes));
  QStringList risks;
  if (!ReaderReadsBlocks(b)) risks << QString::fromUtf8(t::Block0Unreadable());
  if (b.passwordMode && !withPassword) risks << QString::fromUtf8(t::Block0PasswordUnknown());
  if (b.answerOnRequest) risks << QString::fromUtf8(t::Block0AnswerOnRequest());
  if (risks.isEmpty()) return {};
  return QStringLiteral("\n\n") + Block0Meaning(b) + QStringLiteral("\n\n") + risks.join(QLatin1Char('\n'));
}

}  // namespace

bool CAtaDlg::ConfirmWrite(int block, int lock, bool withPassword) {
  if (lock == 1 && ShowMessage(this, Q(t::LockQuestion), Q(t::Tip), MessageIcon::Question,
                               MessageButtons::OkCancel) != DialogAnswer::Ok)
    return false;
  if (block != 0) return true;
  Bytes4 typed{};
  const QString risks = blockEdit[0]->GetHexData(typed) == 4 ? Block0Risks(typed, withPassword) : QString();
  return ShowMessage(this, Q(t::Block0Warning) + risks, Q(t::Warning), MessageIcon::Warning,
                     MessageButtons::OkCancel) == DialogAnswer::Ok;
}

bool CAtaDlg::BackUpFirst(const std::optional<std::array<std::uint8_t, 4>>& password) {
  return BackUpTagFirst(this, password);
}

bool CAtaDlg::TakePassword(std::span<std::uint8_t, 4> password) {
  if (passwordEdit->GetHexData(password) == 4) return true;
  ShowMessage(this, Q(t::EnterPassword), Q(t::Tip), MessageIcon::Information);
  return false;
}

bool CAtaDlg::TakeBlock(int block, std::span<std::uint8_t, 4> bytes) {
  if (blockEdit[static_cast<std::size_t>(block)]->GetHexData(bytes) == 4) return true;
  ShowMessage(this, Q(t::EnterBlock).replace(QStringLiteral("%d"), QString::number(block)), Q(t::Tip),
              MessageIcon::Information);
  return false;
}

void CAtaDlg::ShowBlock(int block, std::span<const std::uint8_t, 4> bytes) {
  blockEdit[static_cast<std::size_t>(block)]->SetHexData(bytes);
  if (block == 0) block0Meaning->setText(Block0Meaning(DecodeT5577Block0(T5577Word(bytes))));
}

void CAtaDlg::ReadBlockInto(int block, const TagData& got, const char* okText) {
  if (got.result.ok()) ShowBlock(block, *got.value);
  Report(got.result, okText, t::ReadFailed);
}

void CAtaDlg::OnReadBlock() {
  const int page = Page(), block = BlockNumber();
  ReadBlockInto(block, ReadT5577Block(page, block, std::nullopt), t::ReadOk);
}

void CAtaDlg::OnReadBlockPwd() {
  const int page = Page(), block = BlockNumber();
  Bytes4 password{};
  if (!TakePassword(password)) return;
  ReadBlockInto(block, ReadT5577Block(page, block, password), t::ReadPwdOk);
}

void CAtaDlg::OnWriteBlock() {
  const int page = Page(), block = BlockNumber(), lock = LockFlag();
  Bytes4 bytes{};
  if (!ConfirmWrite(block, lock, false) || !TakeBlock(block, bytes)) return;
  if ((block == 0 || lock == 1) && !BackUpFirst(std::nullopt)) return;
  Report(WriteT5577Block(page, block, lock == 1, bytes, std::nullopt).result, t::WriteOk, t::WriteFailed);
}

void CAtaDlg::OnWriteBlockPwd() {
  const int page = Page(), block = BlockNumber(), lock = LockFlag();
  Bytes4 bytes{}, password{};
  if (!ConfirmWrite(block, lock, true) || !TakePassword(password) || !TakeBlock(block, bytes)) return;
  if ((block == 0 || lock == 1) && !BackUpFirst(password)) return;
  Report(WriteT5577Block(page, block, lock == 1, bytes, password).result, t::WritePwdOk, t::WriteFailed);
}

// Groups of 4 bytes into blocks 1 to 7; the blocks not returned are emptied. A trailing group
// of fewer than 4 bytes is no block value, so its field is emptied too rather than show a
// short value as if it were the block.
void CAtaDlg::ShowReturnedBlocks(std::span<const std::uint8_t> bytes) {
  for (std::size_t i = 0; i < 7; ++i) {
    CHexEdit& field = *blockEdit[i + 1];
    if (4 * (i + 1) <= bytes.size()) field.SetHexData(bytes.subspan(4 * i, 4));
    else field.clear();
  }
}

namespace {

// Runs the command and fetches what the tag then sent; the byte count, or -1 on failure.
template <typename Command>
int SendAndFetch(Command command, std::array<std::uint8_t, T5577FetchMax>& buffer) {
  if (command() != ROk) return -1;
  int n = 0;
  return CmdT5577FetchData(buffer, &n) == SOk ? n : -1;
}

}  // namespace

void CAtaDlg::OnReadPage() {
  const int page = Page();
  std::array<std::uint8_t, T5577FetchMax> buffer{};
  const int n = SendAndFetch([page] { return CmdT5577ReadPage(page); }, buffer);
  if (n >= 0) ShowReturnedBlocks(std::span<const std::uint8_t>(buffer).first(static_cast<std::size_t>(n)));
  Report(n >= 0, t::PageOk, t::PageFailed);
}

void CAtaDlg::OnWake() {
  Bytes4 password{};
  if (!TakePassword(password)) return;
  std::array<std::uint8_t, T5577FetchMax> buffer{};
  const int n = SendAndFetch([&password] { return CmdT5577Wake(password); }, buffer);
  if (n >= 0) ShowReturnedBlocks(std::span<const std::uint8_t>(buffer).first(static_cast<std::size_t>(n)));
  Report(n >= 0, t::WakeOk, t::WakeFailed);
}

// The reset counts as done once the reader answered it; a silent tag afterwards is no failure.
void CAtaDlg::OnReset() {
  if (CmdT5577Reset() != ROk) return Report(false, t::ResetOk, t::ResetFailed);
  std::array<std::uint8_t, T5577FetchMax> buffer{};
  int n = 0;
  if (CmdT5577FetchData(buffer, &n) == SOk)
    ShowReturnedBlocks(std::span<const std::uint8_t>(buffer).first(static_cast<std::size_t>(n)));
  Report(true, t::ResetOk, t::ResetFailed);
}

// A plain write that is not read back is taken for a password-protected chip, which gets the
// password write; an empty password field then stops the restore with its box alone.
void CAtaDlg::OnInitConfig() {
  if (ShowMessage(this, Q(t::FactoryWarning), Q(t::Warning), MessageIcon::Warning, MessageButtons::OkCancel) !=
      DialogAnswer::Ok)
    return;
  // The backup reads with the password field's, when one was typed.
  Bytes4 typed{};
  if (!BackUpFirst(passwordEdit->GetHexData(typed) == 4 ? std::optional<Bytes4>(typed) : std::nullopt)) return;
  bool stopped = false;
  const TagResult result = RestoreT5577Config([this, &stopped]() -> std::optional<Bytes4> {
    Bytes4 password{};
    if (TakePassword(password)) return password;
    stopped = true;
    return std::nullopt;
  });
  if (stopped) return;
  if (result.ok()) ShowBlock(0, FactoryConfigWord);
  Report(result, t::InitOk, t::InitFailed);
}

void CAtaDlg::OnModulationChange(int selection) {
  if (selection != 0 && selection != 1) return;
  const bool ok = CmdSetReadMode(selection == 0 ? ModeManchesterRf32 : ModeManchesterRf64) == ROk;
  Report(ok, selection == 0 ? t::Rf32Mode : t::Rf64Mode, t::ModeFailed);
}

}  // namespace rivelo
