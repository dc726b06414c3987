#pragma once
// The .bin configuration file: the 16-bit family code of the ESC it was
// saved from, then the whole 92-byte image, little-endian, 94 bytes in all.

#include <array>
#include <cstdint>
#include <string>

#include "core/model/config_image.h"

namespace tavio {

inline constexpr size_t kConfigFileSize = 2 + kImageSize;

struct ConfigFile {
  uint16_t family = 0;
  ConfigImage image;
};

std::array<uint8_t, kConfigFileSize> EncodeConfigFile(uint16_t family, const ConfigImage& image);

enum class FileReadStatus : uint8_t {
  Ok,
  CannotOpen,    // missing, unreadable, a folder, ...
  TooShort,      // fewer bytes than the family code and the block it claims
  BlockTooLong,  // a block length above the image's 92 bytes
};

// Reads the family code and the image bytes the file's block length calls
// for (its block length + 12, at most 92); image bytes the file does not
// supply stay zero. Anything but Ok is not a valid memory file.
FileReadStatus ReadConfigFile(const std::string& path, ConfigFile& out);

// Every byte of the file as it stands, whatever its block length says, for
// looking at a file rather than loading it: fewer than 94 bytes is TooShort,
// bytes past the 94th are ignored.
FileReadStatus ReadWholeConfigFile(const std::string& path, ConfigFile& out);

// Writes the 94 bytes to a temporary file beside `path` and renames it over
// `path`, testing every step; on failure the old file is untouched and
// `error` says what failed.
bool WriteConfigFile(const std::string& path, uint16_t family, const ConfigImage& image, std::string& error);

enum class FileCheck : uint8_t { Valid, NotValid, NotCompatible };

// The load's two tests: the checksum chosen by the file's family and the
// connected version, then family and parameter-set version against the ESC.
FileCheck CheckConfigFile(const ConfigFile& file, uint16_t connected_family, uint16_t connected_version);

}  // namespace tavio
