#include "pages/em4100/ata_em4100_dlg.h"

#include <QLineEdit>

#include "batch/em4100_profile.h"
#include "pages/common/dialog_keys.h"
#include "pages/common/tag_passwords.h"
#include "resources/texts_ata_em4100.h"
#include "resources/texts_batch.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

namespace t = texts::ata_em4100;

QString Q(const std::string& text) { return QString::fromStdString(text); }

BatchTexts AtaEm4100BatchTexts() {
  BatchTexts x;
  x.fileOpened = t::FileOpened;
  x.fileLoaded = t::FileLoaded;
  x.counted = t::Counted;
  x.numbered = t::Numbered;
  x.stop = t::StopLine;
  x.exportStarted = t::ExportStarted;
  x.exportStartedEnd = t::ExportStartedEnd;
  x.notConnected = t::NotConnected;
  x.writing = t::Writing;
  x.reading = t::Reading;
  x.folderPrompt = t::FolderPrompt;
  x.folderCancelled = t::FolderCancelled;
  x.cannotOpen = t::CannotOpen;
  x.exportCannotCreate = t::ExportCannotCreate;
  x.exportCannotWrite = t::ExportCannotWrite;
  x.writeOk = t::WriteOk;
  x.writeError = t::WriteError;
  x.readOk = t::ReadOk;
  x.readError = t::ReadError;
  x.wrongLength = texts::batch::WrongLength();
  return x;
}

}  // namespace

BatchProfile MakeAtaEm4100Profile() {
  BatchProfile p;
  p.format = &Em4100Format();
  p.page = "EM4100/T5577";
  p.periodMs = 500;
  p.ops.read = ReadEm4100Tag;
  p.ops.writes = {T5577Em4100Write()};
  // Never locked; the export line is always the whole value, which a batch file reads back.
  p.choices = [] { return WithTagPasswords({0, static_cast<std::size_t>(Em4100Form::Dec13)}); };
  p.texts = AtaEm4100BatchTexts();
  return p;
}

CAtaEM4100Dlg::CAtaEM4100Dlg(QWidget* parent) : QWidget(parent) {
  BuildControls();
  Connect();
  SwallowDialogKeys(*this);
}

CAtaEM4100Dlg::~CAtaEM4100Dlg() = default;

void CAtaEM4100Dlg::Connect() {
  // Only the operator's own edits convert; the page's updates of the other fields do not echo.
  connect(hex10, &QLineEdit::textEdited, this, [this] { FieldEdited(T5577Em4100Field::Hex10); });
  connect(dec13, &QLineEdit::textEdited, this, [this] { FieldEdited(T5577Em4100Field::Dec13); });
}

T5577Em4100Fields CAtaEM4100Dlg::Fields() const {
  return {hex10->text().toStdString(), dec13->text().toStdString(), dec06->text().toStdString(),
          split->text().toStdString()};
}

void CAtaEM4100Dlg::SetFields(const T5577Em4100Fields& f) {
  // setText never emits textEdited, so these updates start no conversion of their own.
  auto set = [](QLineEdit* e, const std::string& s) {
    if (e->text() != Q(s)) e->setText(Q(s));
  };
  set(hex10, f.hex10);
  set(dec13, f.dec13);
  set(dec06, f.dec06);
  set(split, f.split);
}

void CAtaEM4100Dlg::FieldEdited(T5577Em4100Field field) { SetFields(MirrorT5577Em4100Fields(field, Fields())); }

// IdentityPage

void CAtaEM4100Dlg::ShowReadIdentity(const Identity& id) { SetFields(T5577Em4100FieldsOf(ToEm4100Id(id))); }

void CAtaEM4100Dlg::ShowNextTarget(const Identity& id) {
  // The display-only fields keep what the last read showed.
  T5577Em4100Fields f = T5577Em4100FieldsOf(ToEm4100Id(id));
  f.dec06 = dec06->text().toStdString();
  f.split = split->text().toStdString();
  SetFields(f);
}

void CAtaEM4100Dlg::ClearIdentity() { SetFields({}); }

Identity CAtaEM4100Dlg::EnteredIdentity() { return Em4100Format().fromEntry(hex10->text().toStdString()); }

std::string CAtaEM4100Dlg::IncrementalListText() {
  return T5577Em4100ListText(dec13->text().toStdString(), ToEm4100Id(panel_->Runner().TargetId()));
}

}  // namespace rivelo
