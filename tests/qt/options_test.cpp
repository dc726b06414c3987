// The window's command line: what each option sets and every usage error.

#include <QtTest>
#include <string>
#include <vector>

#include "qt/session.h"

using tavio::qt::GuiOptions;
using tavio::qt::ParseGuiOptions;

namespace {

std::vector<std::string> Split(const QString& line) {
  std::vector<std::string> args;
  for (const QString& word : line.split(u' ', Qt::SkipEmptyParts)) args.push_back(word.toStdString());
  return args;
}

QString Show(const std::optional<std::string>& value) {
  return value ? QString::fromStdString(*value) : QStringLiteral("-");
}

}  // namespace

class OptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void accepted_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("simulate");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("eeprom");
    QTest::addColumn<int>("unplugAfter");  // -1: not given
    QTest::addColumn<bool>("help");
    QTest::addRow("nothing") << "" << "-" << "-" << "-" << -1 << false;
    QTest::addRow("simulate") << "--simulate BRENTA:160:0x0401" << "BRENTA:160:0x0401" << "-" << "-" << -1 << false;
    QTest::addRow("equals form") << "--simulate=ALDER --sim-unit=LINKPUCK" << "ALDER" << "LINKPUCK" << "-" << -1
                                 << false;
    QTest::addRow("all sim options") << "--sim-eeprom /tmp/esc.bin --simulate corvan:120 --sim-unplug-after 25"
                                     << "corvan:120" << "-" << "/tmp/esc.bin" << 25 << false;
    QTest::addRow("zero exchanges") << "--simulate 400 --sim-unplug-after=0" << "400" << "-" << "-" << 0 << false;
    QTest::addRow("help") << "--help" << "-" << "-" << "-" << -1 << true;
    QTest::addRow("short help with sim option") << "-h --sim-unit LINKBOX" << "-" << "LINKBOX" << "-" << -1
                                                << true;
  }
  void accepted() {
    QFETCH(QString, line);
    QFETCH(QString, simulate);
    QFETCH(QString, unit);
    QFETCH(QString, eeprom);
    QFETCH(int, unplugAfter);
    QFETCH(bool, help);
    GuiOptions options;
    std::string error;
    QVERIFY2(ParseGuiOptions(Split(line), options, error), error.c_str());
    QCOMPARE(Show(options.simulate), simulate);
    QCOMPARE(Show(options.sim_unit), unit);
    QCOMPARE(Show(options.sim_eeprom), eeprom);
    QCOMPARE(options.sim_unplug_after ? int(*options.sim_unplug_after) : -1, unplugAfter);
    QCOMPARE(options.help, help);
  }

  void refused_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");
    QTest::addRow("unknown option") << "--verbose" << "unknown option --verbose";
    QTest::addRow("argument") << "info" << "unexpected argument info";
    QTest::addRow("missing value") << "--simulate" << "--simulate needs a value";
    QTest::addRow("unit without simulate") << "--sim-unit LINKBOX" << "--sim-unit needs --simulate";
    QTest::addRow("eeprom without simulate") << "--sim-eeprom x.bin" << "--sim-eeprom needs --simulate";
    QTest::addRow("unplug without simulate") << "--sim-unplug-after 3" << "--sim-unplug-after needs --simulate";
    QTest::addRow("unplug count not a number")
        << "--simulate BRENTA --sim-unplug-after 3x" << "--sim-unplug-after needs a number of exchanges, not '3x'";
    QTest::addRow("negative count") << "--simulate BRENTA --sim-unplug-after -1"
                                    << "--sim-unplug-after needs a number of exchanges, not '-1'";
  }
  void refused() {
    QFETCH(QString, line);
    QFETCH(QString, error);
    GuiOptions options;
    std::string message;
    QVERIFY(!ParseGuiOptions(Split(line), options, message));
    QCOMPARE(QString::fromStdString(message), error);
  }

  // The simulated unit's texts are checked by the simulator's own parser.
  void badSimulatorValuesAreUsageErrors_data() {
    QTest::addColumn<QString>("line");
    QTest::addRow("family") << "--simulate WALNUT";
    QTest::addRow("too many parts") << "--simulate BRENTA:160:0x0401:7";
    QTest::addRow("unit kind") << "--simulate BRENTA --sim-unit LINKBRICK";
  }
  void badSimulatorValuesAreUsageErrors() {
    QFETCH(QString, line);
    GuiOptions options;
    std::string message;
    QVERIFY(!ParseGuiOptions(Split(line), options, message));
    QVERIFY(!message.empty());
  }

  // The start-up benchmark's switch is taken but not offered.
  void benchmarkSwitchIsHidden_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("benchmark");
    QTest::addRow("with a simulated unit") << "--simulate BRENTA:160:0x0401 --benchmark-startup" << true;
    QTest::addRow("first") << "--benchmark-startup --simulate ALDER" << true;
    QTest::addRow("alone") << "--benchmark-startup" << true;
    QTest::addRow("not given") << "--simulate ALDER" << false;
  }
  void benchmarkSwitchIsHidden() {
    QFETCH(QString, line);
    QFETCH(bool, benchmark);
    GuiOptions options;
    std::string error;
    QVERIFY2(ParseGuiOptions(Split(line), options, error), error.c_str());
    QCOMPARE(options.benchmark_startup, benchmark);
    QVERIFY(!QString::fromStdString(tavio::qt::GuiUsageText()).contains(QStringLiteral("benchmark")));
  }

  void usageNamesEveryOption() {
    const QString usage = QString::fromStdString(tavio::qt::GuiUsageText());
    QVERIFY(usage.startsWith(QStringLiteral("Usage: tavio [OPTIONS]\n")));
    for (const char* option : {"--simulate FAMILY[:MODEL[:VERSION]]", "--sim-unit LINKBOX|LINKPUCK",
                               "--sim-eeprom PATH", "--sim-unplug-after N", "-h, --help"}) {
      QVERIFY2(usage.contains(QString::fromLatin1(option)), option);
    }
  }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
