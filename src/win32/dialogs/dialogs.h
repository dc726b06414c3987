#pragma once
// The native window's modal boxes and dialogs: message boxes, the open and
// save dialogs for configuration files, and the model-defaults dialogs laid
// out from the core's dialog layout. Tests put hooks in front of all three.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/shell/panel.h"
#include "core/text/string_table.h"

namespace tavio::win32 {

// MessageBoxW over `owner`; an empty caption stays empty on screen.
BoxAnswer ShowBox(HWND owner, const MessageBoxRequest& request);

// The open or save dialog for "*.bin" files; the UTF-8 path chosen, or
// nullopt when the user cancelled or the dialog could not be run. The save
// dialog appends ".bin" to a name typed without an extension.
std::optional<std::string> ChooseBinFile(HWND owner, bool save, Language language = Language::English);

// The model-defaults dialog 101 or 102 for the connected `family`: the
// model-type code chosen, 0 when cancelled.
int RunDefaultsDialog(HWND owner, Language language, int dialog_id, uint16_t family);

// Tests answer boxes and dialogs from a script, as the Qt shell's tests do.
struct DialogHooks {
  std::function<BoxAnswer(const MessageBoxRequest&)> box;
  std::function<std::optional<std::string>(bool save)> file;
  std::function<int(int dialog_id, uint16_t family)> defaults;
};
// Empty members: the real boxes and dialogs.
void SetDialogHooks(DialogHooks hooks);

// The MB_* flags of a request's icon, buttons and default button, and the
// answer for the ID MessageBoxW returned (a box that failed answers as if
// closed).
UINT MessageBoxFlags(const MessageBoxRequest& request);
BoxAnswer AnswerForBoxResult(int result, const MessageBoxRequest& request);

}  // namespace tavio::win32
