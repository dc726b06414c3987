// tavio-cli over the simulated unit: exit codes, exact output, the files it
// leaves and what reaches the ESC.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "core/files/backups.h"
#include "core/files/config_file.h"
#include "sim/sim_hid_port.h"
#include "support/data_home.h"
#include "support/fake_sleeper.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) /
             (std::string("cli_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Path(const std::string& name) const { return (folder / name).string(); }
  // A path as a JSON string shows it: Windows folders bring backslashes.
  std::string JsonPath(const std::string& name) const {
    std::string out;
    for (char c : Path(name)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
  }

  struct Result {
    int code;
    std::string out, err;
    bool operator==(const Result&) const = default;
    friend void PrintTo(const Result& r, std::ostream* os) { *os << r.code << "\n" << r.out << "\n" << r.err; }
  };
  // Backup names carry the time of the store: shown here as TIME.
  Result Run(std::vector<std::string> args, bool no_unit = false) {
    std::ostringstream out, err;
    cli::Environment environment{&sleeper, {}};
    if (no_unit) environment.make_platform_port = [] { return std::make_unique<sim::SimHidPort>(); };
    const int code = cli::Run(args, out, err, environment);
    const std::regex time("_[0-9]{8}-[0-9]{6}-[0-9]{3}\\.bin");
    return {code, std::regex_replace(out.str(), time, "_TIME.bin"), std::regex_replace(err.str(), time, "_TIME.bin")};
  }
  std::string Backup(const std::string& name) const { return (data_home.backups() / name).string(); }
  // The simulated CORVAN 120 at 0x0401, its EEPROM kept between runs.
  Result Corvan(std::vector<std::string> command) {
    command.insert(command.begin(), {"--simulate", "CORVAN:120:0x0401", "--sim-eeprom", Path("esc.eeprom")});
    return Run(command);
  }

  fs::path folder;
  FakeSleeper sleeper;
  ScopedDataHome data_home;
};

const std::string kStored =
    "The configuration parameters have been transferred to the ESC successfully\n"
    "Read back and compared: 92 bytes identical.\n";

TEST_F(Cli, InfoPrintsFamilyLayoutBlockAndChecksum) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--simulate", "DELMAR-Z:68", "info"},
       "Unit:             LINKBOX\nUnit firmware:    1.3\nESC family:       DELMAR-Z (400)\n"
       "Model number:     68\nParameter set:    0x0104\nESC bootloader:   1.2\nESC firmware:     1.5\n"
       "Layout:           Layout88D\nBlock length:     88 bytes\n"
       "Checksum:         correct (0xFFFED406 at 0x54, over 82 bytes)\n"},
      // Options may stand after the command.
      {{"info", "--simulate", "BRENTA:160:0x0400", "--sim-unit", "linkpuck"},
       "Unit:             LINKPUCK\nUnit firmware:    1.3\nESC family:       BRENTA (200)\n"
       "Model number:     160\nParameter set:    0x0400\nESC bootloader:   1.2\nESC firmware:     1.5\n"
       "Layout:           Layout80B\nBlock length:     80 bytes\n"
       "Checksum:         correct (0xFFFE8A26 at 0x4C, over 76 bytes)\n"},
  };
  for (const auto& [args, out] : cases) EXPECT_EQ(Run(args), (Result{0, out, ""}));
  const Result none = Run({"info"}, /*no_unit=*/true);
  EXPECT_EQ(none.code, 1);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err.rfind("No programming unit was found on the USB Port. To program the ESC do the following:"
                           "\n\n1.)\n", 0), 0u);
}

