// The "More formats" page against the virtual reader: a format chosen, its fields typed, written
// onto a T5577 and read back in both builds, the blocks checked with the virtual reader's own
// decoder; fields made from each format's descriptor; and a ten-tag run from a batch file.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "fdxb_test_support.h"
#include "pages/moreformats/more_formats_page.h"
#include "reader_fixture.h"
#include "resources/texts_more_formats.h"
#include "shell/scripted_dialogs.h"
#include "sim/access_decoders.h"

namespace rivelo {
namespace {

// What the virtual reader's own decoder reads in the tag's blocks: "HID H10301 118:1603".
QString BlockFormat(const sim::VirtualReader& reader, int tag) {
  const auto memory = reader.Memory(tag);
  if (!memory) return {};
  const std::vector<std::uint32_t> data(memory->words.begin() + 1, memory->words.begin() + 8);
  return QString::fromStdString(sim::DecodeAccessBlocks(memory->words[0], data));
}

bool ChooseFormat(MoreFormatsPage& page, const char* name) {
  for (std::size_t i = 0; i < page.Formats().size(); ++i) {
    if (std::string_view(page.Formats()[i]->name) != name) continue;
    page.chooser->setCurrentIndex(static_cast<int>(i));
    return page.Panel() != nullptr && page.rows.size() == page.Formats()[i]->fields.size();
  }
  return false;
}

QStringList FieldTexts(const MoreFormatsPage& page) {
  QStringList texts;
  for (const auto& row : page.rows) texts << row.edit->text();
  return texts;
}

}  // namespace

class MoreFormatsTest : public QObject {
  Q_OBJECT

 private:
  ReaderFixture f_;

 private slots:
  void init() { f_.SetUp(); }
  void cleanup() { f_.TearDown(); }

  void writeThenRead_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("onTag");      // as the virtual reader decodes the blocks
    QTest::addColumn<QStringList>("readBack");
    QTest::addColumn<QString>("writeOk");
    QTest::newRow("brisendor, HID H10301") << Language::English << "hid-h10301" << QStringList{"118", "1603"}
                                           << "HID H10301 118:1603" << QStringList{"118", "1603"}
                                           << "Write HID Prox 26-bit (H10301) OK";
    QTest::newRow("corvane, Jablotron in hex") << Language::Chinese << "jablotron" << QStringList{"1a2b3c4d5e"}
                                               << "Jablotron 1A2B3C4D5E" << QStringList{"1A2B3C4D5E"}
                                               << U("写卡 Jablotron OK");
    QTest::newRow("corvane, AWID, leading zeros") << Language::Chinese << "awid26" << QStringList{"007", "00045"}
                                                  << "AWID26 7:45" << QStringList{"7", "45"} << U("写卡 AWID 26-bit OK");
  }

