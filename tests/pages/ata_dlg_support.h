// What the block editor's tests share: the page on the virtual reader, the chip's memory as
// the reader holds it, and the count of requests that reached the reader.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <cstdint>
#include <utility>

#include "pages/t5577/ata_dlg.h"
#include "reader/commands.h"
#include "reader_fixture.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {

// A failure status with the reason the page gives after it.
inline const char* const LockedBlock = ": the tag refused it, or no tag answered; the block may be locked";
inline const char* const PasswordMode =
    ": the tag refused it, or no tag answered; the chip may be password-protected: enter its password and use the "
    "buttons with password";
inline std::pair<int, QString> Failure(const char* text, const char* reason) { return {0, U(text) + U(reason)}; }

// Block combo index of a block: blocks 1 to 7 come first, block 0 last.
inline int BlockIndex(int block) { return block == 0 ? 7 : block - 1; }

struct AtaBench {
  ReaderFixture& f;
  int tag = -1;

  // Puts the tag on the reader and connects.
  bool Start(const char* tagText) {
    tag = f.reader->AddTag(tagText);
    return tag >= 0 && f.Connect();
  }
  // Page 0 blocks 0-7, then page 1 blocks 0-3.
  std::uint32_t Word(int slot) const { return f.reader->Memory(tag)->words[static_cast<std::size_t>(slot)]; }
  bool Locked(int slot) const { return f.reader->Memory(tag)->locked[static_cast<std::size_t>(slot)]; }
  int Requests() const { return f.reader->GetCounters().requests; }
  std::pair<int, QString> LastStatus() const {
    return f.statuses.empty() ? std::pair<int, QString>{-1, {}} : f.statuses.back();
  }
};

inline void Select(CAtaDlg& page, int pageNumber, int block, int lock = 0) {
  page.pageCombo->setCurrentIndex(pageNumber);
  page.blockCombo->setCurrentIndex(BlockIndex(block));
  page.lockCombo->setCurrentIndex(lock);
}

inline QString Field(const CAtaDlg& page, int block) { return page.blockEdit[static_cast<std::size_t>(block)]->text(); }
inline void SetField(CAtaDlg& page, int block, const QString& text) {
  page.blockEdit[static_cast<std::size_t>(block)]->setText(text);
}

}  // namespace rivelo
