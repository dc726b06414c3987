#include "win32/main_window.h"

#include <commctrl.h>

#include "core/shell/accessible_names.h"
#include "core/shell/window_calls.h"
#include "core/shell/window_look.h"
#include "platform/windows/device_notifications.h"
#include "win32/accessible.h"
#include "win32/dpi.h"
#include "win32/resource_ids.h"
#include "win32/skin.h"

namespace tavio::win32 {
namespace {

// The main window: a caption with the system menu, no sizing, no maximise.
constexpr DWORD kMainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kMainExStyle = WS_EX_OVERLAPPEDWINDOW;


WNDPROC base_edit_procedure = nullptr;

const wchar_t* Wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

MainWindow* WindowOf(HWND hwnd) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t buffer[32] = {};
  GetClassNameW(hwnd, buffer, static_cast<int>(std::size(buffer)));
  return _wcsicmp(buffer, name) == 0;
}

bool IsPushButton(HWND hwnd) {
  if (!IsClass(hwnd, L"Button")) return false;
  const LONG_PTR type = GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool IsEnterKey(const MSG& message) {
  switch (message.message) {
    case WM_KEYDOWN:
    case WM_KEYUP: return message.wParam == VK_RETURN;
    case WM_CHAR: return message.wParam == L'\r';
    default: return false;
  }
}

LRESULT CALLBACK MarkProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCHITTEST: return HTTRANSPARENT;  // the click belongs to the button
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      RECT area{};
      GetClientRect(hwnd, &area);
      HBRUSH fill = CreateSolidBrush(RGB(kUnstoredMarkColour.r, kUnstoredMarkColour.g, kUnstoredMarkColour.b));
      HPEN rim = CreatePen(PS_SOLID, 1, RGB(kUnstoredMarkRim.r, kUnstoredMarkRim.g, kUnstoredMarkRim.b));
      HGDIOBJ old_brush = SelectObject(dc, fill);
      HGDIOBJ old_pen = SelectObject(dc, rim);
      Ellipse(dc, area.left, area.top, area.right, area.bottom);
      SelectObject(dc, old_pen);
      SelectObject(dc, old_brush);
      DeleteObject(rim);
      DeleteObject(fill);
      EndPaint(hwnd, &paint);
      return 0;
    }
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace

bool IsEditField(HWND control) { return IsClass(control, kEditClass); }

WPARAM WithFocusMarkShown(WPARAM ui_state) {
  const WORD action = LOWORD(ui_state);
  const WORD flags = HIWORD(ui_state);
  if ((action != UIS_SET && action != UIS_INITIALIZE) || (flags & UISF_HIDEFOCUS) == 0) return ui_state;
  const WORD rest = flags & ~UISF_HIDEFOCUS;
  return rest == 0 ? 0 : MAKEWPARAM(action, rest);
}

bool RegisterWindowClasses(HINSTANCE instance, HBRUSH background) {
  static const bool registered = [instance, background] {
    // Every edit field is the system's edit with our procedure in front.
    WNDCLASSEXW edit{};
    edit.cbSize = sizeof(edit);
    GetClassInfoExW(nullptr, L"Edit", &edit);
    base_edit_procedure = edit.lpfnWndProc;
    edit.cbSize = sizeof(edit);
    edit.lpfnWndProc = &MainWindow::EditProcedureEntry;
    edit.hInstance = instance;
    edit.lpszClassName = kEditClass;
    RegisterClassExW(&edit);

    WNDCLASSEXW mark{};
    mark.cbSize = sizeof(mark);
    mark.lpfnWndProc = MarkProcedure;
    mark.hInstance = instance;
    mark.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    mark.lpszClassName = kMarkClass;
    RegisterClassExW(&mark);

    WNDCLASSEXW main{};
    main.cbSize = sizeof(main);
    main.style = CS_HREDRAW | CS_VREDRAW;
    main.lpfnWndProc = &MainWindow::ProcedureEntry;
    main.hInstance = instance;
    main.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(TAVIO_ICON));
    main.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(TAVIO_ICON), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = background;
    main.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&main) != 0;
  }();
  return registered;
}

