// tavio-cli set: parameters of a saved file changed by the fields' own rules.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/files/config_file.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

// A 94-byte file: family code, then the image. Family, block length and
// parameter set as given; flags LiPo; cut-offs NiMh 1000, LiPo 3300, LiFePo
// 2000 mV; hold time 2000 ms; the checksum as given; everything else zero.
std::vector<uint8_t> FileBytes(const char* family, const char* block_and_version, size_t checksum_offset,
                               const char* checksum) {
  std::vector<uint8_t> bytes(94, 0);
  auto put = [&](size_t image_offset, const char* hex) {
    const std::vector<uint8_t> b = Hex(hex);
    std::copy(b.begin(), b.end(), bytes.begin() + 2 + static_cast<std::ptrdiff_t>(image_offset));
  };
  const std::vector<uint8_t> f = Hex(family);
  std::copy(f.begin(), f.end(), bytes.begin());
  put(0x00, block_and_version);
  put(0x04, "04 00 00 00");
  put(0x08, "E8 03 E4 0C D0 07");
  put(0x12, "D0 07");
  put(checksum_offset, checksum);
  return bytes;
}

const std::vector<uint8_t> kBrenta400File = FileBytes("C8 00", "50 00 00 04", 0x4C, "3F DB FF FF");
const std::vector<uint8_t> kBrenta401File = FileBytes("C8 00", "5C 00 01 04", 0x58, "32 DB FF FF");

// The same bytes with some image bytes replaced.
std::vector<uint8_t> Patched(std::vector<uint8_t> bytes, std::initializer_list<std::pair<size_t, const char*>> patches) {
  for (const auto& [image_offset, hex] : patches) {
    const std::vector<uint8_t> b = Hex(hex);
    std::copy(b.begin(), b.end(), bytes.begin() + 2 + static_cast<std::ptrdiff_t>(image_offset));
  }
  return bytes;
}

std::vector<uint8_t> WithFamily(std::vector<uint8_t> bytes, const char* family) {
  const std::vector<uint8_t> f = Hex(family);
  std::copy(f.begin(), f.end(), bytes.begin());
  return bytes;
}

