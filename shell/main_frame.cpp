#include "shell/main_frame.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "batch/run_log.h"
#include "reader/commands.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "resources/texts_run_log.h"
#include "resources/texts_shell.h"
#include "shell/card_menu.h"
#include "shell/dialogs.h"
#include "shell/fonts.h"
#include "shell/my_static.h"
#include "shell/rivelo_view.h"
#include "shell/tab_containers.h"

namespace rivelo {
namespace {

constexpr std::uint32_t StatusBackground = 0xD8E9EC;
constexpr std::uint32_t FailureColour = 0x0000FF;  // red
constexpr std::uint32_t SuccessColour = 0x008000;  // green
constexpr int AcknowledgeValue = 10;

QString Q(const TextPair& text) { return QString::fromUtf8(Text(text)); }

// After a scan that found no reader: how to get access to a port refused for lack of
// permission (the likeliest reader's), or nothing when none was refused so.
QString PermissionHint(const ConnectResult& result) {
  const PortAttempt* refused = PermissionRefusal(result.refused);
  if (refused == nullptr) return {};
  const QString port = QString::fromStdString(refused->port);
  if (refused->accessGroup.empty()) return Q(shell_text::PortPermissionNoGroup).arg(port);
  return Q(shell_text::PortPermissionHint).arg(port, QString::fromStdString(refused->accessGroup));
}

}  // namespace

CMainFrame::CMainFrame(PortSource ports, PageInstaller installPages, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ports_(std::move(ports)),
      view_(new CRiveloView(this, installPages)) {
  DeviceConnected = 0;
  setWindowTitle(Q(shell_text::WindowTitle));
  setFixedSize(Width, Height);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - Width) / 2, area.y() + (area.height() - Height) / 2);
  }
  setCentralWidget(view_);
  BuildMenu();
  BuildToolBar();
  previousSink_ = SetStatusSink([this](int kind, const QString& text) { OnStatusMessage(kind, text); });
}

CMainFrame::~CMainFrame() { SetStatusSink(std::move(previousSink_)); }

void CMainFrame::BuildMenu() {
  QMenu* file = menuBar()->addMenu(Q(shell_text::FileMenu));
  file->addAction(Q(texts::run_log::MenuItem), this, &CMainFrame::OnRunLog);
  for (const CardMenuEntry& e : FileMenuEntries()) file->addAction(Q(*e.text), this, [this, open = e.open] { open(this); });
  file->addAction(Q(shell_text::ExitItem), this, &QWidget::close);
  QMenu* card = menuBar()->addMenu(Q(shell_text::CardMenu));
  card->addAction(Q(shell_text::Em4100Item), view_, &CRiveloView::ShowEm4305);
  card->addAction(Q(shell_text::T5577Item), view_, &CRiveloView::ShowT5577);
  for (const CardMenuEntry& e : CardMenuEntries()) card->addAction(Q(*e.text), this, [this, open = e.open] { open(this); });
  QMenu* help = menuBar()->addMenu(Q(shell_text::HelpMenu));
  help->addAction(Q(shell_text::AboutItem), this, &CMainFrame::OnAbout);
  helpMenu_ = help->menuAction();
}

QMenu* CMainFrame::AddMenuBeforeHelp(const QString& title) {
  auto* menu = new QMenu(title, menuBar());
  menuBar()->insertMenu(helpMenu_, menu);
  return menu;
}

