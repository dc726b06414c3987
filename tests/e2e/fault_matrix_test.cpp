// Every exchange of a 92-byte readout and of a whole 92-byte store (backup
// readout, write sequence, read-back), failed in every way the unit can
// fail: what the user is told, that nothing is sent after the failure, that
// no failure is ever called a success, and what the ESC, the image and the
// backup folder hold afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "core/files/backups.h"
#include "core/shell/commands.h"
#include "link/sim_link_fixture.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

// The error status with three codes: an ordinary one, 0, and one whose bits
// would read as the program's own -1 (not connected, no code line).
enum Fault { kUnplugBefore, kUnplugDuring, kErrorStatus, kErrorCode0, kErrorAllOnes, kNoAnswer };
const char* const kFaultNames[] = {"UnplugBefore", "UnplugDuring", "ErrorStatus", "ErrorCode0", "ErrorAllOnes",
                                   "NoAnswer"};
constexpr uint32_t kFaultCodes[] = {0, 0, 0x1234, 0, 0xFFFFFFFF, 0};
// The code line of each, for a 32-bit and a 16-bit code: the result (or the
// unit's own code) and the platform's error value.
const char16_t* const kCodeLines[] = {u"0xfffffffe-0x00000013", u"0xfffffffd-0x00000013", u"0x00001234-0x00000000",
                                      u"0x00000000-0x00000000", u"0xffffffff-0x00000000", u"0xfffffffd-0x0000006e"};
const char16_t* const kCodeLines16[] = {u"0xfffffffe-0x00000013", u"0xfffffffd-0x00000013", u"0x00001234-0x00000000",
                                        u"0x00000000-0x00000000", u"0x0000ffff-0x00000000",
                                        u"0xfffffffd-0x0000006e"};

bool IsErrorStatus(Fault fault) { return fault == kErrorStatus || fault == kErrorCode0 || fault == kErrorAllOnes; }

void Inject(sim::SimUnit& unit, Fault fault, uint32_t exchange) {
  sim::SimFaults& f = unit.faults();
  if (fault == kUnplugBefore) f.unplug_after_exchanges = exchange;
  if (fault == kUnplugDuring) f.unplug_during_exchange = exchange;
  if (IsErrorStatus(fault)) f.errors.push_back({sim::Trigger::AtExchange(exchange), kFaultCodes[fault]});
  if (fault == kNoAnswer) f.no_answer.push_back(sim::Trigger::AtExchange(exchange));
}

Text Str(StringId id) { return Text(LookUpString(Language::English, id)); }
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
  return ::testing::Combine(::testing::Values(kUnplugBefore, kUnplugDuring, kErrorStatus, kErrorCode0, kErrorAllOnes,
                                              kNoAnswer),
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
    // Identification failed: the start-up explanation, no error boxes. An
    // error answer fails it at any command, the status included (its bytes
    // never read as the ESC's state), and its code is named last.
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    EXPECT_EQ(h.panel.boxes[0].text.rfind(Str(sid::kNoUnitFound), 0), 0u);
    if (IsErrorStatus(fault)) {
      const uint32_t code = k == 0 ? kFaultCodes[fault] : kFaultCodes[fault] & 0xFFFF;  // then ReadMemory, EscIdentity
      EXPECT_TRUE(h.panel.boxes[0].text.ends_with(FormatPattern(LookUpString(Language::English, sid::kUnitErrorAnswer),
                                                                static_cast<unsigned>(code))));
    }
    EXPECT_FALSE(IsConnected(h.app.link));
    EXPECT_EQ(ToUtf8(h.panel.title), "TAVIO (Version 01.02.00): Not connected");
  } else {
    // Nothing of an error answer reaches the image (its bytes 4.. are no data).
    ExpectCommError(h, sid::kReadEepromFailed, kCodeLines16[fault]);
    // The pieces before the failed one stay in the image.
    std::copy_n(eeprom.begin(), k == 3 ? 0 : k == 4 ? 4 : 52, expected.bytes.begin());
  }
  EXPECT_EQ(h.app.image, expected);
}

INSTANTIATE_TEST_SUITE_P(EveryExchange, ReadoutFault, AllCases(6), CaseName);

// "Store on ESC" after a complete start-up (exchanges 0..5): the readout for
// the backup (three pieces), lock, flash access 0, erase, assign, two blocks,
// flash access 1, unlock, and the read-back (three pieces).
constexpr uint32_t kStoreExchanges = 14;

class StoreFault : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(StoreFault, IsReportedAndNeverCalledASuccess) {
  constexpr StringId kStepText[] = {
      sid::kReadEepromFailed,  sid::kReadEepromFailed,     sid::kReadEepromFailed, sid::kSystemLockFailed,
      sid::kFlashAccessFailed, sid::kEraseFailed,          sid::kAssignAddressFailed, sid::kWriteBlockFailed,
      sid::kWriteBlockFailed,  sid::kFlashCloseFailed,     sid::kSystemUnlockFailed, sid::kReadBackFailed,
      sid::kReadBackFailed,    sid::kReadBackFailed};
  const auto [fault, k] = GetParam();
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  PutU16(h.app.image, 0x12, 1500);  // an edited hold time, so sealing changes the checksum
  ConfigImage sealed = h.app.image;
  SealImage(sealed, kChecksum88);
  const std::vector<uint8_t> old_block = Bytes(unit.Eeprom());
  std::vector<uint8_t> eeprom = old_block;
  if (k >= 6) std::fill(eeprom.begin(), eeprom.end(), 0xFF);       // erased
  if (k >= 8) std::copy_n(sealed.bytes.begin(), 48, eeprom.begin());  // first block
  if (k >= 9) std::copy_n(sealed.bytes.begin(), 92, eeprom.begin());  // both blocks
  unit.ClearTranscript();
  Inject(unit, fault, 6 + k);
  h.panel.boxes.clear();

