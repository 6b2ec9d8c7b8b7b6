// The small window of the simulation mode: the tags beside the virtual reader, which one lies
// on it, new tags of every kind and the blank-tag feeder. Not modal.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QTimer;

namespace rivelo {

namespace sim {
class VirtualReader;
}

class CVirtualReaderWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CVirtualReaderWindow(sim::VirtualReader& reader, QWidget* parent = nullptr);

  // Reads the reader's state into the window.
  void Refresh();

 public slots:
  void Open();  // shows and raises the window
  void PlaceSelected();
  void TakeOff();
  void CreateTag();
  void StartFeeder();

 private:
  sim::VirtualReader& reader_;
  QListWidget* tags_;
  QLabel* onReader_;
  QComboBox* kind_;
  QLineEdit* parameters_;
  QLabel* message_;
  QComboBox* feederKind_;
  QSpinBox* feederCount_;
  QSpinBox* feederDelay_;
  QLabel* feederLeft_;
  QTimer* timer_;
  bool placed_ = false;
};

}  // namespace rivelo
