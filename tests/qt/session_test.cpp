// The window wired to the core over the simulated unit, as main() wires it:
// start-up and unplugging, what keys and clicks reach the core, the hover
// help, the look, and the start-up benchmark switch.

#include <QProcess>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

#include "core/files/backups.h"
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
QRgb Rgb(QRgb pixel) { return pixel & 0xFFFFFFu; }

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
    // The simulated ESC keeps its memory in the file once a flash session
    // closes (exchange 15); until then it holds its first block.
    uint16_t held_hold_time = 2000;
    QFile file(eeprom);
    if (file.open(QIODevice::ReadOnly)) {
      const QByteArray held = file.readAll();
      QCOMPARE(held.size(), 256);
      held_hold_time = GetU16(std::span(reinterpret_cast<const uint8_t*>(held.constData()), 92), kHoldTimeOffset);
    }
    QCOMPARE(held_hold_time, uint16_t(unplug_after >= 16 ? 1500 : 2000));
  }

  // An ESC erased by an interrupted store connects, and Yes restores the
  // newest backup of its family and model; tavio-cli then reads it back.
  void erasedEscIsRestoredFromItsBackup() {
    QTemporaryDir dir;
    const QString eeprom = dir.filePath(QStringLiteral("esc.eeprom"));
    QFile erased(eeprom);
    QVERIFY(erased.open(QIODevice::WriteOnly));
    erased.write(QByteArray(256, char(0xFF)));
    erased.close();
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
    QFile erased(eeprom);
    QVERIFY(erased.open(QIODevice::WriteOnly));
    erased.write(QByteArray(256, char(0xFF)));
    erased.close();
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
        const bool own = logo.rect().contains(x, y) && Rgb(logo.pixel(x, y)) != Rgb(qRgb(0, 255, 0));
        wrong += Rgb(shot.pixel(at + QPoint(x, y))) != Rgb(own ? logo.pixel(x, y) : texture.pixel(at + QPoint(x, y)));
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
    QCOMPARE(Rgb(run.window().grab().toImage().pixel(150, 60)), Rgb(qRgb(60, 60, 60)));
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
        QCOMPARE(Rgb(shot.pixel(x, y)), Rgb(texture.pixel(x, y)));
      }
      seam_would_show += texture.pixel(label.left(), y) != texture.pixel(0, y - label.top()) ? 1 : 0;
    }
    QVERIFY(seam_would_show > 0);
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
