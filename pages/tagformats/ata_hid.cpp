#include "pages/tagformats/ata_hid.h"

#include <QLabel>
#include <QPushButton>

#include <array>
#include <cstdint>
#include <optional>

#include "model/hid26.h"
#include "pages/tagformats/single_tag.h"
#include "reader/commands.h"
#include "resources/texts_hid.h"
#include "shell/dec_edit.h"
#include "shell/dialogs.h"
#include "shell/hex_edit.h"
#include "shell/status.h"

namespace rivelo {
namespace {

namespace t = texts::hid;

QString Q(const char* text) { return QString::fromUtf8(text); }

// The number in a decimal field when it fits max bytes; empty text or more bytes give none.
std::optional<std::uint32_t> DecimalValue(const CDecEdit& edit, int maxBytes) {
  std::array<std::uint8_t, 8> bytes{};
  const int n = edit.GetDecimalData(bytes);
  if (n < 1 || n > maxBytes) return std::nullopt;
  std::uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | bytes[static_cast<std::size_t>(i)];
  return v;
}

}  // namespace

CHidDlg::CHidDlg(QWidget* parent) : QWidget(parent) {
  BuildControls();
  // textChanged rather than textEdited, so that a clamp's own rewrite is mirrored too; the
  // focus test keeps the page's own updates of the partner from echoing back.
  connect(hexFacility, &QLineEdit::textChanged, this, [this] { HexEdited(*hexFacility, *decFacility, 3); });
  connect(hexCard, &QLineEdit::textChanged, this, [this] { HexEdited(*hexCard, *decCard, 5); });
  connect(decFacility, &QLineEdit::textChanged, this, [this] { DecEdited(*decFacility, *hexFacility, 1); });
  connect(decCard, &QLineEdit::textChanged, this, [this] { DecEdited(*decCard, *hexCard, 2); });
  // The frame follows the decimal fields, which every edit and read ends up rewriting.
  connect(decFacility, &QLineEdit::textChanged, this, &CHidDlg::ShowFrame);
  connect(decCard, &QLineEdit::textChanged, this, &CHidDlg::ShowFrame);
  connect(readButton, &QPushButton::clicked, this, &CHidDlg::Read);
  connect(writeButton, &QPushButton::clicked, this, &CHidDlg::Write);
}

void CHidDlg::HexEdited(CHexEdit& own, CDecEdit& partner, int digits) {
  if (!own.hasFocus()) return;
  // Two or four hex digits never exceed the field's number, so there is nothing to clamp.
  std::array<std::uint8_t, 8> bytes{};
  const int n = own.GetHexData(bytes);
  if (n == 0)
    partner.clear();
  else
    partner.SetDecimalData(bytes.data(), n, digits);
}

void CHidDlg::DecEdited(CDecEdit& own, CHexEdit& partner, int bytes) {
  if (!own.hasFocus()) return;
  std::array<std::uint8_t, 8> value{};
  const int n = own.GetDecimalData(value);
  if (n == 0) {
    partner.clear();
    return;
  }
  if (n > bytes) {
    // Over the maximum: both fields show it (this comes back here with the maximum).
    const std::array<std::uint8_t, 2> max{0xFF, 0xFF};
    partner.SetHexData(max.data(), bytes);
    own.setText(bytes == 1 ? QStringLiteral("255") : QStringLiteral("65535"));
    return;
  }
  // The card shows four digits even for a number of one byte.
  std::array<std::uint8_t, 2> shown{};
  for (int i = 0; i < n; ++i) shown[static_cast<std::size_t>(bytes - n + i)] = value[static_cast<std::size_t>(i)];
  partner.SetHexData(shown.data(), bytes);
}

void CHidDlg::ShowFrame() {
  const auto facility = DecimalValue(*decFacility, 1);
  const auto card = DecimalValue(*decCard, 2);
  if (!facility || !card) {
    frame->clear();
    return;
  }
  const std::uint32_t bits = Hid26Frame(static_cast<std::uint8_t>(*facility), static_cast<std::uint16_t>(*card));
  frame->setText(QString::fromStdString(Hid26Text(bits)));
}

void CHidDlg::Read() {
  std::array<std::uint8_t, 3> id{};
  if (CmdReadHid(id) != SOk) {
    hexFacility->clear();
    hexCard->clear();
    decFacility->clear();
    decCard->clear();
    PostStatus(StatusKindFailure, Q(t::ReadError));
    return;
  }
  decFacility->SetDecimalData(id.data(), 1, 3);
  decCard->SetDecimalData(id.data() + 1, 2, 5);
  hexFacility->SetHexData(id.data(), 1);
  hexCard->SetHexData(id.data() + 1, 2);
  PostStatus(StatusKindSuccess, Q(t::ReadOk));
}

void CHidDlg::Write() {
  // Only the decimal fields are read: the hex fields mirror them. The facility is checked first.
  const auto facility = DecimalValue(*decFacility, 1);
  if (!facility) {
    ShowMessage(this, Q(t::FacilityRange), Q(t::MessageCaption), MessageIcon::Information);
    return;
  }
  const auto card = DecimalValue(*decCard, 2);
  if (!card) {
    ShowMessage(this, Q(t::CardRange), Q(t::MessageCaption), MessageIcon::Information);
    return;
  }
  const Identity sent{static_cast<std::uint8_t>(*facility), static_cast<std::uint8_t>(*card >> 8),
                      static_cast<std::uint8_t>(*card & 0xFF)};
  WriteSingleTag("hid", sent, t::WriteOk, t::WriteError);
}

void CHidDlg::keyPressEvent(QKeyEvent* event) {
  if (!ReadOnEnter(*event, [this] { Read(); })) QWidget::keyPressEvent(event);
}

}  // namespace rivelo
