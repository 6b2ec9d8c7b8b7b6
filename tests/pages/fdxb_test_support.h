// What the FDX-B page tests share: the page as the operator has it (a window with the keyboard
// focus, fields typed into key by key), and the FDX-B identity a tag of the virtual reader
// carries in its memory.
#pragma once

#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QtTest>

#include <optional>
#include <vector>

#include "pages/tagformats/fdxb_page.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"
#include "sim/tag_formats.h"
#include "sim/virtual_reader.h"

namespace rivelo {

inline bool ShowActive(QWidget& page) {
  page.show();
  page.activateWindow();
  return QTest::qWaitForWindowActive(&page);
}

// Puts the cursor at the end of the field and types one key after the other.
inline void Type(QLineEdit* field, const QString& keys) {
  field->setFocus();
  field->end(false);
  for (const QChar c : keys) QTest::keyClick(field, c.toLatin1());
}

// Replaces the field's text by typing over it; an empty text empties it.
inline void Retype(QLineEdit* field, const QString& keys) {
  field->setFocus();
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Backspace);
  Type(field, keys);
}

// Types the national and country codes into their decimal fields and the trailer into its
// hex field, over what they held.
inline void Enter(FdxbPage& page, const QString& national, const QString& country, const QString& trailerHex) {
  Retype(page.dec[0], national);
  Retype(page.dec[1], country);
  Retype(page.hex[2], trailerHex);
}

// Hex and decimal of each row.
inline QStringList Fields(const FdxbPage& page) {
  QStringList f;
  for (int row = 0; row < 3; ++row) f << page.hex[row]->text() << page.dec[row]->text();
  return f;
}

// "999-274877906943/ABCDEF": country, national code, trailer.
inline QString FdxbText(unsigned country, unsigned long long national, unsigned trailer) {
  return QString("%1-%2/%3")
      .arg(country, 3, 10, QChar('0'))
      .arg(national, 12, 10, QChar('0'))
      .arg(trailer, 6, 16, QChar('0'))
      .toUpper();
}

// The identity in the tag's memory as the chip sends it (T5577 blocks 1-4 after its FDX-B
// configuration, EM4305 words 5-8 after its own); empty when it holds none.
inline QString FdxbInMemory(const sim::VirtualReader& reader, const sim::TagInfo& tag) {
  const auto memory = reader.Memory(tag.id);
  if (!memory) return {};
  std::vector<std::uint32_t> frame;
  const auto& w = memory->words;
  if (tag.kind == "t5577" && w[0] == sim::T5577ConfigFdxb) frame.assign(w.begin() + 1, w.begin() + 5);
  if (tag.kind == "em4305" && w[4] == sim::Em4305ConfigFdxb)
    for (int i = 5; i < 9; ++i) frame.push_back(sim::Reverse32(w[static_cast<std::size_t>(i)]));
  const std::optional<sim::FdxbIdentity> id = frame.empty() ? std::nullopt : sim::DecodeFdxb(frame);
  return id ? FdxbText(id->country, static_cast<unsigned long long>(id->national), id->trailer) : QString();
}

// The identities of the fed chips, in the order they were fed.
inline QStringList FedFdxb(const sim::VirtualReader& reader) {
  QStringList ids;
  for (const sim::TagInfo& t : reader.Tags())
    if (t.fed) ids << FdxbInMemory(reader, t);
  return ids;
}

}  // namespace rivelo
