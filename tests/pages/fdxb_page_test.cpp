// The FDX-B pages on the offscreen platform: the six fields as an operator types into them,
// and the single write and read against the virtual reader, through the real serial path.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "pages/tagformats/ata_fdxb.h"
#include "pages/tagformats/em4305_fdxb_dlg.h"
#include "fdxb_test_support.h"
#include "model/country_names.h"
#include "reader_fixture.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"

namespace rivelo {
namespace {

std::unique_ptr<FdxbPage> MakePage(const QString& chip) {
  if (chip == "T5577") return std::make_unique<CAtaFdxb>();
  return std::make_unique<EM4305FdxbDlg>();
}

}  // namespace

class FdxbPageTest : public PageTest {
  Q_OBJECT

 private slots:
  // Each step is the typed field's text and its partner's after one more key; a value over
  // the number's maximum turns both into the maximum at the key that takes it over.
  void typingMirrorsIntoThePartner_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("inHex");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("national hex") << 0 << true << "4000000000"
                                  << QStringList{"4 000000000004",          "40 000000000064",
                                                 "400 000000001024",        "4000 000000016384",
                                                 "40000 000000262144",      "400000 000004194304",
                                                 "4000000 000067108864",    "40000000 001073741824",
                                                 "400000000 017179869184",  "3FFFFFFFFF 274877906943"};
    QTest::newRow("national dec") << 0 << false << "999999999999"
                                  << QStringList{"9 0000000009",           "99 0000000063",
                                                 "999 00000003E7",         "9999 000000270F",
                                                 "99999 000001869F",       "999999 00000F423F",
                                                 "9999999 000098967F",     "99999999 0005F5E0FF",
                                                 "999999999 003B9AC9FF",   "9999999999 02540BE3FF",
                                                 "99999999999 174876E7FF", "274877906943 3FFFFFFFFF"};
    QTest::newRow("country hex") << 1 << true << "0400" << QStringList{"0 0000", "04 0004", "040 0064", "03FF 1023"};
    QTest::newRow("country hex, three digits") << 1 << true << "3FF" << QStringList{"3 0003", "3F 0063", "3FF 1023"};
    QTest::newRow("country dec") << 1 << false << "9999" << QStringList{"9 0009", "99 0063", "999 03E7", "1023 03FF"};
    QTest::newRow("trailer dec") << 2 << false << "99999999"
                                 << QStringList{"9 000009",      "99 000063",      "999 0003E7",
                                                "9999 00270F",   "99999 01869F",   "999999 0F423F",
                                                "9999999 98967F", "16777215 FFFFFF"};
    QTest::newRow("trailer hex") << 2 << true << "FFFFFF"
                                 << QStringList{"F 00000015", "FF 00000255", "FFF 00004095", "FFFF 00065535",
                                                "FFFFF 01048575", "FFFFFF 16777215"};
  }

  void typingMirrorsIntoThePartner() {
    QFETCH(int, row);
    QFETCH(bool, inHex);
    QFETCH(QString, keys);
    QFETCH(QStringList, steps);
    for (const QString chip : {"T5577", "EM4305"}) {
      auto page = MakePage(chip);
      QVERIFY(ShowActive(*page));
      QLineEdit* own = inHex ? static_cast<QLineEdit*>(page->hex[row]) : page->dec[row];
      QLineEdit* partner = inHex ? static_cast<QLineEdit*>(page->dec[row]) : page->hex[row];
      own->setFocus();
      for (int i = 0; i < keys.size(); ++i) {
        QTest::keyClick(own, keys[i].toLatin1());
        QCOMPARE(own->text() + ' ' + partner->text(), steps[i]);
      }
      // Emptied key by key, the partner follows down to empty.
      while (!own->text().isEmpty()) QTest::keyClick(own, Qt::Key_Backspace);
      QCOMPARE(partner->text(), QString());
      for (int other = 0; other < 3; ++other) {
        if (other == row) continue;
        QCOMPARE(page->hex[other]->text(), QString());
        QCOMPARE(page->dec[other]->text(), QString());
      }
    }
  }

  // Only the field with the keyboard focus mirrors: what the page itself puts into a field
  // (a read, a cleared row) is neither clamped nor copied into its partner.
  void onlyTheFocusedFieldMirrors() {
    auto page = MakePage("T5577");
    QVERIFY(ShowActive(*page));
    page->dec[0]->setFocus();
    page->hex[1]->setText("0400");
    QCOMPARE(page->hex[1]->text(), QString("0400"));
    QCOMPARE(page->dec[1]->text(), QString());
    Type(page->hex[1], QString());  // the operator steps into it: nothing yet
    QCOMPARE(page->dec[1]->text(), QString());
    QTest::keyClick(page->hex[1], Qt::Key_Backspace);
    QTest::keyClick(page->hex[1], '1');
    QCOMPARE(page->hex[1]->text() + ' ' + page->dec[1]->text(), QString("03FF 1023"));
  }

