#include "core/files/backups.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

const char* Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
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

}  // namespace

std::optional<std::string> BackupFolder() {
#ifdef _WIN32
  if (const char* local = Env("LOCALAPPDATA")) return Utf8FromPath(PathFromUtf8(local) / "Tavio" / "backups");
  return std::nullopt;
#else
  if (const char* data = Env("XDG_DATA_HOME")) return Utf8FromPath(PathFromUtf8(data) / "tavio" / "backups");
  if (const char* home = Env("HOME")) {
    return Utf8FromPath(PathFromUtf8(home) / ".local" / "share" / "tavio" / "backups");
  }
  return std::nullopt;
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
  // Two stores within one millisecond still get two names.
  fs::path path;
  for (int64_t t = now_ms;; ++t) {
    path = dir / BackupFileName(family, model, version, t);
    if (!fs::exists(fs::symlink_status(path, failure))) break;
  }
  if (!WriteConfigFile(Utf8FromPath(path), family, block, result.error)) return result;
  result.status = BackupStatus::Written;
  result.path = Utf8FromPath(path);

  const std::vector<BackupInfo> all = ListBackups(folder);
  for (size_t i = kBackupsKept; i < all.size(); ++i) fs::remove(PathFromUtf8(all[i].path), failure);
  return result;
}

std::vector<BackupInfo> ListBackups(const std::string& folder) {
  std::vector<BackupInfo> found;
  std::error_code failure;
  for (fs::directory_iterator it(PathFromUtf8(folder), failure), end; !failure && it != end; it.increment(failure)) {
    if (!it->is_regular_file(failure)) continue;
    auto info = ParseBackupFileName(Utf8FromPath(it->path().filename()));
    if (!info) continue;
    info->path = Utf8FromPath(it->path());
    found.push_back(std::move(*info));
  }
  std::sort(found.begin(), found.end(), [](const BackupInfo& a, const BackupInfo& b) {
    return a.time_ms != b.time_ms ? a.time_ms > b.time_ms : a.name > b.name;
  });
  return found;
}

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
  result.error = "no home folder is set";
  return result;
}

}  // namespace tavio
