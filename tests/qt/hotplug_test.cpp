// The window as main() wires it without --simulate, on mocked hidraw nodes:
// udev's arrival and removal notices reach it through the monitor socket, and
// the unchanged tavio program connects to a unit plugged in after its start.

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include "core/link/protocol.h"
#include "platform/umockdev/mock_hid_bus.h"
#include "qt_fixture.h"

using namespace tavio;
using namespace tavio::qt::test;

namespace {

const QString kConnected = QStringLiteral("TAVIO (Version 01.02.00): Connected with BRENTA 160");
const QString kNotConnected = QStringLiteral("TAVIO (Version 01.02.00): Not connected");

test::MockNode Linkbox(const char* name) {
  test::MockNode node;
  node.name = name;
  return node;
}

size_t ReadMemoryRequests(const std::vector<sim::TranscriptEntry>& transcript) {
  size_t n = 0;
  for (const sim::TranscriptEntry& e : transcript) {
    n += e.direction == sim::ReportDirection::ToUnit && e.command == cmd::kReadMemory;
  }
  return n;
}

}  // namespace

class HotplugTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    const std::string why = test::MockHidBus::Unavailable();
    if (!why.empty()) QSKIP(qPrintable(QStringLiteral("mocked hidraw nodes unavailable: ") + QString::fromStdString(why)));
  }

  void plugInConnectsAndUnplugShowsTheLostConnection() {
    test::MockHidBus bus;  // before the window: its monitor socket lives in the testbed
    qt::GuiOptions options;
    std::string error;
    test::FakeSleeper sleeper;
    Dialogs dialogs;
    auto session = qt::Session::Create(options, Language::English, &sleeper, error);
    QVERIFY2(session != nullptr, error.c_str());
    QCOMPARE(session->sim_port(), nullptr);
    session->panel().SetDialogDriver(&dialogs);
    session->Start();
    QCOMPARE(dialogs.boxes.size(), size_t(1));
    QVERIFY(dialogs.boxes[0].text.startsWith(QStringLiteral("No programming unit was found on the USB Port.")));
    QCOMPARE(session->window().windowTitle(), kNotConnected);

    bus.Plug(Linkbox("hidraw6"));
    QTRY_COMPARE(session->window().windowTitle(), kConnected);
    QCOMPARE(QString::fromStdU16String(session->panel().GetText(ctl::kBecVoltage)), QStringLiteral("5.6V"));
    QCOMPARE(dialogs.boxes.size(), size_t(1));
    QCOMPARE(session->app().link.device_path, std::optional<std::string>("/dev/hidraw6"));

    // Another device coming and going changes nothing.
    test::MockNode other = Linkbox("hidraw7");
    other.vendor_id = 0x1234;
    bus.Plug(other);
    bus.Unplug("hidraw7");
    QTest::qWait(0);
    QCOMPARE(session->window().windowTitle(), kConnected);
    QCOMPARE(dialogs.boxes.size(), size_t(1));

    QString title_at_box;
    dialogs.while_box_open = [&] { title_at_box = session->window().windowTitle(); };
    bus.Unplug("hidraw6");
    QTRY_COMPARE(dialogs.boxes.size(), size_t(2));
    QVERIFY(dialogs.boxes[1].text.startsWith(
        QStringLiteral("The USB Connection between programming unit and PC was lost. To program the ESC do the following:")));
    QCOMPARE(dialogs.boxes[1].icon, QMessageBox::Information);
    QCOMPARE(title_at_box, kNotConnected);
    QCOMPARE(session->window().windowTitle(), kNotConnected);
    session->Stop();
  }

  void theProgramConnectsToAUnitPluggedInAfterItsStart() {
    test::MockHidBus bus;
    const QDir root(QString::fromStdString(bus.RootDir()));
    QProcess tavio;
    tavio.start(QStringLiteral(TAVIO_GUI_EXECUTABLE), {});
    QVERIFY(tavio.waitForStarted(20000));
    // Its udev monitor shows up as an event socket in the testbed; plugging
    // in before that would be a unit present at start.
    QTRY_VERIFY_WITH_TIMEOUT(!root.entryList({QStringLiteral("event*")}, QDir::System).isEmpty(), 20000);
    bus.Plug(Linkbox("hidraw0"));
    // Identified, then the block read: 4 bytes, 48 and 40.
    QTRY_COMPARE_WITH_TIMEOUT(ReadMemoryRequests(bus.Transcript("hidraw0")), size_t(4), 20000);
    QCOMPARE(tavio.state(), QProcess::Running);
    tavio.kill();
    tavio.waitForFinished(20000);
  }
};

QTEST_MAIN(HotplugTest)
#include "hotplug_test.moc"
