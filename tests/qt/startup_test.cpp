// Start-up through the same wiring main() uses, against the simulated unit:
// what the window shows, the instruction boxes, and plugging and unplugging
// the unit through the event loop.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <string>

#include "core/shell/connection.h"
#include "qt/device_notices.h"
#include "qt/main_window.h"
#include "qt/qt_panel.h"
#include "qt/session.h"
#include "qt_test_support.h"
#include "sim/sim_hid_port.h"
#include "support/fake_sleeper.h"

using namespace tavio;

namespace {

struct Run {
  explicit Run(qt::GuiOptions options, Language language = Language::English) {
    std::string error;
    session = qt::Session::Create(options, language, &sleeper, error);
    if (session != nullptr) session->panel().SetDialogDriver(&dialogs);
  }
  ~Run() {
    if (session != nullptr) session->Stop();
  }
  QString Text(ControlId id) { return QString::fromStdU16String(session->panel().GetText(id)); }
  QString Title() { return session->window().windowTitle(); }
  sim::SimUnit& Unit() { return *session->sim_port()->FindUnit(qt::kSimulatedUnitPath); }

  test::FakeSleeper sleeper;
  qt::test::ScriptedDialogs dialogs;
  std::unique_ptr<qt::Session> session;
};

qt::GuiOptions Simulate(const char* spec, const char* unit = nullptr) {
  qt::GuiOptions options;
  options.simulate = spec;
  if (unit != nullptr) options.sim_unit = unit;
  return options;
}

const QString kNotConnected = QStringLiteral("TAVIO (Version 01.02.00): Not connected");

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qt::UseProgramNumberFormat(); }

  void simulatedBrenta160() {
    Run run(Simulate("BRENTA:160:0x0401"));
    QVERIFY(run.session != nullptr);
    QCOMPARE(run.Title(), QStringLiteral("Tavio"));
    run.session->Start();
    QCOMPARE(run.Title(), QStringLiteral("TAVIO (Version 01.02.00): Connected with BRENTA 160"));
    QCOMPARE(run.Text(ctl::kBecVoltage), QStringLiteral("5.6V"));
    QVERIFY(run.dialogs.boxes.empty());
    QVERIFY(run.session->window().isVisible());
    QVERIFY(run.session->app().hover_ready);
    QVERIFY(run.session->app().notices_registered);
    // The pauses went through the given sleeper, not the real one.
    QVERIFY(!run.sleeper.pauses.empty());
    QCOMPARE(run.session->app().link.sleeper, static_cast<Sleeper*>(&run.sleeper));
  }

  void otherSimulatedUnits_data() {
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("unitName");
    QTest::addColumn<QString>("becVoltage");
    QTest::addRow("ALDER") << "ALDER:100" << "" << "Connected with ALDER 100" << "LINKBOX" << "5.6V";
    QTest::addRow("CORVAN on a LINKPUCK") << "CORVAN:120:0x0400" << "LINKPUCK" << "Connected with CORVAN 120"
                                          << "LINKPUCK" << "5.6V";
    QTest::addRow("DELMAR-Z has no BEC") << "delmar-z" << "linkbox" << "Connected with DELMAR-Z 160"
                                         << "LINKBOX" << "0.0V";
  }
  void otherSimulatedUnits() {
    QFETCH(QString, spec);
    QFETCH(QString, unit);
    QFETCH(QString, title);
    QFETCH(QString, unitName);
    QFETCH(QString, becVoltage);
    const std::string spec_text = spec.toStdString();
    const std::string unit_text = unit.toStdString();
    Run run(Simulate(spec_text.c_str(), unit.isEmpty() ? nullptr : unit_text.c_str()));
    run.session->Start();
    QCOMPARE(run.Title(), QStringLiteral("TAVIO (Version 01.02.00): ") + title);
    QCOMPARE(run.Text(ctl::kLabelUnitName), unitName);
    QCOMPARE(run.Text(ctl::kBecVoltage), becVoltage);
  }

  void germanWindow() {
    Run run(Simulate("BRENTA:160:0x0401"), Language::German);
    run.session->Start();
    QCOMPARE(run.Title(), QStringLiteral("TAVIO (Version 01.02.00): Verbunden mit BRENTA 160"));
    QCOMPARE(run.Text(ctl::kStore), QStringLiteral("Auf Regler speichern"));
    QCOMPARE(run.Text(ctl::kBecVoltage), QStringLiteral("5.6V"));
  }

  // No unit at start: the instruction box, then a plug-in connects silently.
  void unitPluggedInAfterStart() {
    Run run(Simulate("BRENTA:160:0x0401"));
    run.session->sim_port()->Unplug(qt::kSimulatedUnitPath);
    run.session->Start();
    QCOMPARE(run.Title(), kNotConnected);
    QCOMPARE(run.dialogs.boxes.size(), size_t(1));
    const qt::test::BoxSeen& box = run.dialogs.boxes[0];
    QVERIFY(box.text.startsWith(QStringLiteral(
        "No programming unit was found on the USB Port. To program the ESC do the following:\n\n\n\n1.)\n")));
    QCOMPARE(box.caption, QString());
    QCOMPARE(box.icon, QMessageBox::Information);
    QVERIFY(!run.session->panel().IsEnabled(ctl::kBecVoltage));

    run.session->sim_port()->Plug(qt::kSimulatedUnitPath);
    // Posted, not handled inside the port's call.
    QCOMPARE(run.Title(), kNotConnected);
    QApplication::processEvents();
    QCOMPARE(run.Title(), QStringLiteral("TAVIO (Version 01.02.00): Connected with BRENTA 160"));
    QCOMPARE(run.Text(ctl::kBecVoltage), QStringLiteral("5.6V"));
    QVERIFY(run.session->panel().IsEnabled(ctl::kBecVoltage));
    QCOMPARE(run.dialogs.boxes.size(), size_t(1));
  }

  // A plug-in while the start-up box is open connects before it is closed.
  void unitPluggedInWhileTheBoxIsOpen() {
    Run run(Simulate("BRENTA:160:0x0401"));
    run.session->sim_port()->Unplug(qt::kSimulatedUnitPath);
    QString title_while_open;
    run.dialogs.while_box_open = [&run, &title_while_open] {
      run.dialogs.while_box_open = nullptr;
      run.session->sim_port()->Plug(qt::kSimulatedUnitPath);
      QApplication::processEvents();  // the box's own loop
      title_while_open = run.Title();
    };
    run.session->Start();
    QCOMPARE(title_while_open, QStringLiteral("TAVIO (Version 01.02.00): Connected with BRENTA 160"));
    QCOMPARE(run.Title(), QStringLiteral("TAVIO (Version 01.02.00): Connected with BRENTA 160"));
  }

  void unplugShowsTheNotConnectedWindowThenTheBox() {
    Run run(Simulate("BRENTA:160:0x0401"));
    run.session->Start();
    QString title_at_box;
    run.dialogs.while_box_open = [&run, &title_at_box] { title_at_box = run.Title(); };
    run.session->sim_port()->Unplug(qt::kSimulatedUnitPath);
    QVERIFY(run.dialogs.boxes.empty());
    QApplication::processEvents();
    QCOMPARE(run.dialogs.boxes.size(), size_t(1));
    QVERIFY(run.dialogs.boxes[0].text.startsWith(
        QStringLiteral("The USB Connection between programming unit and PC was lost.")));
    QCOMPARE(title_at_box, kNotConnected);
    QCOMPARE(run.Text(ctl::kEscFirmwareVersion), QStringLiteral("0.0.0"));
  }

  void unplugAfterOptionReachesTheUnit() {
    qt::GuiOptions options = Simulate("BRENTA:160:0x0401");
    options.sim_unplug_after = 40;
    Run run(options);
    QCOMPARE(run.Unit().faults().unplug_after_exchanges, std::optional<uint32_t>(40));
  }

  // The unit vanishes in the middle of "Store on ESC": the error boxes come
  // from the write; its removal notice waits for the event loop and then
  // finds the link already closed.
  void unplugInTheMiddleOfAWrite() {
    Run run(Simulate("BRENTA:160:0x0401"));
    run.session->Start();
    // Gone right after taking the system lock, before anything was erased.
    run.Unit().faults().unplug_after_exchanges = run.Unit().ExchangeCount() + 1;
    QVERIFY(qt::test::ShowActive(run.session->window()));
    QTest::mouseClick(run.session->window().Control(ctl::kStore), Qt::LeftButton);
    QCOMPARE(run.dialogs.boxes.size(), size_t(2));
    QVERIFY(run.dialogs.boxes[0].text.endsWith(QStringLiteral("System has error code 0xfffffffe-0x00000013")));
    QCOMPARE(run.dialogs.boxes[0].caption, QStringLiteral("Communication error"));
    QCOMPARE(run.dialogs.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(run.dialogs.boxes[1].caption, QStringLiteral("Communication error"));
    QCOMPARE(run.Title(), kNotConnected);
    QVERIFY(!IsConnected(run.session->app().link));

    static_cast<qt::SimNotices&>(run.session->notices()).PostPendingNotices();
    QCOMPARE(run.session->sim_port()->PendingNoticeCount(), size_t(0));
    QApplication::processEvents();
    QCOMPARE(run.dialogs.boxes.size(), size_t(2));
    // Plugged in again, it connects once more.
    run.Unit().faults().unplug_after_exchanges.reset();
    QVERIFY(run.session->sim_port()->Plug(qt::kSimulatedUnitPath));
    QApplication::processEvents();
    QCOMPARE(run.Title(), QStringLiteral("TAVIO (Version 01.02.00): Connected with BRENTA 160"));
  }

  void stopReleasesTheNoticesAndTheLink() {
    Run run(Simulate("BRENTA:160:0x0401"));
    run.session->Start();
    run.session->Stop();
    QVERIFY(!run.session->app().notices_registered);
    QVERIFY(!IsConnected(run.session->app().link));
    QCOMPARE(run.session->sim_port()->OpenHandleCount(), size_t(0));
    run.session->sim_port()->Unplug(qt::kSimulatedUnitPath);
    QApplication::processEvents();
    QVERIFY(run.dialogs.boxes.empty());
  }

  void simulatedMemoryThatCannotBeRead() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("eeprom.bin"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("too short");
    file.close();
    qt::GuiOptions options = Simulate("BRENTA");
    options.sim_eeprom = path.toStdString();
    std::string error;
    test::FakeSleeper sleeper;
    QVERIFY(qt::Session::Create(options, Language::English, &sleeper, error) == nullptr);
    QCOMPARE(QString::fromStdString(error), QStringLiteral("'%1' does not hold exactly 256 bytes").arg(path));
  }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
