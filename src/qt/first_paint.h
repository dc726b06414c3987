#pragma once
// Reports once that a widget has been painted for the first time, after the
// whole paint (its children included) is done.

#include <QObject>
#include <functional>

class QWidget;

namespace tavio::qt {

class FirstPaintWatch final : public QObject {
  Q_OBJECT

 public:
  FirstPaintWatch(QWidget& widget, std::function<void()> painted);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> painted_;
  bool seen_ = false;
};

}  // namespace tavio::qt
