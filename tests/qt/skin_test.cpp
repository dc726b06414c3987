// The window's look: the texture behind every control without a seam, the
// logo in the top-right corner with its green left out, white and grey texts
// by the state of the connection and the image, and a plain window when the
// texture is missing.

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <set>

#include "core/model/config_image.h"
#include "core/model/family.h"
#include "core/shell/control_table.h"
#include "core/shell/display.h"
#include "core/shell/help.h"
#include "core/shell/string_table.h"
#include "window_run.h"

using namespace tavio;
using qt::test::WindowRun;

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kGrey = qRgb(150, 150, 150);
constexpr QRgb kPlain = qRgb(60, 60, 60);
const QString kBrenta = QStringLiteral("BRENTA:160:0x0401");

QImage Artwork(const char* name) {
  return QImage(QStringLiteral(":/artwork/") + QLatin1String(name)).convertToFormat(QImage::Format_RGB32);
}

QRgb Rgb(QRgb pixel) { return pixel & 0xFFFFFFu; }
QString Show(QRgb pixel) {
  return QStringLiteral("(%1,%2,%3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

bool IsStaticText(ControlKind kind) {
  return kind == ControlKind::Label || kind == ControlKind::Value || kind == ControlKind::HelpField ||
         kind == ControlKind::Group;
}
bool IsField(ControlKind kind) { return kind == ControlKind::Field || kind == ControlKind::DigitsField; }

void SetGovernor(App& app, bool on) {
  const uint32_t flags = Flags(app.image);
  SetFlags(app.image, on ? flags | flag::kGovernorOn : flags & ~flag::kGovernorOn);
  RefreshDisplay(app);
}

// The brightest red of the pixels inside `area`: the text's own colour where
// a glyph covers whole pixels.
int BrightestRed(const QImage& image, const QRect& area) {
  int brightest = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) brightest = std::max(brightest, qRed(image.pixel(x, y)));
  }
  return brightest;
}

using GreySet = std::set<int>;

}  // namespace

Q_DECLARE_METATYPE(GreySet)
Q_DECLARE_METATYPE(tavio::Language)

class SkinTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    qt::UseProgramNumberFormat();
    qt::UseProgramStyle();
  }

  void textColoursFollowTheRules_data() {
    QTest::addColumn<QString>("esc");  // empty: not connected
    QTest::addColumn<bool>("governor");
    QTest::addColumn<GreySet>("grey");
    using namespace ctl;
    // The labels of the check boxes and timing buttons, the firmware texts and "Soft start".
    const GreySet not_connected{kLabelReverseRotation, kLabelForwardBackward, kLabelShutdown, kLabelAutoTiming,
                                kLabelFixTiming,       kLabelUnitName,        kUnitVersion,   kLabelEscBootloader,
                                kEscBootloaderVersion, kLabelEscFirmware,     kEscFirmwareVersion, kLabelSoftStart};
    QTest::addRow("not connected") << "" << false << not_connected;
    QTest::addRow("not connected, governor on") << "" << true << not_connected;
    QTest::addRow("ALDER, governor off") << "ALDER:100" << false << GreySet{kLabelForwardBackward, kLabelSoftStart};
    QTest::addRow("ALDER, governor on") << "ALDER:100" << true
                                        << GreySet{kLabelForwardBackward, kLabelShutdown, kLabelSoftStart};
    QTest::addRow("DELMAR-Z, governor off") << "DELMAR-Z" << false << GreySet{kLabelShutdown, kLabelSoftStart};
    QTest::addRow("DELMAR-Z, governor on") << "DELMAR-Z" << true << GreySet{kLabelShutdown, kLabelSoftStart};
    QTest::addRow("BRENTA, governor off") << kBrenta << false << GreySet{kLabelSoftStart};
    QTest::addRow("BRENTA, governor on") << kBrenta << true << GreySet{kLabelShutdown};
    QTest::addRow("CORVAN, governor on") << "CORVAN:120:0x0400" << true << GreySet{kLabelShutdown};
  }
  void textColoursFollowTheRules() {
    QFETCH(QString, esc);
    QFETCH(bool, governor);
    QFETCH(GreySet, grey);
    WindowRun run(esc);
    SetGovernor(run.app(), governor);
    for (const ControlDef& def : ControlTable()) {
      const QPalette palette = run.window().Control(def.id)->palette();
      const QByteArray where = QByteArray::number(def.id);
      if (IsStaticText(def.kind)) {
        const QRgb want = grey.count(def.id) != 0 ? kGrey : kWhite;
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
          QVERIFY2(palette.color(group, QPalette::WindowText).rgb() == want, where);
        }
      } else if (IsField(def.kind)) {
        QVERIFY2(palette.color(QPalette::Active, QPalette::Text).rgb() == kWhite, where);
        QVERIFY2(palette.color(QPalette::Inactive, QPalette::Text).rgb() == kWhite, where);
        QVERIFY2(palette.color(QPalette::Disabled, QPalette::Text).rgb() == kGrey, where);
      }
    }
  }

  // The colours change with the state, not only at start: unplugging,
  // plugging in again and a governor chosen in its list.
  void coloursFollowTheState() {
    WindowRun run(kBrenta);
    auto colour = [&run](ControlId id) {
      return run.window().Control(id)->palette().color(QPalette::Active, QPalette::WindowText).rgb();
    };
    QCOMPARE(colour(ctl::kLabelReverseRotation), kWhite);
    QCOMPARE(colour(ctl::kLabelUnitName), kWhite);
    run.session->sim_port()->Unplug(qt::kSimulatedUnitPath);
    QApplication::processEvents();
    QCOMPARE(run.Title(), QStringLiteral("TAVIO (Version 01.02.00): Not connected"));
    QCOMPARE(colour(ctl::kLabelReverseRotation), kGrey);
    QCOMPARE(colour(ctl::kLabelUnitName), kGrey);
    QCOMPARE(colour(ctl::kLabelBecVoltage), kWhite);

    run.session->sim_port()->Plug(qt::kSimulatedUnitPath);
    QApplication::processEvents();
    QCOMPARE(colour(ctl::kLabelReverseRotation), kWhite);
    QCOMPARE(colour(ctl::kLabelShutdown), kWhite);
    QCOMPARE(colour(ctl::kLabelSoftStart), kGrey);

    auto* governor = run.window().ControlAs<QComboBox>(ctl::kGovernorType);
    governor->setCurrentIndex(1);
    emit governor->activated(1);
    QCOMPARE(colour(ctl::kLabelShutdown), kGrey);
    QCOMPARE(colour(ctl::kLabelSoftStart), kWhite);
  }

  // The painted text has the colour, not only the palette.
  void textIsPaintedInItsColour_data() {
    QTest::addColumn<QString>("esc");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("red");
    QTest::addRow("white label") << kBrenta << QRect(55, 95, 230, 25) << 255;
    QTest::addRow("grey label") << kBrenta << QRect(55, 420, 230, 25) << 150;
    QTest::addRow("grey label, not connected") << "" << QRect(55, 95, 230, 25) << 150;
    QTest::addRow("grey firmware text") << "" << QRect(1030, 185, 120, 25) << 150;
    QTest::addRow("group title") << kBrenta << QRect(12, 10, 100, 14) << 255;
    QTest::addRow("help text") << kBrenta << QRect(950, 370, 260, 260) << 255;
    QTest::addRow("enabled field") << kBrenta << QRect(203, 41, 74, 19) << 255;
    QTest::addRow("disabled field") << kBrenta << QRect(203, 468, 74, 19) << 150;
  }
  void textIsPaintedInItsColour() {
    QFETCH(QString, esc);
    QFETCH(QRect, area);
    QFETCH(int, red);
    WindowRun run(esc);
    const QImage shot = run.window().grab().toImage();
    // Anti-aliasing leaves a glyph's edges darker; its stems are the colour itself.
    const int brightest = BrightestRed(shot, area);
    QVERIFY2(brightest <= red && brightest >= red - 8, qPrintable(QString::number(brightest)));
  }

  // Behind and inside the controls the window shows its own texture, at the
  // window's coordinates.
  void textureBehindEveryControl_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addRow("window ground") << QPoint(5, 5);
    QTest::addRow("label, below its text") << QPoint(150, 60);
    QTest::addRow("value, left of its text") << QPoint(1153, 176);
    QTest::addRow("help field, below its text") << QPoint(1100, 620);
    QTest::addRow("inside an edit field") << QPoint(206, 50);
    QTest::addRow("inside a disabled field") << QPoint(206, 512);
    QTest::addRow("check box, beside its box") << QPoint(52, 92);
    QTest::addRow("radio button, beside its circle") << QPoint(362, 477);
    QTest::addRow("group box inside") << QPoint(150, 300);
    QTest::addRow("group box, right of its title") << QPoint(200, 11);
    QTest::addRow("beside the logo") << QPoint(961, 60);
  }
  void textureBehindEveryControl() {
    QFETCH(QPoint, point);
    WindowRun run(kBrenta);
    const QImage texture = Artwork("texture.png");
    const QImage shot = run.window().grab().toImage();
    const QRgb pixel = Rgb(shot.pixel(point));
    QCOMPARE(Show(pixel), Show(Rgb(texture.pixel(point))));
    QVERIFY(qGray(pixel) >= 40 && qGray(pixel) <= 66);
  }

  // Just left and right of a label's left edge both pixels are the window's
  // texture at those points; a texture restarted at the label's origin would
  // show a seam there.
  void noSeamAtALabelsEdge_data() {
    QTest::addColumn<int>("id");
    QTest::addRow("BEC voltage") << int(ctl::kLabelBecVoltage);
    QTest::addRow("hold time") << int(ctl::kLabelHoldTime);
    QTest::addRow("max. BEC temperature") << int(ctl::kLabelWarnBecTemp);
    QTest::addRow("ESC bootloader") << int(ctl::kLabelEscBootloader);
  }
  void noSeamAtALabelsEdge() {
    QFETCH(int, id);
    WindowRun run(kBrenta);
    const QImage texture = Artwork("texture.png");
    const QImage shot = run.window().grab().toImage();
    const QRect label = run.window().Control(static_cast<ControlId>(id))->geometry();
    // The lowest rows of a one-line label carry no text.
    int seam_would_show = 0;
    for (int y = label.bottom() - 4; y <= label.bottom(); ++y) {
      for (const int x : {label.left() - 1, label.left()}) {
        QCOMPARE(Show(Rgb(shot.pixel(x, y))), Show(Rgb(texture.pixel(x, y))));
      }
      if (texture.pixel(label.left(), y) != texture.pixel(0, y - label.top())) ++seam_would_show;
    }
    QVERIFY(seam_would_show > 0);
  }

  // Every pixel of the logo is either its own or, where it is pure green,
  // the texture; its right edge is 10 pixels from the client area's, its top 20 down.
  void logoInTheTopRightCorner() {
    WindowRun run(kBrenta);
    const QImage logo = Artwork("logo.png");
    const QImage texture = Artwork("texture.png");
    QCOMPARE(logo.size(), QSize(268, 92));
    const QPoint at(run.window().width() - 10 - logo.width(), 20);
    QCOMPARE(at, QPoint(962, 20));
    const QImage shot = run.window().grab().toImage();
    int green = 0;
    for (int y = 0; y < logo.height(); ++y) {
      for (int x = 0; x < logo.width(); ++x) {
        const QPoint p = at + QPoint(x, y);
        const bool transparent = Rgb(logo.pixel(x, y)) == Rgb(qRgb(0, 255, 0));
        green += transparent ? 1 : 0;
        const QRgb want = transparent ? Rgb(texture.pixel(p)) : Rgb(logo.pixel(x, y));
        if (Rgb(shot.pixel(p)) != want) {
          QFAIL(qPrintable(QStringLiteral("logo pixel %1,%2 is %3, not %4")
                               .arg(x).arg(y).arg(Show(Rgb(shot.pixel(p))), Show(want))));
        }
      }
    }
    QVERIFY(green > 0);
    // Nothing of it outside its rectangle.
    for (const QPoint p : {at + QPoint(-1, 46), at + QPoint(logo.width(), 46), at + QPoint(134, -1),
                           at + QPoint(134, logo.height())}) {
      QCOMPARE(Show(Rgb(shot.pixel(p))), Show(Rgb(texture.pixel(p))));
    }
  }

  // Without its texture the window starts all the same, on a plain dark ground.
  void startsWithoutTheTexture_data() {
    QTest::addColumn<bool>("logo");
    QTest::addRow("logo kept") << true;
    QTest::addRow("no artwork at all") << false;
  }
  void startsWithoutTheTexture() {
    QFETCH(bool, logo);
    qt::Artwork artwork;
    artwork.texture = QStringLiteral(":/artwork/missing-texture.png");
    if (!logo) artwork.logo = QStringLiteral("/nonexistent/logo.png");
    WindowRun run(kBrenta, Language::English, artwork);
    QVERIFY(run.session != nullptr);
    QVERIFY(run.window().isVisible());
    QVERIFY(run.window().Texture().isNull());
    QCOMPARE(run.Title(), QStringLiteral("TAVIO (Version 01.02.00): Connected with BRENTA 160"));
    const QImage shot = run.window().grab().toImage();
    for (const QPoint p : {QPoint(5, 5), QPoint(150, 60), QPoint(206, 50), QPoint(150, 300)}) {
      QCOMPARE(Show(Rgb(shot.pixel(p))), Show(kPlain));
    }
    // The logo's dark badge, or the plain ground where there is no logo.
    const QRgb badge = Rgb(Artwork("logo.png").pixel(30, 40));
    QCOMPARE(Show(Rgb(shot.pixel(962 + 30, 20 + 40))), Show(logo ? badge : kPlain));
    QCOMPARE(run.window().Control(ctl::kLabelBecVoltage)->palette().color(QPalette::WindowText).rgb(), kWhite);
  }

  // What is on the screen after a text got shorter: the texture where the
  // old text was, nothing left over.
  void shorterTextLeavesNoOldPixels_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QRect>("freed");  // in the control, where only the longer text was
    QTest::addRow("label") << int(ctl::kLabelBecVoltage) << QRect(40, 0, 140, 25);
    QTest::addRow("edit field") << int(ctl::kBecVoltage) << QRect(4, 4, 36, 17);
    QTest::addRow("firmware value") << int(ctl::kUnitVersion) << QRect(0, 0, 30, 25);
  }
  void shorterTextLeavesNoOldPixels() {
    QFETCH(int, id);
    QFETCH(QRect, freed);
    WindowRun run(kBrenta);
    const QImage texture = Artwork("texture.png");
    const QRect area = freed.translated(run.window().Control(static_cast<ControlId>(id))->pos());
    auto leftovers = [&] {
      // What the window system shows, not a fresh rendering.
      const QImage screen = run.window().screen()->grabWindow(run.window().winId()).toImage();
      int changed = 0;
      for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
          changed += Rgb(screen.pixel(x, y)) != Rgb(texture.pixel(x, y)) ? 1 : 0;
        }
      }
      return changed;
    };
    run.session->panel().SetText(static_cast<ControlId>(id), u"WWWWWWWWWWWWWWWWWWWW");
    run.window().repaint();
    QVERIFY(leftovers() > 0);
    run.session->panel().SetText(static_cast<ControlId>(id), u"1");
    QApplication::processEvents();
    QCOMPARE(leftovers(), 0);
  }

  // Every text of the window in both languages stays inside its control:
  // labels on one line, titles within their boxes, each help text within the
  // help field.
  void everyTextFitsItsControl_data() {
    QTest::addColumn<Language>("language");
    QTest::addRow("English") << Language::English;
    QTest::addRow("German") << Language::German;
  }
  void everyTextFitsItsControl() {
    QFETCH(Language, language);
    qt::MainWindow window(language);
    for (const ControlDef& def : ControlTable()) {
      QWidget* control = window.Control(def.id);
      const QFontMetrics metrics = control->fontMetrics();
      const QByteArray where = QByteArray::number(def.id);
      if (auto* label = qobject_cast<QLabel*>(control); label != nullptr && def.kind != ControlKind::HelpField) {
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= def.w, where);
        QVERIFY2(metrics.height() <= def.h, where);
      } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        QVERIFY2(metrics.horizontalAdvance(group->title()) + 20 <= def.w, where);
      } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        QVERIFY2(metrics.horizontalAdvance(button->text()) + 12 <= def.w, where);
      } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        // Room for the drop-down arrow.
        for (int i = 0; i < list->count(); ++i) {
          QVERIFY2(metrics.horizontalAdvance(list->itemText(i)) + 30 <= def.w, where);
        }
      }
    }
    // Every text the help field can show, whatever the family.
    auto* help = window.ControlAs<QLabel>(ctl::kHelpField);
    std::set<StringId> helps{sid::kHelpField};
    for (const ControlDef& def : ControlTable()) {
      for (const uint16_t family : {kFamilyNone, kFamilyAlder, kFamilyBrenta, kFamilyCorvan, kFamilyDelmarZ}) {
        if (const StringId id = HoverHelpId(def.id, family)) helps.insert(id);
      }
    }
    QVERIFY(helps.size() > 30);
    for (const StringId id : helps) {
      help->setText(qt::DisplayText(LoadString(language, id)));
      QVERIFY2(help->heightForWidth(help->width()) <= help->height(), QByteArray::number(id));
    }
  }

  void iconFromTheArtwork() {
    WindowRun run(kBrenta);
    const QIcon icon = run.window().windowIcon();
    QVERIFY(!icon.isNull());
    const QImage shown = icon.pixmap(QSize(256, 256)).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage art = QImage(QStringLiteral(":/artwork/icon.png")).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.size(), art.size());
    QCOMPARE(shown.pixel(128, 100), art.pixel(128, 100));
    QCOMPARE(shown.pixel(128, 202), art.pixel(128, 202));
  }
};

QTEST_MAIN(SkinTest)
#include "skin_test.moc"
