// The main window: status display, view commands, tab containers and connecting.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "fake_device.h"
#include "batch/run_log.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "resources/language.h"
#include "shell/main_frame.h"
#include "shell/my_static.h"
#include "shell/rivelo_view.h"
#include "shell/scripted_dialogs.h"
#include "shell/tab_containers.h"

using namespace rivelo;
using rivelo::test::FakeDevice;

namespace {

constexpr int Acknowledge = 0x103;
constexpr int GetDeviceInfo = 0x102;
const QColor Red(0xFF, 0, 0);
const QColor Green(0, 0x80, 0);

QAction* FindAction(QWidget& frame, const QString& text) {
  for (QAction* a : frame.findChildren<QAction*>()) {
    if (a->text() == text) return a;
  }
  return nullptr;
}

// The status field as drawn inside the tool bar: does it show its background and text colours?
bool Drawn(QWidget& field, const QColor& text) {
  const QImage image = field.grab().toImage();
  bool background = false, ink = false;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      background = background || c == QColor(0xEC, 0xE9, 0xD8);
      ink = ink || c == text;
    }
  }
  return background && ink;
}

int CountOf(const std::vector<int>& v, int x) { return static_cast<int>(std::count(v.begin(), v.end(), x)); }

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

  std::optional<std::vector<std::string>> ports_ = std::vector<std::string>{};

  std::unique_ptr<CMainFrame> MakeFrame() {
    return std::make_unique<CMainFrame>([this] { return ports_; });
  }
  static QString Shown(const CMainFrame& f) { return f.StatusField().text(); }
  static QColor Colour(const CMainFrame& f) { return f.StatusField().palette().color(QPalette::WindowText); }

 private slots:
  void cleanup() {
    DisconnectDevice();
    SetLanguage(Language::English);
    ports_ = std::vector<std::string>{};
  }

  void windowIsFixedAndStartsDisconnected() {
    DeviceConnected = 1;  // the frame starts from "not connected" whatever came before
    auto frame = MakeFrame();
    QCOMPARE(DeviceConnected, 0);
    QCOMPARE(frame->Connected(), 0);
    QCOMPARE(frame->size(), QSize(880, 640));
    QCOMPARE(frame->minimumSize(), frame->maximumSize());
    QCOMPARE(Shown(*frame), QString("No device connect"));
    QCOMPARE(Colour(*frame), Red);
    QCOMPARE(frame->StatusField().palette().color(QPalette::Window), QColor(0xEC, 0xE9, 0xD8));
  }

  void statusKindsColoursAndSubstitution() {
    auto frame = MakeFrame();
    frame->show();
    PostStatus(StatusKindInfo, "Writing......");
    QCOMPARE(Shown(*frame), QString("Writing......"));
    QCOMPARE(Colour(*frame), Green);
    QVERIFY(Drawn(frame->StatusField(), Green));
    PostStatus(StatusKindFailure, "Read error");  // nobody connected
    QCOMPARE(Shown(*frame), QString("No device connect"));
    QCOMPARE(Colour(*frame), Red);
    QVERIFY(Drawn(frame->StatusField(), Red));
    // Success on a closed port: the acknowledgement fails quietly, the text is green.
    PostStatus(StatusKindSuccess, "Read OK");
    QCOMPARE(Shown(*frame), QString("Read OK"));
    QCOMPARE(Colour(*frame), Green);
    PostStatus(7, "unknown kind");
    QCOMPARE(Shown(*frame), QString("Read OK"));
    QCOMPARE(Colour(*frame), Green);
  }

  void viewCommandsSwitchContainersAndPagesKeepTheirInputs() {
    auto frame = MakeFrame();
    CRiveloView& view = frame->View();
    auto* block = new QLineEdit;
    auto* id = new QLineEdit;
    view.AtaTabs().AddPage(block, " ATA5567 ");
    view.AtaTabs().AddPage(id, " ID卡（EM4100） ");
    auto* em = new QLineEdit;
    view.Em4305Tabs().AddPage(em, " ID（EM4100） ");
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    QCOMPARE(view.AtaTabs().Tabs()->tabPosition(), QTabWidget::South);

    QVERIFY(!view.T5577Shown());
    QVERIFY(view.Em4305Tabs().isVisible());
    QAction* em4100 = FindAction(*frame, "EM4100");
    QAction* t5577 = FindAction(*frame, "T5577");
    QVERIFY(em4100 && t5577);
    em4100->trigger();  // already shown: nothing changes
    QVERIFY(view.Em4305Tabs().isVisible() && !view.AtaTabs().isVisible());
    QTest::keyClicks(em, "0123456789");

    t5577->trigger();
    QVERIFY(view.AtaTabs().isVisible() && !view.Em4305Tabs().isVisible());
    QVERIFY(block->isVisible());
    QTest::keyClicks(block, "00148040");
    view.AtaTabs().SelectPage(1);
    QVERIFY(id->isVisible() && !block->isVisible());
    QTest::keyClicks(id, "AB");
    view.AtaTabs().SelectPage(5);  // no such tab
    QCOMPARE(view.AtaTabs().CurrentIndex(), 1);
    view.AtaTabs().SelectPage(0);
    em4100->trigger();
    t5577->trigger();
    QCOMPARE(view.AtaTabs().CurrentIndex(), 0);
    QCOMPARE(block->text(), QString("00148040"));
    QCOMPARE(id->text(), QString("AB"));
    QCOMPARE(em->text(), QString("0123456789"));
  }

  // The programs' pages arrive through the installer, before the containers pick their first page.
  void installerPutsThePagesIntoTheContainers() {
    static QLineEdit* installed[3];
    const PageInstaller install = [](CAtaTabDlg& ata, EM4305TabDlg& em4305) {
      ata.AddPage(installed[0] = new QLineEdit, " ATA5567 ");
      ata.AddPage(installed[1] = new QLineEdit, " ID卡（EM4100） ");
      em4305.AddPage(installed[2] = new QLineEdit, " ID（EM4100） ");
    };
    CMainFrame frame([this] { return ports_; }, install);
    QCOMPARE(frame.View().AtaTabs().PageCount(), 2);
    QCOMPARE(frame.View().AtaTabs().Page(0), installed[0]);
    QCOMPARE(frame.View().AtaTabs().CurrentIndex(), 0);
    QCOMPARE(frame.View().Em4305Tabs().Page(0), installed[2]);
    QCOMPARE(frame.View().Em4305Tabs().CurrentIndex(), 0);
    QVERIFY(!frame.View().T5577Shown());
  }

  void connectAcknowledgesAndShowsGreen() {
    FakeDevice reader("ID card reader & writer");
    ports_ = std::vector<std::string>{reader.Path()};
    auto frame = MakeFrame();
    QTest::mouseClick(&frame->ConnectButton(), Qt::LeftButton);
    QCOMPARE(Shown(*frame), QString("Device connected"));
    QCOMPARE(Colour(*frame), Green);
    QCOMPARE(frame->Connected(), 1);
    QCOMPARE(DeviceConnected, 1);
    QCOMPARE(reader.Commands(), (std::vector<int>{GetDeviceInfo, Acknowledge}));
    QCOMPARE(reader.FirstDataBytes().back(), 10);
    // Connected: a page's failure text is shown as it is.
    PostStatus(StatusKindFailure, "Read error");
    QCOMPARE(Shown(*frame), QString("Read error"));

    QTest::mouseClick(&frame->DisconnectButton(), Qt::LeftButton);
    QCOMPARE(Shown(*frame), QString("No device connect"));
    QCOMPARE(Colour(*frame), Red);
    QCOMPARE(frame->Connected(), 0);
    QCOMPARE(DeviceConnected, 0);
    QVERIFY(!PortAt(ReaderPortIndex)->IsOpen());
    // Disconnecting again changes nothing and says the same.
    frame->OnDisconnectDevice();
    QCOMPARE(Shown(*frame), QString("No device connect"));
  }

  void deviceWithAnotherTextIsSkippedAndALeadingPartAccepted() {
    FakeDevice other("ID card reader & writes");
    FakeDevice partial("ID card");
    ports_ = std::vector<std::string>{other.Path()};
    auto frame = MakeFrame();
    frame->OnConnectDevice();
    QCOMPARE(Shown(*frame), QString("No device connect"));  // first attempt: not connected
    QCOMPARE(frame->Connected(), 0);
    QCOMPARE(DeviceConnected, 0);
    QVERIFY(!PortAt(ReaderPortIndex)->IsOpen());

    ports_ = std::vector<std::string>{other.Path(), partial.Path()};
    frame->OnConnectDevice();
    QCOMPARE(Shown(*frame), QString("Device connected"));
    QCOMPARE(CountOf(other.Commands(), GetDeviceInfo), 2);
    QCOMPARE(CountOf(other.Commands(), Acknowledge), 0);
    QCOMPARE(CountOf(partial.Commands(), Acknowledge), 1);
  }

  void secondConnectRescansAndAFailedOneLeavesNothingConnected() {
    FakeDevice silent(std::nullopt);
    FakeDevice first("ID card reader & writer");
    FakeDevice second("ID card reader & writer");
    ports_ = std::vector<std::string>{first.Path(), second.Path()};
    auto frame = MakeFrame();
    frame->OnConnectDevice();
    QCOMPARE(frame->Connected(), 1);
    // Connecting again closes the port and starts from the first listed one again.
    frame->OnConnectDevice();
    QCOMPARE(CountOf(first.Commands(), GetDeviceInfo), 2);
    QVERIFY(second.Commands().empty());
    QCOMPARE(Shown(*frame), QString("Device connected"));

    // Now nothing answers: the error is reported, and nothing is left flagged as connected.
    ports_ = std::vector<std::string>{silent.Path()};
    frame->OnConnectDevice();
    QCOMPARE(Shown(*frame), QString("Connect device error, try again"));
    QCOMPARE(Colour(*frame), Red);
    QCOMPARE(frame->Connected(), 0);
    QCOMPARE(DeviceConnected, 0);
    QVERIFY(!PortAt(ReaderPortIndex)->IsOpen());
    QCOMPARE(CountOf(silent.Commands(), GetDeviceInfo), 1);
    PostStatus(StatusKindFailure, "Write error");
    QCOMPARE(Shown(*frame), QString("No device connect"));
  }

  void unreadablePortListShowsTheErrorBox() {
    ScriptedDialogs dialogs;
    ports_ = std::nullopt;
    auto frame = MakeFrame();
    PostStatus(StatusKindInfo, "before");
    frame->OnConnectDevice();
    QCOMPARE(dialogs.requests.size(), std::size_t(1));
    QCOMPARE(dialogs.requests[0].text, QString("Open Regedit Error"));
    QCOMPARE(dialogs.requests[0].caption, QString("ERROR"));
    QCOMPARE(dialogs.requests[0].icon, MessageIcon::Error);
    QCOMPARE(Shown(*frame), QString("before"));  // no status for this failure
  }

  void textsOfBothBuilds() {
    struct Expected {
      Language language;
      const char* title;
      const char* connect;
      const char* disconnect;
      const char* none;
      const char* connected;
      const char* about;
      const char* error;
    };
    const Expected builds[] = {
        {Language::English, "Brisendor", "Conn Dev", "Disc Dev", "No device connect", "Device connected",
         "About(&A)...", "Connect device error, try again"},
        {Language::Chinese, "Corvane", "连接", "断开", "没有连接读写器", "连接上了读写器", "About Corvane(&A)...",
         "连接错误，请再试一次"},
    };
    for (const Expected& e : builds) {
      SetLanguage(e.language);
      FakeDevice reader("ID card reader & writer");
      FakeDevice other("another device");
      ports_ = std::vector<std::string>{reader.Path()};
      auto frame = MakeFrame();
      QCOMPARE(frame->windowTitle(), QString::fromUtf8(e.title));
      QCOMPARE(frame->ConnectButton().text(), QString::fromUtf8(e.connect));
      QCOMPARE(frame->DisconnectButton().text(), QString::fromUtf8(e.disconnect));
      QCOMPARE(Shown(*frame), QString::fromUtf8(e.none));
      QVERIFY(FindAction(*frame, QString::fromUtf8(e.about)) != nullptr);
      QVERIFY(FindAction(*frame, "Exit(&X)") != nullptr);
      frame->OnConnectDevice();
      QCOMPARE(Shown(*frame), QString::fromUtf8(e.connected));
      ports_ = std::vector<std::string>{other.Path()};
      frame->OnConnectDevice();
      QCOMPARE(Shown(*frame), QString::fromUtf8(e.error));
      frame->OnDisconnectDevice();
      QCOMPARE(Shown(*frame), QString::fromUtf8(e.none));
    }
  }

  void runLogMenuChoosesTheFolderAndCancelKeepsIt() {
    ScriptedDialogs dialogs;
    SetRunLogFolder("");
    auto frame = MakeFrame();
    QAction* item = FindAction(*frame, "Run log(&L)...");
    QVERIFY(item != nullptr);
    dialogs.folders = {"/srv/tags"};
    item->trigger();
    QCOMPARE(RunLogFolder(), std::string("/srv/tags"));
    QCOMPARE(Shown(*frame), QString("Write runs are logged in /srv/tags"));
    item->trigger();  // no answer queued: cancelled
    QCOMPARE(RunLogFolder(), std::string("/srv/tags"));
    SetRunLogFolder("");
  }

  void aboutGoesThroughTheDialogInterface() {
    ScriptedDialogs dialogs;
    SetLanguage(Language::Chinese);
    auto frame = MakeFrame();
    QString button;
    QStringList labels;
    dialogs.customAnswer = [&](QDialog& d) {
      if (auto* b = d.findChild<QPushButton*>()) button = b->text();
      for (auto* l : d.findChildren<QLabel*>()) labels << l->text();
      return int(QDialog::Accepted);
    };
    frame->OnAbout();
    QCOMPARE(dialogs.requests.size(), std::size_t(1));
    QCOMPARE(dialogs.requests[0].text, QString::fromUtf8("关于 Corvane"));
    QCOMPARE(button, QString::fromUtf8("确定"));
    // The version the packages carry, not a number of its own.
    QVERIFY2(labels.join('\n').contains(QStringLiteral(RIVELO_VERSION)), qPrintable(labels.join('|')));
  }
};

QTEST_MAIN(MainFrameTest)
#include "test_main_frame.moc"
