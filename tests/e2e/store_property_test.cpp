// For random files, valid and not, of every family and layout, stored under
// random faults of the simulated unit: whenever a store reports success, a
// fresh readout of the ESC passes the checks every readout makes (the
// length of its layout, its checksum) and the ESC holds the file's block.
// Seeded, so every run sees the same cases.

#include <algorithm>
#include <random>

#include "core/files/backups.h"
#include "core/files/config_file.h"
#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

struct Esc {
  uint16_t family, version;
};
const Esc kEscs[] = {
    {kFamilyAlder, kParamVersionAlderDelmar}, {kFamilyBrenta, kParamVersion80B}, {kFamilyBrenta, kParamVersion92B},
    {kFamilyCorvan, kParamVersion80B},        {kFamilyCorvan, kParamVersion92B}, {kFamilyDelmarZ, kParamVersionAlderDelmar},
    {kFamilyBrenta, 0x0402},
};

class StoreProperty : public SimLinkTest {
 protected:
  std::mt19937 random{20261207};
  uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(random); }

  // A file as a user might have one: mostly a valid file of this ESC, else
  // one thing wrong with it.
  ConfigFile RandomFile(const Esc& esc) {
    ConfigFile file;
    file.family = esc.family;
    for (uint8_t& b : file.image.bytes) b = static_cast<uint8_t>(Below(256));
    const auto checksum = StoreChecksum(esc.family, esc.version);
    PutU16(file.image, kOffBlockLength, checksum ? BlockLengthFor(*checksum) : 92);
    PutU16(file.image, kOffParamVersion, esc.version);
    const uint32_t fault = Below(8);
    if (fault == 1) {
      const uint16_t lengths[] = {0, 4, 48, 76, 80, 84, 88, 90, 92, 93, 200, 0xFFFF};
      PutU16(file.image, kOffBlockLength, lengths[Below(std::size(lengths))]);
    }
    if (fault == 2) file.family = kEscs[Below(std::size(kEscs))].family;
    if (fault == 3) PutU16(file.image, kOffParamVersion, static_cast<uint16_t>(Below(0x10000)));
    if (const auto spec = LoadTestChecksum(file.family, esc.version)) SealImage(file.image, *spec);
    if (fault == 4) file.image.bytes[Below(kImageSize)] ^= static_cast<uint8_t>(1 + Below(255));
    return file;
  }

  void AddRandomFaults(sim::SimUnit& unit) {
    static constexpr uint8_t kCommands[] = {cmd::kSystemLock, cmd::kFlashAccess, cmd::kEraseConfig,
                                            cmd::kAssignWriteAddress, cmd::kWriteBlock, cmd::kReadMemory};
    sim::SimFaults& faults = unit.faults();
    // Identification took exchanges 0..2: the write is 3..10, the read-back 11..13.
    for (uint32_t n = Below(3); n > 0; --n) {
      const sim::Trigger when = Below(2) == 0 ? sim::Trigger::AtExchange(3 + Below(12))
                                              : sim::Trigger::OnCommand(kCommands[Below(std::size(kCommands))],
                                                                        Below(3));
      switch (Below(9)) {
        case 0: faults.errors.push_back({when, Below(3) == 0 ? 0u : static_cast<uint32_t>(random())}); break;
        case 1: faults.no_answer.push_back(when); break;
        case 2: faults.wrong_echo.push_back(when); break;
        case 3: faults.cut_answer.push_back(when); break;
        case 4: faults.odd_status.push_back({when, static_cast<uint8_t>(Below(0xFF))}); break;
        case 5: faults.corrupt.push_back({sim::Trigger::OnCommand(cmd::kWriteBlock, Below(3)), Below(48)}); break;
        case 6: faults.unplug_during_exchange = 3 + Below(12); break;
        case 7: faults.unplug_after_exchanges = 3 + Below(12); break;
        default: break;
      }
    }
  }
};

TEST_F(StoreProperty, ASuccessMeansTheEscHoldsTheFilesBlockAndReadsAsSound) {
  int stored = 0, refused_by_load = 0, failed = 0;
  for (int round = 0; round < 600; ++round) {
    const Esc& esc = kEscs[Below(std::size(kEscs))];
    SCOPED_TRACE(testing::Message() << "round " << round << " family " << esc.family << " version " << esc.version);
    Reset();
    sim::SimUnitConfig config;
    config.family = esc.family;
    config.param_version = esc.version;
    sim::SimUnit& unit = Connect(config);
    ConfigFile file = RandomFile(esc);
    // Half the stores go through the load test as the CLI and the window
    // load a file; the others hand the image straight to the store, as a
    // restore or the window's own image would.
    const bool load_tested = Below(2) == 0;
    if (load_tested && CheckConfigFile(file, esc.family, esc.version) != FileCheck::Valid) {
      ++refused_by_load;
      continue;
    }
    ConfigImage image = file.image;
    if (const auto spec = StoreChecksum(esc.family, esc.version)) SealImage(image, *spec);
    AddRandomFaults(unit);

    const StoreResult result = StoreConfiguration(link, image, Reporter());
    if (result.outcome != StoreOutcome::Stored) {
      ++failed;
      continue;
    }
    ++stored;
    EXPECT_TRUE(errors.empty());
    // The ESC as the next program would meet it: a fresh connection, no faults.
    unit.faults() = {};
    CloseUsbLink(link);
    port.Plug("/sim/hidraw0");
    ASSERT_EQ(OpenUsbLink(link), kResultOk);
    ConfigImage read;
    const uint16_t n = ReadConfiguration(link, read, Reporter());
    ASSERT_EQ(n, BlockLength(image));
    EXPECT_EQ(BlockLength(read), StoreBlockLength(esc.family, esc.version).value_or(n));
    EXPECT_EQ(JudgeEscBlock(read, esc.family, esc.version), BlockState::Sound);
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + n, unit.Eeprom().begin()));
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + n, read.bytes.begin()));
  }
  // Enough of each outcome that the property was put to the test.
  EXPECT_GT(stored, 100);
  EXPECT_GT(failed, 100);
  EXPECT_GT(refused_by_load, 20);
}

}  // namespace
}  // namespace tavio::test
