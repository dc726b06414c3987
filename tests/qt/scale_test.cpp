// The window on a scaled display: ctest runs this under QT_SCALE_FACTOR 1,
// 1.25, 1.5 and 2. Controls keep the table's layout in display pixels, the
// texture's pixels are the display's and the logo comes from the artwork
// made for the scale, never from a stretched smaller one.

#include <QPainter>
#include <QtTest>

#include "qt_fixture.h"

using namespace tavio;
using namespace tavio::qt::test;

namespace {

QImage Artwork(const char* name) {
  return QImage(QStringLiteral(":/artwork/") + QLatin1String(name)).convertToFormat(QImage::Format_RGB32);
}
QRgb RgbOf(QRgb pixel) { return pixel & 0xFFFFFFu; }

// The scale ctest asked for; 1 when run by hand without one.
qreal ExpectedScale() { return qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble(); }
// The texture file the window's ground is expected to come from.
QImage TextureFor(qreal scale) { return Artwork(scale > 1.0 ? "texture@2x.png" : "texture.png"); }
bool WholeScale() { return ExpectedScale() == qRound(ExpectedScale()); }

}  // namespace

class ScaleTest : public QObject {
  Q_OBJECT

 private slots:
  void windowMeasuresTheTableTimesTheScale() {
    WindowRun run;
    const qreal scale = ExpectedScale();
    QCOMPARE(run.window().devicePixelRatioF(), scale);
    const QImage shot = run.window().grab().toImage();
    QCOMPARE(shot.size(), QSize(qRound(1240 * scale), qRound(690 * scale)));
  }

  // Each control's own rendering covers the table's rectangle times the
  // scale; a closed list is one line high, the table gives its dropped height.
  void everyControlAtItsPlaceInDisplayPixels() {
    if (!WholeScale()) QSKIP("a control's edges fall between display pixels at this scale");
    WindowRun run;
    const int scale = qRound(ExpectedScale());
    QStringList misplaced;
    for (const ControlDef& def : ControlTable()) {
      QWidget* control = run.window().Control(def.id);
      const QRect drawn(control->mapTo(&run.window(), QPoint(0, 0)) * scale, control->grab().size());
      const int h = def.kind == ControlKind::List ? 25 : def.h;
      const QRect want(def.x * scale, def.y * scale, def.w * scale, h * scale);
      if (drawn != want) {
        misplaced << QStringLiteral("%1 at %2,%3 %4x%5")
                         .arg(def.id)
                         .arg(drawn.x())
                         .arg(drawn.y())
                         .arg(drawn.width())
                         .arg(drawn.height());
      }
    }
    QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(QStringLiteral(", "))));
  }

  // A band between the upper and the lower boxes shows the texture alone:
  // texture pixel (x, y) at display pixel (x, y). Above 1 the larger
  // texture covers the whole window: no repeat and no seam shows.
  void textureDrawnAtDisplayPixels() {
    WindowRun run;
    const qreal scale = ExpectedScale();
    const QImage texture = TextureFor(scale);
    const QSize kept = run.window().Texture().size();
    QCOMPARE(kept, QSize(qCeil(1240 * scale), qCeil(690 * scale)));
    const QImage shot = run.window().grab().toImage();
    int wrong = 0;
    for (int y = qCeil(313 * scale); y < qFloor(337 * scale); ++y) {
      for (int x = 0; x < shot.width(); ++x) {
        wrong += RgbOf(shot.pixel(x, y)) != RgbOf(texture.pixel(x, y));
      }
    }
    QCOMPARE(wrong, 0);
  }

  // Above 1 the logo is the larger artwork; at 1 that is never even read.
  void logoFromTheArtworkForTheScale() {
    WindowRun run;
    const bool scaled = ExpectedScale() > 1.0;
    const QImage& logo = run.window().Logo();
    QCOMPARE(logo.size(), scaled ? QSize(536, 184) : QSize(268, 92));
    QCOMPARE(logo.devicePixelRatio(), scaled ? 2.0 : 1.0);
    QCOMPARE(logo.deviceIndependentSize(), QSizeF(268, 92));
  }

  // Between whole scales the larger logo is scaled down over the texture,
  // from a whole display pixel: the shot equals that drawing done here.
  void logoScaledDownFromTheLargerArtwork() {
    const qreal scale = ExpectedScale();
    if (scale <= 1.0) QSKIP("the plain logo is drawn as it is");
    WindowRun run;
    const QImage shot = run.window().grab().toImage();
    const QImage texture = TextureFor(scale);
    const QPoint at(qRound(962 * scale), qRound(20 * scale));
    const QRect area(at - QPoint(1, 1), QSize(qCeil(268 * scale) + 2, qCeil(92 * scale) + 2));
    QImage want(shot.size(), QImage::Format_RGB32);
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) want.setPixel(x, y, texture.pixel(x, y));
    }
    QPainter painter(&want);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(at);
    painter.scale(scale / 2, scale / 2);
    QImage logo = qt::LoadLogo(QStringLiteral(":/artwork/logo@2x.png"));
    logo.setDevicePixelRatio(1.0);  // this painter's scale says how large
    painter.drawImage(QPoint(0, 0), logo);
    painter.end();
    int wrong = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) wrong += RgbOf(shot.pixel(x, y)) != RgbOf(want.pixel(x, y));
    }
    QCOMPARE(wrong, 0);
  }

  // At a whole scale every display pixel of the logo is the artwork's own
  // or, where that is pure green, the texture's; so is the ring around it.
  void logoPixelsFromTheArtwork() {
    if (!WholeScale()) QSKIP("between whole scales the larger logo is scaled down");
    WindowRun run;
    const int scale = qRound(ExpectedScale());
    const QImage logo = Artwork(scale == 1 ? "logo.png" : "logo@2x.png");
    const QImage texture = TextureFor(scale);
    const QImage shot = run.window().grab().toImage();
    const QPoint at = QPoint(1240 - 10 - 268, 20) * scale;
    int wrong = 0;
    for (int y = -1; y <= logo.height(); ++y) {
      for (int x = -1; x <= logo.width(); ++x) {
        const QPoint p = at + QPoint(x, y);
        const bool own = logo.rect().contains(x, y) && RgbOf(logo.pixel(x, y)) != RgbOf(qRgb(0, 255, 0));
        wrong += RgbOf(shot.pixel(p)) != RgbOf(own ? logo.pixel(x, y) : texture.pixel(p));
      }
    }
    QCOMPARE(wrong, 0);
  }
};

QTEST_MAIN(ScaleTest)
#include "scale_test.moc"
