// The controls of the EM4305 word editor, placed as on its dialog template: the sixteen words
// in two columns on the left, the decoding mode and the operations on the right, and the
// configuration word's meaning below them.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "pages/common/captioned_field.h"
#include "pages/common/dialog_layout.h"
#include "pages/common/group_box.h"
#include "pages/em4305/em4305_dlg.h"
#include "resources/texts_em4305.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

namespace t = texts::em4305;

QString Q(const char* text) { return QString::fromUtf8(text); }

}  // namespace

void EM4305Dlg::BuildControls() {
  setFixedSize(Dlu(0, 0, 495, 306).size());

  Place(new GroupBox(Q(t::Eeprom), this), 7, 4, 330, 295);
  for (int word = 0; word < WordCount; ++word) {
    const int x = word < 8 ? 16 : 176;
    const int y = 22 + 34 * (word % 8);
    auto* caption = Place(new QLabel(Q(t::WordCaptions[word]), this), x, y + 2, 54, 10);
    CHexEdit* field = Place(CaptionedField<CHexEdit>(caption->text(), this), x + 56, y, 80, 13);
    field->SetByteLimit(4);
    wordEdit[static_cast<std::size_t>(word)] = field;
  }

  Place(new GroupBox(Q(t::ConfigureDevice), this), 345, 4, 143, 34);
  modeCombo = Place(new QComboBox(this), 355, 18, 123, 12);
  modeCombo->addItems({Q(t::ModeEm4100), Q(t::ModeFdxb)});

  Place(new GroupBox(Q(t::OperateCard), this), 345, 44, 143, 122);
  readCombo = Place(new QComboBox(this), 355, 58, 123, 12);
  readCombo->addItem(Q(t::ReadItem));
  for (int word = 0; word < WordCount; ++word)
    readCombo->addItem(Q(t::ReadWordItem).replace(QStringLiteral("%d"), QString::number(word)));
  readCombo->setMaxVisibleItems(17);

  QPushButton** buttons[] = {&writeButton, &disableButton, &protectButton, &loginButton};
  const char* const captions[] = {t::WriteButton, t::DisableButton, t::ProtectButton, t::LoginButton};
  for (int i = 0; i < 4; ++i) {
    auto* button = Place(new QPushButton(Q(captions[i]), this), 355, 78 + 21 * i, 123, 16);
    button->setAutoDefault(false);  // Enter never writes or locks
    *buttons[i] = button;
  }

  configMeaning = Place(new QLabel(this), 349, 172, 139, 127);
  configMeaning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  configMeaning->setWordWrap(true);
  configMeaning->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

}  // namespace rivelo
