// The simulated unit's own rules: its answers, the EEPROM write rules, the
// initial EEPROM per family, fault triggers and the transcript.

#include <algorithm>
#include <functional>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

using sim::SimUnitConfig;
using sim::Trigger;

// Sends a request as given and returns the unit's 32-bit error code, or 0.
int32_t Raw(UsbLink& link, std::string_view head) {
  Report request{};
  const auto bytes = Hex(head);
  std::copy(bytes.begin(), bytes.end(), request.begin());
  Report response{};
  const int32_t result = Transact(link, request, response);
  if (result != kResultOk) return result;
  return response[1] == kStatusError ? static_cast<int32_t>(GetU32(response, 4)) : 0;
}

class SimUnitTest : public SimLinkTest {};

TEST_F(SimUnitTest, AnswersEveryCommand) {
  struct Case {
    const char* name;
    uint8_t unit_mode;
    const char* request;
    const char* answer;
  };
  const Case cases[] = {
      {"status", 0, "01 08 00 00", "02 00 0C 00 03 00 00 00 00 03 01 00 01 00 00 00"},
      {"status in another mode", 4, "01 08 00 00", "02 00 0C 04 01 03 02 07 06 05 04 0B 0A 09 08 0C"},
      {"data query", 0, "01 0A 0C 00 00 FC 01 08", "02 00 0C 00 00 FC 01 08 00 03 01 00 01 00 00 00"},
      {"lock", 0, "01 0B 01 01", "02 00 00 01"},
      {"release", 0, "01 0B 01 00", "02 00 00 00"},
      {"flash access 0", 0, "01 20 01 00", "02 00 00 00"},
      {"flash access 1", 0, "01 20 01 01", "02 00 00 01"},
      {"firmware info", 0, "01 1D 08 00 20 00 00 00 E0 FF FF FF", "02 00 20 00 20 00 01 04 05 01"},
      {"inside the firmware info", 0, "01 1D 08 00 04 00 00 00 E2 FF FF FF", "02 00 04 00 01 04 05 01"},
      {"block head", 0, "01 1D 08 00 04 00 00 00 00 00 00 00", "02 00 04 00 5C 00 01 04"},
      {"assign address", 0, "01 1F 09 01 00 00 00 00 19 E7 5A 3C", "02 00 04 00 00 F8 01 08"},
      {"identity", 0, "01 22 00 00", "02 00 28 00 A0 80 0C 00 02 01 00 00 07 1C A5 00"},
      {"erase without lock", 0, "01 1E 04 00 19 E7 5A 3C", "02 FF 00 00 20 01"},
      {"unknown command", 0, "01 30 00 00", "02 FF 00 00 00 01"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimUnitConfig config;
    config.unit_mode = c.unit_mode;
    sim::SimUnit& unit = Connect(config);
    Raw(link, c.request);
    EXPECT_EQ(Answers(unit), std::vector<std::string>{Full(c.answer)});
    CloseUsbLink(link);
    port = sim::SimHidPort{};
  }
}

using Step = std::function<int32_t(UsbLink&)>;

Step Lock(uint32_t s) { return [=](UsbLink& l) { return SystemLock(l, s); }; }
Step Flash(uint32_t s) { return [=](UsbLink& l) { return FlashAccess(l, s); }; }
Step Erase() { return [](UsbLink& l) { return EraseConfig(l); }; }
Step Assign() { return [](UsbLink& l) { return AssignWriteAddress(l); }; }
Step Words(uint32_t n) {
  return [=](UsbLink& l) { return WriteBlock(l, Hex(Seq(0x10, 0x10 + 4 * n)), n); };
}
Step Read(uint32_t address, uint32_t length) {
  return [=](UsbLink& l) {
    std::array<uint8_t, 56> d{};
    return ReadMemory(l, address, length, d);
  };
}
Step RawStep(const char* head) { return [=](UsbLink& l) { return Raw(l, head); }; }

TEST_F(SimUnitTest, EepromWriteRules) {
  using namespace sim;
  struct Case {
    const char* name;
    std::vector<std::pair<Step, int32_t>> steps;
    bool eeprom_kept;
  };
  const Case cases[] = {
      {"erase needs the lock", {{Flash(0), 0}, {Erase(), kErrNotLocked}}, true},
      {"erase needs flash access", {{Lock(1), 0}, {Erase(), kErrFlashClosed}}, true},
      {"flash access 1 closes it", {{Lock(1), 0}, {Flash(0), 0}, {Flash(1), 0}, {Erase(), kErrFlashClosed}}, true},
      {"releasing the lock ends writing", {{Lock(1), 0}, {Flash(0), 0}, {Lock(0), 0}, {Erase(), kErrNotLocked}}, true},
      {"erase checks the unlock word",
       {{Lock(1), 0}, {Flash(0), 0}, {RawStep("01 1E 04 00 19 E7 5A 3D"), kErrBadUnlockWord}}, true},
      {"assign checks the unlock word", {{RawStep("01 1F 09 01 00 00 00 00 00 00 00 00"), kErrBadUnlockWord}}, true},
      {"a block needs an address", {{Lock(1), 0}, {Flash(0), 0}, {Words(1), kErrNoWriteAddress}}, true},
      {"flash access 1 forgets the address",
       {{Lock(1), 0}, {Flash(0), 0}, {Assign(), 0}, {Flash(1), 0}, {Flash(0), 0}, {Words(1), kErrNoWriteAddress}},
       true},
      {"a block needs the lock", {{Flash(0), 0}, {Assign(), 0}, {Words(1), kErrNotLocked}}, true},
      {"blocks are whole words of at most 56 bytes",
       {{Lock(1), 0}, {Flash(0), 0}, {Assign(), 0},
        {RawStep("01 1C 06 00 01 02 03 04 05 06"), kErrBadBlockSize},
        {RawStep("01 1C 3C 00"), kErrBadBlockSize}},
       true},
      {"blocks end at the EEPROM's end",
       {{Lock(1), 0}, {Flash(0), 0}, {Assign(), 0}, {Words(14), 0}, {Words(14), 0}, {Words(14), 0},
        {Words(14), 0}, {Words(14), kErrWriteOverflow}, {Words(8), 0}, {Words(1), kErrWriteOverflow}},
       false},
      {"reads stay inside the EEPROM and the info block",
       {{Read(250, 6), 0}, {Read(250, 7), kErrReadAddress}, {Read(0xFFFFFFE1, 31), 0},
        {Read(0xFFFFFFC0, 32), kErrReadAddress}, {Read(256, 0), 0},
        {RawStep("01 1D 08 00 39 00 00 00 00 00 00 00"), kErrReadLength},
        {RawStep("01 1D 08 00 20 00 00 00 E1 FF FF FF"), kErrReadAddress}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimUnit& unit = Connect();
    const std::vector<uint8_t> before(unit.Eeprom().begin(), unit.Eeprom().end());
    for (size_t i = 0; i < c.steps.size(); ++i) {
      EXPECT_EQ(c.steps[i].first(link), c.steps[i].second) << "step " << i;
    }
    EXPECT_EQ(std::equal(before.begin(), before.end(), unit.Eeprom().begin()), c.eeprom_kept);
    CloseUsbLink(link);
    port = sim::SimHidPort{};
  }
}

TEST_F(SimUnitTest, BlocksFollowEachOtherFromTheAssignedAddress) {
  sim::SimUnit& unit = Connect();
  ASSERT_EQ(SystemLock(link, 1), 0);
  ASSERT_EQ(FlashAccess(link, 0), 0);
  ASSERT_EQ(EraseConfig(link), 0);
  ASSERT_EQ(AssignWriteAddress(link), 0);
  ASSERT_EQ(WriteBlock(link, Hex("A1 A2 A3 A4 A5 A6 A7 A8"), 2), 0);
  ASSERT_EQ(WriteBlock(link, Hex("B1 B2 B3 B4"), 1), 0);
  EXPECT_EQ(ToHex(unit.Eeprom().first(14)), "A1 A2 A3 A4 A5 A6 A7 A8 B1 B2 B3 B4 FF FF");
  EXPECT_EQ(unit.WritePointer(), std::optional<uint32_t>(12));
  // A new address starts over at the beginning.
  ASSERT_EQ(AssignWriteAddress(link), 0);
  ASSERT_EQ(WriteBlock(link, Hex("C1 C2 C3 C4"), 1), 0);
  EXPECT_EQ(ToHex(unit.Eeprom().first(14)), "C1 C2 C3 C4 A5 A6 A7 A8 B1 B2 B3 B4 FF FF");
  EXPECT_TRUE(std::all_of(unit.Eeprom().begin() + 12, unit.Eeprom().end(), [](uint8_t b) { return b == 0xFF; }));
}

TEST_F(SimUnitTest, InitialEepromPerFamily) {
  struct Case {
    uint16_t family, model, version;
    uint16_t length;
    ChecksumSpec checksum;
    std::vector<std::pair<size_t, uint16_t>> fields;  // offset, 16-bit value
  };
  const Case cases[] = {
      {kFamilyAlder, 160, 0x0104, 80, kChecksum76, {{0x0E, 800}, {0x22, 500}, {0x2C, 128}}},
      {kFamilyAlder, 160, 0x0107, 80, kChecksum76, {{0x22, 500}}},
      {kFamilyBrenta, 160, 0x0400, 80, kChecksum76, {{0x22, 1000}, {0x3A, 81}, {0x48, 2}}},
      {kFamilyBrenta, 200, 0x0401, 92, kChecksum88, {{0x22, 1000}, {0x4E, 250}, {0x54, 12500}}},
      {kFamilyBrenta, 160, 0x0402, 92, kChecksum88, {{0x4E, 200}, {0x54, 8750}}},
      {kFamilyCorvan, 120, 0x0401, 92, kChecksum88, {{0x4E, 150}, {0x54, 8750}}},
      {kFamilyDelmarZ, 160, 0x0104, 88, kChecksum82, {{0x22, 100}, {0x40, 14}, {0x4A, 3500}}},
      // A family without sets gets the BRENTA base set.
      {500, 160, 0x0104, 80, kChecksum76, {{0x22, 1000}, {0x48, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.family << ":" << c.model << ":" << c.version);
    SimUnitConfig config;
    config.family = c.family;
    config.model_number = c.model;
    config.param_version = c.version;
    const sim::SimUnit unit(config);
    const auto eeprom = unit.Eeprom();
    EXPECT_EQ(GetU16(eeprom, 0x00), c.length);
    EXPECT_EQ(GetU16(eeprom, 0x02), c.version);
    EXPECT_EQ(ToHex(eeprom.subspan(0x16, 6)), "4C 04 DC 05 6C 07");  // 1100, 1500, 1900
    for (const auto& [offset, value] : c.fields) EXPECT_EQ(GetU16(eeprom, offset), value) << offset;
    ConfigImage image;
    std::copy_n(eeprom.begin(), kImageSize, image.bytes.begin());
    EXPECT_TRUE(ChecksumMatches(image, c.checksum));
    EXPECT_TRUE(std::all_of(eeprom.begin() + c.length, eeprom.end(), [](uint8_t b) { return b == 0xFF; }));
  }
}

TEST_F(SimUnitTest, TranscriptRecordsBothDirections) {
  sim::SimUnit& unit = Connect();
  sleeper.now_ms = 40;
  ASSERT_EQ(SystemLock(link, 1), 0);
  unit.faults().no_answer.push_back(Trigger::OnCommand(cmd::kSystemLock));
  sleeper.now_ms = 55;
  EXPECT_EQ(SystemLock(link, 0), kResultReadFailed);
  EXPECT_TRUE(unit.Locked());  // the lost request did nothing

  const std::vector<sim::TranscriptEntry> expected = {
      {sim::ReportDirection::ToUnit, 3, cmd::kSystemLock, Hex(Full("01 0B 01 01")), 40},
      {sim::ReportDirection::FromUnit, 3, cmd::kSystemLock, Hex(Full("02 00 00 01")), 40},
      {sim::ReportDirection::ToUnit, 4, cmd::kSystemLock, Hex(Full("01 0B 01 00")), 55},
  };
  EXPECT_EQ(unit.Transcript(), expected);

  // Opening again counts exchanges from 0 and starts unlocked.
  unit.ClearTranscript();
  ASSERT_EQ(OpenUsbLink(link), 0);
  EXPECT_FALSE(unit.Locked());
  ASSERT_FALSE(unit.Transcript().empty());
  EXPECT_EQ(unit.Transcript().front().exchange, 0u);
  EXPECT_EQ(unit.ExchangeCount(), 3u);
}

TEST_F(SimUnitTest, TriggersFireOnTheirOccurrenceOnly) {
  sim::SimUnitConfig config;
  sim::SimUnit& unit = AddUnit(config);
  // The first ReadMemory is identification's; the second fails, the third not.
  unit.faults().errors.push_back({Trigger::OnCommand(cmd::kReadMemory, 2), 0x0A0B});
  unit.faults().errors.push_back({Trigger::AtExchange(5), 0x0C0D});
  ASSERT_EQ(OpenUsbLink(link), 0);
  EXPECT_EQ(Read(0, 4)(link), 0x0A0B);
  EXPECT_EQ(Read(0, 4)(link), 0);
  EXPECT_EQ(Read(0, 4)(link), 0x0C0D);
  EXPECT_EQ(Read(0, 4)(link), 0);
}

TEST_F(SimUnitTest, RequestsWithoutTheOutputReportIdAreRefused) {
  sim::SimUnit unit;
  unit.BeginSession();
  Report request{};
  request[1] = cmd::kUnitStatus;
  Report answer{};
  EXPECT_EQ(unit.AnswerReport(answer), sim::UnitReadStatus::NoAnswer);
  ASSERT_TRUE(unit.ReceiveReport(request));
  ASSERT_EQ(unit.AnswerReport(answer), sim::UnitReadStatus::Ok);
  EXPECT_EQ(ToHex(std::span(answer).first(6)), "02 FF 00 00 01 01");
  unit.Disconnect();
  EXPECT_FALSE(unit.ReceiveReport(request));
  EXPECT_EQ(unit.AnswerReport(answer), sim::UnitReadStatus::Gone);
}

}  // namespace
}  // namespace tavio::test
