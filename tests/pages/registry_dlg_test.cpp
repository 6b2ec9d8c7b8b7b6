// File -> Identity registry... in the window: the registry chosen there governs the identity
// pages' single writes and runs, names itself in the run's list, and shows its counts.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "batch/identity_gate.h"
#include "pages/em4100/em4305_id_dlg.h"
#include "pages/registry/registry_dlg.h"
#include "reader_fixture.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {

class RegistryDlgTest : public QObject {
  Q_OBJECT

 private:
  ReaderFixture f_;

  // Runs the dialog, playing its user with act; returns what it showed when act was done.
  static QString InDialog(const std::function<void(RegistryDlg&)>& act) {
    ScriptedDialogs dialogs;
    QString shown;
    dialogs.customAnswer = [&](QDialog& dialog) {
      auto& registry = dynamic_cast<RegistryDlg&>(dialog);
      act(registry);
      shown = registry.StateLabel().text();
      return int(QDialog::Rejected);
    };
    ShowRegistryDialog(nullptr);
    return shown;
  }

 private slots:
  void init() { f_.SetUp(); }
  void cleanup() {
    SetWindowIdentityGate(nullptr);
    f_.TearDown();
  }

  void chosenRegistryGovernsThePagesWrites() {
    QTemporaryDir folder;
    const QString path = folder.filePath("ids.sqlite");
    QVERIFY(InDialog([&](RegistryDlg& d) {
              QCOMPARE(d.FileField().accessibleName(), QString("SQLite file"));
              QCOMPARE(d.UriField().accessibleName(), QString("PostgreSQL URI"));
              d.FileField().setText(path);
              d.UseButton().click();
            }).endsWith("Identities it holds: none yet"));
    QCOMPARE(WindowRegistryWhere(), path.toStdString());

    f_.reader->SetFeeder("em4305", 4, 0);
    QVERIFY(f_.Connect());
    EM4305IdDlg page;
    RunPanel& run = page.Panel();
    QTest::keyClicks(page.hex10, "0000000001");
    run.writeButton->click();
    QCOMPARE(f_.statuses.back().first, 1);
    run.writeButton->click();  // the same identity again: taken, nothing written
    QVERIFY(f_.statuses.back().second.startsWith("Not written, taken in the identity registry: 0000000001: issued on"));

    run.incremental->click();
    page.hex10->setText("0000000001");
    run.writeButton->click();
    for (int i = 0; i < 50 && run.list->count() < 4; ++i) run.TickTimer(IncrementalWriteTimer);
    run.writeButton->click();
    QCOMPARE(run.list->item(0)->text(), "Identity registry: " + path);
    QVERIFY(run.list->item(1)->text().startsWith("Skipped 0000000001: issued on"));
    QCOMPARE(run.list->item(2)->text(), QString::fromUtf8("Number 1：0000000002"));
    QCOMPARE(run.list->item(3)->text(), QString::fromUtf8("Number 2：0000000003"));

    // The counts; then no registry: the page writes what it is given again.
    QVERIFY(InDialog([](RegistryDlg&) {}).endsWith("em4100: 3 issued, 0 reserved"));
    QCOMPARE(InDialog([](RegistryDlg& d) { d.NoneButton().click(); }),
             QString("No identity registry: runs write what they are given"));
    QVERIFY(!WindowIdentityGate());
  }

  // A registry that cannot be opened is said through the dialogs and changes nothing.
  void unopenableRegistryIsSaid() {
    ScriptedDialogs dialogs;
    RegistryDlg dialog;
    dialog.UriField().setText("postgresql://clerk:secret@db/ids");
    dialog.UseButton().click();
    QCOMPARE(dialogs.requests.size(), std::size_t{1});
    QVERIFY(dialogs.requests[0].text.startsWith("The identity registry cannot be opened: "));
    QVERIFY(!WindowIdentityGate());
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::RegistryDlgTest)
#include "registry_dlg_test.moc"
