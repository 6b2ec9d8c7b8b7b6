// A text label with its own text and background colours; the main window's status field.
#pragma once

#include <QColor>
#include <QLabel>

#include <cstdint>

namespace rivelo {

// Colours are given as 0x00BBGGRR (the Windows COLORREF layout the colour values come in).
QColor ColourFromBgr(std::uint32_t colour);

class CMyStatic : public QLabel {
  Q_OBJECT

 public:
  explicit CMyStatic(QWidget* parent = nullptr);

  void SetBkColour(std::uint32_t colour);
  void SetTextColour(std::uint32_t colour);
  std::uint32_t BkColour() const { return bkColour_; }
  std::uint32_t TextColour() const { return textColour_; }

 protected:
  // Fills the background itself: containers such as tool bars do not honour autoFillBackground.
  void paintEvent(QPaintEvent* event) override;

 private:
  std::uint32_t bkColour_ = 0;
  std::uint32_t textColour_ = 0;
};

}  // namespace rivelo
