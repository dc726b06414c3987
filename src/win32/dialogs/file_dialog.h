#pragma once
// The configuration of the open and save dialogs, apart so that tests can
// check it on a dialog of their own.

#include <shobjidl.h>

#include "core/text/string_table.h"

namespace tavio::win32 {

// One file type, "Binary File (*.bin)" in the language with pattern "*.bin",
// selected; default extension "bin". The first failing call's result.
HRESULT SetUpBinFileDialog(IFileDialog& dialog, Language language);

}  // namespace tavio::win32