  void writeThenRead() {
    QFETCH(Language, language);
    QFETCH(QString, format);
    QFETCH(QStringList, typed);
    QFETCH(QString, onTag);
    QFETCH(QStringList, readBack);
    QFETCH(QString, writeOk);
    SetLanguage(language);
    const int chip = f_.reader->AddTag("t5577");
    QVERIFY(f_.Connect());
    MoreFormatsPage page;
    QVERIFY(ShowActive(page));
    QVERIFY(ChooseFormat(page, format.toLatin1().constData()));
    for (std::size_t i = 0; i < page.rows.size(); ++i) Retype(page.rows[i].edit, typed[int(i)]);
    page.Panel()->writeButton->click();
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindSuccess, writeOk));
    QCOMPARE(BlockFormat(*f_.reader, chip), onTag);

    for (auto& row : page.rows) row.edit->clear();
    page.Panel()->readButton->click();
    QCOMPARE(f_.statuses.back().first, StatusKindSuccess);
    QCOMPARE(FieldTexts(page), readBack);
  }

  // Every format in both builds: each field at its greatest value is written and read back.
  void everyFormatWritesAndReadsInBothBuilds() {
    QVERIFY(f_.Connect());
    for (const Language language : {Language::English, Language::Chinese}) {
      SetLanguage(language);
      MoreFormatsPage page;
      QVERIFY(ShowActive(page));
      for (const access::AccessFormat* format : page.Formats()) {
        const QString trace = QString::fromUtf8(format->name);
        const int chip = f_.reader->AddTag("t5577");
        QVERIFY2(ChooseFormat(page, format->name), qPrintable(trace));
        QStringList typed;
        for (const access::AccessField& field : format->fields) {
          typed << (field.hexDigits == 0 ? QString::number(field.max)
                                         : QString::number(field.max, 16).toUpper().rightJustified(field.hexDigits, '0'));
        }
        for (std::size_t i = 0; i < page.rows.size(); ++i) Retype(page.rows[i].edit, typed[int(i)]);
        page.Panel()->writeButton->click();
        QVERIFY2(f_.statuses.back().first == StatusKindSuccess, qPrintable(trace + ": " + f_.statuses.back().second));
        for (auto& row : page.rows) row.edit->clear();
        page.Panel()->readButton->click();
        QVERIFY2(f_.statuses.back().first == StatusKindSuccess, qPrintable(trace));
        QCOMPARE(FieldTexts(page), typed);
        f_.reader->RemoveTag(chip);
      }
    }
  }

  // Every format's fields: named by their captions, each with its range beside it; a value
  // typed past the greatest shows the greatest; an empty field is named before anything is sent.
  void fieldsComeFromTheFormat() {
    QVERIFY(f_.Connect());
    MoreFormatsPage page;
    QVERIFY(ShowActive(page));
    QVERIFY(page.Formats().size() >= 12);
    for (int i = 0; i < int(page.Formats().size()); ++i) {
      page.chooser->setCurrentIndex(i);
      const access::AccessFormat& format = *page.Formats()[std::size_t(i)];
      QCOMPARE(page.chooser->currentText(), U(format.title));
      QCOMPARE(page.rows.size(), format.fields.size());
      for (std::size_t r = 0; r < page.rows.size(); ++r) {
        const auto& row = page.rows[r];
        QVERIFY2(texts::more_formats::FieldCaption(format.fields[r].name), format.fields[r].name);  // both builds
        QVERIFY(!row.caption->text().isEmpty() && row.range->text().contains(" to "));
        QCOMPARE(row.edit->accessibleName(), row.caption->text());
        Retype(row.edit, QString(row.edit->maxLength(), '9'));
        const auto& field = format.fields[r];
        const QString max = field.hexDigits ? QString("%1").arg(field.max, field.hexDigits, 16, QChar('0')).toUpper()
                                            : QString::number(field.max);
        if (QString(row.edit->maxLength(), '9').toULongLong(nullptr, field.hexDigits ? 16 : 10) >= field.max)
          QCOMPARE(row.edit->text(), max);
      }
    }
    QVERIFY(ChooseFormat(page, "hid-h10301"));
    Retype(page.rows[0].edit, "1");
    page.rows[1].edit->clear();
    ScriptedDialogs dialogs;
    const int requests = f_.reader->GetCounters().requests;
    page.Panel()->writeButton->click();
    QCOMPARE(f_.reader->GetCounters().requests, requests);
    QCOMPARE(dialogs.requests.size(), std::size_t(1));
    QCOMPARE(dialogs.requests[0].text, QString("\"Card number\": enter a value from 0 to 65535."));
  }

  // Ten lines of a batch file onto ten blank T5577s, in order, each read back and each holding
  // its line as the virtual reader's decoder reads the blocks.
  void runFromFileWritesTenTags() {
    QTemporaryDir dir;
    QFile file(dir.filePath("cards.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QStringList onTags;
    for (int card = 65530; card < 65540; ++card) {
      file.write(QString("0:%1:%2\n").arg(card / 65536 + 1).arg(card % 65536).toLatin1());
      onTags << QString("HID 36-bit OEM 0:%1:%2").arg(card / 65536 + 1).arg(card % 65536);
    }
    file.close();
    f_.reader->SetFeeder("t5577", 10, 0);
    QVERIFY(f_.Connect());
    MoreFormatsPage page;
    QVERIFY(ChooseFormat(page, "hid-36-oem"));
    RunPanel& run = *page.Panel();
    ScriptedDialogs dialogs;
    dialogs.files = {file.fileName()};
    run.fromFile->click();
    QVERIFY(run.fromFile->isChecked());
    run.writeButton->click();
    QVERIFY(run.TimerRunning(FileWriteTimer) && !page.chooser->isEnabled());
    for (int i = 0; i < 200 && run.TimerRunning(FileWriteTimer); ++i) run.TickTimer(FileWriteTimer);
    QVERIFY(!run.TimerRunning(FileWriteTimer) && page.chooser->isEnabled());
    QStringList fed;
    for (const sim::TagInfo& tag : f_.reader->Tags())
      if (tag.fed) fed << BlockFormat(*f_.reader, tag.id);
    QCOMPARE(fed, onTags);
    QCOMPARE(run.list->item(1)->text(), "Tag count 10");
    QCOMPARE(run.list->item(11)->text(), "Number 10：0:2:3");
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::MoreFormatsTest)
#include "more_formats_test.moc"
