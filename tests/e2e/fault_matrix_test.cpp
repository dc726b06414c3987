// Every exchange of a 92-byte readout and of the 92-byte write sequence,
// failed in every way the unit can fail: what the user is told, that nothing
// is sent after the failure, and what the ESC and the image hold afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/files/commands.h"
#include "core/link/protocol.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

enum class Fault { UnplugBefore, UnplugDuring, ErrorStatus, NoAnswer };

constexpr uint32_t kUnitErrorCode = 0x1234;

const char* FaultName(Fault f) {
  switch (f) {
    case Fault::UnplugBefore: return "UnplugBefore";
    case Fault::UnplugDuring: return "UnplugDuring";
    case Fault::ErrorStatus: return "ErrorStatus";
    case Fault::NoAnswer: return "NoAnswer";
  }
  return "?";
}

void Inject(sim::SimUnit& unit, Fault fault, uint32_t exchange) {
  switch (fault) {
    case Fault::UnplugBefore: unit.faults().unplug_after_exchanges = exchange; break;
    case Fault::UnplugDuring: unit.faults().unplug_during_exchange = exchange; break;
    case Fault::ErrorStatus: unit.faults().errors.push_back({sim::Trigger::AtExchange(exchange), kUnitErrorCode}); break;
    case Fault::NoAnswer: unit.faults().no_answer.push_back(sim::Trigger::AtExchange(exchange)); break;
  }
}

// The code line a failed exchange shows: the result and the platform's error value.
std::string CodeLine(Fault fault, bool state_echo_command) {
  switch (fault) {
    case Fault::UnplugBefore: return "System has error code 0xfffffffe-0x00000013";
    case Fault::UnplugDuring: return "System has error code 0xfffffffd-0x00000013";
    case Fault::NoAnswer: return "System has error code 0xfffffffd-0x0000006e";
    case Fault::ErrorStatus:
      // The lock looks only at the echoed state, which an error answer lacks.
      return state_echo_command ? "System has error code 0x0000065b-0x00000000"
                                : "System has error code 0x00001234-0x00000000";
  }
  return "";
}

size_t RequestsSent(const sim::SimUnit& unit) {
  return static_cast<size_t>(std::count_if(unit.Transcript().begin(), unit.Transcript().end(),
                                           [](const sim::TranscriptEntry& e) {
                                             return e.direction == sim::ReportDirection::ToUnit;
                                           }));
}

std::string Text8(StringId id) { return ToUtf8(LoadString(Language::English, id)); }

struct MatrixCase {
  Fault fault;
  uint32_t exchange;
};

std::vector<MatrixCase> AllCases(uint32_t exchanges) {
  std::vector<MatrixCase> cases;
  for (Fault f : {Fault::UnplugBefore, Fault::UnplugDuring, Fault::ErrorStatus, Fault::NoAnswer}) {
    for (uint32_t k = 0; k < exchanges; ++k) cases.push_back({f, k});
  }
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<MatrixCase>& info) {
  return std::string(FaultName(info.param.fault)) + "At" + std::to_string(info.param.exchange);
}

// Start-up: identification (UnitStatus, info block, identity) is exchanges
// 0..2, the readout of 92 bytes (4 + 48 + 40) exchanges 3..5.
class ReadoutFault : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(ReadoutFault, IsReportedAndLeavesTheImagePartlyRead) {
  const auto [fault, k] = GetParam();
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  const std::vector<uint8_t> eeprom_before(unit.Eeprom().begin(), unit.Eeprom().end());
  Inject(unit, fault, k);
  h.Start();
  h.port.DeliverPendingNotices();  // an unplugged unit's removal changes nothing more

  EXPECT_FALSE(IsConnected(h.app.link));
  EXPECT_EQ(ToUtf8(h.panel.title), "TAVIO (Version 01.02.00): Not connected");
  EXPECT_EQ(RequestsSent(unit), fault == Fault::UnplugBefore ? k : k + 1);
  EXPECT_EQ(std::vector<uint8_t>(unit.Eeprom().begin(), unit.Eeprom().end()), eeprom_before);

