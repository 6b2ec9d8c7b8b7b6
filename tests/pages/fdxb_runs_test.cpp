// Batch runs of the FDX-B pages against the virtual reader, with the tags it holds afterwards
// checked: an incremental run over a stack of blanks, and an export of one page written onto
// tags by the other.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "fdxb_test_support.h"
#include "pages/tagformats/ata_fdxb.h"
#include "pages/tagformats/em4305_fdxb_dlg.h"
#include "reader_fixture.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {
namespace {

// The list without the runs' summaries, whose durations differ from run to run.
QStringList ListLines(const RunPanel& run) {
  QStringList lines;
  for (int i = 0; i < run.list->count(); ++i)
    if (!run.list->item(i)->text().startsWith("Run summary: ")) lines << run.list->item(i)->text();
  return lines;
}

QByteArray Contents(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Starts an exporting read run into folder; true when it runs and exports.
bool StartExport(FdxbPage& page, ScriptedDialogs& dialogs, const QString& folder) {
  RunPanel& run = page.Panel();
  dialogs.folders = {folder};
  run.continuous->click();
  run.incremental->click();
  run.readButton->click();
  return run.TimerRunning(ReadTimer) && run.Runner().Exporting();
}

}  // namespace

class FdxbRunsTest : public PageTest {
  Q_OBJECT

 private:
  // Places each tag on the reader for two ticks of the read run.
  void ReadEach(RunPanel& run, const std::vector<int>& tags) {
    for (const int tag : tags) {
      f_.reader->PlaceOnReader(tag);
      run.TickTimer(ReadTimer);
      run.TickTimer(ReadTimer);
    }
  }

  std::vector<int> FedTags() const {
    std::vector<int> ids;
    for (const sim::TagInfo& t : f_.reader->Tags())
      if (t.fed) ids.push_back(t.id);
    return ids;
  }

 private slots:
  void incrementalRunStepsTheNationalCode_data() {
    QTest::addColumn<QString>("chip");
    QTest::addColumn<int>("tags");
    QTest::addColumn<QString>("numbered");
    QTest::addColumn<bool>("lostReplies");
    const QString ata = QString::fromUtf8("第 %1 个，国内代码为：%2");
    QTest::newRow("T5577") << "T5577" << 10 << ata << false;
    QTest::newRow("EM4305") << "EM4305" << 5 << QString::fromUtf8("Number %1，country ID：%2") << false;
    // A reply lost now and then costs ticks, never a tag that holds something its line does not say.
    QTest::newRow("T5577, lost replies") << "T5577" << 6 << ata << true;
  }

  // From 274877906940 the run writes up to the 38-bit maximum and carries on from 0; country
  // code and trailer go onto every tag unchanged, and only the national fields move.
  void incrementalRunStepsTheNationalCode() {
    QFETCH(QString, chip);
    QFETCH(int, tags);
    QFETCH(QString, numbered);
    QFETCH(bool, lostReplies);
    f_.reader->SetFeeder(chip.toLower().toStdString(), tags, 0);
    QVERIFY(f_.Connect());
    std::unique_ptr<FdxbPage> page;
    if (chip == "T5577") page = std::make_unique<CAtaFdxb>();
    else page = std::make_unique<EM4305FdxbDlg>();
    QVERIFY(ShowActive(*page));
    RunPanel& run = page->Panel();
    const QString writeCaption = run.writeButton->text();
    Enter(*page, "274877906940", "999", "123456");
    run.incremental->click();
    QVERIFY(run.continuous->isChecked());
    if (lostReplies) {
      f_.reader->SetSeed(7);
      f_.reader->SetFault({sim::Fault::NoAnswer, 0.15});
    }
    run.writeButton->click();
    QVERIFY(run.TimerRunning(IncrementalWriteTimer));
    QCOMPARE(run.writeButton->text(), writeCaption);  // the captions never change
    QVERIFY(!run.readButton->isEnabled() && !run.fromFile->isEnabled());
    QVERIFY(page->dec[0]->isEnabled());
    for (int i = 0; i < 20 * tags && run.list->count() < tags; ++i) run.TickTimer(IncrementalWriteTimer);
    // The last tag stays on the reader once the stack is empty, and is not written again.
    for (int i = 0; i < 3; ++i) run.TickTimer(IncrementalWriteTimer);
    run.writeButton->click();
    QVERIFY(!run.TimerRunning(IncrementalWriteTimer));

    QStringList lines, onTags;
    for (int i = 0; i < tags; ++i) {
      const unsigned long long national = (274877906940ull + static_cast<unsigned>(i)) % 274877906944ull;
      lines << numbered.arg(i + 1).arg(national, 12, 10, QChar('0'));
      onTags << FdxbText(999, national, 0x123456);
    }
    lines << (chip == "T5577" ? QString::fromUtf8("停止") : QString("stop"));
    QCOMPARE(ListLines(run), lines);
    QCOMPARE(FedFdxb(*f_.reader), onTags);
    const unsigned long long next = (274877906940ull + static_cast<unsigned>(tags)) % 274877906944ull;
    QCOMPARE(page->dec[0]->text(), QString("%1").arg(next, 12, 10, QChar('0')));
    QCOMPARE(page->hex[0]->text(), QString("%1").arg(next, 10, 16, QChar('0')).toUpper());
    QCOMPARE(Fields(*page).mid(2), (QStringList{"03E7", "999", "123456", "01193046"}));
    QCOMPARE(f_.statuses.front().first, 2);
  }

