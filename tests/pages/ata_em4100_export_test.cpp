// Continuous reading with export on the EM4100 page for the T5577, and its export file loaded
// back as a batch file: the whole 40-bit value travels, so fresh blanks get the same identities.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "pages/em4100/ata_em4100_dlg.h"
#include "reader_fixture.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {

class AtaEm4100ExportTest : public PageTest {
  Q_OBJECT

 private slots:
  void exportReadsBackAsABatchFile() {
    const int first = f_.reader->AddTag("em4100:0123456789");
    const int second = f_.reader->AddTag("em4100:FFFFFFFFFF");
    QVERIFY(f_.Connect());
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    ScriptedDialogs dialogs;
    dialogs.folders = {folder.path()};
    CAtaEM4100Dlg page;
    RunPanel& run = page.Panel();

    run.continuous->click();
    run.incremental->click();  // on the Read side: export
    run.readButton->click();
    QVERIFY(run.TimerRunning(ReadTimer) && run.Runner().Exporting());
    QCOMPARE(dialogs.requests.back().kind, ScriptedDialogs::Request::Kind::Folder);
    QCOMPARE(dialogs.requests.back().text, U("请选择一个文件夹来保存ID号"));
    QCOMPARE(f_.statuses.back(), std::make_pair(2, U("读ID（EM4100）卡......")));
    const QString path = QString::fromStdString(run.Runner().ExportPath());
    QVERIFY(path.startsWith(folder.path()));
    QCOMPARE(run.list->item(0)->text(), U("ID号保存在 ") + path + U(" 文件中"));
    QCOMPARE(run.readButton->text(), U("读卡"));
    run.TickTimer(ReadTimer);
    run.TickTimer(ReadTimer);  // the same tag again: exported once
    QCOMPARE(page.split->text(), QString("069,26505"));
    QVERIFY(f_.reader->PlaceOnReader(second));
    run.TickTimer(ReadTimer);
    QVERIFY(f_.reader->PlaceOnReader(first));
    run.TickTimer(ReadTimer);  // back after another: exported again
    run.readButton->click();
    QVERIFY(!run.Runner().Exporting());
    QCOMPARE(run.list->item(run.list->count() - 2)->text(), U("停止"));  // then the run's summary
    QFile exported(path);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QCOMPARE(exported.readAll(), QByteArray("0004886718345\r\n1099511627775\r\n0004886718345\r\n"));

    // The export as a batch file, onto fresh T5577 blanks.
    f_.reader->SetFeeder("t5577", 3, 0);
    dialogs.files = {path};
    run.continuous->click();  // off, and incremental with it
    run.fromFile->click();
    QVERIFY(run.fromFile->isChecked() && !run.continuous->isChecked() && !run.incremental->isChecked());
    QVERIFY(page.hex10->text().isEmpty() && page.dec13->text().isEmpty() && page.split->text().isEmpty());
    int n = run.list->count();
    QCOMPARE(run.list->item(n - 2)->text(), U("打开文件：") + path);
    QCOMPARE(run.list->item(n - 1)->text(), U("总共有 3 条ID要写"));
    run.writeButton->click();
    QVERIFY(run.TimerRunning(FileWriteTimer));
    for (int i = 0; i < 60 && run.TimerRunning(FileWriteTimer); ++i) run.TickTimer(FileWriteTimer);
    QVERIFY(!run.TimerRunning(FileWriteTimer));
    QVERIFY(!run.fromFile->isChecked() && !run.writeButton->isChecked());
    QCOMPARE(run.progress->value(), run.progress->maximum());
    n = run.list->count() - 1;  // the run's summary is last
    QCOMPARE(run.list->item(n - 4)->text(), U("第 1 个：0004886718345"));
    QCOMPARE(run.list->item(n - 2)->text(), U("第 3 个：0004886718345"));
    QCOMPARE(run.list->item(n - 1)->text(), U("停止"));
    QCOMPARE(f_.FedIdentities("t5577"), (QStringList{"EM4100 0123456789", "EM4100 FFFFFFFFFF", "EM4100 0123456789"}));
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::AtaEm4100ExportTest)
#include "ata_em4100_export_test.moc"
