// Writing the image back to the ESC: traffic, pauses, failures.

#include <algorithm>
#include <functional>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

using sim::Trigger;

const std::string kLock1 = Full("01 0B 01 01");
const std::string kFlash0 = Full("01 20 01 00");
const std::string kErase = Full("01 1E 04 00 19 E7 5A 3C");
const std::string kAssign = Full("01 1F 09 01 00 00 00 00 19 E7 5A 3C");
const std::string kFlash1 = Full("01 20 01 01");
const std::string kLock0 = Full("01 0B 01 00");

// Every byte is its own index, except the length word in front.
ConfigImage Pattern(uint16_t length) {
  ConfigImage image;
  for (size_t i = 0; i < kImageSize; ++i) image.bytes[i] = static_cast<uint8_t>(i);
  PutU16(image, kOffBlockLength, length);
  return image;
}

std::vector<std::string> Traffic(std::vector<std::string> blocks) {
  std::vector<std::string> out = {kLock1, kFlash0, kErase, kAssign};
  for (std::string& b : blocks) out.push_back(Full(b));
  out.push_back(kFlash1);
  out.push_back(kLock0);
  return out;
}

std::vector<uint32_t> Pauses(size_t blocks) {
  std::vector<uint32_t> out = {20, 20, 1000, 20, 20};
  out.insert(out.end(), blocks, 20);
  out.push_back(20);
  return out;
}

class WriteTest : public SimLinkTest {};

TEST_F(WriteTest, TrafficByteForByte) {
  struct Case {
    uint16_t length;
    std::vector<std::string> blocks;
  };
  const Case cases[] = {
      {80, {"01 1C 30 00 50 00 " + Seq(2, 48), "01 1C 20 00 " + Seq(48, 80)}},
      {88, {"01 1C 30 00 58 00 " + Seq(2, 48), "01 1C 28 00 " + Seq(48, 88)}},
      {92, {"01 1C 30 00 5C 00 " + Seq(2, 48), "01 1C 2C 00 " + Seq(48, 92)}},
      // A partial last word goes out whole, its missing bytes 0xFF.
      {90, {"01 1C 30 00 5A 00 " + Seq(2, 48), "01 1C 2C 00 " + Seq(48, 90) + " FF FF"}},
      {51, {"01 1C 30 00 33 00 " + Seq(2, 48), "01 1C 04 00 30 31 32 FF"}},
      {48, {"01 1C 30 00 30 00 " + Seq(2, 48)}},
      {4, {"01 1C 04 00 04 00 02 03"}},
      {2, {"01 1C 04 00 02 00 FF FF"}},
      {0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    sim::SimUnit& unit = Connect();
    const ConfigImage image = Pattern(c.length);

    EXPECT_TRUE(WriteConfiguration(link, image, Reporter()));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(Requests(unit), Traffic(c.blocks));
    EXPECT_EQ(sleeper.pauses, Pauses(c.blocks.size()));
    // The ESC holds the first L bytes of the image and nothing else.
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + c.length, unit.Eeprom().begin()));
    EXPECT_TRUE(std::all_of(unit.Eeprom().begin() + c.length, unit.Eeprom().end(), [](uint8_t b) { return b == 0xFF; }));
    EXPECT_FALSE(unit.Locked());
    EXPECT_FALSE(unit.FlashOpen());
    CloseUsbLink(link);
    port = sim::SimHidPort{};
  }
}

TEST_F(WriteTest, AWriteTakesAtLeast1140MsForTwoBlocks) {
  sim::SimUnit& unit = Connect();
  ASSERT_TRUE(WriteConfiguration(link, Pattern(92), Reporter()));
  EXPECT_EQ(sleeper.TotalMs(), 1140u);
  // The erase answer is read a second after its request.
  const auto& t = unit.Transcript();
  ASSERT_GE(t.size(), 6u);
  EXPECT_EQ(t[4].command, cmd::kEraseConfig);
  EXPECT_EQ(t[5].time_ms - t[4].time_ms, 1000u);
}

TEST_F(WriteTest, ARealImageArrivesUnchanged) {
  sim::SimUnitConfig config;
  config.family = kFamilyDelmarZ;
  config.param_version = 0x0104;
  sim::SimUnit& unit = Connect(config);
  ConfigImage image;
  ASSERT_EQ(ReadConfiguration(link, image, Reporter()), 88);
  PutU16(image, 0x22, 250);  // slew_pos_ms
  SealImage(image, kChecksum82);
  ASSERT_TRUE(WriteConfiguration(link, image, Reporter()));

  ConfigImage again;
  ASSERT_EQ(ReadConfiguration(link, again, Reporter()), 88);
  EXPECT_EQ(again, image);
  EXPECT_TRUE(ChecksumMatches(again, kChecksum82));
  EXPECT_EQ(GetU16(unit.Eeprom(), 0x22), 250);
}

