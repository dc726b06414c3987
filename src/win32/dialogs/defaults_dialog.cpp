#include <vector>

#include "core/shell/defaults_dialog.h"
#include "core/shell/window_look.h"
#include "win32/dpi.h"
#include "win32/dialogs/dialogs.h"
#include "win32/dialogs/hooks.h"


namespace tavio::win32 {
namespace {

constexpr DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SHELLFONT | DS_3DLOOK;
constexpr char16_t kFontName[] = u"Ms Shell Dlg";
constexpr WORD kFontPoints = 8;

// Predefined window classes of a dialog template, by atom.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;

struct KindRow {
  DialogItemKind kind;
  WORD window_class;
  DWORD style;
};
constexpr KindRow kKinds[] = {
    {DialogItemKind::GroupBox, kButtonClass, BS_GROUPBOX},
    {DialogItemKind::Radio, kButtonClass, BS_AUTORADIOBUTTON},
    {DialogItemKind::Text, kStaticClass, SS_LEFT},
    {DialogItemKind::PushButton, kButtonClass, BS_PUSHBUTTON},
    {DialogItemKind::DefaultPushButton, kButtonClass, BS_DEFPUSHBUTTON},
};

const KindRow& RowFor(DialogItemKind kind) {
  for (const KindRow& row : kKinds) {
    if (row.kind == kind) return row;
  }
  return kKinds[0];
}

// An extended dialog template in memory, written field by field.
class TemplateWriter {
 public:
  void Word(WORD value) { words_.push_back(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void String(TextView text) {
    words_.insert(words_.end(), text.begin(), text.end());
    Word(0);
  }
  void AlignDword() {
    if (words_.size() % 2 != 0) Word(0);
  }
  const DLGTEMPLATE* data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;
};

void WriteItem(TemplateWriter& out, const DefaultsDialogItem& item, Language language) {
  const KindRow& row = RowFor(item.kind);
  DWORD style = WS_CHILD | WS_VISIBLE | row.style;
  if (item.starts_group) style |= WS_GROUP;
  if (item.tab_stop) style |= WS_TABSTOP;
  out.AlignDword();
  out.Dword(0);  // help ID
  out.Dword(0);  // extended style
  out.Dword(style);
  for (int value : {item.rect.x, item.rect.y, item.rect.w, item.rect.h}) out.Word(static_cast<WORD>(value));
  out.Dword(item.id);
  out.Word(0xFFFF);
  out.Word(row.window_class);
  out.String(LookUpString(language, item.text));
  out.Word(0);  // no creation data
}

TemplateWriter BuildTemplate(const DefaultsDialogLayout& layout, Language language) {
  TemplateWriter out;
  out.Word(1);       // version
  out.Word(0xFFFF);  // extended template
  out.Dword(0);      // help ID
  out.Dword(0);      // extended style
  out.Dword(kDialogStyle);
  out.Word(static_cast<WORD>(layout.items.size()));
  for (int value : {0, 0, layout.width, layout.height}) out.Word(static_cast<WORD>(value));
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.String(LookUpString(language, layout.caption));
  out.Word(kFontPoints);
  out.Word(FW_NORMAL);
  out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
  out.String(kFontName);
  for (const DefaultsDialogItem& item : layout.items) WriteItem(out, item, language);
  return out;
}

struct DialogState {
  const DefaultsDialogLayout* layout;
  uint16_t family;
  HFONT font;  // the items' font for the screen's density
};

// The dialog font's base units at 96 dpi, where its 8 points are 11 pixels.
DialogBaseUnits BaseUnitsAt96(LOGFONTW font) {
  font.lfHeight = -MulDiv(kFontPoints, kBaseDpi, 72);
  font.lfWidth = 0;
  HFONT measured = CreateFontIndirectW(&font);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, measured);
  SIZE alphabet{};
  GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(measured);
  return BaseUnitsFromFont(alphabet.cx, metrics.tmHeight);
}

// The dialog scaled as the main window is: every item at its pixel place at
// 96 dpi, times dpi / 96 by the window's rule, with the font made for the
// density, rather than in dialog units of a font that does not grow in step.
// The dialog keeps the template's font, which it deletes itself.
void LayOutForDpi(HWND dialog, DialogState& state) {
  const int dpi = WindowDpi(dialog);
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font);
  const DialogBaseUnits base = BaseUnitsAt96(font);
  font.lfHeight = -ScaleToDpi(MulDiv(kFontPoints, kBaseDpi, 72), dpi);
  font.lfWidth = 0;
  state.font = CreateFontIndirectW(&font);
  for (const DefaultsDialogItem& item : state.layout->items) {
    HWND control = GetDlgItem(dialog, item.id);
    if (control == nullptr) continue;
    // Place and size converted on their own, as the platform creates items.
    const PixelRect at =
        ScaleRectToDpi(DialogUnitsToPixelsX(item.rect.x, base), DialogUnitsToPixelsY(item.rect.y, base),
                       DialogUnitsToPixelsX(item.rect.w, base), DialogUnitsToPixelsY(item.rect.h, base), dpi);
    if (state.font != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
    MoveWindow(control, at.left, at.top, at.right - at.left, at.bottom - at.top, FALSE);
  }
  // The frame grows or shrinks with the client area, the centre stays.
  const int width = ScaleToDpi(DialogUnitsToPixelsX(state.layout->width, base), dpi);
  const int height = ScaleToDpi(DialogUnitsToPixelsY(state.layout->height, base), dpi);
  RECT client{};
  GetClientRect(dialog, &client);
  RECT outer{};
  GetWindowRect(dialog, &outer);
  const int grow_x = width - client.right;
  const int grow_y = height - client.bottom;
  SetWindowPos(dialog, nullptr, outer.left - grow_x / 2, outer.top - grow_y / 2, outer.right - outer.left + grow_x,
               outer.bottom - outer.top + grow_y, SWP_NOZORDER | SWP_NOACTIVATE);
}

// With automatic radio buttons at most one is checked.
uint16_t CheckedRadio(HWND dialog, const DefaultsDialogLayout& layout) {
  for (const DefaultsDialogItem& item : layout.items) {
    if (item.kind == DialogItemKind::Radio && IsDlgButtonChecked(dialog, item.id) == BST_CHECKED) return item.id;
  }
  return 0;
}

// Cancel, Escape and the close box all arrive as Cancel; other commands
// than these three are the platform's.
INT_PTR OnCommand(HWND dialog, const DialogState& state, WORD id, WORD notification) {
  const uint16_t checked = CheckedRadio(dialog, *state.layout);
  if (id == dlg::kCancel) {
    EndDialog(dialog, 0);
  } else if (id == dlg::kOk) {
    if (const int code = DefaultsCodeFor(state.family, checked); code != 0) EndDialog(dialog, code);
  } else if (notification == BN_CLICKED) {
    EnableWindow(GetDlgItem(dialog, dlg::kOk), DefaultsOkEnabled(state.family, checked));
  } else {
    return FALSE;
  }
  return TRUE;
}

INT_PTR CALLBACK DefaultsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      auto& state = *reinterpret_cast<DialogState*>(lparam);
      LayOutForDpi(dialog, state);
      EnableWindow(GetDlgItem(dialog, dlg::kOk), DefaultsOkEnabledAtStart(state.family));
      return FALSE;  // no focus asked for
    }
    case WM_COMMAND: {
      const auto* state = reinterpret_cast<const DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
      return state == nullptr ? FALSE : OnCommand(dialog, *state, LOWORD(wparam), HIWORD(wparam));
    }
    default:
      return FALSE;
  }
}

}  // namespace

int RunDefaultsDialog(HWND owner, Language language, int dialog_id, uint16_t family) {
  if (ActiveHooks().defaults) return ActiveHooks().defaults(dialog_id, family);
  const DefaultsDialogLayout* layout = DefaultsDialogLayoutFor(dialog_id);
  if (layout == nullptr) return 0;
  const TemplateWriter dialog_template = BuildTemplate(*layout, language);
  DialogState state{layout, family, nullptr};
  const INT_PTR code = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog_template.data(), owner,
                                               DefaultsDialogProc, reinterpret_cast<LPARAM>(&state));
  if (state.font != nullptr) DeleteObject(state.font);
  return code > 0 ? static_cast<int>(code) : 0;  // -1: the dialog could not be made
}

}  // namespace tavio::win32
