// Placement of page controls in dialog units, as the pages' dialog templates give them. Dialog
// units become pixels with the 8-point dialog font's factors (6 x 13 per 4 x 8 units), which
// fills the 880 x 640 main window as the original did.
#pragma once

#include <QRect>
#include <QString>

class QPushButton;
class QWidget;

namespace rivelo {

QRect Dlu(int x, int y, int width, int height);

template <typename W>
W* Place(W* widget, int x, int y, int width, int height) {
  widget->setGeometry(Dlu(x, y, width, height));
  return widget;
}

// A push-like toggle (Write, Read, Keyboard Out): pressed while its job runs. It is never a
// default button, so Enter cannot start a job.
QPushButton* MakeToggle(const QString& caption, QWidget* parent);

}  // namespace rivelo
