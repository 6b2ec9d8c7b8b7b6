// Keyboard output types each character as itself whatever the lock state and the active
// layout, and leaves the lock state and the layout group as the user had them.
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "platform/key_injection.h"

// After Qt: the X headers define macros (Bool, None, Status) that Qt's own headers use as names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace rivelo {

// Every character keyboard output ever types.
constexpr const char* kAllCharacters = "0123456789ABCDEF";

enum Lock : unsigned { NoLock = 0, Caps = 1, ShiftLock = 2, Num = 4, ShiftLatched = 8 };

class KeyboardX11LayoutTest : public QObject {
  Q_OBJECT

 private:
  Display* x_ = nullptr;
  std::unique_ptr<KeyInjector> keys_;
  std::unique_ptr<QLineEdit> field_;
  int enters_ = 0;
  bool layoutChanged_ = false;
  QString serverLayout_;  // as the display had it: put back after each case
  XkbStateRec serverState_{};

  unsigned RealMods(unsigned locks) {
    unsigned mask = 0;
    if (locks & Caps) mask |= LockMask;
    if (locks & ShiftLock) mask |= ShiftMask;
    if (locks & Num) mask |= XkbKeysymToModifiers(x_, XK_Num_Lock);
    return mask;
  }

  void SetLocks(unsigned locks, int group) {
    XkbLockModifiers(x_, XkbUseCoreKbd, 0xff, RealMods(locks));
    XkbLatchModifiers(x_, XkbUseCoreKbd, 0xff, (locks & ShiftLatched) ? ShiftMask : 0);
    XkbLockGroup(x_, XkbUseCoreKbd, static_cast<unsigned>(group));
    XSync(x_, False);
    QTest::qWait(50);
  }

  XkbStateRec State() {
    XkbStateRec state{};
    XkbGetState(x_, XkbUseCoreKbd, &state);
    return state;
  }

  bool SetLayout(const QString& layout) {
    if (QProcess::execute("setxkbmap", {"-layout", layout}) != 0) return false;
    layoutChanged_ = true;
    QTest::qWait(200);  // the field reloads its keymap
    return true;
  }

  bool AnyKeyCarries(KeySym sym) {
    int low = 0, high = 0, perCode = 0;
    XDisplayKeycodes(x_, &low, &high);
    KeySym* map = XGetKeyboardMapping(x_, static_cast<KeyCode>(low), high - low + 1, &perCode);
    bool found = false;
    for (int i = 0; map && i < (high - low + 1) * perCode; ++i) found = found || map[i] == sym;
    if (map) XFree(map);
    return found;
  }

  QString TypedText(const char* text) {
    field_->clear();
    if (!keys_->TypeText(text)) return "(TypeText failed)";
    QTest::qWait(200);  // the X server delivers the keys asynchronously
    return field_->text();
  }

