// Every entry field of every page, in both builds, carries the caption that stands beside it as
// its accessible name; where one caption stands for several boxes ("02H + 04H"), each box is
// named by its own part.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "pages/page_registry.h"
#include "resources/language.h"
#include "shell/tab_containers.h"

Q_DECLARE_METATYPE(rivelo::Language)

namespace rivelo {
namespace {

QRect InPage(const QWidget& page, const QWidget& w) { return QRect(w.mapTo(&page, QPoint(0, 0)), w.size()); }

bool SameRow(const QRect& a, const QRect& b) { return std::abs(a.center().y() - b.center().y()) <= b.height() / 2; }

QString CaptionText(const QWidget& w) {
  if (const auto* label = qobject_cast<const QLabel*>(&w)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) return button->text();
  return {};
}

// The head of the field's column where fields stand in a grid: the nearest label above the
// field whose middle lies over it; empty where there is none.
QString ColumnHead(const QWidget& page, const QRect& at) {
  const QLabel* head = nullptr;
  QRect headAt;
  for (const QLabel* label : page.findChildren<QLabel*>()) {
    const QRect r = InPage(page, *label);
    if (label->text().isEmpty() || r.bottom() >= at.top() || r.center().x() < at.left() || r.center().x() > at.right())
      continue;
    if (!head || r.bottom() > headAt.bottom()) {
      head = label;
      headAt = r;
    }
  }
  return head ? head->text() : QString();
}

// The caption a reader of the page sees for the field: the nearest captioned control to its
// left on the same row, split into parts when several fields share it; in a grid, followed
// by the column's head ("National Hex").
QString ExpectedName(const QWidget& page, const QLineEdit& field) {
  const QRect at = InPage(page, field);
  const QWidget* caption = nullptr;
  QRect captionAt;
  for (const QWidget* w : page.findChildren<QWidget*>()) {
    const QRect r = InPage(page, *w);
    if (CaptionText(*w).isEmpty() || r.right() >= at.left() || !SameRow(r, at)) continue;
    if (!caption || r.right() > captionAt.right()) {
      caption = w;
      captionAt = r;
    }
  }
  if (!caption) return {};
  int before = 0, others = 0;  // fields between the caption and this one, and after it
  for (const QLineEdit* other : page.findChildren<QLineEdit*>()) {
    const QRect r = InPage(page, *other);
    if (other == &field || !SameRow(r, at) || r.left() <= captionAt.right()) continue;
    ++(r.left() < at.left() ? before : others);
  }
  // One box beside a caption of several parts shows them all and carries the whole caption.
  const QStringList parts = CaptionText(*caption).split(" + ");
  const QString row = parts.size() > 1 && before + others > 0 ? parts.value(before) : CaptionText(*caption);
  const QString column = ColumnHead(page, at);
  return column.isEmpty() ? row : row + ' ' + column;
}

}  // namespace

class FieldNamesTest : public QObject {
  Q_OBJECT

 private slots:
  void everyFieldIsNamedAfterItsCaption_data() {
    QTest::addColumn<Language>("language");
    QTest::newRow("brisendor") << Language::English;
    QTest::newRow("corvane") << Language::Chinese;
  }

  void everyFieldIsNamedAfterItsCaption() {
    QFETCH(Language, language);
    SetLanguage(language);
    CAtaTabDlg ata;
    EM4305TabDlg em4305;
    AddPages(ata, em4305);
    int fields = 0;
    for (const CTabContainer* container : {static_cast<CTabContainer*>(&ata), static_cast<CTabContainer*>(&em4305)}) {
      for (int i = 0; i < container->PageCount(); ++i) {
        const QWidget& page = *container->Page(i);
        for (const QLineEdit* field : page.findChildren<QLineEdit*>()) {
          // The edit inside a spin or combo box is named through its owner.
          if (qobject_cast<QAbstractSpinBox*>(field->parentWidget()) || qobject_cast<QComboBox*>(field->parentWidget()))
            continue;
          ++fields;
          const QString where = page.metaObject()->className() + QString(" at ") +
                                QString::number(field->x()) + "," + QString::number(field->y());
          const QString expected = ExpectedName(page, *field);
          QVERIFY2(!expected.isEmpty(), qPrintable(where + ": no caption beside the field"));
          QVERIFY2(field->accessibleName() == expected,
                   qPrintable(where + ": named \"" + field->accessibleName() + "\", caption \"" + expected + "\""));
        }
      }
    }
    QVERIFY(fields >= 5);
    SetLanguage(Language::English);
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::FieldNamesTest)
#include "field_names_test.moc"
