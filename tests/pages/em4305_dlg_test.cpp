// The EM4305 word editor against the virtual reader's EM4305: only edited words are written,
// the words it never writes, the password and configuration words with their messages, reads
// with the configuration word's meaning, login, disable and the decoding mode.
#include "em4305_dlg_support.h"

namespace rivelo {

class Em4305DlgTest : public PageTest {
  Q_OBJECT

 private slots:
  void writesOnlyEditedWords() {
    Em4305Bench b(f_);
    QVERIFY(b.Start());
    ScriptedDialogs dialogs;
    EM4305Dlg page;

    int before = b.Requests();
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("No word has be changed")));
    QCOMPARE(b.Requests(), before);

    Type(page, 3, "11223344");
    Type(page, 5, "ABCDEF1");  // 7 digits: the leading one is a byte of its own
    Type(page, 7, "CAFEBABE");
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("modify ：3，5，7，")));
    // The reader takes the bytes least significant first.
    QCOMPARE(b.Word(3), 0x44332211u);
    QCOMPARE(b.Word(5), 0xF1DEBC0Au);
    QCOMPARE(b.Word(7), 0xBEBAFECAu);

    // Written words are not written again, nor is a word read into its field.
    before = b.Requests();
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("No word has be changed")));
    QCOMPARE(b.Requests(), before);
    Type(page, 6, "01020304");
    ReadWord(page, 6);  // a completed read drops the edit too
    QCOMPARE(Field(page, 6), QString("00000000"));
    ReadWord(page, 3);
    QCOMPARE(Field(page, 3), QString("11223344"));
    before = b.Requests();
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("No word has be changed")));
    QCOMPARE(b.Requests(), before);

    // Edited again after the read, it is written.
    Type(page, 3, "55667788");
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("modify ：3，")));
    QCOMPARE(b.Word(3), 0x88776655u);
    QVERIFY(dialogs.requests.empty());
  }

  void refusedAndMalformedWords() {
    Em4305Bench b(f_);
    QVERIFY(b.Start());
    ScriptedDialogs dialogs;
    EM4305Dlg page;
    const std::uint32_t uid = b.Word(1), p1 = b.Word(14), p2 = b.Word(15);

    Type(page, 1, "11111111");
    Type(page, 14, "FFFFFFFF");
    Type(page, 15, "FFFFFFFF");
    Type(page, 8, "123456");  // 3 bytes
    Type(page, 9, "09090909");
    const int before = b.Requests();
    page.writeButton->click();
    const QString refusal = U("UID，Prote 1，Prote 2 can't write");
    QCOMPARE(Boxes(dialogs), QStringList({refusal, U("Data format error"), refusal, refusal}));
    for (const auto& r : dialogs.requests) QCOMPARE(r.caption, QString("Tip"));
    QCOMPARE(b.Requests(), before + 2);  // word 9 alone, written and read back
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("modify ：9，")));
    QCOMPARE(b.Word(1), uid);
    QCOMPARE(b.Word(14), p1);
    QCOMPARE(b.Word(15), p2);

    // Refused once each: the next write finds nothing left to do.
    dialogs.requests.clear();
    page.writeButton->click();
    QVERIFY(dialogs.requests.empty());
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("No word has be changed")));

    // A pasted character that is no hex digit is refused like a wrong length, never sent.
    page.wordEdit[10]->setText(QString::fromUtf8("1234567Ｇ"));
    page.OnWordChange(10);
    page.writeButton->click();
    QCOMPARE(Boxes(dialogs), QStringList({U("Data format error")}));
    QCOMPARE(b.Word(10), 0u);
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("No word has be changed")));
  }

  void passwordWordBeforeAndAfterLogin() {
    Em4305Bench b(f_);
    QVERIFY(b.Start("em4305:pwd=00000000"));
    ScriptedDialogs dialogs;
    EM4305Dlg page;

    Type(page, 2, "11223344");
    page.writeButton->click();
    QCOMPARE(Boxes(dialogs), QStringList({U("Please login and then change")}));
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("No word has be changed")));
    QCOMPARE(b.Word(2), 0u);

    // Login takes what the field holds; an empty one is refused before the reader is asked.
    page.wordEdit[2]->clear();
    dialogs.requests.clear();
    int before = b.Requests();
    page.loginButton->click();
    QCOMPARE(Boxes(dialogs), QStringList({U("Data format error")}));
    QCOMPARE(b.Requests(), before);
    page.wordEdit[2]->setText("00000001");
    page.loginButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("Password error")));
    page.wordEdit[2]->setText("00000000");
    page.loginButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("Login")));

    dialogs.requests.clear();
    Type(page, 2, "11223344");
    page.writeButton->click();
    QCOMPARE(Boxes(dialogs), QStringList({U("Password has changed, please remember")}));
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("modify ：2，")));
    QCOMPARE(b.Word(2), 0x44332211u);

    // The password is never read.
    before = b.Requests();
    page.wordEdit[2]->setText("99");
    ReadWord(page, 2);
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("Word 2 is password，can't read")));
    QCOMPARE(b.Requests(), before);
    QCOMPARE(Field(page, 2), QString("99"));
  }

  void configurationWordAsksAndMayFail() {
    Em4305Bench b(f_);
    QVERIFY(b.Start());
    ScriptedDialogs dialogs;
    EM4305Dlg page;
    const std::uint32_t factory = b.Word(4);

    dialogs.messageAnswers = {DialogAnswer::Cancel};
    Type(page, 4, "5F800100");
    Type(page, 3, "01000000");
    int before = b.Requests();
    page.writeButton->click();
    QCOMPARE(Boxes(dialogs), QStringList({U("Do you want to modify configuration word?")}));
    QCOMPARE(dialogs.requests[0].buttons, MessageButtons::OkCancel);
    QCOMPARE(b.Requests(), before + 2);  // word 3 only, written and read back
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("modify ：3，")));
    QCOMPARE(b.Word(4), factory);

    // With word 4 protected, OK sends the write, which fails with no box of its own.
    const std::uint8_t four[] = {4};
    QCOMPARE(CmdEm4305Protect(four), EOk);
    dialogs.requests.clear();
    Type(page, 4, "5F800100");
    page.writeButton->click();
    QCOMPARE(Boxes(dialogs), QStringList({U("Do you want to modify configuration word?")}));
    QCOMPARE(b.LastStatus(),
             std::make_pair(0, U("No word has be changed: word 4, the tag refused it, or no tag answered; the word may "
                                 "be protected, or the chip asks for a login: Login first")));
    QCOMPARE(b.Word(4), factory);
  }

  void readsShowTheWordAndTheConfiguration() {
    Em4305Bench b(f_);
    QVERIFY(b.Start());
    ScriptedDialogs dialogs;
    EM4305Dlg page;

    // As delivered: RF/32, bi-phase, words 5 to 8.
    ReadWord(page, 4);
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("Read Word 4")));
    QCOMPARE(Field(page, 4), QString("8F000200"));
    QVERIFY(page.configMeaning->text().contains("RF/32"));
    QVERIFY(page.configMeaning->text().contains("bi-phase"));
    QVERIFY(page.configMeaning->text().contains("words 5 to 8"));
    // Typing over the word leaves no meaning that no longer stands for it.
    Type(page, 4, "0");
    QVERIFY(page.configMeaning->text().isEmpty());

    // The EM4100 layout, in the Chinese build's words.
    const std::uint8_t id[] = {0x11, 0x22, 0x33, 0x44, 0x55};
    QCOMPARE(CmdEm4305WriteEm4100(std::span<const std::uint8_t, 5>(id), 0), EOk);
    SetLanguage(Language::Chinese);
    ReadWord(page, 4);
    QCOMPARE(Field(page, 4), QString("5F800100"));
    const QString meaning = page.configMeaning->text();
    QVERIFY2(meaning.contains("RF/64") && meaning.contains(U("曼彻斯特")) && meaning.contains(U("字 5 至 6")),
             qPrintable(meaning));
    QVERIFY(meaning.contains(U("允许禁用：否")));
    ReadWord(page, 5);
    QCOMPARE(Field(page, 5), QString("FF31A694"));  // 94A631FF, least significant byte first
  }

  void failedReadEmptiesOnlyItsField() {
    Em4305Bench b(f_);
    QVERIFY(b.Start());
    ScriptedDialogs dialogs;
    EM4305Dlg page;
    ReadWord(page, 4);
    page.wordEdit[6]->setText("12345678");
    QVERIFY(f_.reader->RemoveTag(b.tag));
    ReadWord(page, 4);
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("Read Word 4 error: the tag refused it, or no tag answered; the "
                                                  "chip may ask for a login to read: Login first")));
    QVERIFY(Field(page, 4).isEmpty());
    QVERIFY(page.configMeaning->text().isEmpty());
    QCOMPARE(Field(page, 6), QString("12345678"));
    QVERIFY(dialogs.requests.empty());
  }

  void disableAndDecodingMode() {
    Em4305Bench b(f_);
    QVERIFY(b.Start());
    ScriptedDialogs dialogs;
    EM4305Dlg page;

    dialogs.messageAnswers = {DialogAnswer::Cancel};
    const int before = b.Requests();
    const int statuses = static_cast<int>(f_.statuses.size());
    page.disableButton->click();
    QCOMPARE(b.Requests(), before);
    QCOMPARE(static_cast<int>(f_.statuses.size()), statuses);
    QCOMPARE(dialogs.requests.at(0).buttons, MessageButtons::OkCancel);
    // The factory configuration does not allow disabling.
    page.disableButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("Disable error，maybe not set disable bit")));

    page.OnModeChange(1);
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("FDX-B(ISO11784/85) mode")));
    QVERIFY(b.LastRequest("01 07 3A") != "");
    page.OnModeChange(0);
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("ID mode")));
    DisconnectDevice();
    page.OnModeChange(0);
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("Configure error，maybe no device connect")));
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::Em4305DlgTest)
#include "em4305_dlg_test.moc"
