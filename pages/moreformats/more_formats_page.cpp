#include "pages/moreformats/more_formats_page.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <charconv>

#include "batch/format_table.h"
#include "pages/common/dialog_keys.h"
#include "resources/texts_more_formats.h"
#include "shell/dialogs.h"

namespace rivelo {
namespace {

namespace t = texts::more_formats;

QString Q(const TextPair& text) { return QString::fromUtf8(text()); }

QString ValueText(const access::AccessField& field, std::uint64_t value) {
  if (field.hexDigits == 0) return QString::number(value);
  return QStringLiteral("%1").arg(value, field.hexDigits, 16, QChar('0')).toUpper();
}

// The digits of the field's base as a number; nullopt for anything else (a paste) or overflow.
std::optional<std::uint64_t> Number(const access::AccessField& field, const QString& text) {
  const std::string digits = text.toStdString();
  std::uint64_t value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, field.hexDigits > 0 ? 16 : 10);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

}  // namespace

MoreFormatsPage::MoreFormatsPage(QWidget* parent) : QWidget(parent) {
  // Only formats the table reads and writes are offered.
  for (const access::AccessFormat* format : access::AccessFormats())
    if (FindFormatEntry(format->name) != nullptr) formats_.push_back(format);
  BuildControls();
  SwallowDialogKeys(*this);
  connect(chooser, &QComboBox::currentIndexChanged, this, &MoreFormatsPage::Choose);
  if (!formats_.empty()) Choose(0);
}

void MoreFormatsPage::Choose(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= formats_.size()) return;
  if (chooser->currentIndex() != index) {
    chooser->setCurrentIndex(index);  // comes back here
    return;
  }
  format_ = formats_[static_cast<std::size_t>(index)];
  entry_ = FindFormatEntry(format_->name);
  // The chooser rests while a job runs, so the panel given up here is idle.
  delete content_;
  panel_ = nullptr;
  rows.clear();
  content_ = new QWidget(this);
  content_->setGeometry(rect());
  BuildFields();
  BuildPanel();
  // The content lies over the whole page; the chooser above it keeps its clicks.
  formatCaption->raise();
  chooser->raise();
  SwallowDialogKeys(*content_);
  content_->show();
}

// A value past the field's greatest shows the greatest, as the other pages' fields do. A paste
// of other characters stays for the write to refuse.
void MoreFormatsPage::FieldEdited(std::size_t row) {
  const access::AccessField& field = format_->fields[row];
  QLineEdit& edit = *rows[row].edit;
  const std::string text = edit.text().toStdString();
  const char* digits = field.hexDigits > 0 ? "0123456789abcdefABCDEF" : "0123456789";
  if (text.empty() || text.find_first_not_of(digits) != std::string::npos) return;
  const auto value = Number(field, edit.text());
  if (!value || *value > field.max) edit.setText(ValueText(field, field.max));  // !value: too many digits
}

std::optional<std::uint64_t> MoreFormatsPage::FieldValue(std::size_t row) const {
  const access::AccessField& field = format_->fields[row];
  const auto value = Number(field, rows[row].edit->text().trimmed());
  if (!value || *value < field.min || *value > field.max) return std::nullopt;
  return value;
}

std::optional<access::AccessValues> MoreFormatsPage::Values(bool tell) {
  access::AccessValues values;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const auto value = FieldValue(row);
    if (!value) {
      if (tell)
        ShowMessage(this, Q(t::FieldMissing).arg(rows[row].caption->text(), rows[row].range->text()),
                    Q(t::MessageCaption), MessageIcon::Information);
      return std::nullopt;
    }
    values.push_back(*value);
  }
  return values;
}

void MoreFormatsPage::ShowValues(const access::AccessValues& values) {
  for (std::size_t row = 0; row < rows.size() && row < values.size(); ++row)
    rows[row].edit->setText(ValueText(format_->fields[row], values[row]));
}

// IdentityPage

// The table's text of the identity is the fields joined by ':', which the format parses back.
void MoreFormatsPage::ShowReadIdentity(const Identity& id) {
  const access::AccessParse parsed = access::ParseLine(*format_, entry_->format->text(id, 0));
  if (parsed.values) ShowValues(*parsed.values);
  else ClearIdentity();
}

void MoreFormatsPage::ClearIdentity() {
  for (FieldRow& row : rows) row.edit->clear();
}

Identity MoreFormatsPage::EnteredIdentity() {
  const auto values = Values(true);
  if (!values) return {};
  return entry_->format->parseLine(access::Text(*format_, *values)).id.value_or(Identity{});
}

std::string MoreFormatsPage::IncrementalListText() {
  const auto values = Values(false);
  return values ? access::Text(*format_, *values) : std::string();
}

}  // namespace rivelo