// Every usage error is one line naming the help to read, exit 2, nothing on standard output.
TEST_F(Cli, UsageErrorsAreOneLineAndExitTwo) {
  const std::string see = " (see tavio-cli --help)\n";
  const std::string not_expected = "tavio-cli: unexpected argument: ";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "tavio-cli: no command given" + see},
      {{"frobnicate", "x"}, "tavio-cli: unknown command frobnicate" + see},
      {{"--bogus"}, not_expected + "--bogus" + see},
      {{"--bogus", "info"}, not_expected + "--bogus (see tavio-cli info --help)\n"},
      {{"--simulate", "WALNUT", "info"},
       "tavio-cli: --simulate: unknown ESC family 'WALNUT' (ALDER, BRENTA, CORVAN, DELMAR-Z or a number 1..4095)" +
           see},
      {{"--simulate=ALDER", "info", "--sim-unit=box"},
       "tavio-cli: --sim-unit: unknown programming unit 'box' (LINKBOX or LINKPUCK)" + see},
      {{"--simulate", "BRENTA", "--sim-unplug-after", "x", "info"},
       "tavio-cli: --sim-unplug-after: 'x' is not a number of exchanges" + see},
      {{"--simulate"}, "tavio-cli: --simulate: 1 required FAMILY[:MODEL[:VERSION]] missing" + see},
      // The simulated unit's options without --simulate, before or after the command.
      {{"--sim-eeprom", "X", "info"}, "tavio-cli: --sim-eeprom requires --simulate" + see},
      {{"--sim-unplug-after", "3", "read", "a"}, "tavio-cli: --sim-unplug-after requires --simulate" + see},
      {{"info", "--sim-unit", "LINKPUCK"}, "tavio-cli: --sim-unit requires --simulate" + see},
      // Options of another command.
      {{"info", "--json"}, not_expected + "--json (see tavio-cli info --help)\n"},
      {{"read", "x", "--store"}, not_expected + "--store (see tavio-cli read --help)\n"},
      {{"show", "a", "--backup", "b"}, "tavio-cli: unexpected arguments: --backup b (see tavio-cli show --help)\n"},
      {{"write", "a", "--model", "1"}, "tavio-cli: unexpected arguments: --model 1 (see tavio-cli write --help)\n"},
      // Arguments too few or too many.
      {{"read"}, "tavio-cli: OUT.bin is required (see tavio-cli read --help)\n"},
      {{"diff", "a"}, "tavio-cli: B.bin is required (see tavio-cli diff --help)\n"},
      {{"read", "a", "b"}, not_expected + "b (see tavio-cli read --help)\n"},
      {{"info", "read", "x"}, "tavio-cli: unexpected arguments: read x (see tavio-cli info --help)\n"},
      {{"set", "a", "b"}, "tavio-cli: set needs NAME=TEXT or --from SETTINGS.json (see tavio-cli set --help)\n"},
      {{"set", "a", "b", "hold_time_ms=1", "--model", "4096"},
       "tavio-cli: --model: '4096' is not a model number 0..4095 (see tavio-cli set --help)\n"},
      {{"--sim-fault", "mode=2", "info"}, "tavio-cli: --sim-fault requires --simulate" + see},
      {{"info", "--sim-firmware=::0xFFFF"}, "tavio-cli: --sim-firmware requires --simulate" + see},
      {{"--simulate", "ALDER", "--sim-fault", "error=1@Erase", "info"},
       "tavio-cli: --sim-fault: 'error=1@Erase': 'Erase' is neither an exchange number nor a command "
       "(UnitStatus, UnitDataQuery, SystemLock, WriteBlock, ReadMemory, EraseConfig, AssignWriteAddress, "
       "FlashAccess, EscIdentity or a code such as 0x1D)" + see},
      {{"--simulate", "ALDER", "--sim-fault=silent", "info"},
       "tavio-cli: --sim-fault: 'silent': needs @WHEN (an exchange number or a command)" + see},
      {{"--simulate", "ALDER", "--sim-firmware", "1:2:3:4", "info"},
       "tavio-cli: --sim-firmware: '1:2:3:4' has more than UNIT:BOOT:ESC" + see},
      {{"info", "--trace"}, "tavio-cli: --trace: 1 required FILE missing" + see},
      {{"set", "a", "b", "flags=1"}, "tavio-cli: unknown parameter 'flags' (an image field name such as "
                                     "hold_time_ms, a field's control ID, or a list or switch such as brake_type or "
                                     "reverse_rotation) (see tavio-cli set --help)\n"},
      {{"set", "a", "b", "=1"}, "tavio-cli: '=1' is not NAME=TEXT (see tavio-cli set --help)\n"},
      {{"defaults", "x", "a.bin"}, "tavio-cli: model type 'x' is not a number (see tavio-cli defaults --help)\n"},
  };
  for (const auto& [args, err] : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    EXPECT_EQ(Run(args), (Result{2, "", err}));
  }
}

// A path that begins with a slash is a path on every platform, never an option.
TEST_F(Cli, PathsThatBeginWithASlashAreArguments) {
  const Result diff = Run({"diff", "/no-such-folder/a.bin", "/no-such-folder/b.bin"});
  EXPECT_EQ(diff.code, 2);  // as diff(1): trouble
  EXPECT_EQ(diff.out, "");
  EXPECT_EQ(diff.err, "tavio-cli: cannot read /no-such-folder/a.bin\n");
}

TEST_F(Cli, HelpOfTheProgramAndOfACommand) {
  const Result all = Run({"--help"});
  EXPECT_EQ(all.code, 0);
  EXPECT_EQ(all.err, "");
  EXPECT_EQ(all.out, cli::UsageText());
  for (const char* line : {"Usage: tavio-cli [OPTIONS] [COMMAND]\n", "  --sim-unplug-after N    the simulated unit",
                           "\n  set                     change parameters"}) {
    EXPECT_NE(all.out.find(line), std::string::npos) << line;
  }
  const Result show = Run({"show", "x.bin", "--help"});
  EXPECT_EQ(show.code, 0);
  EXPECT_EQ(show.out.rfind("describe a configuration file field by field\nUsage: tavio-cli show [OPTIONS] IN.bin\n", 0),
            0u)
      << show.out;
  EXPECT_NE(show.out.find("  --json                  print one JSON object"), std::string::npos) << show.out;
}

#ifdef TAVIO_PACKAGING_DIR
// The manual page and the bash completion know every command and option the help lists.
TEST_F(Cli, ManualPageAndCompletionNameEveryCommandAndOption) {
  const std::string completion = ReadBytes(TAVIO_PACKAGING_DIR "/tavio-cli.bash-completion");
  std::string manual = ReadBytes(TAVIO_PACKAGING_DIR "/man/tavio-cli.1");
  for (size_t at = manual.find("\\-"); at != std::string::npos; at = manual.find("\\-", at)) manual.replace(at, 2, "-");
  ASSERT_FALSE(completion.empty());
  ASSERT_FALSE(manual.empty());
  // Option lines of a help start "  --name"; command lines "  name" under "Commands:".
  const auto words = [](const std::string& help, bool commands) {
    std::vector<std::string> found;
    std::istringstream lines(help.substr(commands ? help.find("\nCommands:\n") + 11 : 0));
    for (std::string line; std::getline(lines, line) && !(commands && line.empty());) {
      if (line.rfind(commands ? "  " : "  --", 0) != 0 || line[2] == ' ') continue;
      found.push_back(line.substr(2, line.find(' ', 2) - 2));
    }
    return found;
  };
  const std::vector<std::string> commands = words(Run({"--help"}).out, true);
  EXPECT_EQ(commands.size(), 8u);
  std::vector<std::string> names = commands;
  for (const std::string& option : words(Run({"--help"}).out, false)) names.push_back(option);
  for (const std::string& command : commands) {
    for (const std::string& option : words(Run({command, "--help"}).out, false)) names.push_back(option);
  }
  for (const std::string& name : names) {
    if (name == "--help") continue;
    EXPECT_NE(completion.find(name), std::string::npos) << name << " is not in the completion";
    EXPECT_NE(manual.find(name), std::string::npos) << name << " is not in the manual page";
  }
}
#endif

