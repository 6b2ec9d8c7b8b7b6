// The block editor's confirmations and block 0: Cancel in any of them sends nothing, a lock
// is asked for and then holds, block 0 restored with and without the password, and the
// meaning of block 0 shown beside it after a read, in both builds.
#include "ata_dlg_support.h"
#include "resources/language.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace rivelo {

class AtaDlgConfigTest : public PageTest {
  Q_OBJECT

 private slots:
  // Lock and block 0 ask in that order; Cancel in either ends the write with nothing sent and
  // no status, with or without the password.
  void cancelSendsNothing() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    ScriptedDialogs dialogs;
    CAtaDlg page;
    Select(page, 0, 0, 1);
    SetField(page, 0, "00148040");
    page.passwordEdit->setText("00000000");
    const int before = b.Requests();
    const auto statuses = f_.statuses.size();

    for (QPushButton* button : {page.writeButton, page.writePwdButton}) {
      dialogs.requests.clear();
      dialogs.messageAnswers = {DialogAnswer::Cancel};
      button->click();
      QCOMPARE(dialogs.requests.size(), 1u);
      QCOMPARE(dialogs.requests[0].text, U("确定锁定卡片数据，以后不再更改？"));
      QCOMPARE(dialogs.requests[0].caption, U("提示"));
      QCOMPARE(dialogs.requests[0].icon, MessageIcon::Question);
      QCOMPARE(dialogs.requests[0].buttons, MessageButtons::OkCancel);

      dialogs.requests.clear();
      dialogs.messageAnswers = {DialogAnswer::Ok, DialogAnswer::Cancel};
      button->click();
      QCOMPARE(dialogs.requests.size(), 2u);
      QCOMPARE(dialogs.requests[1].text, U("块0是卡片配置块，此操作将可能破坏卡片！"));
      QCOMPARE(dialogs.requests[1].caption, U("警告"));
      QCOMPARE(dialogs.requests[1].icon, MessageIcon::Warning);
      QCOMPARE(dialogs.requests[1].buttons, MessageButtons::OkCancel);
    }

    dialogs.requests.clear();
    dialogs.messageAnswers = {DialogAnswer::Cancel};
    page.initButton->click();
    QCOMPARE(dialogs.requests.size(), 1u);
    QCOMPARE(dialogs.requests[0].text, U("此操作将会把卡片恢复到出厂设置！"));
    QCOMPARE(dialogs.requests[0].icon, MessageIcon::Warning);
    QCOMPARE(dialogs.requests[0].buttons, MessageButtons::OkCancel);

