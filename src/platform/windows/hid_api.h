#pragma once
// The HID library's calls. MinGW's headers lack C++ linkage guards and the
// library exports C names; the SDK's own guards nest harmlessly in these.

#include <windows.h>

extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}
