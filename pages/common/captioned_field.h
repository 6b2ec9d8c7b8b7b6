// Entry fields carry the caption that stands beside them as their accessible name, so that a
// screen reader says what each field holds even where the caption is a radio button and no
// label is a buddy of the field.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace rivelo {

template <typename Edit>
Edit* CaptionedField(const QString& caption, QWidget* page) {
  auto* edit = new Edit(page);
  edit->setAccessibleName(caption);
  return edit;
}

// A caption over several boxes side by side names each box by its own part:
// "02H + 04H" gives "02H" and "04H".
inline QStringList CaptionParts(const QString& caption) { return caption.split(QStringLiteral(" + ")); }

}  // namespace rivelo
