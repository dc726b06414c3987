#include "win32/dpi.h"

#include "core/shell/window_look.h"

namespace tavio::win32 {
namespace {

using GetDpiForSystemCall = UINT(WINAPI*)();
using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiCall = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// A call of user32 that older systems lack; nullptr there.
template <typename Call>
Call User32Call(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  // Through the plain function pointer type, which any function type may be cast from.
  return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

}  // namespace

int SystemDpi() {
  static const auto call = User32Call<GetDpiForSystemCall>("GetDpiForSystem");
  if (call != nullptr) return static_cast<int>(call());
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
  static const auto call = User32Call<GetDpiForWindowCall>("GetDpiForWindow");
  const int dpi = call != nullptr && window != nullptr ? static_cast<int>(call(window)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

LOGFONTW ControlFontAt96() {
  // The layout was made for the small dialog font; the desktop's message
  // font is that font.
  static const auto call = User32Call<SystemParametersInfoForDpiCall>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (call != nullptr && call(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, kBaseDpi)) {
    return metrics.lfMessageFont;
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return LOGFONTW{};
  // Given at the system's density.
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, kBaseDpi, SystemDpi());
  return metrics.lfMessageFont;
}

HFONT CreateControlFont(int dpi) {
  LOGFONTW font = ControlFontAt96();
  if (font.lfFaceName[0] == L'\0') return nullptr;
  font.lfHeight = ScaleToDpi(font.lfHeight, dpi);
  font.lfWidth = ScaleToDpi(font.lfWidth, dpi);
  return CreateFontIndirectW(&font);
}

}  // namespace tavio::win32