  ConfigImage expected;  // zero before any readout
  if (k < 3) {
    // Identification failed: the start-up explanation, no error boxes. The
    // status command is not tested for an error answer, whose zero bytes
    // then read as "no updatable ESC".
    const StringId explanation = fault == Fault::ErrorStatus && k == 0 ? sid::kNoUpdatableEsc : sid::kNoUnitFound;
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    EXPECT_EQ(ToUtf8(h.panel.boxes[0].text).rfind(Text8(explanation), 0), 0u);
  } else {
    ASSERT_EQ(h.panel.boxes.size(), 2u);
    EXPECT_EQ(ToUtf8(h.panel.boxes[0].text), Text8(sid::kReadEepromFailed) + "\r\n" + CodeLine(fault, false));
    EXPECT_EQ(ToUtf8(h.panel.boxes[0].caption), "Communication error");
    EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(ToUtf8(h.panel.boxes[1].text), Text8(sid::kCommErrorRetry));
    // The pieces before the failed one stay in the image.
    const size_t read = k == 3 ? 0 : k == 4 ? 4 : 52;
    std::copy_n(eeprom_before.begin(), read, expected.bytes.begin());
  }
  EXPECT_EQ(h.app.image, expected);
}

INSTANTIATE_TEST_SUITE_P(EveryExchange, ReadoutFault, ::testing::ValuesIn(AllCases(6)), CaseName);

// The write sequence after a complete start-up (exchanges 0..5): lock, flash
// access 0, erase, assign, two blocks, flash access 1, unlock.
constexpr uint32_t kFirstWriteExchange = 6;
constexpr StringId kStepText[] = {sid::kSystemLockFailed, sid::kFlashAccessFailed, sid::kEraseFailed,
                                  sid::kAssignAddressFailed, sid::kWriteBlockFailed, sid::kWriteBlockFailed};

class WriteFault : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(WriteFault, IsReportedAndLeavesTheEscAsFarAsItGot) {
  const auto [fault, k] = GetParam();
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  ASSERT_TRUE(IsConnected(h.app.link));
  const std::vector<uint8_t> eeprom_before(unit.Eeprom().begin(), unit.Eeprom().end());

  PutU16(h.app.image, 0x12, 1500);  // an edited hold time, so sealing changes the checksum
  ConfigImage sealed = h.app.image;
  SealImage(sealed, kChecksum88);
  unit.ClearTranscript();
  Inject(unit, fault, kFirstWriteExchange + k);
  h.panel.boxes.clear();

  StoreOnEsc(h.app);
  h.port.DeliverPendingNotices();

  EXPECT_EQ(h.app.image, sealed);
  std::vector<uint8_t> eeprom_after(unit.Eeprom().begin(), unit.Eeprom().end());
  std::vector<uint8_t> eeprom_expected = eeprom_before;
  if (k >= 3) std::fill(eeprom_expected.begin(), eeprom_expected.end(), 0xFF);  // erased
  if (k >= 5) std::copy_n(sealed.bytes.begin(), 48, eeprom_expected.begin());   // first block
  if (k >= 6) std::copy_n(sealed.bytes.begin(), 92, eeprom_expected.begin());   // both blocks

  const bool unplugged = fault == Fault::UnplugBefore || fault == Fault::UnplugDuring;
  // An unplugged unit takes no request after the failure; any other failure
  // ends the sequence, unless it is one of the two closing steps.
  const size_t sent = fault == Fault::UnplugBefore ? k : unplugged || k < 6 ? k + 1 : 8;
  EXPECT_EQ(RequestsSent(unit), sent);
  if (k < 6) {
    ASSERT_EQ(h.panel.boxes.size(), 2u);
    EXPECT_EQ(ToUtf8(h.panel.boxes[0].text), Text8(kStepText[k]) + "\r\n" + CodeLine(fault, k == 0));
    EXPECT_EQ(ToUtf8(h.panel.boxes[1].text), Text8(sid::kCommErrorRetry));
    EXPECT_FALSE(IsConnected(h.app.link));
    EXPECT_EQ(ToUtf8(h.panel.title), "TAVIO (Version 01.02.00): Not connected");
  } else {
    // The closing steps' results are not examined: every block was written.
    ASSERT_GE(h.panel.boxes.size(), 1u);
    EXPECT_EQ(ToUtf8(h.panel.boxes[0].text), Text8(sid::kStoreSucceeded));
    // An unplugged unit is then noticed as removed.
    EXPECT_EQ(h.panel.boxes.size(), unplugged ? 2u : 1u);
    EXPECT_EQ(IsConnected(h.app.link), !unplugged);
  }
  EXPECT_EQ(eeprom_after, eeprom_expected);
}

INSTANTIATE_TEST_SUITE_P(EveryExchange, WriteFault, ::testing::ValuesIn(AllCases(8)), CaseName);

}  // namespace
}  // namespace tavio::test
