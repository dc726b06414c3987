// `tavio-cli backups` and the backups stores leave: only files that load as
// the configuration their name states are listed, the rest is counted; the
// folder is never taken from a relative path; a store's own backup survives
// its rotation; programs storing at once each keep a backup of their own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/files/backups.h"
#include "core/files/config_file.h"
#include "core/model/family.h"
#include "support/data_home.h"
#include "support/fake_sleeper.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

// 2026-12-07 08:51:02.123 UTC.
constexpr int64_t kTime = 1796633462123;

const std::string kStored =
    "The configuration parameters have been transferred to the ESC successfully\n"
    "Read back and compared: 92 bytes identical.\n";

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct Result {
  int code;
  std::string out, err;
  bool operator==(const Result&) const = default;
  friend void PrintTo(const Result& r, std::ostream* os) { *os << r.code << "\n" << r.out << "\n" << r.err; }
};

Result RunCli(const std::vector<std::string>& args) {
  FakeSleeper sleeper;
  std::ostringstream out, err;
  const int code = cli::Run(args, out, err, cli::Environment{&sleeper, {}});
  return {code, out.str(), err.str()};
}

class CliBackups : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) /
             (std::string("cli_backups_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    // A CORVAN 120 block as the simulated ESC holds it, as a file.
    ASSERT_EQ(RunCli({"--simulate", "CORVAN:120:0x0401", "--sim-eeprom", Path("base.eeprom"), "read", Path("a.bin")})
                  .code,
              0);
    ConfigFile file;
    ASSERT_EQ(ReadConfigFile(Path("a.bin"), file), FileReadStatus::Ok);
    base = file.image;
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Path(const std::string& name) const { return (folder / name).string(); }

  // The base block with its own hold time, sealed as the ESC seals it.
  ConfigImage Block(uint16_t hold_time_ms) const {
    ConfigImage image = base;
    PutU16(image, 0x12, hold_time_ms);
    SealImage(image, *StoreChecksum(kFamilyCorvan, 0x0401));
    return image;
  }
  static std::string Encoded(const ConfigImage& image) {
    const auto bytes = EncodeConfigFile(kFamilyCorvan, image);
    return std::string(bytes.begin(), bytes.end());
  }
  // A simulated ESC's memory holding `image`.
  static std::string Eeprom(const ConfigImage& image) {
    return std::string(image.bytes.begin(), image.bytes.end()) + std::string(256 - kImageSize, '\xFF');
  }
  fs::path PutBackup(int64_t time_ms, const std::string& bytes) const {
    fs::create_directories(data_home.backups());
    const fs::path path = data_home.backups() / BackupFileName(kFamilyCorvan, 120, 0x0401, time_ms);
    WriteBytes(path, bytes);
    return path;
  }

  fs::path folder;
  ScopedDataHome data_home;
  ConfigImage base;
};

TEST_F(CliBackups, ListsWhatLoadsAndCountsTheRest) {
  const std::string listed = "Backups in " + data_home.backups().string() + ", newest first:\n";
  const std::string line1 = "2026-12-07 08:51:01 UTC  CORVAN 120  parameter set 0x0401  "
                            "CORVAN_120_0x0401_20261207-085101-123.bin\n";
  const std::string line2 = "2026-12-07 08:50:02 UTC  CORVAN 120  parameter set 0x0401  "
                            "CORVAN_120_0x0401_20261207-085002-123.bin\n";
  // Named by a clock four years ahead: listed after every plausible one.
  const std::string ahead = "2030-12-06 08:51:02 UTC  CORVAN 120  parameter set 0x0401  "
                            "CORVAN_120_0x0401_20301206-085102-123.bin\n";
  const std::string one = "Skipped 1 file with a backup name that is not a valid configuration file.\n";
  struct Case {
    const char* what;
    bool good;     // two loadable backups
    bool later;    // one more, named four years ahead
    int cut;       // files of 10 bytes, named newer than the good ones
    bool linked;   // a link to a text file
    std::string out;
  };
  const Case cases[] = {
      {"nothing", false, false, 0, false, "No backups in " + data_home.backups().string() + "\n"},
      {"good only", true, false, 0, false, listed + line1 + line2},
      {"good and one from a clock ahead", true, true, 0, false, listed + line1 + line2 + ahead},
      {"one cut file", true, false, 1, false, listed + line1 + line2 + one},
      {"nothing good, one cut file", false, false, 1, false,
       "No backups in " + data_home.backups().string() + "\n" + one},
      {"three cut files", true, false, 3, false,
       listed + line1 + line2 + "Skipped 3 files with backup names that are not valid configuration files.\n"},
#ifndef _WIN32
      {"a cut file and a link to text", true, false, 1, true,
       listed + line1 + line2 + "Skipped 2 files with backup names that are not valid configuration files.\n"},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(data_home.backups());
    if (c.good) {
      PutBackup(kTime - 60000, Encoded(Block(1000)));
      PutBackup(kTime - 1000, Encoded(Block(1001)));
    }
    if (c.later) PutBackup(kTime + 4LL * 365 * 24 * 3600 * 1000, Encoded(Block(999)));
    for (int i = 0; i < c.cut; ++i) PutBackup(kTime + i, Encoded(Block(1002)).substr(0, 10));
    if (c.linked) {
      WriteBytes(Path("notes.txt"), std::string(200, 'x'));
      fs::create_symlink(Path("notes.txt"), data_home.backups() / BackupFileName(kFamilyCorvan, 120, 0x0401, kTime + 9));
    }
    WriteBytes(data_home.backups().parent_path() / "elsewhere.bin", "not in the folder");
    EXPECT_EQ(RunCli({"backups"}), (Result{0, c.out, ""}));
  }
}

// The backup a store prints is there afterwards, even when the folder is
// full of backups a clock ahead named; they make room one by one.
TEST_F(CliBackups, AStoreKeepsTheBackupItNamesBesideNamesFromAClockAhead) {
  constexpr int64_t kAhead = kTime + 4LL * 365 * 24 * 3600 * 1000;
  for (int64_t i = 0; i < 100; ++i) PutBackup(kAhead + 1000 * i, Encoded(Block(900)));
  const std::string sim[] = {"--simulate", "CORVAN:120:0x0401", "--sim-eeprom", Path("esc.eeprom")};
  std::vector<std::string> printed;
  for (uint16_t store = 0; store < 3; ++store) {
    WriteBytes(Path("esc.eeprom"), Eeprom(Block(2000 + store)));
    const Result r = RunCli({sim[0], sim[1], sim[2], sim[3], "write", Path("a.bin")});
    const std::string head = "Backup of the ESC's block: ";
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.out.substr(0, head.size()), head);
    const std::string path = r.out.substr(head.size(), r.out.find('\n') - head.size());
    EXPECT_EQ(r.out, head + path + "\n" + kStored);
    printed.push_back(path);
    for (uint16_t i = 0; i <= store; ++i) EXPECT_EQ(Bytes(printed[i]), Encoded(Block(2000 + i))) << printed[i];
    // The one named furthest ahead is the newest of them, the first one the oldest.
    EXPECT_FALSE(fs::exists(data_home.backups() / BackupFileName(kFamilyCorvan, 120, 0x0401, kAhead + 1000 * store)));
    EXPECT_TRUE(fs::exists(data_home.backups() / BackupFileName(kFamilyCorvan, 120, 0x0401, kAhead + 99000)));
    EXPECT_EQ(ListBackups(data_home.backups().string()).size(), kBackupsKept);
  }
}

