// The controls of the EM4100 page for the EM4305, placed as on its dialog template. Dialog
// units become pixels with the 8-point dialog font's factors (6 x 13 per 4 x 8 units), which
// fills the 880 x 640 main window as the original did.
#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "pages/em4100/em4305_id_dlg.h"
#include "resources/texts_em4100.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

namespace t = texts::em4100;

QRect Dlu(int x, int y, int w, int h) {
  auto px = [](int v) { return (v * 3 + 1) / 2; };         // 6 / 4
  auto py = [](int v) { return (v * 13 + 4) / 8; };        // 13 / 8
  return QRect(px(x), py(y), px(w), py(h));
}

template <typename W>
W* Place(W* w, int x, int y, int width, int height) {
  w->setGeometry(Dlu(x, y, width, height));
  return w;
}

QString Q(const char* text) { return QString::fromUtf8(text); }

}  // namespace

void EM4305IdDlg::BuildControls() {
  const bool chinese = CurrentLanguage() == Language::Chinese;
  setFixedSize(Dlu(0, 0, 495, 306).size());

  // The group boxes first, so that the controls inside them lie above them.
  Place(new QGroupBox(this), 23, 9, 186, 74);
  Place(new QGroupBox(this), 226, 9, 97, 74);
  Place(new QGroupBox(Q(t::Options()), this), 23, 87, 300, 24);

  for (int i = 0; i < 4; ++i) {
    const auto form = static_cast<Em4100Form>(i);
    forms[i] = Place(new QRadioButton(Q(Em4100FormCaption(form)), this), 38, 21 + 14 * i, i == 0 ? 28 : 52, 12);
  }
  forms[0]->setChecked(true);

  hex10 = Place(new CHexEdit(this), 93, 21, 100, 12);
  dec08 = Place(new CDecEdit(this), 93, 35, 100, 12);
  dec06 = Place(new CDecEdit(this), 93, 49, 100, 12);
  box02 = Place(new CDecEdit(this), 93, 63, 35, 12);
  box04 = Place(new CDecEdit(this), 132, 63, 61, 12);
  hex10->setMaxLength(Em4305FieldLength(Em4305Field::Hex10));
  dec08->setMaxLength(Em4305FieldLength(Em4305Field::Dec08H));
  dec06->setMaxLength(Em4305FieldLength(Em4305Field::Dec06H));
  box02->setMaxLength(Em4305FieldLength(Em4305Field::Box02));
  box04->setMaxLength(Em4305FieldLength(Em4305Field::Box04));

  enterBox = Place(new QCheckBox(Q(t::EnterBox()), this), 239, 20, 70, 12);
  auto toggle = [this](const char* caption, int y) {
    auto* b = Place(new QPushButton(Q(caption), this), 239, y, 70, 12);
    b->setCheckable(true);
    b->setAutoDefault(false);
    return b;
  };
  keyboardOut = toggle(t::KeyboardOut(), 34);
  writeButton = toggle(t::Write(), 48);
  readButton = toggle(t::Read(), 62);

  // The Chinese captions are shorter; that build packs the option boxes closer together.
  const int xs[4] = {50, chinese ? 108 : 120, chinese ? 166 : 194, chinese ? 221 : 252};
  const int ws[4] = {chinese ? 46 : 64, chinese ? 46 : 68, chinese ? 39 : 52, chinese ? 31 : 52};
  continuous = Place(new QCheckBox(Q(t::Continuously()), this), xs[0], 96, ws[0], 10);
  incremental = Place(new QCheckBox(Q(t::Incrementally()), this), xs[1], 96, ws[1], 10);
  fromFile = Place(new QCheckBox(Q(t::FromFile()), this), xs[2], 96, ws[2], 10);
  lockCard = Place(new QCheckBox(Q(t::LockCard()), this), xs[3], 96, ws[3], 10);

  progress = Place(new QProgressBar(this), 23, 116, 300, 8);
  progress->setTextVisible(false);
  progress->setRange(0, 100);
  progress->setValue(0);
  list = Place(new QListWidget(this), 23, 128, 300, 82);
}

}  // namespace rivelo
