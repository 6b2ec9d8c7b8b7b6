// The main window: menu, the toolbar with the connect buttons and the status field, and the
// view with the tag-family containers.
#pragma once

#include <QMainWindow>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/page_installer.h"
#include "shell/status.h"

class QAction;
class QMenu;
class QPushButton;
class QLabel;
class QToolButton;

namespace rivelo {

class CMyStatic;
class CRiveloView;

// The ports a connect scans, in order; nullopt when the system's list cannot be read.
using PortSource = std::function<std::optional<std::vector<std::string>>()>;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int Width = 880;
  static constexpr int Height = 640;

  // Without an installer the containers stay empty (tests of the shell add their own pages).
  explicit CMainFrame(PortSource ports, PageInstaller installPages = nullptr, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CRiveloView& View() const { return *view_; }
  CMyStatic& StatusField() const { return *status_; }
  QPushButton& ConnectButton() const { return *connect_; }
  QPushButton& DisconnectButton() const { return *disconnect_; }
  int Connected() const { return connected_; }

  // The status handler of every PostStatus while this window exists.
  void OnStatusMessage(int kind, const QString& text);

  // Adds a menu before Help (the simulation menu).
  QMenu* AddMenuBeforeHelp(const QString& title);
  // The Card menu, where the pages add their dialogs' entries.
  QMenu& CardMenu() const { return *card_; }

 public slots:
  void OnConnectDevice();
  void OnDisconnectDevice();
  void OnAbout();
  // File -> Run log...: the folder where every write run records its tags.
  void OnRunLog();

 private:
  void BuildMenu();
  void BuildToolBar();

  PortSource ports_;
  CRiveloView* view_;
  QPushButton* connect_ = nullptr;
  QPushButton* disconnect_ = nullptr;
  QLabel* tip_ = nullptr;
  CMyStatic* status_ = nullptr;
  QToolButton* plain_ = nullptr;
  QAction* helpMenu_ = nullptr;
  QMenu* card_ = nullptr;
  StatusSink previousSink_;
  int connected_ = 0;  // kept equal to DeviceConnected; the status field reads it
};

}  // namespace rivelo
