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

SaveFaultHook& FaultHook() {
  static SaveFaultHook hook;
  return hook;
}

// The first 94 bytes of the file at most. A pipe or a device is refused
// before it is opened: opening a pipe for reading waits for a writer.
FileReadStatus ReadFileStart(const std::string& path, std::array<uint8_t, kConfigFileSize>& bytes, size_t& got) {
  std::error_code failure;
  const fs::file_status status = fs::status(PathFromUtf8(path), failure);
  if (fs::exists(status) && !fs::is_regular_file(status)) return FileReadStatus::NotRegular;
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) return FileReadStatus::CannotOpen;
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  got = static_cast<size_t>(in.gcount());
  // A short file ends with eof; anything else that stops the read is an error.
  if (in.bad() || (got != bytes.size() && !in.eof())) return FileReadStatus::CannotOpen;
  return FileReadStatus::Ok;
}

// Follows a chain of symbolic links to the path that is finally written;
// a dangling link gives its (missing) target.
fs::path ResolveLinks(fs::path path) {
  for (int depth = 0; depth < 40; ++depth) {
    std::error_code failure;
    if (!fs::is_symlink(fs::symlink_status(path, failure))) return path;
    const fs::path target = fs::read_symlink(path, failure);
    if (failure) return path;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path;
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
  if (const FileReadStatus status = ReadFileStart(path, bytes, got); status != FileReadStatus::Ok) return status;
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
  if (const FileReadStatus status = ReadFileStart(path, bytes, got); status != FileReadStatus::Ok) return status;
  if (got < bytes.size()) return FileReadStatus::TooShort;
  out.family = GetU16(bytes, 0);
  std::copy_n(bytes.begin() + 2, kImageSize, out.image.bytes.begin());
  return FileReadStatus::Ok;
}

void SetSaveFaultHook(SaveFaultHook hook) { FaultHook() = std::move(hook); }

int InjectedSaveFault(SaveStep step) { return FaultHook() ? FaultHook()(step) : 0; }

bool IsNonRegularFile(const std::string& path) {
  std::error_code failure;
  const fs::file_status status = fs::status(PathFromUtf8(path), failure);
  return fs::exists(status) && !fs::is_regular_file(status);
}

bool WriteConfigFile(const std::string& path, uint16_t family, const ConfigImage& image, std::string& error,
                     bool* had_file) {
  const auto bytes = EncodeConfigFile(family, image);
  // Through a link the link's target is replaced, so the link stays a link.
  const fs::path target = ResolveLinks(PathFromUtf8(path));
  std::error_code failure;
  const fs::file_status old_status = fs::status(target, failure);
  const bool existed = fs::exists(old_status);
  if (had_file != nullptr) *had_file = fs::is_regular_file(old_status);
  if (existed && !fs::is_regular_file(old_status)) {
    error = ErrorText("cannot save to", path, "not a regular file");
    return false;
  }
  if (existed) {
    // Replacing the entry would need only the folder's permission; the file's
    // own says whether the user may change it.
    std::fstream probe(target, std::ios::binary | std::ios::in | std::ios::out);
    if (!probe) {
      error = ErrorText("cannot write", path, std::strerror(errno));
      return false;
    }
  }
  // A short name of its own in the target's folder: appending to the target's
  // name would fail for names near the file system's length limit.
  std::random_device random;
  const std::string temp_name = ".tavio-save-" + std::to_string(random() % 1000000) + ".tmp";
  const fs::path temp = target.parent_path() / fs::path(std::u8string(temp_name.begin(), temp_name.end()));
  const std::u8string temp_u8 = temp.u8string();
  const std::string temp_text(temp_u8.begin(), temp_u8.end());
  std::error_code ignored;
  {
    std::ofstream out;
    int fault = InjectedSaveFault(SaveStep::CreateTemp);
    if (fault == 0) out.open(temp, std::ios::binary | std::ios::trunc);
    if (fault != 0 || !out) {
      error = ErrorText("cannot create", temp_text, std::strerror(fault != 0 ? fault : errno));
      return false;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    out.close();
    fault = InjectedSaveFault(SaveStep::WriteTemp);
    if (fault != 0 || out.fail()) {
      error = ErrorText("cannot write", temp_text, std::strerror(fault != 0 ? fault : errno));
      fs::remove(temp, ignored);
      return false;
    }
  }
  if (existed) {
    fs::permissions(temp, old_status.permissions(), fs::perm_options::replace, failure);
    if (failure) {
      error = ErrorText("cannot set the mode of", temp_text, failure.message());
      fs::remove(temp, ignored);
      return false;
    }
  }
  // Replaces the target in one step on every platform; the old file stays
  // whole until then.
  if (const int fault = InjectedSaveFault(SaveStep::Replace); fault != 0) {
    failure = std::error_code(fault, std::generic_category());
  } else {
    fs::rename(temp, target, failure);
  }
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
  // A right checksum does not make the length word right: a block of another
  // length would be written short or long of its layout.
  if (BlockLength(file.image) != BlockLengthFor(*spec)) return FileCheck::NotValid;
  if (file.family != connected_family || ParamVersion(file.image) != connected_version) {
    return FileCheck::NotCompatible;
  }
  return FileCheck::Valid;
}

}  // namespace tavio
