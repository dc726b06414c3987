#pragma once
// A device arrival or removal notice, as the platform delivers it: the event
// code, the device type of the broadcast record and the device's path.

#include <cstdint>
#include <string>

namespace tavio {

inline constexpr uint32_t kDeviceArrival = 0x8000;         // DBT_DEVICEARRIVAL
inline constexpr uint32_t kDeviceRemoveComplete = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
inline constexpr uint32_t kDeviceTypeInterface = 5;        // DBT_DEVTYP_DEVICEINTERFACE

struct DeviceNotice {
  uint32_t event = 0;
  uint32_t device_type = kDeviceTypeInterface;
  std::string device_name;
};

}  // namespace tavio
