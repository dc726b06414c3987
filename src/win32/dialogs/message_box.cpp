#include "win32/dialogs/dialogs.h"
#include "win32/dialogs/hooks.h"

namespace tavio::win32 {
namespace {

// The buttons in the order the box shows them, which MB_DEFBUTTONn counts.
struct ButtonsRow {
  BoxButtons buttons;
  UINT flags;
  BoxAnswer shown[3];
  int count;
};
constexpr ButtonsRow kButtons[] = {
    {BoxButtons::Ok, MB_OK, {BoxAnswer::Ok}, 1},
    {BoxButtons::YesNo, MB_YESNO, {BoxAnswer::Yes, BoxAnswer::No}, 2},
    {BoxButtons::RetryCancel, MB_RETRYCANCEL, {BoxAnswer::Retry, BoxAnswer::Cancel}, 2},
    {BoxButtons::YesNoCancel, MB_YESNOCANCEL, {BoxAnswer::Yes, BoxAnswer::No, BoxAnswer::Cancel}, 3},
};
constexpr UINT kDefaultButtonFlags[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};

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

const ButtonsRow& RowFor(BoxButtons buttons) {
  for (const ButtonsRow& row : kButtons) {
    if (row.buttons == buttons) return row;
  }
  return kButtons[0];
}

}  // namespace

UINT MessageBoxFlags(const MessageBoxRequest& request) {
  const ButtonsRow& buttons = RowFor(request.buttons);
  UINT flags = buttons.flags;
  for (int i = 0; i < buttons.count; ++i) {
    if (buttons.shown[i] == request.default_answer) flags |= kDefaultButtonFlags[i];
  }
  for (const IconRow& row : kIcons) {
    if (row.icon == request.icon) flags |= row.flags;
  }
  return flags;
}

// A box closed without a button (Escape, the close box, or a box that could
// not be shown) may report an ID its buttons do not have.
BoxAnswer AnswerForBoxResult(int result, const MessageBoxRequest& request) {
  for (const AnswerRow& row : kAnswers) {
    if (row.result == result) return request.AnswerFor(row.answer);
  }
  return request.AnswerFor(std::nullopt);
}

BoxAnswer ShowBox(HWND owner, const MessageBoxRequest& request) {
  if (ActiveHooks().box) return ActiveHooks().box(request);
  // An empty string, never null: a null caption would show "Error".
  const std::wstring text = Wide(request.text);
  const std::wstring caption = Wide(request.caption);
  const int result = MessageBoxW(owner, text.c_str(), caption.c_str(), MessageBoxFlags(request));
  return AnswerForBoxResult(result, request);
}

}  // namespace tavio::win32
