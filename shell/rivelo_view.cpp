#include "shell/rivelo_view.h"

#include "shell/tab_containers.h"

namespace rivelo {

CRiveloView::CRiveloView(QWidget* parent, PageInstaller installPages)
    : QStackedWidget(parent), ata_(new CAtaTabDlg(this)), em4305_(new EM4305TabDlg(this)) {
  addWidget(ata_);
  addWidget(em4305_);
  if (installPages) installPages(*ata_, *em4305_);
  for (CTabContainer* c : {static_cast<CTabContainer*>(ata_), static_cast<CTabContainer*>(em4305_)}) {
    c->SelectPage(0);
  }
  ShowEm4305();
}

void CRiveloView::ShowT5577() { setCurrentWidget(ata_); }

void CRiveloView::ShowEm4305() { setCurrentWidget(em4305_); }

bool CRiveloView::T5577Shown() const { return currentWidget() == ata_; }

}  // namespace rivelo