class CliSet : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("tavio-set-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    in_ = (dir_ / "in.bin").string();
    out_ = (dir_ / "out.bin").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteInput(const std::vector<uint8_t>& bytes) {
    std::ofstream file(in_, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<uint8_t> ReadOutput() const {
    std::ifstream file(out_, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  int Set(std::vector<std::string> args) {
    std::vector<std::string> argv = {"set", in_, out_};
    argv.insert(argv.end(), args.begin(), args.end());
    std::ostringstream out, err;
    const int code = cli::Run(argv, out, err);
    out_text = out.str();
    err_text = err.str();
    return code;
  }

  fs::path dir_;
  std::string in_;
  std::string out_;
  std::string out_text;
  std::string err_text;
};

TEST_F(CliSet, RefusesAnEntryBeyondItsLimitAndWritesNothing) {
  WriteInput(kBrenta400File);
  EXPECT_EQ(Set({"hold_time_ms=99"}), 1);
  EXPECT_EQ(err_text, "tavio-cli: hold_time_ms: 99 refused (100..3000 ms); stays 2000ms\n");
  EXPECT_EQ(out_text, "");
  EXPECT_FALSE(fs::exists(out_));
}

TEST_F(CliSet, AcceptedEntryIsStoredSealedAndLoadsBack) {
  WriteInput(kBrenta400File);
  ASSERT_EQ(Set({"hold_time_ms=100"}), 0) << err_text;
  EXPECT_EQ(out_text, "hold_time_ms: 100ms\n");
  EXPECT_EQ(err_text, "");
  EXPECT_EQ(ToHex(ReadOutput()), ToHex(Patched(kBrenta400File, {{0x12, "64 00"}, {0x4C, "AB E2 FF FF"}})));

  ConfigFile file;
  ASSERT_EQ(ReadConfigFile(out_, file), FileReadStatus::Ok);
  EXPECT_EQ(CheckConfigFile(file, 200, 0x0400), FileCheck::Valid);
}

TEST_F(CliSet, EntriesApplyInOrderByNameOrControlId) {
  struct Row {
    std::vector<std::string> args;
    std::string out;
    std::initializer_list<std::pair<size_t, const char*>> patches;
  };
  const Row rows[] = {
      {{"2033=3000ms"}, "hold_time_ms: 3000ms\n", {{0x12, "B8 0B"}, {0x4C, "57 D7 FF FF"}}},
      {{"hold_time_ms=500", "bec_voltage_mv=5.64", "2033=600"},
       "hold_time_ms: 500ms\nbec_voltage_mv: 5.6V\nhold_time_ms: 600ms\n",
       {{0x10, "08 16"}, {0x12, "58 02"}, {0x4C, "AF CA FF FF"}}},
      // A cut-off name is judged and stored for its own battery type.
      {{"cutoff_nimh_mv=900"}, "cutoff_nimh_mv: 900mV\n", {{0x08, "84 03"}, {0x4C, "A3 DB FF FF"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.out);
    WriteInput(kBrenta400File);
    ASSERT_EQ(Set(row.args), 0) << err_text;
    EXPECT_EQ(out_text, row.out);
    EXPECT_EQ(ToHex(ReadOutput()), ToHex(Patched(kBrenta400File, row.patches)));
  }
}

TEST_F(CliSet, RefusalsLeaveNoOutput) {
  struct Row {
    std::vector<uint8_t> input;
    std::vector<std::string> args;
    std::string err;
  };
  const Row rows[] = {
      {kBrenta400File, {"hold_time_ms=500", "spoolup_ms=61"},
       "tavio-cli: spoolup_ms: 61 refused (6..60 s); stays 0s\n"},
      {kBrenta400File, {"cutoff_nimh_mv=3000"}, "tavio-cli: cutoff_nimh_mv: 3000 refused (700..1200 mV); stays 1000mV\n"},
      {kBrenta400File, {"2007=1000"}, "tavio-cli: cutoff_lipo_mv: 1000 refused (2700..4000 mV); stays 3300mV\n"},
      {kBrenta400File, {"warn_cutoff_mv=3000"},
       "tavio-cli: warn_cutoff_mv refused: a BRENTA file of parameter set 0x0400 has no such field\n"},
      {kBrenta400File, {"gov_i=3"}, "tavio-cli: gov_i refused: a BRENTA file of parameter set 0x0400 has no such field\n"},
      {kBrenta400File, {"bec_voltage_mv=5,6"}, "tavio-cli: bec_voltage_mv: 5,6 refused (5.0..8.0 V); stays 0.0V\n"},
      {kBrenta401File, {"warn_motor_current_a=321"},
       "tavio-cli: warn_motor_current_a: 321 refused (0..320 A); stays 0A\n"},
      // The damaged and the foreign are not edited.
      {Patched(kBrenta400File, {{0x4C, "3E DB FF FF"}}), {"hold_time_ms=500"},
       "tavio-cli: IN is not valid: its checksum does not match\n"},
      {WithFamily(kBrenta400File, "F4 01"), {"hold_time_ms=500"},
       "tavio-cli: IN is not valid: no checksum rule for family 500 with parameter set 0x0400\n"},
      {std::vector<uint8_t>(kBrenta400File.begin(), kBrenta400File.begin() + 40), {"hold_time_ms=500"},
       "tavio-cli: IN is too short for a configuration file\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.err);
    WriteInput(row.input);
    EXPECT_EQ(Set(row.args), 1);
    std::string err = err_text;
    const size_t at = err.find(in_);
    if (at != std::string::npos) err.replace(at, in_.size(), "IN");
    EXPECT_EQ(err, row.err);
    EXPECT_EQ(out_text, "");
    EXPECT_FALSE(fs::exists(out_));
  }
}

TEST_F(CliSet, ModelNumberSetsTheMotorCurrentLimit) {
  struct Row {
    std::vector<std::string> args;
    int code;
    std::string err;
  };
  const Row rows[] = {
      {{"warn_motor_current_a=300"}, 0, ""},
      {{"--model", "160", "warn_motor_current_a=320"}, 0, ""},
      {{"--model=120", "warn_motor_current_a=300"}, 1,
       "tavio-cli: warn_motor_current_a: 300 refused (0..240 A); stays 0A\n"},
      {{"--model", "4096", "warn_motor_current_a=300"}, 2,
       "tavio-cli: --model needs a model number 0..4095, not '4096'\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.back());
    fs::remove(out_);
    WriteInput(kBrenta401File);
    EXPECT_EQ(Set(row.args), row.code);
    EXPECT_EQ(err_text, row.err);
    EXPECT_EQ(fs::exists(out_), row.code == 0);
  }
  // 300 A: the motor-current word and the 88-byte checksum.
  WriteInput(kBrenta401File);
  ASSERT_EQ(Set({"warn_motor_current_a=300"}), 0);
  EXPECT_EQ(ToHex(ReadOutput()), ToHex(Patched(kBrenta401File, {{0x4E, "2C 01"}, {0x58, "06 DA FF FF"}})));
  ConfigFile file;
  ASSERT_EQ(ReadConfigFile(out_, file), FileReadStatus::Ok);
  EXPECT_EQ(CheckConfigFile(file, 200, 0x0401), FileCheck::Valid);
}

TEST_F(CliSet, UsageErrors) {
  WriteInput(kBrenta400File);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"hold_time_ms"}, {"=100"}, {"hold_time=100"}, {"aux_2c=5"}, {"checksum=0"}, {"2006=1"}, {"9999=1"}}) {
    SCOPED_TRACE(args[0]);
    EXPECT_EQ(Set(args), 2);
    EXPECT_FALSE(fs::exists(out_));
  }
  EXPECT_EQ(Set({"flags=1"}), 2);
  EXPECT_EQ(err_text,
            "tavio-cli: unknown parameter 'flags' (an image field name such as hold_time_ms, or a field's control ID)\n");
  std::ostringstream out, err;
  EXPECT_EQ(cli::Run({"set", in_, out_}, out, err), 2);
}

}  // namespace
}  // namespace tavio::test
