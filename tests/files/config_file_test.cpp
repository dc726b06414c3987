// The .bin file: what is read from files of every length, how a save
// replaces a file, and the load's two tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/files/config_file.h"
#include "core/model/family.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test under the test temp dir.
class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = fs::path(::testing::TempDir()) / (std::string("cfg_") + info->test_suite_name() + "_" + info->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Path(const std::string& name) const { return (folder / name).string(); }

  fs::path folder;
};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A file of `size` bytes: family 0x012C (300), block length `block`, then
// bytes that are their own file offset.
std::vector<uint8_t> FileBytes(size_t size, uint16_t block) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i);
  if (size > 0) bytes[0] = 0x2C;
  if (size > 1) bytes[1] = 0x01;
  if (size > 2) bytes[2] = static_cast<uint8_t>(block);
  if (size > 3) bytes[3] = static_cast<uint8_t>(block >> 8);
  return bytes;
}

TEST_F(FileTest, ReadTakesTheBlockLengthAndTwelveBytesAtMostNinetyTwo) {
  struct Case {
    const char* name;
    size_t size;
    uint16_t block;
    FileReadStatus status;
    size_t image_bytes;  // how many image bytes come from the file; the rest stays zero
  };
  const Case cases[] = {
      {"empty", 0, 0, FileReadStatus::TooShort, 0},
      {"three bytes", 3, 0, FileReadStatus::TooShort, 0},
      {"block 80 in 81 bytes", 81, 80, FileReadStatus::TooShort, 0},
      {"block 80 in 82 bytes", 82, 80, FileReadStatus::Ok, 80},
      {"block 80 in 93 bytes", 93, 80, FileReadStatus::Ok, 91},
      {"block 92 in 93 bytes", 93, 92, FileReadStatus::TooShort, 0},
      {"block 76 in 94 bytes", 94, 76, FileReadStatus::Ok, 88},
      {"block 80 in 94 bytes", 94, 80, FileReadStatus::Ok, 92},
      {"block 88 in 94 bytes", 94, 88, FileReadStatus::Ok, 92},
      {"block 92 in 94 bytes", 94, 92, FileReadStatus::Ok, 92},
      {"block 92 in 200 bytes", 200, 92, FileReadStatus::Ok, 92},
      {"block 0 in 4 bytes", 4, 0, FileReadStatus::Ok, 2},
      {"block 93", 94, 93, FileReadStatus::BlockTooLong, 0},
      {"block 0xFFFF", 94, 0xFFFF, FileReadStatus::BlockTooLong, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Path("in.bin");
    const std::vector<uint8_t> bytes = FileBytes(c.size, c.block);
    WriteBytes(path, bytes);
    ConfigFile file;
    file.family = 7;
    file.image.bytes.fill(0xEE);  // whatever the caller held is replaced

    EXPECT_EQ(ReadConfigFile(path, file), c.status);
    ConfigFile expected;
    if (c.status == FileReadStatus::Ok) {
      expected.family = 300;
      std::copy_n(bytes.begin() + 2, c.image_bytes, expected.image.bytes.begin());
    }
    EXPECT_EQ(file.family, expected.family);
    EXPECT_EQ(ToHex(file.image.bytes), ToHex(expected.image.bytes));
  }
}

TEST_F(FileTest, ReadRefusesWhatIsNoFile) {
  ConfigFile file;
  EXPECT_EQ(ReadConfigFile(Path("missing.bin"), file), FileReadStatus::CannotOpen);
  EXPECT_EQ(ReadConfigFile(folder.string(), file), FileReadStatus::CannotOpen);
  EXPECT_EQ(ReadWholeConfigFile(Path("missing.bin"), file), FileReadStatus::CannotOpen);
  EXPECT_EQ(ReadWholeConfigFile(folder.string(), file), FileReadStatus::CannotOpen);
}

TEST_F(FileTest, WholeReadTakesAllNinetyFourBytesWhateverTheBlockLength) {
  struct Case {
    size_t size;
    uint16_t block;
    FileReadStatus status;
  };
  for (const Case& c : {Case{93, 80, FileReadStatus::TooShort}, Case{94, 76, FileReadStatus::Ok},
                        Case{94, 0xFFFF, FileReadStatus::Ok}, Case{120, 4, FileReadStatus::Ok}}) {
    SCOPED_TRACE(c.size);
    const std::vector<uint8_t> bytes = FileBytes(c.size, c.block);
    WriteBytes(Path("in.bin"), bytes);
    ConfigFile file;
    EXPECT_EQ(ReadWholeConfigFile(Path("in.bin"), file), c.status);
    if (c.status != FileReadStatus::Ok) continue;
    EXPECT_EQ(file.family, 300);
    EXPECT_EQ(ToHex(file.image.bytes), ToHex(std::vector<uint8_t>(bytes.begin() + 2, bytes.begin() + 94)));
  }
}

TEST_F(FileTest, EncodingIsTheFamilyThenTheImage) {
  ConfigImage image;
  for (size_t i = 0; i < kImageSize; ++i) image.bytes[i] = static_cast<uint8_t>(0xA0 + i);
  const auto bytes = EncodeConfigFile(kFamilyDelmarZ, image);
  std::vector<uint8_t> expected = {0x90, 0x01};
  expected.insert(expected.end(), image.bytes.begin(), image.bytes.end());
  EXPECT_EQ(ToHex(bytes), ToHex(expected));
}

TEST_F(FileTest, WriteReplacesTheFileAndLeavesNothingElse) {
  const std::string path = Path("settings.bin");
  WriteBytes(path, std::vector<uint8_t>(300, 0x55));  // an older, longer file
  ConfigImage image;
  image.bytes.fill(0x3C);
  std::string error;

  ASSERT_TRUE(WriteConfigFile(path, kFamilyAlder, image, error)) << error;
  std::vector<uint8_t> expected = {0x64, 0x00};
  expected.insert(expected.end(), 92, 0x3C);
  EXPECT_EQ(ToHex(ReadBytes(path)), ToHex(expected));
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"settings.bin"});
}

