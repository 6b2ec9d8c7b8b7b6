// The programs' command line, connecting to the virtual reader, and its window.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "reader/discovery.h"
#include "shell/command_line.h"
#include "shell/main_frame.h"
#include "shell/my_static.h"
#include "shell/sim_window.h"
#include "sim/pty_server.h"
#include "sim/tag_kinds.h"
#include "sim/virtual_reader.h"

using namespace rivelo;

namespace {

QPushButton* ButtonNamed(QWidget& w, const QString& text) {
  for (QPushButton* b : w.findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

}  // namespace

class SimulationTest : public QObject {
  Q_OBJECT

 private slots:
  void commandLine() {
    ShellOptions o = ParseCommandLine({"--port", "/dev/ttyUSB3", "--port=/dev/ttyS1"});
    QVERIFY(o.error.empty());
    QCOMPARE(o.ports, (std::vector<std::string>{"/dev/ttyUSB3", "/dev/ttyS1"}));
    QVERIFY(!o.simulate);

    o = ParseCommandLine({"--simulate"});
    QVERIFY(o.simulate);
    QCOMPARE(o.simulatedTags, DefaultSimulatedTags());
    QCOMPARE(o.simulatedTags.front(), std::string("em4100:0123456789"));

    o = ParseCommandLine({"--simulate=fdxb:999:112233,,hid:118:1603", "--port", "p"});
    QCOMPARE(o.simulatedTags, (std::vector<std::string>{"fdxb:999:112233", "hid:118:1603"}));
    QCOMPARE(o.ports, std::vector<std::string>{"p"});

    // The window programs' usage offers every kind of the virtual reader's table.
    for (const sim::TagKindRow& row : sim::TagKinds())
      QVERIFY2(std::string(UsageText()).find(std::string(row.name) + row.parameters) != std::string::npos, row.name);

    QVERIFY(!ParseCommandLine({"--port"}).error.empty());
    QVERIFY(!ParseCommandLine({"--verbose"}).error.empty());
  }

  void connectToTheVirtualReader() {
    sim::VirtualReader reader;
    reader.AddTag("em4100:0123456789");
    sim::PtyServer server(reader);
    QVERIFY(server.Start());
    const std::string path = server.Path();
    CMainFrame frame([path] { return std::optional(std::vector<std::string>{path}); });
    QTest::mouseClick(&frame.ConnectButton(), Qt::LeftButton);
    QCOMPARE(frame.StatusField().text(), QString("Device connected"));
    QCOMPARE(DeviceConnected, 1);
    QCOMPARE(reader.GetCounters().acknowledgements, 1);
    QCOMPARE(reader.GetCounters().lastAcknowledge, 10);
    QTest::mouseClick(&frame.DisconnectButton(), Qt::LeftButton);
    QCOMPARE(DeviceConnected, 0);
    QCOMPARE(frame.StatusField().text(), QString("No device connect"));
  }

  void virtualReaderWindowMovesAndMakesTags() {
    sim::VirtualReader reader;
    const int em4100 = reader.AddTag("em4100:0123456789");
    CVirtualReaderWindow window(reader);
    window.Open();
    auto* list = window.findChild<QListWidget*>("tags");
    QCOMPARE(list->count(), 1);

    window.findChild<QComboBox*>("kind")->setCurrentText("fdxb");
    window.findChild<QLineEdit*>("parameters")->setText("999:112233");
    ButtonNamed(window, "Create")->click();
    QCOMPARE(list->count(), 2);
    const int fdxb = list->item(1)->data(Qt::UserRole).toInt();

    list->setCurrentRow(1);
    ButtonNamed(window, "Put on reader")->click();
    QCOMPARE(reader.TagOnReader(), std::optional<int>(fdxb));
    QCOMPARE(list->currentRow(), 1);  // the refresh keeps the selection
    ButtonNamed(window, "Take off")->click();
    QCOMPARE(reader.TagOnReader(), std::nullopt);
    QVERIFY(em4100 != fdxb);

    window.findChild<QComboBox*>("kind")->setCurrentText("hid");
    window.findChild<QLineEdit*>("parameters")->setText("not a card");
    ButtonNamed(window, "Create")->click();
    QCOMPARE(list->count(), 2);

    // Every kind of the table, made from the example its choice puts in the empty field.
    auto* kind = window.findChild<QComboBox*>("kind");
    auto* parameters = window.findChild<QLineEdit*>("parameters");
    QCOMPARE(kind->count(), static_cast<int>(sim::TagKinds().size()));
    for (int i = 0; i < kind->count(); ++i) {
      kind->setCurrentIndex(i);
      parameters->setText(parameters->placeholderText());
      ButtonNamed(window, "Create")->click();
      QCOMPARE(list->count(), 3 + i);
    }
  }
};

QTEST_MAIN(SimulationTest)
#include "test_simulation.moc"
