#include "pages/tagformats/ata_fdxa.h"

#include <QLabel>
#include <QPushButton>

#include <array>
#include <cstdint>

#include "model/fdxa.h"
#include "pages/common/captioned_field.h"
#include "pages/common/dialog_layout.h"
#include "pages/common/group_box.h"
#include "pages/tagformats/single_tag.h"
#include "reader/commands.h"
#include "resources/texts_fdxa.h"
#include "shell/dialogs.h"
#include "shell/hex_edit.h"
#include "shell/status.h"

namespace rivelo {
namespace {

namespace t = texts::fdxa;

QString Q(const char* text) { return QString::fromUtf8(text); }

}  // namespace

CAtaFdxa::CAtaFdxa(QWidget* parent) : QWidget(parent) {
  setFixedSize(Dlu(0, 0, 495, 306).size());
  Place(new GroupBox(Q(t::Group), this), 99, 40, 300, 60);
  auto* label = Place(new QLabel(Q(t::Label), this), 125, 64, 40, 12);
  code = Place(CaptionedField<CHexEdit>(label->text(), this), 170, 63, 100, 12);
  code->SetByteLimit(static_cast<int>(FdxaLength));
  readButton = Place(new QPushButton(Q(t::Read), this), 300, 55, 70, 14);
  writeButton = Place(new QPushButton(Q(t::Write), this), 300, 75, 70, 14);
  connect(readButton, &QPushButton::clicked, this, &CAtaFdxa::Read);
  connect(writeButton, &QPushButton::clicked, this, &CAtaFdxa::Write);
}

void CAtaFdxa::Read() {
  FdxaCode id{};
  if (CmdReadFdxa(id) != SOk) {
    PostStatus(StatusKindFailure, Q(t::ReadError));
    return;
  }
  code->SetHexData(id);
  PostStatus(StatusKindSuccess, Q(t::ReadOk));
}

void CAtaFdxa::Write() {
  std::array<std::uint8_t, 8> entered{};
  // Nine digits give five bytes too: the first digit stands alone, as a leading 0 would.
  if (code->GetHexData(entered) != static_cast<int>(FdxaLength)) {
    ShowMessage(this, Q(t::TenDigits), Q(t::MessageCaption), MessageIcon::Information);
    return;
  }
  const FdxaCode sent = FdxaWritable(std::span<const std::uint8_t, FdxaLength>(entered.data(), FdxaLength));
  WriteSingleTag("fdxa", Identity(sent.begin(), sent.end()), t::WriteOk, t::WriteError);
}

void CAtaFdxa::keyPressEvent(QKeyEvent* event) {
  if (!ReadOnEnter(*event, [this] { Read(); })) QWidget::keyPressEvent(event);
}

}  // namespace rivelo