TEST_F(Cli, SetRefusesWhatTheFieldRefusesAndSealsWhatItTakes) {
  ASSERT_EQ(Run({"--simulate", "BRENTA:160:0x0400", "read", Path("in.bin")}).code, 0);
  EXPECT_EQ(Run({"set", Path("in.bin"), Path("out.bin"), "hold_time_ms=99"}),
            (Result{1, "", "tavio-cli: hold_time_ms: 99 refused (100..3000 ms); stays 2000ms\n"}));
  EXPECT_FALSE(fs::exists(Path("out.bin")));

  ASSERT_EQ(Run({"--simulate", "ALDER", "read", Path("alder.bin")}).code, 0);
  EXPECT_EQ(Run({"set", Path("alder.bin"), Path("out.bin"), "warn_bec_current_ma=5000"}),
            (Result{1, "", "tavio-cli: warn_bec_current_ma refused: an ALDER file of parameter set 0x0104 has no "
                           "such field\n"}));
  EXPECT_FALSE(fs::exists(Path("out.bin")));

  EXPECT_EQ(Run({"set", Path("in.bin"), Path("out.bin"), "hold_time_ms=100"}),
            (Result{0, "hold_time_ms: 100ms\n", ""}));
  ConfigFile file;
  ASSERT_EQ(ReadConfigFile(Path("out.bin"), file), FileReadStatus::Ok);
  EXPECT_EQ(CheckConfigFile(file, kFamilyBrenta, 0x0400), FileCheck::Valid);
  // Only the hold time (image 0x12) and the checksum (0x4C) changed.
  std::string expected = ReadBytes(Path("in.bin"));
  expected.replace(2 + 0x12, 2, "\x64\x00", 2);
  expected.replace(2 + 0x4C, 4, ReadBytes(Path("out.bin")).substr(2 + 0x4C, 4));
  EXPECT_EQ(ReadBytes(Path("out.bin")), expected);
}

TEST_F(Cli, ReadWriteReadGivesTheSameFileAndBackupSavesTheOldBlock) {
  EXPECT_EQ(Corvan({"read", Path("a.bin")}), (Result{0, "Read 92 bytes from CORVAN 120 (parameter set 0x0401).\n"
                                                        "Settings saved successfully! (" + Path("a.bin") + ")\n", ""}));
  ASSERT_EQ(Run({"set", Path("a.bin"), Path("new.bin"), "warn_cutoff_mv=3700"}).code, 0);
  const std::string backup_line = "Backup of the ESC's block: " + Backup("CORVAN_120_0x0401_TIME.bin") + "\n";
  EXPECT_EQ(Corvan({"write", Path("new.bin"), "--backup", Path("old.bin")}),
            (Result{0, "Settings saved successfully! (" + Path("old.bin") + ")\n" + backup_line + kStored, ""}));
  EXPECT_EQ(ReadBytes(Path("old.bin")), ReadBytes(Path("a.bin")));
  ASSERT_EQ(Corvan({"write", Path("a.bin")}).out, backup_line + kStored);
  // Both stores left a backup of the block they replaced, listed newest first.
  const auto kept = ListBackups(data_home.backups().string());
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(ReadBytes(kept[1].path), ReadBytes(Path("a.bin")));
  EXPECT_EQ(ReadBytes(kept[0].path), ReadBytes(Path("new.bin")));
  const std::string listed = "  CORVAN 120  parameter set 0x0401  CORVAN_120_0x0401_TIME.bin\n";
  const Result list = Run({"backups"});
  EXPECT_EQ(list.code, 0);
  EXPECT_EQ(std::regex_replace(list.out, std::regex("[0-9-]{10} [0-9:]{8} UTC"), "T"),
            "Backups in " + data_home.backups().string() + ", newest first:\nT" + listed + "T" + listed);
  ASSERT_EQ(Corvan({"read", Path("b.bin")}).code, 0);
  EXPECT_EQ(ReadBytes(Path("b.bin")), ReadBytes(Path("a.bin")));
  EXPECT_NE(ReadBytes(Path("new.bin")), ReadBytes(Path("a.bin")));
}

// An ESC erased by an interrupted store is told as such, with the way back:
// plain "write FILE" stores a saved configuration on it again.
TEST_F(Cli, AnErasedEscIsNamedAndPlainWriteRestoresIt) {
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  std::ofstream(Path("esc.eeprom"), std::ios::binary) << std::string(256, '\xFF');
  const std::string way_back = "To bring it back, store a saved configuration with plain 'tavio-cli write FILE' "
                               "('tavio-cli backups' lists the automatic backups).\n";
  const std::string erased = "tavio-cli: the ESC's configuration is erased (block length 0xFFFF, every byte 0xFF), "
                             "probably by an interrupted store; there is nothing to save.\n" + way_back;
  const Result info = Corvan({"info"});
  EXPECT_EQ(info.code, 1);
  EXPECT_NE(info.out.find("Block length:     0xFFFF: the configuration is erased (every byte 0xFF)\n"),
            std::string::npos);
  EXPECT_EQ(info.err, "tavio-cli: the ESC's configuration is erased, probably by an interrupted store.\n" + way_back);
  EXPECT_EQ(Corvan({"read", Path("x.bin")}), (Result{1, "", erased}));
  EXPECT_EQ(Corvan({"defaults", "1", Path("d.bin")}).err, erased);
  EXPECT_EQ(Corvan({"write", Path("a.bin"), "--backup", Path("old.bin")}), (Result{1, "", erased}));
  for (const char* never : {"x.bin", "d.bin", "old.bin"}) EXPECT_FALSE(fs::exists(Path(never))) << never;

  EXPECT_EQ(Corvan({"write", Path("a.bin")}),
            (Result{0, "The ESC's block is erased: no backup was made.\n" + kStored, ""}));
  EXPECT_EQ(ReadBytes(Path("esc.eeprom")).substr(0, 92), ReadBytes(Path("a.bin")).substr(2));
  EXPECT_FALSE(fs::exists(data_home.backups()));  // an erased block is never a backup
}

