#include "pages/common/group_box.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace rivelo {

GroupBox::GroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

QRect GroupBox::TitleRect() const {
  if (title().isEmpty()) return {};
  const QFontMetrics metrics = fontMetrics();
  // Indented by about one character, with a little space either side where the line stops.
  const int pad = 2;
  return QRect(metrics.averageCharWidth(), 0, metrics.horizontalAdvance(title()) + 2 * pad, metrics.height());
}

void GroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect label = TitleRect();
  const QRect frame = rect().adjusted(0, label.isEmpty() ? 0 : label.center().y(), 0, 0);
  if (!label.isEmpty()) painter.setClipRegion(QRegion(rect()).subtracted(QRegion(label)));
  qDrawShadeRect(&painter, frame, palette(), true, 1, 0);
  painter.setClipping(false);
  if (!label.isEmpty()) {
    style()->drawItemText(&painter, label, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), title(),
                          QPalette::WindowText);
  }
}

}  // namespace rivelo
