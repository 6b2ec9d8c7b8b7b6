#include "pages/registry/registry_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

#include "batch/batch_runner.h"
#include "batch/registry_run.h"
#include "pages/common/captioned_field.h"
#include "resources/texts_registry.h"
#include "shell/dialogs.h"

namespace rivelo {
namespace {

namespace t = texts::registry;

QString Q(const TextPair& text) { return QString::fromUtf8(text()); }

// Kept for the session: what the window's writes use, and what the dialog shows next time.
struct InForce {
  std::shared_ptr<IdentityRegistry> registry;
  std::string where;
  QString file, uri;  // as last entered
};
InForce& Chosen() {
  static InForce state;
  return state;
}

}  // namespace

RegistryDlg::RegistryDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Q(t::DialogTitle));
  file_ = CaptionedField<QLineEdit>(Q(t::SqliteCaption), this);
  uri_ = CaptionedField<QLineEdit>(Q(t::PostgresCaption), this);
  file_->setText(Chosen().file);
  uri_->setText(Chosen().uri);
  file_->setMinimumWidth(320);
  auto* choose = new QPushButton(Q(t::Choose), this);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_);
  fileRow->addWidget(choose);
  auto* form = new QFormLayout;
  form->addRow(Q(t::SqliteCaption), fileRow);
  form->addRow(Q(t::PostgresCaption), uri_);
  state_ = new QLabel(this);
  state_->setObjectName(QStringLiteral("registryState"));
  state_->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(this);
  use_ = buttons->addButton(Q(t::Use), QDialogButtonBox::ApplyRole);
  none_ = buttons->addButton(Q(t::NoRegistry), QDialogButtonBox::ResetRole);
  QPushButton* close = buttons->addButton(Q(t::Close), QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(state_);
  layout->addWidget(buttons);
  connect(choose, &QPushButton::clicked, this, &RegistryDlg::OnChoose);
  connect(use_, &QPushButton::clicked, this, &RegistryDlg::OnUse);
  connect(none_, &QPushButton::clicked, this, &RegistryDlg::OnNone);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  ShowState();
}

void RegistryDlg::OnChoose() {
  const QString path = ChooseOpenFile(this, Q(t::FilePrompt) + QStringLiteral(" (*.sqlite *.db);;* (*)"));
  if (path.isEmpty()) return;
  file_->setText(path);
  uri_->clear();
}

void RegistryDlg::OnUse() {
  const QString uri = uri_->text().trimmed(), file = file_->text().trimmed();
  const QString where = uri.isEmpty() ? file : uri;
  if (where.isEmpty()) return;
  std::string why;
  std::shared_ptr<IdentityRegistry> registry = OpenRegistry(where.toStdString(), &why);
  if (!registry) {
    ShowMessage(this, Q(t::CannotOpen) + QString::fromStdString(why), Q(t::DialogTitle), MessageIcon::Error);
    return;
  }
  InForce& state = Chosen();
  state.registry = registry;
  state.where = registry->Where();
  state.file = file;
  state.uri = uri;
  SetWindowIdentityGate(std::make_shared<RegistryGate>(std::move(registry)));
  ShowState();
}

void RegistryDlg::OnNone() {
  Chosen().registry.reset();
  Chosen().where.clear();
  SetWindowIdentityGate(nullptr);
  ShowState();
}

void RegistryDlg::ShowState() {
  const InForce& state = Chosen();
  if (!state.registry) {
    state_->setText(Q(t::NoneInUse));
    return;
  }
  QString text = Q(t::InUse) + QString::fromStdString(state.where) + QStringLiteral("\n") + Q(t::CountsHeader);
  std::vector<RegistryCount> counts;
  std::string why;
  if (!state.registry->Stats(&counts, &why)) {
    state_->setText(text + QStringLiteral(" ") + QString::fromStdString(why));
    return;
  }
  // One line per format: its issued and reserved identities.
  std::vector<std::pair<std::string, std::pair<std::int64_t, std::int64_t>>> formats;
  for (const RegistryCount& c : counts) {
    if (formats.empty() || formats.back().first != c.format) formats.push_back({c.format, {0, 0}});
    (c.state == RegistryState::Issued ? formats.back().second.first : formats.back().second.second) += c.count;
  }
  if (formats.empty()) text += QStringLiteral(" ") + Q(t::Empty);
  for (const auto& [format, n] : formats)
    text += QStringLiteral("\n") + QString::fromStdString(Filled(t::CountLine(), {format, std::to_string(n.first),
                                                                                   std::to_string(n.second)}));
  state_->setText(text);
}

void ShowRegistryDialog(QWidget* parent) {
  RegistryDlg dialog(parent);
  ExecDialog(dialog);
}

std::string WindowRegistryWhere() { return Chosen().where; }

}  // namespace rivelo
