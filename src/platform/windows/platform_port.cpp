#include "platform/platform.h"
#include "platform/windows/windows_hid_port.h"

namespace tavio {

std::unique_ptr<HidPort> CreatePlatformHidPort() { return std::make_unique<WindowsHidPort>(); }

}  // namespace tavio