#ifndef _WIN32
// A relative XDG_DATA_HOME would put the backups wherever the program
// starts: it is ignored for ~/.local/share, as is a relative HOME.
TEST_F(CliBackups, ARelativeDataHomeIsIgnored) {
  const char* saved = std::getenv("HOME");
  const std::string saved_home = saved != nullptr ? saved : "";
  const fs::path home = folder / "home";
  const fs::path home_backups = home / ".local" / "share" / "tavio" / "backups";
  fs::create_directories(home_backups);
  WriteBytes(home_backups / BackupFileName(kFamilyCorvan, 120, 0x0401, kTime), Encoded(Block(1000)));
  fs::create_directories(folder / "rel" / "tavio" / "backups");
  WriteBytes(folder / "rel" / "tavio" / "backups" / BackupFileName(kFamilyCorvan, 120, 0x0401, kTime + 1000),
             Encoded(Block(1000)));
  const fs::path was = fs::current_path();
  fs::current_path(folder);
  const std::string no_folder =
      "tavio-cli: no backup folder: neither XDG_DATA_HOME nor HOME is set to an absolute path\n";
  struct Case { const char* data; std::string home; Result result; };
  const Case cases[] = {
      {"rel", home.string(),
       {0,
        "Backups in " + home_backups.string() + ", newest first:\n2026-12-07 08:51:02 UTC  CORVAN 120  parameter set "
        "0x0401  CORVAN_120_0x0401_20261207-085102-123.bin\n",
        ""}},
      {"rel", "home", {1, "", no_folder}},
      {"./rel", "", {1, "", no_folder}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data + (" " + c.home));
    setenv("XDG_DATA_HOME", c.data, 1);
    setenv("HOME", c.home.c_str(), 1);
    EXPECT_EQ(RunCli({"backups"}), c.result);
  }
  // A store in the same setting says why it made no backup and stores nothing.
  WriteBytes(Path("esc.eeprom"), Eeprom(Block(3000)));
  const Result store =
      RunCli({"--simulate", "CORVAN:120:0x0401", "--sim-eeprom", Path("esc.eeprom"), "write", Path("a.bin")});
  EXPECT_EQ(store.code, 1);
  EXPECT_NE(store.err.find("(neither XDG_DATA_HOME nor HOME is set to an absolute path)"), std::string::npos)
      << store.err;
  EXPECT_EQ(Bytes(Path("esc.eeprom")), Eeprom(Block(3000)));
  EXPECT_EQ(ListBackups((folder / "rel" / "tavio" / "backups").string()).size(), 1u);
  fs::current_path(was);
  if (saved != nullptr) setenv("HOME", saved_home.c_str(), 1);
  ScopedDataHome::Set(data_home.folder().string());
}

