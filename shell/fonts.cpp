#include "shell/fonts.h"

#include <QApplication>
#include <QStringList>

namespace rivelo {
namespace {

QStringList Families() {
  // SimSun (Windows), then the CJK fonts of Linux desktops; the first one installed wins.
  return {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei"),
          QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"), QStringLiteral("Droid Sans Fallback"),
          QStringLiteral("AR PL UMing CN"), QStringLiteral("Sans Serif")};
}

QFont Make(int points) {
  QFont font;
  font.setFamilies(Families());
  font.setPointSize(points);
  return font;
}

}  // namespace

QFont ToolbarFont() { return Make(10); }

void ApplyApplicationFont() { QApplication::setFont(Make(9)); }

}  // namespace rivelo
