#pragma once
// The hooks the dialogs consult before showing anything (tests only).

#include <string>

#include "core/text/text.h"
#include "win32/dialogs/dialogs.h"

namespace tavio::win32 {

const DialogHooks& ActiveHooks();

// The core's UTF-16 text as the platform's wide string.
std::wstring Wide(TextView text);

}  // namespace tavio::win32
