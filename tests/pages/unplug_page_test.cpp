// The window when the reader is unplugged in the middle of a run (its pseudo-terminal closed):
// the run stops with the port named in the status field, and once the reader is back "Conn
// Dev" reconnects and a new run works. A reader that only goes quiet is said once, in either
// language, and so is its return.
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <optional>
#include <string>
#include <vector>

#include "pages/em4100/em4305_id_dlg.h"
#include "reader_fixture.h"
#include "shell/main_frame.h"
#include "shell/my_static.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {

class UnplugPageTest : public PageTest {
  Q_OBJECT

 private:
  std::optional<std::vector<std::string>> Ports() const { return std::vector<std::string>{f_.server->Path()}; }

 private slots:
  void init() {
    f_.SetUp();
    f_.reader->AddTag("em4100:0123456789");
  }
  void cleanup() { f_.TearDown(); }

  void unpluggedMidRunStopsAndConnDevBringsItBack() {
    ScriptedDialogs dialogs;
    QVERIFY(f_.server->Start());
    CMainFrame frame([this] { return Ports(); });
    frame.ConnectButton().click();
    QCOMPARE(frame.StatusField().text(), QString("Device connected"));
    const QString port = QString::fromStdString(f_.server->Path());

    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    run.continuous->click();
    run.readButton->click();
    QVERIFY(run.TimerRunning(ReadTimer));
    run.TickTimer(ReadTimer);
    QCOMPARE(run.list->count(), 1);

    f_.server->Stop();  // the cable is pulled
    run.TickTimer(ReadTimer);
    QVERIFY(!run.TimerRunning(ReadTimer));
    QVERIFY(!run.readButton->isChecked());
    QVERIFY(run.writeButton->isEnabled());
    QVERIFY(run.continuous->isEnabled());
    QCOMPARE(frame.StatusField().text(), "The reader's port " + port + " is gone; the run stopped. Connect again.");
    QCOMPARE(run.list->item(run.list->count() - 2)->text(), QString("stop"));  // then the run's summary
    QCOMPARE(IsDeviceConnected(), 0);

    // Until it is connected again, Read says so instead of ticking on a dead handle.
    run.readButton->click();
    QVERIFY(!run.TimerRunning(ReadTimer));
    QVERIFY(!run.readButton->isChecked());

    // Plugged in again: "Conn Dev" finds it and a new run lists tags.
    QVERIFY(f_.server->Start());
    frame.ConnectButton().click();
    QCOMPARE(frame.StatusField().text(), QString("Device connected"));
    const int before = run.list->count();
    run.readButton->click();
    QVERIFY(run.TimerRunning(ReadTimer));
    run.TickTimer(ReadTimer);
    run.TickTimer(ReadTimer);
    QCOMPARE(run.list->count(), before + 2);
    run.readButton->click();
    QVERIFY(!run.TimerRunning(ReadTimer));
  }

  void aSilentReaderIsSaidOnceInEachLanguage_data() {
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("silent");
    QTest::addColumn<QString>("back");
    QTest::newRow("English") << false << "No reply from the reader for 3 ticks; still trying."
                             << "The reader answers again.";
    QTest::newRow("Chinese") << true << QString::fromUtf8("读写器已连续 3 次没有应答，仍在重试。")
                             << QString::fromUtf8("读写器又有应答了。");
  }

  void aSilentReaderIsSaidOnceInEachLanguage() {
    QFETCH(bool, chinese);
    QFETCH(QString, silent);
    QFETCH(QString, back);
    SetLanguage(chinese ? Language::Chinese : Language::English);
    QVERIFY(f_.Connect());
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    run.continuous->click();
    run.readButton->click();
    QVERIFY(run.TimerRunning(ReadTimer));
    f_.reader->SetFault(sim::FaultRule{sim::Fault::NoAnswer, 1.0});
    f_.statuses.clear();
    for (int i = 0; i < 6; ++i) run.TickTimer(ReadTimer);
    QCOMPARE(f_.statuses.size(), std::size_t{1});
    QCOMPARE(f_.statuses[0], std::make_pair(0, silent));
    QVERIFY(run.TimerRunning(ReadTimer));
    f_.reader->ClearFaults();
    run.TickTimer(ReadTimer);
    QCOMPARE(f_.statuses.size(), std::size_t{2});
    QCOMPARE(f_.statuses[1], std::make_pair(2, back));
    QCOMPARE(run.list->count(), 1);
    run.readButton->click();
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::UnplugPageTest)
#include "unplug_page_test.moc"
