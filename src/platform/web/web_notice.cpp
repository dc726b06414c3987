#include "platform/web/web_notice.h"

#include "platform/web/web_hid_bridge.h"

namespace tavio {

std::optional<DeviceNotice> DeviceNoticeOf(std::string_view type, const std::string& path) {
  if (path.empty()) return std::nullopt;
  DeviceNotice notice;
  notice.device_type = kDeviceTypeInterface;
  notice.device_name = path;
  if (type == "connect") {
    notice.event = kDeviceArrival;
  } else if (type == "disconnect") {
    notice.event = kDeviceRemoveComplete;
  } else {
    return std::nullopt;
  }
  return notice;
}

std::optional<DeviceNotice> WebHidNotice(std::string_view type, const std::string& path) {
  if (!WebHidIdOfPath(path)) return std::nullopt;
  return DeviceNoticeOf(type, path);
}

}  // namespace tavio
