#pragma once
// Backups go to $XDG_DATA_HOME/tavio/backups: every test that stores points
// it at a fresh folder of its own, so no test writes into the real home.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace tavio::test {

class ScopedDataHome {
 public:
  ScopedDataHome() {
    static int counter = 0;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "data_home_";
    if (info != nullptr) name += std::string(info->test_suite_name()) + "_" + info->name();
    name += "_" + std::to_string(++counter);
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    folder_ = std::filesystem::path(::testing::TempDir()) / name;
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    Set(folder_.string());
  }
  ~ScopedDataHome() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  ScopedDataHome(const ScopedDataHome&) = delete;
  ScopedDataHome& operator=(const ScopedDataHome&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
#ifdef _WIN32
  std::filesystem::path backups() const { return folder_ / "Tavio" / "backups"; }
#else
  std::filesystem::path backups() const { return folder_ / "tavio" / "backups"; }
#endif

  static void Set(const std::string& value) {
#ifdef _WIN32
    _putenv_s("LOCALAPPDATA", value.c_str());
#else
    setenv("XDG_DATA_HOME", value.c_str(), 1);
#endif
  }

 private:
  std::filesystem::path folder_;
};

}  // namespace tavio::test
