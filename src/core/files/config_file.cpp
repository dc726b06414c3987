#include "core/files/config_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

namespace tavio {
namespace {

// Closes a stream on every path out.
struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

#ifdef _WIN32
constexpr const char* kPathSeparators = "/\\:";
#else
constexpr const char* kPathSeparators = "/";
#endif

std::string ErrnoText(const char* what, const std::string& path) {
  return std::string(what) + " " + path + ": " + std::strerror(errno);
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
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return FileReadStatus::CannotOpen;
  std::array<uint8_t, kConfigFileSize> bytes{};
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (std::ferror(file.get())) return FileReadStatus::CannotOpen;
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
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return FileReadStatus::CannotOpen;
  std::array<uint8_t, kConfigFileSize> bytes{};
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (std::ferror(file.get())) return FileReadStatus::CannotOpen;
  if (got < bytes.size()) return FileReadStatus::TooShort;
  out.family = GetU16(bytes, 0);
  std::copy_n(bytes.begin() + 2, kImageSize, out.image.bytes.begin());
  return FileReadStatus::Ok;
}

bool WriteConfigFile(const std::string& path, uint16_t family, const ConfigImage& image, std::string& error) {
  const auto bytes = EncodeConfigFile(family, image);
  // A short name of its own in the target's folder: appending to the target's
  // name would fail for names near the file system's length limit.
  const size_t slash = path.find_last_of(kPathSeparators);
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::random_device random;
  const std::string temp = folder + ".tavio-save-" + std::to_string(random() % 1000000) + ".tmp";
  {
    FilePtr file(std::fopen(temp.c_str(), "wb"));
    if (!file) {
      error = ErrnoText("cannot create", temp);
      return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() || std::fflush(file.get()) != 0) {
      error = ErrnoText("cannot write", temp);
      file.reset();
      std::remove(temp.c_str());
      return false;
    }
    if (std::fclose(file.release()) != 0) {
      error = ErrnoText("cannot write", temp);
      std::remove(temp.c_str());
      return false;
    }
  }
#ifdef _WIN32
  // rename() on Windows does not replace an existing file.
  std::remove(path.c_str());
#endif
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    error = ErrnoText("cannot replace", path);
    std::remove(temp.c_str());
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