  // Empty fields start the run at national code 0, and its line still says so.
  void incrementalRunFromEmptyFieldsListsTheCodeWritten() {
    f_.reader->SetFeeder("em4305", 2, 0);
    QVERIFY(f_.Connect());
    EM4305FdxbDlg page;
    RunPanel& run = page.Panel();
    run.incremental->click();
    run.writeButton->click();
    for (int i = 0; i < 40 && run.list->count() < 2; ++i) run.TickTimer(IncrementalWriteTimer);
    QCOMPARE(ListLines(run), (QStringList{QString::fromUtf8("Number 1，country ID：000000000000"),
                                          QString::fromUtf8("Number 2，country ID：000000000001")}));
    QCOMPARE(FedFdxb(*f_.reader), (QStringList{FdxbText(0, 0, 0), FdxbText(0, 1, 0)}));
  }

  // An export of the T5577 page is a batch file for the EM4305 page, which puts the same
  // identities onto its chips and exports them back byte for byte.
  void exportOfOnePageIsABatchFileForTheOther() {
    const int a = f_.reader->AddTag("t5577");
    const int b = f_.reader->AddTag("t5577");
    const int c = f_.reader->AddTag("fdxb:1:0");
    QVERIFY(f_.Connect());
    ScriptedDialogs dialogs;
    CAtaFdxb ata;
    QVERIFY(ShowActive(ata));
    Enter(ata, "274877906943", "1023", "FFFFFF");
    ata.Panel().writeButton->click();
    f_.reader->PlaceOnReader(b);
    Enter(ata, "17", "276", "1");
    ata.Panel().writeButton->click();
    QCOMPARE(f_.statuses.back().first, 1);

    QTemporaryDir out1, out2;
    QVERIFY(StartExport(ata, dialogs, out1.path()));
    const std::string exported = ata.Panel().Runner().ExportPath();
    ReadEach(ata.Panel(), {a, b, c});
    ata.Panel().readButton->click();
    const QByteArray file = "274877906943102316777215\r\n000000000017027600000001\r\n000000000000000100000000\r\n";
    QCOMPARE(Contents(exported), file);
    QCOMPARE(ListLines(ata.Panel()).mid(ListLines(ata.Panel()).size() - 5),
             (QStringList{QString::fromUtf8("ID号保存在 ") + QString::fromStdString(exported) + QString::fromUtf8(" 文件中"),
                          QString::fromUtf8("第 1 个；"), QString::fromUtf8("第 2 个；"), QString::fromUtf8("第 3 个；"),
                          QString::fromUtf8("停止")}));

    f_.reader->SetFeeder("em4305", 3, 0);
    EM4305FdxbDlg em;
    RunPanel& run = em.Panel();
    dialogs.files = {QString::fromStdString(exported)};
    run.fromFile->click();
    QVERIFY(run.fromFile->isChecked());
    run.writeButton->click();
    for (int i = 0; i < 60 && run.TimerRunning(FileWriteTimer); ++i) run.TickTimer(FileWriteTimer);
    QVERIFY(!run.TimerRunning(FileWriteTimer) && !run.fromFile->isChecked());
    QCOMPARE(ListLines(run), (QStringList{QString::fromUtf8("Open file：") + QString::fromStdString(exported),
                                          "Tag count 3", QString::fromUtf8("Number 1：274877906943102316777215"),
                                          QString::fromUtf8("Number 2：000000000017027600000001"),
                                          QString::fromUtf8("Number 3：000000000000000100000000"), "stop"}));
    QCOMPARE(FedFdxb(*f_.reader), (QStringList{FdxbText(1023, 274877906943, 0xFFFFFF), FdxbText(276, 17, 1),
                                                FdxbText(1, 0, 0)}));

    run.list->clear();
    QVERIFY(StartExport(em, dialogs, out2.path()));
    ReadEach(run, FedTags());
    run.readButton->click();
    QCOMPARE(run.list->item(0)->text(), "ID has exported to " + QString::fromStdString(run.Runner().ExportPath()));
    QCOMPARE(Contents(run.Runner().ExportPath()), file);
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::FdxbRunsTest)
#include "fdxb_runs_test.moc"
