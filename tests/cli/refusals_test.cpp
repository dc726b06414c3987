// What tavio-cli refuses before it can do harm: empty values, a trace over a
// file of the command, pipes and folders, a damaged ESC block as the base of
// a default set, stored values outside the limits behind a rounded text.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "cli/cli_run.h"
#include "core/files/config_file.h"
#include "core/model/family.h"
#include "frontend/program_options.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

using Refusals = CliRun;

const std::string kCorvan = "CORVAN:120:0x0401";
const std::string kStored =
    "The configuration parameters have been transferred to the ESC successfully\n"
    "Read back and compared: 92 bytes identical.\n";

TEST_F(Refusals, AnEmptyValueIsAUsageError) {
  const std::string see = " (see tavio-cli --help)\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--simulate", "BRENTA", "--sim-eeprom", "", "info"}, "tavio-cli: --sim-eeprom: the value is empty" + see},
      {{"--simulate", "BRENTA", "--sim-eeprom=", "info"}, "tavio-cli: --sim-eeprom: the value is empty" + see},
      {{"--simulate", "BRENTA", "--sim-unit", "", "info"}, "tavio-cli: --sim-unit: the value is empty" + see},
      {{"--simulate", "", "info"}, "tavio-cli: --simulate: the value is empty" + see},
      {{"--simulate", "BRENTA", "--sim-fault", "", "info"}, "tavio-cli: --sim-fault: the value is empty" + see},
      {{"--simulate", "BRENTA", "--sim-firmware", "", "info"}, "tavio-cli: --sim-firmware: the value is empty" + see},
      {{"--simulate", "BRENTA", "--sim-unplug-after", "", "info"},
       "tavio-cli: --sim-unplug-after: the value is empty" + see},
      {{"--simulate", "BRENTA", "info", "--trace", ""}, "tavio-cli: --trace: the value is empty" + see},
      {{"write", "a.bin", "--backup", ""}, "tavio-cli: --backup: the value is empty (see tavio-cli write --help)\n"},
      {{"set", "a.bin", "b.bin", "--from", ""}, "tavio-cli: --from: the value is empty (see tavio-cli set --help)\n"},
      {{"set", "a.bin", "b.bin", "x=1", "--model", ""},
       "tavio-cli: --model: the value is empty (see tavio-cli set --help)\n"},
      {{"read", ""}, "tavio-cli: OUT.bin: the value is empty (see tavio-cli read --help)\n"},
      {{"set", "a.bin", "b.bin", ""}, "tavio-cli: NAME=TEXT: the value is empty (see tavio-cli set --help)\n"},
  };
  for (const auto& [args, err] : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    EXPECT_EQ(Run(args), (Result{2, "", err}));
  }
  EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(folder), {}), std::vector<fs::path>{});
}

// Each --sim-fault takes one value; what follows is the command's argument.
TEST_F(Refusals, SimFaultTakesOneValue) {
  ASSERT_EQ(Esc(kCorvan, {"read", Path("a.bin")}).code, 0);
  const std::string erase_failed =
      "Error during writing on EEPROM. No data writing possible.\nSystem has error code 0xfffffffd-0x0000006e\n";
  EXPECT_EQ(Esc(kCorvan, {"write", "--sim-fault", "silent@EraseConfig", Path("a.bin")}).err, erase_failed);
  EXPECT_EQ(Esc(kCorvan, {"--sim-fault", "silent@EraseConfig", "write", Path("a.bin")}).err, erase_failed);
  // A repeated option keeps every fault: the second one fails the first write block.
  const Result two = Esc(kCorvan, {"write", "--sim-fault", "unplug@1000", "--sim-fault", "error=0@WriteBlock#1",
                                   Path("a.bin")});
  EXPECT_EQ(two.code, 1);
  EXPECT_EQ(two.err.rfind("Error when writing last EEPROM data block.", 0), 0u) << two.err;
}

// A default set never starts from a damaged block: nothing is saved, nothing stored.
TEST_F(Refusals, DefaultsRefuseADamagedBlock) {
  ASSERT_EQ(Esc(kCorvan, {"read", Path("a.bin")}).code, 0);
  std::string eeprom = ReadAll(Path("a.bin")).substr(2) + std::string(256 - 92, '\xFF');
  eeprom[0x12] ^= 0x01;  // hold time 2000 -> 2001, checksum left as it was
  std::ofstream(Path("esc.eeprom"), std::ios::binary) << eeprom;
  const std::string refusal = "tavio-cli: the ESC's block is damaged: its stored checksum is 0xFFFE58F5, the computed "
                              "one 0xFFFE58F4; nothing was saved\n";
  for (const std::vector<std::string>& command : {std::vector<std::string>{"defaults", "2", Path("d.bin")},
                                                 std::vector<std::string>{"defaults", "2", Path("d.bin"), "--store"}}) {
    EXPECT_EQ(Esc(kCorvan, command), (Result{1, "", refusal}));
    EXPECT_FALSE(fs::exists(Path("d.bin")));
    EXPECT_EQ(ReadAll(Path("esc.eeprom")), eeprom);
  }
  EXPECT_FALSE(fs::exists(data_home.backups()));
}

