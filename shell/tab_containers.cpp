#include "shell/tab_containers.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace rivelo {

CTabContainer::CTabContainer(QWidget* parent) : QWidget(parent), tabs_(new QTabWidget(this)) {
  tabs_->setObjectName(QStringLiteral("tabs"));
  tabs_->setTabPosition(QTabWidget::South);
  tabs_->setDocumentMode(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tabs_);
}

int CTabContainer::AddPage(QWidget* page, const QString& caption) { return tabs_->addTab(page, caption); }

int CTabContainer::PageCount() const { return tabs_->count(); }

QWidget* CTabContainer::Page(int index) const { return tabs_->widget(index); }

int CTabContainer::CurrentIndex() const { return tabs_->currentIndex(); }

void CTabContainer::SelectPage(int index) {
  if (index >= 0 && index < tabs_->count()) tabs_->setCurrentIndex(index);
}

CAtaTabDlg::CAtaTabDlg(QWidget* parent) : CTabContainer(parent) { setObjectName(QStringLiteral("CAtaTabDlg")); }

EM4305TabDlg::EM4305TabDlg(QWidget* parent) : CTabContainer(parent) {
  setObjectName(QStringLiteral("EM4305TabDlg"));
}

}  // namespace rivelo
