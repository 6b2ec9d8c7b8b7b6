// The EM4100 page for the EM4305 on the offscreen platform, against the virtual reader.
#include <QCheckBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "batch/keyboard_output.h"
#include "pages/em4100/em4305_id_dlg.h"
#include "reader/discovery.h"
#include "resources/language.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"
#include "shell/status.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"

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

class Em4305IdDlgTest : public QObject {
  Q_OBJECT

 private:
  std::vector<std::pair<int, QString>> statuses_;
  std::unique_ptr<ScopedStatusSink> sink_;
  std::unique_ptr<sim::VirtualReader> reader_;
  std::unique_ptr<sim::PtyServer> server_;

  void ConnectReader() {
    QVERIFY(server_->Start());
    QVERIFY(ConnectDevice({server_->Path()}).found);
  }

 private slots:
  void init() {
    statuses_.clear();
    sink_ = std::make_unique<ScopedStatusSink>([this](int kind, const QString& text) {
      statuses_.emplace_back(kind, text);
    });
    reader_ = std::make_unique<sim::VirtualReader>();
    server_ = std::make_unique<sim::PtyServer>(*reader_);
  }
  void cleanup() {
    DisconnectDevice();
    server_.reset();
    reader_.reset();
    sink_.reset();
    SetLanguage(Language::English);
  }

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
    page.lockCard->click();  // unchecking asks nothing
    QCOMPARE(dialogs.requests.size(), size_t{2});
  }

  void enterAndEscapeAreSwallowed() {
    QDialog dialog;
    auto* page = new EM4305IdDlg(&dialog);
    dialog.show();
    QTest::keyClick(page->hex10, Qt::Key_Escape);
    QTest::keyClick(page->hex10, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
  }

  void incrementalRunOverTwentyFedTags() {
    reader_->SetFeeder("em4305", 20, 0);
    ConnectReader();
    EM4305IdDlg page;
    page.incremental->click();
    QVERIFY(page.continuous->isChecked());
    QTest::keyClicks(page.hex10, "0123456789");
    page.writeButton->click();
    QVERIFY(page.TimerRunning(IncrementalWriteTimer));
    QCOMPARE(page.writeButton->text(), QString("Stop"));
    QVERIFY(!page.readButton->isEnabled() && !page.keyboardOut->isEnabled() && !page.lockCard->isEnabled());
    for (int i = 0; i < 200 && page.list->count() < 20; ++i) page.TickTimer(IncrementalWriteTimer);
    QCOMPARE(page.list->count(), 20);
    QCOMPARE(page.list->item(0)->text(), QString::fromUtf8("Number 1：0123456789"));
    QCOMPARE(page.list->item(19)->text(), QString::fromUtf8("Number 20：012345679C"));
    QCOMPARE(page.hex10->text(), QString("012345679D"));
    page.writeButton->click();
    QVERIFY(!page.TimerRunning(IncrementalWriteTimer));
    QCOMPARE(page.writeButton->text(), QString("Write"));
    QCOMPARE(page.list->item(20)->text(), QString("stop"));
    QVERIFY(page.readButton->isEnabled());
    QCOMPARE(statuses_.front(), std::make_pair(2, QString::fromUtf8("Write ID（EM4100）......")));
    int verified = 0;
    for (const auto& t : reader_->Tags()) verified += t.description.find("EM4100 01234567") != std::string::npos;
    QCOMPARE(verified, 20);
    page.list->itemDoubleClicked(page.list->item(0));
    QCOMPARE(page.list->count(), 0);
  }

  void keyboardOutTypesTheSelectedFormOnce() {
    reader_->AddTag("em4100:0123456789");
    ConnectReader();
    EM4305IdDlg page;
    auto keys = std::make_unique<RecordingKeys>();
    RecordingKeys* k = keys.get();
    page.SetKeyInjector(std::move(keys));
    page.forms[3]->click();
    page.enterBox->click();
    KeyboardLatch = 0;
    page.keyboardOut->click();
    QCOMPARE(page.keyboardOut->text(), QString("Stop"));
    QVERIFY(!page.writeButton->isEnabled() && !page.readButton->isEnabled());
    QVERIFY(page.TimerRunning(KeyboardTimer));
    page.TickTimer(KeyboardTimer);
    page.TickTimer(KeyboardTimer);
    QCOMPARE(k->typed, QString("06926505\n"));
    page.keyboardOut->click();
    QVERIFY(!page.TimerRunning(KeyboardTimer));
    QCOMPARE(statuses_.back(), std::make_pair(0, QString("Stop simulate keyboard out")));
    QVERIFY(page.writeButton->isEnabled());
    // Started again with the same tag still there: nothing until it has been away.
    page.keyboardOut->click();
    page.TickTimer(KeyboardTimer);
    QCOMPARE(k->typed, QString("06926505\n"));
  }

  void keyboardOutRefusesWithoutInjection() {
    ConnectReader();
    EM4305IdDlg page;
    auto keys = std::make_unique<RecordingKeys>();
    RecordingKeys* k = keys.get();
    page.SetKeyInjector(std::move(keys));
    // Each reason the system gives reaches the operator as its own text, and nothing starts.
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
      QVERIFY(!page.TimerRunning(KeyboardTimer));
      QCOMPARE(statuses_.back(), std::make_pair(0, QString("Keyboard out is not possible here: ") + reason));
    }
  }

  void chineseBuildTexts() {
    SetLanguage(Language::Chinese);
    EM4305IdDlg page;
    QCOMPARE(page.writeButton->text(), QString::fromUtf8("写卡"));
    QCOMPARE(page.enterBox->text(), QString::fromUtf8("输出回车键"));
    QCOMPARE(page.incremental->x(), (108 * 3 + 1) / 2);  // the Chinese build packs the options closer
    page.writeButton->click();  // not connected
    QCOMPARE(statuses_.back(), std::make_pair(0, QString::fromUtf8("没有连接读写器")));
    QVERIFY(!page.writeButton->isChecked());
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::Em4305IdDlgTest)
#include "em4305_id_dlg_test.moc"
