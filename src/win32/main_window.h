#pragma once
// The main window: the 85 controls of the control table as native controls
// in creation order, and a window procedure that hands every message the
// core cares about to the core's window calls. The window decides nothing;
// it paints, colours and forwards.

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "core/link/device_notice.h"
#include "core/shell/app.h"
#include "core/shell/control_table.h"
#include "win32/rest_timer.h"

namespace tavio::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"TavioMainWnd";
inline constexpr wchar_t kEditClass[] = L"EditCtrl";
inline constexpr wchar_t kMarkClass[] = L"TavioUnstoredMark";

// A device notice queued for the window (the simulated unit's): its handler
// sends the notice to the window as WM_DEVICECHANGE.
inline constexpr UINT kQueuedNoticeMessage = WM_APP + 1;

// Registers the main window's class with `background` as its brush, and the
// edit fields' and the mark's classes; false when the main class cannot be
// registered. Once per process; later calls return the first result.
bool RegisterWindowClasses(HINSTANCE instance, HBRUSH background);

// The native class and the styles (besides WS_CHILD | WS_VISIBLE) of a
// control of the table.
struct NativeControl {
  const wchar_t* window_class;
  DWORD style;
};
NativeControl NativeControlFor(const ControlDef& def);

// One of the window's edit fields.
bool IsEditField(HWND control);

// A change of the keyboard cues (WM_CHANGEUISTATE, WM_UPDATEUISTATE) as the
// window passes it on: never hiding the focus mark; 0 when nothing is left.
WPARAM WithFocusMarkShown(WPARAM ui_state);

class MainWindow {
 public:
  // Creates the window (not shown) with every control of the table, its
  // texts in `language`.
  MainWindow(Language language, HINSTANCE instance, HBRUSH skin_brush);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  HWND Control(ControlId id) const { return GetDlgItem(hwnd_, id); }
  // Everything the user does goes to `app` from now on; null: nowhere (while
  // the controls are made, and from teardown on).
  void Attach(App* app) { app_ = app; }
  App* Attached() const { return app_; }
  HINSTANCE Instance() const { return instance_; }
  TrackingRestTimer& HoverTimer() { return *hover_timer_; }
  // The screen density the controls are laid out for.
  int Dpi() const { return dpi_; }

  // The first-created control under a client point, hidden, disabled and
  // transparent ones included; 0 for none.
  ControlId ControlAt(POINT client) const;

  // Focus onto the window itself, with no notification to the core: a
  // control that is being disabled gives the focus up silently.
  void ParkFocusQuietly(HWND from);

  void SetUnstoredMark(bool shown);
  bool UnstoredMarkShown() const;
  // Wait cursor over the window while busy.
  void SetBusy(bool busy) { busy_ = busy; }
  bool Busy() const { return busy_; }

  // A notice for OnDeviceChange through this window's own WM_DEVICECHANGE,
  // delivered from the message loop, never from inside the caller.
  void QueueNotice(const DeviceNotice& notice);
  // Runs whenever the thread is about to wait for messages, in the main
  // loop and in the loops of modal boxes.
  void SetIdleHandler(std::function<void()> handler) { idle_ = std::move(handler); }
  void Idle();

  // Offered every message of the loop before IsDialogMessageW; true when
  // the message was taken (Enter on a push button, which the core decides).
  bool PreTranslate(const MSG& message);

  // Redraws the texture behind a control, then the control.
  void RefreshBehind(HWND control);

  // The program ends when the window is destroyed; tests turn this off.
  void SetQuitOnDestroy(bool quit) { quit_on_destroy_ = quit; }

 private:
  friend bool RegisterWindowClasses(HINSTANCE, HBRUSH);
  static LRESULT CALLBACK ProcedureEntry(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK EditProcedureEntry(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void CreateControl(const ControlDef& def);
  // Font and place of every control, and the mark's, for dpi_.
  void LayOut();
  void FitClosedList(HWND list) const;
  void MoveToDpi(int dpi, const RECT& suggested);
  void Command(ControlId id, uint16_t code, HWND control);
  void DeliverQueuedNotice();

  Language language_;
  App* app_ = nullptr;
  HINSTANCE instance_;
  HBRUSH skin_brush_;
  HWND hwnd_ = nullptr;
  HWND mark_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_;
  std::unique_ptr<TrackingRestTimer> hover_timer_;
  std::deque<DeviceNotice> queued_notices_;
  std::function<void()> idle_;
  bool busy_ = false;
  bool quiet_focus_ = false;
  bool quit_on_destroy_ = true;
};

// Fetches and dispatches messages until WM_QUIT: each one first to
// PreTranslate, then IsDialogMessageW (Tab between the controls). Returns
// the quit message's exit code.
int RunMessageLoop(MainWindow& window);

}  // namespace tavio::win32
