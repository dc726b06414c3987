#pragma once
// A device link wired to a simulated port, a fake sleeper whose virtual time
// stamps the unit's transcript, and a reporter that collects CommErrors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/link/protocol.h"
#include "core/link/transfer.h"
#include "sim/sim_hid_port.h"
#include "support/fake_sleeper.h"
#include "support/hex.h"

namespace tavio::test {

// A whole 60-byte report whose leading bytes are `head`, as hex.
inline std::string Full(std::string_view head) {
  std::vector<uint8_t> bytes = Hex(head);
  bytes.resize(kReportSize, 0);
  return ToHex(bytes);
}

// Hex of the bytes from..to-1 of a pattern in which every byte is its index.
inline std::string Seq(unsigned from, unsigned to) {
  std::vector<uint8_t> bytes;
  for (unsigned i = from; i < to; ++i) bytes.push_back(static_cast<uint8_t>(i));
  return ToHex(bytes);
}

// The reports the unit received (or, given FromUnit, sent) as hex, and the requests' command codes.
inline std::vector<std::string> Requests(const sim::SimUnit& unit,
                                         sim::ReportDirection direction = sim::ReportDirection::ToUnit) {
  std::vector<std::string> out;
  for (const sim::TranscriptEntry& e : unit.Transcript()) {
    if (e.direction == direction) out.push_back(ToHex(e.bytes));
  }
  return out;
}
inline std::vector<std::string> Answers(const sim::SimUnit& unit) {
  return Requests(unit, sim::ReportDirection::FromUnit);
}
inline std::vector<uint8_t> Commands(const sim::SimUnit& unit) {
  std::vector<uint8_t> out;
  for (const sim::TranscriptEntry& e : unit.Transcript()) {
    if (e.direction == sim::ReportDirection::ToUnit) out.push_back(e.command);
  }
  return out;
}

class SimLinkTest : public ::testing::Test {
 public:  // table cases arrange the rig through it
  SimLinkTest() { Reset(); }

  // A fresh rig: no unit, nothing recorded.
  void Reset() {
    CloseUsbLink(link);
    port = sim::SimHidPort{};
    sleeper = FakeSleeper{};
    link.port = &port;
    link.sleeper = &sleeper;
    errors.clear();
  }
  sim::SimUnit& AddUnit(sim::SimUnitConfig config = {}, std::string path = "/sim/hidraw0") {
    config.clock = [this] { return sleeper.now_ms; };
    return port.AddUnit(std::move(path), std::move(config));
  }
  // Opens and identifies a unit, then forgets that traffic and its pauses.
  sim::SimUnit& Connect(sim::SimUnitConfig config = {}) {
    sim::SimUnit& unit = AddUnit(std::move(config));
    EXPECT_EQ(OpenUsbLink(link), kResultOk);
    unit.ClearTranscript();
    port.ClearCallLog();
    sleeper.pauses.clear();
    return unit;
  }
  CommErrorReporter Reporter() {
    return [this](const CommError& e) { errors.push_back(e); };
  }

  FakeSleeper sleeper;
  sim::SimHidPort port;
  UsbLink link;
  std::vector<CommError> errors;
};

}  // namespace tavio::test
