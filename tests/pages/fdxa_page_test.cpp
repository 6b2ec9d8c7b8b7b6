// The FDX-A page on the offscreen platform: the code as an operator types it, the check before
// a write, and single writes and reads against the virtual reader through the real serial path.
#include <QPushButton>
#include <QtTest>

#include "fdxb_test_support.h"
#include "pages/tagformats/ata_fdxa.h"
#include "reader/my_comm.h"
#include "reader_fixture.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {

class FdxaPageTest : public PageTest {
  Q_OBJECT

 private slots:
  // Ten digits at most, hex only; lower case stays as typed.
  void theCodeTakesTenHexDigits() {
    CAtaFdxa page;
    QVERIFY(ShowActive(page));
    Type(page.code, "12ab%g'CD3456789");
    QCOMPARE(page.code->text(), QString("12abCD3456"));
  }

  void writeRefusesFewerThanNineDigits_data() {
    QTest::addColumn<QString>("code");
    QTest::newRow("empty") << "";
    QTest::newRow("eight digits") << "12345678";
  }

  void writeRefusesFewerThanNineDigits() {
    QFETCH(QString, code);
    f_.reader->AddTag("t5577");
    QVERIFY(f_.Connect());
    CAtaFdxa page;
    QVERIFY(ShowActive(page));
    Type(page.code, code);
    ScriptedDialogs dialogs;
    const auto sent = PortTable[0].TransactCount();
    const auto posted = f_.statuses.size();
    QTest::mouseClick(page.writeButton, Qt::LeftButton);
    QCOMPARE(PortTable[0].TransactCount(), sent);
    QCOMPARE(f_.statuses.size(), posted);
    QCOMPARE(int(dialogs.requests.size()), 1);
    QCOMPARE(dialogs.requests[0].text, U("请输入10位数据！"));
    QCOMPARE(dialogs.requests[0].caption, U("提示"));
    QCOMPARE(dialogs.requests[0].icon, MessageIcon::Information);
  }

  // The tag carries the code with bit 7 of each byte cleared; the field keeps what was typed.
  // The texts are the same in both builds.
  void writeThenRead_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("carried");
    QTest::newRow("brisendor, all ones") << Language::English << "FFFFFFFFFF" << "7F7F7F7F7F";
    QTest::newRow("corvane, nine digits") << Language::Chinese << "123456789" << "0123456709";
    QTest::newRow("brisendor, as typed") << Language::English << "1A2B3C4D5E" << "1A2B3C4D5E";
  }

  void writeThenRead() {
    QFETCH(Language, language);
    QFETCH(QString, typed);
    QFETCH(QString, carried);
    SetLanguage(language);
    const int chip = f_.reader->AddTag("t5577");
    QVERIFY(f_.Connect());
    CAtaFdxa page;
    QVERIFY(ShowActive(page));
    Type(page.code, typed);
    QTest::mouseClick(page.writeButton, Qt::LeftButton);
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindSuccess, U("写FDX-A（FECAVA）卡")));
    QCOMPARE(QString::fromStdString(f_.reader->Info(chip)->identity), "FDX-A " + carried);
    QCOMPARE(page.code->text(), typed);

    QTest::keyClick(page.code, Qt::Key_Return);  // Enter reads
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindSuccess, U("读FDX-A（FECAVA）卡")));
    QCOMPARE(page.code->text(), carried);
  }

  // A write the reader could not do is a failure, with its reason, though its reply arrived; a failed
  // read keeps the field's text.
  void failuresAreReportedAsSuch() {
    const int other = f_.reader->AddTag("hid:118:1603");
    QVERIFY(f_.Connect());
    CAtaFdxa page;
    QVERIFY(ShowActive(page));
    Type(page.code, "1A2B3C4D5E");
    page.Write();
    const QString failed = U("写FDX-A（FECAVA）失败: ");
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindFailure, failed + "the tag does not read back what was written"));
    QCOMPARE(QString::fromStdString(f_.reader->Info(other)->identity), QString("HID 118:1603"));
    page.Read();
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindFailure, U("读FDX-A（FECAVA）失败")));
    QCOMPARE(page.code->text(), QString("1A2B3C4D5E"));

    // A T5577 whose read-back is lost: not counted as written (only a read-back counts).
    const int chip = f_.reader->AddTag("t5577");
    QVERIFY(f_.reader->PlaceOnReader(chip));
    sim::FaultRule lost;
    lost.fault = sim::Fault::NoAnswer;
    f_.reader->SetCommandFault(0x10A, lost);
    page.Write();
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindFailure, failed + "no valid reply from the reader"));
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::FdxaPageTest)
#include "fdxa_page_test.moc"
