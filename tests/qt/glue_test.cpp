// The notifications the window sends to the core's dispatch, over a window
// wired to an App with a simulated BRENTA 160 (as main() wires it, with a
// sleeper that does not sleep).

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <utility>
#include <vector>

#include "core/shell/dispatch.h"
#include "core/shell/string_table.h"
#include "qt/main_window.h"
#include "qt/message_boxes.h"
#include "qt/qt_panel.h"
#include "qt/session.h"
#include "qt/up_down_arrows.h"
#include "qt_test_support.h"
#include "support/fake_sleeper.h"

using namespace tavio;

namespace {

using Notice = std::pair<int, int>;  // control ID, notification code
using Notices = std::vector<Notice>;

constexpr int kSet = ctl::kEnSetFocus;
constexpr int kKill = ctl::kEnKillFocus;
constexpr int kChange = ctl::kEnChange;
constexpr int kListSet = 3;   // a drop-down list got the focus
constexpr int kListKill = 4;  // and lost it

struct Wired {
  Wired() {
    qt::GuiOptions options;
    options.simulate = "BRENTA:160:0x0401";
    std::string error;
    session = qt::Session::Create(options, Language::English, &sleeper, error);
    session->panel().SetDialogDriver(&dialogs);
    App& app = session->app();
    // A spy in front of the dispatch; everything still reaches the core.
    window().SetCommandSink([this, &app](ControlId id, uint16_t code) {
      notices.emplace_back(id, code);
      OnCommand(app, id, code);
    });
    window().SetArrowsHandler([this] { ++arrow_presses; });
    session->Start();
    notices.clear();
  }
  ~Wired() { session->Stop(); }

  qt::MainWindow& window() { return session->window(); }
  QLineEdit* Field(ControlId id) { return window().ControlAs<QLineEdit>(id); }
  Notices FocusNotices() const {
    Notices focus;
    for (const Notice& n : notices) {
      if (n.second == kSet || n.second == kKill || n.second == kListSet || n.second == kListKill) {
        focus.push_back(n);
      }
    }
    return focus;
  }
  QString HelpText() { return QString::fromStdU16String(session->panel().GetText(ctl::kHelpField)); }

  test::FakeSleeper sleeper;
  qt::test::ScriptedDialogs dialogs;
  std::unique_ptr<qt::Session> session;
  Notices notices;
  int arrow_presses = 0;
};

QString HelpOf(ControlId id) {
  return qt::DisplayText(LoadString(Language::English, static_cast<StringId>(id - 1700)));
}

void ClickInModalLater(std::function<void(QWidget*)> click) {
  QMetaObject::invokeMethod(
      qApp, [click] { click(QApplication::activeModalWidget()); }, Qt::QueuedConnection);
}

}  // namespace

class GlueTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qt::UseProgramNumberFormat(); }

  void focusMovesReachTheCoreInOrder() {
    Wired w;
    QVERIFY(qt::test::ShowActive(w.window()));
    QTest::mouseClick(w.Field(ctl::kCutoffVoltage), Qt::LeftButton);
    QCOMPARE(w.HelpText(), HelpOf(ctl::kCutoffVoltage));
    QTest::mouseClick(w.Field(ctl::kHoldTime), Qt::LeftButton);
    QTest::keyClick(w.Field(ctl::kHoldTime), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.window().Control(ctl::kGovernorType));
    QCOMPARE(w.HelpText(), HelpOf(ctl::kGovernorType));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(w.FocusNotices(), (Notices{{2007, kSet},
                                        {2007, kKill},
                                        {2033, kSet},
                                        {2033, kKill},
                                        {2009, kListSet},
                                        {2009, kListKill},
                                        {2033, kSet}}));
  }

  // Switching to another window and back is no focus change of the platform's.
  void windowActivationIsNoFocusChange() {
    Wired w;
    QVERIFY(qt::test::ShowActive(w.window()));
    w.Field(ctl::kGearRatio)->setFocus(Qt::OtherFocusReason);
    QWidget other;
    QVERIFY(qt::test::ShowActive(other));
    QVERIFY(qt::test::ShowActive(w.window()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Field(ctl::kGearRatio)));
    QCOMPARE(w.FocusNotices(), (Notices{{2015, kSet}}));
  }

  void programMadeTextChangesReachTheCore_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addRow("changed") << 2010 << "15s";
    QTest::addRow("same text") << 2000 << "5.6V";
  }
  void programMadeTextChangesReachTheCore() {
    QFETCH(int, id);
    QFETCH(QString, text);
    Wired w;
    w.session->panel().SetText(static_cast<uint16_t>(id), text.toStdU16String());
    QCOMPARE(w.notices, (Notices{{id, kChange}}));
    QCOMPARE(w.HelpText(), HelpOf(static_cast<ControlId>(id)));
  }

  void typingRaisesTextChanges() {
    Wired w;
    QVERIFY(qt::test::ShowActive(w.window()));
    w.Field(ctl::kGearRatio)->setFocus(Qt::OtherFocusReason);
    w.Field(ctl::kGearRatio)->selectAll();
    w.notices.clear();
    QTest::keyClicks(w.Field(ctl::kGearRatio), "2.5");
    QCOMPARE(w.notices, (Notices{{2015, kChange}, {2015, kChange}, {2015, kChange}}));
  }

  // Releasing Enter moves the focus to "Store on ESC"; the field commits on
  // its focus-out and nothing is stored.
  void enterReleasedMovesTheFocusToStore_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("key");
    QTest::addRow("return in BEC voltage") << 2000 << int(Qt::Key_Return);
    QTest::addRow("keypad enter in cut-off") << 2007 << int(Qt::Key_Enter);
    QTest::addRow("return in gear ratio") << 2015 << int(Qt::Key_Return);
    QTest::addRow("return in warning") << 2019 << int(Qt::Key_Return);
  }
  void enterReleasedMovesTheFocusToStore() {
    QFETCH(int, id);
    QFETCH(int, key);
    Wired w;
    QVERIFY(qt::test::ShowActive(w.window()));
    QLineEdit* field = w.Field(static_cast<ControlId>(id));
    field->setFocus(Qt::OtherFocusReason);
    const QString before = field->text();
    QTest::keyPress(field, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field));
    QCOMPARE(field->text(), before);
    QTest::keyRelease(field, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget(), w.window().Control(ctl::kStore));
    QCOMPARE(w.FocusNotices(), (Notices{{id, kSet}, {id, kKill}}));
    QVERIFY(w.dialogs.boxes.empty());
    // Enter on the focused button does not click it either.
    QTest::keyClick(w.window().Control(ctl::kStore), Qt::Key_Return);
    QVERIFY(w.dialogs.boxes.empty());
  }

  void heldEnterMovesTheFocusOnlyWhenLetGo() {
    Wired w;
    QVERIFY(qt::test::ShowActive(w.window()));
    QLineEdit* field = w.Field(ctl::kHoldTime);
    field->setFocus(Qt::OtherFocusReason);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(field, &repeated);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field));
  }

  void digitsOnlyFieldsRefuseTypedNonDigits_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::addRow("letters into cut-off") << 2007 << "abc" << "";
    QTest::addRow("mixed into cut-off") << 2007 << "3a2b0c0mV" << "3200";
    QTest::addRow("point into slew rate") << 2016 << "1.5s" << "15";
    QTest::addRow("degree into FET warning") << 2022 << QString::fromUtf8("7°C") << "7";
    QTest::addRow("blank into hold time") << 2033 << "1 0" << "10";
    QTest::addRow("letters into plain field") << 2015 << "2.50:1" << "2.50:1";
    QTest::addRow("letters into capacity") << 2008 << "1.5Ah" << "1.5Ah";
  }
  void digitsOnlyFieldsRefuseTypedNonDigits() {
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    Wired w;
    QLineEdit* field = w.Field(static_cast<ControlId>(id));
    field->clear();
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), result);
  }

  // Only typing is filtered: editing keys and pasted text pass, as on the platform.
  void digitsOnlyFieldsStillEditAndPaste() {
    Wired w;
    QLineEdit* field = w.Field(ctl::kHoldTime);
    field->setText(QStringLiteral("123"));
    field->end(false);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->text(), QStringLiteral("2"));
    QApplication::clipboard()->setText(QStringLiteral("x9"));
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field->text(), QStringLiteral("x92"));
  }

  // Each row: the pole-count text before the presses, the presses ('+' up,
  // '-' down), the texts after each.
  void arrowsStepThePoleCount_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("presses");
    QTest::addColumn<QStringList>("texts");
    QTest::addRow("up from 14") << "14" << "++" << QStringList{"16", "18"};
    QTest::addRow("down to the floor") << "6" << "---" << QStringList{"4", "2", "2"};
    QTest::addRow("up to the ceiling") << "30" << "++-" << QStringList{"32", "32", "30"};
    QTest::addRow("odd count") << "7" << "+" << QStringList{"9"};
    QTest::addRow("no number: last position") << "abc" << "+" << QStringList{"4"};
    QTest::addRow("empty: last position, unchanged") << "" << "-" << QStringList{""};
    QTest::addRow("out of range: last position") << "40" << "+" << QStringList{"4"};
  }
  void arrowsStepThePoleCount() {
    QFETCH(QString, start);
    QFETCH(QString, presses);
    QFETCH(QStringList, texts);
    Wired w;
    QVERIFY(qt::test::ShowActive(w.window()));
    qt::UpDownArrows* arrows = w.window().PoleArrows();
    QCOMPARE(arrows->Position(), 2);
    w.session->panel().SetText(ctl::kPoleCount, start.toStdU16String());
    for (qsizetype i = 0; i < presses.size(); ++i) {
      w.notices.clear();
      QToolButton* button = presses[i] == u'+' ? arrows->UpButton() : arrows->DownButton();
      QTest::mousePress(button, Qt::LeftButton);
      QTest::mouseRelease(button, Qt::LeftButton);
      QCOMPARE(w.Field(ctl::kPoleCount)->text(), texts[i]);
      QCOMPARE(w.arrow_presses, int(i) + 1);
      const bool changed = texts[i] != (i == 0 ? start : texts[i - 1]);
      QCOMPARE(std::count(w.notices.begin(), w.notices.end(), Notice{2014, kChange}), changed ? 1 : 0);
    }
    // A press puts the caret into the pole-count field.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Field(ctl::kPoleCount)));
  }

  // A held arrow repeats; a repeat arriving while the handler's box is open
  // is dropped and lets the arrow go.
  void noRepeatInsideTheHandlersBox() {
    Wired w;
    qt::UpDownArrows* arrows = w.window().PoleArrows();
    w.window().SetArrowsHandler([&w, arrows] {
      ++w.arrow_presses;
      arrows->UpButton()->setDown(true);
      arrows->StepUp();  // the repeat, from inside the box's event loop
    });
    w.Field(ctl::kPoleCount)->setText(QStringLiteral("10"));
    arrows->StepUp();
    QCOMPARE(w.Field(ctl::kPoleCount)->text(), QStringLiteral("12"));
    QCOMPARE(w.arrow_presses, 1);
    QVERIFY(!arrows->UpButton()->isDown());
  }

  void upAndDownKeysInThePoleCountStepToo() {
    Wired w;
    QLineEdit* field = w.Field(ctl::kPoleCount);
    field->setText(QStringLiteral("10"));
    QTest::keyClick(field, Qt::Key_Up);
    QCOMPARE(field->text(), QStringLiteral("12"));
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);
    QCOMPARE(field->text(), QStringLiteral("8"));
    QCOMPARE(w.arrow_presses, 3);
    // Other fields ignore the arrow keys.
    QTest::keyClick(w.Field(ctl::kGearRatio), Qt::Key_Up);
    QCOMPARE(w.arrow_presses, 3);
  }

  void listsAndButtonsReachTheCore() {
    Wired w;
    QVERIFY(qt::test::ShowActive(w.window()));
    auto* brake = w.window().ControlAs<QComboBox>(ctl::kBrakeType);
    brake->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(brake, Qt::Key_Down);
    QTest::mouseClick(w.window().Control(ctl::kReverseRotation), Qt::LeftButton, Qt::NoModifier, QPoint(8, 12));
    QTest::mouseClick(w.window().Control(ctl::kAutoTiming), Qt::LeftButton, Qt::NoModifier, QPoint(8, 12));
    w.dialogs.defaults_codes.push_back(0);
    QTest::mouseClick(w.window().Control(ctl::kLoadDefaults), Qt::LeftButton);
    const Notices expected{{2013, kListSet},          {2013, ctl::kCbnSelEndOk}, {2013, kListKill},
                           {2001, ctl::kBnClicked}, {2004, ctl::kBnClicked},   {2053, ctl::kBnClicked}};
    QCOMPARE(w.notices, expected);
  }

  // The core may open a modal box while a field loses the focus; the box
  // runs its own loop inside the focus change. Afterwards the focus is where
  // the user put it, and the core hears of it once the window is active again.
  void boxInsideAFocusOut() {
    Wired w;
    QVERIFY(qt::test::ShowActive(w.window()));
    w.session->panel().SetDialogDriver(nullptr);
    int boxes = 0;
    App& app = w.session->app();
    w.window().SetCommandSink([&](ControlId id, uint16_t code) {
      w.notices.emplace_back(id, code);
      if (id == ctl::kPoleCount && code == kKill) {
        ++boxes;
        ClickInModalLater([](QWidget* modal) {
          QVERIFY(qobject_cast<QMessageBox*>(modal) != nullptr);
          qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
        });
        MessageBoxRequest request;
        request.text = u"Invalid pole count";
        request.icon = BoxIcon::Error;
        w.session->panel().ShowMessageBox(request);
        return;
      }
      OnCommand(app, id, code);
    });
    QTest::mouseClick(w.Field(ctl::kPoleCount), Qt::LeftButton);
    QTest::mouseClick(w.Field(ctl::kGearRatio), Qt::LeftButton);
    QApplication::processEvents();
    QCOMPARE(boxes, 1);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(w.window().focusWidget(), static_cast<QWidget*>(w.Field(ctl::kGearRatio)));
    QCOMPARE(w.FocusNotices(), (Notices{{2014, kSet}, {2014, kKill}}));
    QVERIFY(qt::test::ShowActive(w.window()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Field(ctl::kGearRatio)));
    QCOMPARE(w.FocusNotices(), (Notices{{2014, kSet}, {2014, kKill}, {2015, kSet}}));
    QCOMPARE(w.HelpText(), HelpOf(ctl::kGearRatio));
  }
};

QTEST_MAIN(GlueTest)
#include "glue_test.moc"
