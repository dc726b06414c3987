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

void PaintLogo(HINSTANCE instance, HWND window, HDC dc) {
  HBITMAP logo = LoadBitmapW(instance, MAKEINTRESOURCEW(TAVIO_BITMAP_LOGO));
  if (logo == nullptr) return;
  BITMAP info{};
  GetObjectW(logo, sizeof(info), &info);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, logo);
  RECT client{};
  GetClientRect(window, &client);
  TransparentBlt(dc, LogoLeft(client.right, info.bmWidth), kLogoTop, info.bmWidth, info.bmHeight, memory, 0, 0,
                 info.bmWidth, info.bmHeight, ColourOf(kLogoKeyColour));
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
