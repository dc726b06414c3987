#pragma once
// Hover help over the main window: the mouse movement the window itself
// sees (over the background, the labels and group boxes, which let the mouse
// through, and over disabled controls) is hit-tested in creation order and
// handed to the core for the window's App, which runs the rest timer.

#include <QObject>
#include <QPoint>
#include <memory>

#include "core/shell/window_calls.h"

class QTimer;

namespace tavio::qt {

class MainWindow;

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
  // Watches the window and every control it has when this is made.
  explicit HoverTracker(MainWindow& window);

  // A movement the window sees, in client coordinates.
  void MovedTo(QPoint client);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Watch(QWidget& widget);
  void Leave();

  MainWindow& window_;
};

}  // namespace tavio::qt
