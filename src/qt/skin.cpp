#include "qt/skin.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QStyle>
#include <QStyleFactory>
#include <QtMath>

// rcc names the registration after the .qrc; it has to be declared outside
// any namespace.
static void InitArtworkResource() { Q_INIT_RESOURCE(tavio); }

namespace tavio::qt {
namespace {

// Frames of fields, boxes, buttons and lists are drawn from the Window role
// by the style: light enough to stand out from the texture, dimmer when the
// control is disabled.
constexpr QRgb kFrameBase = qRgb(160, 160, 160);
constexpr QRgb kFrameBaseDisabled = qRgb(105, 105, 105);
constexpr QRgb kButton = qRgb(82, 82, 82);
constexpr QRgb kButtonDisabled = qRgb(62, 62, 62);
constexpr QRgb kHighlight = qRgb(45, 105, 165);
// The style draws the focus frame of a button, box or list from the
// highlight colour.
constexpr QRgb kFocusMark = qRgb(120, 185, 245);
constexpr QRgb kOnFocusMark = qRgb(18, 18, 20);

void SetAllGroups(QPalette& palette, QPalette::ColorRole role, const QBrush& brush) {
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setBrush(group, role, brush);
  }
}

void SetEnabledGroups(QPalette& palette, QPalette::ColorRole role, const QColor& colour) {
  palette.setColor(QPalette::Active, role, colour);
  palette.setColor(QPalette::Inactive, role, colour);
}

// Our artwork is PNG and read as such: left to guess, Qt loads every
// image-format plugin and the libraries behind them just to ask each one.
// Only the part in `keep` (when valid) is kept.
QImage ReadPng(const QString& path, QRect keep = QRect()) {
  if (!QFile::exists(path)) return QImage();
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  const QRect whole(QPoint(0, 0), reader.size());
  if (keep.isValid() && !keep.contains(whole)) reader.setClipRect(keep.intersected(whole));
  return reader.read();
}

}  // namespace

void RegisterArtwork() {
  static const bool registered = [] {
    InitArtworkResource();
    return true;
  }();
  (void)registered;
}

QImage LoadTexture(const QString& path, QSize window, qreal scale) {
  RegisterArtwork();
  // The brush lays the texture from the window's origin; what lies beyond
  // the fixed-size window is never shown.
  const QSize shown = scale == 1.0 || !window.isValid()
                         ? window
                         : QSize(qCeil(window.width() * scale), qCeil(window.height() * scale));
  QImage texture = ReadPng(path, QRect(QPoint(0, 0), shown));
  if (texture.isNull()) return QImage();
  // Our texture is stored grey and stays one byte a pixel; a coloured one
  // keeps its colours.
  if (texture.format() != QImage::Format_Grayscale8) texture = texture.convertToFormat(QImage::Format_RGB32);
  // One texture pixel to one display pixel, tiled beyond, never stretched.
  texture.setDevicePixelRatio(scale);
  return texture;
}

QImage LoadLogo(const QString& path) {
  RegisterArtwork();
  QImage logo = ReadPng(path);
  if (logo.isNull()) return QImage();
  // In place: no second copy of the logo.
  logo.convertTo(QImage::Format_ARGB32);
  for (int y = 0; y < logo.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(logo.scanLine(y));
    for (int x = 0; x < logo.width(); ++x) {
      if (qRgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x])) == kLogoTransparent) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  return logo;
}

QImage LoadTextureForScale(const Artwork& artwork, QSize window, qreal scale) {
  if (scale > 1.0) {
    QImage large = LoadTexture(artwork.texture_2x, window, scale);
    if (!large.isNull()) return large;
  }
  return LoadTexture(artwork.texture, window, scale);
}

QImage LoadLogoForScale(const Artwork& artwork, qreal scale) {
  if (scale > 1.0) {
    QImage sharp = LoadLogo(artwork.logo_2x);
    if (!sharp.isNull()) {
      sharp.setDevicePixelRatio(2.0);
      return sharp;
    }
  }
  return LoadLogo(artwork.logo);
}

DecodedArtwork DecodeArtwork(const Artwork& artwork, QSize window, qreal scale) {
  RegisterArtwork();
  return DecodedArtwork{LoadTextureForScale(artwork, window, scale), LoadLogoForScale(artwork, scale),
                        ReadPng(artwork.icon)};
}

QPoint LogoPosition(int client_width, QSize logo) {
  return QPoint(LogoLeft(client_width, logo.width()), kLogoTop);
}

QIcon ProgramIcon(QImage image) {
  // Pixmaps belong to the GUI thread: made here, from the decoded image,
  // converted in place rather than copied.
  return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(std::move(image)));
}

void UseProgramStyle() {
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
}

QColor TextColour(bool grey) { return QColor::fromRgb(grey ? kGreyText : kWhiteText); }

QPalette WindowPalette() {
  QPalette palette(QColor::fromRgb(kFrameBase));
  const QColor white = TextColour(false);
  const QColor grey = TextColour(true);
  SetEnabledGroups(palette, QPalette::Window, QColor::fromRgb(kFrameBase));
  palette.setColor(QPalette::Disabled, QPalette::Window, QColor::fromRgb(kFrameBaseDisabled));
  // Fields, check boxes and radio buttons show the window's texture inside.
  SetAllGroups(palette, QPalette::Base, Qt::transparent);
  SetAllGroups(palette, QPalette::AlternateBase, Qt::transparent);
  for (const QPalette::ColorRole text : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    SetEnabledGroups(palette, text, white);
    palette.setColor(QPalette::Disabled, text, grey);
  }
  SetEnabledGroups(palette, QPalette::Button, QColor::fromRgb(kButton));
  palette.setColor(QPalette::Disabled, QPalette::Button, QColor::fromRgb(kButtonDisabled));
  SetAllGroups(palette, QPalette::Highlight, QColor::fromRgb(kHighlight));
  SetAllGroups(palette, QPalette::HighlightedText, white);
  SetAllGroups(palette, QPalette::BrightText, white);
  SetAllGroups(palette, QPalette::PlaceholderText, grey);
  SetAllGroups(palette, QPalette::ToolTipBase, QColor::fromRgb(kPlainBackground));
  SetAllGroups(palette, QPalette::ToolTipText, white);
  return palette;
}

QPalette WithStaticTextColour(QPalette palette, QColor colour) {
  // The rule alone decides: labels are never disabled, and the grey of a
  // disabled text would hide what the rule says.
  SetAllGroups(palette, QPalette::WindowText, colour);
  return palette;
}

QPalette WithFocusMarkColour(QPalette palette) {
  SetAllGroups(palette, QPalette::Highlight, QColor::fromRgb(kFocusMark));
  SetAllGroups(palette, QPalette::HighlightedText, QColor::fromRgb(kOnFocusMark));
  return palette;
}

QPalette WithFieldTextColour(QPalette palette, QColor colour) {
  SetEnabledGroups(palette, QPalette::Text, colour);
  palette.setColor(QPalette::Disabled, QPalette::Text, TextColour(true));
  return palette;
}

}  // namespace tavio::qt
