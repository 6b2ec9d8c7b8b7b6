#include "pages/common/dialog_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace rivelo {
namespace {

class DialogKeyFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // The shortcut override is accepted too, so that no shortcut of the window takes the key.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();
        return event->type() == QEvent::KeyPress;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void SwallowDialogKeys(QWidget& page) {
  auto* filter = new DialogKeyFilter(&page);
  page.installEventFilter(filter);
  for (QWidget* child : page.findChildren<QWidget*>()) child->installEventFilter(filter);
}

}  // namespace rivelo
