#include "pages/tagformats/fdxb_page.h"

#include <QLabel>

#include "batch/country_text.h"
#include "batch/fdxb_profile.h"
#include "pages/common/dialog_keys.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

constexpr FdxbNumber Numbers[3] = {FdxbNumber::National, FdxbNumber::Country, FdxbNumber::Trailer};

QString Q(const std::string& text) { return QString::fromStdString(text); }
// The fields take hex and decimal digits only; anything pasted past that is no digit either way.
std::string FieldText(const QLineEdit& edit) { return edit.text().toLatin1().toStdString(); }

}  // namespace

FdxbPage::FdxbPage(const texts::fdxb::PageTexts& texts, ChipWrite write, QWidget* parent)
    : QWidget(parent), texts_(texts) {
  BuildControls(std::move(write));
  SwallowDialogKeys(*this);
  for (int row = 0; row < 3; ++row) {
    // textChanged rather than textEdited, so that a clamp's own rewrite is mirrored too; the
    // focus test keeps the page's own updates of the other fields from echoing back.
    connect(hex[row], &QLineEdit::textChanged, this, [this, row] { HexEdited(row); });
    connect(dec[row], &QLineEdit::textChanged, this, [this, row] { DecEdited(row); });
  }
}

void FdxbPage::HexEdited(int row) {
  CHexEdit& own = *hex[row];
  if (!own.hasFocus()) return;
  ShowAnimalId(std::nullopt);  // the fields no longer show what was read
  const FdxbMirror m = MirrorFdxbHex(Numbers[row], FieldText(own));
  dec[row]->setText(Q(m.partner));
  if (Q(m.own) != own.text()) own.setText(Q(m.own));  // comes back here with the maximum
}

void FdxbPage::DecEdited(int row) {
  CDecEdit& own = *dec[row];
  if (!own.hasFocus()) return;
  ShowAnimalId(std::nullopt);
  const FdxbMirror m = MirrorFdxbDecimal(Numbers[row], FieldText(own));
  hex[row]->setText(Q(m.partner));
  if (Q(m.own) != own.text()) own.setText(Q(m.own));
}

void FdxbPage::ShowAnimalId(const std::optional<FdxbId>& id) {
  if (!id) {
    animalId->clear();
    return;
  }
  // In the program's language, whatever language the page's own captions are in.
  const std::string country = CountryText(static_cast<int>(NumberOf(*id, FdxbNumber::Country)));
  animalId->setText(Q(FdxbIso15(*id, " ") + "   " + country));
}

// IdentityPage

void FdxbPage::ShowReadIdentity(const Identity& id) {
  const FdxbId f = ToFdxbId(id);
  const FdxbFields t = FdxbFieldsOf(f);
  const std::string* texts[6] = {&t.nationalHex, &t.countryHex, &t.trailerHex,
                                 &t.nationalDec, &t.countryDec, &t.trailerDec};
  for (int row = 0; row < 3; ++row) {
    hex[row]->setText(Q(*texts[row]));
    dec[row]->setText(Q(*texts[row + 3]));
  }
  ShowAnimalId(f);
}

// Country code and trailer stay as the operator entered them; only the national code steps.
void FdxbPage::ShowNextTarget(const Identity& id) {
  const FdxbFields t = FdxbFieldsOf(ToFdxbId(id));
  hex[0]->setText(Q(t.nationalHex));
  dec[0]->setText(Q(t.nationalDec));
  ShowAnimalId(std::nullopt);
}

void FdxbPage::ClearIdentity() {
  for (int row = 0; row < 3; ++row) {
    hex[row]->clear();
    dec[row]->clear();
  }
  ShowAnimalId(std::nullopt);
}

// The hex fields alone say what is written; the decimal ones only mirror them.
Identity FdxbPage::EnteredIdentity() {
  const auto id = FdxbFromHexFields(FieldText(*hex[0]), FieldText(*hex[1]), FieldText(*hex[2]));
  return id ? FromFdxbId(*id) : Identity{};
}

// The decimal national field as it stood when the tag was written. Emptied, it would leave
// the line without the number the tag got, so the hex fields' national code stands in.
std::string FdxbPage::IncrementalListText() {
  const std::string text = dec[0]->text().toStdString();
  return text.empty() ? FdxbFieldsOf(ToFdxbId(EnteredIdentity())).nationalDec : text;
}

}  // namespace rivelo
