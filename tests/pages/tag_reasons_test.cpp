// A tag operation that does not count gives the same reason in the window and on the command
// line: each row runs on a fresh tag of one kind through the page and through
// rivelo against the virtual reader, and both must name the reason (and its hint).
#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <string>
#include <vector>

#include "pages/em4305/em4305_dlg.h"
#include "pages/t5577/ata_dlg.h"
#include "pages/tagformats/ata_hid.h"
#include "reader_fixture.h"
#include "shell/dec_edit.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using PageAction = std::function<void()>;

struct ReasonCase {
  const char* name;
  const char* tag;
  std::vector<std::string> cli;  // after --simulate=TAG
  const char* cliReason;
  const char* windowReason;
};

// The page's action per row, on the page objects the test made.
struct Pages {
  CAtaDlg ata;
  EM4305Dlg em;
  CHidDlg hid;
  void T5577(int block, const char* data, const char* password, QPushButton* button, int page = 0) {
    ata.pageCombo->setCurrentIndex(page);
    ata.blockCombo->setCurrentIndex(block == 0 ? 7 : block - 1);
    ata.blockEdit[static_cast<std::size_t>(block)]->setText(QString::fromUtf8(data));
    ata.passwordEdit->setText(QString::fromUtf8(password));
    button->click();
  }
  void Em4305Write(int word, const char* fieldText) {
    CHexEdit& field = *em.wordEdit[static_cast<std::size_t>(word)];
    field.clear();
    QTest::keyClicks(&field, QString::fromUtf8(fieldText));
    em.writeButton->click();
  }
};

const std::vector<ReasonCase>& Cases() {
  static const std::vector<ReasonCase> cases = {
      {"t5577 write without password", "t5577:pwd=11223344", {"t5577", "write-block", "3", "CAFEF00D"},
       "the chip refused the write of block 3 of page 0, or no chip answered; the chip may be password-protected "
       "(give its --password)",
       "the tag refused it, or no tag answered; the chip may be password-protected"},
      {"t5577 read without password", "t5577:pwd=11223344", {"t5577", "read-block", "3"},
       "the chip refused the read of block 3 of page 0, or no chip answered; the chip may be password-protected "
       "(give its --password)",
       "the tag refused it, or no tag answered; the chip may be password-protected"},
      {"t5577 write with a wrong password", "t5577:pwd=11223344",
       {"t5577", "write-block", "3", "CAFEF00D", "--password", "01020304"},
       "the chip refused the write of block 3 of page 0, or no chip answered; the chip may be password-protected "
       "(give its --password)",
       "the tag refused it, or no tag answered; the chip may be password-protected: enter its password"},
      {"t5577 write of a locked block", "t5577", {"t5577", "write-block", "1", "CAFEF00D", "--page", "1"},
       "the chip refused the write of block 1 of page 1, or no chip answered; the block may be locked",
       "the tag refused it, or no tag answered; the block may be locked"},
      {"em4305 protected word", "em4305", {"em4305", "write-word", "0", "00000001"},
       "the chip refused the write of word 0, or no chip answered; the word may be protected, or the chip asks for "
       "a login",
       "word 0, the tag refused it, or no tag answered; the word may be protected, or the chip asks for a login"},
      // Word 4 with read login on (bit 18): written, but the read-back needs a login.
      {"em4305 word 4 turning on read login", "em4305", {"em4305", "write-word", "4", "0006008F", "--yes"},
       "word 4 was written, but the chip now asks for a login to read (give --password",
       "word 4, written, but the chip now asks for a login to read"},
      {"hid write refused", "t5577:pwd=11223344", {"write", "hid", "3", "4"},
       "the tag did not take 3:4: the identity was not read back as written",
       "the tag does not read back what was written"},
  };
  return cases;
}

void Act(Pages& p, int row) {
  switch (row) {
    case 0: return p.T5577(3, "CAFEF00D", "", p.ata.writeButton);
    case 1: return p.T5577(3, "", "", p.ata.readButton);
    case 2: return p.T5577(3, "CAFEF00D", "01020304", p.ata.writePwdButton);
    case 3: return p.T5577(1, "CAFEF00D", "", p.ata.writeButton, 1);  // the factory's traceability block
    case 4: return p.Em4305Write(0, "01000000");
    case 5: return p.Em4305Write(4, "8F000600");  // the word as the reader carries it
    case 6:
      p.hid.decFacility->setText("3");
      p.hid.decCard->setText("4");
      return p.hid.Write();
  }
}

}  // namespace

class TagReasonsTest : public PageTest {
  Q_OBJECT

 private slots:
  void sameReasonInWindowAndCommandLine_data() {
    QTest::addColumn<int>("row");
    for (int row = 0; row < static_cast<int>(Cases().size()); ++row) QTest::newRow(Cases()[row].name) << row;
  }

  void sameReasonInWindowAndCommandLine() {
    QFETCH(int, row);
    const ReasonCase& c = Cases()[static_cast<std::size_t>(row)];
    QVERIFY(f_.reader->AddTag(c.tag) >= 0);
    QVERIFY(f_.Connect());
    {
      ScriptedDialogs dialogs;
      Pages pages;
      Act(pages, row);
    }
    QVERIFY(!f_.statuses.empty());
    const auto [kind, text] = f_.statuses.back();
    QCOMPARE(kind, 0);
    QVERIFY2(text.contains(QString::fromUtf8(c.windowReason)), qPrintable(text));
    DisconnectDevice();

    std::vector<std::string> args = {std::string("--simulate=") + c.tag};
    args.insert(args.end(), c.cli.begin(), c.cli.end());
    const test::Outcome o = test::Rivelo(args);
    QCOMPARE(o.code, 1);
    QVERIFY2(o.errText.find(c.cliReason) != std::string::npos, o.errText.c_str());
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::TagReasonsTest)
#include "tag_reasons_test.moc"
