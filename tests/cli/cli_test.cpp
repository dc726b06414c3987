// tavio-cli over the simulated unit: exit codes, exact output, the files it
// leaves and what reaches the ESC.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/files/config_file.h"
#include "sim/sim_hid_port.h"
#include "support/fake_sleeper.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

// Checks that a text is one JSON value and nothing else.
struct JsonChecker {
  std::string_view t;
  size_t i = 0;

  bool Whole() { return Value() && (Space(), i == t.size()); }
  void Space() {
    while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i]))) ++i;
  }
  bool Eat(char c) {
    Space();
    return i < t.size() && t[i] == c && ++i;
  }
  bool String() {
    if (!Eat('"')) return false;
    while (i < t.size() && t[i] != '"') {
      if (static_cast<unsigned char>(t[i]) < 0x20) return false;
      if (t[i++] != '\\') continue;
      if (i >= t.size() || std::string_view("\"\\/bfnrtu").find(t[i]) == std::string_view::npos) return false;
      for (int k = t[i++] == 'u' ? 4 : 0; k > 0; --k) {
        if (i >= t.size() || !std::isxdigit(static_cast<unsigned char>(t[i++]))) return false;
      }
    }
    return i++ < t.size();
  }
  bool Value() {
    Space();
    if (i < t.size() && (t[i] == '{' || t[i] == '[')) {
      const char close = t[i++] == '{' ? '}' : ']';
      if (Eat(close)) return true;
      do {
        if (close == '}' && !(String() && Eat(':'))) return false;
        if (!Value()) return false;
      } while (Eat(','));
      return Eat(close);
    }
    if (i < t.size() && t[i] == '"') return String();
    for (const std::string_view word : {"true", "false", "null"}) {
      if (t.substr(i, word.size()) == word) return (i += word.size()) > 0;
    }
    const size_t start = i += i < t.size() && t[i] == '-';
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
    return i > start;
  }
};

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
  Result Run(std::vector<std::string> args, bool no_unit = false) {
    std::ostringstream out, err;
    cli::Environment environment{&sleeper, {}};
    if (no_unit) environment.make_platform_port = [] { return std::make_unique<sim::SimHidPort>(); };
    return {cli::Run(args, out, err, environment), out.str(), err.str()};  // in this order
  }
  // The simulated CORVAN 120 at 0x0401, its EEPROM kept between runs.
  Result Corvan(std::vector<std::string> command) {
    command.insert(command.begin(), {"--simulate", "CORVAN:120:0x0401", "--sim-eeprom", Path("esc.eeprom")});
    return Run(command);
  }

  fs::path folder;
  FakeSleeper sleeper;
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

TEST_F(Cli, UsageErrorsExitTwo) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "tavio-cli: no command given\n\nUsage: tavio-cli [OPTIONS] COMMAND [ARGUMENTS]\n"},
      {{"frobnicate"}, "tavio-cli: unknown command frobnicate\n"},
      {{"--bogus", "info"}, "tavio-cli: unknown option --bogus\n"},
      {{"--simulate", "WALNUT", "info"},
       "tavio-cli: unknown ESC family 'WALNUT' (ALDER, BRENTA, CORVAN, DELMAR-Z or a number 1..4095)\n"},
      {{"read"}, "tavio-cli: wrong number of arguments\nUsage: tavio-cli read OUT.bin"},
      {{"--sim-unplug-after", "3", "read", "a"}, "tavio-cli: --sim-unplug-after needs --simulate\n"},
      {{"set", "a", "b", "flags=1"}, "tavio-cli: unknown parameter 'flags' (an image field name such as "
                                     "hold_time_ms, or a field's control ID)\n"},
  };
  for (const auto& [args, err] : cases) {
    SCOPED_TRACE(args.empty() ? "" : args[0]);
    const Result r = Run(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, err.size()), err);
  }
}

