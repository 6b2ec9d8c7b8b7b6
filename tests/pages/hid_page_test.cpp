// The HID 26-bit page on the offscreen platform: the four fields as an operator types into
// them, the checks before a write, and single writes and reads against the virtual reader
// through the real serial path.
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "fdxb_test_support.h"
#include "pages/tagformats/ata_hid.h"
#include "reader/my_comm.h"
#include "reader_fixture.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {
namespace {

QString Fields(const CHidDlg& page) {
  return QStringList{page.hexFacility->text(), page.hexCard->text(), page.decFacility->text(), page.decCard->text()}
      .join(' ');
}

QLineEdit* FieldAt(CHidDlg& page, int index) {
  QLineEdit* fields[4] = {page.hexFacility, page.hexCard, page.decFacility, page.decCard};
  return fields[index];
}

}  // namespace

class HidPageTest : public PageTest {
  Q_OBJECT

 private slots:
  // Typed key by key; after each key the four fields read hex facility, hex card, decimal
  // facility, decimal card.
  void typingMirrorsIntoThePartner_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("hex facility") << 0 << "Ff" << QStringList{"F  015 ", "Ff  255 "};
    QTest::newRow("hex card") << 1 << "FFF0"
                              << QStringList{" F  00015", " FF  00255", " FFF  04095", " FFF0  65520"};
    QTest::newRow("decimal facility over 255") << 2 << "256" << QStringList{"02  2 ", "19  25 ", "FF  255 "};
    QTest::newRow("decimal facility 0") << 2 << "0" << QStringList{"00  0 "};
    QTest::newRow("decimal card 7") << 3 << "7" << QStringList{" 0007  7"};
    QTest::newRow("decimal card over 65535")
        << 3 << "65536" << QStringList{" 0006  6", " 0041  65", " 028F  655", " 1999  6553", " FFFF  65535"};
  }

  void typingMirrorsIntoThePartner() {
    QFETCH(int, field);
    QFETCH(QString, keys);
    QFETCH(QStringList, steps);
    CHidDlg page;
    QVERIFY(ShowActive(page));
    QLineEdit* own = FieldAt(page, field);
    own->setFocus();
    for (int i = 0; i < keys.size(); ++i) {
      QTest::keyClick(own, keys[i].toLatin1());
      QCOMPARE(Fields(page), steps[i]);
    }
    while (!own->text().isEmpty()) QTest::keyClick(own, Qt::Key_Backspace);
    QCOMPARE(Fields(page), QString("   "));
  }

  // What the page puts into a field itself is not mirrored: only the focused field is.
  void onlyTheFocusedFieldMirrors() {
    CHidDlg page;
    QVERIFY(ShowActive(page));
    page.decCard->setFocus();
    page.decFacility->setText("999");
    page.hexCard->setText("FFF");
    QCOMPARE(Fields(page), QString(" FFF 999 "));
  }

  // The frame under the fields carries the two parity bits of the identity the fields hold.
  void frameFollowsTheFields() {
    CHidDlg page;
    QVERIFY(ShowActive(page));
    Type(page.decFacility, "118");
    QCOMPARE(page.frame->text(), QString());
    Type(page.hexCard, "643");
    QCOMPARE(page.frame->text(), QString("2EC0C86"));
    Retype(page.decCard, "7");
    Retype(page.hexFacility, "1");
    QCOMPARE(page.frame->text(), QString("202000E"));
    Retype(page.decFacility, "");
    QCOMPARE(page.frame->text(), QString());
  }

  void writeRefusesAnEmptyOrMissingNumber_data() {
    QTest::addColumn<QString>("facility");
    QTest::addColumn<QString>("card");
    QTest::addColumn<QString>("message");
    const QString first = U("请在第 1 个空格填入一个0~255的数");
    const QString second = U("请在第 2 个空格填入一个0~65535的数");
    QTest::newRow("both empty: the facility first") << "" << "" << first;
    QTest::newRow("facility empty") << "" << "7" << first;
    QTest::newRow("card empty") << "1" << "" << second;
  }

  void writeRefusesAnEmptyOrMissingNumber() {
    QFETCH(QString, facility);
    QFETCH(QString, card);
    QFETCH(QString, message);
    f_.reader->AddTag("t5577");
    QVERIFY(f_.Connect());
    CHidDlg page;
    QVERIFY(ShowActive(page));
    Type(page.decFacility, facility);
    Type(page.decCard, card);
    ScriptedDialogs dialogs;
    const auto sent = PortTable[0].TransactCount();
    const auto posted = f_.statuses.size();
    QTest::mouseClick(page.writeButton, Qt::LeftButton);
    QCOMPARE(PortTable[0].TransactCount(), sent);
    QCOMPARE(int(dialogs.requests.size()), 1);
    QCOMPARE(dialogs.requests[0].text, message);
    QCOMPARE(dialogs.requests[0].caption, U("提示"));
    QCOMPARE(dialogs.requests[0].icon, MessageIcon::Information);
    QCOMPARE(f_.statuses.size(), posted);
  }

  // The same texts in both builds; the T5577 carries the identity afterwards.
  void writeThenRead_data() {
    QTest::addColumn<Language>("language");
    QTest::newRow("brisendor") << Language::English;
    QTest::newRow("corvane") << Language::Chinese;
  }

  void writeThenRead() {
    QFETCH(Language, language);
    SetLanguage(language);
    const int chip = f_.reader->AddTag("t5577");
    QVERIFY(f_.Connect());
    CHidDlg page;
    QVERIFY(ShowActive(page));
    Type(page.decFacility, "1");
    Type(page.decCard, "7");
    QTest::mouseClick(page.writeButton, Qt::LeftButton);
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindSuccess, U("写 HID 卡")));
    QCOMPARE(QString::fromStdString(f_.reader->Info(chip)->identity), QString("HID 1:7"));

    Retype(page.decFacility, "");
    Retype(page.decCard, "");
    QTest::mouseClick(page.readButton, Qt::LeftButton);
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindSuccess, U("读 HID 卡")));
    QCOMPARE(Fields(page), QString("01 0007 001 00007"));
    QCOMPARE(page.frame->text(), QString("202000E"));
    QCOMPARE(page.frameCaption->text(),
             language == Language::English ? QString("26 bits, parity computed:") : U("26位（校验位为计算值）："));
  }

  void readOfZeroKeepsTheFieldsWidths() {
    f_.reader->AddTag("hid:0:0");
    QVERIFY(f_.Connect());
    CHidDlg page;
    page.show();
    page.Read();
    QCOMPARE(Fields(page), QString("00 0000 000 00000"));
    QCOMPARE(page.frame->text(), QString("0000001"));
  }

  // A write the reader could not do is a failure, with its reason, though its reply arrived; the fields
  // keep what was typed. A failed read empties them.
  void failuresAreReportedAsSuch() {
    const int other = f_.reader->AddTag("em4100:0123456789");
    QVERIFY(f_.Connect());
    CHidDlg page;
    QVERIFY(ShowActive(page));
    Type(page.decFacility, "118");
    Type(page.decCard, "1603");
    page.Write();
    const QString failed = U("写 HID 失败，看看是否连接了读写器: ");
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindFailure, failed + "the tag does not read back what was written"));
    QCOMPARE(QString::fromStdString(f_.reader->Info(other)->identity), QString("EM4100 0123456789"));
    QCOMPARE(Fields(page), QString("76 0643 118 1603"));

    page.Read();
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindFailure, U("读 HID 失败")));
    QCOMPARE(Fields(page), QString("   "));

    // A T5577 whose read-back is lost: not counted as written (only a read-back counts).
    const int chip = f_.reader->AddTag("t5577");
    QVERIFY(f_.reader->PlaceOnReader(chip));
    sim::FaultRule lost;
    lost.fault = sim::Fault::NoAnswer;
    f_.reader->SetCommandFault(0x10D, lost);
    Type(page.decFacility, "5");
    Type(page.decCard, "9");
    page.Write();
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindFailure, failed + "no valid reply from the reader"));
  }

  void enterReads() {
    f_.reader->AddTag("hid:118:1603");
    QVERIFY(f_.Connect());
    CHidDlg page;
    QVERIFY(ShowActive(page));
    page.decCard->setFocus();
    QTest::keyClick(page.decCard, Qt::Key_Return);
    QCOMPARE(Fields(page), QString("76 0643 118 01603"));
    QTest::keyClick(page.decCard, Qt::Key_Escape);
    QVERIFY(page.isVisible());
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::HidPageTest)
#include "hid_page_test.moc"