// A damaged block (a wrong stored checksum) never becomes a file that passes
// the load test: read and write --backup refuse it naming both checksums;
// --force keeps the bytes as read, unsealed; info exits 1.
TEST_F(Cli, ADamagedBlockIsRefusedOrKeptUnsealed) {
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  std::string eeprom = ReadBytes(Path("a.bin")).substr(2) + std::string(256 - 92, '\xFF');
  eeprom[0x12] ^= 0x01;  // hold time 2000 -> 2001, checksum left as it was
  std::ofstream(Path("esc.eeprom"), std::ios::binary) << eeprom;
  const std::string refusal = "tavio-cli: the ESC's block is damaged: its stored checksum is 0xFFFE58F5, the computed "
                              "one 0xFFFE58F4; nothing was saved (--force saves the bytes as read, unsealed)\n";
  EXPECT_EQ(Corvan({"read", Path("x.bin")}), (Result{1, "", refusal}));
  EXPECT_EQ(Corvan({"write", Path("a.bin"), "--backup", Path("old.bin")}), (Result{1, "", refusal}));
  EXPECT_FALSE(fs::exists(Path("x.bin")));
  EXPECT_FALSE(fs::exists(Path("old.bin")));
  const Result info = Corvan({"info"});
  EXPECT_EQ(info.code, 1);
  EXPECT_NE(info.out.find("Checksum:         WRONG (0xFFFE58F5 at 0x58, over 88 bytes)\n"), std::string::npos);

  EXPECT_EQ(Corvan({"read", Path("x.bin"), "--force"}),
            (Result{0, "Read 92 bytes from CORVAN 120 (parameter set 0x0401).\nSaved as read, unsealed: " +
                           Path("x.bin") + "\n", ""}));
  EXPECT_EQ(ReadBytes(Path("x.bin")), std::string("\x2C\x01", 2) + eeprom.substr(0, 92));
  ConfigFile kept;
  ASSERT_EQ(ReadConfigFile(Path("x.bin"), kept), FileReadStatus::Ok);
  EXPECT_EQ(CheckConfigFile(kept, kFamilyCorvan, 0x0401), FileCheck::NotValid);
  EXPECT_EQ(Corvan({"write", Path("x.bin")}).code, 1);

  // --force on write --backup keeps it the same way, then stores (no automatic backup of it).
  EXPECT_EQ(Corvan({"write", Path("a.bin"), "--backup", Path("old.bin"), "--force"}),
            (Result{0, "Saved as read, unsealed: " + Path("old.bin") +
                           "\nThe ESC's block is damaged (wrong checksum): no backup was made.\n" + kStored, ""}));
  EXPECT_EQ(ReadBytes(Path("old.bin")), ReadBytes(Path("x.bin")));
  EXPECT_FALSE(fs::exists(data_home.backups()));
}

// Whatever exchange of a store the unit vanishes at, success is reported
// only when the ESC (its persisted EEPROM) holds exactly the stored block.
TEST_F(Cli, NoSuccessUnlessTheEscHoldsTheBlock) {
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  ASSERT_EQ(Run({"set", Path("a.bin"), Path("new.bin"), "hold_time_ms=1500"}).code, 0);
  const std::string wanted = ReadBytes(Path("new.bin")).substr(2);
  // Identification 0..2, backup readout 3..5, write 6..13, read-back 14..16.
  for (uint32_t n = 0; n <= 17; ++n) {
    SCOPED_TRACE(n);
    ASSERT_EQ(Corvan({"write", Path("a.bin")}).code, 0);
    const Result r = Corvan({"--sim-unplug-after", std::to_string(n), "write", Path("new.bin")});
    const bool holds = ReadBytes(Path("esc.eeprom")).substr(0, 92) == wanted;
    EXPECT_EQ(r.code == 0, n >= 17);
    EXPECT_EQ(r.out.find("successfully") != std::string::npos, r.code == 0);
    if (r.code == 0) {
      EXPECT_TRUE(holds);
    }
  }
}

