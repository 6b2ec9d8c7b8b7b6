#include "shell/sim_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "resources/texts_shell.h"
#include "sim/tag_kinds.h"
#include "sim/virtual_reader.h"

namespace rivelo {
namespace {

QString Q(const TextPair& text) { return QString::fromUtf8(Text(text)); }

constexpr int RefreshMs = 300;

}  // namespace

CVirtualReaderWindow::CVirtualReaderWindow(sim::VirtualReader& reader, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      reader_(reader),
      tags_(new QListWidget(this)),
      onReader_(new QLabel(this)),
      kind_(new QComboBox(this)),
      parameters_(new QLineEdit(this)),
      message_(new QLabel(this)),
      feederKind_(new QComboBox(this)),
      feederCount_(new QSpinBox(this)),
      feederDelay_(new QSpinBox(this)),
      feederLeft_(new QLabel(this)),
      timer_(new QTimer(this)) {
  setWindowTitle(Q(shell_text::SimWindowTitle));
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(new QLabel(Q(shell_text::SimTagsBeside), this));
  tags_->setObjectName(QStringLiteral("tags"));
  layout->addWidget(tags_);
  layout->addWidget(onReader_);
  auto* placeRow = new QHBoxLayout;
  auto* place = new QPushButton(Q(shell_text::SimPlace), this);
  auto* takeOff = new QPushButton(Q(shell_text::SimTakeOff), this);
  placeRow->addWidget(place);
  placeRow->addWidget(takeOff);
  layout->addLayout(placeRow);

  auto* newTag = new QGroupBox(Q(shell_text::SimNewTag), this);
  auto* newForm = new QFormLayout(newTag);
  kind_->setObjectName(QStringLiteral("kind"));
  // The virtual reader's kind table: each kind's text as its tip, and an example of its
  // parameters in the field while it is chosen.
  for (const sim::TagKindRow& row : sim::TagKinds()) {
    kind_->addItem(QString::fromUtf8(row.name), QString::fromUtf8(row.example));
    kind_->setItemData(kind_->count() - 1, QString::fromUtf8(row.name) + QString::fromUtf8(row.parameters),
                       Qt::ToolTipRole);
    if (row.blankChip) feederKind_->addItem(QString::fromUtf8(row.name));
  }
  parameters_->setObjectName(QStringLiteral("parameters"));
  const auto showExample = [this] { parameters_->setPlaceholderText(kind_->currentData().toString()); };
  connect(kind_, &QComboBox::currentIndexChanged, this, showExample);
  showExample();
  auto* create = new QPushButton(Q(shell_text::SimCreate), newTag);
  newForm->addRow(Q(shell_text::SimKind), kind_);
  newForm->addRow(Q(shell_text::SimParameters), parameters_);
  newForm->addRow(QString(), create);
  newForm->addRow(message_);
  layout->addWidget(newTag);

  auto* feeder = new QGroupBox(Q(shell_text::SimFeeder), this);
  auto* feederForm = new QFormLayout(feeder);
  feederCount_->setRange(0, 100000);
  feederCount_->setValue(10);
  feederDelay_->setRange(0, 60000);
  feederDelay_->setValue(500);
  auto* start = new QPushButton(Q(shell_text::SimFeederStart), feeder);
  feederForm->addRow(Q(shell_text::SimKind), feederKind_);
  feederForm->addRow(Q(shell_text::SimCount), feederCount_);
  feederForm->addRow(Q(shell_text::SimDelay), feederDelay_);
  feederForm->addRow(feederLeft_, start);
  layout->addWidget(feeder);

  connect(place, &QPushButton::clicked, this, &CVirtualReaderWindow::PlaceSelected);
  connect(tags_, &QListWidget::itemDoubleClicked, this, &CVirtualReaderWindow::PlaceSelected);
  connect(takeOff, &QPushButton::clicked, this, &CVirtualReaderWindow::TakeOff);
  connect(create, &QPushButton::clicked, this, &CVirtualReaderWindow::CreateTag);
  connect(start, &QPushButton::clicked, this, &CVirtualReaderWindow::StartFeeder);
  // The feeder and the host change the reader behind the window's back.
  connect(timer_, &QTimer::timeout, this, &CVirtualReaderWindow::Refresh);
  Refresh();
}

void CVirtualReaderWindow::Open() {
  Refresh();
  timer_->start(RefreshMs);
  if (!placed_ && parentWidget() != nullptr) {
    // Beside the main window, so that neither hides the other.
    adjustSize();
    const QRect main = parentWidget()->frameGeometry();
    QPoint at(main.right() + 8, main.top());
    if (const QScreen* screen = parentWidget()->screen()) {
      const QRect area = screen->availableGeometry();
      if (at.x() + width() > area.right()) at.setX(std::max(area.left(), main.left() - width() - 8));
    }
    move(at);
    placed_ = true;
  }
  show();
  raise();
  activateWindow();
}

void CVirtualReaderWindow::Refresh() {
  const std::vector<sim::TagInfo> tags = reader_.Tags();
  const int selectedId = tags_->currentItem() ? tags_->currentItem()->data(Qt::UserRole).toInt() : -1;
  QString onReader = Q(shell_text::SimNothingOnReader);
  tags_->clear();
  for (const sim::TagInfo& tag : tags) {
    const QString line = QString::fromStdString(tag.description);
    if (tag.onReader) onReader = line;
    auto* item = new QListWidgetItem((tag.onReader ? QStringLiteral("▶ ") : QStringLiteral("   ")) + line, tags_);
    item->setData(Qt::UserRole, tag.id);
    if (tag.id == selectedId) tags_->setCurrentItem(item);
  }
  onReader_->setText(Q(shell_text::SimOnReader).arg(onReader));
  feederLeft_->setText(Q(shell_text::SimFeederLeft).arg(reader_.FeederRemaining()));
}

void CVirtualReaderWindow::PlaceSelected() {
  if (const QListWidgetItem* item = tags_->currentItem()) reader_.PlaceOnReader(item->data(Qt::UserRole).toInt());
  Refresh();
}

void CVirtualReaderWindow::TakeOff() {
  reader_.TakeOffReader();
  Refresh();
}

void CVirtualReaderWindow::CreateTag() {
  std::string tag = kind_->currentText().toStdString();
  const QString parameters = parameters_->text().trimmed();
  if (!parameters.isEmpty()) tag += ":" + parameters.toStdString();
  std::string error;
  if (reader_.AddTag(tag, &error) < 0) {
    message_->setText(Q(shell_text::SimBadTag).arg(QString::fromStdString(error)));
  } else {
    message_->clear();
  }
  Refresh();
}

void CVirtualReaderWindow::StartFeeder() {
  reader_.SetFeeder(feederKind_->currentText().toStdString(), feederCount_->value(), feederDelay_->value());
  Refresh();
}

}  // namespace rivelo
