// tavio-cli read, write, defaults, diff and show against the simulated unit:
// exit codes, exact messages, the files they leave and what reaches the ESC.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/files/config_file.h"
#include "core/link/protocol.h"
#include "link/sim_link_fixture.h"
#include "sim/sim_hid_port.h"
#include "support/fake_sleeper.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTestUnitPath = "/dev/hidraw-cli-test";

// Hands the CLI a port that forwards to one the test keeps, so the test can
// read the unit's transcript afterwards and alter reports on their way out.
class BorrowedPort final : public HidPort {
 public:
  BorrowedPort(sim::SimHidPort& port, std::function<void(std::vector<uint8_t>&)> tamper)
      : port_(port), tamper_(std::move(tamper)) {}
  bool ListInterfaces(std::vector<HidInterface>& out) override { return port_.ListInterfaces(out); }
  HidOpenStatus Open(const std::string& path, HidHandle& handle) override { return port_.Open(path, handle); }
  bool GetReportLengths(HidHandle handle, uint32_t& in, uint32_t& out) override {
    return port_.GetReportLengths(handle, in, out);
  }
  bool WriteReport(HidHandle handle, std::span<const uint8_t> report) override {
    std::vector<uint8_t> bytes(report.begin(), report.end());
    if (tamper_) tamper_(bytes);
    return port_.WriteReport(handle, bytes);
  }
  HidReadStatus ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) override {
    return port_.ReadReport(handle, report, timeout_ms);
  }
  void Close(HidHandle handle) override { port_.Close(handle); }
  uint32_t LastError() const override { return port_.LastError(); }

 private:
  sim::SimHidPort& port_;
  std::function<void(std::vector<uint8_t>&)> tamper_;
};

struct CliResult {
  int code;
  std::string out;
  std::string err;
};

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Checks that a text is one JSON value and nothing else.
class JsonChecker {
 public:
  explicit JsonChecker(std::string_view text) : t_(text) {}
  bool Valid() {
    Space();
    if (!Value()) return false;
    Space();
    return i_ == t_.size();
  }

