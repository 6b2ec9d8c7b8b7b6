// Card -> Tag passwords...: the dialog puts the session's passwords in force (or refuses what is
// no password), runs say in their first list line that they are in force without their values,
// and the block editors take the carried one into their password fields.
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "pages/common/tag_passwords.h"
#include "pages/em4305/em4305_dlg.h"
#include "pages/page_registry.h"
#include "pages/t5577/ata_dlg.h"
#include "pages/tagformats/ata_fdxb.h"
#include "reader_fixture.h"
#include "resources/texts_tag_passwords.h"
#include "shell/card_menu.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {
namespace {

std::optional<TagPassword> Pwd(const QString& hex) {
  if (hex.isEmpty()) return std::nullopt;
  const std::uint32_t v = hex.toUInt(nullptr, 16);
  return TagPassword{std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

}  // namespace

class TagPasswordsTest : public PageTest {
  Q_OBJECT

 private slots:
  void cleanup() {
    TagPasswords::Session().Set(std::nullopt, std::nullopt);
    f_.TearDown();
  }

  // Each opening answers the fields as given, OK; a refused entry is said and the dialog comes
  // back, here answered with Cancel, which leaves the passwords in force as they were.
  void dialogPutsPasswordsInForce_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QStringList>("entries");  // carried, given; for each opening
    QTest::addColumn<QString>("carried");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status");
    const QString none;
    QTest::newRow("both") << Language::English << QStringList{"11223344", "51243648"} << "11223344" << "51243648"
                          << none << "Tag passwords in force";
    QTest::newRow("carried only") << Language::Chinese << QStringList{"aabbccdd", ""} << "AABBCCDD" << none << none
                                  << U("标签密码已生效");
    QTest::newRow("given only, after a refused one")
        << Language::English << QStringList{"1122334", "", "", "01020304"} << none << "01020304"
        << "A tag password is 8 hex digits, or empty for none." << "Tag passwords in force";
    QTest::newRow("pasted non-hex, then cancelled") << Language::Chinese << QStringList{"1122334G", ""} << "99999999"
                                                    << none << U("标签密码是8位十六进制数，留空为不用。") << none;
    QTest::newRow("both empty: none") << Language::English << QStringList{"", ""} << none << none << none
                                      << "No tag passwords in force";
  }

  void dialogPutsPasswordsInForce() {
    QFETCH(Language, language);
    QFETCH(QStringList, entries);
    QFETCH(QString, carried);
    QFETCH(QString, given);
    QFETCH(QString, message);
    QFETCH(QString, status);
    SetLanguage(language);
    TagPasswords::Session().Set(Pwd("99999999"), std::nullopt);
    QWidget window;
    AddCardMenuEntries();
    const CardMenuEntry* item = nullptr;
    for (const CardMenuEntry& e : CardMenuEntries()) {
      if (e.text == &texts::tag_passwords::MenuItem) item = &e;
    }
    QVERIFY(item != nullptr);
    QCOMPARE(QString::fromUtf8((*item->text)()), language == Language::English ? QString("Tag passwords...") : U("标签密码..."));
    ScriptedDialogs dialogs;
    int opened = 0;
    QString shownFirst;
    dialogs.customAnswer = [&](QDialog& d) {
      auto& dialog = static_cast<TagPasswordsDlg&>(d);
      if (opened == 0) shownFirst = dialog.carried->text();
      if (2 * opened + 1 >= entries.size()) return int(QDialog::Rejected);
      dialog.carried->setText(entries[2 * opened]);
      dialog.given->setText(entries[2 * opened + 1]);
      ++opened;
      return int(QDialog::Accepted);
    };
    item->open(&window);
    QCOMPARE(shownFirst, QString("99999999"));  // what was in force
    QCOMPARE(TagPasswords::Session().Carried(), Pwd(carried));
    QCOMPARE(TagPasswords::Session().Given(), Pwd(given));
    QStringList messages;
    for (const auto& r : dialogs.requests)
      if (r.kind == ScriptedDialogs::Request::Kind::Message) messages << r.text;
    QCOMPARE(messages, message.isEmpty() ? QStringList{} : QStringList{message});
    QCOMPARE(f_.statuses.empty() ? QString() : f_.statuses.back().second, status);
  }

  // The run's first line names what is in force, never the value; the runner's choices carry both.
  void runSaysPasswordsAreInForce_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("carried");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("first");
    QTest::newRow("carried") << Language::English << "11223344" << "" << "Tag passwords in force: the tags' password";
    QTest::newRow("given") << Language::Chinese << "" << "51243648" << U("标签密码生效：写入的标签设密码");
    QTest::newRow("both") << Language::English << "11223344" << "51243648"
                          << "Tag passwords in force: the tags' password; a password for every tag written";
    QTest::newRow("none") << Language::English << "" << "" << "";
  }

  void runSaysPasswordsAreInForce() {
    QFETCH(Language, language);
    QFETCH(QString, carried);
    QFETCH(QString, given);
    QFETCH(QString, first);
    SetLanguage(language);
    f_.reader->SetFeeder("t5577", 1, 0);
    QVERIFY(f_.Connect());
    TagPasswords::Session().Set(Pwd(carried), Pwd(given));
    CAtaFdxb page;
    RunPanel& run = page.Panel();
    run.incremental->click();
    run.writeButton->click();
    QVERIFY(run.TimerRunning(IncrementalWriteTimer));
    run.writeButton->click();
    const QString line = run.list->count() > 0 ? run.list->item(0)->text() : QString();
    QCOMPARE(line.startsWith(U(language == Language::English ? "Tag passwords" : "标签密码")), !first.isEmpty());
    if (!first.isEmpty()) QCOMPARE(line, first);
    const RunChoices choices = run.Runner().Profile().choices();
    QCOMPARE(choices.password, Pwd(carried));
    QCOMPARE(choices.protect, Pwd(given));
  }

  // The T5577 editor's password field and the EM4305 editor's word 2 (which Login takes) show
  // the carried password, follow it, and work with it on protected chips.
  void blockEditorsUseTheCarriedPassword() {
    TagPasswords::Session().Set(Pwd("01020304"), Pwd("0A0B0C0D"));
    f_.reader->AddTag("t5577:pwd=01020304");
    const int em4305 = f_.reader->AddTag("em4305:pwd=01020304");
    QVERIFY(f_.Connect());
    CAtaDlg ata;
    EM4305Dlg em;
    CHexEdit& word2 = *em.wordEdit[2];
    QCOMPARE(ata.passwordEdit->text(), QString("01020304"));
    QCOMPARE(word2.text(), QString("04030201"));  // the page shows words in the order they travel
    ata.readPwdButton->click();
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindSuccess, U("读卡（有密码）")));

    TagPasswords::Session().Set(Pwd("11223344"), std::nullopt);
    QCOMPARE(ata.passwordEdit->text(), QString("11223344"));
    TagPasswords::Session().Set(std::nullopt, std::nullopt);
    QCOMPARE(ata.passwordEdit->text(), QString());
    QCOMPARE(word2.text(), QString());

    QVERIFY(f_.reader->PlaceOnReader(em4305));
    TagPasswords::Session().Set(Pwd("01020304"), std::nullopt);
    em.loginButton->click();
    QCOMPARE(f_.statuses.back(), std::make_pair(StatusKindSuccess, U("Login")));
    // Filled by the page, the password is not a word the operator changed: Write sends nothing.
    const int requests = f_.reader->GetCounters().requests;
    em.writeButton->click();
    QCOMPARE(f_.reader->GetCounters().requests, requests);
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::TagPasswordsTest)
#include "tag_passwords_test.moc"
