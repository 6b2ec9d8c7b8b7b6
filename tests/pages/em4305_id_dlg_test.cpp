// The EM4100 page for the EM4305 on the offscreen platform, against the virtual reader.
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "batch/keyboard_output.h"
#include "pages/common/group_box.h"
#include "pages/em4100/em4305_id_dlg.h"
#include "reader_fixture.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {
namespace {

// Records what would have been typed.
class RecordingKeys : public KeyInjector {
 public:
  KeyInjectionStatus status = KeyInjectionStatus::Available;
  QString typed;
  KeyInjectionStatus Available() override { return status; }
  bool TypeText(std::string_view text) override {
    typed += QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    return true;
  }
  bool PressEnter() override {
    typed += "\n";
    return true;
  }
};

}  // namespace

class Em4305IdDlgTest : public PageTest {
  Q_OBJECT

 private:
  int TagsCarrying(const std::string& identity) const {
    int n = 0;
    for (const auto& t : f_.reader->Tags()) n += t.description.find("EM4100 " + identity) != std::string::npos;
    return n;
  }

 private slots:
  void fieldsFollowTheEditedOne() {
    ScriptedDialogs dialogs;
    EM4305IdDlg page;
    QTest::keyClicks(page.hex10, "ABC");
    QCOMPARE(page.dec08->text(), QString("0000002748"));
    QCOMPARE(page.dec06->text(), QString("0000002748"));
    QCOMPARE(page.box02->text(), QString("000"));
    QCOMPARE(page.box04->text(), QString("02748"));
    page.box02->clear();
    QTest::keyClicks(page.box02, "256");
    QCOMPARE(dialogs.requests.size(), size_t{1});
    QCOMPARE(dialogs.requests[0].text, QString("256 > 255"));
    QCOMPARE(dialogs.requests[0].caption, QString("Tip"));
    QCOMPARE(page.hex10->text(), QString("0000190ABC"));  // as "25" left it
  }

  void lockBoxAsksFirst() {
    ScriptedDialogs dialogs;
    dialogs.messageAnswers = {DialogAnswer::Cancel, DialogAnswer::Ok};
    EM4305IdDlg page;
    page.lockCard->click();
    QVERIFY(!page.lockCard->isChecked());
    QCOMPARE(dialogs.requests[0].text, QString::fromUtf8("The card can't be changed when lock!"));
    QCOMPARE(dialogs.requests[0].buttons, MessageButtons::OkCancel);
    page.lockCard->click();
    QVERIFY(page.lockCard->isChecked());
    QCOMPARE(page.Choices().lock, 1);
    page.lockCard->click();  // unchecking asks nothing
    QCOMPARE(dialogs.requests.size(), size_t{2});
    QCOMPARE(page.Choices().lock, 0);
  }

