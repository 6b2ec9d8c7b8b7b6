// The controls of the T5577 block editor, placed as on its dialog template: the parameters
// across the top, the block column on the left with block 0 last and its meaning beside it,
// the operations on the right.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "pages/common/captioned_field.h"
#include "pages/common/dialog_layout.h"
#include "pages/common/group_box.h"
#include "pages/t5577/ata_dlg.h"
#include "resources/texts_ata.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

namespace t = texts::ata;

QString Q(const char* text) { return QString::fromUtf8(text); }

QComboBox* Combo(QWidget* page, const QStringList& items) {
  auto* combo = new QComboBox(page);
  combo->addItems(items);
  return combo;
}

}  // namespace

void CAtaDlg::BuildControls() {
  setFixedSize(Dlu(0, 0, 495, 306).size());

  Place(new GroupBox(Q(t::Parameters), this), 7, 4, 481, 34);
  Place(new QLabel(Q(t::PageLabel), this), 16, 19, 30, 10);
  pageCombo = Place(Combo(this, {"0", "1"}), 48, 17, 40, 12);
  Place(new QLabel(Q(t::BlockLabel), this), 134, 19, 30, 10);
  blockCombo = Place(Combo(this, {"1", "2", "3", "4", "5", "6", "7", "0"}), 166, 17, 40, 12);
  Place(new QLabel(Q(t::LockLabel), this), 236, 19, 20, 10);
  lockCombo = Place(Combo(this, {Q(t::NoLock), Q(t::Lock)}), 258, 17, 44, 12);
  auto* passwordCaption = Place(new QLabel(Q(t::PasswordLabel), this), 334, 19, 20, 10);
  passwordEdit = Place(CaptionedField<CHexEdit>(passwordCaption->text(), this), 356, 17, 70, 12);
  passwordEdit->SetByteLimit(4);

  Place(new GroupBox(Q(t::Memory), this), 7, 44, 330, 255);
  for (int row = 0; row < 8; ++row) {
    const int block = (row + 1) % 8;  // blocks 1 to 7, then 0
    const int y = 60 + 26 * row;
    auto* caption = Place(new QLabel(Q(t::BlockCaption).replace(QStringLiteral("%d"), QString::number(block)), this),
                          20, y + 2, 28, 10);
    CHexEdit* field = Place(CaptionedField<CHexEdit>(caption->text(), this), 52, y, 76, 13);
    field->SetByteLimit(4);
    blockEdit[static_cast<std::size_t>(block)] = field;
  }
  // Ends level with block 0, so the meaning stands beside the block it tells of.
  block0Meaning = Place(new QLabel(this), 138, 146, 194, 110);
  block0Meaning->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  block0Meaning->setTextInteractionFlags(Qt::TextSelectableByMouse);

  Place(new GroupBox(Q(t::Operate), this), 345, 44, 143, 255);
  QPushButton** buttons[] = {&readButton, &writeButton, &readPwdButton, &writePwdButton,
                             &readPageButton, &wakeButton, &resetButton, &initButton};
  const char* const captions[] = {t::ReadButton, t::WriteButton, t::ReadPwdButton, t::WritePwdButton,
                                  t::ReadPageButton, t::WakeButton, t::ResetButton, t::InitButton};
  for (int i = 0; i < 8; ++i) {
    auto* button = Place(new QPushButton(Q(captions[i]), this), 360, 60 + 24 * i, 113, 16);
    button->setAutoDefault(false);  // Enter never writes a block
    *buttons[i] = button;
  }
  modulationCombo = Place(Combo(this, {Q(t::ManRf32), Q(t::ManRf64)}), 360, 262, 113, 12);
}

}  // namespace rivelo
