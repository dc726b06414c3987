// The load test takes a file only with the block length of its layout: a
// right checksum over a block of another length would be stored short or
// long of what the ESC's firmware reads.

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "core/files/config_file.h"
#include "core/model/family.h"

namespace tavio::test {
namespace {

TEST(LoadTest, RefusesEveryBlockLengthButTheLayouts) {
  const struct {
    const char* name;
    uint16_t family, version, length;
    ChecksumSpec checksum;
  } layouts[] = {
      {"ALDER", kFamilyAlder, kParamVersionAlderDelmar, 80, kChecksum76},
      {"BRENTA 0x0400", kFamilyBrenta, kParamVersion80B, 80, kChecksum76},
      {"BRENTA 0x0401", kFamilyBrenta, kParamVersion92B, 92, kChecksum88},
      {"CORVAN 0x0400", kFamilyCorvan, kParamVersion80B, 80, kChecksum76},
      {"CORVAN 0x0401", kFamilyCorvan, kParamVersion92B, 92, kChecksum88},
      {"DELMAR-Z", kFamilyDelmarZ, kParamVersionAlderDelmar, 88, kChecksum82},
  };
  const uint16_t lengths[] = {0, 4, 76, 78, 80, 82, 84, 86, 88, 90, 92, 93, 0xFFFF};
  for (const auto& layout : layouts) {
    for (const uint16_t length : lengths) {
      SCOPED_TRACE(testing::Message() << layout.name << " length " << length);
      ConfigFile file;
      file.family = layout.family;
      std::iota(file.image.bytes.begin(), file.image.bytes.end(), uint8_t{0x10});
      PutU16(file.image, kOffBlockLength, length);
      PutU16(file.image, kOffParamVersion, layout.version);
      SealImage(file.image, layout.checksum);  // right over the layout's prefix, whatever the length
      EXPECT_EQ(CheckConfigFile(file, layout.family, layout.version),
                length == layout.length ? FileCheck::Valid : FileCheck::NotValid);
    }
  }
}

// The case as a user met it: a BRENTA 0x0401 file saying 80 bytes, its
// checksum right over the 88 bytes its layout sums.
TEST(LoadTest, AShortLengthWordInAFileOnDiskIsNotAValidFile) {
  ConfigImage image;
  std::iota(image.bytes.begin(), image.bytes.end(), uint8_t{0x10});
  PutU16(image, kOffBlockLength, 80);
  PutU16(image, kOffParamVersion, kParamVersion92B);
  SealImage(image, kChecksum88);
  const std::string path = (std::filesystem::path(::testing::TempDir()) / "tavio-length-80.bin").string();
  std::string error;
  ASSERT_TRUE(WriteConfigFile(path, kFamilyBrenta, image, error)) << error;
  ConfigFile file;
  ASSERT_EQ(ReadConfigFile(path, file), FileReadStatus::Ok);
  EXPECT_TRUE(ChecksumMatches(file.image, kChecksum88));
  EXPECT_EQ(CheckConfigFile(file, kFamilyBrenta, kParamVersion92B), FileCheck::NotValid);
  PutU16(image, kOffBlockLength, 92);
  SealImage(image, kChecksum88);
  ASSERT_TRUE(WriteConfigFile(path, kFamilyBrenta, image, error)) << error;
  ASSERT_EQ(ReadConfigFile(path, file), FileReadStatus::Ok);
  EXPECT_EQ(CheckConfigFile(file, kFamilyBrenta, kParamVersion92B), FileCheck::Valid);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace tavio::test
