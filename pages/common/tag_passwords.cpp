#include "pages/common/tag_passwords.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

#include "model/text_bytes.h"
#include "pages/common/captioned_field.h"
#include "pages/common/dialog_layout.h"
#include "resources/texts_tag_passwords.h"
#include "shell/dialogs.h"
#include "shell/hex_edit.h"
#include "shell/status.h"

namespace rivelo {
namespace {

namespace t = texts::tag_passwords;

QString Q(const TextPair& text) { return QString::fromUtf8(text()); }

// An empty field is no password; anything but exactly 8 hex digits is refused (nullopt).
std::optional<std::optional<TagPassword>> PasswordIn(const CHexEdit& field) {
  const std::string text = field.text().trimmed().toStdString();
  if (text.empty()) return std::optional<TagPassword>{};
  const auto bytes = HexTextToBytes(text, TextMode::Strict);
  if (text.size() != 8 || !bytes || bytes->size() != 4) return std::nullopt;
  TagPassword password{};
  std::copy(bytes->begin(), bytes->end(), password.begin());
  return std::optional<TagPassword>{password};
}

void Show(CHexEdit& field, std::optional<TagPassword> password, PasswordBytes order = PasswordBytes::ValueOrder) {
  if (!password) {
    field.clear();
    return;
  }
  if (order == PasswordBytes::WireOrder) std::reverse(password->begin(), password->end());
  field.SetHexData(*password);
}

}  // namespace

TagPasswords& TagPasswords::Session() {
  static TagPasswords session;
  return session;
}

void TagPasswords::Set(std::optional<TagPassword> carried, std::optional<TagPassword> given) {
  carried_ = carried;
  given_ = given;
  emit Changed();
}

RunChoices WithTagPasswords(RunChoices choices) {
  choices.password = TagPasswords::Session().Carried();
  choices.protect = TagPasswords::Session().Given();
  return choices;
}

void FollowCarriedPassword(CHexEdit& field, PasswordBytes order) {
  const auto follow = [&field, order] { Show(field, TagPasswords::Session().Carried(), order); };
  if (TagPasswords::Session().Carried()) follow();
  QObject::connect(&TagPasswords::Session(), &TagPasswords::Changed, &field, follow);
}

TagPasswordsDlg::TagPasswordsDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Q(t::Title));
  setFixedSize(Dlu(0, 0, 230, 96).size());
  const QString carriedCaption = Place(new QLabel(Q(t::Carried), this), 8, 10, 120, 12)->text();
  const QString givenCaption = Place(new QLabel(Q(t::Given), this), 8, 28, 120, 12)->text();
  carried = Place(CaptionedField<CHexEdit>(carriedCaption, this), 132, 9, 60, 12);
  given = Place(CaptionedField<CHexEdit>(givenCaption, this), 132, 27, 60, 12);
  for (CHexEdit* field : {carried, given}) field->SetByteLimit(4);
  auto* note = Place(new QLabel(Q(t::Note), this), 8, 46, 214, 22);
  note->setWordWrap(true);
  okButton = Place(new QPushButton(Q(t::Ok), this), 110, 74, 52, 14);
  cancelButton = Place(new QPushButton(Q(t::Cancel), this), 170, 74, 52, 14);
  okButton->setDefault(true);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  Show(*carried, TagPasswords::Session().Carried());
  Show(*given, TagPasswords::Session().Given());
}

void OpenTagPasswords(QWidget* parent) {
  TagPasswordsDlg dialog(parent);
  while (ExecDialog(dialog) == QDialog::Accepted) {
    const auto carried = PasswordIn(*dialog.carried);
    const auto given = PasswordIn(*dialog.given);
    if (!carried || !given) {
      ShowMessage(&dialog, Q(t::BadPassword), Q(t::Title), MessageIcon::Warning);
      continue;
    }
    TagPasswords::Session().Set(*carried, *given);
    PostStatus(StatusKindInfo, Q(*carried || *given ? t::InForce : t::NoneInForce));
    return;
  }
}

}  // namespace rivelo
