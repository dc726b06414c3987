#pragma once
// tavio-cli as a test runs it: in this process through cli::Run with virtual
// pauses, or as the real program for what could crash or hang a test.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "cli/cli.h"
#include "support/data_home.h"
#include "support/fake_sleeper.h"

namespace tavio::test {

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CliRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::path(::testing::TempDir()) /
             (std::string("cli_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::string Path(const std::string& name) const { return (folder / name).string(); }

  struct Result {
    int code;
    std::string out, err;
    bool operator==(const Result&) const = default;
    friend void PrintTo(const Result& r, std::ostream* os) { *os << r.code << "\n" << r.out << "\n" << r.err; }
  };
  // Backup names carry the time of the store: shown here as TIME.
  Result Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err, cli::Environment{&sleeper, {}});
    const std::regex time("_[0-9]{8}-[0-9]{6}-[0-9]{3}\\.bin");
    return {code, std::regex_replace(out.str(), time, "_TIME.bin"), std::regex_replace(err.str(), time, "_TIME.bin")};
  }
  // The simulated ESC `esc`, its memory kept in esc.eeprom between runs.
  Result Esc(const std::string& esc, std::vector<std::string> command) {
    command.insert(command.begin(), {"--simulate", esc, "--sim-eeprom", Path("esc.eeprom")});
    return Run(command);
  }

#if defined(TAVIO_CLI_BINARY) && !defined(_WIN32)
  // The real program, stopped after 20 s: a hang shows as 124, an abort as 134.
  Result RunProgram(const std::vector<std::string>& args) {
    std::string line = "timeout 20 '" TAVIO_CLI_BINARY "'";
    for (const std::string& arg : args) line += " '" + arg + "'";
    line += " >'" + Path("program.out") + "' 2>'" + Path("program.err") + "' </dev/null";
    const int status = std::system(line.c_str());
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return {code, ReadAll(Path("program.out")), ReadAll(Path("program.err"))};
  }
#endif

  std::filesystem::path folder;
  FakeSleeper sleeper;
  ScopedDataHome data_home;
};

}  // namespace tavio::test