// set judges every entry as the window would for the ESC the file goes to.
TEST_F(Cli, SetNeverTakesWhatTheWindowWouldRefuse) {
  ASSERT_EQ(Corvan({"read", Path("corvan.bin")}).code, 0);
  ASSERT_EQ(Run({"--simulate", "DELMAR-Z:68", "read", Path("delmar.bin")}).code, 0);
  ASSERT_EQ(Run({"--simulate", "BRENTA:160:0x0400", "read", Path("brenta400.bin")}).code, 0);
  struct Case { std::string file; std::vector<std::string> entries; int code; std::string out, err; };
  const std::string disabled = "tavio-cli: %s refused: the window disables it ";
  const Case cases[] = {
      // The motor-current limit is twice the model number: no silent guess.
      {"corvan.bin", {"warn_motor_current_a=300"}, 2, "",
       "tavio-cli: warn_motor_current_a: its limit depends on the ESC's model number; give --model N\n"},
      {"corvan.bin", {"warn_motor_current_a=300", "--model", "120"}, 1, "",
       "tavio-cli: warn_motor_current_a: 300 refused (0..240 A); stays 150A\n"},
      {"corvan.bin", {"warn_motor_current_a=300", "--model", "160"}, 0, "warn_motor_current_a: 300A\n", ""},
      {"corvan.bin", {"warn_motor_current_a=8190", "--model", "4095"}, 0, "warn_motor_current_a: 8190A\n", ""},
      {"brenta400.bin", {"warn_bec_current_ma=100"}, 2, "",
       "tavio-cli: warn_bec_current_ma: its limit depends on the ESC's model number; give --model N\n"},
      {"corvan.bin", {"warn_bec_current_ma=100", "--model", "120"}, 1, "",
       "tavio-cli: warn_bec_current_ma refused: the window disables it for CORVAN\n"},
      {"brenta400.bin", {"warn_cutoff_mv=3700"}, 1, "",
       "tavio-cli: warn_cutoff_mv refused: a BRENTA file of parameter set 0x0400 has no such field\n"},
      {"delmar.bin", {"capacity_limit_dah=1.0"}, 1, "",
       "tavio-cli: capacity_limit_dah refused: the window disables it for DELMAR-Z\n"},
      {"delmar.bin", {"cutoff_lipo_mv=3000"}, 1, "",
       "tavio-cli: cutoff_lipo_mv refused: the window disables it for DELMAR-Z\n"},
      {"delmar.bin", {"min_pwm=10%"}, 1, "", "tavio-cli: min_pwm refused: the window disables it for DELMAR-Z\n"},
      {"delmar.bin", {"slew_pos_ms=500"}, 1, "",
       "tavio-cli: slew_pos_ms refused: the window disables it for DELMAR-Z\n"},
      {"delmar.bin", {"governor_type=governor"}, 1, "",
       "tavio-cli: governor_type refused: the window disables it for DELMAR-Z\n"},
      // Governor fields need a governor mode; entries apply in the order given.
      {"corvan.bin", {"spoolup_ms=10"}, 1, "",
       "tavio-cli: spoolup_ms refused: the window disables it while the governor is off (give "
       "governor_type=governor or store first)\n"},
      {"corvan.bin", {"spoolup_ms=10", "governor_type=governor"}, 1, "",
       "tavio-cli: spoolup_ms refused: the window disables it while the governor is off (give "
       "governor_type=governor or store first)\n"},
      {"corvan.bin", {"governor_type=governor", "spoolup_ms=10"}, 0, "governor_type: governor\nspoolup_ms: 10s\n", ""},
      {"corvan.bin", {"governor_type=store", "brake_type=switching", "spoolup_ms=10"}, 1, "",
       "tavio-cli: spoolup_ms refused: the window disables it while the governor is off (give "
       "governor_type=governor or store first)\n"},
      {"corvan.bin", {"brake_type=switching", "brake_min_pwm=10%"}, 1, "",
       "tavio-cli: brake_min_pwm refused: the window disables it under the switching brake (give "
       "brake_type=proportional first)\n"},
      {"corvan.bin", {"brake_type=proportional", "brake_min_pwm=10%"}, 0,
       "brake_type: proportional\nbrake_min_pwm: 10%\n", ""},
      {"corvan.bin", {"timing=fixed", "fix_timing_deg=12"}, 0, "timing: fixed\nfix_timing_deg: 12\xC2\xB0\n", ""},
      {"corvan.bin", {"brake_type=sometimes"}, 2, "",
       "tavio-cli: brake_type=sometimes: the choices are off switching proportional\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entries[0]);
    fs::remove(Path("out.bin"));
    std::vector<std::string> args = {"set", Path(c.file), Path("out.bin")};
    args.insert(args.end(), c.entries.begin(), c.entries.end());
    EXPECT_EQ(Run(args), (Result{c.code, c.out, c.err}));
    EXPECT_EQ(fs::exists(Path("out.bin")), c.code == 0);
  }
}

// write judges every shown field of the file as if it were typed into the
// window connected to that ESC; --force stores anyway.
TEST_F(Cli, WriteRefusesValuesTheConnectedEscsWindowWouldRefuse) {
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  ASSERT_EQ(Run({"set", Path("a.bin"), Path("big.bin"), "warn_motor_current_a=300", "--model", "160"}).code, 0);
  const std::string eeprom = ReadBytes(Path("esc.eeprom"));
  EXPECT_EQ(Corvan({"write", Path("big.bin")}),
            (Result{1, "", Path("big.bin") + ": warn_motor_current_a 300 (300A) is outside 0..240 A for CORVAN 120\n"
                           "tavio-cli: the window would refuse these values; nothing was stored (--force stores them)\n"}));
  EXPECT_EQ(ReadBytes(Path("esc.eeprom")), eeprom);
  const Result forced = Corvan({"write", Path("big.bin"), "--force"});
  EXPECT_EQ(forced.code, 0);
  EXPECT_EQ(forced.err, Path("big.bin") + ": warn_motor_current_a 300 (300A) is outside 0..240 A for CORVAN 120\n"
                                          "tavio-cli: --force: storing it anyway\n");
  EXPECT_EQ(ReadBytes(Path("esc.eeprom")).substr(0, 92), ReadBytes(Path("big.bin")).substr(2));
}

TEST_F(Cli, WriteWithItsOwnInputAsBackupIsAUsageError) {
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  const std::string bytes = ReadBytes(Path("a.bin"));
  std::vector<std::string> same = {Path("a.bin"), folder.string() + "/./a.bin"};
#ifndef _WIN32
  fs::create_symlink(Path("a.bin"), Path("link.bin"));
  same.push_back(Path("link.bin"));
#endif
  for (const std::string& backup : same) {
    EXPECT_EQ(Corvan({"write", Path("a.bin"), "--backup", backup}),
              (Result{2, "", "tavio-cli: --backup names the file to write; the backup would overwrite it\n"}));
  }
  EXPECT_EQ(ReadBytes(Path("a.bin")), bytes);
}

#ifndef _WIN32
// A named pipe nobody writes into is refused at once, never waited on.
TEST_F(Cli, PipesAreRefusedAtOnce) {
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0644), 0);
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  const std::string not_regular = "tavio-cli: " + Path("pipe") + " is not a regular file\n";
  EXPECT_EQ(Run({"show", Path("pipe")}), (Result{1, "", not_regular}));
  EXPECT_EQ(Run({"diff", Path("pipe"), Path("a.bin")}).code, 2);
  EXPECT_EQ(Run({"set", Path("pipe"), Path("b.bin"), "hold_time_ms=100"}), (Result{1, "", not_regular}));
  EXPECT_EQ(Corvan({"write", Path("pipe")}),
            (Result{1, "", Path("pipe") + ": The selected file is not a valid memory file, please choose a valid "
                                          "memory file!\n"}));
  const Result save = Corvan({"read", Path("pipe")});
  EXPECT_EQ(save.code, 1);
  EXPECT_NE(save.err.find("not a regular file"), std::string::npos) << save.err;
  EXPECT_EQ(fs::status(Path("pipe")).type(), fs::file_type::fifo);
}
#endif

