#pragma once
// The simulated ESC's memory file: exactly 256 raw bytes, replaced in one
// step. The bytes go to a fresh temporary file in the same folder, created
// exclusively (nothing that exists there, a symbolic link least of all, is
// opened or followed), flushed to the disk and closed, each step checked;
// only then does the temporary take the file's name. A failure leaves the old
// file as it was.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

namespace tavio::sim {

// The file calls the replacement is made of. Tests override one of them to
// fail as a full disk or a read-only folder would.
class EepromFileCalls {
 public:
  using File = intptr_t;
  virtual ~EepromFileCalls() = default;
  // Fails with `file_exists` when anything is at `path`.
  virtual std::error_code CreateNew(const std::filesystem::path& path, File& file);
  virtual std::error_code Write(File file, std::span<const uint8_t> bytes);
  virtual std::error_code Flush(File file);  // through to the disk
  virtual std::error_code Close(File file);
  virtual std::error_code Replace(const std::filesystem::path& from, const std::filesystem::path& to);
  virtual void Remove(const std::filesystem::path& path);
};

EepromFileCalls& RealEepromFileCalls();

// A path given in UTF-8, as every path in the program.
std::filesystem::path PathFromUtf8(const std::string& utf8);

// Replaces the file at `path` (UTF-8) with `bytes`. Empty on success, else
// what failed, for the user. The temporary is PATH.tmp, or PATH.tmp1 ..
// PATH.tmp15 when something already is there.
std::string WriteEepromFile(const std::string& path, std::span<const uint8_t> bytes,
                            EepromFileCalls& calls = RealEepromFileCalls());

}  // namespace tavio::sim
