// Card -> "Inspect tag...": the dialog against the virtual reader, in both builds; a protected
// T5577 is named protected without its password and read with it, which is never shown.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "pages/inspect/inspect_dlg.h"
#include "reader_fixture.h"
#include "resources/language.h"

namespace rivelo {

class InspectDlgTest : public PageTest {
  Q_OBJECT

 private slots:
  void protectedT5577InBothBuilds() {
    QVERIFY(f_.reader->AddTag("t5577:pwd=11223344") >= 0);
    QVERIFY(f_.Connect());
    struct Row {
      Language language;
      const char* password;
      std::vector<const char*> expected;
    };
    const std::vector<Row> rows = {
        {Language::English, "", {"Chip: T5577", "Password-protected; Its memory reads only with the password"}},
        {Language::English, "11223344", {"Configuration: 000880F8", "Block 7: (the password, not shown)"}},
        {Language::English, "1122", {"The password is 8 hex digits"}},
        {Language::Chinese, "", {"芯片：T5577", "须输入密码才能读取存储区"}},
        {Language::Chinese, "11223344", {"配置：000880F8", "块 7: （密码，不显示）"}},
    };
    for (const Row& row : rows) {
      SetLanguage(row.language);
      InspectDlg dialog;
      dialog.password->setText(QString::fromLatin1(row.password));
      dialog.inspectButton->click();
      const QString text = dialog.report->toPlainText();
      for (const char* e : row.expected) QVERIFY2(text.contains(QString::fromUtf8(e)), qPrintable(text));
      QVERIFY(!text.contains(QStringLiteral("11223344")));
    }
  }

  void readOnlyTagAndNoReader() {
    QVERIFY(f_.reader->AddTag("hid:118:1603") >= 0);
    InspectDlg dialog;
    dialog.inspectButton->click();
    QCOMPARE(dialog.report->toPlainText(), QStringLiteral("No reader is connected."));
    QVERIFY(f_.Connect());
    dialog.inspectButton->click();
    QVERIFY2(dialog.report->toPlainText().contains(QStringLiteral("Identity: HID 26-bit 118:1603 (read by the reader)")),
             qPrintable(dialog.report->toPlainText()));
    QCOMPARE(dialog.password->accessibleName(), QStringLiteral("Password"));
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::InspectDlgTest)
#include "inspect_dlg_test.moc"