// The ESC a stored value is judged for: the limits apply to the value itself.
TEST_F(Refusals, WriteJudgesTheStoredValueNotItsRoundedText) {
  ASSERT_EQ(Esc(kCorvan, {"read", Path("a.bin")}).code, 0);
  ASSERT_EQ(Run({"set", Path("a.bin"), Path("gov.bin"), "governor_type=governor"}).code, 0);
  const struct {
    const char* base;
    size_t offset;  // in the image
    uint16_t raw;
    std::string refusal;  // empty: stored
  } cases[] = {
      {"a.bin", 0x10, 4951, "bec_voltage_mv 4951 (5.0V) is outside 5.0..8.0 V"},
      {"a.bin", 0x10, 8049, "bec_voltage_mv 8049 (8.0V) is outside 5.0..8.0 V"},
      {"a.bin", 0x10, 5000, ""},
      {"a.bin", 0x10, 8000, ""},
      {"gov.bin", 0x26, 60999, "spoolup_ms 60999 (60s) is outside 6..60 s"},
      {"gov.bin", 0x26, 60000, ""},
      {"a.bin", 0x3A, 1025, "min_pwm 1025 (25%) is outside 2..25 %"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.refusal);
    ConfigFile file;
    ASSERT_EQ(ReadConfigFile(Path(c.base), file), FileReadStatus::Ok);
    PutU16(file.image, c.offset, c.raw);
    SealImage(file.image, *SaveChecksum(kFamilyCorvan, 0x0401));
    std::string error;
    ASSERT_TRUE(WriteConfigFile(Path("x.bin"), kFamilyCorvan, file.image, error)) << error;
    const std::string eeprom = ReadAll(Path("esc.eeprom"));
    const Result r = Esc(kCorvan, {"write", Path("x.bin")});
    if (c.refusal.empty()) {
      EXPECT_EQ(r.code, 0) << r.err;
      EXPECT_EQ(ReadAll(Path("esc.eeprom")).substr(0, 92), ReadAll(Path("x.bin")).substr(2));
      continue;
    }
    EXPECT_EQ(r, (Result{1, "", Path("x.bin") + ": " + c.refusal + " for CORVAN 120\ntavio-cli: the window would "
                                                  "refuse these values; nothing was stored (--force stores them)\n"}));
    EXPECT_EQ(ReadAll(Path("esc.eeprom")), eeprom);
  }
}

TEST_F(Refusals, ATraceNeverReplacesAFileOfTheCommand) {
  ASSERT_EQ(Esc(kCorvan, {"read", Path("a.bin")}).code, 0);
  ASSERT_EQ(Run({"show", Path("a.bin"), "--json"}).code, 0);
  std::ofstream(Path("a.json"), std::ios::binary) << Run({"show", Path("a.bin"), "--json"}).out;
  fs::copy_file(Path("a.bin"), Path("b.bin"));
  std::vector<std::pair<std::string, std::string>> names = {{Path("a.bin"), Path("a.bin")},
                                                            {folder.string() + "/./a.bin", Path("a.bin")}};
#ifndef _WIN32
  fs::create_symlink(Path("a.bin"), Path("link.bin"));
  fs::create_hard_link(Path("a.bin"), Path("hard.bin"));
  names.push_back({Path("link.bin"), Path("a.bin")});
  names.push_back({Path("hard.bin"), Path("a.bin")});
#endif
  const std::string overwrite = ", a file of the command; the trace would overwrite it";
  const auto see = [](const std::string& command) { return " (see tavio-cli " + command + " --help)\n"; };
  for (const auto& [trace, _] : names) {
    SCOPED_TRACE(trace);
    const std::string bytes = ReadAll(Path("a.bin"));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"write", Path("a.bin")}, "tavio-cli: --trace names IN.bin" + overwrite + see("write")},
        {{"write", Path("b.bin"), "--backup", Path("a.bin")}, "tavio-cli: --trace names --backup" + overwrite + see("write")},
        {{"read", Path("a.bin")}, "tavio-cli: --trace names OUT.bin" + overwrite + see("read")},
        {{"defaults", "2", Path("a.bin")}, "tavio-cli: --trace names OUT.bin" + overwrite + see("defaults")},
        {{"diff", Path("b.bin"), Path("a.bin")}, "tavio-cli: --trace names B.bin" + overwrite + see("diff")},
        {{"show", Path("a.bin")}, "tavio-cli: --trace names IN.bin" + overwrite + see("show")},
        {{"set", Path("b.bin"), Path("a.bin"), "hold_time_ms=100"},
         "tavio-cli: --trace names OUT.bin" + overwrite + see("set")},
        {{"info", "--sim-eeprom", Path("a.bin")}, "tavio-cli: --trace names --sim-eeprom" + overwrite + see("info")},
    };
    for (const auto& [command, err] : cases) {
      SCOPED_TRACE(::testing::PrintToString(command));
      std::vector<std::string> args = {"--simulate", kCorvan, "--trace", trace};
      args.insert(args.end(), command.begin(), command.end());
      EXPECT_EQ(Run(args), (Result{2, "", err}));
      EXPECT_EQ(ReadAll(Path("a.bin")), bytes);
    }
  }
  // The document of set --from is a file of the command too.
  EXPECT_EQ(Run({"set", Path("a.bin"), Path("c.bin"), "--from", Path("a.json"), "--trace", Path("a.json")}),
            (Result{2, "", "tavio-cli: --trace names --from" + overwrite + see("set")}));
  // Another file is traced as before.
  EXPECT_EQ(Esc(kCorvan, {"write", Path("a.bin"), "--trace", Path("trace.txt")}).code, 0);
  EXPECT_NE(ReadAll(Path("trace.txt")).find("#0 > 01 08 00 00"), std::string::npos);
}

