#include "qt/first_paint.h"

#include <QEvent>
#include <QWidget>

namespace tavio::qt {

FirstPaintWatch::FirstPaintWatch(QWidget& widget, std::function<void()> painted)
    : QObject(&widget), painted_(std::move(painted)) {
  widget.installEventFilter(this);
}

bool FirstPaintWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint && !seen_) {
    seen_ = true;
    watched->removeEventFilter(this);
    // Queued, so it runs once this paint and the children's are through.
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (painted_) painted_();
        },
        Qt::QueuedConnection);
  }
  return false;
}

}  // namespace tavio::qt
