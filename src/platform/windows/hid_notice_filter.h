#pragma once
// The filter that asks for notices about HID device interfaces.

#include <windows.h>
#include <dbt.h>

namespace tavio {

DEV_BROADCAST_DEVICEINTERFACE_W HidInterfaceFilter();

}  // namespace tavio
