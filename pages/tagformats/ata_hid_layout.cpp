// The controls of the HID 26-bit page: the hex row above the decimal row, facility code left of
// card number on each, and the 26-bit frame under them.
#include <QLabel>
#include <QPushButton>

#include "pages/common/captioned_field.h"
#include "pages/common/dialog_layout.h"
#include "pages/common/group_box.h"
#include "pages/tagformats/ata_hid.h"
#include "resources/texts_hid.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

namespace t = texts::hid;

QString Q(const char* text) { return QString::fromUtf8(text); }

}  // namespace

void CHidDlg::BuildControls() {
  setFixedSize(Dlu(0, 0, 495, 306).size());
  Place(new GroupBox(Q(t::Group), this), 99, 40, 300, 90);

  const QString hexRow = Place(new QLabel(Q(t::HexRow), this), 115, 62, 40, 12)->text();
  const QString decRow = Place(new QLabel(Q(t::DecRow), this), 115, 82, 40, 12)->text();
  hexFacility = Place(CaptionedField<CHexEdit>(hexRow, this), 160, 61, 40, 12);
  hexCard = Place(CaptionedField<CHexEdit>(hexRow, this), 210, 61, 60, 12);
  decFacility = Place(CaptionedField<CDecEdit>(decRow, this), 160, 81, 40, 12);
  decCard = Place(CaptionedField<CDecEdit>(decRow, this), 210, 81, 60, 12);
  hexFacility->setMaxLength(2);
  hexCard->setMaxLength(4);
  decFacility->setMaxLength(3);
  decCard->setMaxLength(5);
  for (QLineEdit* edit : {static_cast<QLineEdit*>(hexFacility), static_cast<QLineEdit*>(hexCard),
                          static_cast<QLineEdit*>(decFacility), static_cast<QLineEdit*>(decCard)})
    edit->setAlignment(Qt::AlignRight);

  frameCaption = Place(new QLabel(Q(t::Frame()), this), 115, 106, 110, 12);
  frame = Place(new QLabel(this), 230, 106, 40, 12);
  frame->setTextInteractionFlags(Qt::TextSelectableByMouse);

  readButton = Place(new QPushButton(Q(t::Read), this), 300, 60, 70, 14);
  writeButton = Place(new QPushButton(Q(t::Write), this), 300, 80, 70, 14);
}

}  // namespace rivelo