TEST_F(FileTest, WriteTakesANameAtTheFileSystemsLengthLimit) {
  // 255 characters is the longest name most file systems take.
  const std::string path = Path(std::string(251, 'n') + ".bin");
  ConfigImage image;
  std::string error;
  ASSERT_TRUE(WriteConfigFile(path, kFamilyBrenta, image, error)) << error;
  EXPECT_EQ(ReadBytes(path).size(), kConfigFileSize);
  EXPECT_EQ(FolderEntries(folder).size(), 1u);
}

TEST_F(FileTest, PathsAreUtf8WithAnyCharacters) {
  // "Regler-Einstellung äöü ß €.bin", spelt out in UTF-8.
  const std::string name = "Regler-Einstellung \xC3\xA4\xC3\xB6\xC3\xBC \xC3\x9F \xE2\x82\xAC.bin";
  const std::u8string folder_utf8 = folder.u8string();
  const std::string path = std::string(folder_utf8.begin(), folder_utf8.end()) + "/" + name;
  ConfigImage image;
  PutU16(image, 0, 80);
  std::string error;
  ASSERT_TRUE(WriteConfigFile(path, kFamilyAlder, image, error)) << error;
  ConfigFile file;
  ASSERT_EQ(ReadConfigFile(path, file), FileReadStatus::Ok);
  EXPECT_EQ(file.family, kFamilyAlder);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::u8string n = entry.path().filename().u8string();
    names.emplace_back(n.begin(), n.end());
  }
  EXPECT_EQ(names, std::vector<std::string>{name});
}

TEST_F(FileTest, FailedWriteChangesNothing) {
  fs::create_directories(folder / "taken");
  WriteBytes(Path("taken/inside.bin"), {1, 2, 3});
  struct Case {
    const char* name;
    std::string path;
  };
  const Case cases[] = {
      {"missing folder", Path("no/such/folder/x.bin")},
      {"a folder", Path("taken")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(WriteConfigFile(c.path, kFamilyCorvan, ConfigImage{}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"taken"});
    EXPECT_EQ(FolderEntries(folder / "taken"), std::vector<std::string>{"inside.bin"});
    EXPECT_EQ(ReadBytes(Path("taken/inside.bin")), (std::vector<uint8_t>{1, 2, 3}));
  }
}

// An image of the family's shape, sealed by the given rule.
ConfigFile Sealed(uint16_t family, uint16_t block, uint16_t version, ChecksumSpec spec) {
  ConfigFile file;
  file.family = family;
  for (size_t i = 4; i < kImageSize; ++i) file.image.bytes[i] = static_cast<uint8_t>(i * 7);
  PutU16(file.image, kOffBlockLength, block);
  PutU16(file.image, kOffParamVersion, version);
  SealImage(file.image, spec);
  return file;
}

TEST(CheckConfigFile, ValidityComesBeforeCompatibility) {
  const ConfigFile alder = Sealed(kFamilyAlder, 80, 0x0104, kChecksum76);
  const ConfigFile delmar = Sealed(kFamilyDelmarZ, 88, 0x0104, kChecksum82);
  const ConfigFile brenta80 = Sealed(kFamilyBrenta, 80, 0x0400, kChecksum76);
  const ConfigFile brenta92 = Sealed(kFamilyBrenta, 92, 0x0401, kChecksum88);
  const ConfigFile corvan92 = Sealed(kFamilyCorvan, 92, 0x0401, kChecksum88);
  const ConfigFile unknown = Sealed(500, 92, 0x0401, kChecksum88);
  struct Case {
    const char* name;
    const ConfigFile& file;
    uint16_t family;
    uint16_t version;
    FileCheck check;
  };
  const Case cases[] = {
      {"ALDER on ALDER", alder, kFamilyAlder, 0x0104, FileCheck::Valid},
      {"ALDER on another ALDER version", alder, kFamilyAlder, 0x0105, FileCheck::NotCompatible},
      {"DELMAR-Z on ALDER", delmar, kFamilyAlder, 0x0104, FileCheck::NotCompatible},
      {"DELMAR-Z on DELMAR-Z", delmar, kFamilyDelmarZ, 0x0104, FileCheck::Valid},
      {"BRENTA 0x0400 on BRENTA 0x0400", brenta80, kFamilyBrenta, 0x0400, FileCheck::Valid},
      {"BRENTA 0x0400 on BRENTA 0x0401", brenta80, kFamilyBrenta, 0x0401, FileCheck::NotValid},
      {"BRENTA 0x0401 on BRENTA 0x0400", brenta92, kFamilyBrenta, 0x0400, FileCheck::NotValid},
      {"BRENTA 0x0401 on CORVAN 0x0401", brenta92, kFamilyCorvan, 0x0401, FileCheck::NotCompatible},
      {"CORVAN 0x0401 on CORVAN 0x0401", corvan92, kFamilyCorvan, 0x0401, FileCheck::Valid},
      {"BRENTA 0x0401 on BRENTA 0x0402", brenta92, kFamilyBrenta, 0x0402, FileCheck::NotValid},
      {"BRENTA 0x0401 on ALDER", brenta92, kFamilyAlder, 0x0104, FileCheck::NotValid},
      {"unknown family on itself", unknown, 500, 0x0401, FileCheck::NotValid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckConfigFile(c.file, c.family, c.version), c.check);
  }
}

}  // namespace
}  // namespace tavio::test
