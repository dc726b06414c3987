#pragma once
// A device link wired to a simulated port, a fake sleeper whose virtual time
// stamps the unit's transcript, and a reporter that collects CommErrors.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/protocol.h"
#include "core/link/transfer.h"
#include "sim/sim_hid_port.h"
#include "support/fake_sleeper.h"
#include "support/hex.h"

namespace tavio {
inline void PrintTo(const CommError& e, std::ostream* os) {
  *os << "{code " << e.code << ", caption " << e.caption << ", text " << e.text << ", os " << e.os_error << "}";
}
}  // namespace tavio

namespace tavio::test {

inline constexpr const char* kUnitPath = "/sim/hidraw0";

// A whole 60-byte report whose leading bytes are `head`, as hex.
inline std::string Full(std::string_view head, size_t length = kReportSize) {
  std::vector<uint8_t> bytes = Hex(head);
  bytes.resize(length, 0);
  return ToHex(bytes);
}

// Hex of the bytes from..to-1 of a pattern in which every byte is its index.
inline std::string Seq(unsigned from, unsigned to) {
  std::vector<uint8_t> bytes;
  for (unsigned i = from; i < to; ++i) bytes.push_back(static_cast<uint8_t>(i));
  return ToHex(bytes);
}

inline std::vector<std::string> Reports(const sim::SimUnit& unit, sim::ReportDirection direction) {
  std::vector<std::string> out;
  for (const sim::TranscriptEntry& e : unit.Transcript()) {
    if (e.direction == direction) out.push_back(ToHex(e.bytes));
  }
  return out;
}
inline std::vector<std::string> Requests(const sim::SimUnit& unit) {
  return Reports(unit, sim::ReportDirection::ToUnit);
}
inline std::vector<std::string> Answers(const sim::SimUnit& unit) {
  return Reports(unit, sim::ReportDirection::FromUnit);
}
inline std::vector<uint8_t> Commands(const sim::SimUnit& unit) {
  std::vector<uint8_t> out;
  for (const sim::TranscriptEntry& e : unit.Transcript()) {
    if (e.direction == sim::ReportDirection::ToUnit) out.push_back(e.command);
  }
  return out;
}
inline size_t WriteCalls(const sim::SimHidPort& port) {
  size_t n = 0;
  for (const std::string& call : port.CallLog()) n += call.rfind("write", 0) == 0 ? 1 : 0;
  return n;
}

class SimLinkTest : public ::testing::Test {
 public:  // table cases arrange the rig through it
  SimLinkTest() {
    link.port = &port;
    link.sleeper = &sleeper;
  }

  sim::SimUnit& AddUnit(sim::SimUnitConfig config = {}, std::string path = kUnitPath) {
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
