// A group box as a dialog draws it: an etched frame whose title sits on the frame's top line,
// interrupting it. Qt's own group boxes (Fusion in particular) put the title above the frame
// and push the frame down, which leaves a box placed from a dialog template with its frame
// squeezed under the controls it should surround.
#pragma once

#include <QGroupBox>

namespace rivelo {

class GroupBox : public QGroupBox {
  Q_OBJECT

 public:
  explicit GroupBox(const QString& title, QWidget* parent = nullptr);
  explicit GroupBox(QWidget* parent = nullptr) : GroupBox(QString(), parent) {}

  // Where the title is drawn, in the box's coordinates (empty without a title). The frame's
  // top line runs through its middle.
  QRect TitleRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace rivelo
