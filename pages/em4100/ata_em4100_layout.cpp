// The controls of the EM4100 page for the T5577, placed as on its dialog template.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "pages/common/captioned_field.h"
#include "pages/common/dialog_layout.h"
#include "pages/common/group_box.h"
#include "pages/em4100/ata_em4100_dlg.h"
#include "resources/texts_ata_em4100.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

namespace t = texts::ata_em4100;

QString Q(const char* text) { return QString::fromUtf8(text); }

// The captions never change: the page has no Stop text.
RunPanelTexts PanelTexts() {
  return {t::Write, t::Read, nullptr, t::Continuously, t::Incrementally, t::FromFile, t::Options};
}

}  // namespace

void CAtaEM4100Dlg::BuildControls() {
  setFixedSize(Dlu(0, 0, 495, 306).size());

  const char* const rows[4] = {t::Hex10, t::Dec13, t::Dec06, t::Split};
  for (int i = 0; i < 4; ++i) captions[i] = Place(new QLabel(Q(rows[i]), this), 99, 33 + 16 * i, 73, 12);
  hex10 = Place(CaptionedField<CHexEdit>(captions[0]->text(), this), 180, 33, 120, 12);
  dec13 = Place(CaptionedField<CDecEdit>(captions[1]->text(), this), 180, 49, 120, 12);
  dec06 = Place(CaptionedField<CDecEdit>(captions[2]->text(), this), 180, 65, 120, 12);
  // One box shows both parts of "02H + 04H", so it carries the whole caption.
  split = Place(CaptionedField<CDecEdit>(captions[3]->text(), this), 180, 81, 120, 12);
  hex10->setMaxLength(T5577Em4100FieldLength(T5577Em4100Field::Hex10));
  dec13->setMaxLength(T5577Em4100FieldLength(T5577Em4100Field::Dec13));
  dec06->setEnabled(false);
  split->setEnabled(false);

  panel_ = new RunPanel(*this, *this, MakeAtaEm4100Profile(), PanelTexts());
  RunPanel& p = *panel_;
  Place(p.options, 99, 100, 201, 36);
  Place(p.continuous, 126, 115, 38, 12);
  Place(p.incremental, 185, 115, 38, 12);
  Place(p.fromFile, 242, 115, 38, 12);
  Place(p.progress, 99, 144, 300, 12);
  Place(p.list, 99, 164, 300, 102);
  Place(p.readButton, 312, 106, 86, 12);
  Place(p.writeButton, 312, 122, 86, 12);
}

}  // namespace rivelo
