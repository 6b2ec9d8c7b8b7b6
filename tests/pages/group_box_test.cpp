// The pages' group box draws its title on the frame's top line, as a dialog does, instead of
// above a frame pushed down by the title.
#include <QImage>
#include <QWidget>
#include <QtTest>

#include "pages/common/group_box.h"

namespace rivelo {
namespace {

// The first row from the top where column x changes colour: where a frame's top line starts.
int FirstEdgeRow(const QImage& image, int x) {
  for (int y = 1; y < image.height(); ++y)
    if (image.pixel(x, y) != image.pixel(x, 0)) return y;
  return -1;
}

// The rows within the title's rectangle that hold dark (text) pixels.
std::pair<int, int> TextRows(const QImage& image, const QRect& title) {
  int top = -1, bottom = -1;
  for (int y = title.top(); y <= title.bottom(); ++y)
    for (int x = title.left(); x <= title.right(); ++x)
      if (qGray(image.pixel(x, y)) < 96) {
        if (top < 0) top = y;
        bottom = y;
      }
  return {top, bottom};
}

}  // namespace

class GroupBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void titleSitsOnTheFrame() {
    QWidget page;
    page.resize(460, 80);
    auto* box = new GroupBox("Options", &page);
    box->setGeometry(10, 10, 450, 39);  // as the EM4100 page places its Options group
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QImage image = box->grab().toImage();
    const QRect title = box->TitleRect();
    QVERIFY(!title.isEmpty());
    QVERIFY(title.bottom() < box->height() / 2);
    // The top line, right of the title, runs through the title's text rows.
    const int line = FirstEdgeRow(image, box->width() - 20);
    const auto [textTop, textBottom] = TextRows(image, title);
    QVERIFY2(textTop >= 0, "no title drawn");
    QVERIFY2(line > textTop && line < textBottom,
             qPrintable(QString("frame line at %1, title text %2-%3").arg(line).arg(textTop).arg(textBottom)));
    // The line stops at the title: the columns just inside the title's edges hold no line.
    QCOMPARE(image.pixel(title.left() + 1, line), image.pixel(title.left() + 1, box->height() / 2));
    // The left edge reaches down to the bottom, where the bottom line is drawn.
    QCOMPARE(FirstEdgeRow(image, 0), line);
    QVERIFY(image.pixel(box->width() / 2, box->height() - 1) != image.pixel(box->width() / 2, box->height() / 2));
  }

  void untitledBoxFramesItsWholeRectangle() {
    QWidget page;
    page.resize(200, 100);
    auto* box = new GroupBox(&page);
    box->setGeometry(0, 0, 200, 100);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QImage image = box->grab().toImage();
    QVERIFY(box->TitleRect().isEmpty());
    QVERIFY(image.pixel(100, 0) != image.pixel(100, 50));
  }
};

}  // namespace rivelo

QTEST_MAIN(rivelo::GroupBoxTest)
#include "group_box_test.moc"
