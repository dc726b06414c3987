#pragma once
// Hover help over the main window: the mouse movement the window itself
// sees (over the background, the labels and group boxes, which let the mouse
// through, and over disabled controls) is hit-tested in creation order and
// offered to the core; when the core wants hover tracking, the help appears
// after the mouse has rested for 100 ms.

#include <QObject>
#include <QPoint>
#include <chrono>
#include <functional>
#include <memory>

#include "core/shell/control_ids.h"

class QTimer;

namespace tavio::qt {

class MainWindow;

inline constexpr std::chrono::milliseconds kHoverRest{100};

// The rest after the last movement. Tests put in one they fire themselves.
class RestTimer {
 public:
  using Elapsed = std::function<void()>;
  virtual ~RestTimer() = default;
  // Starts the wait anew; a pending one is dropped.
  virtual void Restart(std::chrono::milliseconds rest, Elapsed elapsed) = 0;
  virtual void Cancel() = 0;
  virtual bool Pending() const = 0;
};

class QtRestTimer final : public RestTimer {
 public:
  QtRestTimer();
  ~QtRestTimer() override;
  void Restart(std::chrono::milliseconds rest, Elapsed elapsed) override;
  void Cancel() override;
  bool Pending() const override;

 private:
  std::unique_ptr<QTimer> timer_;
  Elapsed elapsed_;
};

class HoverTracker final : public QObject {
  Q_OBJECT

 public:
  // `arm`: the mouse moved over `hit` (0 for no control); true when the help
  // of the control should follow a rest. `rested`: show that help.
  using Arm = std::function<bool(ControlId hit)>;
  using Rested = std::function<void()>;

  // Watches the window and every control it has when this is made.
  explicit HoverTracker(MainWindow& window);

  void SetHandlers(Arm arm, Rested rested);
  void SetRestTimer(std::unique_ptr<RestTimer> timer);
  RestTimer& Timer() { return *timer_; }

  // A movement the window sees, in client coordinates.
  void MovedTo(QPoint client);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Watch(QWidget& widget);
  void Rest();

  MainWindow& window_;
  std::unique_ptr<RestTimer> timer_;
  Arm arm_;
  Rested rested_;
};

}  // namespace tavio::qt
