// tavio.exe: the native window over the core, against a real programming
// unit or the built-in simulated one.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "frontend/shared_options.h"
#include "platform/windows/wide_text.h"
#include "win32/main_window.h"
#include "win32/session.h"
#include "win32/skin.h"

namespace {

constexpr int kExitFailure = 1;

std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(tavio::WideToUtf8(argv[i]).value_or(std::string()));
  LocalFree(argv);
  return args;
}

// A window program has no console of its own: the text goes to where the
// standard stream was sent, else to the console the program was started
// from, else into a message box.
void Tell(const std::string& text, bool error) {
  HANDLE stream = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (stream != nullptr && stream != INVALID_HANDLE_VALUE &&
      WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    return;
  }
  const std::wstring wide = tavio::Utf8ToWide(text).value_or(std::wstring());
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) {
      const BOOL done = WriteConsoleW(console, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
      CloseHandle(console);
      FreeConsole();
      if (done) return;
    } else {
      FreeConsole();
    }
  }
  MessageBoxW(nullptr, wide.c_str(), L"Tavio", MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show_command) {
  using namespace tavio;
  options::WindowOptions options;
  const options::ParseOutcome parsed = options::ParseWindowOptions(Arguments(), options);
  if (!parsed.proceed) {
    Tell(parsed.text, parsed.exit_code != options::kExitOk);
    return parsed.exit_code;
  }

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);

  std::string error;
  std::unique_ptr<win32::Session> session =
      win32::Session::Create(options, win32::UserInterfaceLanguage(), instance, nullptr, error);
  if (session == nullptr) {
    if (error == win32::kRegisterClassFailed) {
      MessageBoxW(nullptr, L"Call to RegisterClassEx failed!", L"DRAVEX Tavio", MB_OK);
    } else {
      Tell("tavio: " + error + "\n", true);
    }
    win32::ReleaseSkin();
    return kExitFailure;
  }
  session->Start(show_command);
  const int code = win32::RunMessageLoop(session->window());
  session->Stop();
  session.reset();
  win32::ReleaseSkin();
  return code;
}
