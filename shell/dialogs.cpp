#include "shell/dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

namespace rivelo {
namespace {

// The answer a message box gives when it is closed without pressing a button.
DialogAnswer EscapeAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return DialogAnswer::Ok;
    case MessageButtons::YesNo:
      return DialogAnswer::No;
    default:
      return DialogAnswer::Cancel;
  }
}

// Without a screen (tests on the offscreen platform) nobody could ever close a modal
// dialog; answer as if it were dismissed instead of hanging.
bool Headless() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

class QtDialogs : public Dialogs {
 public:
  DialogAnswer MessageBox(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                          MessageButtons buttons) override {
    if (Headless()) {
      qWarning("message box without an answerer: %s", qPrintable(text));
      return EscapeAnswer(buttons);
    }
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
      case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
      case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
      case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
      case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
      case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    QMessageBox::StandardButtons set;
    QMessageBox::StandardButton escape = QMessageBox::Cancel;
    switch (buttons) {
      case MessageButtons::Ok: set = QMessageBox::Ok; escape = QMessageBox::Ok; break;
      case MessageButtons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
      case MessageButtons::YesNo: set = QMessageBox::Yes | QMessageBox::No; escape = QMessageBox::No; break;
      case MessageButtons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
      case MessageButtons::RetryCancel: set = QMessageBox::Retry | QMessageBox::Cancel; break;
    }
    box.setStandardButtons(set);
    box.setEscapeButton(escape);
    switch (box.exec()) {
      case QMessageBox::Ok: return DialogAnswer::Ok;
      case QMessageBox::Yes: return DialogAnswer::Yes;
      case QMessageBox::No: return DialogAnswer::No;
      case QMessageBox::Retry: return DialogAnswer::Retry;
      case QMessageBox::Cancel: return DialogAnswer::Cancel;
      default: return EscapeAnswer(buttons);
    }
  }

  QString OpenFile(QWidget* parent, const QString& filter) override {
    if (Headless()) {
      qWarning("file chooser without an answerer");
      return {};
    }
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
  }

  QString ChooseFolder(QWidget* parent, const QString& title) override {
    if (Headless()) {
      qWarning("folder chooser without an answerer: %s", qPrintable(title));
      return {};
    }
    return QFileDialog::getExistingDirectory(parent, title);
  }

  int Exec(QDialog& dialog) override {
    if (Headless()) {
      qWarning("dialog without an answerer: %s", qPrintable(dialog.windowTitle()));
      return QDialog::Rejected;
    }
    return dialog.exec();
  }
};

QtDialogs qtDialogs;
Dialogs* installed = nullptr;

}  // namespace

Dialogs& CurrentDialogs() { return installed != nullptr ? *installed : qtDialogs; }

Dialogs* SetDialogs(Dialogs* dialogs) {
  Dialogs* previous = installed;
  installed = dialogs;
  return previous;
}

}  // namespace rivelo