  StoreOnEsc(h.app);
  h.port.DeliverPendingNotices();

  EXPECT_EQ(h.app.image, sealed);
  EXPECT_EQ(Bytes(unit.Eeprom()), eeprom);
  // The backup of the old block exists once its readout went through.
  const auto backups = ListBackups(h.data_home.backups().string());
  ASSERT_EQ(backups.size(), k >= 3 ? 1u : 0u);
  if (k >= 3) {
    ConfigFile kept;
    ASSERT_EQ(ReadWholeConfigFile(backups[0].path, kept), FileReadStatus::Ok);
    EXPECT_EQ(std::vector<uint8_t>(kept.image.bytes.begin(), kept.image.bytes.end()),
              std::vector<uint8_t>(old_block.begin(), old_block.begin() + 92));
  }
  // Nothing is sent after the failing exchange; an error answer to the lock
  // or the unlock is a failure with its code like any other, even where its
  // state byte equals the state asked for.
  EXPECT_EQ(Commands(unit).size(), fault == kUnplugBefore ? k : k + 1);
  // Readouts carry a 16-bit code, the write's steps a 32-bit one.
  const bool read = k < 3 || k > 10;
  ExpectCommError(h, kStepText[k], read ? kCodeLines16[fault] : kCodeLines[fault]);
}

INSTANTIATE_TEST_SUITE_P(EveryExchange, StoreFault, AllCases(kStoreExchanges), CaseName);

// Without a fault the same store is one success box over a read-back that
// matched, with the unit unlocked and still connected.
TEST(StoreFault, NoFaultIsOneSuccessAndTheEscHoldsTheBlock) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  PutU16(h.app.image, 0x12, 1500);
  ConfigImage sealed = h.app.image;
  SealImage(sealed, kChecksum88);
  unit.ClearTranscript();
  h.sleeper.pauses.clear();
  h.panel.boxes.clear();

  StoreOnEsc(h.app);

  EXPECT_EQ(Commands(unit), (std::vector<uint8_t>{cmd::kReadMemory, cmd::kReadMemory, cmd::kReadMemory,
                                                  cmd::kSystemLock, cmd::kFlashAccess, cmd::kEraseConfig,
                                                  cmd::kAssignWriteAddress, cmd::kWriteBlock, cmd::kWriteBlock,
                                                  cmd::kFlashAccess, cmd::kSystemLock, cmd::kReadMemory,
                                                  cmd::kReadMemory, cmd::kReadMemory}));
  // Readout pauses, the write's, one after the unlock, then the read-back's.
  EXPECT_EQ(h.sleeper.pauses,
            (std::vector<uint32_t>{20, 20, 20, 20, 20, 1000, 20, 20, 20, 20, 20, 20, 20, 20, 20}));
  EXPECT_TRUE(std::equal(sealed.bytes.begin(), sealed.bytes.end(), unit.Eeprom().begin()));
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(h.panel.boxes[0], (MessageBoxRequest{Str(sid::kStoreSucceeded), u"", BoxIcon::Information}));
  EXPECT_TRUE(IsConnected(h.app.link));
  EXPECT_FALSE(unit.Locked());
}

// The ESC keeps other bytes than were sent (here: changed during the pause
// before the read-back): a failure naming the first offset that differs; the
// window stays connected so the user can store again.
TEST(StoreFault, AReadBackThatDiffersIsAFailureNamingTheOffset) {
  for (const Language language : {Language::English, Language::German}) {
    AppHarness h(language);
    sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
    h.Start();
    h.panel.boxes.clear();
    const size_t pause_before_read_back = h.sleeper.pauses.size() + 3 + 8;
    h.sleeper.on_pause = [&](size_t index, uint32_t) {
      if (index == pause_before_read_back) unit.MutableEeprom()[0x13] ^= 0x01;
    };

    StoreOnEsc(h.app);

    ASSERT_EQ(h.panel.boxes.size(), 1u);
    const Text expected = language == Language::English
        ? u"The ESC holds other data than was stored: the first difference is at byte 0x13 of the configuration. "
          u"The configuration was NOT stored correctly. Please store it again; if that fails too, restore a backup "
          u"with \"Load file\" and \"Store on ESC\"."
        : u"Der Regler enthält andere Daten als gespeichert wurden: Der erste Unterschied liegt bei Byte 0x13 der "
          u"Konfiguration. Die Konfiguration wurde NICHT richtig gespeichert. Bitte speichern Sie sie erneut; "
          u"schlägt auch das fehl, stellen Sie eine Sicherung mit \"Datei laden\" und \"Auf Regler speichern\" "
          u"wieder her.";
    EXPECT_EQ(h.panel.boxes[0].text, expected);
    EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Error);
    EXPECT_TRUE(IsConnected(h.app.link));
  }
}

}  // namespace
}  // namespace tavio::test
