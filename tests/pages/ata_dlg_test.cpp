// The T5577 block editor against the virtual reader: block writes read back with and without
// the password, the input checks that stop before anything is sent, page reads, wake-up and
// reset, and lines that fail.
#include "ata_dlg_support.h"

namespace rivelo {

class AtaDlgTest : public PageTest {
  Q_OBJECT

 private slots:
  void blockWriteReadsBackWithoutPassword() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    ScriptedDialogs dialogs;
    CAtaDlg page;
    Select(page, 0, 3);
    SetField(page, 3, "11223344");
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("写卡")));
    QCOMPARE(b.Word(3), 0x11223344u);
    QVERIFY(!b.Locked(3));
    QVERIFY(dialogs.requests.empty());

    // A field of 7 digits is taken with a leading 0.
    SetField(page, 3, "ABCDEF1");
    page.writeButton->click();
    QCOMPARE(b.Word(3), 0x0ABCDEF1u);

    SetField(page, 3, "");
    page.readButton->click();
    QCOMPARE(Field(page, 3), QString("0ABCDEF1"));
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("读卡")));

    // Page 1 block 1 is the factory's locked traceability block: the reader answers both
    // commands, but what it reads back is not what was written.
    const std::uint32_t trace = b.Word(9);
    Select(page, 1, 1);
    SetField(page, 1, "00000000");
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), Failure("写卡失败", LockedBlock));
    QCOMPARE(b.Word(9), trace);
    QCOMPARE(Field(page, 1), QString("00000000"));  // a write never changes the fields
  }

  void blockWriteReadsBackWithPassword() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577:pwd=01020304"));
    ScriptedDialogs dialogs;
    CAtaDlg page;
    Select(page, 0, 2);
    SetField(page, 2, "CAFEBABE");

    page.passwordEdit->setText("01020305");
    page.writePwdButton->click();
    QCOMPARE(b.LastStatus(), Failure("写卡失败", PasswordMode));
    QCOMPARE(b.Word(2), 0u);

    page.passwordEdit->setText("01020304");
    page.writePwdButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("写卡（有密码）")));
    QCOMPARE(b.Word(2), 0xCAFEBABEu);

    // The plain read is refused by a chip in password mode; the field keeps what it showed.
    SetField(page, 2, "1234");
    page.readButton->click();
    QCOMPARE(b.LastStatus(), Failure("读卡失败", PasswordMode));
    QCOMPARE(Field(page, 2), QString("1234"));
    page.readPwdButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("读卡（有密码）")));
    QCOMPARE(Field(page, 2), QString("CAFEBABE"));
    QVERIFY(dialogs.requests.empty());
  }

  // An entry that does not give 4 bytes is told in a box, before anything reaches the reader,
  // and no status follows.
  void inputErrorsSendNothing() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    ScriptedDialogs dialogs;
    CAtaDlg page;
    const int before = b.Requests();
    const auto statuses = f_.statuses.size();

    Select(page, 0, 3);
    page.writeButton->click();
    QCOMPARE(dialogs.requests.back().text, U("请在块 3 输入 8 位数据"));
    QCOMPARE(dialogs.requests.back().caption, U("提示"));
    QCOMPARE(dialogs.requests.back().icon, MessageIcon::Information);
    QCOMPARE(dialogs.requests.back().buttons, MessageButtons::Ok);

    Select(page, 0, 0);
    SetField(page, 3, "11223344");  // only the selected block's field counts
    page.writeButton->click();      // the block-0 warning, answered OK, then the box
    QCOMPARE(dialogs.requests.back().text, U("请在块 0 输入 8 位数据"));

    // Pasted text that is no hex is refused like a wrong length, never written into block 0.
    SetField(page, 0, "0008 0E8");
    page.writeButton->click();
    QCOMPARE(dialogs.requests.back().text, U("请在块 0 输入 8 位数据"));
    SetField(page, 0, "00G880E8");
    page.writeButton->click();
    QCOMPARE(dialogs.requests.back().text, U("请在块 0 输入 8 位数据"));

    SetField(page, 0, "000880E8");
    for (QPushButton* button : {page.readPwdButton, page.writePwdButton, page.wakeButton}) {
      page.passwordEdit->setText("123456");
      button->click();
      QCOMPARE(dialogs.requests.back().text, U("请输入8位数的密钥，即块7的数据！"));
      QCOMPARE(dialogs.requests.back().caption, U("提示"));
    }
    QCOMPARE(b.Requests(), before);
    QCOMPARE(f_.statuses.size(), statuses);
  }

  // Groups of 4 go to blocks 1 up; the blocks not returned are emptied, block 0 is never touched.
  void pageReadShowsTheReturnedBlocks() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    const std::uint8_t one[4] = {0x11, 0x11, 0x11, 0x11}, seven[4] = {0x77, 0x77, 0x77, 0x77};
    QCOMPARE(CmdT5577WriteBlock(0, 1, 0, one), ROk);
    QCOMPARE(CmdT5577WriteBlock(0, 7, 0, seven), ROk);
    CAtaDlg page;
    for (int block = 0; block < 8; ++block) SetField(page, block, "DEADBEEF");
    Select(page, 0, 5);  // only the page counts
    page.readPageButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("整页读")));
    QCOMPARE(Field(page, 1), QString("11111111"));
    for (int block = 2; block <= 6; ++block) QCOMPARE(Field(page, block), QString("00000000"));
    QCOMPARE(Field(page, 7), QString("77777777"));
    QCOMPARE(Field(page, 0), QString("DEADBEEF"));

    // Page 1 returns its blocks 1-3: the traceability data and the front-end options.
    page.pageCombo->setCurrentIndex(1);
    page.readPageButton->click();
    QCOMPARE(Field(page, 1), QString::number(b.Word(9), 16).toUpper().rightJustified(8, '0'));
    QCOMPARE(Field(page, 2), QString::number(b.Word(10), 16).toUpper().rightJustified(8, '0'));
    QCOMPARE(Field(page, 3), QString("00000000"));
    for (int block = 4; block <= 7; ++block) QCOMPARE(Field(page, block), QString());
    QCOMPARE(Field(page, 0), QString("DEADBEEF"));

    // A lost reply fails the read and leaves the fields.
    f_.reader->SetCommandFault(CodeT5577FetchData, {sim::Fault::NoAnswer});
    page.pageCombo->setCurrentIndex(0);
    page.readPageButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("整页读失败")));
    QCOMPARE(Field(page, 1), QString::number(b.Word(9), 16).toUpper().rightJustified(8, '0'));
  }

  // A chip that answers on request only is silent after a reset, which still counts as done;
  // the wake-up with its password brings it back with blocks 1..MAXBLK.
  void wakeAndReset() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577:pwd=11223344:aor"));
    ScriptedDialogs dialogs;
    CAtaDlg page;
    SetField(page, 1, "ABCD");
    page.resetButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("复位卡片")));
    QCOMPARE(Field(page, 1), QString("ABCD"));

    page.passwordEdit->setText("11223340");
    page.wakeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("唤醒失败")));
    page.passwordEdit->setText("11223344");
    Select(page, 1, 0, 1);  // the wake-up ignores the combos
    page.wakeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("唤醒卡片")));
    QCOMPARE(Field(page, 1), QString("00000000"));
    QCOMPARE(Field(page, 7), QString("11223344"));
    QVERIFY(dialogs.requests.empty());

    f_.reader->SetCommandFault(CodeT5577Reset, {sim::Fault::NoAnswer});
    page.resetButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("复位失败")));
  }

  void modulationComboSetsTheDecodingMode() {
    AtaBench b{f_};
    QVERIFY(b.Start("t5577"));
    CAtaDlg page;
    QCOMPARE(f_.reader->GetCounters().readMode, -1);  // the initial selection sends nothing
    QTest::keyClick(page.modulationCombo, Qt::Key_Down);
    QCOMPARE(f_.reader->GetCounters().readMode, 0x25);
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("Manchester RF/64模式")));
    QTest::keyClick(page.modulationCombo, Qt::Key_Up);
    QCOMPARE(f_.reader->GetCounters().readMode, 0x2A);
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("Manchester RF/32模式")));

    f_.reader->SetCommandFault(CodeSetReadMode, {sim::Fault::BadChecksum});
    QTest::keyClick(page.modulationCombo, Qt::Key_Down);
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("设置失败，可能没有连接读写器")));
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::AtaDlgTest)
#include "ata_dlg_test.moc"
