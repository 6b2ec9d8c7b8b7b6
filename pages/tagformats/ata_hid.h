// The HID 26-bit page for the T5577: facility code and card number, each in a hex and a
// decimal field that mirror each other, read from the tag on the reader or written onto a
// T5577; and the 26-bit frame that identity makes, with its parity bits. No runs.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace rivelo {

class CDecEdit;
class CHexEdit;

class CHidDlg : public QWidget {
  Q_OBJECT

 public:
  explicit CHidDlg(QWidget* parent = nullptr);

  void Read();
  void Write();

  CHexEdit* hexFacility = nullptr;
  CHexEdit* hexCard = nullptr;
  CDecEdit* decFacility = nullptr;
  CDecEdit* decCard = nullptr;
  QLabel* frameCaption = nullptr;
  QLabel* frame = nullptr;  // 7 hex digits, empty while a field is
  QPushButton* readButton = nullptr;
  QPushButton* writeButton = nullptr;

 protected:
  // Enter reads, as the page's default button; Escape does nothing.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void HexEdited(CHexEdit& own, CDecEdit& partner, int digits);
  void DecEdited(CDecEdit& own, CHexEdit& partner, int bytes);
  void ShowFrame();
};

}  // namespace rivelo
