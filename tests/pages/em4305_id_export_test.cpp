// Continuous reading with export on the EM4100 page for the EM4305: each form of the page's
// radio buttons as the lines of the export file, through the real serial path.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "pages/em4100/em4305_id_dlg.h"
#include "reader_fixture.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {

class Em4305IdExportTest : public PageTest {
  Q_OBJECT

 private:
  static QRadioButton* FormButton(EM4305IdDlg& page, const QString& caption) {
    for (QRadioButton* b : page.forms)
      if (b->text() == caption) return b;
    return nullptr;
  }

  // Ticks continuously and incrementally and presses Read (the caller scripts the folder
  // chooser's answer). True when the run reads and exports.
  static bool StartExport(EM4305IdDlg& page) {
    RunPanel& run = page.Panel();
    run.continuous->click();
    run.incremental->click();
    if (!run.continuous->isChecked() || !run.incremental->isChecked()) return false;
    run.readButton->click();
    return run.TimerRunning(ReadTimer) && run.Runner().Exporting();
  }

  // The one file the run exported into folder.
  static QByteArray Exported(const QTemporaryDir& folder) {
    const QStringList files = QDir(folder.path()).entryList(QDir::Files);
    if (files.size() != 1) return "(" + QByteArray::number(files.size()) + " files)";
    QFile file(QDir(folder.path()).filePath(files[0]));
    if (!file.open(QIODevice::ReadOnly)) return "(unreadable)";
    return file.readAll();
  }

 private slots:
  void exportsTheSelectedForm_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("10H") << "10H" << QByteArray("0123456789");
    QTest::newRow("08H") << "08H---10D" << QByteArray("0591751049");
    QTest::newRow("06H") << "06H---10D" << QByteArray("0004548489");
    QTest::newRow("02H+04H") << "02H + 04H" << QByteArray("06926505");
  }

  void exportsTheSelectedForm() {
    QFETCH(QString, caption);
    QFETCH(QByteArray, line);
    f_.reader->AddTag("em4100:0123456789");
    QVERIFY(f_.Connect());
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    ScriptedDialogs dialogs;
    dialogs.folders = {folder.path()};
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    QRadioButton* form = FormButton(page, caption);
    QVERIFY(form);
    form->click();
    QVERIFY(StartExport(page));
    QCOMPARE(dialogs.requests.back().kind, ScriptedDialogs::Request::Kind::Folder);
    QCOMPARE(dialogs.requests.back().text, QString("Please select a folder to save ID"));
    QCOMPARE(run.readButton->text(), QString("Stop"));
    run.TickTimer(ReadTimer);
    run.TickTimer(ReadTimer);  // the same tag again: listed once, exported once
    run.readButton->click();
    QVERIFY(!run.TimerRunning(ReadTimer));
    QVERIFY(!run.Runner().Exporting());
    QCOMPARE(Exported(folder), line + "\r\n");
    QCOMPARE(run.list->count(), 4);
    QVERIFY(run.list->item(0)->text().startsWith("ID has exported to " + folder.path()));
    QCOMPARE(run.list->item(1)->text(), QString("Number 1;"));
    QCOMPARE(run.list->item(2)->text(), QString("stop"));
    QVERIFY(run.list->item(3)->text().startsWith("Run summary: 1 read, 0 ticks without a valid reply, "));
    QCOMPARE(page.hex10->text(), QString("0123456789"));  // the read identity is shown
  }

  // The form is taken for each line as it is written: a change during the run changes the
  // lines that follow, not those already written.
  void formChangedDuringTheRunChangesLaterLines() {
    const int first = f_.reader->AddTag("em4100:0123456789");
    const int second = f_.reader->AddTag("em4100:ABCDEF0123");
    QVERIFY(f_.reader->PlaceOnReader(first));
    QVERIFY(f_.Connect());
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    dialogs.folders = {folder.path()};
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    QVERIFY(StartExport(page));
    run.TickTimer(ReadTimer);
    FormButton(page, "02H + 04H")->click();
    QVERIFY(f_.reader->PlaceOnReader(second));
    run.TickTimer(ReadTimer);
    FormButton(page, "08H---10D")->click();
    QVERIFY(f_.reader->PlaceOnReader(first));
    run.TickTimer(ReadTimer);
    run.readButton->click();
    QCOMPARE(Exported(folder), QByteArray("0123456789\r\n23900291\r\n0591751049\r\n"));
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::Em4305IdExportTest)
#include "em4305_id_export_test.moc"