TEST_F(WriteTest, FailureAtEachStepIsReportedAndNothingFollows) {
  struct Case {
    const char* name;
    uint32_t step;  // exchange of the write sequence, from 0
    std::function<void(sim::SimFaults&, uint32_t exchange)> fault;
    int32_t code;
    StringId text;
    uint32_t os_error;
    std::vector<uint32_t> pauses;
  };
  const auto error = [](uint32_t code) {
    return [code](sim::SimFaults& f, uint32_t k) { f.errors.push_back({Trigger::AtExchange(k), code}); };
  };
  const auto wrong_echo = [](sim::SimFaults& f, uint32_t k) { f.wrong_echo.push_back(Trigger::AtExchange(k)); };
  const auto no_answer = [](sim::SimFaults& f, uint32_t k) { f.no_answer.push_back(Trigger::AtExchange(k)); };
  const auto pulled = [](sim::SimFaults& f, uint32_t k) { f.unplug_during_exchange = k; };
  const auto vanished = [](sim::SimFaults& f, uint32_t k) { f.unplug_after_exchanges = k; };
  const Case cases[] = {
      {"lock echoed as 0", 0, wrong_echo, kResultStateMismatch, sid::kSystemLockFailed, 0, {}},
      {"lock times out", 0, no_answer, kResultReadFailed, sid::kSystemLockFailed, 110, {}},
      {"lock cannot be written", 0, vanished, kResultWriteFailed, sid::kSystemLockFailed, 19, {}},
      {"flash access error", 1, error(0x0BADF00D), 0x0BADF00D, sid::kFlashAccessFailed, 0, {20}},
      {"flash access echoed as 1", 1, wrong_echo, kResultStateMismatch, sid::kFlashAccessFailed, 0, {20}},
      {"erase error", 2, error(0xFFFFFFF0), static_cast<int32_t>(0xFFFFFFF0), sid::kEraseFailed, 0, {20, 20, 1000}},
      {"unplugged during the erase", 2, pulled, kResultReadFailed, sid::kEraseFailed, 19, {20, 20, 1000}},
      {"address not assigned", 3, error(0x00020001), 0x00020001, sid::kAssignAddressFailed, 0, {20, 20, 1000, 20}},
      {"first block refused", 4, error(0x77), 0x77, sid::kWriteBlockFailed, 0, {20, 20, 1000, 20, 20}},
      {"second block refused", 5, error(0x78), 0x78, sid::kWriteBlockFailed, 0, {20, 20, 1000, 20, 20, 20}},
      {"second block cannot be written", 5, vanished, kResultWriteFailed, sid::kWriteBlockFailed, 19,
       {20, 20, 1000, 20, 20, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    errors.clear();
    sim::SimUnit& unit = Connect();
    c.fault(unit.faults(), unit.ExchangeCount() + c.step);

    EXPECT_FALSE(WriteConfiguration(link, Pattern(92), Reporter()));
    EXPECT_EQ(errors, (std::vector<CommError>{{c.code, sid::kCommErrorCaption, c.text, c.os_error}}));
    const std::vector<std::string> full = Traffic({"01 1C 30 00 5C 00 " + Seq(2, 48), "01 1C 2C 00 " + Seq(48, 92)});
    const size_t sent = c.step + (c.code == kResultWriteFailed ? 0 : 1);
    EXPECT_EQ(Requests(unit), std::vector<std::string>(full.begin(), full.begin() + sent));
    EXPECT_EQ(sleeper.pauses, c.pauses);
    CloseUsbLink(link);
    port = sim::SimHidPort{};
  }
}

TEST_F(WriteTest, LockAnsweredWithStateZero) {
  sim::SimUnit& unit = Connect();
  unit.faults().wrong_echo.push_back(Trigger::OnCommand(cmd::kSystemLock));
  EXPECT_FALSE(WriteConfiguration(link, Pattern(80), Reporter()));
  EXPECT_EQ(Answers(unit), std::vector<std::string>{Full("02 00 00 00")});
  EXPECT_EQ(errors, (std::vector<CommError>{{0x65B, sid::kCommErrorCaption, sid::kSystemLockFailed, 0}}));
}

TEST_F(WriteTest, ClosingStepsDoNotDecideTheOutcome) {
  sim::SimUnit& unit = Connect();
  unit.faults().errors.push_back({Trigger::OnCommand(cmd::kFlashAccess, 2), 0x99});
  unit.faults().wrong_echo.push_back(Trigger::OnCommand(cmd::kSystemLock, 2));
  EXPECT_TRUE(WriteConfiguration(link, Pattern(80), Reporter()));
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(Requests(unit).size(), 8u);
}

TEST_F(WriteTest, RefusedBeforeAnyIo) {
  sim::SimUnit& unit = AddUnit();
  EXPECT_FALSE(WriteConfiguration(link, Pattern(80), Reporter()));
  EXPECT_EQ(errors, (std::vector<CommError>{{kResultNotConnected, sid::kCommErrorCaption, sid::kConnectionLost, 0}}));
  EXPECT_TRUE(port.CallLog().empty());

  errors.clear();
  ASSERT_EQ(OpenUsbLink(link), 0);
  unit.ClearTranscript();
  // A block longer than the image is never sent.
  EXPECT_FALSE(WriteConfiguration(link, Pattern(93), Reporter()));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].code, kResultNotConnected);
  EXPECT_TRUE(unit.Transcript().empty());
  EXPECT_TRUE(sleeper.pauses.empty());
}

}  // namespace
}  // namespace tavio::test
