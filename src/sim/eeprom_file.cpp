#include "sim/eeprom_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tavio::sim {
namespace {

constexpr int kTempNames = 16;

#ifdef _WIN32
std::error_code LastError() { return std::error_code(static_cast<int>(GetLastError()), std::system_category()); }
HANDLE Native(EepromFileCalls::File file) { return reinterpret_cast<HANDLE>(file); }
#else
std::error_code LastError() { return std::error_code(errno, std::generic_category()); }
#endif

}  // namespace

std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

#ifdef _WIN32
std::error_code EepromFileCalls::CreateNew(const std::filesystem::path& path, File& file) {
  // CREATE_NEW fails on any existing name; a reparse point is never followed.
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      return std::make_error_code(std::errc::file_exists);
    }
    return std::error_code(static_cast<int>(error), std::system_category());
  }
  file = reinterpret_cast<File>(handle);
  return {};
}

std::error_code EepromFileCalls::Write(File file, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(Native(file), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
      return LastError();
    }
    if (written == 0) return std::make_error_code(std::errc::io_error);
    bytes = bytes.subspan(written);
  }
  return {};
}

std::error_code EepromFileCalls::Flush(File file) {
  return FlushFileBuffers(Native(file)) ? std::error_code() : LastError();
}

std::error_code EepromFileCalls::Close(File file) {
  return CloseHandle(Native(file)) ? std::error_code() : LastError();
}

std::error_code EepromFileCalls::Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? std::error_code()
             : LastError();
}

void EepromFileCalls::Remove(const std::filesystem::path& path) { DeleteFileW(path.c_str()); }
#else
std::error_code EepromFileCalls::CreateNew(const std::filesystem::path& path, File& file) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return LastError();
  file = fd;
  return {};
}

std::error_code EepromFileCalls::Write(File file, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(static_cast<int>(file), bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return LastError();
    if (n == 0) return std::make_error_code(std::errc::io_error);
    bytes = bytes.subspan(static_cast<size_t>(n));
  }
  return {};
}

std::error_code EepromFileCalls::Flush(File file) {
  return ::fsync(static_cast<int>(file)) == 0 ? std::error_code() : LastError();
}

std::error_code EepromFileCalls::Close(File file) {
  // A file system may report a failed write only here (NFS, a full quota).
  return ::close(static_cast<int>(file)) == 0 ? std::error_code() : LastError();
}

std::error_code EepromFileCalls::Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return LastError();
  // The new name reaches the disk with the folder; a folder that cannot be
  // synced (some file systems refuse) still holds the new file.
  const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : std::filesystem::path(".");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return {};
}

void EepromFileCalls::Remove(const std::filesystem::path& path) { ::unlink(path.c_str()); }
#endif

EepromFileCalls& RealEepromFileCalls() {
  static EepromFileCalls calls;
  return calls;
}

std::string WriteEepromFile(const std::string& path, std::span<const uint8_t> bytes, EepromFileCalls& calls) {
  const std::filesystem::path target = PathFromUtf8(path);
  std::string temp_text;
  std::filesystem::path temp;
  EepromFileCalls::File file = 0;
  std::error_code error;
  for (int i = 0; i < kTempNames; ++i) {
    temp_text = path + ".tmp" + (i == 0 ? std::string() : std::to_string(i));
    temp = PathFromUtf8(temp_text);
    error = calls.CreateNew(temp, file);
    if (error != std::errc::file_exists) break;
  }
  if (error) return "cannot create '" + temp_text + "': " + error.message();

  std::string failure;
  if ((error = calls.Write(file, bytes))) {
    failure = "cannot write '" + temp_text + "': " + error.message();
  } else if ((error = calls.Flush(file))) {
    failure = "cannot flush '" + temp_text + "': " + error.message();
  }
  // Closed in any case; a failing close is a failed write.
  const std::error_code closed = calls.Close(file);
  if (failure.empty() && closed) failure = "cannot close '" + temp_text + "': " + closed.message();
  if (failure.empty() && (error = calls.Replace(temp, target))) {
    failure = "cannot replace '" + path + "': " + error.message();
  }
  if (!failure.empty()) calls.Remove(temp);
  return failure;
}

}  // namespace tavio::sim