TEST_F(Cli, SimulatedFaultsAndFirmwareFromTheCommandLine) {
  const std::string wrong_mode = "A programming unit was found on the USB Port which is in the wrong mode.";
  const std::string no_esc = "A programming unit was found on the USB Port but no updatable ESC.";
  const std::string no_unit = "No programming unit was found on the USB Port.";
  const std::string read_failed = "Error when reading ESC EEPROMs\n";
  const struct {
    std::vector<std::string> options;
    std::string command;  // info, or write of the ESC's own block
    std::string err;      // how stderr starts; empty: success
  } cases[] = {
      {{"--sim-fault", "mode=2"}, "info", wrong_mode},
      {{"--sim-fault", "esc-state=1"}, "info", no_esc},
      {{"--sim-fault", "lengths=44:12"}, "info", no_unit},
      {{"--sim-fault", "open=denied"}, "info", no_unit},
      {{"--sim-fault", "silent@1"}, "info", no_unit},
      {{"--sim-fault", "block-length=93"}, "read", read_failed},
      {{"--sim-fault", "unplug@4"}, "info", read_failed + "System has error code 0xfffffffd-0x00000013\n"},
      {{"--sim-fault", "error=0@ReadMemory#3"}, "info", read_failed + "System has error code 0x00000000-0x00000000\n"},
      {{"--sim-fault", "error=0xFFFFFFFF@4"}, "info", read_failed + "System has error code 0x0000ffff-0x00000000\n"},
      {{"--sim-fault", "silent@EraseConfig"}, "write",
       "Error during writing on EEPROM. No data writing possible.\nSystem has error code 0xfffffffd-0x0000006e\n"},
      {{"--sim-fault", "echo@SystemLock#1"}, "write",
       "System-Lock of programming unit could not be set. No data writing possible.\n"
       "System has error code 0x0000065b-0x00000000\n"},
      {{"--sim-fault", "error=0xFFFFFFFD@AssignWriteAddress"}, "write",
       "The address for writing new EEPROM data was not found. Data writing was cancelled.\n"
       "System has error code 0xfffffffd-0x00000000\n"},
      // Block 1 refused with code 0: the write fails; block 2 is never sent.
      {{"--sim-fault", "error=0@WriteBlock#1", "--sim-fault", "error=7@WriteBlock#2"}, "write",
       "Error when writing last EEPROM data block. Data writing was canceled.\n"
       "System has error code 0x00000000-0x00000000\n"},
      {{"--sim-fault", "echo@FlashAccess#2"}, "write",
       "The flash memory of the ESC could not be closed after writing. The configuration may not have been stored.\n"
       "System has error code 0x0000065b-0x00000000\n"},
  };
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options[1]);
    std::vector<std::string> args = {"--simulate", "CORVAN:120:0x0401", c.command};
    if (c.command == "write") args.push_back(Path("a.bin"));
    if (c.command == "read") args.push_back(Path("r.bin"));
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Result r = Run(args);
    EXPECT_EQ(r.code, c.err.empty() ? 0 : 1);
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
    if (c.command == "info") {
      EXPECT_EQ(r.out, "");
    }
  }
  // A refused open ends with how to get access, naming the refused node.
  const Result denied = Run({"--simulate", "CORVAN:120:0x0401", "info", "--sim-fault", "open=denied"});
  EXPECT_TRUE(denied.err.ends_with(
      "\n\nA programming unit (LINKBOX or LINKPUCK) was found at /dev/hidraw-simulated, but access to it was "
      "denied. To grant access, install the udev rule \"70-tavio.rules\" to /etc/udev/rules.d/ (the package "
      "installs it to /usr/lib/udev/rules.d/), then unplug the programming unit and plug it in again.\n"))
      << denied.err;
  const Result r = Run({"--simulate", "ALDER", "--sim-firmware", "0x00020100:0x0203:0xFFFF", "info"});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("Unit firmware:    2.1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("ESC bootloader:   2.3\nESC firmware:     ----------\n"), std::string::npos) << r.out;
}

