#include "qt/hover_tracker.h"

#include <QMouseEvent>
#include <QTimer>

#include "qt/main_window.h"

namespace tavio::qt {

QtRestTimer::QtRestTimer() : timer_(std::make_unique<QTimer>()) {
  timer_->setSingleShot(true);
  QObject::connect(timer_.get(), &QTimer::timeout, [this] {
    // A copy: the handler may restart the timer.
    const Elapsed elapsed = elapsed_;
    if (elapsed) elapsed();
  });
}

QtRestTimer::~QtRestTimer() = default;

void QtRestTimer::Restart(std::chrono::milliseconds rest, Elapsed elapsed) {
  elapsed_ = std::move(elapsed);
  timer_->start(rest);
}

void QtRestTimer::Cancel() { timer_->stop(); }

bool QtRestTimer::Pending() const { return timer_->isActive(); }

HoverTracker::HoverTracker(MainWindow& window) : QObject(&window), window_(window) {
  window_.setMouseTracking(true);
  window_.installEventFilter(this);
  for (const ControlDef& def : ControlTable()) {
    if (QWidget* control = window_.Control(def.id)) Watch(*control);
  }
}

void HoverTracker::Watch(QWidget& widget) {
  // Qt drops a movement without buttons at a widget that does not track the
  // mouse; a disabled control has to see it to pass it on.
  widget.setMouseTracking(true);
  widget.installEventFilter(this);
  for (QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!child->isWindow()) Watch(*child);
  }
}

void HoverTracker::MovedTo(QPoint client) {
  if (App* app = window_.Attached()) OnMouseMoved(*app, window_.ControlAt(client));
}

void HoverTracker::Leave() {
  if (App* app = window_.Attached()) OnMouseLeft(*app);
}

bool HoverTracker::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::Leave) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) return false;

  if (widget == &window_) {
    if (type == QEvent::MouseMove) {
      MovedTo(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else {
      // A mouse that left the window cannot rest on it.
      Leave();
    }
    return false;
  }
  if (type != QEvent::MouseMove) return false;

  QWidget* control = widget;
  while (control->parentWidget() != nullptr && control->parentWidget() != &window_) {
    control = control->parentWidget();
  }
  const auto* move = static_cast<QMouseEvent*>(event);
  if (!control->isEnabled()) {
    // A disabled control passes the mouse to the window.
    MovedTo(widget->mapTo(&window_, move->position().toPoint()));
    return true;
  }
  // An enabled control takes the mouse itself, and the window's tracking
  // ends there. Plain movement is kept from the control, which tracks the
  // mouse only for the disabled case.
  Leave();
  return move->buttons() == Qt::NoButton;
}

}  // namespace tavio::qt
