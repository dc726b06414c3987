#pragma once
// The main window's size and skin as plain numbers, so every shell draws the
// same window.

#include <cstdint>

namespace tavio {

inline constexpr int kWindowWidth = 1240;
inline constexpr int kWindowHeight = 690;
// A closed drop-down list is one line high; the control table gives the
// dropped height.
inline constexpr int kClosedListHeight = 25;
inline constexpr int kDroppedListItems = 3;
// The pixel layout was made for a small dialog font.
inline constexpr int kControlFontPixels = 11;

struct Rgb {
  uint8_t r, g, b;
  constexpr bool operator==(const Rgb&) const = default;
};

// The layout is in pixels at 96 dots per inch; a screen of another density
// gets every length times dpi / 96, rounded to the nearest pixel with halves
// away from zero, as the platform's own scaling rounds.
inline constexpr int kBaseDpi = 96;
constexpr int ScaleToDpi(int length, int dpi) {
  const long long scaled = static_cast<long long>(length) * dpi;
  const long long half = kBaseDpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kBaseDpi : -((-scaled + half) / kBaseDpi));
}

// A rectangle is scaled by its edges, not by its size: controls that meet
// at 96 dpi still meet at any other density.
struct PixelRect {
  int left, top, right, bottom;
  constexpr bool operator==(const PixelRect&) const = default;
};
constexpr PixelRect ScaleRectToDpi(int x, int y, int w, int h, int dpi) {
  return {ScaleToDpi(x, dpi), ScaleToDpi(y, dpi), ScaleToDpi(x + w, dpi), ScaleToDpi(y + h, dpi)};
}

inline constexpr Rgb kWhiteText{255, 255, 255};
inline constexpr Rgb kGreyText{150, 150, 150};
// The window's ground when the texture is missing.
inline constexpr Rgb kPlainBackground{60, 60, 60};
// Logo pixels of this colour are left out.
inline constexpr Rgb kLogoKeyColour{0, 255, 0};
// The logo's right edge is this far from the client area's right edge, its
// top this far down.
inline constexpr int kLogoRightMargin = 10;
inline constexpr int kLogoTop = 20;

// The margin scales with the screen's density; the width is the logo's as drawn.
constexpr int LogoLeft(int client_width, int logo_width, int dpi = kBaseDpi) {
  return client_width - logo_width - ScaleToDpi(kLogoRightMargin, dpi);
}

// The mark on "Store on ESC" while the settings shown are not the ESC's: a
// small dot in the logo's red, inset from the button's top-right corner.
inline constexpr Rgb kUnstoredMarkColour{200, 30, 36};
inline constexpr Rgb kUnstoredMarkRim{18, 18, 20};
inline constexpr int kUnstoredMarkSize = 8;
inline constexpr int kUnstoredMarkInset = 5;

}  // namespace tavio
