#pragma once
// navigator.hid's connect and disconnect events as the device notices the
// core's connection logic takes, the same as a plug-in or a pulled cable on
// the desktop.

#include <optional>
#include <string>
#include <string_view>

#include "core/link/device_notice.h"

namespace tavio {

// `type` as the bridge's onDeviceChange hook passes it ("connect" or
// "disconnect"), `path` the device's. Nothing for any other type or an empty
// path.
std::optional<DeviceNotice> DeviceNoticeOf(std::string_view type, const std::string& path);
// The same for a WebHID device's "webhid:ID" only.
std::optional<DeviceNotice> WebHidNotice(std::string_view type, const std::string& path);

}  // namespace tavio
