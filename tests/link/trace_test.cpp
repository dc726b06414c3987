// The trace of the reports to and from the unit: every report of a readout,
// with its time and exchange, and the failures in between.

#include <sstream>

#include "core/link/trace_port.h"
#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The time column: milliseconds since the start with three decimals.
std::string At(uint64_t ms) {
  std::string text = std::to_string(ms) + ".000  ";
  return std::string(9 + 6 - text.size(), ' ') + text;
}

TEST_F(SimLinkTest, TraceHoldsEveryReportOfAReadout) {
  std::ostringstream out;
  sleeper.now_ms = 5;  // the trace counts from its own start
  TracingHidPort tracing(port, out, [this] { return sleeper.now_ms * 1000 + 250; });
  link.port = &tracing;
  port.AddForeign("/sim/hidraw0", 0x046D, 0xC52B);
  sim::SimUnit& unit = AddUnit({}, "/sim/hidraw1");
  ASSERT_EQ(OpenUsbLink(link), kResultOk);
  ConfigImage image;
  ASSERT_EQ(ReadConfiguration(link, image, Reporter()), 92);
  CloseUsbLink(link);

  std::vector<std::string> expected = {
      "#  tavio trace: milliseconds since the start, then #N the exchange since the unit was opened (from 0), > a "
      "report written, < a report read, in hex from the report ID on",
      At(0) + "list: 2 found", At(0) + "list  /sim/hidraw0 046D:C52B", At(0) + "list  /sim/hidraw1 7A3E:0002",
      At(0) + "open /sim/hidraw1: ok", At(0) + "lengths: in 60 out 60"};
  // Identification (3 exchanges), then the readout: 4, 48 and 40 bytes.
  ASSERT_EQ(unit.Transcript().size(), 12u);
  for (const sim::TranscriptEntry& e : unit.Transcript()) {
    const char* arrow = e.direction == sim::ReportDirection::ToUnit ? " > " : " < ";
    expected.push_back(At(e.time_ms - 5) + "#" + std::to_string(e.exchange) + arrow + ToHex(e.bytes));
  }
  expected.push_back(At(60) + "close");
  EXPECT_EQ(Lines(out.str()), expected);
  EXPECT_EQ(expected[6], At(0) + "#0 > " + Full("01 08 00 00"));
  EXPECT_EQ(expected[14].substr(0, 34), At(20) + "#4 > 01 1D 08 00 30");
  EXPECT_EQ(expected[16].substr(0, 34), At(40) + "#5 > 01 1D 08 00 28");
}

TEST_F(SimLinkTest, TraceShowsFailuresAndCountsExchangesFromEachOpen) {
  std::ostringstream out;
  TracingHidPort tracing(port, out, [this] { return sleeper.now_ms * 1000; });
  link.port = &tracing;
  port.AddUnopenable("/sim/hidraw0", kUnitVendorId, kProductLinkbox, HidOpenStatus::AccessDenied);
  sim::SimUnit& unit = AddUnit({}, "/sim/hidraw1");
  unit.faults().no_answer.push_back(sim::Trigger::AtExchange(1));
  // The advice for the refusal is the inner port's, through the trace.
  port.SetAccessRemedy(DeniedAccessRemedy::CloseOtherProgram);
  OpenDiagnostics diagnostics;
  EXPECT_EQ(OpenUsbLink(link, &diagnostics), kResultReadFailed);
  EXPECT_EQ(diagnostics.denied_path, "/sim/hidraw0");
  EXPECT_EQ(diagnostics.denied_remedy, DeniedAccessRemedy::CloseOtherProgram);
  unit.faults().no_answer.clear();
  unit.faults().unplug_after_exchanges = 0;
  EXPECT_EQ(OpenUsbLink(link), kResultWriteFailed);
  std::vector<std::string> lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 19u);
  const std::vector<std::string> tail(lines.begin() + 4, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{
                      At(0) + "open /sim/hidraw0: access denied (error 13)",
                      At(0) + "open /sim/hidraw1: ok",
                      At(0) + "lengths: in 60 out 60",
                      At(0) + "#0 > " + Full("01 08 00 00"),
                      At(0) + "#0 < " + Full("02 00 0C 00 03 00 00 00 00 03 01 00 01"),
                      At(0) + "#1 > " + Full("01 1D 08 00 20 00 00 00 E0 FF FF FF"),
                      At(0) + "#1 < time-out (error 110)",
                      At(0) + "close",
                      At(0) + "list: 2 found",
                      At(0) + "list  /sim/hidraw0 7A3E:0002",
                      At(0) + "list  /sim/hidraw1 7A3E:0002",
                      At(0) + "open /sim/hidraw0: access denied (error 13)",
                      At(0) + "open /sim/hidraw1: ok",
                      At(0) + "lengths: in 60 out 60",
                      // Exchanges count from 0 again; the unit is gone.
                      At(0) + "#0 > " + Full("01 08 00 00") + "  failed (error 19)",
                  }));
}

}  // namespace
}  // namespace tavio::test
