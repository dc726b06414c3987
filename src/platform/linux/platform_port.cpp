#include "platform/linux/linux_hid_port.h"
#include "platform/platform.h"

namespace tavio {

std::unique_ptr<HidPort> CreatePlatformHidPort() { return std::make_unique<LinuxHidPort>(); }

}  // namespace tavio