  void enterAndEscapeAreSwallowed() {
    QDialog dialog;
    auto* page = new EM4305IdDlg(&dialog);
    dialog.show();
    QTest::keyClick(page->hex10, Qt::Key_Escape);
    QTest::keyClick(page->hex10, Qt::Key_Return);
    QTest::keyClick(page->Panel().writeButton, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QVERIFY(!page->Panel().writeButton->isChecked());
  }

  // The entry is read as bytes and right-aligned: a short entry writes leading zero bytes. A
  // pasted one that is no hex writes nothing.
  void singleWriteTakesTheEntryAsBytes() {
    f_.reader->SetFeeder("em4305", 2, 0);
    QVERIFY(f_.Connect());
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    QTest::keyClicks(page.hex10, "ABC");
    run.writeButton->click();
    QVERIFY(!run.writeButton->isChecked());
    QCOMPARE(f_.statuses.back(), std::make_pair(1, QString::fromUtf8("Write ID（EM4100）OK")));
    QCOMPARE(TagsCarrying("0000000ABC"), 1);
    page.hex10->setText("12G4");
    run.writeButton->click();
    QCOMPARE(f_.statuses.back(), std::make_pair(0, U("The identity has the wrong length; nothing was written.")));
  }

  void incrementalRunOverTwentyFedTags() {
    f_.reader->SetFeeder("em4305", 20, 0);
    QVERIFY(f_.Connect());
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    run.incremental->click();
    QVERIFY(run.continuous->isChecked());
    QTest::keyClicks(page.hex10, "0123456789");
    run.writeButton->click();
    QVERIFY(run.TimerRunning(IncrementalWriteTimer));
    QCOMPARE(run.writeButton->text(), QString("Stop"));
    QVERIFY(!run.readButton->isEnabled() && !page.keyboardOut->isEnabled() && !page.lockCard->isEnabled());
    QVERIFY(!run.continuous->isEnabled() && !run.fromFile->isEnabled());
    for (int i = 0; i < 200 && run.list->count() < 20; ++i) run.TickTimer(IncrementalWriteTimer);
    QCOMPARE(run.list->count(), 20);
    QCOMPARE(run.list->item(0)->text(), QString::fromUtf8("Number 1：0123456789"));
    QCOMPARE(run.list->item(19)->text(), QString::fromUtf8("Number 20：012345679C"));
    QCOMPARE(page.hex10->text(), QString("012345679D"));
    run.writeButton->click();
    QVERIFY(!run.TimerRunning(IncrementalWriteTimer));
    QCOMPARE(run.writeButton->text(), QString("Write"));
    QCOMPARE(run.list->item(20)->text(), QString("stop"));
    QVERIFY(run.readButton->isEnabled() && page.keyboardOut->isEnabled() && page.lockCard->isEnabled());
    QCOMPARE(f_.statuses.front(), std::make_pair(2, QString::fromUtf8("Write ID（EM4100）......")));
    QCOMPARE(TagsCarrying("01234567"), 20);
    run.list->itemDoubleClicked(run.list->item(0));
    QCOMPARE(run.list->count(), 0);
  }

  // The file chooser and the message box go through the dialogs; a loaded file empties the
  // fields, and its run writes each line, fills the progress bar and unticks the box at the end.
  void fromFileRunWritesEachLine() {
    QTemporaryDir folder;
    const QString bad = folder.filePath("bad.txt"), good = folder.filePath("good.txt");
    for (const auto& [path, text] : {std::pair{bad, "4886718345\n12x\n"}, std::pair{good, "4886718345\n4886718346\n"}}) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(text);
    }
    f_.reader->SetFeeder("em4305", 2, 0);
    QVERIFY(f_.Connect());
    ScriptedDialogs dialogs;
    dialogs.files = {QString(), bad, good};
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    run.fromFile->click();  // cancelled
    QVERIFY(!run.fromFile->isChecked());
    QCOMPARE(dialogs.requests.back().kind, ScriptedDialogs::Request::Kind::OpenFile);
    run.fromFile->click();  // refused whole, with the reason
    QVERIFY(!run.fromFile->isChecked());
    QCOMPARE(dialogs.requests.back().kind, ScriptedDialogs::Request::Kind::Message);
    QVERIFY(dialogs.requests.back().text.startsWith("Line 2 of the batch file is not an identity"));
    QTest::keyClicks(page.hex10, "AB");
    run.continuous->click();
    run.fromFile->click();
    QVERIFY(run.fromFile->isChecked() && !run.continuous->isChecked());
    QVERIFY(page.hex10->text().isEmpty());
    QCOMPARE(run.list->item(run.list->count() - 1)->text(), QString("Tag count 2"));
    run.writeButton->click();
    QVERIFY(run.TimerRunning(FileWriteTimer));
    for (int i = 0; i < 50 && run.TimerRunning(FileWriteTimer); ++i) run.TickTimer(FileWriteTimer);
    QVERIFY(!run.TimerRunning(FileWriteTimer));
    QVERIFY(!run.fromFile->isChecked() && !run.writeButton->isChecked());
    QCOMPARE(run.progress->value(), run.progress->maximum());
    const int n = run.list->count();
    QCOMPARE(run.list->item(n - 4)->text(), QString::fromUtf8("Number 1：4886718345"));
    QCOMPARE(run.list->item(n - 3)->text(), QString::fromUtf8("Number 2：4886718346"));
    QCOMPARE(run.list->item(n - 2)->text(), QString("stop"));
    QVERIFY(run.list->item(n - 1)->text().startsWith("Run summary: 2 written, 0 refused, 0 left alone as written earlier, "));
    QCOMPARE(TagsCarrying("0123456789"), 1);
    QCOMPARE(TagsCarrying("012345678A"), 1);
  }

