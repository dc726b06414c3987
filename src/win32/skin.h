#pragma once
// The dark look of the main window in GDI: the texture as the class's
// pattern brush, the logo drawn over it with its key colour left out, and
// the text colours of the static texts and fields.

#include <windows.h>

namespace tavio::win32 {

// The skin brush: a pattern brush of the texture bitmap, or a plain dark
// one when the bitmap is missing. Made on the first call; it lives until
// ReleaseSkin(), as the window class uses it.
HBRUSH SkinBrush(HINSTANCE instance);

// The logo in the top-right corner of `window`'s client area, at its size
// for `dpi`; nothing when the bitmap is missing.
void PaintLogo(HINSTANCE instance, HWND window, HDC dc, int dpi);

// Prepares a static text's or field's device context for the skin: clear
// text background, the texture continued under the control without a seam,
// white or grey text. Returns the brush the control fills with.
HBRUSH ColourControl(HWND window, HWND control, HDC dc, bool grey, HBRUSH skin_brush);

// The drop-down list of a combo box: plain dark background, white text.
HBRUSH ColourList(HDC dc);

// Frees the skin's brushes, after the last window is gone.
void ReleaseSkin();

}  // namespace tavio::win32