  void writeAndReadBack_data() {
    QTest::addColumn<QString>("chip");
    QTest::addColumn<QString>("writeOk");
    QTest::addColumn<QString>("writeError");
    QTest::addColumn<QString>("readText");
    QTest::newRow("T5577") << "T5577" << QString::fromUtf8("写FDX-B（ISO11784/85）")
                           << QString::fromUtf8("写FDX-B（ISO11784/85）失败")
                           << QString::fromUtf8("读FDX-B（ISO11784/85）卡");
    QTest::newRow("EM4305") << "EM4305" << QString::fromUtf8("Write FDX-B（ISO11784/85）")
                            << QString::fromUtf8("Write FDX-B（ISO11784/85）error")
                            << QString::fromUtf8("Read FDX-B（ISO11784/85）");
  }

  // A write counts only when the tag reads back with all ten bytes; the fields stay as entered.
  void writeAndReadBack() {
    QFETCH(QString, chip);
    QFETCH(QString, writeOk);
    QFETCH(QString, writeError);
    QFETCH(QString, readText);
    const int blank = f_.reader->AddTag(chip.toLower().toStdString());
    const int other = f_.reader->AddTag("fdxb:999:5");
    QVERIFY(f_.Connect());
    auto page = MakePage(chip);
    QVERIFY(ShowActive(*page));
    RunPanel& run = page->Panel();

    Enter(*page, "274877906943", "999", "ABCDE");  // an odd digit is a byte of its own: 0A BC DE
    const QStringList entered = Fields(*page);
    run.writeButton->click();
    QVERIFY(!run.writeButton->isChecked());
    QCOMPARE(f_.statuses.back(), std::make_pair(1, writeOk));
    QCOMPARE(FdxbInMemory(*f_.reader, *f_.reader->Info(blank)), FdxbText(999, 274877906943, 0x0ABCDE));
    QCOMPARE(Fields(*page), entered);

    // Empty fields write national 0, country 0 and trailer 0 like any other identity.
    Enter(*page, "", "", "");
    QCOMPARE(Fields(*page), QStringList(6, QString()));
    run.writeButton->click();
    QCOMPARE(f_.statuses.back(), std::make_pair(1, writeOk));
    QCOMPARE(FdxbInMemory(*f_.reader, *f_.reader->Info(blank)), FdxbText(0, 0, 0));

    // Another tag on the reader answers the read-back with its own identity.
    f_.reader->PlaceOnReader(other);
    Enter(*page, "6", "999", "");
    run.writeButton->click();
    QCOMPARE(f_.statuses.back(), std::make_pair(0, writeError));

    // A write the tag refuses still counts when the tag already carries the identity.
    Retype(page->dec[0], "5");
    run.writeButton->click();
    QCOMPARE(f_.statuses.back(), std::make_pair(1, writeOk));

    run.readButton->click();
    QVERIFY(!run.readButton->isChecked());
    QCOMPARE(f_.statuses.back(), std::make_pair(1, readText));
    QCOMPARE(Fields(*page), (QStringList{"0000000005", "000000000005", "03E7", "0999", "000000", "00000000"}));
    QCOMPARE(page->animalId->text().left(16), QString("999 000000000005"));

    // A read that finds nothing empties all six fields and says so in the same words, in red.
    f_.reader->TakeOffReader();
    run.readButton->click();
    QCOMPARE(f_.statuses.back(), std::make_pair(0, readText));
    QCOMPARE(Fields(*page), QStringList(6, QString()));
    QCOMPARE(page->animalId->text(), QString());
  }

  void notConnected() {
    for (const QString chip : {"T5577", "EM4305"}) {
      auto page = MakePage(chip);
      QVERIFY(ShowActive(*page));
      Enter(*page, "1", "2", "3");
      page->Panel().readButton->click();
      QCOMPARE(Fields(*page), QStringList(6, QString()));
      QCOMPARE(f_.statuses.back().first, 0);
      QCOMPARE(f_.statuses.back().second,
               chip == "T5577" ? QString::fromUtf8("没有连接读写器") : QString("No device connect"));
      QVERIFY(!page->Panel().readButton->isChecked());
    }
  }

  void animalIdLineFollowsTheRead_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("line");
    QTest::newRow("brisendor") << Language::English << "fdxb:276:123456789012" << "276 123456789012   Germany";
    QTest::newRow("corvane") << Language::Chinese << "fdxb:276:123456789012"
                             << QString::fromUtf8("276 123456789012   德国");
    QTest::newRow("test code") << Language::English << "fdxb:999:5" << "999 000000000005   test code 999";
  }

  // The line under the fields tells the operator what a read found, with its country in the
  // program's language on either page, and goes as soon as the fields stop showing it.
  void animalIdLineFollowsTheRead() {
    QFETCH(Language, language);
    QFETCH(QString, tag);
    QFETCH(QString, line);
    if (CountryCount() == 0) QSKIP("built without iso-codes: no country names");
    SetLanguage(language);
    f_.reader->AddTag(tag.toStdString());
    QVERIFY(f_.Connect());
    for (const QString chip : {"T5577", "EM4305"}) {
      auto page = MakePage(chip);
      QVERIFY(ShowActive(*page));
      page->Panel().readButton->click();
      QCOMPARE(page->animalId->text(), line);
      QCOMPARE(page->animalId->accessibleName(), page->animalIdCaption->text());
      Retype(page->dec[2], "1");
      QCOMPARE(page->animalId->text(), QString());
    }
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::FdxbPageTest)
#include "fdxb_page_test.moc"