 private:
  bool Value() {
    if (i_ >= t_.size()) return false;
    switch (t_[i_]) {
      case '{': return Object();
      case '[': return Array();
      case '"': return String();
      default: return Word("true") || Word("false") || Word("null") || Number();
    }
  }
  bool Object() {
    ++i_;
    Space();
    if (Eat('}')) return true;
    for (;;) {
      Space();
      if (!String()) return false;
      Space();
      if (!Eat(':')) return false;
      Space();
      if (!Value()) return false;
      Space();
      if (Eat(',')) continue;
      return Eat('}');
    }
  }
  bool Array() {
    ++i_;
    Space();
    if (Eat(']')) return true;
    for (;;) {
      Space();
      if (!Value()) return false;
      Space();
      if (Eat(',')) continue;
      return Eat(']');
    }
  }
  bool String() {
    if (!Eat('"')) return false;
    while (i_ < t_.size()) {
      const auto c = static_cast<unsigned char>(t_[i_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') continue;
      if (i_ >= t_.size()) return false;
      const char e = t_[i_++];
      if (e == 'u') {
        for (int k = 0; k < 4; ++k) {
          if (i_ >= t_.size() || !std::isxdigit(static_cast<unsigned char>(t_[i_++]))) return false;
        }
      } else if (std::strchr("\"\\/bfnrt", e) == nullptr) {
        return false;
      }
    }
    return false;
  }
  bool Number() {
    const size_t start = i_;
    Eat('-');
    while (i_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[i_]))) ++i_;
    return i_ > start && std::isdigit(static_cast<unsigned char>(t_[i_ - 1]));
  }
  bool Word(std::string_view word) {
    if (t_.substr(i_, word.size()) != word) return false;
    i_ += word.size();
    return true;
  }
  bool Eat(char c) {
    if (i_ < t_.size() && t_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  void Space() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\n' || t_[i_] == '\t' || t_[i_] == '\r')) ++i_;
  }
  std::string_view t_;
  size_t i_ = 0;
};

class CliFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = fs::path(::testing::TempDir()) / (std::string("cli_") + info->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Path(const std::string& name) const { return (folder / name).string(); }
  // A path as a JSON string shows it: Windows folders bring backslashes.
  std::string JsonPath(const std::string& name) const {
    std::string out;
    for (char c : Path(name)) {
      if (c == '\\') out.push_back('\\');
      out.push_back(c);
    }
    return out;
  }

  CliResult Run(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    cli::Environment environment;
    environment.sleeper = &sleeper;
    if (port) {
      environment.make_platform_port = [this] { return std::make_unique<BorrowedPort>(*port, tamper); };
    }
    const int code = cli::Run(args, out, err, environment);
    return {code, out.str(), err.str()};
  }

  // The simulated CORVAN 120 at 0x0401, its EEPROM kept between runs.
  std::vector<std::string> Corvan(std::vector<std::string> command) {
    std::vector<std::string> args = {"--simulate", "CORVAN:120:0x0401", "--sim-eeprom", Path("esc.eeprom")};
    args.insert(args.end(), command.begin(), command.end());
    return args;
  }

  // A unit of the test's own behind the port the CLI gets.
  sim::SimUnit& OwnUnit(uint16_t family, uint16_t model, uint16_t version) {
    port = std::make_unique<sim::SimHidPort>();
    sim::SimUnitConfig config;
    config.family = family;
    config.model_number = model;
    config.param_version = version;
    return port->AddUnit(kTestUnitPath, config);
  }

  std::string SavedLine(const std::string& name) const {
    return "Settings saved successfully! (" + Path(name) + ")\n";
  }

  fs::path folder;
  FakeSleeper sleeper;
  std::unique_ptr<sim::SimHidPort> port;
  std::function<void(std::vector<uint8_t>&)> tamper;
};

const std::string kStored =
    "The configuration parameters have been transferred to the ESC successfully\n"
    "Read back and compared: 92 bytes identical.\n";

// A file as the test makes it: family, block length, version, one hold time,
// sealed by `spec`.
void MakeFile(const std::string& path, uint16_t family, uint16_t block, uint16_t version, ChecksumSpec spec) {
  ConfigImage image;
  PutU16(image, kOffBlockLength, block);
  PutU16(image, kOffParamVersion, version);
  PutU16(image, 0x12, 1500);
  SealImage(image, spec);
  std::string error;
  ASSERT_TRUE(WriteConfigFile(path, family, image, error)) << error;
}

// Sets a 16-bit image field of a saved file and, when asked, seals it again.
void EditFile(const std::string& path, size_t image_offset, uint16_t value, std::optional<ChecksumSpec> reseal) {
  ConfigFile file;
  ASSERT_EQ(ReadWholeConfigFile(path, file), FileReadStatus::Ok);
  PutU16(file.image, image_offset, value);
  if (reseal) SealImage(file.image, *reseal);
  std::string error;
  ASSERT_TRUE(WriteConfigFile(path, file.family, file.image, error)) << error;
}

TEST_F(CliFileTest, ReadWriteReadGivesTheSameFile) {
  CliResult r = Run(Corvan({"read", Path("a.bin")}));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Read 92 bytes from CORVAN 120 (parameter set 0x0401).\n" + SavedLine("a.bin"));
  EXPECT_EQ(r.err, "");
  const std::vector<uint8_t> a = ReadBytes(Path("a.bin"));
  ASSERT_EQ(a.size(), 94u);
  EXPECT_EQ(ToHex(std::vector<uint8_t>(a.begin(), a.begin() + 6)), "2C 01 5C 00 01 04");

  EditFile(Path("a.bin"), 0x12, 1500, kChecksum88);
  sleeper.pauses.clear();
  r = Run(Corvan({"write", Path("a.bin")}));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, kStored);
  EXPECT_EQ(r.err, "");
  // Every pause goes through the fake sleeper: the write's (lock, flash,
  // erase's second, erase, assign, two blocks, flash), then the read-back's three.
  EXPECT_EQ(sleeper.pauses, (std::vector<uint32_t>{20, 20, 1000, 20, 20, 20, 20, 20, 20, 20, 20}));