  void keyboardOutTypesTheSelectedFormOnce() {
    f_.reader->AddTag("em4100:0123456789");
    QVERIFY(f_.Connect());
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    auto keys = std::make_unique<RecordingKeys>();
    RecordingKeys* k = keys.get();
    page.SetKeyInjector(std::move(keys));
    page.forms[3]->click();
    page.enterBox->click();
    KeyboardLatch = 0;
    page.keyboardOut->click();
    QCOMPARE(page.keyboardOut->text(), QString("Stop"));
    QVERIFY(!run.writeButton->isEnabled() && !run.readButton->isEnabled());
    QVERIFY(run.TimerRunning(KeyboardTimer));
    run.TickTimer(KeyboardTimer);
    run.TickTimer(KeyboardTimer);
    QCOMPARE(k->typed, QString("06926505\n"));
    page.keyboardOut->click();
    QVERIFY(!run.TimerRunning(KeyboardTimer));
    QCOMPARE(f_.statuses.back(), std::make_pair(0, QString("Stop simulate keyboard out")));
    QVERIFY(run.writeButton->isEnabled() && run.readButton->isEnabled());
    // Started again with the same tag still there: nothing until it has been away.
    page.keyboardOut->click();
    run.TickTimer(KeyboardTimer);
    QCOMPARE(k->typed, QString("06926505\n"));
  }

  // Each reason the system gives reaches the operator as its own text, and nothing starts.
  void keyboardOutRefusesWithoutInjection() {
    QVERIFY(f_.Connect());
    EM4305IdDlg page;
    auto keys = std::make_unique<RecordingKeys>();
    RecordingKeys* k = keys.get();
    page.SetKeyInjector(std::move(keys));
    const std::pair<KeyInjectionStatus, const char*> reasons[] = {
        {KeyInjectionStatus::NoDisplay, "no X display (DISPLAY is not set)"},
        {KeyInjectionStatus::WaylandOnly, "a Wayland session without X11 accepts no injected keys"},
        {KeyInjectionStatus::CannotOpenDisplay, "the X display cannot be opened"},
        {KeyInjectionStatus::NoXTest, "the X server has no XTEST extension"},
        {KeyInjectionStatus::NotInThisBuild, "this build has no key injection"},
    };
    for (const auto& [status, reason] : reasons) {
      k->status = status;
      page.keyboardOut->click();
      QVERIFY(!page.keyboardOut->isChecked());
      QVERIFY(!page.Panel().TimerRunning(KeyboardTimer));
      QVERIFY(page.Panel().writeButton->isEnabled());
      QCOMPARE(f_.statuses.back(), std::make_pair(0, QString("Keyboard out is not possible here: ") + reason));
    }
  }

  void chineseBuildTexts() {
    SetLanguage(Language::Chinese);
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    QCOMPARE(run.writeButton->text(), QString::fromUtf8("写卡"));
    QCOMPARE(run.options->title(), QString::fromUtf8("选项"));
    QCOMPARE(page.enterBox->text(), QString::fromUtf8("输出回车键"));
    QCOMPARE(run.incremental->x(), (108 * 3 + 1) / 2);  // the Chinese build packs the options closer
    run.writeButton->click();  // not connected
    QCOMPARE(f_.statuses.back(), std::make_pair(0, QString::fromUtf8("没有连接读写器")));
    QVERIFY(!run.writeButton->isChecked());
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::Em4305IdDlgTest)
#include "em4305_id_dlg_test.moc"