// The window's command line parses with the same rules.
TEST_F(Refusals, TheWindowsOptionsRefuseTheSame) {
  const std::string eeprom = Path("esc.eeprom");
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--simulate", "ALDER", "--sim-eeprom", eeprom, "--trace", eeprom},
       "tavio: --trace names the --sim-eeprom file; the trace would overwrite it (see tavio --help)\n"},
      {{"--simulate", "ALDER", "--sim-eeprom", eeprom, "--trace", folder.string() + "/./esc.eeprom"},
       "tavio: --trace names the --sim-eeprom file; the trace would overwrite it (see tavio --help)\n"},
      {{"--simulate", "ALDER", "--sim-eeprom", ""}, "tavio: --sim-eeprom: the value is empty (see tavio --help)\n"},
      {{"--simulate", "ALDER", "--trace="}, "tavio: --trace: the value is empty (see tavio --help)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    options::WindowOptions parsed;
    const options::ParseOutcome outcome = options::ParseWindowOptions(c.args, parsed);
    EXPECT_FALSE(outcome.proceed);
    EXPECT_EQ(outcome.exit_code, 2);
    EXPECT_EQ(outcome.text, c.err);
  }
  options::WindowOptions parsed;
  EXPECT_TRUE(options::ParseWindowOptions({"--simulate", "ALDER", "--sim-eeprom", eeprom, "--trace", Path("t.txt"),
                                           "--sim-fault", "mode=2", "--sim-fault", "silent@3"},
                                          parsed)
                  .proceed);
  EXPECT_EQ(parsed.shared.sim.faults, (std::vector<std::string>{"mode=2", "silent@3"}));
}

#ifndef _WIN32
// A trace that cannot be written is told, and the store still succeeds.
TEST_F(Refusals, ATraceThatCannotBeWrittenIsToldAndFailsNoStore) {
  ASSERT_EQ(Esc(kCorvan, {"read", Path("a.bin")}).code, 0);
  ASSERT_EQ(Run({"set", Path("a.bin"), Path("new.bin"), "hold_time_ms=1500"}).code, 0);
  const Result r = Esc(kCorvan, {"write", Path("new.bin"), "--trace", "/dev/full"});
  EXPECT_EQ(r, (Result{0, "Backup of the ESC's block: " + (data_home.backups() / "CORVAN_120_0x0401_TIME.bin").string() +
                              "\n" + kStored,
                       "tavio-cli: the trace file '/dev/full' could not be written; the trace is incomplete\n"}));
  EXPECT_EQ(ReadAll(Path("esc.eeprom")).substr(0, 92), ReadAll(Path("new.bin")).substr(2));
  EXPECT_EQ(Esc(kCorvan, {"info", "--trace", "/dev/null"}).err, "");
}

// What could hang on a pipe or crash on a folder, run as the real program.
TEST_F(Refusals, PipesAndFoldersAreRefusedAtOnce) {
  ASSERT_EQ(Esc(kCorvan, {"read", Path("a.bin")}).code, 0);
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  fs::create_directory(Path("dir"));
  const struct {
    std::vector<std::string> args;
    Result result;
  } cases[] = {
      {{"set", Path("a.bin"), Path("b.bin"), "--from", Path("dir")},
       {1, "", "tavio-cli: " + Path("dir") + " is not a regular file\n"}},
      {{"set", Path("a.bin"), Path("b.bin"), "--from", Path("pipe")},
       {1, "", "tavio-cli: " + Path("pipe") + " is not a regular file\n"}},
      {{"--simulate", kCorvan, "--sim-eeprom", Path("pipe"), "info"},
       {1, "", "tavio-cli: '" + Path("pipe") + "' is not a regular file\n"}},
      {{"--simulate", kCorvan, "--sim-eeprom", Path("dir"), "info"},
       {1, "", "tavio-cli: '" + Path("dir") + "' is not a regular file\n"}},
      {{"--simulate", kCorvan, "--trace", Path("pipe"), "info"},
       {1, "", "tavio-cli: cannot write the trace file '" + Path("pipe") + "': it is a named pipe that nobody reads\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(RunProgram(c.args), c.result);
  }
  EXPECT_FALSE(fs::exists(Path("b.bin")));
  EXPECT_EQ(fs::status(Path("pipe")).type(), fs::file_type::fifo);
}
#endif

}  // namespace
}  // namespace tavio::test
