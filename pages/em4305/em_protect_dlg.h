// The EM4305 word-lock dialog: shows which words the protection word in force protects and
// protects the checked words. Protection only adds: nothing here can unlock a word.
//
// A new dialog is made for each opening, so every box starts clear; it is run through the
// Dialogs seam and never waits in a modal loop of its own.
#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;

namespace rivelo {

class CEmProtectDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int BoxCount = 15;  // words 0 to 13, then the protection words together

  explicit CEmProtectDlg(QWidget* parent = nullptr);

  std::array<QCheckBox*, BoxCount> lockBox{};
  QPushButton *lockedNowButton = nullptr, *lockButton = nullptr;

  void OnGetLocked();
  void OnLock();

 private:
  std::array<int, BoxCount> m_wordLocked{};
};

}  // namespace rivelo
