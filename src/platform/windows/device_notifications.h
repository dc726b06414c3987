#pragma once
// HID arrival and removal notices on Windows: registration on a window, and
// WM_DEVICECHANGE turned into the core's DeviceNotice. No <windows.h> here:
// its macros stay out of the code that includes this.

#include <cstdint>
#include <vector>

#include "core/link/device_notice.h"

namespace tavio {

// Registers a window for notices about HID device interfaces.
class DeviceNotification {
 public:
  DeviceNotification() = default;
  ~DeviceNotification() { Unregister(); }
  DeviceNotification(const DeviceNotification&) = delete;
  DeviceNotification& operator=(const DeviceNotification&) = delete;

  // `window` is the HWND that is to receive WM_DEVICECHANGE. Registering
  // again first drops the earlier registration.
  bool Register(void* window);
  void Unregister();
  bool IsRegistered() const { return handle_ != nullptr; }
  // GetLastError() of the last failed registration.
  uint32_t LastError() const { return last_error_; }

 private:
  void* handle_ = nullptr;
  uint32_t last_error_ = 0;
};

// WM_DEVICECHANGE's wParam (the event) and lParam (the broadcast record, or
// 0). Without a readable record the device type is 0, so the core acts on
// nothing but the event code; the name is filled for device interfaces only.
DeviceNotice NoticeFromDeviceChange(uintptr_t event, intptr_t record);
// The broadcast record WM_DEVICECHANGE would carry for `notice` (its event
// goes in wParam), aligned for the record's fields.
std::vector<uint32_t> DeviceChangeRecord(const DeviceNotice& notice);

}  // namespace tavio
