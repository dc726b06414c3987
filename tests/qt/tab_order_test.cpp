// Tab and Shift+Tab move through the tab-stop controls in creation order,
// which is not the screen order (the General box's buttons go bottom-up).

#include <QAbstractButton>
#include <QtTest>

#include "core/shell/control_table.h"
#include "qt/main_window.h"
#include "qt_test_support.h"

using namespace tavio;
using tavio::qt::MainWindow;

namespace {

ControlId FocusedId() {
  QWidget* focused = QApplication::focusWidget();
  return focused == nullptr ? 0 : static_cast<ControlId>(focused->property(qt::kControlIdProperty).toUInt());
}

QList<int> PressTab(int times, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QList<int> visited;
  for (int i = 0; i < times; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
    visited << FocusedId();
  }
  return visited;
}

void EnableAll(MainWindow& window) {
  for (const ControlDef& def : ControlTable()) window.Control(def.id)->setEnabled(true);
}

}  // namespace

class TabOrderTest : public QObject {
  Q_OBJECT

 private slots:
  void fromBecVoltageThroughTheGeneralBox() {
    MainWindow window(Language::English);
    EnableAll(window);
    QVERIFY(qt::test::ShowActive(window));
    window.Control(ctl::kBecVoltage)->setFocus(Qt::OtherFocusReason);
    QCOMPARE(FocusedId(), ctl::kBecVoltage);
    QCOMPARE(PressTab(6), (QList<int>{2001, 2002, 2053, 2050, 2051, 2006}));
  }

  void backTabRetracesTheWay() {
    MainWindow window(Language::English);
    EnableAll(window);
    QVERIFY(qt::test::ShowActive(window));
    window.Control(ctl::kBatteryType)->setFocus(Qt::OtherFocusReason);
    QCOMPARE(PressTab(6, Qt::ShiftModifier), (QList<int>{2051, 2050, 2053, 2002, 2001, 2000}));
  }

  // One full round visits every tab stop once, in table order, and wraps;
  // of the two timing radio buttons only the checked one is a tab stop.
  void fullRoundFollowsCreationOrder_data() {
    QTest::addColumn<int>("checkedRadio");
    QTest::addColumn<int>("skippedRadio");
    QTest::addRow("auto timing") << int(ctl::kAutoTiming) << int(ctl::kFixTiming);
    QTest::addRow("fixed timing") << int(ctl::kFixTiming) << int(ctl::kAutoTiming);
  }
  void fullRoundFollowsCreationOrder() {
    QFETCH(int, checkedRadio);
    QFETCH(int, skippedRadio);
    MainWindow window(Language::English);
    EnableAll(window);
    window.ControlAs<QAbstractButton>(static_cast<ControlId>(checkedRadio))->setChecked(true);
    QVERIFY(qt::test::ShowActive(window));
    QList<int> expected;
    for (const ControlDef& def : ControlTable()) {
      if (IsTabStop(def.kind) && def.id != skippedRadio) expected << def.id;
    }
    QCOMPARE(expected.size(), 36);
    expected << expected.first();
    window.Control(ctl::kBecVoltage)->setFocus(Qt::OtherFocusReason);
    QCOMPARE(PressTab(int(expected.size()) - 1), expected.mid(1));
  }

  void clickingARadioButtonMovesTheTabStop() {
    MainWindow window(Language::English);
    QWidget* automatic = window.Control(ctl::kAutoTiming);
    QWidget* fixed = window.Control(ctl::kFixTiming);
    QCOMPARE(automatic->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(fixed->focusPolicy(), Qt::StrongFocus);
    QVERIFY(qt::test::ShowActive(window));
    QTest::mouseClick(fixed, Qt::LeftButton, Qt::NoModifier, QPoint(8, 12));
    QVERIFY(window.ControlAs<QAbstractButton>(ctl::kFixTiming)->isChecked());
    QCOMPARE(fixed->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(automatic->focusPolicy(), Qt::ClickFocus);
    QTest::mouseClick(automatic, Qt::LeftButton, Qt::NoModifier, QPoint(8, 12));
    QVERIFY(window.ControlAs<QAbstractButton>(ctl::kAutoTiming)->isChecked());
    QVERIFY(!window.ControlAs<QAbstractButton>(ctl::kFixTiming)->isChecked());
    QCOMPARE(automatic->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(fixed->focusPolicy(), Qt::ClickFocus);
  }

  void nothingHasTheFocusAtFirstAndTabGoesToTheFirstField() {
    MainWindow window(Language::English);
    QVERIFY(qt::test::ShowActive(window));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&window));
    QCOMPARE(PressTab(1), (QList<int>{2000}));
  }

  void disabledControlsAreSkipped() {
    MainWindow window(Language::English);
    EnableAll(window);
    window.Control(ctl::kForwardBackward)->setEnabled(false);
    window.Control(ctl::kLoadDefaults)->setEnabled(false);
    QVERIFY(qt::test::ShowActive(window));
    window.Control(ctl::kBecVoltage)->setFocus(Qt::OtherFocusReason);
    QCOMPARE(PressTab(3), (QList<int>{2001, 2050, 2051}));
  }
};

QTEST_MAIN(TabOrderTest)
#include "tab_order_test.moc"
