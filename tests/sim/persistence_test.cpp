// The EEPROM file: loaded at start, saved when a write session closes.

#include <filesystem>
#include <fstream>
#include <random>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ConfigImage Pattern(uint16_t length) {
  ConfigImage image;
  for (size_t i = 0; i < kImageSize; ++i) image.bytes[i] = static_cast<uint8_t>(0x80 + i);
  PutU16(image, kOffBlockLength, length);
  return image;
}

class PersistenceTest : public SimLinkTest {
 protected:
  PersistenceTest() {
    // Test binaries of several build trees may run at once.
    dir = fs::temp_directory_path() / ("tavio-sim-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    config.eeprom_file = (dir / "esc.eeprom").string();
  }
  ~PersistenceTest() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  std::vector<uint8_t> EepromOf(const sim::SimUnit& unit) {
    return std::vector<uint8_t>(unit.Eeprom().begin(), unit.Eeprom().end());
  }

  fs::path dir;
  sim::SimUnitConfig config;
};

TEST_F(PersistenceTest, CompletedWriteIsSavedAndLoadedAgain) {
  const sim::SimUnit fresh(config);
  const auto initial = sim::InitialEeprom(config.family, config.model_number, config.param_version);
  EXPECT_TRUE(std::equal(initial.begin(), initial.end(), fresh.Eeprom().begin()));
  EXPECT_FALSE(fs::exists(config.eeprom_file));  // nothing written, nothing saved

  sim::SimUnit& unit = Connect(config);
  ASSERT_TRUE(WriteConfiguration(link, Pattern(92), Reporter()));
  EXPECT_EQ(ReadFile(config.eeprom_file), EepromOf(unit));
  EXPECT_EQ(unit.PersistError(), "");

  const sim::SimUnit reloaded(config);
  EXPECT_EQ(EepromOf(reloaded), EepromOf(unit));
  EXPECT_EQ(GetU16(reloaded.Eeprom(), 0), 92);
  EXPECT_EQ(reloaded.Eeprom()[91], 0x80 + 91);
}

TEST_F(PersistenceTest, AnUnfinishedWriteIsNotSaved) {
  sim::SimUnit& unit = Connect(config);
  ASSERT_TRUE(WriteConfiguration(link, Pattern(80), Reporter()));
  const std::vector<uint8_t> saved = ReadFile(config.eeprom_file);

  // The second block of the next write (its sixth exchange) is refused.
  unit.faults().errors.push_back({sim::Trigger::AtExchange(unit.ExchangeCount() + 5), 0x31});
  EXPECT_FALSE(WriteConfiguration(link, Pattern(92), Reporter()));
  EXPECT_EQ(ReadFile(config.eeprom_file), saved);
  // The ESC itself holds the first block and an erased rest.
  EXPECT_EQ(unit.Eeprom()[47], 0x80 + 47);
  EXPECT_EQ(unit.Eeprom()[48], 0xFF);
}

TEST_F(PersistenceTest, AnErasedBlockIsSavedToo) {
  Connect(config);
  ASSERT_TRUE(WriteConfiguration(link, Pattern(0), Reporter()));
  EXPECT_EQ(ReadFile(config.eeprom_file), std::vector<uint8_t>(sim::kEepromSize, 0xFF));
}

TEST_F(PersistenceTest, AFileOfAnotherSizeIsIgnored) {
  for (size_t size : {size_t{10}, size_t{257}}) {
    SCOPED_TRACE(size);
    std::ofstream(config.eeprom_file, std::ios::binary) << std::string(size, '\x11');
    const sim::SimUnit unit(config);
    EXPECT_EQ(GetU16(unit.Eeprom(), 0), 92);  // the fresh EEPROM
    EXPECT_EQ(unit.PersistError(), "'" + config.eeprom_file + "' does not hold exactly 256 bytes");
  }
}

TEST_F(PersistenceTest, AnUnwritableFileDoesNotStopTheWrite) {
  config.eeprom_file = (dir / "missing" / "esc.eeprom").string();
  sim::SimUnit& unit = Connect(config);
  EXPECT_TRUE(WriteConfiguration(link, Pattern(80), Reporter()));
  EXPECT_EQ(unit.PersistError(), "cannot write '" + config.eeprom_file + ".tmp'");
  EXPECT_EQ(GetU16(unit.Eeprom(), 0), 80);
}

}  // namespace
}  // namespace tavio::test
