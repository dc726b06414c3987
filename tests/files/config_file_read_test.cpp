// What ReadConfigFile takes from a file of each length: the family code,
// then the block length + 12 image bytes (at most 92); a file shorter than
// the family code and the block it claims is not a memory file.

#include "core/files/config_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/hex.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

// File byte i holds 0x80 + i (never zero), except the family code and the block length in front.
std::vector<uint8_t> FileBytes(size_t size, uint16_t block_length) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(0x80 + i);
  const uint8_t head[] = {0x2C, 0x01, static_cast<uint8_t>(block_length & 0xFF), static_cast<uint8_t>(block_length >> 8)};
  for (size_t i = 0; i < 4 && i < size; ++i) bytes[i] = head[i];
  return bytes;
}

TEST(ReadConfigFile, TakesTheBlockLengthPlusTwelveBytesAndRefusesShortFiles) {
  const fs::path path = fs::path(::testing::TempDir()) / "config_file_read.bin";
  const struct {
    size_t size;
    uint16_t block_length;
    FileReadStatus status;
    size_t taken;  // image bytes from the file; the rest of the image is zero
  } rows[] = {
      // Exactly the family code and the block: taken whole.
      {82, 80, FileReadStatus::Ok, 80}, {90, 88, FileReadStatus::Ok, 88}, {94, 92, FileReadStatus::Ok, 92},
      // One or two bytes short of the block it claims.
      {81, 80, FileReadStatus::TooShort, 0}, {80, 80, FileReadStatus::TooShort, 0},
      {89, 88, FileReadStatus::TooShort, 0}, {88, 88, FileReadStatus::TooShort, 0},
      {93, 92, FileReadStatus::TooShort, 0}, {92, 92, FileReadStatus::TooShort, 0},
      // A whole file: the block length + 12 image bytes, at most 92; what lies beyond is left.
      {94, 80, FileReadStatus::Ok, 92}, {94, 70, FileReadStatus::Ok, 82}, {200, 80, FileReadStatus::Ok, 92},
      {94, 0, FileReadStatus::Ok, 12},
      // Not even a block length, or a block the image cannot hold.
      {3, 0, FileReadStatus::TooShort, 0}, {0, 0, FileReadStatus::TooShort, 0},
      {94, 93, FileReadStatus::BlockTooLong, 0}, {94, 0xFFFF, FileReadStatus::BlockTooLong, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.size << " bytes, block length " << row.block_length);
    const std::vector<uint8_t> bytes = FileBytes(row.size, row.block_length);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ConfigFile file;
    file.family = 7;
    file.image.bytes.fill(0xEE);
    EXPECT_EQ(ReadConfigFile(path.string(), file), row.status);
    ConfigFile want;
    if (row.status == FileReadStatus::Ok) {
      want.family = 300;
      std::copy_n(bytes.begin() + 2, row.taken, want.image.bytes.begin());
    }
    EXPECT_EQ(file.family, want.family);
    EXPECT_EQ(ToHex(file.image.bytes), ToHex(want.image.bytes));
  }
  fs::remove(path);
  ConfigFile file;
  EXPECT_EQ(ReadConfigFile(path.string(), file), FileReadStatus::CannotOpen);
}

}  // namespace
}  // namespace tavio::test
