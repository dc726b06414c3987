#include "win32/skin.h"

#include "core/shell/window_look.h"
#include "win32/resource_ids.h"

namespace tavio::win32 {
namespace {

COLORREF ColourOf(Rgb rgb) { return RGB(rgb.r, rgb.g, rgb.b); }

HBRUSH list_brush = nullptr;
HBRUSH skin_brush = nullptr;

HBRUSH CreateSkinBrush(HINSTANCE instance) {
  HBITMAP texture = LoadBitmapW(instance, MAKEINTRESOURCEW(TAVIO_BITMAP_TEXTURE));
  if (texture == nullptr) return CreateSolidBrush(ColourOf(kPlainBackground));
  // The brush keeps its own copy of the pattern.
  HBRUSH brush = CreatePatternBrush(texture);
  DeleteObject(texture);
  return brush != nullptr ? brush : CreateSolidBrush(ColourOf(kPlainBackground));
}

}  // namespace

HBRUSH SkinBrush(HINSTANCE instance) {
  if (skin_brush == nullptr) skin_brush = CreateSkinBrush(instance);
  return skin_brush;
}

void PaintLogo(HINSTANCE instance, HWND window, HDC dc, int dpi) {
  // A denser screen gets the drawing at twice the size, made smaller where
  // needed: the small one enlarged would blur.
  int drawn_at = dpi > kBaseDpi ? 2 : 1;
  HBITMAP logo = nullptr;
  if (drawn_at == 2) logo = LoadBitmapW(instance, MAKEINTRESOURCEW(TAVIO_BITMAP_LOGO_2X));
  if (logo == nullptr) {
    drawn_at = 1;
    logo = LoadBitmapW(instance, MAKEINTRESOURCEW(TAVIO_BITMAP_LOGO));
  }
  if (logo == nullptr) return;
  BITMAP info{};
  GetObjectW(logo, sizeof(info), &info);
  const int width = ScaleToDpi(info.bmWidth / drawn_at, dpi);
  const int height = ScaleToDpi(info.bmHeight / drawn_at, dpi);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, logo);
  RECT client{};
  GetClientRect(window, &client);
  // Whole pixels picked, never blended: the key colour stays pure and
  // leaves no green fringe.
  const int old_mode = SetStretchBltMode(dc, COLORONCOLOR);
  TransparentBlt(dc, LogoLeft(client.right, width, dpi), ScaleToDpi(kLogoTop, dpi), width, height, memory, 0, 0,
                 info.bmWidth, info.bmHeight, ColourOf(kLogoKeyColour));
  SetStretchBltMode(dc, old_mode);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(logo);
}

HBRUSH ColourControl(HWND window, HWND control, HDC dc, bool grey, HBRUSH skin_brush) {
  SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, ColourOf(kPlainBackground));
  // The brush starts at the window's origin, so the control's own fill
  // continues the texture around it.
  POINT origin{0, 0};
  MapWindowPoints(control, window, &origin, 1);
  SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  SetTextColor(dc, ColourOf(grey ? kGreyText : kWhiteText));
  return skin_brush;
}

HBRUSH ColourList(HDC dc) {
  if (list_brush == nullptr) list_brush = CreateSolidBrush(ColourOf(kPlainBackground));
  SetBkColor(dc, ColourOf(kPlainBackground));
  SetTextColor(dc, ColourOf(kWhiteText));
  return list_brush;
}

void ReleaseSkin() {
  if (list_brush != nullptr) DeleteObject(list_brush);
  if (skin_brush != nullptr) DeleteObject(skin_brush);
  list_brush = nullptr;
  skin_brush = nullptr;
}

}  // namespace tavio::win32
