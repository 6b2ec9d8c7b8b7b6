#include "pages/em4305/em_protect_dlg.h"

#include <QCheckBox>
#include <QPushButton>

#include <cstdint>
#include <vector>

#include "model/em4305_config.h"
#include "pages/common/dialog_layout.h"
#include "pages/inspect/inspect_dlg.h"
#include "reader/commands.h"
#include "resources/texts_em4305.h"
#include "shell/dialogs.h"
#include "shell/status.h"

namespace rivelo {
namespace {

namespace t = texts::em4305;

QString Q(const char* text) { return QString::fromUtf8(text); }

// pr15: this protection word is the one in force; the other is erased.
constexpr std::uint32_t InForceBit = 0x8000;

}  // namespace

CEmProtectDlg::CEmProtectDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Q(t::LockTitle));
  setFixedSize(Dlu(0, 0, 281, 144).size());
  for (int i = 0; i < BoxCount; ++i) {
    auto* box = Place(new QCheckBox(Q(t::LockCaptions[i]), this), 6 + 53 * (i % 5), 14 + 28 * (i / 5), 58, 12);
    lockBox[static_cast<std::size_t>(i)] = box;
  }
  lockedNowButton = Place(new QPushButton(Q(t::LockedNow), this), 40, 110, 80, 16);
  lockButton = Place(new QPushButton(Q(t::LockButton), this), 160, 110, 80, 16);
  // Enter must never lock words; the dialog closes with Escape or its close box.
  lockedNowButton->setAutoDefault(false);
  lockButton->setAutoDefault(false);
  connect(lockedNowButton, &QPushButton::clicked, this, &CEmProtectDlg::OnGetLocked);
  connect(lockButton, &QPushButton::clicked, this, &CEmProtectDlg::OnLock);
}

void CEmProtectDlg::OnGetLocked() {
  std::array<std::uint8_t, 4> bytes{};
  bool ok = CmdEm4305ReadWord(14, bytes) == EOk;
  if (ok && (Em4305Word(bytes) & InForceBit) == 0) ok = CmdEm4305ReadWord(15, bytes) == EOk;
  if (ok) {
    const std::uint32_t word = Em4305Word(bytes);
    for (int i = 0; i < BoxCount; ++i) {
      m_wordLocked[static_cast<std::size_t>(i)] = (word >> i) & 1u;
      lockBox[static_cast<std::size_t>(i)]->setChecked(m_wordLocked[static_cast<std::size_t>(i)] != 0);
    }
  }
  PostStatus(ok ? StatusKindSuccess : StatusKindFailure, Q(t::LockedNowStatus));
}

void CEmProtectDlg::OnLock() {
  std::vector<std::uint8_t> lockList;
  QStringList numbers;
  for (int i = 0; i < BoxCount; ++i) {
    m_wordLocked[static_cast<std::size_t>(i)] = lockBox[static_cast<std::size_t>(i)]->isChecked() ? 1 : 0;
    if (m_wordLocked[static_cast<std::size_t>(i)] == 0) continue;
    lockList.push_back(static_cast<std::uint8_t>(i));
    numbers << QString::number(i);
  }
  const QString question = Q(t::LockQuestion) + numbers.join(QStringLiteral("，"));
  if (ShowMessage(this, question, Q(t::LockTip), MessageIcon::Information, MessageButtons::OkCancel) !=
          DialogAnswer::Ok ||
      !BackUpTagFirst(this, std::nullopt))
    return;
  const bool ok = CmdEm4305Protect(lockList) == EOk;
  PostStatus(ok ? StatusKindSuccess : StatusKindFailure, Q(t::LockStatus));
}

}  // namespace rivelo