 private slots:
  void initTestCase() {
    if (qgetenv("DISPLAY").isEmpty()) QSKIP("no X display: run under xvfb-run -a");
    x_ = XOpenDisplay(nullptr);
    QVERIFY(x_ != nullptr);
    serverState_ = State();
    QProcess query;
    query.start("setxkbmap", {"-query"});
    if (query.waitForFinished()) {
      for (const QString& line : QString::fromUtf8(query.readAllStandardOutput()).split('\n')) {
        if (line.startsWith("layout:")) serverLayout_ = line.mid(7).trimmed();
      }
    }
    if (serverLayout_.isEmpty()) serverLayout_ = "us";
    keys_ = CreateSystemKeyInjector();
    QCOMPARE(keys_->Available(), KeyInjectionStatus::Available);
    field_ = std::make_unique<QLineEdit>();
    connect(field_.get(), &QLineEdit::returnPressed, this, [this] { ++enters_; });
    field_->show();
    field_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(field_.get()));
    field_->setFocus();
  }

  void cleanup() {
    if (!x_) return;
    if (layoutChanged_) SetLayout(serverLayout_);
    layoutChanged_ = false;
    XkbLockModifiers(x_, XkbUseCoreKbd, 0xff, serverState_.locked_mods);
    XkbLatchModifiers(x_, XkbUseCoreKbd, 0xff, serverState_.latched_mods);
    XkbLockGroup(x_, XkbUseCoreKbd, serverState_.locked_group);
    XSync(x_, False);
  }

  void cleanupTestCase() {
    if (x_) XCloseDisplay(x_);
  }

  void typesExactlyAndRestoresState_data() {
    QTest::addColumn<QString>("layout");  // empty: the server's own layout
    QTest::addColumn<unsigned>("locks");
    QTest::addColumn<int>("group");
    QTest::newRow("no lock") << QString() << unsigned{NoLock} << 0;
    QTest::newRow("caps lock") << QString() << unsigned{Caps} << 0;
    QTest::newRow("shift locked") << QString() << unsigned{ShiftLock} << 0;
    QTest::newRow("num lock") << QString() << unsigned{Num} << 0;
    QTest::newRow("caps, shift and num lock") << QString() << unsigned{Caps | ShiftLock | Num} << 0;
    QTest::newRow("shift latched (sticky keys)") << QString() << unsigned{ShiftLatched} << 0;
    QTest::newRow("us,ru in the second group") << QString("us,ru") << unsigned{NoLock} << 1;
    QTest::newRow("us,ru in the second group, caps lock") << QString("us,ru") << unsigned{Caps | Num} << 1;
    // The French layout has its digits on the shifted level.
    QTest::newRow("fr, caps lock") << QString("fr") << unsigned{Caps} << 0;
    QTest::newRow("cz, caps and num lock") << QString("cz") << unsigned{Caps | Num} << 0;
    QTest::newRow("ru,fr in the second group") << QString("ru,fr") << unsigned{NoLock} << 1;
    // Without any Latin letters the letters need a key of their own.
    QTest::newRow("ru alone, caps lock") << QString("ru") << unsigned{Caps} << 0;
  }

  void typesExactlyAndRestoresState() {
    QFETCH(QString, layout);
    QFETCH(unsigned, locks);
    QFETCH(int, group);
    if (!layout.isEmpty()) {
      if (QStandardPaths::findExecutable("setxkbmap").isEmpty()) QSKIP("setxkbmap is not installed");
      QVERIFY(SetLayout(layout));
    }
    const unsigned mods = RealMods(locks);
    QVERIFY(mods != 0 || (locks & ~ShiftLatched) == NoLock);
    SetLocks(locks, group);

    enters_ = 0;
    QCOMPARE(TypedText(kAllCharacters), QString(kAllCharacters));
    QVERIFY(keys_->PressEnter());
    QTest::qWait(100);
    QCOMPARE(enters_, 1);
    QCOMPARE(field_->text(), QString(kAllCharacters));

    const XkbStateRec after = State();
    QCOMPARE(unsigned{after.locked_mods}, mods);
    QCOMPARE(int{after.locked_group}, group);
    QCOMPARE(unsigned{after.latched_mods}, (locks & ShiftLatched) ? unsigned{ShiftMask} : 0u);
    QCOMPARE(int{after.base_mods}, 0);  // no key left held
  }

  // Letters that no key carries go on spare keys, which stay usable when the layout is
  // reloaded under them and are emptied again when the injector goes.
  void spareKeysFollowTheLayoutAndAreGivenBack() {
    if (QStandardPaths::findExecutable("setxkbmap").isEmpty()) QSKIP("setxkbmap is not installed");
    QVERIFY(SetLayout("ru"));
    QVERIFY(!AnyKeyCarries(XK_A));
    QCOMPARE(TypedText("AB12"), QString("AB12"));
    QVERIFY(AnyKeyCarries(XK_A));
    QVERIFY(SetLayout("ru"));  // a fresh keymap drops the spare keys
    QVERIFY(!AnyKeyCarries(XK_A));
    QCOMPARE(TypedText("FA"), QString("FA"));
    keys_ = CreateSystemKeyInjector();  // the old injector gives its keys back
    QVERIFY(!AnyKeyCarries(XK_A));
    QVERIFY(!AnyKeyCarries(XK_F));
  }
};

}  // namespace rivelo

int main(int argc, char** argv) {
  if (qgetenv("DISPLAY").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  rivelo::KeyboardX11LayoutTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "keyboard_x11_layout_test.moc"
