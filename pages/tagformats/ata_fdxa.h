// The FDX-A page for the T5577: one code of ten hex digits, read from the tag on the reader or
// written onto a T5577. No runs.
#pragma once

#include <QWidget>

class QPushButton;

namespace rivelo {

class CHexEdit;

class CAtaFdxa : public QWidget {
  Q_OBJECT

 public:
  explicit CAtaFdxa(QWidget* parent = nullptr);

  void Read();
  void Write();

  CHexEdit* code = nullptr;
  QPushButton* readButton = nullptr;
  QPushButton* writeButton = nullptr;

 protected:
  // Enter reads, as the page's default button; Escape does nothing.
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace rivelo
