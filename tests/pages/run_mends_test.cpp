// The run panel on the EM4100 page for the EM4305, against the virtual reader: a stopped file
// run asks through the dialogs whether to go on, and a put-back tag of the run is left alone.
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QtTest>

#include "pages/em4100/em4305_id_dlg.h"
#include "reader_fixture.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {

class RunMendsTest : public PageTest {
  Q_OBJECT

 private:
  int TagCarrying(const std::string& identity) const {
    for (const auto& t : f_.reader->Tags())
      if (t.identity == "EM4100 " + identity) return t.id;
    return -1;
  }
  int Carrying(const std::string& identity) const {
    int n = 0;
    for (const auto& t : f_.reader->Tags()) n += t.identity == "EM4100 " + identity;
    return n;
  }
  static QStringList Lines(const RunPanel& run) {
    QStringList lines;
    for (int i = 0; i < run.list->count(); ++i) lines << run.list->item(i)->text();
    return lines;
  }
  static void TickUntilListed(RunPanel& run, int timer, int lines) {
    for (int i = 0; i < 20 && run.list->count() < lines; ++i) run.TickTimer(timer);
  }

 private slots:
  // In the Chinese build: Write again after a stop asks, and Yes (the default) goes on.
  void stoppedFileRunGoesOnAfterAsking() {
    SetLanguage(Language::Chinese);
    QTemporaryDir folder;
    const QString path = folder.filePath("ids.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1\n2\n\n3\n");
    file.close();
    f_.reader->SetFeeder("em4305", 3, 0);
    QVERIFY(f_.Connect());
    ScriptedDialogs dialogs;
    dialogs.files = {path};
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    run.fromFile->click();
    run.writeButton->click();
    TickUntilListed(run, FileWriteTimer, 4);  // opened, loaded, two tags
    run.writeButton->click();
    QVERIFY(!run.TimerRunning(FileWriteTimer) && run.fromFile->isChecked());

    const size_t asked = dialogs.requests.size();
    run.writeButton->click();
    QCOMPARE(dialogs.requests.size(), asked + 1);
    const ScriptedDialogs::Request& q = dialogs.requests.back();
    QCOMPARE(q.buttons, MessageButtons::YesNoCancel);
    QCOMPARE(q.icon, MessageIcon::Question);
    QVERIFY2(q.text.startsWith(QString::fromUtf8("上次按此文件写卡停在第 4 行之前。")), qPrintable(q.text));
    QVERIFY(run.TimerRunning(FileWriteTimer));
    QCOMPARE(run.progress->maximum(), 4);
    QCOMPARE(run.progress->value(), 2);
    QCOMPARE(Lines(run).last(), QString::fromUtf8("从文件第 4 行继续"));
    for (int i = 0; i < 10 && run.TimerRunning(FileWriteTimer); ++i) run.TickTimer(FileWriteTimer);
    QCOMPARE(run.progress->value(), 4);
    QVERIFY(Lines(run).contains(QString::fromUtf8("第 3：3")));
    for (const char* id : {"0000000001", "0000000002", "0000000003"}) QCOMPARE(Carrying(id), 1);
  }

  // Cancel (Escape) starts nothing; the question stays for the next press.
  void cancelledQuestionStartsNothing() {
    QTemporaryDir folder;
    const QString path = folder.filePath("ids.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1\n2\n");
    file.close();
    f_.reader->SetFeeder("em4305", 2, 0);
    QVERIFY(f_.Connect());
    ScriptedDialogs dialogs;
    dialogs.files = {path};
    dialogs.messageAnswers = {DialogAnswer::Cancel};
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    run.fromFile->click();
    run.writeButton->click();
    TickUntilListed(run, FileWriteTimer, 3);
    run.writeButton->click();
    run.writeButton->click();
    QVERIFY(dialogs.requests.back().text.startsWith("The last run of this file stopped before line 2."));
    QVERIFY(!run.TimerRunning(FileWriteTimer) && !run.writeButton->isChecked());
    QCOMPARE(Carrying("0000000002"), 0);
  }

  // An incremental run: the first tag put back after the second is left alone, said once.
  void putBackTagIsLeftAloneAndListedOnce() {
    f_.reader->SetFeeder("em4305", 3, 0);
    QVERIFY(f_.Connect());
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    run.incremental->click();
    QTest::keyClicks(page.hex10, "0000000010");
    run.writeButton->click();
    TickUntilListed(run, IncrementalWriteTimer, 2);
    const std::optional<int> blank = f_.reader->TagOnReader();
    QVERIFY(f_.reader->PlaceOnReader(TagCarrying("0000000010")));
    for (int i = 0; i < 3; ++i) run.TickTimer(IncrementalWriteTimer);
    QCOMPARE(Lines(run).filter("left alone"),
             QStringList{"Written earlier in this run (number 1), left alone: 0000000010"});
    QCOMPARE(page.hex10->text(), QString("0000000012"));
    QVERIFY(f_.reader->PlaceOnReader(*blank));
    TickUntilListed(run, IncrementalWriteTimer, 4);
    QCOMPARE(Lines(run).last(), QString::fromUtf8("Number 3：0000000012"));
    for (const char* id : {"0000000010", "0000000011", "0000000012"}) QCOMPARE(Carrying(id), 1);
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::RunMendsTest)
#include "run_mends_test.moc"
