// The word-lock dialog against the virtual reader's EM4305: the masks it sends, the words
// locked now from the protection word in force, and the lock reached through the editor's
// Protect button, after which the locked word is no longer written.
#include <QCheckBox>

#include "em4305_dlg_support.h"

namespace rivelo {
namespace {

QList<int> Checked(const CEmProtectDlg& dialog) {
  QList<int> boxes;
  for (int i = 0; i < CEmProtectDlg::BoxCount; ++i)
    if (dialog.lockBox[static_cast<std::size_t>(i)]->isChecked()) boxes << i;
  return boxes;
}

void Check(CEmProtectDlg& dialog, std::initializer_list<int> boxes) {
  for (QCheckBox* box : dialog.lockBox) box->setChecked(false);
  for (int i : boxes) dialog.lockBox[static_cast<std::size_t>(i)]->setChecked(true);
}

}  // namespace

class Em4305ProtectTest : public PageTest {
  Q_OBJECT

 private slots:
  void masksAndConfirmation() {
    Em4305Bench b(f_);
    QVERIFY(b.Start());
    ScriptedDialogs dialogs;
    CEmProtectDlg dialog;
    QCOMPARE(dialog.windowTitle(), U("锁卡"));
    QVERIFY(Checked(dialog).isEmpty());

    // Cancel sends nothing and reports nothing.
    dialogs.messageAnswers = {DialogAnswer::Cancel};
    Check(dialog, {0, 3, 14});
    int before = b.Requests();
    const auto statuses = f_.statuses.size();
    dialog.lockButton->click();
    QCOMPARE(Boxes(dialogs), QStringList({U("您将锁定：0，3，14")}));
    QCOMPARE(dialogs.requests[0].caption, U("提示"));
    QCOMPARE(dialogs.requests[0].buttons, MessageButtons::OkCancel);
    QCOMPARE(b.Requests(), before);
    QCOMPARE(f_.statuses.size(), statuses);

    // Words 7 and 8 sit on either side of the first byte's edge.
    Check(dialog, {7});
    dialog.lockButton->click();
    QVERIFY(b.LastRequest("03 04 80 00 00 00 ") != "");
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("锁卡")));
    Check(dialog, {8});
    dialog.lockButton->click();
    QVERIFY(b.LastRequest("03 04 00 01 00 00 ") != "");

    // Nothing checked: the question names no word and the mask is empty.
    dialogs.requests.clear();
    Check(dialog, {});
    dialog.lockButton->click();
    QCOMPARE(Boxes(dialogs), QStringList({U("您将锁定：")}));
    QVERIFY(b.LastRequest("03 04 00 00 00 00 ") != "");

    // Word 0 and the protection words: after this the chip takes no more protection.
    Check(dialog, {0, 14});
    dialog.lockButton->click();
    QVERIFY(b.LastRequest("03 04 01 40 00 00 ") != "");
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("锁卡")));
    Check(dialog, {5});
    dialog.lockButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("锁卡")));
    QCOMPARE(Checked(dialog), QList<int>({5}));  // the boxes keep what the operator set

    // The protection word in force now shows words 0, 1, 7, 8 and the pair.
    dialog.lockedNowButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("获取当前锁定块")));
    QCOMPARE(Checked(dialog), QList<int>({0, 1, 7, 8, 14}));
  }

  void lockedNowReadsTheWordInForce() {
    Em4305Bench b(f_);
    QVERIFY(b.Start());
    ScriptedDialogs dialogs;
    CEmProtectDlg dialog;

    // As delivered word 14 is in force: word 15 is not asked for.
    dialog.lockedNowButton->click();
    QCOMPARE(Checked(dialog), QList<int>({0, 1}));
    QVERIFY(b.LastRequest("03 02 0F ") == "");

    // A protection moves the set into word 15, which word 14's clear bit 15 sends to.
    Check(dialog, {6});
    dialog.lockButton->click();
    QCOMPARE(b.Word(14), 0u);
    Check(dialog, {});
    dialog.lockedNowButton->click();
    QVERIFY(b.LastRequest("03 02 0F ") != "");
    QCOMPARE(Checked(dialog), QList<int>({0, 1, 6}));

    // A failed read leaves the boxes as they were.
    Check(dialog, {2});
    QVERIFY(f_.reader->RemoveTag(b.tag));
    dialog.lockedNowButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(0, U("获取当前锁定块")));
    QCOMPARE(Checked(dialog), QList<int>({2}));
  }

  void protectThroughTheEditorStopsWrites() {
    Em4305Bench b(f_);
    QVERIFY(b.Start());
    ScriptedDialogs dialogs;
    EM4305Dlg page;

    Type(page, 5, "11223344");
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("modify ：5，")));

    QList<int> shownAtOpening;
    QList<int> lockedNow;
    dialogs.customAnswer = [&](QDialog& d) {
      auto* dialog = qobject_cast<CEmProtectDlg*>(&d);
      if (!dialog) return int(QDialog::Rejected);
      shownAtOpening = Checked(*dialog);
      if (lockedNow.isEmpty() && shownAtOpening.isEmpty() && b.Word(15) == 0) {
        Check(*dialog, {5});
        dialog->lockButton->click();
      }
      dialog->lockedNowButton->click();
      lockedNow = Checked(*dialog);
      return int(QDialog::Rejected);
    };
    page.protectButton->click();
    QCOMPARE(Boxes(dialogs), QStringList({U("您将锁定：5")}));
    QCOMPARE(lockedNow, QList<int>({0, 1, 5}));

    // A second opening starts with every box clear, whatever the first one showed.
    page.protectButton->click();
    QVERIFY(shownAtOpening.isEmpty());
    QCOMPARE(lockedNow, QList<int>({0, 1, 5}));

    Type(page, 5, "55667788");
    Type(page, 6, "01010101");
    page.writeButton->click();
    QCOMPARE(b.LastStatus(), std::make_pair(1, U("modify ：6，: word 5, the tag refused it, or no tag answered; the "
                                                  "word may be protected, or the chip asks for a login: Login first")));
    QCOMPARE(b.Word(5), 0x44332211u);
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::Em4305ProtectTest)
#include "em4305_dlg_protect_test.moc"