  r = Run(Corvan({"read", Path("b.bin")}));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(ToHex(ReadBytes(Path("b.bin"))), ToHex(ReadBytes(Path("a.bin"))));
}

TEST_F(CliFileTest, WriteWithBackupSavesTheOldBlockFirst) {
  ASSERT_EQ(Run(Corvan({"read", Path("orig.bin")})).code, 0);
  fs::copy_file(Path("orig.bin"), Path("new.bin"));
  EditFile(Path("new.bin"), 0x4C, 3700, kChecksum88);

  const CliResult r = Run(Corvan({"--backup", Path("old.bin"), "write", Path("new.bin")}));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, SavedLine("old.bin") + kStored);
  EXPECT_EQ(ToHex(ReadBytes(Path("old.bin"))), ToHex(ReadBytes(Path("orig.bin"))));

  ASSERT_EQ(Run(Corvan({"read", Path("now.bin")})).code, 0);
  EXPECT_EQ(ToHex(ReadBytes(Path("now.bin"))), ToHex(ReadBytes(Path("new.bin"))));
}

TEST_F(CliFileTest, WriteRefusesFilesTheLoadWouldRefuseAndSendsNothing) {
  MakeFile(Path("corvan.bin"), kFamilyCorvan, 92, 0x0401, kChecksum88);
  MakeFile(Path("brenta400.bin"), kFamilyBrenta, 80, 0x0400, kChecksum76);
  MakeFile(Path("unsealed.bin"), kFamilyBrenta, 92, 0x0401, kChecksum76);
  WriteBytes(Path("short.bin"), {0xC8, 0x00, 0x5C});
  const std::string not_valid = "The selected file is not a valid memory file, please choose a valid memory file!\n";
  const std::string not_compatible =
      "The selected file is not compatible with the connected controller, please choose a valid memory file!\n";
  struct Case {
    std::string file;
    std::string message;
    bool unit_touched;
  };
  const Case cases[] = {
      {"corvan.bin", not_compatible, true},
      {"brenta400.bin", not_valid, true},
      {"unsealed.bin", not_valid, true},
      {"short.bin", not_valid, false},
      {"missing.bin", not_valid, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    sim::SimUnit& unit = OwnUnit(kFamilyBrenta, 160, 0x0401);
    const std::vector<uint8_t> eeprom(unit.Eeprom().begin(), unit.Eeprom().end());
    const CliResult r = Run({"write", Path(c.file), "--backup", Path("backup.bin")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, Path(c.file) + ": " + c.message);
    // Identification only: status, memory reads and the identity.
    for (uint8_t command : Commands(unit)) {
      EXPECT_TRUE(command == cmd::kUnitStatus || command == cmd::kReadMemory || command == cmd::kEscIdentity)
          << int{command};
    }
    EXPECT_EQ(Commands(unit).empty(), !c.unit_touched);
    EXPECT_EQ(std::vector<uint8_t>(unit.Eeprom().begin(), unit.Eeprom().end()), eeprom);
    EXPECT_FALSE(fs::exists(Path("backup.bin")));
  }
}

TEST_F(CliFileTest, WriteReportsBytesThatReadBackDifferently) {
  sim::SimUnit& unit = OwnUnit(kFamilyBrenta, 160, 0x0401);
  ASSERT_EQ(Run({"read", Path("a.bin")}).code, 0);
  // The second block's first data byte (image offset 0x30) is spoilt on the wire.
  int blocks = 0;
  tamper = [&blocks](std::vector<uint8_t>& report) {
    if (report.size() > 4 && report[1] == cmd::kWriteBlock && ++blocks == 2) report[4] ^= 0xFF;
  };
  const CliResult r = Run({"write", Path("a.bin")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "tavio-cli: the ESC reads back other bytes than were written, at offset 0x30\n");
  EXPECT_EQ(blocks, 2);
  EXPECT_EQ(unit.Eeprom()[0x30], static_cast<uint8_t>(ReadBytes(Path("a.bin"))[0x32] ^ 0xFF));
}

// An ESC whose memory was erased by an interrupted store cannot be read, but a
// saved file can still be stored on it: that is the way back.
TEST_F(CliFileTest, WriteRestoresAnErasedEsc) {
  sim::SimUnit& unit = OwnUnit(kFamilyBrenta, 160, 0x0401);
  ASSERT_EQ(Run({"read", Path("a.bin")}).code, 0);
  std::fill(unit.MutableEeprom().begin(), unit.MutableEeprom().end(), uint8_t{0xFF});
  const CliResult refused = Run({"info"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err, "Error when reading ESC EEPROMs\n");

  const CliResult restored = Run({"write", Path("a.bin")});
  EXPECT_EQ(restored.code, 0) << restored.err;
  const std::vector<uint8_t> file = ReadBytes(Path("a.bin"));
  EXPECT_TRUE(std::equal(file.begin() + 2, file.end(), unit.Eeprom().begin()));
  EXPECT_EQ(Run({"info"}).code, 0);
}

TEST_F(CliFileTest, DefaultsRefuseWhatTheDialogCannotOffer) {
  struct Case {
    std::string simulate;
    std::string code;
    int exit;
    std::string err;
  };
  const Case cases[] = {
      {"ALDER", "4", 1,
       "tavio-cli: model type 4 cannot be chosen for ALDER; the model types are:\n"
       "  1  Sail plane\n  2  Sports plane\n  3  Helicopter\n  9  Reset (Mode 1)\n"},
      {"DELMAR-Z", "1", 1,
       "tavio-cli: model type 1 cannot be chosen for DELMAR-Z; the model types are:\n"
       "  6  Multicopter\n  7  Forward/Reverse\n  8  Reverserotation\n  9  Reset (DJI-Mode)\n"},
      {"BRENTA", "0", 1,
       "tavio-cli: model type 0 cannot be chosen for BRENTA; the model types are:\n"
       "  1  Sail plane\n  2  Sports plane\n  3  Helicopter\n  4  RC Car\n  9  Reset (Mode 1)\n"},
      {"500", "1", 1, "tavio-cli: there are no default sets for family 500\n"},
      {"ALDER", "x3", 2, "tavio-cli: model type 'x3' is not a number\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.simulate + " " + c.code);
    const CliResult r = Run({"--simulate", c.simulate, "defaults", c.code, Path("x.bin")});
    EXPECT_EQ(r.code, c.exit);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_FALSE(fs::exists(Path("x.bin")));
  }
}

TEST_F(CliFileTest, DefaultsSaveTheSetAndStoreItWhenAsked) {
  ASSERT_EQ(Run(Corvan({"read", Path("orig.bin")})).code, 0);

  CliResult r = Run(Corvan({"defaults", "3", Path("heli.bin")}));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Defaults for CORVAN 120: 3 Helicopter.\n" + SavedLine("heli.bin"));
  ConfigFile heli;
  ASSERT_EQ(ReadWholeConfigFile(Path("heli.bin"), heli), FileReadStatus::Ok);
  EXPECT_EQ(heli.family, kFamilyCorvan);
  EXPECT_EQ(GetU16(heli.image, 0x00), 92);
  EXPECT_EQ(GetU16(heli.image, 0x02), 0x0401);
  EXPECT_EQ(GetU16(heli.image, 0x16), 1100);  // stick positions kept
  EXPECT_EQ(GetU16(heli.image, 0x22), 8000);
  EXPECT_EQ(GetU16(heli.image, 0x4E), 150);
  EXPECT_EQ(GetU16(heli.image, 0x54), 8750);
  EXPECT_EQ(GetU32(heli.image, 0x58), ImageChecksum(heli.image, 88));
  // Without --store the ESC keeps its block.
  ASSERT_EQ(Run(Corvan({"read", Path("still.bin")})).code, 0);
  EXPECT_EQ(ReadBytes(Path("still.bin")), ReadBytes(Path("orig.bin")));

  r = Run(Corvan({"defaults", "--store", "2", Path("sport.bin")}));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Defaults for CORVAN 120: 2 Sports plane.\n" + SavedLine("sport.bin") + kStored);
  ASSERT_EQ(Run(Corvan({"read", Path("now.bin")})).code, 0);
  EXPECT_EQ(ToHex(ReadBytes(Path("now.bin"))), ToHex(ReadBytes(Path("sport.bin"))));
}

TEST_F(CliFileTest, ShowJsonNamesTheFileAndEveryWarning) {
  ASSERT_EQ(Run(Corvan({"read", Path("a.bin")})).code, 0);
  const CliResult r = Run({"show", "--json", Path("a.bin")});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(JsonChecker(r.out).Valid()) << r.out;
  const std::vector<std::string> lines = {
      "  \"file\": \"" + JsonPath("a.bin") + "\",\n",
      "  \"family\": {\"code\": 300, \"name\": \"CORVAN\"},\n",
      "  \"layout\": \"Layout92B\",\n",
      "  \"block_length\": 92,\n",
      "  \"param_version\": \"0x0401\",\n",
      "  \"checksum\": {\"state\": \"correct\", \"prefix\": 88, \"offset\": 88, \"value\": \"0xFFFE58F5\", "
      "\"computed\": \"0xFFFE58F5\"},\n",
      "    \"warn_cutoff_mv\": {\"raw\": 3500, \"text\": \"3500mV\"},\n",
      "    \"warn_motor_current_a\": {\"raw\": 150, \"text\": \"150A\"},\n",
      "    \"warn_fet_temp_c\": {\"raw\": 90, \"text\": \"90\xC2\xB0" "C\"},\n",
      "    \"warn_bec_temp_c\": {\"raw\": 90, \"text\": \"90\xC2\xB0" "C\"},\n",
      "    \"warn_bec_current_ma\": {\"raw\": 8750, \"text\": \"8750mA\"},\n",
      "    \"warn_capacity_dah\": {\"raw\": 0, \"text\": \"0.0Ah = Aus\"}\n",
      "  \"flags\": {\"raw\": \"0x00010B15\", \"brake_on\": true, \"brake_proportional\": false, \"battery_type\": 1, "
      "\"governor_on\": false, \"governor_store\": false, \"governor_rpm_stored\": false, \"shutdown\": true, "
      "\"auto_timing\": true, \"reverse_rotation\": false, \"forward_backward\": false, \"soft_start\": false, "
      "\"other_bits_set\": [4, 11, 16]},\n",
      "  \"lists\": {\"battery_type\": \"LiPo\", \"governor_type\": \"Off\", \"brake_type\": \"Switching brake\"},\n",
      "    \"stick_brake_us\": 1100,\n",
      "  \"past_block\": \"\",\n",
  };
  size_t at = 0;
  for (const std::string& line : lines) {
    const size_t found = r.out.find(line);
    EXPECT_NE(found, std::string::npos) << line;
    if (found == std::string::npos) continue;
    EXPECT_GT(found, at) << "out of order: " << line;  // the keys keep their order
    at = found;
  }
}

TEST_F(CliFileTest, ShowEscapesTheFileNameInJson) {
  ASSERT_EQ(Run(Corvan({"read", Path("a.bin")})).code, 0);
#ifdef _WIN32
  // No quote or control character in a Windows name; the folder's
  // backslashes still need escaping.
  const std::string odd = Path("we'ird name.bin");
  const std::string odd_json = "we'ird name.bin";
#else
  const std::string odd = Path("we\"ird\\name\t.bin");
  const std::string odd_json = "we\\\"ird\\\\name\\t.bin";
#endif
  fs::copy_file(Path("a.bin"), odd);
  const CliResult r = Run({"show", odd, "--json"});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(JsonChecker(r.out).Valid()) << r.out;
  EXPECT_NE(r.out.find("  \"file\": \"" + JsonPath("") + odd_json + "\",\n"), std::string::npos) << r.out;
}

TEST_F(CliFileTest, ShowTellsTheChecksumStateAndLayout) {
  ASSERT_EQ(Run({"--simulate", "ALDER", "read", Path("alder.bin")}).code, 0);
  ASSERT_EQ(Run({"--simulate", "BRENTA:160:0x0402", "read", Path("brenta402.bin")}).code, 0);
  fs::copy_file(Path("alder.bin"), Path("spoilt.bin"));
  EditFile(Path("spoilt.bin"), 0x12, 2500, std::nullopt);
  MakeFile(Path("unknown.bin"), 500, 80, 0x0401, kChecksum76);

  struct Case {
    std::string file;
    std::vector<std::string> lines;  // lines the text output holds
    std::string json;                // a line of the JSON
  };
  const Case cases[] = {
      {"alder.bin",
       {"Family:           ALDER (100)\n", "Layout:           Layout80A\n", "Block length:     80 bytes\n",
        "Parameter set:    0x0104\n", "  gov_i                 4       4\n",
        "  max_start_current     100     100%\n", "  hold_time_ms          2000    2000ms\n",
        "  brake type            Switching brake\n", "  brake_slew_pos_ms     800\n", "  aux_2c                128\n",
        "  reserved_3e           " + std::string("00 00 00 00 00 00 00 00 00 00 00 00 00 00") + "\n",
        "  past the block        00 00 00 00 00 00 00 00 00 00 00 00\n"},
       "  \"checksum\": {\"state\": \"correct\", \"prefix\": 76, \"offset\": 76"},
      {"spoilt.bin", {"Checksum:         WRONG (", "  hold_time_ms          2500    2500ms\n"},
       "  \"checksum\": {\"state\": \"wrong\", \"prefix\": 76, \"offset\": 76"},
      {"brenta402.bin",
       {"Layout:           Layout92B\n", "Checksum:         none for this family and parameter set\n"},
       "  \"checksum\": {\"state\": \"none\"},\n"},
      {"unknown.bin",
       {"Family:           unknown (500)\n", "Layout:           none\n", "Image bytes:\n",
        "  0x10  00 00 DC 05 00 00 00 00 00 00 00 00 00 00 00 00\n"},
       "  \"layout\": null,\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const CliResult text = Run({"show", Path(c.file)});
    EXPECT_EQ(text.code, 0);
    for (const std::string& line : c.lines) EXPECT_NE(text.out.find(line), std::string::npos) << line << text.out;
    const CliResult json = Run({"show", Path(c.file), "--json"});
    EXPECT_EQ(json.code, 0);
    EXPECT_TRUE(JsonChecker(json.out).Valid()) << json.out;
    EXPECT_NE(json.out.find(c.json), std::string::npos) << json.out;
  }
}

TEST_F(CliFileTest, DiffNamesWhatDiffers) {
  ASSERT_EQ(Run(Corvan({"read", Path("a.bin")})).code, 0);
  const std::vector<uint8_t> a = ReadBytes(Path("a.bin"));
  ASSERT_EQ(Run({"--simulate", "ALDER", "read", Path("alder.bin")}).code, 0);
  const std::vector<uint8_t> alder = ReadBytes(Path("alder.bin"));

  auto with = [](std::vector<uint8_t> bytes, std::vector<std::pair<size_t, uint8_t>> changes) {
    for (const auto& [offset, value] : changes) bytes[offset] = value;
    return bytes;
  };
  std::vector<uint8_t> none_a(94, 0);
  none_a[0] = 0xF4;
  none_a[1] = 0x01;
  struct Case {
    const char* name;
    std::vector<uint8_t> first;
    std::vector<uint8_t> second;
    int exit;
    std::string out;
  };
  const Case cases[] = {
      {"equal", a, a, 0, ""},
      // warn_cutoff_mv is image 0x4C, file 0x4E: 3500 = AC 0D, 3600 = 10 0E.
      {"one field", a, with(a, {{0x4E, 0x10}, {0x4F, 0x0E}}), 1, "warn_cutoff_mv: 3500 (3500mV) -> 3600 (3600mV)\n"},
      // flags 0x00010B15 -> 0x00010719: battery type 1 -> 2, bit 10 set, bit 11 cleared.
      {"flags", a, with(a, {{0x06, 0x19}, {0x07, 0x07}}), 1,
       "flags: 0x00010B15 -> 0x00010719\n  battery_type: 1 -> 2\n  reverse_rotation: 0 -> 1\n  bit_11: 1 -> 0\n"},
      {"family only", a, with(a, {{0x00, 0xC8}, {0x01, 0x00}}), 1, "family: 300 (CORVAN) -> 200 (BRENTA)\n"},
      {"not shown and the checksum", a, with(a, {{0x18, 0x4D}, {0x5A, 0x00}}), 1,
       "stick_brake_us: 1100 -> 1101\nchecksum: 0xFFFE58F5 -> 0xFFFE5800\n"},
      {"past the ALDER block", alder, with(alder, {{0x52, 0x12}, {0x5D, 0xFF}}), 1,
       "byte 0x50: 0x00 -> 0x12\nbyte 0x5B: 0x00 -> 0xFF\n"},
      {"no layout", none_a, with(none_a, {{0x14, 0x34}, {0x5D, 0x01}}), 1,
       "byte 0x12: 0x00 -> 0x34\nbyte 0x5B: 0x00 -> 0x01\n"},
      // The first file has no layout, so the second's names the bytes.
      {"layout of the second", with(a, {{0x00, 0xF4}, {0x01, 0x01}}), with(a, {{0x14, 0xD1}}), 1,
       "family: 500 (unknown) -> 300 (CORVAN)\nhold_time_ms: 2000 (2000ms) -> 2001 (2001ms)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path("first.bin"), c.first);
    WriteBytes(Path("second.bin"), c.second);
    const CliResult r = Run({"diff", Path("first.bin"), Path("second.bin")});
    EXPECT_EQ(r.code, c.exit);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(CliFileTest, DiffAndShowOfUnreadableFiles) {
  ASSERT_EQ(Run(Corvan({"read", Path("a.bin")})).code, 0);
  std::vector<uint8_t> short_file = ReadBytes(Path("a.bin"));
  short_file.pop_back();
  WriteBytes(Path("short.bin"), short_file);
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string err;
  };
  const Case cases[] = {
      {{"diff", Path("a.bin"), Path("missing.bin")}, 2, "tavio-cli: cannot read " + Path("missing.bin") + "\n"},
      {{"diff", Path("short.bin"), Path("a.bin")}, 2,
       "tavio-cli: " + Path("short.bin") + " is shorter than a configuration file (94 bytes)\n"},
      {{"diff", Path(""), Path("a.bin")}, 2, "tavio-cli: cannot read " + Path("") + "\n"},
      {{"show", Path("missing.bin")}, 1, "tavio-cli: cannot read " + Path("missing.bin") + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    const CliResult r = Run(c.args);
    EXPECT_EQ(r.code, c.exit);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
}

TEST_F(CliFileTest, SaveFailureKeepsTheFolderAsItWas) {
  fs::create_directories(folder / "taken");
  const CliResult r = Run({"--simulate", "ALDER", "read", Path("taken")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "Read 80 bytes from ALDER 160 (parameter set 0x0104).\n");
  const std::string first = "The settings could not be saved to " + Path("taken") +
                            ". The settings were NOT saved; the existing file is unchanged.\n(";
  EXPECT_EQ(r.err.substr(0, first.size()), first);
  EXPECT_TRUE(fs::is_directory(folder / "taken"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(CliFileTest, UnitVanishingAfterNExchanges) {
  ASSERT_EQ(Run(Corvan({"read", Path("a.bin")})).code, 0);
  const std::string code_line = "System has error code 0xfffffffe-0x00000013\n";
  struct Case {
    std::string after;
    std::string command;
    std::string err;
  };
  // Identification takes exchanges 0..2; the write starts at exchange 3
  // (lock, flash 0, erase, assign, two blocks, flash 1, unlock: 3..10).
  const Case cases[] = {
      {"4", "read", "Error when reading ESC EEPROMs\n" + code_line},
      {"3", "write", "System-Lock of programming unit could not be set. No data writing possible.\n" + code_line},
      {"5", "write", "Error during writing on EEPROM. No data writing possible.\n" + code_line},
      {"7", "write", "Error when writing last EEPROM data block. Data writing was canceled.\n" + code_line},
      {"11", "write",
       "Error when reading ESC EEPROMs\n" + code_line +
           "tavio-cli: the block was written but could not be read back for checking\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.after + " " + c.command);
    const std::string file = c.command == "read" ? Path("new.bin") : Path("a.bin");
    const CliResult r = Run({"--simulate", "CORVAN:120:0x0401", "--sim-unplug-after", c.after, c.command, file});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_FALSE(fs::exists(Path("new.bin")));
}

TEST_F(CliFileTest, UsageErrorsExitWithTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string err_start;
  };
  const Case cases[] = {
      {{"read"}, "tavio-cli: wrong number of arguments\nUsage: tavio-cli read OUT.bin"},
      {{"read", "a", "b"}, "tavio-cli: wrong number of arguments\nUsage: tavio-cli read OUT.bin"},
      {{"write"}, "tavio-cli: wrong number of arguments\nUsage: tavio-cli write IN.bin"},
      {{"write", "a", "b"}, "tavio-cli: wrong number of arguments\nUsage: tavio-cli write IN.bin"},
      {{"defaults", "3"}, "tavio-cli: wrong number of arguments\nUsage: tavio-cli defaults CODE OUT.bin"},
      {{"diff", "a"}, "tavio-cli: wrong number of arguments\nUsage: tavio-cli diff A.bin B.bin"},
      {{"show"}, "tavio-cli: wrong number of arguments\nUsage: tavio-cli show IN.bin"},
      {{"show", "a", "b"}, "tavio-cli: wrong number of arguments\nUsage: tavio-cli show IN.bin"},
      {{"write", "a", "--backup"}, "tavio-cli: --backup needs a value\n"},
      {{"--simulate", "ALDER", "--sim-unplug-after", "x", "read", "a"},
       "tavio-cli: --sim-unplug-after needs a number of exchanges, not 'x'\n"},
      {{"--simulate", "ALDER", "--sim-unplug-after=-1", "read", "a"},
       "tavio-cli: --sim-unplug-after needs a number of exchanges, not '-1'\n"},
      {{"--sim-unplug-after", "3", "read", "a"}, "tavio-cli: --sim-unplug-after needs --simulate\n"},
      {{"--simulate", "ALDER", "defaults", "4.5", "a"}, "tavio-cli: model type '4.5' is not a number\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + std::to_string(c.args.size()));
    const CliResult r = Run(c.args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, c.err_start.size()), c.err_start);
  }
}

}  // namespace
}  // namespace tavio::test
