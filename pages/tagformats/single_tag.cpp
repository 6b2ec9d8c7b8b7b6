#include "pages/tagformats/single_tag.h"

#include <QKeyEvent>

#include "batch/format_table.h"
#include "pages/common/tag_passwords.h"
#include "pages/common/tag_reason.h"
#include "shell/status.h"

namespace rivelo {

void WriteSingleTag(const char* format, const Identity& id, const char* okText, const char* failText) {
  // The write command's own answer does not tell a refusal from success: the read-back decides.
  const TagResult result =
      WriteAndReadBack(FindFormatEntry(format)->profile([] { return WithTagPasswords(); }), id, WithTagPasswords());
  if (result.ok()) PostStatus(StatusKindSuccess, QString::fromUtf8(okText));
  else PostStatus(StatusKindFailure, WithTagReason(QString::fromUtf8(failText), result, TagChip::T5577));
}

bool ReadOnEnter(QKeyEvent& event, const std::function<void()>& read) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event.accept();
      read();
      return true;
    case Qt::Key_Escape: event.accept(); return true;
    default: return false;
  }
}

}  // namespace rivelo
