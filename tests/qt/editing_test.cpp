// Editing in the real window over the simulated unit: keys typed into the
// widgets reach the editors and the image, as a user's would.

#include <QApplication>
#include <QLineEdit>
#include <QtTest>
#include <memory>
#include <string>

#include "core/link/protocol.h"
#include "qt/main_window.h"
#include "qt/qt_panel.h"
#include "qt/session.h"
#include "qt/up_down_arrows.h"
#include "qt_test_support.h"
#include "sim/sim_hid_port.h"
#include "support/fake_sleeper.h"

using namespace tavio;

namespace {

struct Run {
  Run() {
    qt::GuiOptions options;
    options.simulate = "BRENTA:160:0x0401";
    std::string error;
    session = qt::Session::Create(options, Language::English, &sleeper, error);
    session->panel().SetDialogDriver(&dialogs);
    session->Start();
    qt::test::ShowActive(session->window());
  }
  ~Run() { session->Stop(); }

  QLineEdit* Field(ControlId id) { return session->window().ControlAs<QLineEdit>(id); }
  uint16_t ImageU16(size_t offset) { return GetU16(session->app().image, offset); }
  size_t WritesToUnit() {
    size_t n = 0;
    for (const auto& e : session->sim_port()->FindUnit(qt::kSimulatedUnitPath)->Transcript()) {
      n += e.direction == sim::ReportDirection::ToUnit ? 1 : 0;
    }
    return n;
  }

  test::FakeSleeper sleeper;
  qt::test::ScriptedDialogs dialogs;
  std::unique_ptr<qt::Session> session;
};

// Replaces a field's text by typing, as a user selecting all and typing over it.
void TypeInto(QLineEdit* field, const QString& keys) {
  field->setFocus();
  QApplication::processEvents();
  field->selectAll();
  QTest::keyClicks(field, keys);
}

constexpr size_t kCutoffLipoOffset = 0x0A;
constexpr size_t kHoldTimeOffset = 0x12;
constexpr size_t kPoleCountOffset = 0x48;

}  // namespace

class EditingTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qt::UseProgramNumberFormat(); }

  void tabCommitsTheCutOffForLipo() {
    Run run;
    QLineEdit* cutoff = run.Field(ctl::kCutoffVoltage);
    TypeInto(cutoff, QStringLiteral("3200mV"));
    // The field takes digits only: the unit letters are refused as typed.
    QCOMPARE(cutoff->text(), QStringLiteral("3200"));
    QTest::keyClick(cutoff, Qt::Key_Tab);
    QCOMPARE(run.ImageU16(kCutoffLipoOffset), uint16_t{3200});
    QCOMPARE(cutoff->text(), QStringLiteral("3200mV"));
    QVERIFY(run.session->app().hover_ready);
  }

  void refusedEntrySnapsBackSilently() {
    Run run;
    QLineEdit* hold = run.Field(ctl::kHoldTime);
    TypeInto(hold, QStringLiteral("99"));
    QTest::keyClick(hold, Qt::Key_Tab);
    QCOMPARE(run.ImageU16(kHoldTimeOffset), uint16_t{2000});
    QCOMPARE(hold->text(), QStringLiteral("2000ms"));
    QVERIFY(run.dialogs.boxes.empty());
  }

  void enterMovesTheFocusToStoreAndCommitsWithoutWriting() {
    Run run;
    const size_t writes_before = run.WritesToUnit();
    QLineEdit* hold = run.Field(ctl::kHoldTime);
    TypeInto(hold, QStringLiteral("1500"));
    QVERIFY(!run.session->app().hover_ready);  // a field holds the focus
    QTest::keyClick(hold, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), run.session->window().Control(ctl::kStore));
    QCOMPARE(run.ImageU16(kHoldTimeOffset), uint16_t{1500});
    QCOMPARE(hold->text(), QStringLiteral("1500ms"));
    QCOMPARE(run.WritesToUnit(), writes_before);  // nothing went to the ESC
    QVERIFY(run.dialogs.boxes.empty());
  }

  void anArrowPressStoresTheNewEvenPoleCount() {
    Run run;
    auto* arrows = static_cast<qt::UpDownArrows*>(run.session->window().Control(ctl::kPoleArrows));
    QVERIFY(arrows != nullptr);
    QCOMPARE(run.ImageU16(kPoleCountOffset), uint16_t{2});
    arrows->StepUp();
    QCOMPARE(run.Field(ctl::kPoleCount)->text(), QStringLiteral("4"));
    QCOMPARE(run.ImageU16(kPoleCountOffset), uint16_t{4});
    QVERIFY(run.dialogs.boxes.empty());
  }

  void anOddPoleCountIsRefusedWithTheMessage() {
    Run run;
    QLineEdit* poles = run.Field(ctl::kPoleCount);
    TypeInto(poles, QStringLiteral("7"));
    QTest::keyClick(poles, Qt::Key_Tab);
    QCOMPARE(run.dialogs.boxes.size(), size_t{1});
    QCOMPARE(run.dialogs.boxes[0].caption, QStringLiteral("Invalid data"));
    QCOMPARE(run.dialogs.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(poles->text(), QStringLiteral("2"));
    QCOMPARE(run.ImageU16(kPoleCountOffset), uint16_t{2});
  }

  void storeOnEscWritesTheEditedImage() {
    Run run;
    QLineEdit* hold = run.Field(ctl::kHoldTime);
    TypeInto(hold, QStringLiteral("1500"));
    QTest::keyClick(hold, Qt::Key_Tab);
    QTest::mouseClick(run.session->window().Control(ctl::kStore), Qt::LeftButton);
    QCOMPARE(run.dialogs.boxes.size(), size_t{1});
    QCOMPARE(run.dialogs.boxes[0].text,
             QStringLiteral("The configuration parameters have been transferred to the ESC successfully"));
    const auto eeprom = run.session->sim_port()->FindUnit(qt::kSimulatedUnitPath)->Eeprom();
    QCOMPARE(GetU16(eeprom, kHoldTimeOffset), uint16_t{1500});
    QVERIFY(ChecksumMatches(run.session->app().image, kChecksum88));
  }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
