// The controls of the FDX-B pages: a grid of three rows (national code, country code,
// trailer) by two columns (hex, decimal), the line that shows a read identity, and the run
// panel below.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "batch/fdxb_profile.h"
#include "pages/common/captioned_field.h"
#include "pages/common/dialog_layout.h"
#include "pages/common/group_box.h"
#include "pages/common/tag_passwords.h"
#include "pages/tagformats/fdxb_page.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }


}  // namespace

void FdxbPage::BuildControls(ChipWrite write) {
  const texts::fdxb::PageTexts& t = texts_;
  setFixedSize(Dlu(0, 0, 495, 306).size());

  // Column heads centred over their fields, row captions to the left of them.
  hexHead = Place(new QLabel(Q(t.hex), this), 180, 20, 100, 10);
  decHead = Place(new QLabel(Q(t.dec), this), 290, 20, 109, 10);
  hexHead->setAlignment(Qt::AlignCenter);
  decHead->setAlignment(Qt::AlignCenter);
  const char* const rows[3] = {t.national, t.country, t.trailer};
  const FdxbNumber numbers[3] = {FdxbNumber::National, FdxbNumber::Country, FdxbNumber::Trailer};
  for (int row = 0; row < 3; ++row) {
    const int y = 33 + 16 * row;
    rowCaptions[row] = Place(new QLabel(Q(rows[row]), this), 99, y, 73, 12);
    // Each field is named by its row and its column: "National Hex".
    const QString name = rowCaptions[row]->text() + ' ';
    hex[row] = Place(CaptionedField<CHexEdit>(name + hexHead->text(), this), 180, y, 100, 12);
    dec[row] = Place(CaptionedField<CDecEdit>(name + decHead->text(), this), 290, y, 109, 12);
    const FdxbNumberInfo& info = InfoOf(numbers[row]);
    hex[row]->setMaxLength(info.hexDigits);
    dec[row]->setMaxLength(info.decimalLimit);
  }

  animalIdCaption = Place(new QLabel(Q(texts::fdxb::AnimalId()), this), 99, 83, 73, 12);
  animalId = Place(new QLabel(this), 180, 83, 219, 12);
  animalId->setAccessibleName(animalIdCaption->text());
  animalId->setTextInteractionFlags(Qt::TextSelectableByMouse);  // to copy into a database

  // The captions never change while a job runs: the pages have no Stop text.
  const RunPanelTexts panelTexts{t.write, t.read, nullptr, t.continuous, t.incremental, t.fromFile, t.options};
  // No lock and one export form: only the session's tag passwords change.
  BatchProfile profile = MakeFdxbProfile(std::move(write), FdxbBatchTexts(t), [] { return WithTagPasswords(); });
  panel_ = new RunPanel(*this, *this, std::move(profile), panelTexts);
  RunPanel& p = *panel_;
  Place(p.options, 99, 102, 201, 36);
  Place(p.continuous, 112, 117, 56, 12);
  Place(p.incremental, 172, 117, 56, 12);
  Place(p.fromFile, 232, 117, 56, 12);
  Place(p.progress, 99, 146, 300, 12);
  Place(p.list, 99, 166, 300, 102);
  Place(p.readButton, 312, 108, 86, 12);
  Place(p.writeButton, 312, 124, 86, 12);
}

}  // namespace rivelo