// 80 real tavio-cli programs store at once into one backup folder, five
// times: each prints a path of its own, and each path holds the block its
// ESC held before the store.
TEST_F(CliBackups, EightyProgramsStoringAtOnceEachKeepTheirBackup) {
  constexpr int kPrograms = 80, kRuns = 5;
  for (int run = 0; run < kRuns; ++run) {
    SCOPED_TRACE(run);
    ScopedDataHome home;
    for (int i = 0; i < kPrograms; ++i) {
      WriteBytes(Path("esc" + std::to_string(i) + ".eeprom"), Eeprom(Block(static_cast<uint16_t>(1000 + i))));
    }
    const std::string script = "cd '" + folder.string() + "' && i=0; while [ $i -lt " + std::to_string(kPrograms) +
                               " ]; do '" TAVIO_CLI_BINARY "' --simulate CORVAN:120:0x0401 --sim-eeprom esc$i.eeprom "
                               "write a.bin >out$i 2>err$i & i=$((i+1)); done; wait";
    ASSERT_EQ(std::system(script.c_str()), 0);
    std::set<std::string> names;
    const std::string head = "Backup of the ESC's block: " + home.backups().string() + "/";
    for (int i = 0; i < kPrograms; ++i) {
      SCOPED_TRACE(i);
      const std::string out = Bytes(Path("out" + std::to_string(i)));
      EXPECT_EQ(Bytes(Path("err" + std::to_string(i))), "");
      ASSERT_EQ(out.substr(0, head.size()), head);
      const std::string name = out.substr(head.size(), out.find('\n') - head.size());
      EXPECT_EQ(out, head + name + "\n" + kStored);
      names.insert(name);
      EXPECT_EQ(Bytes(home.backups() / name), Encoded(Block(static_cast<uint16_t>(1000 + i))));
    }
    EXPECT_EQ(names.size(), size_t{kPrograms});
    std::set<std::string> in_folder;
    for (const auto& entry : fs::directory_iterator(home.backups())) in_folder.insert(entry.path().filename().string());
    EXPECT_EQ(in_folder, names);
  }
}
#endif

}  // namespace
}  // namespace tavio::test
