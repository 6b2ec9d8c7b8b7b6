// The byte-entry controls, the status channel and the dialog answerer.
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QtTest>

#include <array>

#include "shell/dec_edit.h"
#include "shell/dialogs.h"
#include "shell/hex_edit.h"
#include "shell/my_static.h"
#include "shell/scripted_dialogs.h"
#include "shell/status.h"

using namespace rivelo;

namespace {

// Pastes like a user: Ctrl goes down, V, Ctrl goes up.
void PasteWithCtrl(QWidget* edit, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  QTest::keyPress(edit, Qt::Key_Control, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  QTest::keyRelease(edit, Qt::Key_Control, Qt::NoModifier);
}

void Commit(QWidget* edit, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QCoreApplication::sendEvent(edit, &event);
}

}  // namespace

class ControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void hexEditTakesOnlyHexDigitsAndItsKeys() {
    CHexEdit edit;
    edit.show();
    QTest::keyClicks(&edit, "12g%' Ab");
    QCOMPARE(edit.text(), QString("12Ab"));  // lower/upper case kept as typed
    // Home and End do nothing; Left moves, Delete and Backspace edit.
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClicks(&edit, "c");
    QCOMPARE(edit.text(), QString("12Abc"));
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClicks(&edit, "9");
    QCOMPARE(edit.text(), QString("12A9bc"));
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QString("12Ac"));
    // An input method's text is typed text.
    Commit(&edit, QString::fromUtf8("f１g0"));
    QCOMPARE(edit.text(), QString("12Af0c"));
    QCOMPARE(edit.CtrlHeld, 0);
  }

  void pastingWithCtrlHeldTakesAnything() {
    CHexEdit hex;
    CDecEdit dec;
    for (QLineEdit* edit : {static_cast<QLineEdit*>(&hex), static_cast<QLineEdit*>(&dec)}) {
      edit->show();
      PasteWithCtrl(edit, "XYZ");
      QCOMPARE(edit->text(), QString("XYZ"));
      QTest::keyClicks(edit, "z");  // Ctrl is up again: filtered
      QCOMPARE(edit->text(), QString("XYZ"));
    }
    QCOMPARE(hex.CtrlHeld, 0);
    QCOMPARE(dec.CtrlHeld, 0);
    // The paste stays in the field, but text that is no hex gives no bytes: it is refused like
    // an entry of the wrong length and never reaches a tag.
    std::array<std::uint8_t, 2> bytes{0x55, 0x55};
    QCOMPARE(hex.GetHexData(bytes), CHexEdit::NotHexText);
    QCOMPARE(bytes[0], std::uint8_t{0x55});
  }

  void decEditTakesOnlyDigits() {
    CDecEdit edit;
    edit.show();
    QTest::keyClicks(&edit, "1a2%'3F");
    QCOMPARE(edit.text(), QString("123"));
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClicks(&edit, "0");
    QCOMPARE(edit.text(), QString("1203"));
    Commit(&edit, QString::fromUtf8("4５b"));
    QCOMPARE(edit.text(), QString("12043"));
  }

  void hexConversions() {
    CHexEdit edit;
    const std::array<std::uint8_t, 2> data{0x0A, 0xFF};
    edit.SetHexData(data.data(), 2);
    QCOMPARE(edit.text(), QString("0AFF"));
    edit.SetHexData(nullptr, 2);
    QCOMPARE(edit.text(), QString("0AFF"));
    edit.SetHexData(data.data(), 0);
    QCOMPARE(edit.text(), QString());

    std::array<std::uint8_t, 4> out{0x55, 0x55, 0x55, 0x55};
    QCOMPARE(edit.GetHexData(out), 0);  // empty text writes nothing
    QCOMPARE(out[0], 0x55);
    edit.setText("1");
    QCOMPARE(edit.GetHexData(out), 1);
    QCOMPARE(out[0], 0x01);
    edit.setText("abC");
    QCOMPARE(edit.GetHexData(out), 2);
    QCOMPARE(out[0], 0x0A);
    QCOMPARE(out[1], 0xBC);
    // A text longer than the caller's buffer reports its size but stays inside the buffer.
    std::array<std::uint8_t, 6> guarded{0, 0, 0x55, 0x55, 0x55, 0x55};
    edit.setText("0102030405");
    QCOMPARE(edit.GetHexData(std::span(guarded).first(2)), 5);
    QCOMPARE(guarded[1], 0x02);
    QCOMPARE(guarded[2], 0x55);

    edit.SetByteLimit(2);
    edit.clear();
    edit.show();
    QTest::keyClicks(&edit, "123456");
    QCOMPARE(edit.text(), QString("1234"));
  }

  void decimalConversions() {
    CDecEdit edit;
    const std::array<std::uint8_t, 2> n123{0x00, 0x7B};
    edit.SetDecimalData(n123.data(), 2, 5);
    QCOMPARE(edit.text(), QString("00123"));
    edit.SetDecimalData(n123.data(), 2, 2);
    QCOMPARE(edit.text(), QString("23"));
    edit.SetDecimalData(n123.data(), 2, 0);
    QCOMPARE(edit.text(), QString("123"));
    edit.SetDecimalData(nullptr, 2, 0);
    QCOMPARE(edit.text(), QString("123"));

    std::array<std::uint8_t, 8> out{};
    struct Case {
      const char* text;
      int count;
      std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {{"0", 1, {0x00}},
                          {"256", 2, {0x01, 0x00}},
                          {"65535", 2, {0xFF, 0xFF}},
                          {"18446744073709551615", 8, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
                          {"18446744073709551616", 1, {0x00}}};  // wraps
    for (const Case& c : cases) {
      edit.setText(c.text);
      QCOMPARE(edit.GetDecimalData(out), c.count);
      QCOMPARE(std::vector<std::uint8_t>(out.begin(), out.begin() + c.count), c.bytes);
    }
    edit.clear();
    QCOMPARE(edit.GetDecimalData(out), 0);
  }

  void staticColoursComeInBgrOrder() {
    CMyStatic label;
    label.SetBkColour(0xD8E9EC);
    label.SetTextColour(0x0000FF);
    QCOMPARE(label.palette().color(QPalette::Window), QColor(0xEC, 0xE9, 0xD8));
    QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    for (std::uint32_t c = 0; c < 1000; ++c) label.SetBkColour(c);
    QCOMPARE(label.BkColour(), 999u);
  }

  void statusGoesToTheInstalledSink() {
    PostStatus(StatusKindSuccess, "nobody listens");  // no receiver: dropped
    std::vector<std::pair<int, QString>> got;
    {
      ScopedStatusSink outer([&](int kind, const QString& text) { got.emplace_back(kind, "outer " + text); });
      {
        ScopedStatusSink inner([&](int kind, const QString& text) { got.emplace_back(kind, text); });
        PostStatus(StatusKindInfo, "a");
      }
      PostStatus(StatusKindFailure, "b");
    }
    PostStatus(StatusKindFailure, "c");
    QCOMPARE(got.size(), std::size_t(2));
    QCOMPARE(got[0], std::make_pair(StatusKindInfo, QString("a")));
    QCOMPARE(got[1], std::make_pair(StatusKindFailure, QString("outer b")));
  }

  void scriptedDialogsAnswerInOrderAndNothingBlocks() {
    {
      ScriptedDialogs dialogs;
      dialogs.messageAnswers = {DialogAnswer::Cancel};
      dialogs.folders = {"/tmp"};
      QCOMPARE(ShowMessage(nullptr, "t", "c", MessageIcon::Warning, MessageButtons::OkCancel), DialogAnswer::Cancel);
      QCOMPARE(ShowMessage(nullptr, "t2", "c", MessageIcon::Question, MessageButtons::YesNo), DialogAnswer::Yes);
      QCOMPARE(ChooseFolder(nullptr, "where"), QString("/tmp"));
      QCOMPARE(ChooseOpenFile(nullptr, "*.txt"), QString());
      QDialog custom;
      custom.setWindowTitle("own");
      QCOMPARE(ExecDialog(custom), int(QDialog::Rejected));
      dialogs.customAnswer = [](QDialog&) { return int(QDialog::Accepted); };
      QCOMPARE(ExecDialog(custom), int(QDialog::Accepted));
      QCOMPARE(dialogs.requests.size(), std::size_t(6));
      QCOMPARE(dialogs.requests[0].caption, QString("c"));
      QCOMPARE(dialogs.requests[0].icon, MessageIcon::Warning);
      QCOMPARE(dialogs.requests[2].kind, ScriptedDialogs::Request::Kind::Folder);
      QCOMPARE(dialogs.requests[4].text, QString("own"));
    }
    // Without an answerer, the Qt dialogs on the offscreen platform return at once, dismissed.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("message box without an answerer.*"));
    QCOMPARE(ShowMessage(nullptr, "x", "y", MessageIcon::Error, MessageButtons::OkCancel), DialogAnswer::Cancel);
  }
};

QTEST_MAIN(ControlsTest)
#include "test_controls.moc"
