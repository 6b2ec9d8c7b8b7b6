// The controls of the EM4100 page for the EM4305, placed as on its dialog template.
#include <QCheckBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "batch/em4100_profile.h"
#include "pages/common/captioned_field.h"
#include "pages/common/dialog_layout.h"
#include "pages/common/group_box.h"
#include "pages/em4100/em4305_id_dlg.h"
#include "resources/texts_em4100.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

namespace t = texts::em4100;

QString Q(const char* text) { return QString::fromUtf8(text); }

RunPanelTexts PanelTexts() {
  return {t::Write(), t::Read(), t::Stop(), t::Continuously(), t::Incrementally(), t::FromFile(), t::Options()};
}

}  // namespace

void EM4305IdDlg::BuildControls() {
  const bool chinese = CurrentLanguage() == Language::Chinese;
  setFixedSize(Dlu(0, 0, 495, 306).size());

  // The group boxes first, so that the controls inside them lie above them.
  Place(new GroupBox(this), 23, 9, 186, 74);
  Place(new GroupBox(this), 226, 9, 97, 74);

  for (int i = 0; i < 4; ++i) {
    const auto form = static_cast<Em4100Form>(i);
    forms[i] = Place(new QRadioButton(Q(Em4100FormCaption(form)), this), 38, 21 + 14 * i, i == 0 ? 28 : 52, 12);
  }
  forms[0]->setChecked(true);

  // Each field is named after the form button beside it; the last row's two boxes by their part.
  const QStringList split = CaptionParts(forms[3]->text());
  hex10 = Place(CaptionedField<CHexEdit>(forms[0]->text(), this), 93, 21, 100, 12);
  dec08 = Place(CaptionedField<CDecEdit>(forms[1]->text(), this), 93, 35, 100, 12);
  dec06 = Place(CaptionedField<CDecEdit>(forms[2]->text(), this), 93, 49, 100, 12);
  box02 = Place(CaptionedField<CDecEdit>(split.value(0), this), 93, 63, 35, 12);
  box04 = Place(CaptionedField<CDecEdit>(split.value(1), this), 132, 63, 61, 12);
  hex10->setMaxLength(Em4305FieldLength(Em4305Field::Hex10));
  dec08->setMaxLength(Em4305FieldLength(Em4305Field::Dec08H));
  dec06->setMaxLength(Em4305FieldLength(Em4305Field::Dec06H));
  box02->setMaxLength(Em4305FieldLength(Em4305Field::Box02));
  box04->setMaxLength(Em4305FieldLength(Em4305Field::Box04));

  enterBox = Place(new QCheckBox(Q(t::EnterBox()), this), 239, 20, 70, 12);
  keyboardOut = Place(MakeToggle(Q(t::KeyboardOut()), this), 239, 34, 70, 12);

  panel_ = new RunPanel(*this, *this, MakeEm4305IdProfile([this] { return Choices(); }), PanelTexts(),
                        {t::LockCard()});
  RunPanel& p = *panel_;
  lockCard = p.extraOptions[0];
  p.DisableWhileRunning(keyboardOut);
  Place(p.writeButton, 239, 48, 70, 12);
  Place(p.readButton, 239, 62, 70, 12);
  Place(p.options, 23, 87, 300, 24);
  // The Chinese captions are shorter; that build packs the option boxes closer together.
  const int xs[4] = {50, chinese ? 108 : 120, chinese ? 166 : 194, chinese ? 221 : 252};
  const int ws[4] = {chinese ? 46 : 64, chinese ? 46 : 68, chinese ? 39 : 52, chinese ? 31 : 52};
  Place(p.continuous, xs[0], 96, ws[0], 10);
  Place(p.incremental, xs[1], 96, ws[1], 10);
  Place(p.fromFile, xs[2], 96, ws[2], 10);
  Place(lockCard, xs[3], 96, ws[3], 10);
  Place(p.progress, 23, 116, 300, 8);
  Place(p.list, 23, 128, 300, 82);
}

}  // namespace rivelo
