#include <QSocketNotifier>

#include "core/shell/window_calls.h"
#include "platform/linux/udev_monitor.h"
#include "qt/device_notices.h"

namespace tavio::qt {

UdevNotices::UdevNotices(App& app) : app_(app) {}

UdevNotices::~UdevNotices() { Unregister(); }

bool UdevNotices::Register() {
  monitor_ = UdevMonitor::Create();
  if (monitor_ == nullptr) return false;
  notifier_ = std::make_unique<QSocketNotifier>(monitor_->Fd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { ReadPending(); });
  return true;
}

void UdevNotices::Unregister() {
  notifier_.reset();
  monitor_.reset();
}

void UdevNotices::ReadPending() {
  // A box opened by one notice runs the event loop, which may read the next
  // ones before this loop continues; the order stays that of the socket.
  while (monitor_ != nullptr) {
    const std::optional<DeviceNotice> notice = monitor_->ReadNotice();
    if (!notice) break;
    OnDeviceChange(app_, *notice);
  }
}

}  // namespace tavio::qt
