// tavio-cli stores that must not damage the ESC: a file of the wrong block
// length is refused, an error answer anywhere fails the command with its
// code, and an ESC whose block cannot be read is stored to without a
// backup after saying so. After every store reported as done, info exits 0.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_run.h"
#include "core/files/backups.h"
#include "core/files/config_file.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

const std::string kStored =
    "The configuration parameters have been transferred to the ESC successfully\n"
    "Read back and compared: 92 bytes identical.\n";

class CliStore : public CliRun {
 protected:
  // The simulated BRENTA 160 at 0x0401, its EEPROM kept between runs.
  Result Brenta(const std::vector<std::string>& args) { return Esc("BRENTA:160:0x0401", args); }
  std::string Eeprom() { return ReadAll(Path("esc.eeprom")); }
  void SetEeprom(const std::string& bytes) { std::ofstream(Path("esc.eeprom"), std::ios::binary) << bytes; }
};

// A BRENTA 0x0401 file whose length word is 80, its checksum right over the
// 88 bytes the layout sums: not a valid file, nothing sent; the ESC stays
// as it was and info still exits 0.
TEST_F(CliStore, AFileOfAnotherBlockLengthIsNeverStored) {
  ASSERT_EQ(Brenta({"read", Path("a.bin")}).code, 0);
  ASSERT_EQ(Brenta({"write", Path("a.bin")}).code, 0);  // the memory file exists from here on
  const std::string before = Eeprom();
  ASSERT_EQ(before.size(), 256u);
  for (const uint16_t length : {80, 88, 0, 4}) {
    SCOPED_TRACE(length);
    ConfigFile file;
    ASSERT_EQ(ReadConfigFile(Path("a.bin"), file), FileReadStatus::Ok);
    PutU16(file.image, kOffBlockLength, length);
    SealImage(file.image, kChecksum88);
    std::string error;
    ASSERT_TRUE(WriteConfigFile(Path("short.bin"), kFamilyBrenta, file.image, error));
    EXPECT_EQ(Brenta({"write", Path("short.bin")}),
              (Result{1, "", Path("short.bin") + ": The selected file is not a valid memory file, please choose a valid memory file!\n"}));
    EXPECT_EQ(Eeprom(), before);
    EXPECT_EQ(Brenta({"info"}).code, 0);
  }
  EXPECT_EQ(Brenta({"write", Path("a.bin")}).code, 0);
  EXPECT_EQ(Brenta({"info"}).code, 0);
}

// The closing unlock answered with an error: a failure with the unit's code,
// never the success; an error answer to the unit's status: no unit to use,
// the code named, nothing written.
TEST_F(CliStore, AnErrorAnswerIsAFailureWithItsCode) {
  ASSERT_EQ(Brenta({"read", Path("a.bin")}).code, 0);
  const Result unlock = Brenta({"--sim-fault", "error=0x1234@SystemLock#2", "write", Path("a.bin")});
  EXPECT_EQ(unlock.code, 1);
  EXPECT_EQ(unlock.out.find("successfully"), std::string::npos);
  EXPECT_NE(unlock.err.find("System has error code 0x00001234-0x00000000"), std::string::npos) << unlock.err;

  const std::string before = Eeprom();
  ASSERT_EQ(before.size(), 256u);
  const Result status = Brenta({"--sim-fault", "error=3@UnitStatus", "write", Path("a.bin")});
  EXPECT_EQ(status.code, 1);
  EXPECT_TRUE(status.err.ends_with("\n\nThe programming unit answered with error code 0x00000003.\n")) << status.err;
  EXPECT_EQ(Eeprom(), before);
  EXPECT_EQ(Brenta({"--sim-fault", "error=3@UnitStatus", "info"}).code, 1);
}

// Length words above 92 that are not 0xFFFF: write says the block cannot be
// backed up and stores, verified; --backup FILE cannot be kept and refuses
// unless --force. The ESC is sound afterwards.
TEST_F(CliStore, AnUnreadableBlockIsStoredToWithoutABackup) {
  ASSERT_EQ(Brenta({"read", Path("a.bin")}).code, 0);
  const std::string good = ReadAll(Path("a.bin")).substr(2) + std::string(256 - 92, '\xFF');
  const std::string not_backed_up =
      "tavio-cli: The configuration the ESC holds cannot be read (its length word is wrong), so it cannot be backed "
      "up. The store goes on without a backup.\n";
  for (const uint16_t length : {93, 200, 0xFFFE}) {
    SCOPED_TRACE(length);
    std::string unreadable = good;
    unreadable[0] = static_cast<char>(length & 0xFF);
    unreadable[1] = static_cast<char>(length >> 8);
    SetEeprom(unreadable);
    const Result info = Brenta({"info"});
    EXPECT_EQ(info.code, 1);
    EXPECT_NE(info.out.find("ESC family:       BRENTA (200)\n"), std::string::npos) << info.out;
    EXPECT_TRUE(info.out.ends_with("Block length:     " + std::to_string(length) +
                                   ": more than any block holds; the block cannot be read\n"))
        << info.out;
    EXPECT_EQ(info.err, "tavio-cli: the ESC's configuration cannot be read (its length word is wrong).\n"
                        "To bring it back, store a saved configuration with plain 'tavio-cli write FILE' "
                        "('tavio-cli backups' lists the automatic backups).\n");
    EXPECT_EQ(Brenta({"write", Path("a.bin"), "--backup", Path("old.bin")}),
              (Result{1, "",
                      "tavio-cli: the ESC's block cannot be read (its length word is " + std::to_string(length) +
                          "), so --backup cannot save it; nothing was stored (--force stores without it)\n"}));
    EXPECT_FALSE(fs::exists(Path("old.bin")));
    EXPECT_EQ(Eeprom(), unreadable);

    EXPECT_EQ(Brenta({"write", Path("a.bin")}), (Result{0, kStored, not_backed_up}));
    EXPECT_EQ(Eeprom(), good);
    EXPECT_EQ(Brenta({"info"}).code, 0);
    SetEeprom(unreadable);
    EXPECT_EQ(Brenta({"write", Path("a.bin"), "--backup", Path("old.bin"), "--force"}),
              (Result{0, kStored, not_backed_up}));
    EXPECT_FALSE(fs::exists(Path("old.bin")));
    EXPECT_EQ(Brenta({"info"}).code, 0);
  }
  EXPECT_FALSE(fs::exists(data_home.backups()));  // nothing of an unreadable block is kept
}

}  // namespace
}  // namespace tavio::test