void CMainFrame::BuildToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("toolbar"));
  bar->setObjectName(QStringLiteral("toolbar"));
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(16, 16));
  const QFont font = ToolbarFont();

  connect_ = new QPushButton(Q(shell_text::ConnectButton), bar);
  connect_->setObjectName(QStringLiteral("connect"));
  disconnect_ = new QPushButton(Q(shell_text::DisconnectButton), bar);
  disconnect_->setObjectName(QStringLiteral("disconnect"));
  for (QPushButton* b : {connect_, disconnect_}) {
    b->setFont(font);
    b->setFixedWidth(80);
  }
  tip_ = new QLabel(Q(shell_text::TipLabel), bar);
  tip_->setFont(font);
  tip_->setFixedWidth(30);
  tip_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  status_ = new CMyStatic(bar);
  status_->setObjectName(QStringLiteral("status"));
  status_->setFont(font);
  status_->setFixedWidth(400);
  status_->SetBkColour(StatusBackground);
  status_->SetTextColour(FailureColour);
  status_->setText(Q(shell_text::NoDeviceConnect));
  plain_ = new QToolButton(bar);
  plain_->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
  plain_->setEnabled(false);

  bar->addWidget(connect_);
  bar->addSeparator();
  bar->addWidget(disconnect_);
  bar->addSeparator();
  bar->addWidget(tip_);
  bar->addWidget(status_);
  bar->addWidget(plain_);

  QObject::connect(connect_, &QPushButton::clicked, this, &CMainFrame::OnConnectDevice);
  QObject::connect(disconnect_, &QPushButton::clicked, this, &CMainFrame::OnDisconnectDevice);
}

void CMainFrame::OnStatusMessage(int kind, const QString& text) {
  switch (kind) {
    case StatusKindFailure:
      status_->SetBkColour(StatusBackground);
      status_->SetTextColour(FailureColour);
      status_->setText(connected_ != 0 ? text : Q(shell_text::NoDeviceConnect));
      break;
    case StatusKindSuccess:
      // The reader beeps or flashes for every success; on a closed port this fails quietly.
      CmdAcknowledge(AcknowledgeValue, ReaderPortIndex);
      [[fallthrough]];
    case StatusKindInfo:
      status_->SetBkColour(StatusBackground);
      status_->SetTextColour(SuccessColour);
      status_->setText(text);
      break;
    default:
      return;
  }
  status_->setToolTip(QString());
  // Synchronous delivery: the text is painted before the page's call returns.
  status_->repaint();
}

void CMainFrame::OnConnectDevice() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::optional<std::vector<std::string>> ports = ports_ ? ports_() : std::nullopt;
  if (!ports) {
    QApplication::restoreOverrideCursor();
    ShowMessage(this, Q(shell_text::PortListError), Q(shell_text::PortListErrorCaption), MessageIcon::Error,
                MessageButtons::Ok);
    return;
  }
  const ConnectResult result = ConnectDevice(*ports);
  QApplication::restoreOverrideCursor();
  if (result.found) {
    connected_ = 1;
    PostStatus(StatusKindSuccess, Q(shell_text::DeviceConnectedText));
  } else {
    // The error text shows while the previous connection is still on record; then the frame
    // follows DeviceConnected, which the failed scan cleared (slot 0 is closed).
    PostStatus(StatusKindFailure, Q(shell_text::ConnectError));
    connected_ = 0;
    // The operator can mend a refused permission; that says more than "No device connect".
    if (const QString hint = PermissionHint(result); !hint.isEmpty()) {
      status_->setText(hint);
      status_->setToolTip(hint);  // the field may be too narrow for all of it
      status_->repaint();
    }
  }
}

void CMainFrame::OnDisconnectDevice() {
  DisconnectDevice();
  connected_ = 0;
  PostStatus(StatusKindFailure, Q(shell_text::NoDeviceConnect));
}

void CMainFrame::OnRunLog() {
  const QString folder = ChooseFolder(this, Q(texts::run_log::FolderPrompt));
  if (folder.isEmpty()) return;  // cancelled: the log stays as it was
  SetRunLogFolder(folder.toStdString());
  PostStatus(StatusKindInfo, Q(texts::run_log::FolderChosen) + folder);
}

void CMainFrame::OnAbout() {
  QDialog about(this);
  about.setWindowTitle(Q(shell_text::AboutCaption));
  auto* layout = new QVBoxLayout(&about);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(&about);
  icon->setPixmap(windowIcon().pixmap(32, 32));
  row->addWidget(icon);
  row->addWidget(new QLabel(Q(shell_text::AboutProduct).arg(QStringLiteral(RIVELO_VERSION)), &about), 1);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(&about);
  buttons->addButton(Q(shell_text::AboutOk), QDialogButtonBox::AcceptRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
  layout->addWidget(buttons);
  ExecDialog(about);
}

}  // namespace rivelo
