#pragma once
// The dark look of the main window: the texture behind everything, the logo
// in the top-right corner, white or grey texts and dark push buttons and
// lists. The artwork is embedded; where it lives is injectable so the window
// can be started without it.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QString>

#include "core/shell/window_look.h"

namespace tavio::qt {

inline constexpr const char* kTextureResource = ":/artwork/texture.png";
inline constexpr const char* kLogoResource = ":/artwork/logo.png";
// The texture over twice the width and height and the logo drawn at twice
// the size, for displays scaled above 100 %.
inline constexpr const char* kTexture2xResource = ":/artwork/texture@2x.png";
inline constexpr const char* kLogo2xResource = ":/artwork/logo@2x.png";
inline constexpr const char* kIconResource = ":/artwork/icon.png";

struct Artwork {
  QString texture = QString::fromLatin1(kTextureResource);
  QString texture_2x = QString::fromLatin1(kTexture2xResource);
  QString logo = QString::fromLatin1(kLogoResource);
  QString logo_2x = QString::fromLatin1(kLogo2xResource);
  QString icon = QString::fromLatin1(kIconResource);
};

// The artwork as the window paints it; null images where a file is missing.
struct DecodedArtwork {
  QImage texture;
  QImage logo;
  QImage icon;
};

constexpr QRgb ToQRgb(Rgb colour) { return qRgb(colour.r, colour.g, colour.b); }
inline constexpr QRgb kWhiteText = ToQRgb(tavio::kWhiteText);
inline constexpr QRgb kGreyText = ToQRgb(tavio::kGreyText);
inline constexpr QRgb kPlainBackground = ToQRgb(tavio::kPlainBackground);
inline constexpr QRgb kLogoTransparent = ToQRgb(kLogoKeyColour);

// Makes sure the embedded artwork is registered (the shell is a static library).
void RegisterArtwork();

// The part of the texture a window of size `window` shows from its origin
// (all of it for an invalid size), 8 bits a pixel when it is grey; null when
// missing or unreadable. At a display scale above 1 the texture's pixels are
// the display's: as much is kept as the window covers in them.
QImage LoadTexture(const QString& path, QSize window, qreal scale = 1.0);
// The logo with its pure-green pixels made transparent; null when missing.
QImage LoadLogo(const QString& path);
// Above a scale of 1 the larger texture, and the logo from the larger
// artwork marked as twice as dense; the plain ones at 1 (the larger are not
// even read) or when the larger are missing.
QImage LoadTextureForScale(const Artwork& artwork, QSize window, qreal scale);
QImage LoadLogoForScale(const Artwork& artwork, qreal scale);
// All of it, from images only, so it may run off the GUI thread; call
// RegisterArtwork() on the GUI thread first. `scale`: the display's device
// pixel ratio.
DecodedArtwork DecodeArtwork(const Artwork& artwork, QSize window, qreal scale = 1.0);
// Where the logo goes in a client area of `client_width`.
QPoint LogoPosition(int client_width, QSize logo);
// The program's icon from a decoded image; null for a null image.
QIcon ProgramIcon(QImage image);

// Every window draws with one style, so the palettes below mean the same on
// each platform.
void UseProgramStyle();

QColor TextColour(bool grey);
// The window's palette, inherited by every control: transparent fills over
// the texture, white texts, grey disabled texts, dark buttons and lists with
// light frames.
QPalette WindowPalette();
// `palette` with the colour of a static text (labels, values, group titles)
// in every state.
QPalette WithStaticTextColour(QPalette palette, QColor colour);
// The palette of a button, check box, radio button or list: its keyboard
// focus mark in a light blue that stands out from the dark skin, and dark
// text on that blue where a list's chosen item is drawn with it.
QPalette WithFocusMarkColour(QPalette palette);
// `palette` with an edit field's text colour; a disabled field stays grey.
QPalette WithFieldTextColour(QPalette palette, QColor colour);

}  // namespace tavio::qt
