#pragma once
// The HID back end of the platform the program was built for.

#include <memory>

#include "core/link/hid_port.h"

namespace tavio {

std::unique_ptr<HidPort> CreatePlatformHidPort();

}  // namespace tavio
