#include "pages/common/dialog_layout.h"

#include <QPushButton>

namespace rivelo {

QRect Dlu(int x, int y, int width, int height) {
  auto px = [](int v) { return (v * 3 + 1) / 2; };   // 6 / 4
  auto py = [](int v) { return (v * 13 + 4) / 8; };  // 13 / 8
  return QRect(px(x), py(y), px(width), py(height));
}

QPushButton* MakeToggle(const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setCheckable(true);
  button->setAutoDefault(false);
  return button;
}

}  // namespace rivelo
