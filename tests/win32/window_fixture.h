#pragma once
// The native window's tests: a fresh window per test over the simulated
// unit, started as wWinMain starts it, with a fake sleeper, a hover rest the
// test fires itself, and boxes and dialogs answered from a script through
// the dialog hooks. Messages are driven and pumped by the test; no timers.

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/shell/panel.h"
#include "frontend/program_options.h"
#include "sim/sim_hid_port.h"
#include "support/data_home.h"
#include "support/fake_sleeper.h"
#include "support/manual_rest_timer.h"
#include "win32/dialogs/dialogs.h"
#include "win32/main_window.h"
#include "win32/session.h"
#include "win32/win32_panel.h"

namespace tavio::win32::test {

inline constexpr const char* kBrenta = "BRENTA:160:0x0401";

inline std::u16string Narrow16(const wchar_t* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

// Everything the dialogs were asked, and the answers they give.
struct Dialogs {
  Dialogs() {
    SetDialogHooks({[this](const MessageBoxRequest& request) {
                      boxes.push_back(request);
                      if (while_box_open) while_box_open();
                      if (box_answers.empty()) return BoxAnswer::Ok;
                      const BoxAnswer answer = box_answers.front();
                      box_answers.pop_front();
                      return answer;
                    },
                    [this](bool save) {
                      (save ? save_dialogs : open_dialogs)++;
                      return file;
                    },
                    [this](int dialog_id, uint16_t family) {
                      defaults_asked.emplace_back(dialog_id, family);
                      return defaults_answer;
                    }});
  }
  ~Dialogs() { SetDialogHooks({}); }
  Dialogs(const Dialogs&) = delete;
  Dialogs& operator=(const Dialogs&) = delete;

  std::vector<MessageBoxRequest> boxes;
  std::deque<BoxAnswer> box_answers;
  std::function<void()> while_box_open;
  std::optional<std::string> file;
  int open_dialogs = 0;
  int save_dialogs = 0;
  int defaults_answer = 0;
  std::vector<std::pair<int, uint16_t>> defaults_asked;
};

// `esc` as --simulate takes it; nullptr: no unit plugged in at start.
// `more`: further options of the window's command line.
class WindowRun {
 public:
  explicit WindowRun(const char* esc = kBrenta, std::vector<std::string> more = {},
                     Language language = Language::English) {
    // The real pointer stays off the window: only the test moves the mouse.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    options::WindowOptions options;
    std::vector<std::string> args = {"--simulate", esc != nullptr ? esc : kBrenta};
    args.insert(args.end(), more.begin(), more.end());
    const options::ParseOutcome parsed = options::ParseWindowOptions(args, options);
    EXPECT_TRUE(parsed.proceed) << parsed.text;
    std::string error;
    session = Session::Create(options, language, GetModuleHandleW(nullptr), &sleeper, error);
    if (session == nullptr) {
      // Wine makes no window without a display: run under xvfb-run, with a
      // Wine server that started there.
      ADD_FAILURE() << error << " (no display?)";
      return;
    }
    window().SetQuitOnDestroy(false);
    app().hover_timer = &rest;
    if (esc == nullptr) session->sim_port()->Unplug(frontend::kSimulatedUnitPath);
    session->Start(SW_SHOWNORMAL);
    SetForegroundWindow(Main());
    Pump();
  }
  ~WindowRun() {
    if (session == nullptr) return;
    session->Stop();
    session.reset();
    Pump();
  }
  WindowRun(const WindowRun&) = delete;
  WindowRun& operator=(const WindowRun&) = delete;

  App& app() { return session->app(); }
  MainWindow& window() { return session->window(); }
  HWND Main() { return window().Handle(); }
  HWND Control(ControlId id) { return window().Control(id); }
  sim::SimUnit& Unit() { return *session->sim_port()->FindUnit(frontend::kSimulatedUnitPath); }

  // Runs the window's messages as the message loop would, until none is left
  // and the idle work has queued no more.
  void Pump() {
    for (int round = 0; round < 100; ++round) {
      MSG message;
      bool any = false;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        any = true;
        if (message.message == WM_QUIT) continue;
        if (session != nullptr && window().PreTranslate(message)) continue;
        if (session != nullptr && Main() != nullptr && IsDialogMessageW(Main(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (session != nullptr) window().Idle();
      if (!any && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) return;
    }
  }

  std::u16string Text(ControlId id) { return session->panel().GetText(id); }
  std::u16string Title() {
    wchar_t title[128] = {};
    GetWindowTextW(Main(), title, 128);
    return Narrow16(title);
  }

  // What the user does, as the platform reports it to the window.
  void Command(ControlId id, uint16_t code) {
    SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(id)));
    Pump();
  }
  void Click(ControlId id) { Command(id, BN_CLICKED); }
  // Focus into the field, type, focus out: the field commits.
  void Type(ControlId id, const wchar_t* text) {
    SetFocus(Control(id));
    Pump();
    SetWindowTextW(Control(id), text);
    SetFocus(Main());
    Pump();
  }
  void MoveMouse(int x, int y) {
    SendMessageW(Main(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    Pump();
  }

  tavio::test::ScopedDataHome data_home;
  Dialogs dialogs;
  tavio::test::FakeSleeper sleeper;
  tavio::test::ManualRestTimer rest;
  std::unique_ptr<Session> session;
};

}  // namespace tavio::win32::test
