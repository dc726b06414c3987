#pragma once
// Arrival and removal of hidraw nodes, as a file descriptor to watch (for a
// socket notifier) and notices in the form the device link consumes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "core/link/device_notice.h"

struct udev;
struct udev_monitor;

namespace tavio {

// Any change that is neither an arrival nor a removal (DBT_DEVNODES_CHANGED);
// the device link ignores it.
inline constexpr uint32_t kDeviceNodesChanged = 0x0007;

// "add" → arrival, "remove" → removal complete, anything else (change, bind,
// unbind, move, or no action at all) → kDeviceNodesChanged.
uint32_t NoticeEventForAction(std::string_view action);

class UdevMonitor {
 public:
  // Null when udev or its monitor socket cannot be set up. Events come from
  // udev after its rules ran, so the node's permissions are final when an
  // arrival is seen.
  static std::unique_ptr<UdevMonitor> Create();

  ~UdevMonitor();
  UdevMonitor(const UdevMonitor&) = delete;
  UdevMonitor& operator=(const UdevMonitor&) = delete;

  // Readable when a notice is pending.
  int Fd() const;

  // One pending event, never blocking. Every event yields a notice (other
  // actions as kDeviceNodesChanged), so nothing means nothing is pending and
  // a caller may drain the socket with a loop.
  std::optional<DeviceNotice> ReadNotice();

 private:
  UdevMonitor(udev* context, udev_monitor* monitor) : context_(context), monitor_(monitor) {}

  udev* context_;
  udev_monitor* monitor_;
};

}  // namespace tavio
