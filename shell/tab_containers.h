// The two tag-family containers: a tab widget with its tabs along the bottom edge, one page
// per tab; only the selected page is shown, and hidden pages keep their inputs and timers.
#pragma once

#include <QWidget>

class QTabWidget;

namespace rivelo {

class CTabContainer : public QWidget {
  Q_OBJECT

 public:
  explicit CTabContainer(QWidget* parent = nullptr);

  // Adds page as the next tab; the container owns it from then on. Returns the tab index.
  int AddPage(QWidget* page, const QString& caption);
  int PageCount() const;
  QWidget* Page(int index) const;
  int CurrentIndex() const;
  // Selecting an index that has no page changes nothing.
  void SelectPage(int index);

  QTabWidget* Tabs() const { return tabs_; }

 private:
  QTabWidget* tabs_;
};

// The T5577 (ATA5567) pages.
class CAtaTabDlg : public CTabContainer {
  Q_OBJECT

 public:
  explicit CAtaTabDlg(QWidget* parent = nullptr);
};

// The EM4305 pages; the container shown at start.
class EM4305TabDlg : public CTabContainer {
  Q_OBJECT

 public:
  explicit EM4305TabDlg(QWidget* parent = nullptr);
};

}  // namespace rivelo