TEST_F(Cli, TraceHoldsEveryReportAndIsWrittenOnlyWhenAsked) {
  ASSERT_EQ(Run({"--simulate", "BRENTA", "info", "--trace", Path("trace.txt")}).code, 0);
  std::istringstream in(ReadBytes(Path("trace.txt")));
  std::vector<std::string> reports;  // "#N > HEAD" of every report line
  for (std::string line; std::getline(in, line);) {
    const size_t hash = line.find("  #");
    if (hash == std::string::npos) continue;
    reports.push_back(line.substr(hash + 2, 16));
    EXPECT_EQ(line.size(), hash + 2 + 5 + 60 * 3 - 1) << line;  // the whole 60-byte report
  }
  // Identification, then the readout of 4 + 48 + 40 bytes: every request and every answer.
  EXPECT_EQ(reports, (std::vector<std::string>{"#0 > 01 08 00 00", "#0 < 02 00 0C 00", "#1 > 01 1D 08 00",
                                               "#1 < 02 00 20 00", "#2 > 01 22 00 00", "#2 < 02 00 28 00",
                                               "#3 > 01 1D 08 00", "#3 < 02 00 04 00", "#4 > 01 1D 08 00",
                                               "#4 < 02 00 30 00", "#5 > 01 1D 08 00", "#5 < 02 00 28 00"}));
  ASSERT_EQ(Run({"--simulate", "BRENTA", "info"}).code, 0);
  EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(folder), {}), std::vector<fs::path>{folder / "trace.txt"});
  const Result r = Run({"--simulate", "BRENTA", "info", "--trace", Path("missing/trace.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.rfind("tavio-cli: cannot write the trace file '" + Path("missing/trace.txt") + "': ", 0), 0u);
}

// The memory file follows the simulated ESC through every change, so an
// interrupted store is seen by the next run; a file that cannot be written
// never lets a store succeed.
TEST_F(Cli, MemoryFileKeepsAnInterruptedStoreAndNeverHidesAFailure) {
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  EXPECT_EQ(Corvan({"write", Path("a.bin"), "--sim-fault", "error=0x31@WriteBlock#1"}).code, 1);
  EXPECT_EQ(ReadBytes(Path("esc.eeprom")), std::string(256, '\xFF'));
  const Result erased = Corvan({"info"});
  EXPECT_EQ(erased.code, 1);
  EXPECT_NE(erased.out.find("Block length:     0xFFFF: the configuration is erased (every byte 0xFF)\n"),
            std::string::npos) << erased.out;
  EXPECT_EQ(Corvan({"write", Path("a.bin")}).code, 0);
  EXPECT_EQ(ReadBytes(Path("esc.eeprom")).substr(0, 92), ReadBytes(Path("a.bin")).substr(2));

  const Result r = Run({"--simulate", "CORVAN:120:0x0401", "--sim-eeprom", Path("missing/esc.eeprom"), "write",
                        Path("a.bin")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Error during writing on EEPROM. No data writing possible.\n"
                   "System has error code 0x00000140-0x00000000\n");
  EXPECT_EQ(r.out.find("successfully"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(Path("missing")));
}

TEST_F(Cli, WriteOfAnIncompatibleFileSendsNothing) {
  ASSERT_EQ(Corvan({"read", Path("corvan.bin")}).code, 0);
  // Identification takes exchanges 0..2: any further request finds the unit gone.
  const Result r = Run({"--simulate", "BRENTA:160:0x0401", "--sim-unplug-after", "3", "write", Path("corvan.bin"),
                        "--backup", Path("backup.bin")});
  EXPECT_EQ(r, (Result{1, "", Path("corvan.bin") + ": The selected file is not compatible with the connected "
                                                     "controller, please choose a valid memory file!\n"}));
  EXPECT_FALSE(fs::exists(Path("backup.bin")));
}

TEST_F(Cli, DefaultsOfferOnlyTheFamilysModelTypes) {
  EXPECT_EQ(Run({"--simulate", "ALDER", "defaults", "4", Path("x.bin")}),
            (Result{1, "", "tavio-cli: model type 4 cannot be chosen for ALDER; the model types are:\n"
                           "  1  Sail plane\n  2  Sports plane\n  3  Helicopter\n  9  Reset (Mode 1)\n"}));
  EXPECT_FALSE(fs::exists(Path("x.bin")));
}

// The simulated ALDER's block as `show --json` describes it, after the "file" line.
const std::string kAlderJson = R"json(",
  "family": {
    "code": 100,
    "name": "ALDER"
  },
  "layout": "Layout80A",
  "block_length": 80,
  "param_version": "0x0104",
  "checksum": {
    "state": "correct",
    "prefix": 76,
    "offset": 76,
    "value": "0xFFFEC022",
    "computed": "0xFFFEC022"
  },
  "fields": {
    "cutoff_nimh_mv": {
      "raw": 800,
      "text": "800mV"
    },
    "cutoff_lipo_mv": {
      "raw": 3000,
      "text": "3000mV"
    },
    "cutoff_lifepo_mv": {
      "raw": 2300,
      "text": "2300mV"
    },
    "bec_voltage_mv": {
      "raw": 5600,
      "text": "5.6V"
    },
    "hold_time_ms": {
      "raw": 2000,
      "text": "2000ms"
    },
    "fix_timing_deg": {
      "raw": 5,
      "text": "5°"
    },
    "slew_pos_ms": {
      "raw": 500,
      "text": "500ms"
    },
    "slew_neg_ms": {
      "raw": 200,
      "text": "200ms"
    },
    "spoolup_ms": {
      "raw": 12000,
      "text": "12s"
    },
    "gov_p": {
      "raw": 4,
      "text": "4"
    },
    "gov_i": {
      "raw": 4,
      "text": "4"
    },
    "min_pwm": {
      "raw": 204,
      "text": "5%"
    },
    "max_start_current": {
      "raw": 100,
      "text": "100%"
    }
  },
  "flags": {
    "raw": "0x00000B15",
    "brake_on": true,
    "brake_proportional": false,
    "battery_type": 1,
    "governor_on": false,
    "governor_store": false,
    "governor_rpm_stored": false,
    "shutdown": true,
    "auto_timing": true,
    "reverse_rotation": false,
    "forward_backward": false,
    "soft_start": false,
    "other_bits_set": [
      4,
      11
    ]
  },
  "lists": {
    "battery_type": "LiPo",
    "governor_type": "Off",
    "brake_type": "Switching brake"
  },
  "not_shown": {
    "brake_slew_pos_ms": 800,
    "stick_brake_us": 1100,
    "stick_neutral_us": 1500,
    "stick_full_us": 1900,
    "aux_1c": 409,
    "aux_1e": 409,
    "aux_20": 245,
    "aux_2c": 128,
    "aux_2e": 0,
    "aux_30": 30000,
    "aux_34": 500,
    "aux_36": 5000,
    "aux_38": 10000,
    "reserved_3e": "00 00 00 00 00 00 00 00 00 00 00 00 00 00"
  },
  "past_block": "00 00 00 00 00 00 00 00 00 00 00 00",
  "bytes": "50 00 04 01 15 0B 00 00 20 03 B8 0B FC 08 20 03 E0 15 D0 07 05 00 4C 04 DC 05 6C 07 99 01 99 01 F5 00 F4 01 C8 00 E0 2E 04 00 04 00 80 00 00 00 30 75 00 00 F4 01 88 13 10 27 CC 00 64 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 22 C0 FE FF 00 00 00 00 00 00 00 00 00 00 00 00"
}
)json";

TEST_F(Cli, ShowJsonIsValidUtf8WhateverTheFileName) {
  ASSERT_EQ(Run({"--simulate", "ALDER", "read", Path("alder.bin")}).code, 0);
  EXPECT_EQ(Run({"show", "--json", Path("alder.bin")}), (Result{0, "{\n  \"file\": \"" + JsonPath("alder.bin") + kAlderJson, ""}));
#ifdef _WIN32
  // No quote, control character or stray byte in a Windows name; the folder's backslashes still need escaping.
  const std::pair<std::string, std::string> names[] = {{"we'ird name.bin", "we'ird name.bin"}};
#else
  const std::pair<std::string, std::string> names[] = {
      {"we\"ird\\name\t.bin", "we\\\"ird\\\\name\\t.bin"},
      {"bad\xFF.bin", "bad\xEF\xBF\xBD.bin"},          // not UTF-8: a replacement character
      {"cut\xC3.bin", "cut\xEF\xBF\xBD.bin"},          // a sequence cut short
      {"gr\xC3\xBC\xC3\x9F.bin", "gr\xC3\xBC\xC3\x9F.bin"},  // UTF-8 stays as it is
  };
#endif
  for (const auto& [name, json] : names) {
    fs::copy_file(Path("alder.bin"), Path(name));
    const Result r = Run({"show", Path(name), "--json"});
    EXPECT_TRUE(nlohmann::json::accept(r.out)) << r.out;
    EXPECT_EQ(r.out, "{\n  \"file\": \"" + JsonPath("") + json + kAlderJson);
  }
}

// A `show --json` document edited by hand and given back to `set --from`.
TEST_F(Cli, SetFromAShowDocumentTypesTheChangedTexts) {
  ASSERT_EQ(Run({"--simulate", "ALDER", "read", Path("a.bin")}).code, 0);
  const std::string shown = Run({"show", Path("a.bin"), "--json"}).out;
  const auto edited = [&](const std::string& from, const std::string& to) {
    std::string text = shown;
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    std::ofstream(Path("edited.json"), std::ios::binary) << text;
    return Path("edited.json");
  };
  const std::string refused_alder =
      " refused: an ALDER file of parameter set 0x0104 has no such field\n";
  struct Case {
    std::string from, to;
    Result result;
  };
  const Case cases[] = {
      {"", "", {0, "", ""}},  // unchanged: nothing typed
      {"\"text\": \"2000ms\"", "\"text\": \"1500\"", {0, "hold_time_ms: 1500ms\n", ""}},
      {"\"text\": \"5.6V\"", "\"text\": \"5.04\"", {0, "bec_voltage_mv: 5.0V\n", ""}},
      {"\"text\": \"2000ms\"", "\"text\": \"99\"",
       {1, "", "tavio-cli: hold_time_ms: 99 refused (100..3000 ms); stays 2000ms\n"}},
      {"\"fields\": {", "\"fields\": {\"warn_bec_current_ma\": {\"raw\": 0, \"text\": \"5000\"},",
       {1, "", "tavio-cli: warn_bec_current_ma" + refused_alder}},
      {"\"fields\": {", "\"fields\": {\"flags\": {\"text\": \"1\"},",
       {2, "", "tavio-cli: unknown parameter 'flags' (an image field name such as hold_time_ms, a field's "
               "control ID, or a list or switch such as brake_type or reverse_rotation) (see tavio-cli set --help)\n"}},
      {"\"text\": \"2000ms\"", "\"text\": 2000",
       {1, "", "tavio-cli: " + Path("edited.json") + ": field hold_time_ms has no \"text\" string\n"}},
      {"\"fields\"", "\"feld\"",
       {1, "", "tavio-cli: " + Path("edited.json") + " is not a document as `show --json` writes it (no "
               "\"fields\" object)\n"}},
      {"{", "[", {1, "", "tavio-cli: " + Path("edited.json") + " is not a document as `show --json` writes it "
                         "(no \"fields\" object)\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    fs::remove(Path("b.bin"));
    EXPECT_EQ(Run({"set", Path("a.bin"), Path("b.bin"), "--from", edited(c.from, c.to)}), c.result);
    EXPECT_EQ(fs::exists(Path("b.bin")), c.result.code == 0);
  }
  // Exactly the edited field and the checksum changed; a NAME=TEXT after it has the last word.
  ASSERT_EQ(Run({"set", Path("a.bin"), Path("b.bin"), "--from", edited("\"text\": \"2000ms\"", "\"text\": \"1500\""),
                 "slew_pos_ms=600"}),
            (Result{0, "hold_time_ms: 1500ms\nslew_pos_ms: 600ms\n", ""}));
  EXPECT_EQ(Run({"diff", Path("a.bin"), Path("b.bin")}),
            (Result{1, "hold_time_ms: 2000 (2000ms) -> 1500 (1500ms)\nslew_pos_ms: 500 (500ms) -> 600 (600ms)\n"
                       "checksum: 0xFFFEC022 -> 0xFFFEC1B2\n", ""}));
  EXPECT_EQ(Run({"set", Path("a.bin"), Path("b.bin"), "--from", Path("missing.json")}),
            (Result{1, "", "tavio-cli: cannot read " + Path("missing.json") + "\n"}));
}

TEST_F(Cli, Diff) {
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  ASSERT_EQ(Run({"set", Path("a.bin"), Path("b.bin"), "warn_cutoff_mv=3600", "hold_time_ms=2001"}).code, 0);
  EXPECT_EQ(Run({"diff", Path("a.bin"), Path("a.bin")}), (Result{0, "", ""}));
  EXPECT_EQ(Run({"diff", Path("a.bin"), Path("b.bin")}),
            (Result{1, "hold_time_ms: 2000 (2000ms) -> 2001 (2001ms)\nwarn_cutoff_mv: 3500 (3500mV) -> 3600 (3600mV)\n"
                       "checksum: 0xFFFE58F5 -> 0xFFFE5890\n", ""}));
}

}  // namespace
}  // namespace tavio::test
