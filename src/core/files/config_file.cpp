#include "core/files/config_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace tavio {
namespace {

namespace fs = std::filesystem;

// Paths are UTF-8 everywhere in the program; on Windows the wide file calls
// then see every character, not only ASCII ones.
fs::path PathFromUtf8(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// The first 94 bytes of the file at most; false when it cannot be opened or read.
bool ReadFileStart(const std::string& path, std::array<uint8_t, kConfigFileSize>& bytes, size_t& got) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) return false;
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  got = static_cast<size_t>(in.gcount());
  // A short file ends with eof; anything else that stops the read is an error.
  return !in.bad() && (got == bytes.size() || in.eof());
}

std::string ErrorText(const char* what, const std::string& path, const std::string& reason) {
  return std::string(what) + " " + path + ": " + reason;
}

}  // namespace

std::array<uint8_t, kConfigFileSize> EncodeConfigFile(uint16_t family, const ConfigImage& image) {
  std::array<uint8_t, kConfigFileSize> bytes{};
  PutU16(bytes, 0, family);
  std::copy(image.bytes.begin(), image.bytes.end(), bytes.begin() + 2);
  return bytes;
}

FileReadStatus ReadConfigFile(const std::string& path, ConfigFile& out) {
  out = ConfigFile{};
  std::array<uint8_t, kConfigFileSize> bytes{};
  size_t got = 0;
  if (!ReadFileStart(path, bytes, got)) return FileReadStatus::CannotOpen;
  if (got < 4) return FileReadStatus::TooShort;
  const uint16_t block_length = GetU16(bytes, 2);
  if (block_length > kImageSize) return FileReadStatus::BlockTooLong;
  if (got < 2u + block_length) return FileReadStatus::TooShort;
  out.family = GetU16(bytes, 0);
  // As many image bytes as the block length and 12 more, bounded by the image.
  const size_t wanted = std::min<size_t>(block_length + 12u, kImageSize);
  const size_t available = std::min(wanted, got - 2);
  std::copy_n(bytes.begin() + 2, available, out.image.bytes.begin());
  return FileReadStatus::Ok;
}

FileReadStatus ReadWholeConfigFile(const std::string& path, ConfigFile& out) {
  out = ConfigFile{};
  std::array<uint8_t, kConfigFileSize> bytes{};
  size_t got = 0;
  if (!ReadFileStart(path, bytes, got)) return FileReadStatus::CannotOpen;
  if (got < bytes.size()) return FileReadStatus::TooShort;
  out.family = GetU16(bytes, 0);
  std::copy_n(bytes.begin() + 2, kImageSize, out.image.bytes.begin());
  return FileReadStatus::Ok;
}

bool WriteConfigFile(const std::string& path, uint16_t family, const ConfigImage& image, std::string& error) {
  const auto bytes = EncodeConfigFile(family, image);
  const fs::path target = PathFromUtf8(path);
  // A short name of its own in the target's folder: appending to the target's
  // name would fail for names near the file system's length limit.
  std::random_device random;
  const std::string temp_name = ".tavio-save-" + std::to_string(random() % 1000000) + ".tmp";
  const fs::path temp = target.parent_path() / fs::path(std::u8string(temp_name.begin(), temp_name.end()));
  const std::string temp_text = path.substr(0, path.size() - target.filename().u8string().size()) + temp_name;
  std::error_code ignored;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      error = ErrorText("cannot create", temp_text, std::strerror(errno));
      return false;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    out.close();
    if (out.fail()) {
      error = ErrorText("cannot write", temp_text, std::strerror(errno));
      fs::remove(temp, ignored);
      return false;
    }
  }
  // Replaces the target in one step on every platform; the old file stays
  // whole until then.
  std::error_code failure;
  fs::rename(temp, target, failure);
  if (failure) {
    error = ErrorText("cannot replace", path, failure.message());
    fs::remove(temp, ignored);
    return false;
  }
  return true;
}

FileCheck CheckConfigFile(const ConfigFile& file, uint16_t connected_family, uint16_t connected_version) {
  const auto spec = LoadTestChecksum(file.family, connected_version);
  if (!spec || !ChecksumMatches(file.image, *spec)) return FileCheck::NotValid;
  if (file.family != connected_family || ParamVersion(file.image) != connected_version) {
    return FileCheck::NotCompatible;
  }
  return FileCheck::Valid;
}

}  // namespace tavio
