// Every exchange of a 92-byte readout and of the 92-byte write sequence,
// failed in every way the unit can fail: what the user is told, that nothing
// is sent after the failure, and what the ESC and the image hold afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "core/files/commands.h"
#include "link/sim_link_fixture.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

enum Fault { kUnplugBefore, kUnplugDuring, kErrorStatus, kNoAnswer };
const char* const kFaultNames[] = {"UnplugBefore", "UnplugDuring", "ErrorStatus", "NoAnswer"};
// The code line of each: the result and the platform's error value.
const char16_t* const kCodeLines[] = {u"0xfffffffe-0x00000013", u"0xfffffffd-0x00000013", u"0x00001234-0x00000000",
                                      u"0xfffffffd-0x0000006e"};

void Inject(sim::SimUnit& unit, Fault fault, uint32_t exchange) {
  sim::SimFaults& f = unit.faults();
  if (fault == kUnplugBefore) f.unplug_after_exchanges = exchange;
  if (fault == kUnplugDuring) f.unplug_during_exchange = exchange;
  if (fault == kErrorStatus) f.errors.push_back({sim::Trigger::AtExchange(exchange), 0x1234});
  if (fault == kNoAnswer) f.no_answer.push_back(sim::Trigger::AtExchange(exchange));
}

Text Str(StringId id) { return Text(LoadString(Language::English, id)); }
std::vector<uint8_t> Bytes(std::span<const uint8_t> eeprom) { return {eeprom.begin(), eeprom.end()}; }

// The failure's two boxes, and the window left not connected.
void ExpectCommError(const AppHarness& h, StringId text, const char16_t* code_line) {
  const Text caption = u"Communication error";
  EXPECT_EQ(h.panel.boxes, (std::vector<MessageBoxRequest>{
                               {Str(text) + u"\r\nSystem has error code " + code_line, caption, BoxIcon::Error},
                               {Str(sid::kCommErrorRetry), caption, BoxIcon::Error}}));
  EXPECT_FALSE(IsConnected(h.app.link));
  EXPECT_EQ(ToUtf8(h.panel.title), "TAVIO (Version 01.02.00): Not connected");
}

using MatrixCase = std::tuple<Fault, uint32_t>;  // the fault and the exchange it hits

auto AllCases(uint32_t exchanges) {
  return ::testing::Combine(::testing::Values(kUnplugBefore, kUnplugDuring, kErrorStatus, kNoAnswer),
                            ::testing::Range(0u, exchanges));
}
std::string CaseName(const ::testing::TestParamInfo<MatrixCase>& info) {
  return std::string(kFaultNames[std::get<0>(info.param)]) + "At" + std::to_string(std::get<1>(info.param));
}

// Start-up: identification (UnitStatus, info block, identity) is exchanges
// 0..2, the readout of 92 bytes (4 + 48 + 40) exchanges 3..5.
class ReadoutFault : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(ReadoutFault, IsReportedAndLeavesTheImagePartlyRead) {
  const auto [fault, k] = GetParam();
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  const std::vector<uint8_t> eeprom = Bytes(unit.Eeprom());
  Inject(unit, fault, k);
  h.Start();
  h.port.DeliverPendingNotices();  // an unplugged unit's removal changes nothing more

  EXPECT_EQ(Commands(unit).size(), fault == kUnplugBefore ? k : k + 1);
  EXPECT_EQ(Bytes(unit.Eeprom()), eeprom);
  // The controls keep their creation texts: a half-read image is not shown.
  EXPECT_EQ(ToUtf8(h.panel.GetText(ctl::kBecVoltage)), "0.0V");
  ConfigImage expected;  // zero before any readout
  if (k < 3) {
    // Identification failed: the start-up explanation, no error boxes. The
    // status command is not tested for an error answer, whose zero bytes
    // then read as "no updatable ESC".
    const StringId explanation = fault == kErrorStatus && k == 0 ? sid::kNoUpdatableEsc : sid::kNoUnitFound;
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    EXPECT_EQ(h.panel.boxes[0].text.rfind(Str(explanation), 0), 0u);
    EXPECT_FALSE(IsConnected(h.app.link));
    EXPECT_EQ(ToUtf8(h.panel.title), "TAVIO (Version 01.02.00): Not connected");
  } else {
    ExpectCommError(h, sid::kReadEepromFailed, kCodeLines[fault]);
    // The pieces before the failed one stay in the image.
    std::copy_n(eeprom.begin(), k == 3 ? 0 : k == 4 ? 4 : 52, expected.bytes.begin());
  }
  EXPECT_EQ(h.app.image, expected);
}

INSTANTIATE_TEST_SUITE_P(EveryExchange, ReadoutFault, AllCases(6), CaseName);

// The write sequence after a complete start-up (exchanges 0..5): lock, flash
// access 0, erase, assign, two blocks, flash access 1, unlock.
class WriteFault : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(WriteFault, IsReportedAndLeavesTheEscAsFarAsItGot) {
  constexpr StringId kStepText[] = {sid::kSystemLockFailed, sid::kFlashAccessFailed, sid::kEraseFailed,
                                    sid::kAssignAddressFailed, sid::kWriteBlockFailed, sid::kWriteBlockFailed};
  const auto [fault, k] = GetParam();
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  PutU16(h.app.image, 0x12, 1500);  // an edited hold time, so sealing changes the checksum
  ConfigImage sealed = h.app.image;
  SealImage(sealed, kChecksum88);
  std::vector<uint8_t> eeprom = Bytes(unit.Eeprom());
  if (k >= 3) std::fill(eeprom.begin(), eeprom.end(), 0xFF);       // erased
  if (k >= 5) std::copy_n(sealed.bytes.begin(), 48, eeprom.begin());  // first block
  if (k >= 6) std::copy_n(sealed.bytes.begin(), 92, eeprom.begin());  // both blocks
  unit.ClearTranscript();
  Inject(unit, fault, 6 + k);
  h.panel.boxes.clear();

  StoreOnEsc(h.app);
  h.port.DeliverPendingNotices();

  EXPECT_EQ(h.app.image, sealed);
  EXPECT_EQ(Bytes(unit.Eeprom()), eeprom);
  const bool unplugged = fault == kUnplugBefore || fault == kUnplugDuring;
  // An unplugged unit takes no request after the failure; any other failure
  // ends the sequence, unless it is one of the two closing steps.
  EXPECT_EQ(Commands(unit).size(), fault == kUnplugBefore ? k : unplugged || k < 6 ? k + 1 : 8);
  if (k < 6) {
    // The lock looks only at the echoed state, which an error answer lacks: 1627.
    const bool lock_error = k == 0 && fault == kErrorStatus;
    ExpectCommError(h, kStepText[k], lock_error ? u"0x0000065b-0x00000000" : kCodeLines[fault]);
  } else {
    // The closing steps' results are not examined: every block was written.
    // An unplugged unit is then noticed as removed.
    ASSERT_EQ(h.panel.boxes.size(), unplugged ? 2u : 1u);
    EXPECT_EQ(h.panel.boxes[0].text, Str(sid::kStoreSucceeded));
    EXPECT_EQ(IsConnected(h.app.link), !unplugged);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryExchange, WriteFault, AllCases(8), CaseName);

}  // namespace
}  // namespace tavio::test
