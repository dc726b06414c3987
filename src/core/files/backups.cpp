#include "core/files/backups.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/model/family.h"

namespace tavio {
namespace {

namespace fs = std::filesystem;
namespace chr = std::chrono;

fs::path PathFromUtf8(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string Utf8FromPath(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool IsAbsolute(const fs::path& path) {
#ifdef _WIN32
  // A share (\\server\share) is absolute, which not every library says.
  const auto& text = path.native();
  const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  if (text.size() > 2 && separator(text[0]) && separator(text[1]) && !separator(text[2])) return true;
#endif
  return path.is_absolute();
}

// An empty value counts as unset; so does a relative one, as the XDG rules
// say: it would name a different folder from wherever the program starts.
const char* AbsolutePathEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return nullptr;
  return IsAbsolute(PathFromUtf8(value)) ? value : nullptr;
}

std::optional<unsigned> Number(std::string_view text, size_t digits) {
  if (text.size() != digits) return std::nullopt;
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

struct UtcParts {
  int year;
  unsigned month, day, hour, minute, second, milli;
};

UtcParts SplitUtc(int64_t time_ms) {
  const chr::sys_time<chr::milliseconds> t{chr::milliseconds(time_ms)};
  const auto day = chr::floor<chr::days>(t);
  const chr::year_month_day ymd{day};
  const chr::hh_mm_ss<chr::milliseconds> hms{t - day};
  return {static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
          static_cast<unsigned>(hms.hours().count()), static_cast<unsigned>(hms.minutes().count()),
          static_cast<unsigned>(hms.seconds().count()), static_cast<unsigned>(hms.subseconds().count())};
}

// Whether a refused creation failed because the name is in use (Windows
// reports that in its own codes, so the name is looked at too).
bool NameTaken(const std::error_code& failure, const fs::path& path) {
  std::error_code ignored;
  return failure == std::errc::file_exists || fs::exists(fs::symlink_status(path, ignored));
}

// A folder only this program writes in: create_directory answers true to the
// one caller that made it, however many try the same name at once.
std::optional<fs::path> ClaimStagingFolder(const fs::path& dir, std::string& error) {
  std::random_device random;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = ".tavio-new-" + std::to_string(random());
    const fs::path path = dir / PathFromUtf8(name);
    std::error_code failure;
    if (fs::create_directory(path, failure)) return path;
    if (failure && failure != std::errc::file_exists) {
      error = "cannot create " + Utf8FromPath(path) + ": " + failure.message();
      return std::nullopt;
    }
  }
  error = "no free name for a temporary folder in " + Utf8FromPath(dir);
  return std::nullopt;
}

// Gives the staged file the first free backup name from `now_ms` on. A hard
// link is made only where no file of that name exists, in one step, so of
// stores at the same moment each gets a name of its own and the file appears
// whole. Without hard links (FAT) the copy creates its target exclusively
// too. A taken name moves on by a millisecond.
std::optional<fs::path> PlaceUnderFreeName(const fs::path& staged, const fs::path& dir, uint16_t family,
                                           uint16_t model, uint16_t version, int64_t now_ms, std::string& error) {
  bool links = true;
  for (int64_t t = now_ms; t < now_ms + 10000; ++t) {
    const fs::path path = dir / PathFromUtf8(BackupFileName(family, model, version, t));
    std::error_code failure;
    if (links) {
      if (const int fault = InjectedSaveFault(SaveStep::LinkBackup); fault != 0) {
        failure = std::error_code(fault, std::generic_category());
      } else {
        fs::create_hard_link(staged, path, failure);
      }
      if (!failure) return path;
      if (!NameTaken(failure, path)) links = false;
    }
    if (!links) {
      failure.clear();
      fs::copy_file(staged, path, fs::copy_options::none, failure);
      if (!failure) return path;
      if (!NameTaken(failure, path)) {
        error = "cannot create " + Utf8FromPath(path) + ": " + failure.message();
        return std::nullopt;
      }
    }
  }
  error = "no free backup name in " + Utf8FromPath(dir);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> BackupFolder() {
#ifdef _WIN32
  if (const char* local = AbsolutePathEnv("LOCALAPPDATA")) return Utf8FromPath(PathFromUtf8(local) / "Tavio" / "backups");
  return std::nullopt;
#else
  if (const char* data = AbsolutePathEnv("XDG_DATA_HOME")) return Utf8FromPath(PathFromUtf8(data) / "tavio" / "backups");
  if (const char* home = AbsolutePathEnv("HOME")) {
    return Utf8FromPath(PathFromUtf8(home) / ".local" / "share" / "tavio" / "backups");
  }
  return std::nullopt;
#endif
}

std::string NoBackupFolderReason() {
#ifdef _WIN32
  return "LOCALAPPDATA is not set to an absolute path";
#else
  return "neither XDG_DATA_HOME nor HOME is set to an absolute path";
#endif
}

BlockState JudgeEscBlock(const ConfigImage& block, uint16_t family, uint16_t version) {
  if (IsErasedBlock(block)) return BlockState::Erased;
  const auto spec = StoreChecksum(family, version);
  if (spec && !ChecksumMatches(block, *spec)) return BlockState::Damaged;
  return BlockState::Sound;
}

std::string BackupFileName(uint16_t family, uint16_t model, uint16_t version, int64_t time_ms) {
  const std::string_view name = FamilyName(family);
  const std::string family_text = name.empty() ? std::to_string(family) : std::string(name);
  const UtcParts t = SplitUtc(time_ms);
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%s_%u_0x%04X_%04d%02u%02u-%02u%02u%02u-%03u.bin", family_text.c_str(),
                static_cast<unsigned>(model), static_cast<unsigned>(version), t.year, t.month, t.day, t.hour,
                t.minute, t.second, t.milli);
  return buffer;
}

std::optional<BackupInfo> ParseBackupFileName(const std::string& name) {
  // FAMILY_MODEL_0xVVVV_YYYYMMDD-HHMMSS-mmm.bin
  std::vector<std::string_view> parts;
  std::string_view rest(name);
  if (!rest.ends_with(".bin")) return std::nullopt;
  rest.remove_suffix(4);
  for (size_t at = rest.find('_'); at != std::string_view::npos; at = rest.find('_')) {
    parts.push_back(rest.substr(0, at));
    rest.remove_prefix(at + 1);
  }
  parts.push_back(rest);
  if (parts.size() != 4) return std::nullopt;
  BackupInfo info;
  info.name = name;
  const auto family = ParseFamily(parts[0]);
  if (!family) return std::nullopt;
  info.family = *family;
  unsigned model = 0;
  const auto [model_end, model_ec] = std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), model);
  if (parts[1].empty() || model_ec != std::errc() || model_end != parts[1].data() + parts[1].size() || model > 0xFFF) {
    return std::nullopt;
  }
  info.model = static_cast<uint16_t>(model);
  if (!parts[2].starts_with("0x") || parts[2].size() != 6) return std::nullopt;
  unsigned version = 0;
  const auto [version_end, version_ec] = std::from_chars(parts[2].data() + 2, parts[2].data() + 6, version, 16);
  if (version_ec != std::errc() || version_end != parts[2].data() + 6) return std::nullopt;
  info.version = static_cast<uint16_t>(version);
  const std::string_view when = parts[3];
  if (when.size() != 19 || when[8] != '-' || when[15] != '-') return std::nullopt;
  const auto y = Number(when.substr(0, 4), 4), mo = Number(when.substr(4, 2), 2), d = Number(when.substr(6, 2), 2);
  const auto h = Number(when.substr(9, 2), 2), mi = Number(when.substr(11, 2), 2), s = Number(when.substr(13, 2), 2);
  const auto ms = Number(when.substr(16, 3), 3);
  if (!y || !mo || !d || !h || !mi || !s || !ms) return std::nullopt;
  const chr::year_month_day ymd{chr::year(static_cast<int>(*y)), chr::month(*mo), chr::day(*d)};
  if (!ymd.ok() || *h > 23 || *mi > 59 || *s > 59) return std::nullopt;
  const auto t = chr::sys_days(ymd) + chr::hours(*h) + chr::minutes(*mi) + chr::seconds(*s) + chr::milliseconds(*ms);
  info.time_ms = chr::duration_cast<chr::milliseconds>(t.time_since_epoch()).count();
  return info;
}

std::string BackupTimeText(int64_t time_ms) {
  const UtcParts t = SplitUtc(time_ms);
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02u:%02u:%02u UTC", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return buffer;
}

int64_t NowUtcMs() {
  return chr::duration_cast<chr::milliseconds>(chr::system_clock::now().time_since_epoch()).count();
}

BackupResult BackUpEscBlock(const std::string& folder, uint16_t family, uint16_t model, uint16_t version,
                            const ConfigImage& block, int64_t now_ms) {
  BackupResult result;
  result.folder = folder;
  switch (JudgeEscBlock(block, family, version)) {
    case BlockState::Erased: result.status = BackupStatus::SkippedErased; return result;
    case BlockState::Damaged: result.status = BackupStatus::SkippedDamaged; return result;
    case BlockState::Sound: break;
  }
  const fs::path dir = PathFromUtf8(folder);
  std::error_code failure;
  fs::create_directories(dir, failure);
  if (failure) {
    result.error = failure.message();
    return result;
  }
  const auto staging = ClaimStagingFolder(dir, result.error);
  if (!staging) return result;
  const fs::path staged = *staging / "backup.bin";
  std::optional<fs::path> path;
  if (WriteConfigFile(Utf8FromPath(staged), family, block, result.error)) {
    path = PlaceUnderFreeName(staged, dir, family, model, version, now_ms, result.error);
  }
  fs::remove_all(*staging, failure);
  if (!path) return result;
  result.status = BackupStatus::Written;
  result.path = Utf8FromPath(*path);

  const std::string written = Utf8FromPath(path->filename());
  size_t kept = 1;  // the backup just written, wherever the order puts it
  for (const BackupInfo& info : ScanBackups(folder, now_ms).backups) {
    if (info.name == written) continue;
    if (kept < kBackupsKept) {
      ++kept;
      continue;
    }
    fs::remove(PathFromUtf8(info.path), failure);
  }
  return result;
}

BackupScan ScanBackups(const std::string& folder, int64_t now_ms) {
  BackupScan scan;
  std::error_code failure;
  for (fs::directory_iterator it(PathFromUtf8(folder), failure), end; !failure && it != end; it.increment(failure)) {
    auto info = ParseBackupFileName(Utf8FromPath(it->path().filename()));
    if (!info) continue;
    info->path = Utf8FromPath(it->path());
    // A cut file, a folder, a link to anything else: not a backup, whatever its name.
    ConfigFile file;
    if (ReadConfigFile(info->path, file) != FileReadStatus::Ok ||
        CheckConfigFile(file, info->family, info->version) != FileCheck::Valid) {
      ++scan.skipped;
      continue;
    }
    scan.backups.push_back(std::move(*info));
  }
  const int64_t latest_plausible = now_ms + kBackupClockSlackMs;
  std::sort(scan.backups.begin(), scan.backups.end(), [latest_plausible](const BackupInfo& a, const BackupInfo& b) {
    const bool a_plausible = a.time_ms <= latest_plausible, b_plausible = b.time_ms <= latest_plausible;
    if (a_plausible != b_plausible) return a_plausible;
    return a.time_ms != b.time_ms ? a.time_ms > b.time_ms : a.name > b.name;
  });
  return scan;
}

std::vector<BackupInfo> ListBackups(const std::string& folder) { return ScanBackups(folder, NowUtcMs()).backups; }

std::optional<BackupInfo> NewestMatchingBackup(const std::string& folder, uint16_t family, uint16_t model,
                                               uint16_t version, ConfigFile* file) {
  for (const BackupInfo& info : ListBackups(folder)) {
    if (info.family != family || info.model != model || info.version != version) continue;
    ConfigFile candidate;
    if (ReadConfigFile(info.path, candidate) != FileReadStatus::Ok) continue;
    if (CheckConfigFile(candidate, family, version) != FileCheck::Valid) continue;
    if (file != nullptr) *file = candidate;
    return info;
  }
  return std::nullopt;
}

BackupResult BackUpEscBlockForUser(uint16_t family, uint16_t model, uint16_t version, const ConfigImage& block) {
  if (const auto folder = BackupFolder()) return BackUpEscBlock(*folder, family, model, version, block, NowUtcMs());
  BackupResult result;
  result.error = NoBackupFolderReason();
  return result;
}

}  // namespace tavio
