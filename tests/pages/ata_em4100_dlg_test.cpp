// The EM4100 page for the T5577 on the offscreen platform, against the virtual reader: its
// fields as the operator types them, single writes and reads, and incremental runs checked on
// the tags the reader holds afterwards.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <algorithm>

#include "pages/common/group_box.h"
#include "pages/em4100/ata_em4100_dlg.h"
#include "reader_fixture.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

// The operator clicks into the field, selects what it holds and types over it (an empty text
// deletes it).
void Retype(QLineEdit* field, const QString& text) {
  QTest::mouseClick(field, Qt::LeftButton);
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  if (text.isEmpty()) QTest::keyClick(field, Qt::Key_Backspace);
  else QTest::keyClicks(field, text);
}

QStringList Shown(const CAtaEM4100Dlg& page) {
  return {page.hex10->text(), page.dec13->text(), page.dec06->text(), page.split->text()};
}

}  // namespace

class AtaEm4100DlgTest : public PageTest {
  Q_OBJECT

 private:
  // Ticks the incremental run until it has listed count tags (or gives up).
  static void RunUntilListed(RunPanel& run, int count) {
    for (int i = 0; i < 20 * count && run.list->count() < count; ++i) run.TickTimer(IncrementalWriteTimer);
  }

 private slots:
  // The page's own updates never echo: a read fills all four fields, and only an edit of the
  // operator's empties the display-only two.
  void fieldsFollowTheOperatorsEdits() {
    f_.reader->AddTag("em4100:0123456789");
    QVERIFY(f_.Connect());
    QDialog window;
    auto* page = new CAtaEM4100Dlg(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(!page->dec06->isEnabled() && !page->split->isEnabled());

    page->Panel().readButton->click();
    QCOMPARE(Shown(*page), (QStringList{"0123456789", "0004886718345", "0004548489", "069,26505"}));
    QCOMPARE(f_.statuses.back(), std::make_pair(1, U("读ID（EM4100）卡")));
    QVERIFY(!page->Panel().readButton->isChecked());

    Retype(page->hex10, "ABC");
    QVERIFY(page->hex10->hasFocus());
    QCOMPARE(Shown(*page), (QStringList{"ABC", "0000000002748", "", ""}));
    Retype(page->hex10, "FFFFFFFFFF12");  // ten characters at most
    QCOMPARE(Shown(*page), (QStringList{"FFFFFFFFFF", "1099511627775", "", ""}));
    Retype(page->hex10, "");
    QCOMPARE(Shown(*page), (QStringList{"", "", "", ""}));

    const std::pair<const char*, const char*> decimal[] = {
        {"0", "0000000000"},
        {"4886718345", "0123456789"},
        {"1099511627775", "FFFFFFFFFF"},
        {"1099511627776", "FFFFFFFFFF"},  // beyond 40 bits: all ones
        {"9999999999999", "FFFFFFFFFF"},
    };
    for (const auto& [typed, hex] : decimal) {
      Retype(page->dec13, typed);
      QVERIFY(page->dec13->hasFocus());
      QCOMPARE(page->dec13->text(), QString(typed));  // the operator's field keeps its text
      QCOMPARE(page->hex10->text(), QString(hex));
    }
    Retype(page->dec13, "12345678901234");  // thirteen digits at most
    QCOMPARE(page->dec13->text(), QString("1234567890123"));
    Retype(page->dec13, "");
    QCOMPARE(page->hex10->text(), QString());

    // A read after edits shows everything again; a failed one empties every field.
    page->Panel().readButton->click();
    QCOMPARE(Shown(*page)[3], QString("069,26505"));
    f_.reader->TakeOffReader();
    page->Panel().readButton->click();
    QCOMPARE(Shown(*page), (QStringList{"", "", "", ""}));
    QCOMPARE(f_.statuses.back(), std::make_pair(0, U("读ID（EM4100）卡失败")));
  }

  // The entry is read as bytes and right-aligned; the write is judged by reading the tag back,
  // and the fields stay as the operator left them.
  void singleWriteVerified() {
    f_.reader->SetFeeder("t5577", 1, 0);
    QVERIFY(f_.Connect());
    CAtaEM4100Dlg page;
    RunPanel& run = page.Panel();
    QTest::keyClicks(page.hex10, "ABC");
    run.writeButton->click();
    QVERIFY(!run.writeButton->isChecked());
    QCOMPARE(f_.statuses.back(), std::make_pair(1, U("写ID（EM4100）卡")));
    QCOMPARE(f_.FedIdentities("t5577"), QStringList{"EM4100 0000000ABC"});
    QCOMPARE(Shown(page), (QStringList{"ABC", "0000000002748", "", ""}));
  }

  // Another tag on the reader: a read-only EM4100 tag, or an EM4305, which this page does not
  // write. Either way the failure is reported and the tag keeps what it had.
  void singleWriteFailsOnAnotherTag() {
    const int readOnly = f_.reader->AddTag("em4100:1122334455");
    const int em4305 = f_.reader->AddTag("em4305");
    QVERIFY(f_.Connect());
    CAtaEM4100Dlg page;
    RunPanel& run = page.Panel();
    QTest::keyClicks(page.hex10, "0123456789");
    run.writeButton->click();
    QVERIFY(!run.writeButton->isChecked());
    QCOMPARE(f_.statuses.back(), std::make_pair(0, U("写ID（EM4100）卡失败")));
    QCOMPARE(f_.reader->Info(readOnly)->identity, std::string("EM4100 1122334455"));

    QVERIFY(f_.reader->PlaceOnReader(em4305));
    run.writeButton->click();
    QCOMPARE(f_.statuses.back(), std::make_pair(0, U("写ID（EM4100）卡失败")));
    QCOMPARE(f_.reader->Info(em4305)->identity, std::string());
  }

  // A read fills the display-only fields; the run then starts from the read identity, counts
  // through the carry out of the top byte, and rewrites only "10H" and "08H---10D".
  void incrementalRunOverFedBlanks() {
    f_.reader->AddTag("em4100:FFFFFFFFFE");
    QVERIFY(f_.Connect());
    CAtaEM4100Dlg page;
    RunPanel& run = page.Panel();
    run.readButton->click();
    f_.reader->SetFeeder("t5577", 4, 0);
    run.incremental->click();
    QVERIFY(run.continuous->isChecked());
    run.writeButton->click();
    QVERIFY(run.TimerRunning(IncrementalWriteTimer));
    QCOMPARE(run.Runner().Profile().periodMs, 500);
    QCOMPARE(f_.statuses.back(), std::make_pair(2, U("写ID（EM4100）卡......")));
    QCOMPARE(run.writeButton->text(), U("写卡"));  // the captions never change
    QVERIFY(!run.readButton->isEnabled() && !run.continuous->isEnabled() && !run.fromFile->isEnabled());
    QVERIFY(page.hex10->isEnabled() && page.dec13->isEnabled());

    RunUntilListed(run, 4);
    QCOMPARE(run.list->count(), 4);
    QCOMPARE(run.list->item(0)->text(), U("第 1 个：1099511627774"));
    QCOMPARE(run.list->item(1)->text(), U("第 2 个：1099511627775"));
    QCOMPARE(run.list->item(2)->text(), U("第 3 个：0000000000000"));
    QCOMPARE(run.list->item(3)->text(), U("第 4 个：0000000000001"));
    QCOMPARE(Shown(page), (QStringList{"0000000002", "0000000000002", "0016777214", "255,65534"}));
    run.writeButton->click();
    QVERIFY(!run.TimerRunning(IncrementalWriteTimer));
    QCOMPARE(run.list->item(4)->text(), U("停止"));
    QVERIFY(run.readButton->isEnabled() && run.continuous->isEnabled());
    QCOMPARE(f_.FedIdentities("t5577"), (QStringList{"EM4100 FFFFFFFFFE", "EM4100 FFFFFFFFFF", "EM4100 0000000000",
                                           "EM4100 0000000001"}));
  }

  // An entry beyond 40 bits writes all ones; the list names what the tag got, not the text.
  void incrementalRunFromAnEntryBeyond40Bits() {
    f_.reader->SetFeeder("t5577", 2, 0);
    QVERIFY(f_.Connect());
    CAtaEM4100Dlg page;
    RunPanel& run = page.Panel();
    QTest::keyClicks(page.dec13, "9999999999999");
    run.incremental->click();
    run.writeButton->click();
    RunUntilListed(run, 1);
    QCOMPARE(run.list->count(), 1);
    QCOMPARE(run.list->item(0)->text(), U("第 1 个：1099511627775"));
    QCOMPARE(page.hex10->text(), QString("0000000000"));
    QCOMPARE(page.dec13->text(), QString("0000000000000"));
    RunUntilListed(run, 2);
    QCOMPARE(run.list->count(), 2);
    QCOMPARE(run.list->item(1)->text(), U("第 2 个：0000000000000"));
    run.writeButton->click();
    QCOMPARE(f_.FedIdentities("t5577"), (QStringList{"EM4100 FFFFFFFFFF", "EM4100 0000000000"}));
  }

  void textsAreTheSameInBothBuilds_data() {
    QTest::addColumn<Language>("language");
    QTest::newRow("brisendor") << Language::English;
    QTest::newRow("corvane") << Language::Chinese;
  }

  void textsAreTheSameInBothBuilds() {
    QFETCH(Language, language);
    SetLanguage(language);
    CAtaEM4100Dlg page;
    RunPanel& run = page.Panel();
    QStringList captions;
    for (const QLabel* label : page.captions) captions << label->text();
    QCOMPARE(captions, (QStringList{"10H", "08H---10D", "06H---10D", "02H + 04H"}));
    QCOMPARE(run.readButton->text(), U("读卡"));
    QCOMPARE(run.writeButton->text(), U("写卡"));
    QCOMPARE(run.options->title(), U("选项"));
    QCOMPARE((QStringList{run.continuous->text(), run.incremental->text(), run.fromFile->text()}),
             (QStringList{U("连续的"), U("递增的"), U("文件写")}));
    QCOMPARE(page.split->accessibleName(), QString("02H + 04H"));
    run.writeButton->click();  // not connected
    QVERIFY(!run.writeButton->isChecked());
    QCOMPARE(f_.statuses.back(), std::make_pair(0, U("没有连接读写器")));
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::AtaEm4100DlgTest)
#include "ata_em4100_dlg_test.moc"
