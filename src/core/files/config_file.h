#pragma once
// The .bin configuration file: the 16-bit family code of the ESC it was
// saved from, then the whole 92-byte image, little-endian, 94 bytes in all.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/model/config_image.h"
#include "core/text/string_table.h"

namespace tavio {

inline constexpr size_t kConfigFileSize = 2 + kImageSize;

// What the file dialogs offer and the suffix a name typed without one gets.
inline constexpr TextView kConfigFileSuffix = u"bin";
inline constexpr TextView kConfigFilePattern = u"*.bin";
// The dialogs' filter name, "Binary File (*.bin)" in English.
inline TextView ConfigFileFilter(Language language) { return LookUpString(language, sid::kFileDialogFilter); }

struct ConfigFile {
  uint16_t family = 0;
  ConfigImage image;
};

std::array<uint8_t, kConfigFileSize> EncodeConfigFile(uint16_t family, const ConfigImage& image);

enum class FileReadStatus : uint8_t {
  Ok,
  CannotOpen,    // missing or unreadable
  NotRegular,    // a folder, a pipe, a device: refused before it is opened
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

// Writes the 94 bytes to a temporary file and renames it over the file,
// testing every step; on failure the old file is untouched and `error` says
// what failed. A symbolic link is followed: its target is replaced (the
// temporary file sits in the target's folder) and the link stays. An
// existing file keeps its mode; one that may not be opened for writing, and
// anything that is not a regular file, is refused before anything is
// written. `had_file` tells whether a file stood at the path before.
bool WriteConfigFile(const std::string& path, uint16_t family, const ConfigImage& image, std::string& error,
                     bool* had_file = nullptr);

// The steps of a save that can fail after the checks, as a full disk or a
// refused rename makes them fail; LinkBackup is the hard link that gives a
// backup its name (a file system without hard links refuses it).
enum class SaveStep : uint8_t { CreateTemp, WriteTemp, Replace, LinkBackup };
// For tests: a hook that makes a step fail (it returns the errno to fail
// with, 0 to let the step run). Empty: no faults.
using SaveFaultHook = std::function<int(SaveStep)>;
void SetSaveFaultHook(SaveFaultHook hook);
// The errno the hook wants `step` to fail with; 0 to run it.
int InjectedSaveFault(SaveStep step);

// Whether `path` names something that exists and is not a regular file
// (following links); such a path is never opened.
bool IsNonRegularFile(const std::string& path);

enum class FileCheck : uint8_t { Valid, NotValid, NotCompatible };

// The load's two tests: the checksum chosen by the file's family and the
// connected version, with the block length of that checksum's layout; then
// family and parameter-set version against the ESC.
FileCheck CheckConfigFile(const ConfigFile& file, uint16_t connected_family, uint16_t connected_version);

}  // namespace tavio