NativeControl NativeControlFor(const ControlDef& def) {
  switch (def.kind) {
    case ControlKind::Label:
    case ControlKind::HelpField: return {L"Static", SS_LEFT};
    case ControlKind::Value: return {L"Static", SS_RIGHT};
    case ControlKind::Field: return {kEditClass, WS_BORDER | WS_TABSTOP | ES_RIGHT};
    case ControlKind::DigitsField: return {kEditClass, WS_BORDER | WS_TABSTOP | ES_RIGHT | ES_NUMBER};
    case ControlKind::Check: return {L"Button", BS_AUTOCHECKBOX | WS_TABSTOP};
    case ControlKind::Radio:
      return {L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP | (def.starts_group ? WS_GROUP : 0u)};
    case ControlKind::List:
      return {L"ComboBox", CBS_DROPDOWNLIST | WS_TABSTOP | (def.id == ctl::kGovernorType ? CBS_HASSTRINGS : 0u)};
    case ControlKind::Command: return {L"Button", BS_DEFPUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP};
    case ControlKind::Group: return {L"Button", BS_GROUPBOX};
    case ControlKind::Arrows:
      return {UPDOWN_CLASSW, WS_BORDER | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS};
  }
  return {L"Static", 0};
}

MainWindow::MainWindow(Language language, HINSTANCE instance, HBRUSH skin_brush)
    : language_(language), instance_(instance), skin_brush_(skin_brush), dpi_(SystemDpi()) {
  // The size is the window's outer size; WM_CREATE builds the controls; the
  // handle is kept from WM_NCCREATE on.
  CreateWindowExW(kMainExStyle, kMainWindowClass, L"Tavio", kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  ScaleToDpi(kWindowWidth, dpi_), ScaleToDpi(kWindowHeight, dpi_), nullptr, nullptr, instance, this);
  hover_timer_ = std::make_unique<TrackingRestTimer>(hwnd_);
}

MainWindow::~MainWindow() {
  quit_on_destroy_ = false;
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (font_ != nullptr) DeleteObject(font_);
}

