// Automatic backups: where they go, what they are called, which blocks are
// kept, how many, and a store that does not start without one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/files/backups.h"
#include "core/shell/commands.h"
#include "link/sim_link_fixture.h"
#include "support/app_harness.h"
#include "support/data_home.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

// 2026-12-07 08:51:02.123 UTC.
constexpr int64_t kTime = 1796633462123;

ConfigImage SoundBlock() {
  ConfigImage image;
  PutU16(image, kOffBlockLength, 92);
  PutU16(image, kOffParamVersion, 0x0401);
  PutU16(image, 0x12, 2000);
  SealImage(image, kChecksum88);
  return image;
}

TEST(Backups, NamesCarryFamilyModelVersionAndUtcTime) {
  struct Case { uint16_t family, model, version; const char* name; };
  const Case cases[] = {
      {200, 160, 0x0401, "BRENTA_160_0x0401_20261207-085102-123.bin"},
      {400, 60, 0x0104, "DELMAR-Z_60_0x0104_20261207-085102-123.bin"},
      {500, 7, 0x0401, "500_7_0x0401_20261207-085102-123.bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BackupFileName(c.family, c.model, c.version, kTime), c.name);
    const auto parsed = ParseBackupFileName(c.name);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->family, c.family);
    EXPECT_EQ(parsed->model, c.model);
    EXPECT_EQ(parsed->version, c.version);
    EXPECT_EQ(parsed->time_ms, kTime);
  }
  EXPECT_EQ(BackupTimeText(kTime), "2026-12-07 08:51:02 UTC");
  for (const char* foreign : {"notes.txt", "BRENTA_160_0x0401.bin", "BRENTA_160_0x0401_20261307-085102-123.bin",
                              "WALNUT_160_0x0401_20261207-085102-123.bin", "BRENTA_x_0x0401_20261207-085102-123.bin"}) {
    EXPECT_FALSE(ParseBackupFileName(foreign)) << foreign;
  }
}

TEST(Backups, FolderFollowsTheEnvironment) {
  ScopedDataHome restore_afterwards;
#ifdef _WIN32
  _putenv_s("LOCALAPPDATA", "C:\\Users\\pilot\\AppData\\Local");
  EXPECT_EQ(BackupFolder(), "C:\\Users\\pilot\\AppData\\Local\\Tavio\\backups");
#else
  const char* home = std::getenv("HOME");
  const std::string saved_home = home != nullptr ? home : "";
  setenv("XDG_DATA_HOME", "/srv/data", 1);
  EXPECT_EQ(BackupFolder(), "/srv/data/tavio/backups");
  setenv("XDG_DATA_HOME", "", 1);  // empty counts as unset
  setenv("HOME", "/home/pilot", 1);
  EXPECT_EQ(BackupFolder(), "/home/pilot/.local/share/tavio/backups");
  unsetenv("HOME");
  EXPECT_EQ(BackupFolder(), std::nullopt);
  if (home != nullptr) setenv("HOME", saved_home.c_str(), 1);
  ScopedDataHome::Set(restore_afterwards.folder().string());
#endif
}

