// The window wired to the core over the simulated unit, as main() wires it:
// start-up and unplugging, what keys and clicks reach the core, the hover
// help, the look, and the start-up benchmark switch.

#include <QComboBox>
#include <QCursor>
#include <QProcess>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QToolButton>
#include <QtTest>

#include "core/files/backups.h"
#include "core/files/config_file.h"
#include "core/files/defaults.h"
#include "core/link/protocol.h"
#include "core/shell/display.h"
#include "qt/up_down_arrows.h"
#include "qt_fixture.h"

using namespace tavio;
using namespace tavio::qt::test;
using std::chrono::milliseconds;

namespace {

constexpr size_t kCutoffLipoOffset = 0x0A;
constexpr size_t kHoldTimeOffset = 0x12;
constexpr size_t kPoleCountOffset = 0x48;
constexpr int kSet = ctl::kEnSetFocus;
constexpr int kKill = ctl::kEnKillFocus;
const QString kConnected = QStringLiteral("TAVIO (Version 01.02.00): Connected with BRENTA 160");
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kGrey = qRgb(150, 150, 150);

QImage Artwork(const char* name) {
  return QImage(QStringLiteral(":/artwork/") + QLatin1String(name)).convertToFormat(QImage::Format_RGB32);
}
QRgb RgbOf(QRgb pixel) { return pixel & 0xFFFFFFu; }

// One notch of the wheel over the middle of `widget`, down or up.
void Wheel(QWidget* widget, bool down) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, down ? -120 : 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &wheel);
}

// The ESC's erase requests so far: one per store.
int Stores(sim::SimUnit& unit) {
  int erases = 0;
  for (const sim::TranscriptEntry& e : unit.Transcript()) {
    erases += e.direction == sim::ReportDirection::ToUnit && e.command == cmd::kEraseConfig ? 1 : 0;
  }
  return erases;
}

const QString kStored = QStringLiteral("The configuration parameters have been transferred to the ESC successfully");

}  // namespace

class SessionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    qt::UseProgramNumberFormat();
    qt::UseProgramStyle();
  }

  void startUpThenUnplug() {
    WindowRun run;
    QCOMPARE(run.Title(), kConnected);
    QCOMPARE(run.Text(ctl::kBecVoltage), QStringLiteral("5.6V"));
    QVERIFY(run.dialogs.boxes.empty());
    // The box comes over the window already showing the state without a unit.
    QStringList at_box;
    run.dialogs.while_box_open = [&] {
      at_box << run.Title() << run.Text(ctl::kEscFirmwareVersion)
             << run.window().Control(ctl::kLabelUnitName)->palette().color(QPalette::WindowText).name();
    };
    run.session->sim_port()->Unplug(qt::kSimulatedUnitPath);
    QApplication::processEvents();
    QCOMPARE(run.dialogs.boxes.size(), size_t(1));
    QVERIFY(run.dialogs.boxes[0].text.startsWith(
        QStringLiteral("The USB Connection between programming unit and PC was lost.")));
    QCOMPARE(at_box, (QStringList{"TAVIO (Version 01.02.00): Not connected", "0.0.0", "#969696"}));
  }

  void focusOutReachesTheCoreBeforeTheNextFocusIn() {
    WindowRun run;
    QTest::mouseClick(run.Field(ctl::kCutoffVoltage), Qt::LeftButton);
    QTest::mouseClick(run.Field(ctl::kHoldTime), Qt::LeftButton);
    QWidget other;  // switching windows is no focus change of the platform's
    QVERIFY(ShowActive(other) && ShowActive(run.window()));
    QCOMPARE(run.FocusNotices(), (Notices{{2007, kSet}, {2007, kKill}, {2033, kSet}}));
    QCOMPARE(run.Text(ctl::kHelpField), Help(333));
  }

  void digitsOnlyFieldTypesNoLetters() {
    WindowRun run;
    const QString cutoff = run.Field(ctl::kCutoffVoltage)->text();
    run.TypeInto(ctl::kCutoffVoltage, QStringLiteral("ab:"));
    QCOMPARE(run.Field(ctl::kCutoffVoltage)->text(), cutoff);
    run.TypeInto(ctl::kGearRatio, QStringLiteral("ab:"));  // any text
    QCOMPARE(run.Field(ctl::kGearRatio)->text(), QStringLiteral("ab:"));
  }

  // Pressing or holding Enter does nothing; releasing it moves the focus to
  // "Store on ESC", so the field commits on its focus-out, and nothing goes
  // to the ESC.
  void enterReleasedCommitsWithoutWriting_data() {
    QTest::addColumn<int>("key");
    QTest::addRow("Return") << int(Qt::Key_Return);
    QTest::addRow("keypad Enter") << int(Qt::Key_Enter);
  }
  void enterReleasedCommitsWithoutWriting() {
    QFETCH(int, key);
    WindowRun run;
    const uint32_t exchanges = run.Unit().ExchangeCount();
    QLineEdit* hold = run.Field(ctl::kHoldTime);
    run.TypeInto(ctl::kHoldTime, QStringLiteral("1500"));
    QTest::keyPress(hold, Qt::Key(key));
    QKeyEvent held(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);  // an auto-repeat
    QApplication::sendEvent(hold, &held);
    QCOMPARE(QApplication::focusWidget(), hold);
    QCOMPARE(hold->text(), QStringLiteral("1500"));
    QTest::keyRelease(hold, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget(), run.window().Control(ctl::kStore));
    QCOMPARE(run.FocusNotices(), (Notices{{2033, kSet}, {2033, kKill}}));
    QCOMPARE(run.Image(kHoldTimeOffset), uint16_t{1500});
    QCOMPARE(hold->text(), QStringLiteral("1500ms"));
    QCOMPARE(run.Unit().ExchangeCount(), exchanges);
    QVERIFY(run.dialogs.boxes.empty());
  }

  void cutOffTypedWithItsUnitIsStoredForLipo() {
    WindowRun run;
    run.TypeInto(ctl::kCutoffVoltage, QStringLiteral("3200mV"));
    QCOMPARE(run.Field(ctl::kCutoffVoltage)->text(), QStringLiteral("3200"));
    QTest::keyClick(run.Field(ctl::kCutoffVoltage), Qt::Key_Tab);
    QCOMPARE(run.Image(kCutoffLipoOffset), uint16_t{3200});
    QCOMPARE(run.Field(ctl::kCutoffVoltage)->text(), QStringLiteral("3200mV"));
  }

  // The pole count starts at 2, the lowest.
  void arrowsStoreTheNewEvenPoleCount_data() {
    QTest::addColumn<int>("key");  // 0: a click on the upper arrow
    QTest::addColumn<int>("poles");
    QTest::addRow("upper arrow") << 0 << 4;
    QTest::addRow("Up key") << int(Qt::Key_Up) << 4;
    QTest::addRow("Down key at the floor") << int(Qt::Key_Down) << 2;
  }
  void arrowsStoreTheNewEvenPoleCount() {
    QFETCH(int, key);
    QFETCH(int, poles);
    WindowRun run;
    QCOMPARE(run.Image(kPoleCountOffset), uint16_t{2});
    if (key == 0) QTest::mouseClick(run.window().PoleArrows()->UpButton(), Qt::LeftButton);
    if (key != 0) QTest::keyClick(run.Field(ctl::kPoleCount), Qt::Key(key));
    QCOMPARE(run.Field(ctl::kPoleCount)->text(), QString::number(poles));
    QCOMPARE(run.Image(kPoleCountOffset), uint16_t(poles));
    QCOMPARE(QApplication::focusWidget(), run.Field(ctl::kPoleCount));
    QVERIFY(run.dialogs.boxes.empty());
  }

  void storeOnEscWritesTheEditedImage() {
    WindowRun run;
    run.TypeInto(ctl::kHoldTime, QStringLiteral("1500"));
    QTest::keyClick(run.Field(ctl::kHoldTime), Qt::Key_Tab);
    QTest::mouseClick(run.window().Control(ctl::kStore), Qt::LeftButton);
    QCOMPARE(run.dialogs.boxes.size(), size_t(1));
    QCOMPARE(run.dialogs.boxes[0].text,
             QStringLiteral("The configuration parameters have been transferred to the ESC successfully"));
    QCOMPARE(GetU16(run.Unit().Eeprom(), kHoldTimeOffset), uint16_t{1500});
  }

  // The unit vanishing at any exchange of a store never gets the success
  // box unless the ESC's memory (its persisted file) holds the stored block.
  void storeNeverCallsAFailureASuccess_data() {
    QTest::addColumn<int>("unplug_after");
    // Start-up takes exchanges 0..5; the store 6..19 (backup readout, write,
    // closing steps, read-back).
    for (int n : {8, 12, 14, 15, 16, 17, 19, 20}) QTest::newRow(QByteArray::number(n)) << n;
  }
  void storeNeverCallsAFailureASuccess() {
    QFETCH(int, unplug_after);
    QTemporaryDir dir;
    const QString eeprom = dir.filePath(QStringLiteral("esc.eeprom"));
    WindowRun run(kBrenta, qt::Artwork(), {"--sim-eeprom", eeprom.toStdString(), "--sim-unplug-after",
                                       std::to_string(unplug_after)});
    run.TypeInto(ctl::kHoldTime, QStringLiteral("1500"));
    QTest::keyClick(run.Field(ctl::kHoldTime), Qt::Key_Tab);
    QTest::mouseClick(run.window().Control(ctl::kStore), Qt::LeftButton);
    QApplication::processEvents();
    QVERIFY(!run.dialogs.boxes.empty());
    const bool success = run.dialogs.boxes[0].text ==
                         QStringLiteral("The configuration parameters have been transferred to the ESC successfully");
    QCOMPARE(success, unplug_after >= 20);
    // The simulated ESC's file follows every change: erased by exchange 11,
    // the hold time back with the first block (exchange 13).
    uint16_t held_hold_time = 2000;
    QFile file(eeprom);
    if (file.open(QIODevice::ReadOnly)) {
      const QByteArray held = file.readAll();
      QCOMPARE(held.size(), 256);
      held_hold_time = GetU16(std::span(reinterpret_cast<const uint8_t*>(held.constData()), 92), kHoldTimeOffset);
    }
    QCOMPARE(held_hold_time, uint16_t(unplug_after >= 14 ? 1500 : unplug_after >= 12 ? 0xFFFF : 2000));
  }

  // The memory file of an ESC whose store was interrupted after the erase.
  static bool WriteErasedEeprom(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray(256, char(0xFF))) == 256;
  }

  // An ESC erased by an interrupted store connects, and Yes restores the
  // newest backup of its family and model; tavio-cli then reads it back.
  void erasedEscIsRestoredFromItsBackup() {
    QTemporaryDir dir;
    const QString eeprom = dir.filePath(QStringLiteral("esc.eeprom"));
    QVERIFY(WriteErasedEeprom(eeprom));
    ConfigImage backup;
    PutU16(backup, kOffBlockLength, 92);
    PutU16(backup, kOffParamVersion, 0x0401);
    PutU16(backup, kHoldTimeOffset, 1234);
    PutU16(backup, 0x48, 10);  // pole count
    SealImage(backup, kChecksum88);
    BackupStatus written = BackupStatus::Failed;
    // The offer comes during start-up: answered Yes before the window exists.
    WindowRun run(kBrenta, qt::Artwork(), {"--sim-eeprom", eeprom.toStdString()},
                  [&](const QString& backups, Dialogs& dialogs) {
                    written = BackUpEscBlock(backups.toStdString(), kFamilyBrenta, 160, 0x0401, backup, 1000).status;
                    dialogs.box_answer = QMessageBox::Yes;
                  });
    QCOMPARE(written, BackupStatus::Written);
    QCOMPARE(run.Title(), kConnected);
    QCOMPARE(run.dialogs.boxes.size(), size_t(2));
    QVERIFY(run.dialogs.boxes[0].text.startsWith(QStringLiteral(
        "The configuration of the ESC is erased, probably by an interrupted store. Restore the newest backup")));
    QCOMPARE(run.dialogs.boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(run.dialogs.boxes[1].text,
             QStringLiteral("The configuration parameters have been transferred to the ESC successfully"));
    QCOMPARE(run.Text(ctl::kHoldTime), QStringLiteral("1234ms"));
    QVERIFY(run.window().Control(ctl::kStore)->isEnabled());

    QProcess cli;
    const QString out = dir.filePath(QStringLiteral("out.bin"));
    cli.start(QStringLiteral(TAVIO_CLI_EXECUTABLE),
              {"--simulate", kBrenta, "--sim-eeprom", eeprom, "read", out});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QFile read(out);
    QVERIFY(read.open(QIODevice::ReadOnly));
    QCOMPARE(read.readAll().mid(2), QByteArray(reinterpret_cast<const char*>(backup.bytes.data()), 92));
  }

  // No: the window stays connected with the commands that can mend it.
  void erasedEscWithoutAnswerStaysConnected() {
    QTemporaryDir dir;
    const QString eeprom = dir.filePath(QStringLiteral("esc.eeprom"));
    QVERIFY(WriteErasedEeprom(eeprom));
    WindowRun run(kBrenta, qt::Artwork(), {"--sim-eeprom", eeprom.toStdString()});
    QCOMPARE(run.Title(), kConnected);
    QCOMPARE(run.dialogs.boxes.size(), size_t(1));
    QVERIFY(run.dialogs.boxes[0].text.contains(QStringLiteral("there is no backup of this ESC family and model")));
    for (ControlId id : {ctl::kStore, ctl::kLoadFile, ctl::kLoadDefaults}) {
      QVERIFY(run.window().Control(id)->isEnabled());
    }
  }

  // Not connected, every parameter control is disabled: the hit test takes
  // the first created control, disabled or not.
  void hitTest_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("id");
    QTest::addRow("comment box over the help field") << QPoint(1000, 450) << 1008;
    QTest::addRow("firmware box over the unit name") << QPoint(1040, 160) << 1005;
    QTest::addRow("label") << QPoint(199, 45) << 200;
    QTest::addRow("disabled field") << QPoint(220, 512) << 2011;
    QTest::addRow("below a closed list") << QPoint(500, 62) << 1001;
    QTest::addRow("nothing") << QPoint(300, 200) << 0;
  }
  void hitTest() {
    QFETCH(QPoint, point);
    QFETCH(int, id);
    WindowRun run(nullptr);
    QVERIFY(!run.window().Control(ctl::kPPart)->isEnabled());
    QCOMPARE(int(run.window().ControlAt(point)), id);
  }

  // A 100 ms rest over a label or a disabled control shows its help; an
  // enabled control takes the mouse itself.
  void restShowsTheHelpOfThePoint_data() {
    QTest::addColumn<QByteArray>("esc");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("help");  // 0: the help field keeps its text
    QTest::addRow("starting current label, ALDER") << QByteArray("ALDER:100") << QPoint(700, 415) << 401;
    QTest::addRow("starting current label, DELMAR-Z") << QByteArray("DELMAR-Z") << QPoint(700, 415) << 401;
    QTest::addRow("starting current label, BRENTA") << QByteArray(kBrenta) << QPoint(700, 415) << 336;
    QTest::addRow("starting current label, CORVAN") << QByteArray("CORVAN:120") << QPoint(700, 415) << 336;
    QTest::addRow("disabled field") << QByteArray(kBrenta) << QPoint(220, 512) << 311;
    QTest::addRow("enabled field") << QByteArray(kBrenta) << QPoint(220, 50) << 0;
  }
  void restShowsTheHelpOfThePoint() {
    QFETCH(QByteArray, esc);
    QFETCH(QPoint, point);
    QFETCH(int, help);
    WindowRun run(esc.constData());
    const QString before = run.Text(ctl::kHelpField);
    run.MoveMouse(point);
    QCOMPARE(run.timer->pending, help != 0 ? std::optional(milliseconds(100)) : std::nullopt);
    QCOMPARE(run.Text(ctl::kHelpField), before);
    run.timer->Fire();
    QCOMPARE(run.Text(ctl::kHelpField), help != 0 ? Help(static_cast<StringId>(help)) : before);
  }

  // A focused field keeps its help; its commit lets the hover help back in.
  void hoverWaitsForTheFocusedFieldsCommit() {
    WindowRun run;
    QTest::mouseClick(run.Field(ctl::kBecVoltage), Qt::LeftButton);
    run.MoveMouse(QPoint(340, 85));
    run.timer->Fire();
    QCOMPARE(run.Text(ctl::kHelpField), Help(300));
    QTest::keyClick(run.Field(ctl::kBecVoltage), Qt::Key_Tab);
    run.MoveMouse(QPoint(340, 172));
    run.timer->Fire();
    QCOMPARE(run.Text(ctl::kHelpField), Help(308));
  }

  // Every text takes the colour of the rule whenever the core repaints the
  // window; fields are never grey.
  void textColoursFollowTheState_data() {
    QTest::addColumn<QByteArray>("esc");  // empty: not connected
    QTest::addColumn<bool>("governor");
    QTest::addColumn<QList<int>>("grey");
    QTest::addRow("not connected") << QByteArray() << false
                                   << QList<int>{201, 202, 203, 204, 205, 224, 225, 226, 227, 228, 229, 235};
    QTest::addRow("ALDER") << QByteArray("ALDER:100") << false << QList<int>{202, 235};
    QTest::addRow("ALDER, governor") << QByteArray("ALDER:100") << true << QList<int>{202, 203, 235};
    QTest::addRow("DELMAR-Z") << QByteArray("DELMAR-Z") << false << QList<int>{203, 235};
    QTest::addRow("DELMAR-Z, governor") << QByteArray("DELMAR-Z") << true << QList<int>{203, 235};
    QTest::addRow("BRENTA") << QByteArray(kBrenta) << false << QList<int>{235};
    QTest::addRow("BRENTA, governor") << QByteArray(kBrenta) << true << QList<int>{203};
  }
  void textColoursFollowTheState() {
    QFETCH(QByteArray, esc);
    QFETCH(bool, governor);
    QFETCH(QList<int>, grey);
    WindowRun run(esc.isEmpty() ? nullptr : esc.constData());
    App& app = run.session->app();
    SetFlags(app.image, governor ? Flags(app.image) | flag::kGovernorOn : Flags(app.image) & ~flag::kGovernorOn);
    RefreshDisplay(app);
    QList<int> grey_shown;
    for (const ControlDef& def : ControlTable()) {
      QWidget* control = run.window().Control(def.id);
      const bool field = qobject_cast<QLineEdit*>(control) != nullptr;
      const QRgb colour =
          control->palette().color(QPalette::Active, field ? QPalette::Text : QPalette::WindowText).rgb();
      QVERIFY2(colour == kWhite || colour == kGrey, QByteArray::number(def.id));
      if (colour == kGrey) grey_shown << def.id;
    }
    std::sort(grey_shown.begin(), grey_shown.end());
    QCOMPARE(grey_shown, grey);
  }

  // Every pixel of the logo is its own or, where it is pure green, the
  // texture's, and so is the ring just outside it.
  void logoTenPixelsFromTheRightTwentyFromTheTop() {
    WindowRun run;
    const QImage logo = Artwork("logo.png");
    const QImage texture = Artwork("texture.png");
    const QImage shot = run.window().grab().toImage();
    const QPoint at(run.window().width() - 10 - logo.width(), 20);
    QCOMPARE(at, QPoint(962, 20));
    int wrong = 0;
    for (int y = -1; y <= logo.height(); ++y) {
      for (int x = -1; x <= logo.width(); ++x) {
        const bool own = logo.rect().contains(x, y) && RgbOf(logo.pixel(x, y)) != RgbOf(qRgb(0, 255, 0));
        wrong += RgbOf(shot.pixel(at + QPoint(x, y))) != RgbOf(own ? logo.pixel(x, y) : texture.pixel(at + QPoint(x, y)));
      }
    }
    QCOMPARE(wrong, 0);
  }

  void startsWithoutTheTexture() {
    qt::Artwork artwork;
    artwork.texture = QStringLiteral(":/artwork/missing-texture.png");
    WindowRun run(kBrenta, artwork);
    QVERIFY(run.window().Texture().isNull());
    QVERIFY(run.window().isVisible());
    QCOMPARE(run.Title(), kConnected);
    QCOMPARE(RgbOf(run.window().grab().toImage().pixel(150, 60)), RgbOf(qRgb(60, 60, 60)));
  }

  // Beside and under a label the window's texture goes on at window
  // coordinates; one restarted at the label's origin would show a seam.
  void noSeamAtALabelsEdge() {
    WindowRun run;
    const QImage texture = Artwork("texture.png");
    const QImage shot = run.window().grab().toImage();
    const QRect label = run.window().Control(ctl::kLabelBecVoltage)->geometry();
    int seam_would_show = 0;
    for (int y = label.bottom() - 4; y <= label.bottom(); ++y) {  // rows below its text
      for (const int x : {label.left() - 1, label.left(), label.right()}) {
        QCOMPARE(RgbOf(shot.pixel(x, y)), RgbOf(texture.pixel(x, y)));
      }
      seam_would_show += texture.pixel(label.left(), y) != texture.pixel(0, y - label.top()) ? 1 : 0;
    }
    QVERIFY(seam_would_show > 0);
  }

  // The steps that used to kill the hover help: the wheel over the governor
  // list while the spool-up field is being edited changes nothing now, and
  // the field commits when it is left.
  void wheelWhileTypingLeavesTheListAndTheHelpAlone() {
    WindowRun run;
    auto* governor = run.window().ControlAs<QComboBox>(ctl::kGovernorType);
    governor->setFocus(Qt::TabFocusReason);
    Wheel(governor, true);
    QCOMPARE(governor->currentIndex(), 1);
    QVERIFY(run.Field(ctl::kSpoolupTime)->isEnabled());
    run.TypeInto(ctl::kSpoolupTime, QStringLiteral("30"));
    Wheel(governor, false);
    QCOMPARE(governor->currentIndex(), 1);
    QCOMPARE(QApplication::focusWidget(), run.Field(ctl::kSpoolupTime));
    QTest::keyClick(run.Field(ctl::kSpoolupTime), Qt::Key_Return);
    QCOMPARE(run.Field(ctl::kSpoolupTime)->text(), QStringLiteral("30s"));
    run.MoveMouse(QPoint(340, 272));
    run.timer->Fire();
    QCOMPARE(run.Text(ctl::kHelpField), Help(333));
  }

  // The program takes the field away while the user types: the entry is
  // judged as on leaving the field and the hover help works at once.
  void fieldTakenAwayWhileTypingCommitsFirst_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addRow("governor off") << "governor" << int(ctl::kSpoolupTime) << "30" << "30s";
    QTest::addRow("governor off, refused") << "governor" << int(ctl::kSpoolupTime) << "61" << "12s";
    QTest::addRow("unplugged") << "unplug" << int(ctl::kHoldTime) << "1500" << "1500ms";
    QTest::addRow("unplugged, refused") << "unplug" << int(ctl::kHoldTime) << "05" << "2000ms";
  }
  void fieldTakenAwayWhileTypingCommitsFirst() {
    QFETCH(QString, how);
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    WindowRun run;
    App& app = run.session->app();
    if (how == "governor") {
      SetFlags(app.image, Flags(app.image) | flag::kGovernorOn);
      ShowImage(app);
      RefreshDisplay(app);
      run.Field(ctl::kSpoolupTime)->setText(QStringLiteral("12s"));
    }
    const auto id = static_cast<ControlId>(field);
    run.TypeInto(id, typed);
    QVERIFY(!app.hover_ready);
    if (how == "governor") {
      // As a selection that arrives while the field has the focus.
      run.session->panel().SetSelection(ctl::kGovernorType, 0);
      run.window().Notify(ctl::kGovernorType, ctl::kCbnSelEndOk);
    } else {
      run.session->sim_port()->Unplug(qt::kSimulatedUnitPath);
      QApplication::processEvents();
      QCOMPARE(run.dialogs.boxes.size(), size_t(1));
    }
    QVERIFY(!run.Field(id)->isEnabled());
    QCOMPARE(run.Field(id)->text(), shown);
    QVERIFY(app.hover_ready);
    QCOMPARE(run.FocusNotices(), (Notices{{field, kSet}}));
    run.MoveMouse(QPoint(340, 272));
    run.timer->Fire();
    QCOMPARE(run.Text(ctl::kHelpField), Help(333));
  }

  // While the ESC is written: the wait cursor, the button held down, and
  // clicks or keys that come meanwhile start no second store.
  void storeIsBusyAndTakesNoSecondClick() {
    WindowRun run;
    auto* store = run.window().ControlAs<QPushButton>(ctl::kStore);
    QList<int> cursors;
    QList<bool> down;
    run.sleeper.on_pause = [&](size_t, uint32_t) {
      const QCursor* cursor = QApplication::overrideCursor();
      cursors << (cursor != nullptr ? int(cursor->shape()) : -1);
      down << store->isDown();
      if (cursors.size() == 1) {
        QTest::mouseClick(store, Qt::LeftButton);
        QTest::keyClick(store, Qt::Key_Space);
      }
    };
    QTest::mouseClick(store, Qt::LeftButton);
    run.sleeper.on_pause = nullptr;
    QVERIFY(!cursors.isEmpty());
    QCOMPARE(cursors, QList<int>(cursors.size(), int(Qt::WaitCursor)));
    QCOMPARE(down, QList<bool>(down.size(), true));
    QCOMPARE(Stores(run.Unit()), 1);
    QCOMPARE(run.dialogs.boxes.size(), size_t(1));
    QCOMPARE(run.dialogs.boxes[0].text, kStored);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!store->isDown());
  }

  // The success box comes without the wait cursor; the store is over when
  // it has been answered.
  void storeBoxShowsTheNormalCursor() {
    WindowRun run;
    QList<bool> wait_cursor;
    run.dialogs.while_box_open = [&] { wait_cursor << (QApplication::overrideCursor() != nullptr); };
    QTest::mouseClick(run.window().Control(ctl::kStore), Qt::LeftButton);
    QCOMPARE(wait_cursor, QList<bool>{false});
  }

  // Enter in a field moves the focus to "Store on ESC" with its focus mark;
  // Space there stores, as before.
  void enterThenSpaceStoresWithTheFocusMarkShown() {
    WindowRun run;
    auto* store = run.window().ControlAs<QPushButton>(ctl::kStore);
    const QImage unfocused = store->grab().toImage();
    run.TypeInto(ctl::kHoldTime, QStringLiteral("1500"));
    QTest::keyClick(run.Field(ctl::kHoldTime), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), store);
    QVERIFY(run.window().testAttribute(Qt::WA_KeyboardFocusChange));
    QVERIFY(store->grab().toImage() != unfocused);
    QTest::keyClick(store, Qt::Key_Return);  // Enter on "Store on ESC" stores nothing
    QCOMPARE(Stores(run.Unit()), 0);
    QVERIFY(run.dialogs.boxes.empty());
    QTest::keyClick(store, Qt::Key_Space);
    QCOMPARE(Stores(run.Unit()), 1);
    QCOMPARE(GetU16(run.Unit().Eeprom(), kHoldTimeOffset), uint16_t{1500});
  }

  // Enter on the other command buttons clicks them.
  void enterClicksTheOtherCommandButtons_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("fileDialogs");
    QTest::addColumn<int>("defaultsDialogs");
    QTest::addRow("Load file") << int(ctl::kLoadFile) << 1 << 0;
    QTest::addRow("Save file") << int(ctl::kSaveFile) << 1 << 0;
    QTest::addRow("Load defaults") << int(ctl::kLoadDefaults) << 0 << 1;
    QTest::addRow("Store on ESC") << int(ctl::kStore) << 0 << 0;
  }
  void enterClicksTheOtherCommandButtons() {
    QFETCH(int, button);
    QFETCH(int, fileDialogs);
    QFETCH(int, defaultsDialogs);
    WindowRun run;
    int defaults = 0;
    run.dialogs.drive_defaults = [&](qt::ModelDefaultsDialog&) { return ++defaults, 0; };
    QWidget* control = run.window().Control(static_cast<ControlId>(button));
    control->setFocus(Qt::TabFocusReason);
    QTest::keyClick(control, Qt::Key_Enter);
    QCOMPARE(int(run.dialogs.file_dialogs.size()), fileDialogs);
    QCOMPARE(defaults, defaultsDialogs);
    QCOMPARE(Stores(run.Unit()), 0);
    QVERIFY(run.dialogs.boxes.empty());
  }

  // The Return that closes a box or dialog is pressed there and released
  // over the button that gets the focus back: that release clicks nothing.
  // The next whole Return clicks again.
  void returnClosingABoxClicksNothingBehindIt_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("file");  // "saved", "missing folder", "valid", "not valid", "" (cancelled)
    QTest::addColumn<int>("defaultsAnswer");
    QTest::addColumn<QString>("box");  // how the box shown begins; empty: none
    QTest::addRow("Save file, saved") << int(ctl::kSaveFile) << "saved" << 0 << "Settings saved successfully!";
    QTest::addRow("Save file, not saved") << int(ctl::kSaveFile) << "missing folder" << 0
                                          << "The settings could not be saved to ";
    QTest::addRow("Save file, cancelled") << int(ctl::kSaveFile) << "" << 0 << "";
    QTest::addRow("Load file, loaded") << int(ctl::kLoadFile) << "valid" << 0 << "";
    QTest::addRow("Load file, refused, Cancel") << int(ctl::kLoadFile) << "not valid" << 0
                                                << "The selected file is not a valid memory file";
    QTest::addRow("Load file, cancelled") << int(ctl::kLoadFile) << "" << 0 << "";
    QTest::addRow("Load defaults, OK") << int(ctl::kLoadDefaults) << "" << int(model_type::kHelicopter) << "";
    QTest::addRow("Load defaults, Cancel") << int(ctl::kLoadDefaults) << "" << 0 << "";
  }
  void returnClosingABoxClicksNothingBehindIt() {
    QFETCH(int, button);
    QFETCH(QString, file);
    QFETCH(int, defaultsAnswer);
    QFETCH(QString, box);
    WindowRun run;
    QTemporaryDir folder;
    const QString valid = folder.filePath(QStringLiteral("valid.bin"));
    std::string error;
    QVERIFY(WriteConfigFile(valid.toStdString(), kFamilyBrenta, run.session->app().image, error));
    QFile not_valid(folder.filePath(QStringLiteral("not-valid.bin")));
    QVERIFY(not_valid.open(QIODevice::WriteOnly) && not_valid.write("short") == 5);
    not_valid.close();
    const std::map<QString, QString> files = {{"saved", folder.filePath(QStringLiteral("saved.bin"))},
                                              {"missing folder", folder.filePath(QStringLiteral("none/x.bin"))},
                                              {"valid", valid},
                                              {"not valid", not_valid.fileName()},
                                              {"", QString()}};
    run.dialogs.file_name = files.at(file);
    int defaults = 0;
    run.dialogs.drive_defaults = [&](qt::ModelDefaultsDialog&) { return ++defaults, defaultsAnswer; };
    const auto dialogs = [&] { return int(run.dialogs.file_dialogs.size()) + defaults; };
    QWidget* control = run.window().Control(static_cast<ControlId>(button));
    control->setFocus(Qt::TabFocusReason);
    QTest::keyPress(control, Qt::Key_Return);
    QCOMPARE(dialogs(), 0);
    QTest::keyRelease(control, Qt::Key_Return);
    QCOMPARE(dialogs(), 1);
    if (box.isEmpty()) {
      QVERIFY(run.dialogs.boxes.empty());
    } else {
      QCOMPARE(run.dialogs.boxes.size(), size_t(1));
      QVERIFY2(run.dialogs.boxes[0].text.startsWith(box), qPrintable(run.dialogs.boxes[0].text));
    }
    QCOMPARE(QApplication::focusWidget(), control);
    QTest::keyRelease(control, Qt::Key_Return);  // the Return that closed the box or dialog
    QCOMPARE(dialogs(), 1);
    QTest::keyClick(control, Qt::Key_Return);
    QCOMPARE(dialogs(), 2);
    QCOMPARE(Stores(run.Unit()), 0);
  }

  void wheelChangesAListOnlyWithTheFocus() {
    WindowRun run;
    auto* battery = run.window().ControlAs<QComboBox>(ctl::kBatteryType);
    const uint32_t flags = Flags(run.session->app().image);
    const QString cutoff = run.Field(ctl::kCutoffVoltage)->text();
    QCOMPARE(battery->currentText(), QStringLiteral("LiPo"));
    Wheel(battery, true);
    QCOMPARE(battery->currentText(), QStringLiteral("LiPo"));
    QCOMPARE(Flags(run.session->app().image), flags);
    QCOMPARE(run.Field(ctl::kCutoffVoltage)->text(), cutoff);
    battery->setFocus(Qt::TabFocusReason);
    Wheel(battery, true);
    QCOMPARE(battery->currentIndex(), 2);
    QVERIFY(Flags(run.session->app().image) != flags);
  }

  // Hovering the warning labels: each text names its own threshold and the
  // field's limits.
  void warningLabelsExplainTheirOwnThreshold_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("limit");
    // clang-format off
    QTest::addRow("capacity") << QPoint(650, 83) << "threshold for the used capacity in Ah" << "min 0.0Ah - max 65.0Ah";
    QTest::addRow("motor current") << QPoint(650, 118) << "threshold for motor current peaks in A"
                                   << "min 0A - max twice the ESC's model number";
    QTest::addRow("BEC current") << QPoint(650, 153) << "threshold for BEC current in mA"
                                 << "min 0mA - max 30000mA, BRENTA 160: max 20000mA";
    QTest::addRow("FET temperature") << QPoint(650, 188) << "threshold for the power stage (FET) temperature"
                                     << "min 20°C - max 90°C";
    QTest::addRow("BEC temperature") << QPoint(650, 223) << "threshold for the BEC temperature"
                                     << "min 20°C - max 90°C";
    // clang-format on
  }
  void warningLabelsExplainTheirOwnThreshold() {
    QFETCH(QPoint, point);
    QFETCH(QString, names);
    QFETCH(QString, limit);
    WindowRun run(nullptr);  // not connected: the hover help is the only help
    run.MoveMouse(point);
    run.timer->Fire();
    const QString help = run.Text(ctl::kHelpField);
    QVERIFY2(help.contains(names), qPrintable(help));
    QVERIFY2(help.contains(limit), qPrintable(help));
  }

  // Changing a setting marks "Store on ESC"; closing then asks what to do.
  void closingAsksWhileTheEscHoldsOtherSettings_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("stored");
    QTest::addRow("yes") << int(QMessageBox::Yes) << true << true;
    QTest::addRow("no") << int(QMessageBox::No) << true << false;
    QTest::addRow("cancel") << int(QMessageBox::Cancel) << false << false;
  }
  void closingAsksWhileTheEscHoldsOtherSettings() {
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, stored);
    WindowRun run;
    QVERIFY(!run.window().UnstoredMarkShown());
    run.TypeInto(ctl::kHoldTime, QStringLiteral("1500"));
    QTest::keyClick(run.Field(ctl::kHoldTime), Qt::Key_Tab);
    QVERIFY(run.window().UnstoredMarkShown());
    const uint16_t held = GetU16(run.Unit().Eeprom(), kHoldTimeOffset);
    run.dialogs.box_answer = answer;
    QCOMPARE(run.window().close(), closed);
    QCOMPARE(run.window().isVisible(), !closed);
    QVERIFY(!run.dialogs.boxes.empty());
    const BoxSeen& question = run.dialogs.boxes[0];
    QCOMPARE(question.text, QStringLiteral("The settings shown differ from the ones stored on the ESC.\n\n"
                                           "Do you want to store the changes on the ESC before closing?"));
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(question.default_button, QMessageBox::Cancel);
    QCOMPARE(question.caption, QStringLiteral(" "));
    QCOMPARE(run.dialogs.boxes.size(), size_t(stored ? 2 : 1));
    QCOMPARE(GetU16(run.Unit().Eeprom(), kHoldTimeOffset), stored ? uint16_t{1500} : held);
    QCOMPARE(run.window().UnstoredMarkShown(), !stored);
  }

  void afterStoringClosingAsksNothing() {
    WindowRun run;
    run.TypeInto(ctl::kHoldTime, QStringLiteral("1500"));
    QTest::keyClick(run.Field(ctl::kHoldTime), Qt::Key_Tab);
    QTest::mouseClick(run.window().Control(ctl::kStore), Qt::LeftButton);
    QVERIFY(!run.window().UnstoredMarkShown());
    run.dialogs.boxes.clear();
    QVERIFY(run.window().close());
    QVERIFY(run.dialogs.boxes.empty());
  }

  // From teardown on nothing the user does reaches the App: after the mouse
  // over a label, the arrows, a field and its Tab, Enter and a click on a
  // command, and closing, the hover rest, the settings, the boxes and the
  // unstored mark (which any command would bring up to date: the unit is
  // gone) are as they were, and closing asks nothing.
  void teardownLeavesEveryInputWithoutEffect() {
    WindowRun run;
    run.TypeInto(ctl::kHoldTime, QStringLiteral("1500"));
    QTest::keyClick(run.Field(ctl::kHoldTime), Qt::Key_Tab);
    run.window().Control(ctl::kStore)->setFocus(Qt::TabFocusReason);
    QVERIFY(run.session->app().hover_ready);
    const auto image = [&] {
      return std::vector<uint8_t>(run.session->app().image.bytes.begin(), run.session->app().image.bytes.end());
    };
    const std::vector<uint8_t> before = image();
    run.session->Stop();
    QVERIFY(run.window().UnstoredMarkShown());

    run.MoveMouse(QPoint(660, 412));  // the label of "Max. starting current"
    QVERIFY(!run.timer->Pending());
    QCOMPARE(run.session->app().hovered_id, uint16_t{0});
    QTest::mouseClick(run.window().PoleArrows()->UpButton(), Qt::LeftButton);
    QVERIFY(run.window().UnstoredMarkShown());
    QTest::keyClick(run.Field(ctl::kPoleCount), Qt::Key_Up);
    QVERIFY(run.window().UnstoredMarkShown());
    run.TypeInto(ctl::kHoldTime, QStringLiteral("1700"));
    QTest::keyClick(run.Field(ctl::kHoldTime), Qt::Key_Tab);
    QVERIFY(run.window().UnstoredMarkShown());
    QTest::keyClick(run.window().Control(ctl::kLoadFile), Qt::Key_Return);
    QTest::mouseClick(run.window().Control(ctl::kSaveFile), Qt::LeftButton);
    QVERIFY(run.window().UnstoredMarkShown());
    QVERIFY(run.window().close());
    QVERIFY(run.window().UnstoredMarkShown());
    QCOMPARE(image(), before);
    QVERIFY(run.dialogs.boxes.empty());
    QVERIFY(run.dialogs.file_dialogs.empty());
  }

  // The texture is kept as the 8-bit grey it is; the program's icon is the
  // application's, not decoded again for the window.
  void artworkKeptSmallIconDecodedOnce() {
    WindowRun run;
    QCOMPARE(run.window().Texture().format(), QImage::Format_Grayscale8);
    // Only what the fixed-size window shows of it is kept.
    QCOMPARE(run.window().Texture().size(), QSize(1240, 690));
    QVERIFY(!run.window().testAttribute(Qt::WA_SetWindowIcon));
    QCOMPARE(QApplication::windowIcon().availableSizes(), QList<QSize>{QSize(256, 256)});
  }

  // The part of a texture the window shows from its origin: a larger one is
  // cut to the window, a smaller one kept whole for the brush to repeat, a
  // coloured one keeps its colours.
  void textureKeptAsFarAsTheWindowShowsIt_data() {
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<bool>("grey");
    QTest::addColumn<QSize>("kept");
    QTest::addRow("larger") << QSize(1300, 813) << true << QSize(1240, 690);
    QTest::addRow("window size") << QSize(1240, 690) << true << QSize(1240, 690);
    QTest::addRow("smaller") << QSize(100, 50) << true << QSize(100, 50);
    QTest::addRow("wider") << QSize(1300, 50) << true << QSize(1240, 50);
    QTest::addRow("taller") << QSize(100, 813) << true << QSize(100, 690);
    QTest::addRow("coloured") << QSize(1300, 813) << false << QSize(1240, 690);
  }
  void textureKeptAsFarAsTheWindowShowsIt() {
    QFETCH(QSize, stored);
    QFETCH(bool, grey);
    QFETCH(QSize, kept);
    QImage image(stored, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    for (int y = 0; y < stored.height(); ++y) {
      for (int x = 0; x < stored.width(); ++x) {
        const int level = (x * 7 + y * 13) % 256;
        image.setPixel(x, y, grey ? qRgb(level, level, level) : qRgb(level, 255 - level, x % 256));
      }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("texture.png"));
    QVERIFY(image.save(path, "PNG"));

    const QImage texture = qt::LoadTexture(path, QSize(1240, 690));
    QCOMPARE(texture.size(), kept);
    QCOMPARE(texture.format(), grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    int wrong = 0;
    for (int y = 0; y < kept.height(); ++y) {
      for (int x = 0; x < kept.width(); ++x) wrong += RgbOf(texture.pixel(x, y)) != RgbOf(image.pixel(x, y));
    }
    QCOMPARE(wrong, 0);
  }

  // The artwork is read as the PNG it is: no image-format plugin (nor the
  // libraries behind one) is loaded to guess its format. Meaningful in a
  // process of its own (ctest runs it so); other tests load the plugins.
  void artworkReadWithoutFormatPlugins() {
    const auto plugins_loaded = [] {
      QFile maps(QStringLiteral("/proc/self/maps"));
      if (!maps.open(QIODevice::ReadOnly)) return -1;
      return int(maps.readAll().count("/imageformats/"));
    };
    if (plugins_loaded() < 0) QSKIP("no /proc/self/maps here");
    if (plugins_loaded() > 0) QSKIP("an earlier test loaded the image-format plugins");
    WindowRun run;
    QVERIFY(!run.window().Texture().isNull());
    QVERIFY(!QApplication::windowIcon().isNull());
    QCOMPARE(plugins_loaded(), 0);
  }

  // Usage errors end the program before a window, with one line; the
  // simulated unit's options need --simulate also behind Qt's own options.
  void commandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");
    const QString see = QStringLiteral(" (see tavio --help)\n");
    QTest::addRow("eeprom alone") << QStringList{"--sim-eeprom", "x"} << 2
                                  << "tavio: --sim-eeprom requires --simulate" + see;
    QTest::addRow("after Qt's options") << QStringList{"-platform", "offscreen", "--sim-unplug-after", "3"} << 2
                                        << "tavio: --sim-unplug-after requires --simulate" + see;
    QTest::addRow("bad family") << QStringList{"--simulate=WALNUT"} << 2
                                << "tavio: --simulate: unknown ESC family 'WALNUT' (ALDER, BRENTA, CORVAN, "
                                   "DELMAR-Z or a number 1..4095)" + see;
    QTest::addRow("a command's option") << QStringList{"--json"} << 2
                                        << "tavio: unexpected argument: --json" + see;
    QTest::addRow("an argument") << QStringList{"a.bin"} << 2
                                 << "tavio: unexpected argument: a.bin" + see;
    QTest::addRow("firmware alone") << QStringList{"--sim-firmware", "::0xFFFF"} << 2
                                    << "tavio: --sim-firmware requires --simulate" + see;
    QTest::addRow("fault alone") << QStringList{"--sim-fault", "mode=1"} << 2
                                 << "tavio: --sim-fault requires --simulate" + see;
    QTest::addRow("fault without value") << QStringList{"--simulate", "BRENTA", "--sim-fault", "mode"} << 2
                                         << "tavio: --sim-fault: 'mode': mode needs a value after '='" + see;
    QTest::addRow("firmware too long") << QStringList{"--simulate", "BRENTA", "--sim-firmware=1:2:3:4"} << 2
                                       << "tavio: --sim-firmware: '1:2:3:4' has more than UNIT:BOOT:ESC" + see;
    QTest::addRow("trace without file") << QStringList{"--trace"} << 2
                                        << "tavio: --trace: 1 required FILE missing" + see;
    QTest::addRow("help") << QStringList{"--sim-unit", "LINKPUCK", "--help"} << 0 << QString();
  }
  void commandLine() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, err);
    QProcess tavio;
    tavio.start(QStringLiteral(TAVIO_GUI_EXECUTABLE), args);
    QVERIFY(tavio.waitForFinished(60000));
    QCOMPARE(tavio.exitCode(), code);
    // Our lines only: Qt may add its own warnings once it has started.
    QString ours;
    for (const QString& line : QString::fromUtf8(tavio.readAllStandardError()).split('\n', Qt::SkipEmptyParts)) {
      if (line.startsWith(QStringLiteral("tavio"))) ours += line + '\n';
    }
    QCOMPARE(ours, err);
    const QString out = QString::fromUtf8(tavio.readAllStandardOutput());
    QCOMPARE(out.startsWith(QStringLiteral("Shows and edits the configuration")), code == 0);
    QCOMPARE(out.contains(QStringLiteral("\n  --sim-eeprom PATH       keep the simulated ESC's memory")), code == 0);
  }

  // --sim-firmware shows in the firmware fields, "----------" for an ESC
  // without firmware; --trace gets every report of the start-up readout.
  void simulatorOptionsOfTheWindow() {
    QTemporaryDir folder;
    const std::string trace = folder.filePath(QStringLiteral("trace.txt")).toStdString();
    qt::GuiOptions options;
    std::string error;
    const options::ParseOutcome parsed = options::ParseWindowOptions(
        {"--simulate", kBrenta, "--sim-firmware", "0x00020100:0x0203:0xFFFF", "--trace", trace, "--sim-fault",
         "esc-state=3", "--sim-fault", "mode=0"},
        options);
    QVERIFY2(parsed.proceed, parsed.text.c_str());
    QCOMPARE(options.shared.sim.faults, (std::vector<std::string>{"esc-state=3", "mode=0"}));
    tavio::test::FakeSleeper sleeper;
    Dialogs dialogs;
    const auto session = qt::Session::Create(options, Language::English, &sleeper, error);
    QVERIFY(session != nullptr);
    session->panel().SetDialogDriver(&dialogs);
    session->Start();
    const auto text = [&](ControlId id) { return QString::fromStdU16String(session->panel().GetText(id)); };
    QCOMPARE(session->window().windowTitle(), kConnected);
    QCOMPARE(text(ctl::kUnitVersion), QStringLiteral("2.1"));
    QCOMPARE(text(ctl::kEscBootloaderVersion), QStringLiteral("2.3"));
    QCOMPARE(text(ctl::kEscFirmwareVersion), QStringLiteral("----------"));
    session->Stop();
    QFile file(QString::fromStdString(trace));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString lines = QString::fromLatin1(file.readAll());
    // Identification and the readout of 92 bytes: six requests, six answers.
    QCOMPARE(lines.count(QRegularExpression(QStringLiteral("  #[0-5] > 01 "))), 6);
    QCOMPARE(lines.count(QRegularExpression(QStringLiteral("  #[0-5] < 02 00 "))), 6);
    QVERIFY(lines.endsWith(QStringLiteral("  close\n")));
  }

  void benchmarkSwitchPrintsOneLine() {
    QProcess tavio;
    tavio.start(QStringLiteral(TAVIO_GUI_EXECUTABLE), {"--simulate", kBrenta, "--benchmark-startup"});
    QVERIFY(tavio.waitForFinished(60000));
    QCOMPARE(tavio.exitCode(), 0);
    const QString out = QString::fromUtf8(tavio.readAllStandardOutput());
    QVERIFY2(QRegularExpression(QStringLiteral("^startup_ms=\\d+\n$")).match(out).hasMatch(), qPrintable(out));
  }
};

QTEST_MAIN(SessionTest)
#include "session_test.moc"
