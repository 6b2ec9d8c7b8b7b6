// The content of the main window: the two tag-family containers, one shown at a time.
#pragma once

#include <QStackedWidget>

namespace rivelo {

class CAtaTabDlg;
class EM4305TabDlg;

class CRiveloView : public QStackedWidget {
  Q_OBJECT

 public:
  // withPages false leaves both containers empty (tests add their own pages).
  explicit CRiveloView(QWidget* parent = nullptr, bool withPages = true);

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
