#include <utility>

#include "win32/dialogs/dialogs.h"
#include "win32/dialogs/hooks.h"

namespace tavio::win32 {
namespace {

struct ButtonsRow {
  BoxButtons buttons;
  UINT flags;
  BoxAnswer closed;  // the answer when the box ends without one of its buttons
};
// A stray Enter on the three-way question keeps things as they are.
constexpr ButtonsRow kButtons[] = {
    {BoxButtons::Ok, MB_OK, BoxAnswer::Ok},
    {BoxButtons::YesNo, MB_YESNO, BoxAnswer::No},
    {BoxButtons::RetryCancel, MB_RETRYCANCEL, BoxAnswer::Cancel},
    {BoxButtons::YesNoCancel, MB_YESNOCANCEL | MB_DEFBUTTON3, BoxAnswer::Cancel},
};

struct IconRow {
  BoxIcon icon;
  UINT flags;
};
constexpr IconRow kIcons[] = {
    {BoxIcon::None, 0},
    {BoxIcon::Information, MB_ICONINFORMATION},
    {BoxIcon::Warning, MB_ICONWARNING},
    {BoxIcon::Error, MB_ICONERROR},
};

struct AnswerRow {
  int result;
  BoxAnswer answer;
};
constexpr AnswerRow kAnswers[] = {
    {IDOK, BoxAnswer::Ok},
    {IDYES, BoxAnswer::Yes},
    {IDNO, BoxAnswer::No},
    {IDRETRY, BoxAnswer::Retry},
    {IDCANCEL, BoxAnswer::Cancel},
};

// The answers each set of buttons can give.
constexpr std::pair<BoxButtons, BoxAnswer> kOffered[] = {
    {BoxButtons::Ok, BoxAnswer::Ok},
    {BoxButtons::YesNo, BoxAnswer::Yes},
    {BoxButtons::YesNo, BoxAnswer::No},
    {BoxButtons::RetryCancel, BoxAnswer::Retry},
    {BoxButtons::RetryCancel, BoxAnswer::Cancel},
    {BoxButtons::YesNoCancel, BoxAnswer::Yes},
    {BoxButtons::YesNoCancel, BoxAnswer::No},
    {BoxButtons::YesNoCancel, BoxAnswer::Cancel},
};

const ButtonsRow& RowFor(BoxButtons buttons) {
  for (const ButtonsRow& row : kButtons) {
    if (row.buttons == buttons) return row;
  }
  return kButtons[0];
}

}  // namespace

UINT MessageBoxFlags(BoxIcon icon, BoxButtons buttons) {
  UINT flags = RowFor(buttons).flags;
  for (const IconRow& row : kIcons) {
    if (row.icon == icon) flags |= row.flags;
  }
  return flags;
}

// A box closed without a button (Escape, the close box, or a box that could
// not be shown) may report an ID its buttons do not have.
BoxAnswer AnswerForBoxResult(int result, BoxButtons buttons) {
  for (const AnswerRow& row : kAnswers) {
    if (row.result != result) continue;
    for (const auto& [offered_by, answer] : kOffered) {
      if (offered_by == buttons && answer == row.answer) return answer;
    }
  }
  return RowFor(buttons).closed;
}

BoxAnswer ShowBox(HWND owner, const MessageBoxRequest& request) {
  if (ActiveHooks().box) return ActiveHooks().box(request);
  // An empty string, never null: a null caption would show "Error".
  const std::wstring text = Wide(request.text);
  const std::wstring caption = Wide(request.caption);
  const int result = MessageBoxW(owner, text.c_str(), caption.c_str(), MessageBoxFlags(request.icon, request.buttons));
  return AnswerForBoxResult(result, request.buttons);
}

}  // namespace tavio::win32
