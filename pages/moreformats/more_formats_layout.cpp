// The controls of the "More formats" page: the format chooser at the top, a row per identity
// field under it (caption, field, range), and the run panel below, placed as on the FDX-B pages.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

#include "batch/format_table.h"
#include "pages/common/captioned_field.h"
#include "pages/common/dialog_layout.h"
#include "pages/common/group_box.h"
#include "pages/common/tag_passwords.h"
#include "pages/moreformats/more_formats_page.h"
#include "resources/texts_more_formats.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

namespace t = texts::more_formats;

QString Q(const TextPair& text) { return QString::fromUtf8(text()); }

QString Caption(const access::AccessField& field) {
  const TextPair* caption = t::FieldCaption(field.name);
  return caption ? Q(*caption) : QString::fromUtf8(field.name);
}

QString RangeText(const access::AccessField& field) {
  if (field.hexDigits == 0) return Q(t::Range).arg(field.min).arg(field.max);
  const auto hex = [&field](std::uint64_t v) { return QStringLiteral("%1").arg(v, field.hexDigits, 16, QChar('0')).toUpper(); };
  return Q(t::HexRange).arg(hex(field.min), hex(field.max));
}

// Digits of the greatest value: the field takes no more.
int DigitsOf(const access::AccessField& field) {
  if (field.hexDigits > 0) return field.hexDigits;
  int digits = 1;
  for (std::uint64_t v = field.max; v >= 10; v /= 10) ++digits;
  return digits;
}

constexpr int FieldTop = 38;
constexpr int RowHeight = 16;

}  // namespace

void MoreFormatsPage::BuildControls() {
  setFixedSize(Dlu(0, 0, 495, 306).size());
  formatCaption = Place(new QLabel(Q(t::Format), this), 99, 17, 70, 12);
  chooser = Place(new QComboBox(this), 175, 15, 224, 14);
  chooser->setAccessibleName(formatCaption->text());
  for (const access::AccessFormat* format : formats_) chooser->addItem(QString::fromUtf8(format->title));
}

void MoreFormatsPage::BuildFields() {
  for (std::size_t i = 0; i < format_->fields.size(); ++i) {
    const access::AccessField& field = format_->fields[i];
    const int y = FieldTop + RowHeight * static_cast<int>(i);
    FieldRow row;
    row.caption = Place(new QLabel(Caption(field), content_), 99, y, 70, 12);
    if (field.hexDigits > 0) row.edit = CaptionedField<CHexEdit>(row.caption->text(), content_);
    else row.edit = CaptionedField<CDecEdit>(row.caption->text(), content_);
    Place(row.edit, 175, y, 100, 12);
    row.edit->setMaxLength(DigitsOf(field));
    row.edit->setAlignment(Qt::AlignRight);
    row.range = Place(new QLabel(RangeText(field), content_), 281, y, 118, 12);
    connect(row.edit, &QLineEdit::textEdited, this, [this, i] { FieldEdited(i); });
    rows.push_back(row);
  }
}

void MoreFormatsPage::BuildPanel() {
  const RunPanelTexts texts{t::Write(), t::Read(), nullptr, t::Continuously(), t::Incrementally(), t::FromFile(),
                            t::Options()};
  // One export form; the session's tag passwords are the only choice that changes.
  BatchProfile profile = entry_->profile([] { return WithTagPasswords(); });
  panel_ = new RunPanel(*content_, *this, std::move(profile), texts);
  panel_->DisableWhileRunning(chooser);
  RunPanel& p = *panel_;
  // Below the fields of the format with the most of them.
  const int top = std::max(102, FieldTop + RowHeight * static_cast<int>(rows.size()) + 6);
  Place(p.options, 99, top, 201, 36);
  Place(p.continuous, 112, top + 15, 56, 12);
  Place(p.incremental, 172, top + 15, 56, 12);
  Place(p.fromFile, 232, top + 15, 56, 12);
  Place(p.progress, 99, top + 44, 300, 12);
  Place(p.list, 99, top + 64, 300, 268 - top);
  Place(p.readButton, 312, top + 6, 86, 12);
  Place(p.writeButton, 312, top + 22, 86, 12);
}

}  // namespace rivelo
