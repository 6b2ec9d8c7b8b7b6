// The content of the main window: the two tag-family containers, one shown at a time.
#pragma once

#include <QStackedWidget>

#include "shell/page_installer.h"

namespace rivelo {

class CAtaTabDlg;
class EM4305TabDlg;

class CRiveloView : public QStackedWidget {
  Q_OBJECT

 public:
  // Without an installer both containers stay empty (tests of the shell add their own pages).
  explicit CRiveloView(QWidget* parent = nullptr, PageInstaller installPages = nullptr);

  CAtaTabDlg& AtaTabs() const { return *ata_; }
  EM4305TabDlg& Em4305Tabs() const { return *em4305_; }

  void ShowT5577();  // command 32780
  void ShowEm4305();  // command 32781, Card -> EM4100
  bool T5577Shown() const;

 private:
  CAtaTabDlg* ata_;
  EM4305TabDlg* em4305_;
};

}  // namespace rivelo
