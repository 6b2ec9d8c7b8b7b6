// Conn Dev on a port the user may not open, and on a reader plugged in after the window came up.
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

#include "fake_device.h"
#include "reader/discovery.h"
#include "resources/language.h"
#include "shell/main_frame.h"
#include "shell/my_static.h"
#include "tests/reader/fake_port_tree.h"
#include "tests/reader/refused_port.h"

using namespace rivelo;
using rivelo::test::FakeDevice;

class PortHintsTest : public QObject {
  Q_OBJECT

  static QString Shown(const CMainFrame& f) { return f.StatusField().text(); }
  static void Connect(CMainFrame& f) { QTest::mouseClick(&f.ConnectButton(), Qt::LeftButton); }

 private slots:
  void cleanup() {
    DisconnectDevice();
    SetLanguage(Language::English);
  }

  void refusedPortSaysWhichGroupToJoin() {
    FakeDevice silent(std::nullopt);
    FakeDevice reader("ID card reader & writer");
    std::vector<std::string> ports{"/dev/rivelo-no-such-port", silent.Path()};
    CMainFrame frame([&ports] { return ports; });
    QCOMPARE(::chmod(reader.Path().c_str(), 0666), 0);  // open to the identity the test takes
    test::RefusedPort refused(silent.Path());
    if (!refused.Ok()) QSKIP(refused.Why().c_str());
    const QString pty = QString::fromStdString(silent.Path());
    const QString group = QString::fromStdString(refused.Group());

    Connect(frame);
    const QString english =
        "No permission for " + pty + ": join group " + group + ", log in again (sudo usermod -aG " + group + " $USER)";
    QCOMPARE(Shown(frame), english);
    QCOMPARE(frame.StatusField().toolTip(), english);  // whole, where the field cuts it off
    QCOMPARE(frame.StatusField().palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    QCOMPARE(frame.Connected(), 0);

    SetLanguage(Language::Chinese);
    Connect(frame);
    QCOMPARE(Shown(frame), QString::fromUtf8("无权打开 ") + pty + QString::fromUtf8("：请加入 ") + group +
                               QString::fromUtf8(" 组并重新登录（sudo usermod -aG ") + group + " $USER）");

    // The next status replaces the hint, tip included.
    SetLanguage(Language::English);
    frame.OnDisconnectDevice();
    QCOMPARE(Shown(frame), QString("No device connect"));
    QVERIFY(frame.StatusField().toolTip().isEmpty());

    // A reader found behind the refused port is all that counts.
    ports.push_back(reader.Path());
    Connect(frame);
    QCOMPARE(Shown(frame), QString("Device connected"));
    QVERIFY(frame.StatusField().toolTip().isEmpty());
  }

  void aReaderPluggedInAfterStartIsFoundByTheNextConnect() {
#if defined(__linux__)
    const test::FakePortTree tree("shell_plug");
    FakeDevice reader("ID card reader & writer");
    CMainFrame frame([&tree] { return SerialPortsUnder(tree.SysTty(), tree.Dev()); });
    Connect(frame);
    QCOMPARE(Shown(frame), QString("No device connect"));
    QVERIFY(reader.Commands().empty());

    tree.Plug("ttyUSB0", reader.Path());
    Connect(frame);
    QCOMPARE(Shown(frame), QString("Device connected"));
    QCOMPARE(frame.Connected(), 1);
#else
    QSKIP("the stand-in port list is sysfs's");
#endif
  }
};

QTEST_MAIN(PortHintsTest)
#include "test_port_hints.moc"
