// Hover help: the window's own hit test in creation order, which mouse
// movement reaches it, the 100 ms rest and the help text it leads to.

#include <QApplication>
#include <QLineEdit>
#include <QWindow>
#include <QtTest>

#include "qt/hover_tracker.h"
#include "qt/main_window.h"
#include "window_run.h"

using namespace tavio;
using qt::test::HelpHeading;
using qt::test::WindowRun;

namespace {

// A spot of the window no control covers.
constexpr QPoint kBackground(300, 200);

}  // namespace

class HoverTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    qt::UseProgramNumberFormat();
    qt::UseProgramStyle();
  }

  // Not connected, so every parameter control is disabled: the hit test
  // does not care.
  void hitTestFindsTheFirstCreated_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("id");
    QTest::addRow("comment box over the help text") << QPoint(1000, 450) << int(ctl::kGroupComment);
    QTest::addRow("comment box at the help text's corner") << QPoint(950, 370) << int(ctl::kGroupComment);
    QTest::addRow("firmware box over the unit name") << QPoint(1040, 160) << int(ctl::kGroupFirmware);
    QTest::addRow("firmware box over a version") << QPoint(1200, 220) << int(ctl::kGroupFirmware);
    QTest::addRow("label") << QPoint(25, 45) << int(ctl::kLabelBecVoltage);
    QTest::addRow("label's last column") << QPoint(199, 45) << int(ctl::kLabelBecVoltage);
    QTest::addRow("field beside it") << QPoint(200, 45) << int(ctl::kBecVoltage);
    QTest::addRow("starting current label") << QPoint(700, 415) << int(ctl::kLabelMaxStartCurrent);
    QTest::addRow("disabled field") << QPoint(220, 512) << int(ctl::kPPart);
    QTest::addRow("arrows over the pole count field") << QPoint(580, 410) << int(ctl::kPoleCount);
    QTest::addRow("check box") << QPoint(40, 100) << int(ctl::kReverseRotation);
    QTest::addRow("command button") << QPoint(100, 270) << int(ctl::kLoadDefaults);
    QTest::addRow("store button") << QPoint(1100, 300) << int(ctl::kStore);
    QTest::addRow("closed list") << QPoint(500, 45) << int(ctl::kBatteryType);
    QTest::addRow("below a closed list") << QPoint(500, 62) << int(ctl::kGroupBattery);
    QTest::addRow("general box inside") << QPoint(150, 300) << int(ctl::kGroupGeneral);
    QTest::addRow("governor box frame") << QPoint(10, 600) << int(ctl::kGroupGovernor);
    QTest::addRow("between the boxes") << kBackground << 0;
    QTest::addRow("window corner") << QPoint(0, 0) << 0;
    QTest::addRow("under the logo") << QPoint(1100, 60) << 0;
  }
  void hitTestFindsTheFirstCreated() {
    QFETCH(QPoint, point);
    QFETCH(int, id);
    WindowRun run(QString{});
    QVERIFY(!run.window().Control(ctl::kPPart)->isEnabled());
    QCOMPARE(int(run.window().ControlAt(point)), id);
  }

  // A rest over a label or a disabled control shows its help; enabled
  // controls take the mouse themselves, and the group boxes around the help
  // field and the firmware texts carry no help.
  void restShowsTheHelpOfThePoint_data() {
    QTest::addColumn<QString>("esc");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("heading");  // empty: the help field keeps its text
    QTest::addColumn<QString>("detail");   // a line only this text has
    const QString brenta = QStringLiteral("BRENTA:160:0x0401");
    QTest::addRow("label") << brenta << QPoint(340, 85) << "-Cut off voltage/cell-" << "Default: 3000mV";
    QTest::addRow("starting current label, BRENTA")
        << brenta << QPoint(700, 415) << "-Max starting current-" << "Limit: min 10A - max 100A.";
    QTest::addRow("starting current label, CORVAN")
        << "CORVAN:120:0x0400" << QPoint(700, 415) << "-Max starting current-" << "Limit: min 10A - max 100A.";
    QTest::addRow("starting current label, ALDER")
        << "ALDER:100" << QPoint(700, 415) << "-Max starting current-" << "Limit: min 10% - max 100%.";
    QTest::addRow("starting current label, DELMAR-Z")
        << "DELMAR-Z" << QPoint(700, 415) << "-Max starting current-" << "Limit: min 10% - max 100%.";
    QTest::addRow("Ri label, BRENTA") << brenta << QPoint(40, 550) << "-Ri-comp-" << "Default: 4mOhm";
    QTest::addRow("I-part label, ALDER") << "ALDER:100" << QPoint(40, 550) << "-I-part-" << "Default: 4";
    QTest::addRow("disabled field") << brenta << QPoint(220, 512) << "-P-part-" << "Default: 4";
    QTest::addRow("disabled fixed timing field") << brenta << QPoint(530, 517) << "-Fix timing-"
                                                 << "Limits: min 0° - max 30° ";
    QTest::addRow("disabled check box") << brenta << QPoint(40, 427) << "-Soft start-"
                                        << "started in the smoothest manner possible";
    QTest::addRow("disabled arrows, not connected") << "" << QPoint(580, 405) << "-Pole count-" << "Default: 2";
    QTest::addRow("enabled field") << brenta << QPoint(220, 50) << "" << "";
    QTest::addRow("enabled check box") << brenta << QPoint(40, 100) << "" << "";
    QTest::addRow("enabled button") << brenta << QPoint(100, 270) << "" << "";
    QTest::addRow("enabled list") << brenta << QPoint(500, 45) << "" << "";
    QTest::addRow("enabled arrows") << brenta << QPoint(580, 405) << "" << "";
    QTest::addRow("help field") << brenta << QPoint(1000, 450) << "" << "";
    QTest::addRow("firmware unit name") << brenta << QPoint(1040, 160) << "" << "";
    QTest::addRow("firmware version") << brenta << QPoint(1190, 220) << "" << "";
    QTest::addRow("group box") << brenta << QPoint(150, 300) << "" << "";
    QTest::addRow("background") << brenta << kBackground << "" << "";
  }
  void restShowsTheHelpOfThePoint() {
    QFETCH(QString, esc);
    QFETCH(QPoint, point);
    QFETCH(QString, heading);
    QFETCH(QString, detail);
    WindowRun run(esc);
    const QString before = run.HelpText();
    QVERIFY(!before.isEmpty());
    QVERIFY(HelpHeading(before) != heading);

    run.MoveMouse(point);
    if (heading.isEmpty()) {
      QVERIFY(!run.timer->Pending());
      run.timer->Fire();
      QCOMPARE(run.HelpText(), before);
      return;
    }
    QCOMPARE(run.timer->PendingRest(), std::optional(std::chrono::milliseconds(100)));
    // Nothing before the mouse has rested.
    QCOMPARE(run.HelpText(), before);
    run.timer->Fire();
    QCOMPARE(HelpHeading(run.HelpText()), heading);
    QVERIFY2(run.HelpText().contains(detail), qPrintable(run.HelpText()));
  }

  // An edit field holding the focus keeps its help; its commit, by Tab or
  // by Enter, lets the hover help back in.
  void focusedFieldHoldsOffTheHover_data() {
    QTest::addColumn<int>("key");
    QTest::addRow("Tab") << int(Qt::Key_Tab);
    QTest::addRow("Enter") << int(Qt::Key_Return);
  }
  void focusedFieldHoldsOffTheHover() {
    QFETCH(int, key);
    WindowRun run(QStringLiteral("BRENTA:160:0x0401"));
    auto* field = run.window().ControlAs<QLineEdit>(ctl::kBecVoltage);
    QTest::mouseClick(field, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(HelpHeading(run.HelpText()), QStringLiteral("-BEC output voltage-"));

    run.MoveMouse(QPoint(340, 85));
    run.timer->Fire();
    QCOMPARE(HelpHeading(run.HelpText()), QStringLiteral("-BEC output voltage-"));

    QTest::keyClick(field, Qt::Key(key));
    QVERIFY(QApplication::focusWidget() != field);
    QCOMPARE(HelpHeading(run.HelpText()), QStringLiteral("-BEC output voltage-"));
    run.MoveMouse(QPoint(340, 172));
    QVERIFY(run.timer->Pending());
    run.timer->Fire();
    QCOMPARE(HelpHeading(run.HelpText()), QStringLiteral("-capacity limit-"));
  }

  // The help comes after a rest: movement on the window starts the rest
  // anew, moving onto a control that takes the mouse or out of the window
  // ends it.
  void restEndsOrStartsAnew_data() {
    QTest::addColumn<QPoint>("then");  // where the mouse goes after the label
    QTest::addColumn<bool>("pending");
    QTest::addColumn<QString>("heading");
    QTest::addRow("another label") << QPoint(340, 172) << true << "-capacity limit-";
    QTest::addRow("the background") << kBackground << true << "-Cut off voltage/cell-";
    QTest::addRow("a firmware text") << QPoint(1040, 160) << true << "-Cut off voltage/cell-";
    QTest::addRow("an enabled field") << QPoint(220, 50) << false << "";
    QTest::addRow("an enabled button") << QPoint(1100, 300) << false << "";
  }
  void restEndsOrStartsAnew() {
    QFETCH(QPoint, then);
    QFETCH(bool, pending);
    QFETCH(QString, heading);
    WindowRun run(QStringLiteral("BRENTA:160:0x0401"));
    const QString before = run.HelpText();
    run.MoveMouse(QPoint(340, 85));
    QCOMPARE(run.timer->restarts, 1);
    run.MoveMouse(then);
    QCOMPARE(run.timer->Pending(), pending);
    QCOMPARE(run.timer->restarts, pending ? 2 : 1);
    run.timer->Fire();
    QCOMPARE(HelpHeading(run.HelpText()), heading.isEmpty() ? HelpHeading(before) : heading);
  }

  void leavingTheWindowEndsTheRest() {
    WindowRun run(QStringLiteral("BRENTA:160:0x0401"));
    const QString before = run.HelpText();
    run.MoveMouse(QPoint(340, 85));
    QVERIFY(run.timer->Pending());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&run.window(), &leave);
    QVERIFY(!run.timer->Pending());
    run.timer->Fire();
    QCOMPARE(run.HelpText(), before);
  }
};

QTEST_MAIN(HoverTest)
#include "hover_test.moc"
