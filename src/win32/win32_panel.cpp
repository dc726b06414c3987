#include "win32/win32_panel.h"

#include <commctrl.h>

#include "win32/dialogs/dialogs.h"
#include "win32/main_window.h"

namespace tavio::win32 {
namespace {

const wchar_t* Wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

Text WindowText(HWND control) {
  if (control == nullptr) return Text();
  const int length = GetWindowTextLengthW(control);
  Text text(static_cast<size_t>(length) + 1, u'\0');
  const int got = GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace

HWND Win32Panel::Control(uint16_t id) const { return window_.Control(id); }

void Win32Panel::SetText(uint16_t id, TextView text) {
  const Text shown(text);
  // An edit field reports the change itself (EN_CHANGE), and the window
  // repaints behind it then.
  SetDlgItemTextW(window_.Handle(), id, Wide(shown));
  // A static text draws over the texture; the texture behind it is drawn anew.
  HWND control = Control(id);
  if (control != nullptr && !IsEditField(control)) window_.RefreshBehind(control);
}

Text Win32Panel::GetText(uint16_t id) const { return WindowText(Control(id)); }

void Win32Panel::SetCheck(uint16_t id, bool checked) {
  CheckDlgButton(window_.Handle(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32Panel::GetCheck(uint16_t id) const { return IsDlgButtonChecked(window_.Handle(), id) == BST_CHECKED; }

void Win32Panel::SetSelection(uint16_t id, int index) {
  SendDlgItemMessageW(window_.Handle(), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32Panel::GetSelection(uint16_t id) const {
  const LRESULT index = SendDlgItemMessageW(window_.Handle(), id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

Text Win32Panel::GetItemText(uint16_t id, int index) const {
  const LRESULT length = SendDlgItemMessageW(window_.Handle(), id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length < 0) return Text();
  Text text(static_cast<size_t>(length) + 1, u'\0');
  const LRESULT got = SendDlgItemMessageW(window_.Handle(), id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
  return text;
}

void Win32Panel::Enable(uint16_t id, bool enabled) {
  HWND control = Control(id);
  if (control == nullptr) return;
  if (!enabled) window_.ParkFocusQuietly(control);
  EnableWindow(control, enabled ? TRUE : FALSE);
}

bool Win32Panel::IsEnabled(uint16_t id) const {
  HWND control = Control(id);
  return control != nullptr && IsWindowEnabled(control);
}

void Win32Panel::SetFocus(uint16_t id) {
  HWND control = Control(id);
  if (control == nullptr) return;
  // As the keyboard would: the focus mark shows, a field's text is selected.
  SendMessageW(window_.Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  ::SetFocus(control);
  if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
}

void Win32Panel::SetTitle(TextView title) { SetWindowTextW(window_.Handle(), Wide(Text(title))); }

void Win32Panel::Repaint() {
  // The colours follow the connection and the image; every control asks
  // for them again as it repaints.
  RedrawWindow(window_.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Panel::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  window_.SetBusy(busy);
  SendDlgItemMessageW(window_.Handle(), ctl::kStore, BM_SETSTATE, busy ? TRUE : FALSE, 0);
  if (busy) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // The busy look now: nothing else is drawn until the write is over.
    UpdateWindow(window_.Handle());
    return;
  }
  DropQueuedInput();
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void Win32Panel::DropQueuedInput() {
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
}

void Win32Panel::MarkUnstored(bool unstored) { window_.SetUnstoredMark(unstored); }

BoxAnswer Win32Panel::ShowMessageBox(const MessageBoxRequest& request) {
  // A box waits for the user: what was clicked while busy must not answer it.
  if (busy_) DropQueuedInput();
  window_.SetBusy(false);
  const BoxAnswer answer = ShowBox(window_.Handle(), request);
  window_.SetBusy(busy_);
  return answer;
}

std::optional<std::string> Win32Panel::ChooseOpenFile() { return ChooseBinFile(window_.Handle(), false, language_); }

std::optional<std::string> Win32Panel::ChooseSaveFile() { return ChooseBinFile(window_.Handle(), true, language_); }

int Win32Panel::RunDefaultsDialog(int dialog_id, uint16_t family) {
  return win32::RunDefaultsDialog(window_.Handle(), language_, dialog_id, family);
}

void Win32Panel::RequestQuit() {
  quit_requested_ = true;
  // Posted: the loop ends as soon as it runs.
  PostQuitMessage(0);
}

}  // namespace tavio::win32