LRESULT CALLBACK MainWindow::ProcedureEntry(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* window = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  MainWindow* window = WindowOf(hwnd);
  if (window == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    window->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  return window->OnMessage(message, wparam, lparam);
}

LRESULT CALLBACK MainWindow::EditProcedureEntry(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  // Releasing Enter in a field is the core's to decide (the focus goes to
  // "Store on ESC", which makes the field commit).
  if (message == WM_KEYUP && wparam == VK_RETURN) {
    MainWindow* window = WindowOf(GetParent(hwnd));
    if (window != nullptr) {
      if (window->app_ != nullptr) OnEnterKey(*window->app_, static_cast<ControlId>(GetDlgCtrlID(hwnd)));
      return 0;
    }
  }
  return CallWindowProcW(base_edit_procedure, hwnd, message, wparam, lparam);
}

void MainWindow::CreateControls() {
  for (const ControlDef& def : ControlTable()) CreateControl(def);
  // The mark sits on the button, hidden until the core asks for it.
  if (HWND store = Control(ctl::kStore)) {
    mark_ = CreateWindowExW(0, kMarkClass, L"", WS_CHILD, 0, 0, 0, 0, store, nullptr, instance_, nullptr);
  }
  LayOut();
}

void MainWindow::CreateControl(const ControlDef& def) {
  const NativeControl native = NativeControlFor(def);
  const Text text = ControlText(def, language_);
  const PixelRect place = ScaleRectToDpi(def.x, def.y, def.w, def.h, dpi_);
  HWND control = CreateWindowExW(0, native.window_class, Wide(text), WS_CHILD | WS_VISIBLE | native.style,
                                 place.left, place.top, place.right - place.left, place.bottom - place.top, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(def.id)), instance_, nullptr);
  if (control == nullptr) return;
  GiveAccessibleName(control, AccessibleName(def.id, language_), AccessibleDescription(def.id, language_));

  if (def.kind == ControlKind::List) {
    for (const ListItemDef& item : ListItems(def.id)) {
      const Text item_text = ListItemText(item, language_);
      SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item_text)));
    }
  } else if (def.kind == ControlKind::Arrows) {
    HWND buddy = Control(kPoleCountArrows.buddy);
    SendMessageW(control, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageW(control, UDM_SETRANGE, 0, MAKELPARAM(kPoleCountArrows.upper, kPoleCountArrows.lower));
    SendMessageW(control, UDM_SETPOS, 0, MAKELPARAM(kPoleCountArrows.position, 0));
    UDACCEL step{2, static_cast<UINT>(kPoleCountArrows.increment)};
    SendMessageW(control, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
  }
}

void MainWindow::LayOut() {
  HFONT font = CreateControlFont(dpi_);
  for (const ControlDef& def : ControlTable()) {
    HWND control = Control(def.id);
    if (control == nullptr) continue;
    if (font != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const PixelRect place = ScaleRectToDpi(def.x, def.y, def.w, def.h, dpi_);
    MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);
    if (def.kind == ControlKind::List) {
      FitClosedList(control);
    } else if (def.kind == ControlKind::Arrows) {
      // Aligning to the buddy moved the arrows by their own idea of their
      // width; the table's places win: the arrows where it puts them, the
      // field ending where they start.
      HWND buddy = Control(kPoleCountArrows.buddy);
      const ControlDef* field = FindControl(kPoleCountArrows.buddy);
      if (buddy != nullptr && field != nullptr) {
        const PixelRect at = ScaleRectToDpi(field->x, field->y, field->w, field->h, dpi_);
        MoveWindow(buddy, at.left, at.top, place.left - at.left, at.bottom - at.top, FALSE);
      }
    }
  }
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
  if (HWND store = Control(ctl::kStore); store != nullptr && mark_ != nullptr) {
    RECT button{};
    GetClientRect(store, &button);
    const int size = ScaleToDpi(kUnstoredMarkSize, dpi_);
    const int inset = ScaleToDpi(kUnstoredMarkInset, dpi_);
    MoveWindow(mark_, button.right - inset - size, inset, size, size, FALSE);
  }
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::FitClosedList(HWND list) const {
  // The table gives the dropped height; the closed list is one line of the
  // window's metrics high, whatever the font. How much frame the list adds
  // to its line differs between systems: measure, then correct. (Wine reads
  // back more than it was given, so the value asked for is what gets
  // corrected.)
  const int wanted = ScaleToDpi(kClosedListHeight, dpi_);
  LRESULT line = SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (int attempt = 0; attempt < 3 && line > 0; ++attempt) {
    RECT closed{};
    GetWindowRect(list, &closed);
    const int off_by = wanted - (closed.bottom - closed.top);
    if (off_by == 0 || line + off_by <= 0) break;
    line += off_by;
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), line);
  }
}

void MainWindow::MoveToDpi(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut();
}

ControlId MainWindow::ControlAt(POINT client) const {
  HWND child = ChildWindowFromPointEx(hwnd_, client, CWP_ALL);
  if (child == nullptr || child == hwnd_) return 0;
  return static_cast<ControlId>(GetDlgCtrlID(child) & 0xFFFF);
}

void MainWindow::ParkFocusQuietly(HWND from) {
  if (from == nullptr || GetFocus() != from) return;
  quiet_focus_ = true;
  ::SetFocus(hwnd_);
  quiet_focus_ = false;
}

void MainWindow::SetUnstoredMark(bool shown) {
  if (mark_ != nullptr) ShowWindow(mark_, shown ? SW_SHOWNA : SW_HIDE);
}