TEST_F(Cli, SetRefusesWhatTheFieldRefusesAndSealsWhatItTakes) {
  ASSERT_EQ(Run({"--simulate", "BRENTA:160:0x0400", "read", Path("in.bin")}).code, 0);
  EXPECT_EQ(Run({"set", Path("in.bin"), Path("out.bin"), "hold_time_ms=99"}),
            (Result{1, "", "tavio-cli: hold_time_ms: 99 refused (100..3000 ms); stays 2000ms\n"}));
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
  EXPECT_EQ(Corvan({"--backup", Path("old.bin"), "write", Path("new.bin")}),
            (Result{0, "Settings saved successfully! (" + Path("old.bin") + ")\n" + kStored, ""}));
  EXPECT_EQ(ReadBytes(Path("old.bin")), ReadBytes(Path("a.bin")));
  ASSERT_EQ(Corvan({"write", Path("a.bin")}).out, kStored);
  ASSERT_EQ(Corvan({"read", Path("b.bin")}).code, 0);
  EXPECT_EQ(ReadBytes(Path("b.bin")), ReadBytes(Path("a.bin")));
  EXPECT_NE(ReadBytes(Path("new.bin")), ReadBytes(Path("a.bin")));
}

// An ESC erased by an interrupted store cannot be read, but a saved file can still be stored on it.
TEST_F(Cli, WriteRestoresAnErasedEsc) {
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  std::ofstream(Path("esc.eeprom"), std::ios::binary) << std::string(256, '\xFF');
  EXPECT_EQ(Corvan({"info"}).err, "Error when reading ESC EEPROMs\n");
  EXPECT_EQ(Corvan({"write", Path("a.bin")}).code, 0);
  EXPECT_EQ(ReadBytes(Path("esc.eeprom")).substr(0, 92), ReadBytes(Path("a.bin")).substr(2));
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

TEST_F(Cli, ShowAndDiff) {
  ASSERT_EQ(Corvan({"read", Path("a.bin")}).code, 0);
  Result r = Run({"show", "--json", Path("a.bin")});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(JsonChecker{r.out}.Whole()) << r.out;
  EXPECT_NE(r.out.find("  \"file\": \"" + JsonPath("a.bin") + "\",\n"), std::string::npos) << r.out;
  for (const char* line : {"  \"family\": {\"code\": 300, \"name\": \"CORVAN\"},\n", "  \"layout\": \"Layout92B\",\n",
                           "    \"warn_cutoff_mv\": {\"raw\": 3500, \"text\": \"3500mV\"},\n",
                           "    \"warn_motor_current_a\": {\"raw\": 150, \"text\": \"150A\"},\n",
                           "    \"warn_fet_temp_c\": {\"raw\": 90, \"text\": \"90\xC2\xB0" "C\"},\n",
                           "    \"warn_bec_temp_c\": {\"raw\": 90, \"text\": \"90\xC2\xB0" "C\"},\n",
                           "    \"warn_bec_current_ma\": {\"raw\": 8750, \"text\": \"8750mA\"},\n",
                           "    \"warn_capacity_dah\": {\"raw\": 0, \"text\": \"0.0Ah = Aus\"}\n"}) {
    EXPECT_NE(r.out.find(line), std::string::npos) << line;
  }
#ifdef _WIN32
  // No quote or control character in a Windows name; the folder's backslashes still need escaping.
  const std::string odd = "we'ird name.bin", odd_json = "we'ird name.bin";
#else
  const std::string odd = "we\"ird\\name\t.bin", odd_json = "we\\\"ird\\\\name\\t.bin";
#endif
  fs::copy_file(Path("a.bin"), Path(odd));
  r = Run({"show", Path(odd), "--json"});
  EXPECT_TRUE(JsonChecker{r.out}.Whole()) << r.out;
  EXPECT_NE(r.out.find("  \"file\": \"" + JsonPath("") + odd_json + "\",\n"), std::string::npos) << r.out;

  ASSERT_EQ(Run({"set", Path("a.bin"), Path("b.bin"), "warn_cutoff_mv=3600", "hold_time_ms=2001"}).code, 0);
  EXPECT_EQ(Run({"diff", Path("a.bin"), Path("a.bin")}), (Result{0, "", ""}));
  EXPECT_EQ(Run({"diff", Path("a.bin"), Path("b.bin")}),
            (Result{1, "hold_time_ms: 2000 (2000ms) -> 2001 (2001ms)\nwarn_cutoff_mv: 3500 (3500mV) -> 3600 (3600mV)\n"
                       "checksum: 0xFFFE58F5 -> 0xFFFE5890\n", ""}));
}

}  // namespace
}  // namespace tavio::test
