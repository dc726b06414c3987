#include "win32/dialogs/hooks.h"

#include <utility>

namespace tavio::win32 {
namespace {

DialogHooks g_hooks;  // the GUI thread's only

}  // namespace

const DialogHooks& ActiveHooks() { return g_hooks; }

void SetDialogHooks(DialogHooks hooks) { g_hooks = std::move(hooks); }

std::wstring Wide(TextView text) { return std::wstring(text.begin(), text.end()); }

}  // namespace tavio::win32
