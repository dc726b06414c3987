// The simulated unit's own rules that the link tests do not reach: erase and
// write only under the lock with flash access open, and the EEPROM file that
// keeps a completed write for the next run.

#include <filesystem>
#include <random>
#include <string>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

class SimUnitTest : public SimLinkTest {};

// One exchange: 'L' lock, 'U' release, 'O' open flash access, 'C' close it,
// 'A' assign the write address, 'E' erase, 'W' write one word.
int32_t Step(UsbLink& link, char step) {
  switch (step) {
    case 'L': case 'U': return SystemLock(link, step == 'L' ? 1 : 0);
    case 'O': case 'C': return FlashAccess(link, step == 'C' ? 1 : 0);
    case 'A': return AssignWriteAddress(link);
    case 'E': return EraseConfig(link);
    default: return WriteBlock(link, Hex("01 02 03 04"), 1);
  }
}

TEST_F(SimUnitTest, EraseAndWriteOnlyUnderTheLockWithFlashAccessOpen) {
  // Every step but the last succeeds; the last is refused with the error.
  const std::pair<std::string, int32_t> cases[] = {
      {"OE", sim::kErrNotLocked},       {"LE", sim::kErrFlashClosed},        {"LOCE", sim::kErrFlashClosed},
      {"LOUE", sim::kErrNotLocked},     {"OAW", sim::kErrNotLocked},         {"LAW", sim::kErrFlashClosed},
      {"LOW", sim::kErrNoWriteAddress}, {"LOACOW", sim::kErrNoWriteAddress},
  };
  for (const auto& [steps, error] : cases) {
    SCOPED_TRACE(steps);
    sim::SimUnit& unit = Connect();
    const std::string before = ToHex(unit.Eeprom());
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(Step(link, steps[i]), i + 1 < steps.size() ? 0 : error) << i;
    EXPECT_EQ(ToHex(unit.Eeprom()), before);
    CloseUsbLink(link);
    port = sim::SimHidPort{};  // a fresh unit for the next case
  }
  sim::SimUnit& unit = Connect();
  for (char step : std::string("LOEAW")) EXPECT_EQ(Step(link, step), 0) << step;
  EXPECT_EQ(ToHex(unit.Eeprom().first(6)), "01 02 03 04 FF FF");
}

TEST_F(SimUnitTest, ACompletedWriteIsKeptInTheEepromFileForTheNextRun) {
  sim::SimUnitConfig config;
  config.eeprom_file = (std::filesystem::path(::testing::TempDir()) /
                        ("tavio-sim-" + std::to_string(std::random_device{}()) + ".eeprom")).string();
  sim::SimUnit& unit = Connect(config);
  ConfigImage image;
  for (size_t i = 0; i < kImageSize; ++i) image.bytes[i] = static_cast<uint8_t>(0x80 + i);
  PutU16(image, kOffBlockLength, 92);
  ASSERT_TRUE(WriteConfiguration(link, image, Reporter()));
  const std::string written = ToHex(unit.Eeprom());
  // A write cut off after the erase and the first block leaves the file as the last completed one left it.
  unit.faults().errors.push_back({sim::Trigger::AtExchange(unit.ExchangeCount() + 5), 0x31});
  PutU16(image, kOffBlockLength, 80);
  EXPECT_FALSE(WriteConfiguration(link, image, Reporter()));
  EXPECT_NE(ToHex(unit.Eeprom()), written);
  EXPECT_EQ(ToHex(sim::SimUnit(config).Eeprom()), written);
  std::filesystem::remove(config.eeprom_file);
}

}  // namespace
}  // namespace tavio::test
