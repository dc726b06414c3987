#include "platform/linux/udev_monitor.h"

#include <libudev.h>
#include <poll.h>

namespace tavio {

uint32_t NoticeEventForAction(std::string_view action) {
  if (action == "add") return kDeviceArrival;
  if (action == "remove") return kDeviceRemoveComplete;
  return kDeviceNodesChanged;
}

std::unique_ptr<UdevMonitor> UdevMonitor::Create() {
  udev* context = udev_new();
  if (context == nullptr) return nullptr;
  udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
  if (monitor == nullptr) {
    udev_unref(context);
    return nullptr;
  }
  if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor) < 0 || udev_monitor_get_fd(monitor) < 0) {
    udev_monitor_unref(monitor);
    udev_unref(context);
    return nullptr;
  }
  return std::unique_ptr<UdevMonitor>(new UdevMonitor(context, monitor));
}

UdevMonitor::~UdevMonitor() {
  udev_monitor_unref(monitor_);
  udev_unref(context_);
}

int UdevMonitor::Fd() const { return udev_monitor_get_fd(monitor_); }

std::optional<DeviceNotice> UdevMonitor::ReadNotice() {
  // Receive would block on an empty socket that libudev did not make
  // non-blocking; never rely on how it was created.
  pollfd watch{Fd(), POLLIN, 0};
  if (::poll(&watch, 1, 0) <= 0 || (watch.revents & POLLIN) == 0) return std::nullopt;
  udev_device* device = udev_monitor_receive_device(monitor_);
  if (device == nullptr) return std::nullopt;

  DeviceNotice notice;
  const char* action = udev_device_get_action(device);
  notice.event = NoticeEventForAction(action != nullptr ? action : "");
  notice.device_type = kDeviceTypeInterface;
  if (const char* node = udev_device_get_devnode(device)) notice.device_name = node;
  udev_device_unref(device);
  return notice;
}

}  // namespace tavio
