#include "qt/device_notices.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "core/shell/window_calls.h"
#include "sim/sim_hid_port.h"

namespace tavio::qt {

SimNotices::~SimNotices() { Unregister(); }

bool SimNotices::Register() {
  receiver_ = std::make_unique<QObject>();
  QObject* receiver = receiver_.get();
  port_.SetNoticeCallback([this, receiver](const DeviceNotice& notice) {
    // Never from inside the exchange that raised it: through the event loop.
    QMetaObject::invokeMethod(receiver, [this, notice] { OnDeviceChange(app_, notice); }, Qt::QueuedConnection);
  });
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, receiver, [this] { PostPendingNotices(); });
  }
  return true;
}

void SimNotices::Unregister() {
  port_.SetNoticeCallback(nullptr);
  receiver_.reset();
}

void SimNotices::PostPendingNotices() {
  // The port notices a vanished unit only when asked, so ask every time.
  if (receiver_ != nullptr) port_.DeliverPendingNotices();
}

}  // namespace tavio::qt
