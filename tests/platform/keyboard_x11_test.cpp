// Keyboard output through XTEST into a Qt text field, with the virtual reader as the reader.
#include <QLineEdit>
#include <QtTest>

#include <cstdlib>

#include "batch/keyboard_output.h"
#include "reader/discovery.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"

namespace rivelo {

class KeyboardX11Test : public QObject {
  Q_OBJECT

 private:
  sim::VirtualReader reader_;
  std::unique_ptr<sim::PtyServer> server_;
  std::unique_ptr<KeyInjector> keys_;
  std::unique_ptr<QLineEdit> field_;
  int tagId_ = -1;
  int enters_ = 0;

  QString Typed(Em4100Form form, bool enter) {
    field_->clear();
    KeyboardOutputTick(*keys_, form, enter);
    QTest::qWait(150);  // the X server delivers the keys asynchronously
    return field_->text();
  }

 private slots:
  void initTestCase() {
    if (qgetenv("DISPLAY").isEmpty()) QSKIP("no X display: run under xvfb-run -a");
    keys_ = CreateSystemKeyInjector();
    QCOMPARE(keys_->Available(), KeyInjectionStatus::Available);
    tagId_ = reader_.AddTag("em4100:0123456789");
    server_ = std::make_unique<sim::PtyServer>(reader_);
    QVERIFY(server_->Start());
    QVERIFY(ConnectDevice({server_->Path()}).found);
    field_ = std::make_unique<QLineEdit>();
    connect(field_.get(), &QLineEdit::returnPressed, this, [this] { ++enters_; });
    field_->show();
    field_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(field_.get()));
    field_->setFocus();
  }
  void cleanupTestCase() { DisconnectDevice(); }

  void typesEachForm() {
    const std::pair<Em4100Form, const char*> cases[] = {
        {Em4100Form::Hex10, "0123456789"},
        {Em4100Form::Dec08H, "0591751049"},
        {Em4100Form::Dec06H, "0004548489"},
        {Em4100Form::Split02And04, "06926505"},
    };
    for (const auto& [form, text] : cases) {
      KeyboardLatch = 0;
      QCOMPARE(Typed(form, false), QString(text));
    }
    // Letters need Shift on a usual layout: check them typed upper-case.
    reader_.TakeOffReader();
    const int other = reader_.AddTag("em4100:ABCDEF0123");
    reader_.PlaceOnReader(other);
    KeyboardLatch = 0;
    QCOMPARE(Typed(Em4100Form::Hex10, false), QString("ABCDEF0123"));
    reader_.PlaceOnReader(tagId_);
  }

  void enterFollowsWhenTicked() {
    KeyboardLatch = 0;
    enters_ = 0;
    QCOMPARE(Typed(Em4100Form::Hex10, true), QString("0123456789"));
    QCOMPARE(enters_, 1);
  }

  void latchRearmsAfterTwoMissedPolls() {
    KeyboardLatch = 0;
    QCOMPARE(Typed(Em4100Form::Hex10, false), QString("0123456789"));
    QCOMPARE(Typed(Em4100Form::Hex10, false), QString());  // held: typed once
    reader_.TakeOffReader();
    QCOMPARE(Typed(Em4100Form::Hex10, false), QString());
    reader_.PlaceOnReader(tagId_);
    QCOMPARE(Typed(Em4100Form::Hex10, false), QString());  // back after one miss: nothing
    reader_.TakeOffReader();
    Typed(Em4100Form::Hex10, false);
    Typed(Em4100Form::Hex10, false);
    reader_.PlaceOnReader(tagId_);
    QCOMPARE(Typed(Em4100Form::Hex10, false), QString("0123456789"));
  }
};

}  // namespace rivelo

int main(int argc, char** argv) {
  // Without an X server the test still starts (and skips) on the offscreen platform.
  if (qgetenv("DISPLAY").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  rivelo::KeyboardX11Test test;
  return QTest::qExec(&test, argc, argv);
}
#include "keyboard_x11_test.moc"