bool MainWindow::UnstoredMarkShown() const {
  return mark_ != nullptr && (GetWindowLongPtrW(mark_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void MainWindow::QueueNotice(const DeviceNotice& notice) {
  queued_notices_.push_back(notice);
  PostMessageW(hwnd_, kQueuedNoticeMessage, 0, 0);
}

void MainWindow::DeliverQueuedNotice() {
  if (queued_notices_.empty()) return;
  const DeviceNotice notice = std::move(queued_notices_.front());
  queued_notices_.pop_front();
  // The record a real notice carries: the broadcast header and the device name.
  const std::vector<uint32_t> record = DeviceChangeRecord(notice);
  SendMessageW(hwnd_, WM_DEVICECHANGE, notice.event, reinterpret_cast<LPARAM>(record.data()));
}

void MainWindow::Idle() {
  const std::function<void()> idle = idle_;
  if (idle) idle();
}

bool MainWindow::PreTranslate(const MSG& message) {
  if (!IsEnterKey(message) || message.hwnd == nullptr || GetParent(message.hwnd) != hwnd_) return false;
  const auto id = static_cast<ControlId>(GetDlgCtrlID(message.hwnd));
  // A release counts only where its press went; the dialog navigation
  // never passes a field its press, so it is noted here for every control.
  if (message.message == WM_KEYDOWN && app_ != nullptr) OnEnterPressed(*app_, id);
  // Edit fields take their Enter release in their own procedure.
  if (IsClass(message.hwnd, kEditClass)) return false;
  if (message.message == WM_KEYUP && app_ != nullptr) OnEnterKey(*app_, id);
  // Dialog navigation would click a focused push button on the key press;
  // whether Enter clicks one is the core's decision above.
  return IsPushButton(message.hwnd);
}

void MainWindow::RefreshBehind(HWND control) {
  RECT area{};
  GetClientRect(control, &area);
  MapWindowPoints(control, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  // The texture behind transparent text is drawn anew, then the control.
  RedrawWindow(hwnd_, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::Command(ControlId id, uint16_t code, HWND control) {
  if (code == ctl::kEnChange && control != nullptr) RefreshBehind(control);
  // Focus moved by the program to park it: the core has said its word. And
  // while the controls are being made (the arrows set their buddy's text)
  // the window is attached to no App yet.
  if (quiet_focus_ || app_ == nullptr) return;
  OnCommand(*app_, id, code);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      // The screen the window landed on may be denser than the primary one.
      if (const int dpi = WindowDpi(hwnd_); dpi != dpi_) {
        dpi_ = dpi;
        SetWindowPos(hwnd_, nullptr, 0, 0, ScaleToDpi(kWindowWidth, dpi), ScaleToDpi(kWindowHeight, dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      CreateControls();
      return 0;
    case WM_DPICHANGED:
      // Moved to a screen of another density: the size the system suggests,
      // the controls laid out again with their texts, focus and selections.
      MoveToDpi(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE:
      // The focus mark is never hidden: a keyboard user sees it after Tab,
      // Enter and a click alike.
      wparam = WithFocusMarkShown(wparam);
      if (wparam == 0) return 0;
      break;
    case WM_CLOSE:
      if (app_ == nullptr || OnCloseRequest(*app_)) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      if (quit_on_destroy_) PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd_, &paint);
      PaintLogo(instance_, hwnd_, dc, dpi_);
      EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_COMMAND:
      Command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_VSCROLL:
      // The arrows have stepped the pole count in its field; the core takes it from there.
      if (reinterpret_cast<HWND>(lparam) == Control(ctl::kPoleArrows) && LOWORD(wparam) == SB_THUMBPOSITION) {
        if (app_ != nullptr) OnArrows(*app_);
      }
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
      const auto control = reinterpret_cast<HWND>(lparam);
      const auto id = static_cast<ControlId>(GetDlgCtrlID(control));
      return reinterpret_cast<LRESULT>(
          ColourControl(hwnd_, control, reinterpret_cast<HDC>(wparam), app_ != nullptr && IsTextGrey(*app_, id), skin_brush_));
    }
    case WM_CTLCOLORLISTBOX: return reinterpret_cast<LRESULT>(ColourList(reinterpret_cast<HDC>(wparam)));
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE: {
      const POINT client{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      if (app_ != nullptr) OnMouseMoved(*app_, ControlAt(client));
      return 0;
    }
    case WM_MOUSEHOVER: hover_timer_->Hovered(); return 0;
    case WM_MOUSELEAVE:
      if (app_ != nullptr) OnMouseLeft(*app_);
      return 0;
    case WM_DEVICECHANGE:
      return app_ != nullptr && OnDeviceChange(*app_, NoticeFromDeviceChange(wparam, lparam)) ? TRUE : FALSE;
    case kQueuedNoticeMessage: DeliverQueuedNotice(); return 0;
    case WM_ENTERIDLE: Idle(); break;
    default: break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

int RunMessageLoop(MainWindow& window) {
  MSG message{};
  for (;;) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) window.Idle();
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    if (window.PreTranslate(message)) continue;
    if (window.Handle() != nullptr && IsDialogMessageW(window.Handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace tavio::win32
