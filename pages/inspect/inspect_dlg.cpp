#include "pages/inspect/inspect_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "batch/tag_backup.h"
#include "model/em4305_config.h"
#include "model/t5577_block0.h"
#include "model/text_bytes.h"
#include "pages/em4305/config_meaning.h"
#include "pages/t5577/block0_meaning.h"
#include "reader/discovery.h"
#include "resources/texts_inspect.h"
#include "shell/dialogs.h"

namespace rivelo {
namespace {

namespace t = texts::inspect;

QString Q(const TextPair& text) { return QString::fromUtf8(text()); }
QString Hex(std::uint32_t v) { return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper(); }

QString PasswordLine(const InspectReport& r) {
  if (r.passwordRefused) return Q(t::Refused);
  if (!r.passwordProtected) return Q(t::NoPassword);
  return Q(t::Protected) + (r.loginNeededToRead ? QStringLiteral("; ") + Q(t::NeedsPassword) : QString());
}

QString LockLine(const InspectReport& r) {
  QString text = Q(t::Locked);
  if (r.chip == InspectChip::T5577 || !r.lockedWords) return text + Q(t::LocksUnknown);
  if (r.lockedWords->empty()) return text + Q(t::NoneLocked);
  text += Q(t::Words);
  for (const int w : *r.lockedWords) text += QStringLiteral(" %1").arg(w);
  return text;
}

}  // namespace

QString InspectReportText(const InspectReport& r) {
  QStringList lines;
  const bool t5577 = r.chip == InspectChip::T5577;
  switch (r.chip) {
    case InspectChip::None: lines << Q(t::NoTag); break;
    case InspectChip::ReadOnly: lines << Q(t::Chip) + Q(t::ReadOnly); break;
    case InspectChip::T5577:
    case InspectChip::Em4305: lines << Q(t::Chip) + (t5577 ? QStringLiteral("T5577") : QStringLiteral("EM4305")); break;
  }
  if (r.chip == InspectChip::T5577 || r.chip == InspectChip::Em4305) {
    const auto config = r.Config();
    if (config) {
      lines << Q(t::Configuration) + Hex(*config);
      lines << (t5577 ? Block0Meaning(DecodeT5577Block0(*config)) : Em4305ConfigMeaning(DecodeEm4305Config(*config)));
    } else if (r.answerOnRequest) {
      lines << Q(t::WokenAor);
    }
    lines << PasswordLine(r);
    if (r.uid) lines << Q(t::Uid) + Hex(*r.uid);
    lines << LockLine(r);
    if (r.blank) lines << Q(t::Blank);
    const auto& memory = t5577 ? r.blocks : r.words;
    for (std::size_t i = 0; i < memory.size(); ++i) {
      const bool password = (t5577 && static_cast<int>(i) == T5577PasswordBlock && r.passwordProtected) || (!t5577 && i == 2);
      lines << Q(t5577 ? t::Block : t::Word) + QString::number(i) + QStringLiteral(": ") +
                   (memory[i] ? Hex(*memory[i]) : password ? Q(t::PasswordHidden) : Q(t::NotRead));
    }
    if (!config)
      for (std::size_t i = 0; i < r.sent.size(); ++i)
        lines << Q(t::Sends) + QString::number(i + 1) + QStringLiteral(": ") + Hex(r.sent[i]);
  }
  if (r.identities.empty() && r.chip != InspectChip::None && !r.blank) lines << Q(t::Identity) + Q(t::NoIdentity);
  for (const FoundIdentity& id : r.identities)
    lines << Q(t::Identity) + QString::fromStdString(id.title + " " + id.text) +
                 Q(id.source == IdentitySource::Reader ? t::FromReader : t::FromBlocks);
  return lines.join(QLatin1Char('\n'));
}

InspectDlg::InspectDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Q(t::Title));
  auto* caption = new QLabel(Q(t::PasswordCaption), this);
  password = new QLineEdit(this);
  password->setObjectName(QStringLiteral("password"));
  password->setAccessibleName(Q(t::PasswordCaption));
  password->setMaxLength(8);
  password->setEchoMode(QLineEdit::Password);
  caption->setBuddy(password);
  inspectButton = new QPushButton(Q(t::InspectButton), this);
  inspectButton->setObjectName(QStringLiteral("inspect"));
  report = new QPlainTextEdit(this);
  report->setObjectName(QStringLiteral("report"));
  report->setReadOnly(true);
  report->setMinimumSize(460, 360);
  auto* row = new QHBoxLayout;
  row->addWidget(caption);
  row->addWidget(password);
  row->addWidget(inspectButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(report);
  connect(inspectButton, &QPushButton::clicked, this, &InspectDlg::OnInspect);
}

void InspectDlg::OnInspect() {
  if (!IsDeviceConnected()) {
    report->setPlainText(Q(t::NotConnected));
    return;
  }
  std::optional<TagBytes4> key;
  if (const QString text = password->text().trimmed(); !text.isEmpty()) {
    const auto bytes = HexBytesExact(text.toStdString(), 4);
    if (!bytes) {
      report->setPlainText(Q(t::BadPassword));
      return;
    }
    key = TagBytes4{(*bytes)[0], (*bytes)[1], (*bytes)[2], (*bytes)[3]};
  }
  const InspectReport r = InspectTag(key);
  report->setPlainText(r.failure ? Q(t::ReadFailed) : InspectReportText(r));
}

bool BackUpTagFirst(QWidget* parent, const std::optional<TagBytes4>& password) {
  if (SaveAutomaticBackup(password, nullptr)) return true;
  return ShowMessage(parent, Q(t::NoBackup), QString::fromUtf8(t::Title()), MessageIcon::Warning,
                     MessageButtons::OkCancel) == DialogAnswer::Ok;
}

void OpenInspectDialog(QWidget* parent) {
  InspectDlg dialog(parent);
  ExecDialog(dialog);
}

}  // namespace rivelo
