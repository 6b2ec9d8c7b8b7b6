#include "shell/my_static.h"

#include <QPainter>
#include <QPalette>

namespace rivelo {

QColor ColourFromBgr(std::uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

CMyStatic::CMyStatic(QWidget* parent) : QLabel(parent) {
  // Fixed roles: inside a tool bar the inherited ones would be the button colours.
  setBackgroundRole(QPalette::Window);
  setForegroundRole(QPalette::WindowText);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CMyStatic::SetBkColour(std::uint32_t colour) {
  bkColour_ = colour;
  QPalette p = palette();
  p.setColor(QPalette::Window, ColourFromBgr(colour));
  setPalette(p);
}

void CMyStatic::SetTextColour(std::uint32_t colour) {
  textColour_ = colour;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, ColourFromBgr(colour));
  setPalette(p);
}

void CMyStatic::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
  }
  QLabel::paintEvent(event);
}

}  // namespace rivelo
