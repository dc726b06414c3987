// Automatic backups: where they go, what they are called, which blocks are
// kept, how many, and a store that does not start without one.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/files/backups.h"
#include "core/shell/commands.h"
#include "link/sim_link_fixture.h"
#include "support/app_harness.h"
#include "support/data_home.h"
#include "support/not_on_web.h"

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

// A relative path in the variables is ignored: it would name another folder
// from wherever the program is started.
TEST(Backups, FolderFollowsTheEnvironmentAndIgnoresRelativePaths) {
  ScopedDataHome restore_afterwards;
  struct Case { const char* data; const char* home; std::optional<std::string> folder; };
#ifdef _WIN32
  const Case cases[] = {
      {"C:\\Users\\pilot\\AppData\\Local", nullptr, "C:\\Users\\pilot\\AppData\\Local\\Tavio\\backups"},
      {"\\\\server\\share\\pilot", nullptr, "\\\\server\\share\\pilot\\Tavio\\backups"},
      {"AppData\\Local", nullptr, std::nullopt},
      {".\\Local", nullptr, std::nullopt},
      {"\\Users\\pilot", nullptr, std::nullopt},  // no drive: relative to the current one
      {"C:Local", nullptr, std::nullopt},
      {"", nullptr, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    _putenv_s("LOCALAPPDATA", c.data);
    EXPECT_EQ(BackupFolder(), c.folder);
  }
  EXPECT_EQ(NoBackupFolderReason(), "LOCALAPPDATA is not set to an absolute path");
  ScopedDataHome::Set(restore_afterwards.folder().string());
#else
  const char* home = std::getenv("HOME");
  const std::string saved_home = home != nullptr ? home : "";
  const Case cases[] = {
      {"/srv/data", "/home/pilot", "/srv/data/tavio/backups"},
      {"", "/home/pilot", "/home/pilot/.local/share/tavio/backups"},  // empty counts as unset
      {nullptr, "/home/pilot", "/home/pilot/.local/share/tavio/backups"},
      {"data", "/home/pilot", "/home/pilot/.local/share/tavio/backups"},
      {"./data", "/home/pilot", "/home/pilot/.local/share/tavio/backups"},
      {"../data", "/home/pilot", "/home/pilot/.local/share/tavio/backups"},
      {"/srv/data", "pilot", "/srv/data/tavio/backups"},
      {"data", "pilot", std::nullopt},
      {nullptr, "~/pilot", std::nullopt},
      {"/srv/data", nullptr, "/srv/data/tavio/backups"},
      {nullptr, nullptr, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.data ? c.data : "(unset)") + " " + (c.home ? c.home : "(unset)"));
    if (c.data != nullptr) setenv("XDG_DATA_HOME", c.data, 1); else unsetenv("XDG_DATA_HOME");
    if (c.home != nullptr) setenv("HOME", c.home, 1); else unsetenv("HOME");
    EXPECT_EQ(BackupFolder(), c.folder);
  }
  EXPECT_EQ(NoBackupFolderReason(), "neither XDG_DATA_HOME nor HOME is set to an absolute path");
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


ConfigImage SoundBlockHolding(uint16_t hold_time_ms) {
  ConfigImage image = SoundBlock();
  PutU16(image, 0x12, hold_time_ms);
  SealImage(image, kChecksum88);
  return image;
}

// A 0x0401 block whose 76-byte sum is right too, so it passes the load test
// of an 0x0400 ESC but for its parameter set.
ConfigImage BothSums() {
  ConfigImage image = SoundBlockHolding(3000);
  SealImage(image, kChecksum76);
  SealImage(image, kChecksum88);
  return image;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Encoded(uint16_t family, const ConfigImage& image) {
  const auto bytes = EncodeConfigFile(family, image);
  return std::string(bytes.begin(), bytes.end());
}

// A file in the backup folder under the name a backup at `time_ms` gets.
fs::path PutBackup(const fs::path& folder, int64_t time_ms, uint16_t model = 160, uint16_t version = 0x0401,
                   const ConfigImage& image = SoundBlock()) {
  fs::create_directories(folder);
  const fs::path path = folder / BackupFileName(200, model, version, time_ms);
  std::string error;
  EXPECT_TRUE(WriteConfigFile(path.string(), 200, image, error)) << error;
  return path;
}

std::vector<std::string> Names(const std::vector<BackupInfo>& backups) {
  std::vector<std::string> names;
  for (const BackupInfo& info : backups) names.push_back(info.name);
  return names;
}

std::set<std::string> FolderEntries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// Newest first by the time in the name; a time beyond a minute after now
// came from a clock that ran ahead and counts older than every other; equal
// times go by name, Z first.
TEST(Backups, NewestFirstWithTimesAfterNowCountedOldest) {
  ScopedDataHome home;
  const fs::path folder = home.backups();
  constexpr int64_t kYear = 365LL * 24 * 3600 * 1000;
  const std::string slack = BackupFileName(200, 160, 0x0401, kTime + kBackupClockSlackMs);
  const std::string past = BackupFileName(200, 160, 0x0401, kTime - 1000);
  const std::string same_ms_200 = BackupFileName(200, 200, 0x0401, kTime - 2000);
  const std::string same_ms_160 = BackupFileName(200, 160, 0x0401, kTime - 2000);
  const std::string far_ahead = BackupFileName(200, 160, 0x0401, kTime + 10 * kYear);
  const std::string just_ahead = BackupFileName(200, 160, 0x0401, kTime + kBackupClockSlackMs + 1);
  // Made in an order of their own, so no order of the folder decides.
  for (int64_t t : {kTime - 2000, kTime + kBackupClockSlackMs + 1, kTime + 10 * kYear, kTime - 1000,
                    kTime + kBackupClockSlackMs}) {
    PutBackup(folder, t);
  }
  PutBackup(folder, kTime - 2000, 200);
  const BackupScan scan = ScanBackups(folder.string(), kTime);
  EXPECT_EQ(Names(scan.backups),
            (std::vector<std::string>{slack, past, same_ms_200, same_ms_160, far_ahead, just_ahead}));
  EXPECT_EQ(scan.skipped, 0u);
  // Ten years on, every one of them is plausible.
  EXPECT_EQ(Names(ScanBackups(folder.string(), kTime + 11 * kYear).backups),
            (std::vector<std::string>{far_ahead, just_ahead, slack, past, same_ms_200, same_ms_160}));
}

// Only files that load as the configuration their name states are backups:
// the rest is counted as skipped, never listed, offered or deleted.
TEST(Backups, FilesThatDoNotLoadAsTheirNameSaysAreSkipped) {
  ScopedDataHome home;
  const fs::path folder = home.backups();
  const fs::path good = PutBackup(folder, kTime - 5000);
  ConfigImage other_set = SoundBlock();
  PutU16(other_set, kOffParamVersion, 0x0400);
  SealImage(other_set, kChecksum76);
  ConfigImage stale = SoundBlock();
  stale.bytes[0x20] ^= 1;
  struct Case { const char* what; uint16_t version; int64_t time_ms; std::string bytes; };
  const Case cases[] = {
      {"10 bytes", 0x0401, kTime - 1000, std::string(10, '\x01')},
      {"empty", 0x0401, kTime - 1100, ""},
      {"another parameter set than its name", 0x0401, kTime - 1200, Encoded(200, other_set)},
      // Its checksum is right, but it holds another parameter set than its name says.
      {"another parameter set than its name, sums right", 0x0400, kTime - 1250, Encoded(200, BothSums())},
      {"another family than its name", 0x0401, kTime - 1300, Encoded(300, SoundBlock())},
      {"a stale checksum", 0x0401, kTime - 1400, Encoded(200, stale)},
  };
  for (const Case& c : cases) {
    std::ofstream(folder / BackupFileName(200, 160, c.version, c.time_ms), std::ios::binary) << c.bytes;
  }
  size_t foreign = std::size(cases);
  fs::create_directory(folder / BackupFileName(200, 160, 0x0401, kTime - 1500));
  ++foreign;
#ifndef _WIN32
  std::ofstream(home.folder() / "notes.txt") << "not a configuration at all, but long enough for one..........."
                                                "....................................";
  fs::create_symlink(home.folder() / "notes.txt", folder / BackupFileName(200, 160, 0x0401, kTime - 1600));
  ++foreign;
#endif
  std::ofstream(folder / "notes.txt") << "mine";

  const BackupScan scan = ScanBackups(folder.string(), kTime);
  EXPECT_EQ(Names(scan.backups), (std::vector<std::string>{good.filename().string()}));
  EXPECT_EQ(scan.skipped, foreign);
  const auto offered = NewestMatchingBackup(folder.string(), 200, 160, 0x0401);
  ASSERT_TRUE(offered);
  EXPECT_EQ(offered->name, good.filename().string());

  // With 99 newer backups, a store deletes the oldest real one and leaves
  // every skipped file there.
  for (int64_t i = 1; i <= 99; ++i) PutBackup(folder, kTime + i);
  ASSERT_EQ(BackUpEscBlock(folder.string(), 200, 160, 0x0401, SoundBlock(), kTime + 100).status,
            BackupStatus::Written);
  const BackupScan after = ScanBackups(folder.string(), kTime + 200);
  EXPECT_EQ(after.backups.size(), kBackupsKept);
  EXPECT_EQ(after.skipped, foreign);
  EXPECT_EQ(FolderEntries(folder).size(), kBackupsKept + foreign + 1);
  EXPECT_FALSE(fs::exists(good));  // the oldest real backup made room
}

// Recovery offers only a backup whose name states the ESC's family, model
// and parameter set and whose file loads into it, the newest such.
TEST(Backups, OfferedOnlyWhatNameAndFileBothSayFitsTheEsc) {
  ConfigImage other_set = SoundBlock();
  PutU16(other_set, kOffParamVersion, 0x0400);
  SealImage(other_set, kChecksum76);
  struct Case { const char* what; uint16_t model, version; ConfigImage image; };
  const Case cases[] = {
      {"name states another parameter set, file fits", 160, 0x0400, BothSums()},
      {"name fits, file holds another parameter set", 160, 0x0401, other_set},
      {"name states another model", 200, 0x0401, SoundBlockHolding(3000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedDataHome home;
    PutBackup(home.backups(), kTime - 2000, 160, 0x0401, SoundBlockHolding(1000));
    const fs::path fitting = PutBackup(home.backups(), kTime - 1000, 160, 0x0401, SoundBlockHolding(2000));
    PutBackup(home.backups(), kTime, c.model, c.version, c.image);  // newer, but not for this ESC
    ConfigFile file;
    const auto offered = NewestMatchingBackup(home.backups().string(), 200, 160, 0x0401, &file);
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->path, fitting.string());
    EXPECT_EQ(file.image, SoundBlockHolding(2000));
  }
}

// The backup a store just made is never the one its own rotation deletes,
// whatever names (a clock ahead, copied files) the folder already holds.
TEST(Backups, TheBackupJustWrittenSurvivesWhateverTheFolderHolds) {
  constexpr int64_t kAhead = kTime + 3LL * 365 * 24 * 3600 * 1000;
  struct Case {
    const char* what;
    int64_t first, step;  // the 100 backups already there: first, first + step, ...
    int64_t deleted[3];   // what each of three stores at kTime, kTime + 1, kTime + 2 deletes
  };
  const Case cases[] = {
      {"named by a clock three years ahead", kAhead, 1000, {kAhead, kAhead + 1000, kAhead + 2000}},
      {"older", kTime - 200000, 1000, {kTime - 200000, kTime - 199000, kTime - 198000}},
      // Truly newer: the previous store's backup is the oldest, the new one stays.
      {"newer but plausible", kTime + 1, 100, {kTime + 1, kTime, kTime + 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedDataHome home;
    const fs::path folder = home.backups();
    for (int64_t i = 0; i < 100; ++i) PutBackup(folder, c.first + c.step * i);
    for (int64_t store = 0; store < 3; ++store) {
      SCOPED_TRACE(store);
      const ConfigImage block = SoundBlockHolding(static_cast<uint16_t>(500 + store));
      const BackupResult r = BackUpEscBlock(folder.string(), 200, 160, 0x0401, block, kTime + store);
      ASSERT_EQ(r.status, BackupStatus::Written);
      EXPECT_EQ(r.path, (folder / BackupFileName(200, 160, 0x0401, kTime + store)).string());
      EXPECT_EQ(Bytes(r.path), Encoded(200, block));
      EXPECT_FALSE(fs::exists(folder / BackupFileName(200, 160, 0x0401, c.deleted[store])));
      EXPECT_EQ(FolderEntries(folder).size(), kBackupsKept);
    }
  }
}

// Stores at the same moment into one folder each get a file of their own
// holding their own block, with hard links and, where the file system has
// none, with the exclusive copy; nothing temporary stays behind.
TEST(Backups, TAVIO_NOT_ON_WEB(ConcurrentStoresEachKeepTheirOwnBackup)) {
  TAVIO_SKIP_ON_WEB("no threads in the test programs under node");
  constexpr int kThreads = 8, kEach = 4;
  for (const int link_fault : {0, EPERM}) {
    SCOPED_TRACE(link_fault);
    SetSaveFaultHook([link_fault](SaveStep step) { return step == SaveStep::LinkBackup ? link_fault : 0; });
    ScopedDataHome home;
    const std::string folder = home.backups().string();
    std::vector<std::vector<BackupResult>> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&results, &folder, t] {
        for (int i = 0; i < kEach; ++i) {
          const auto hold = static_cast<uint16_t>(1000 + t * kEach + i);
          results[t].push_back(BackUpEscBlock(folder, 200, 160, 0x0401, SoundBlockHolding(hold), kTime));
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    SetSaveFaultHook({});
    std::set<std::string> paths, names;
    for (int t = 0; t < kThreads; ++t) {
      for (int i = 0; i < kEach; ++i) {
        const BackupResult& r = results[t][i];
        ASSERT_EQ(r.status, BackupStatus::Written) << r.error;
        paths.insert(r.path);
        names.insert(fs::path(r.path).filename().string());
        EXPECT_EQ(Bytes(r.path), Encoded(200, SoundBlockHolding(static_cast<uint16_t>(1000 + t * kEach + i))));
      }
    }
    EXPECT_EQ(paths.size(), size_t{kThreads * kEach});
    EXPECT_EQ(FolderEntries(home.backups()), names);
    // The first free milliseconds from the common start, none skipped.
    EXPECT_EQ(*names.begin(), BackupFileName(200, 160, 0x0401, kTime));
    EXPECT_EQ(*names.rbegin(), BackupFileName(200, 160, 0x0401, kTime + kThreads * kEach - 1));
  }
}

}  // namespace
}  // namespace tavio::test
