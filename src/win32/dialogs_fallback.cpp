// Stands in for the window's dialog library while it is not in the tree:
// message boxes through MessageBoxW; no file or defaults dialog (cancelled),
// unless a hook answers.
#include "win32/dialogs/dialogs.h"

#include <utility>

namespace tavio::win32 {
namespace {

DialogHooks hooks;

const wchar_t* Wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

void SetDialogHooks(DialogHooks new_hooks) { hooks = std::move(new_hooks); }

UINT MessageBoxFlags(BoxIcon icon, BoxButtons buttons) {
  UINT flags = 0;
  switch (icon) {
    case BoxIcon::None: break;
    case BoxIcon::Information: flags |= MB_ICONINFORMATION; break;
    case BoxIcon::Warning: flags |= MB_ICONWARNING; break;
    case BoxIcon::Error: flags |= MB_ICONERROR; break;
  }
  switch (buttons) {
    case BoxButtons::Ok: flags |= MB_OK; break;
    case BoxButtons::YesNo: flags |= MB_YESNO; break;
    case BoxButtons::RetryCancel: flags |= MB_RETRYCANCEL; break;
    case BoxButtons::YesNoCancel: flags |= MB_YESNOCANCEL; break;
  }
  return flags;
}

BoxAnswer AnswerForBoxResult(int result, BoxButtons buttons) {
  switch (result) {
    case IDOK: return BoxAnswer::Ok;
    case IDYES: return BoxAnswer::Yes;
    case IDNO: return BoxAnswer::No;
    case IDRETRY: return BoxAnswer::Retry;
    case IDCANCEL: return BoxAnswer::Cancel;
    default: break;
  }
  switch (buttons) {
    case BoxButtons::Ok: return BoxAnswer::Ok;
    case BoxButtons::YesNo: return BoxAnswer::No;
    default: return BoxAnswer::Cancel;
  }
}

BoxAnswer ShowBox(HWND owner, const MessageBoxRequest& request) {
  if (hooks.box) return hooks.box(request);
  return AnswerForBoxResult(
      MessageBoxW(owner, Wide(request.text), Wide(request.caption), MessageBoxFlags(request.icon, request.buttons)),
      request.buttons);
}

std::optional<std::string> ChooseBinFile(HWND, bool save, Language) {
  if (hooks.file) return hooks.file(save);
  return std::nullopt;
}

int RunDefaultsDialog(HWND, Language, int dialog_id, uint16_t family) {
  if (hooks.defaults) return hooks.defaults(dialog_id, family);
  return 0;
}

}  // namespace tavio::win32