    QCOMPARE(b.Requests(), before);
    QCOMPARE(f_.statuses.size(), statuses);
    QCOMPARE(b.Word(0), 0x000880E8u);
    QVERIFY(!b.Locked(0));
  }

  // A read of block 0 goes without a warning; a write of another block without the lock asks nothing.
  void onlyLockAndBlock0Ask() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    ScriptedDialogs dialogs;
    CAtaDlg page;
    Select(page, 0, 0);
    page.readButton->click();
    Select(page, 0, 5);
    SetField(page, 5, "55555555");
    page.writeButton->click();
    QVERIFY(dialogs.requests.empty());
    QCOMPARE(b.Word(5), 0x55555555u);
  }

  // Once locked after the operator's OK, the block holds: a later write reads back the old
  // data and fails.
  void lockedBlockHolds() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    ScriptedDialogs dialogs;
    CAtaDlg page;
    Select(page, 0, 4, 1);
    SetField(page, 4, "44444444");
    page.writeButton->click();
    QCOMPARE(dialogs.requests.size(), 1u);
    QCOMPARE(dialogs.requests[0].icon, MessageIcon::Question);
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("写卡")));
    QVERIFY(b.Locked(4));

    page.lockCombo->setCurrentIndex(0);
    SetField(page, 4, "12345678");
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), Failure("写卡失败", LockedBlock));
    QCOMPARE(b.Word(4), 0x44444444u);
  }

  void restoreBlock0WithoutPassword() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    const std::uint8_t em4100[4] = {0x00, 0x14, 0x80, 0x40};
    QCOMPARE(CmdT5577WriteBlock(0, 0, 0, em4100), ROk);
    ScriptedDialogs dialogs;
    CAtaDlg page;
    Select(page, 1, 3, 1);  // the combos play no part
    page.initButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("复位成功")));
    QCOMPARE(b.Word(0), 0x000880E8u);
    QVERIFY(!b.Locked(0));
    QCOMPARE(Field(page, 0), QString("000880E8"));
    QVERIFY(page.block0Meaning->text().contains("factory configuration"));
    QCOMPARE(dialogs.requests.size(), 1u);  // the warning only: the password is never asked for
  }

  // The plain write is refused by a chip in password mode; the password write follows, and
  // without a password the operator is told and no status is made.
  void restoreBlock0WithPassword() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577:pwd=A0B0C0D0"));
    const std::uint32_t config = b.Word(0);
    ScriptedDialogs dialogs;
    CAtaDlg page;
    const auto statuses = f_.statuses.size();
    page.initButton->click();
    QCOMPARE(dialogs.requests.back().text, U("请输入8位数的密钥，即块7的数据！"));
    QCOMPARE(f_.statuses.size(), statuses);
    QCOMPARE(b.Word(0), config);

    page.passwordEdit->setText("A0B0C0D1");
    page.initButton->click();
    QCOMPARE(b.LastStatus(), Failure("检查有没有连接读写器或者卡片错误", PasswordMode));
    QCOMPARE(b.Word(0), config);
    QCOMPARE(Field(page, 0), QString());

    page.passwordEdit->setText("A0B0C0D0");
    page.initButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("复位成功")));
    QCOMPARE(b.Word(0), 0x000880E8u);
    QCOMPARE(Field(page, 0), QString("000880E8"));
  }

  void block0MeaningAfterRead_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("brisendor") << Language::English
                               << QStringList{"Block 0 00148040:", "Modulation: Manchester", "Data rate: RF/64",
                                              "MAXBLK: 2", "Password mode: off", "Answer on request (AOR): off",
                                              "Sequence terminator: off", "Layout: EM4100"};
    QTest::newRow("corvane") << Language::Chinese
                             << QStringList{U("块 0 00148040："), U("调制方式：Manchester"), U("数据速率：RF/64"),
                                            U("最大块（MAXBLK）：2"), U("密码模式：关"), U("唤醒应答（AOR）：关"),
                                            U("序列终止符：关"), U("格式：EM4100")};
  }

  // The meaning follows the block 0 read, and is gone once the operator types over the field.
  void block0MeaningAfterRead() {
    QFETCH(Language, language);
    QFETCH(QStringList, lines);
    SetLanguage(language);
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    const std::uint8_t id[5] = {0x11, 0x22, 0x33, 0x44, 0x55};
    QCOMPARE(CmdT5577WriteEm4100(id, 0), ROk);
    CAtaDlg page;
    QCOMPARE(page.block0Meaning->text(), QString());
    Select(page, 0, 0);
    page.readButton->click();
    QCOMPARE(Field(page, 0), QString("00148040"));
    QCOMPARE(page.block0Meaning->text().split('\n'), lines);

    // Read again on page 1, where block 0 is the same block.
    page.pageCombo->setCurrentIndex(1);
    page.readButton->click();
    QCOMPARE(page.block0Meaning->text().split('\n'), lines);

    QTest::keyClick(page.blockEdit[0], Qt::Key_Backspace);
    QCOMPARE(page.block0Meaning->text(), QString());
  }

  // A block 0 that leaves the tag hard to reach is said in words with its consequence before it
  // is written, in both builds; one that is written is backed up first, and the backup can be
  // found under the data folder.
  void block0RisksAreSaidAndTheTagBackedUp() {
    QTemporaryDir data;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    ScriptedDialogs dialogs;
    CAtaDlg page;
    Select(page, 0, 0);
    struct Row {
      Language language;
      const char* block0;
      QStringList said;
    };
    const std::vector<Row> rows = {
        {Language::English, "00107060", {"Modulation: FSK2a", "this write cannot be checked"}},
        {Language::English, "000880F8", {"Password mode: on", "without it the tag cannot be changed again"}},
        {Language::Chinese, "000882E8", {U("唤醒应答（AOR）：开"), U("须用密码唤醒")}},
    };
    for (const Row& row : rows) {
      SetLanguage(row.language);
      SetField(page, 0, row.block0);
      dialogs.requests.clear();
      dialogs.messageAnswers = {DialogAnswer::Cancel};
      page.writeButton->click();
      QCOMPARE(dialogs.requests.size(), 1u);
      QVERIFY(dialogs.requests[0].text.startsWith(U("块0是卡片配置块，此操作将可能破坏卡片！")));
      for (const QString& part : row.said) QVERIFY2(dialogs.requests[0].text.contains(part), qPrintable(dialogs.requests[0].text));
      QCOMPARE(b.Word(0), 0x000880E8u);
    }
    SetField(page, 0, "00148040");
    dialogs.messageAnswers = {DialogAnswer::Ok};
    page.writeButton->click();
    QCOMPARE(b.Word(0), 0x00148040u);
    const QStringList saved = QDir(data.path() + "/rivelo/backups").entryList(QDir::Files);
    QCOMPARE(saved.size(), 1);
    QFile file(data.path() + "/rivelo/backups/" + saved[0]);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("\"000880E8\""));
    qputenv("XDG_DATA_HOME", before);
  }

  // A word of no known layout still shows each field.
  void unknownBlock0KeepsItsFields() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    const std::uint8_t word[4] = {0x00, 0x14, 0x20, 0xA0};  // RF/64, PSK2, MAXBLK 5
    QCOMPARE(CmdT5577WriteBlock(0, 0, 0, word), ROk);
    CAtaDlg page;
    Select(page, 0, 0);
    page.readButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("读卡")));
    const QStringList lines = page.block0Meaning->text().split('\n');
    QCOMPARE(lines.value(1), QString("Modulation: PSK2"));
    QCOMPARE(lines.value(3), QString("MAXBLK: 5"));
    QCOMPARE(lines.value(2), QString("Data rate: RF/64"));
    QCOMPARE(lines.value(7), QString("Layout: none known"));
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::AtaDlgConfigTest)
#include "ata_dlg_config_test.moc"