TEST(Backups, OnlySoundBlocksAreKeptAndTheNewest100) {
  ScopedDataHome home;
  const std::string folder = home.backups().string();
  ConfigImage erased;
  erased.bytes.fill(0xFF);
  ConfigImage damaged = SoundBlock();
  damaged.bytes[0x12] ^= 1;
  EXPECT_EQ(BackUpEscBlock(folder, 200, 160, 0x0401, erased, kTime).status, BackupStatus::SkippedErased);
  EXPECT_EQ(BackUpEscBlock(folder, 200, 160, 0x0401, damaged, kTime).status, BackupStatus::SkippedDamaged);
  EXPECT_FALSE(fs::exists(home.backups()));

  // A sound block is an ordinary configuration file that loads into its ESC.
  const BackupResult first = BackUpEscBlock(folder, 200, 160, 0x0401, SoundBlock(), kTime);
  ASSERT_EQ(first.status, BackupStatus::Written);
  EXPECT_EQ(first.path, (home.backups() / "BRENTA_160_0x0401_20261207-085102-123.bin").string());
  ConfigFile file;
  ASSERT_EQ(ReadConfigFile(first.path, file), FileReadStatus::Ok);
  EXPECT_EQ(file.family, 200);
  EXPECT_EQ(file.image, SoundBlock());
  EXPECT_EQ(CheckConfigFile(file, 200, 0x0401), FileCheck::Valid);
  // Two in the same millisecond get two names.
  EXPECT_EQ(BackUpEscBlock(folder, 200, 160, 0x0401, SoundBlock(), kTime).path,
            (home.backups() / "BRENTA_160_0x0401_20261207-085102-124.bin").string());

  std::ofstream(home.backups() / "notes.txt") << "mine";
  for (int64_t i = 1; i <= 103; ++i) {
    ASSERT_EQ(BackUpEscBlock(folder, 200, 160, 0x0401, SoundBlock(), kTime + 1000 * i).status,
              BackupStatus::Written);
  }
  const auto kept = ListBackups(folder);
  ASSERT_EQ(kept.size(), kBackupsKept);
  EXPECT_EQ(kept.front().time_ms, kTime + 103000);  // newest first
  EXPECT_EQ(kept.back().time_ms, kTime + 4000);
  EXPECT_TRUE(fs::exists(home.backups() / "notes.txt"));  // not ours: left alone
}

TEST(Backups, AFolderThatCannotBeWrittenFailsWithTheReason) {
  ScopedDataHome home;
  std::ofstream(home.backups().parent_path()) << "a file where the folder should be";
  const BackupResult r = BackUpEscBlock(home.backups().string(), 200, 160, 0x0401, SoundBlock(), kTime);
  EXPECT_EQ(r.status, BackupStatus::Failed);
  EXPECT_FALSE(r.error.empty());
}

// The window's store does not start when its backup cannot be written, and
// a box says why; every store leaves a backup of the block it replaced.
TEST(Backups, StoreInTheWindowBacksUpFirstOrDoesNotStart) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  const std::vector<uint8_t> old_block(unit.Eeprom().begin(), unit.Eeprom().begin() + kImageSize);
  PutU16(h.app.image, 0x12, 1500);
  h.panel.boxes.clear();
  h.panel.UserClicks(ctl::kStore);
  const auto backups = ListBackups(h.data_home.backups().string());
  ASSERT_EQ(backups.size(), 1u);
  ConfigFile kept;
  ASSERT_EQ(ReadConfigFile(backups[0].path, kept), FileReadStatus::Ok);
  EXPECT_TRUE(std::equal(old_block.begin(), old_block.end(), kept.image.bytes.begin()));
  EXPECT_EQ(backups[0].family, kFamilyBrenta);
  EXPECT_EQ(backups[0].model, 160);

  fs::remove_all(h.data_home.backups().parent_path());
  std::ofstream(h.data_home.backups().parent_path()) << "in the way";
  const std::vector<uint8_t> stored(unit.Eeprom().begin(), unit.Eeprom().begin() + kImageSize);
  PutU16(h.app.image, 0x12, 1700);
  unit.ClearTranscript();
  h.panel.boxes.clear();
  h.panel.UserClicks(ctl::kStore);

  // Only the readout went out; the ESC keeps its block; the box names the folder.
  EXPECT_EQ(Commands(unit), (std::vector<uint8_t>{cmd::kReadMemory, cmd::kReadMemory, cmd::kReadMemory}));
  EXPECT_TRUE(std::equal(stored.begin(), stored.end(), unit.Eeprom().begin()));
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  const std::string text = ToUtf8(h.panel.boxes[0].text);
  const std::string head = "Before storing, the configuration held by the ESC is saved as a backup, but the backup "
                           "could not be written to " + h.data_home.backups().string() + " (";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_TRUE(text.ends_with("). Nothing was stored on the ESC.")) << text;
  EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Error);
  EXPECT_TRUE(IsConnected(h.app.link));
}

}  // namespace
}  // namespace tavio::test
