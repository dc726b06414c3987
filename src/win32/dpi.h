#pragma once
// The screen density the window is drawn for. The calls that give it per
// window came with Windows 10; on older systems the system's density stands
// for every window.

#include <windows.h>

namespace tavio::win32 {

// The density the process was started at (the primary screen's).
int SystemDpi();
// The density of the screen `window` is on.
int WindowDpi(HWND window);

// The desktop's message font at 96 dpi, as the layout was made for it.
LOGFONTW ControlFontAt96();
// That font for a screen of `dpi`: its height scaled by the layout's rule.
HFONT CreateControlFont(int dpi);

}  // namespace tavio::win32
