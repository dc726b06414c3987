// Saving replaces a file in one step or not at all: through a link its
// target, keeping its mode, never a file the user may not write, never a
// pipe or a device; loading never waits on a pipe. A full disk and the other
// late failures come from a fault layer everywhere, and from a real full
// tmpfs where the test may mount one.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/files/config_file.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ConfigImage Image(uint16_t hold_time_ms) {
  ConfigImage image;
  PutU16(image, kOffBlockLength, 80);
  PutU16(image, 0x12, hold_time_ms);
  return image;
}

std::string Encoded(uint16_t hold_time_ms) {
  const auto bytes = EncodeConfigFile(100, Image(hold_time_ms));
  return std::string(bytes.begin(), bytes.end());
}

class FileSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) /
             (std::string("safety_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override {
    SetSaveFaultHook({});
    std::error_code ignored;
    fs::permissions(folder, fs::perms::all, ignored);
    fs::remove_all(folder, ignored);
  }
  std::string Path(const std::string& name) const { return (folder / name).string(); }
  std::vector<std::string> Names(const fs::path& where) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(where)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder;
};

// Every late step failing over an existing file: the old bytes stay, no
// temporary file is left, and the error names the cause.
TEST_F(FileSafety, AFailedSaveLeavesTheOldFileWhole) {
  struct Case { SaveStep step; int error; const char* starts; };
  const Case cases[] = {
      {SaveStep::CreateTemp, EACCES, "cannot create "},
      {SaveStep::WriteTemp, ENOSPC, "cannot write "},
      {SaveStep::Replace, EXDEV, "cannot replace "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.step));
    std::ofstream(Path("keep.bin"), std::ios::binary) << Encoded(1111);
    SetSaveFaultHook([&c](SaveStep step) { return step == c.step ? c.error : 0; });
    std::string error;
    bool had_file = false;
    EXPECT_FALSE(WriteConfigFile(Path("keep.bin"), 100, Image(2222), error, &had_file));
    EXPECT_TRUE(had_file);
    EXPECT_EQ(error.rfind(c.starts, 0), 0u) << error;
    EXPECT_NE(error.find(std::strerror(c.error)), std::string::npos) << error;
    EXPECT_EQ(ReadAll(Path("keep.bin")), Encoded(1111));
    EXPECT_EQ(Names(folder), std::vector<std::string>{"keep.bin"});
  }
  SetSaveFaultHook({});
  std::string error;
  EXPECT_TRUE(WriteConfigFile(Path("keep.bin"), 100, Image(2222), error));
  EXPECT_EQ(ReadAll(Path("keep.bin")), Encoded(2222));
}

// The window's save-error box says the existing file is unchanged only when
// there was one.
TEST_F(FileSafety, SaveErrorBoxMentionsTheOldFileOnlyWhenThereWasOne) {
  AppHarness h;
  h.AddUnit(100, 100, 0x0104);
  h.Start();
  std::ofstream(Path("old.bin"), std::ios::binary) << Encoded(1111);
  SetSaveFaultHook([](SaveStep step) { return step == SaveStep::WriteTemp ? ENOSPC : 0; });
  for (const auto& [name, tail] : {std::pair<std::string, std::string>{"old.bin", " The settings were NOT saved; the "
                                                                                   "existing file is unchanged."},
                                   {"new.bin", " The settings were NOT saved."}}) {
    h.panel.save_files = {Path(name)};
    h.panel.boxes.clear();
    h.panel.UserClicks(ctl::kSaveFile);
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    EXPECT_EQ(ToUtf8(h.panel.boxes[0].text), "The settings could not be saved to " + Path(name) + "." + tail);
  }
  EXPECT_EQ(ReadAll(Path("old.bin")), Encoded(1111));
  EXPECT_FALSE(fs::exists(Path("new.bin")));
}

#ifndef _WIN32

TEST_F(FileSafety, SavingThroughALinkReplacesItsTargetAndKeepsTheLinkAndTheMode) {
  fs::create_directories(folder / "real");
  std::ofstream(Path("real/target.bin"), std::ios::binary) << Encoded(1111);
  fs::permissions(Path("real/target.bin"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("real/target.bin", Path("link.bin"));         // relative
  fs::create_symlink(Path("link.bin"), Path("link-to-link.bin"));  // absolute, to a link

  for (const char* via : {"link.bin", "link-to-link.bin"}) {
    SCOPED_TRACE(via);
    static uint16_t hold = 2000;
    ++hold;
    std::string error;
    ASSERT_TRUE(WriteConfigFile(Path(via), 100, Image(hold), error)) << error;
    EXPECT_TRUE(fs::is_symlink(Path("link.bin")));
    EXPECT_TRUE(fs::is_symlink(Path("link-to-link.bin")));
    EXPECT_EQ(ReadAll(Path("real/target.bin")), Encoded(hold));
    EXPECT_EQ(fs::status(Path("real/target.bin")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // The temporary file lived beside the target and is gone.
    EXPECT_EQ(Names(folder / "real"), std::vector<std::string>{"target.bin"});
  }
  // A dangling link gets its target created.
  fs::create_symlink("real/new.bin", Path("dangling.bin"));
  std::string error;
  ASSERT_TRUE(WriteConfigFile(Path("dangling.bin"), 100, Image(3000), error)) << error;
  EXPECT_TRUE(fs::is_symlink(Path("dangling.bin")));
  EXPECT_EQ(ReadAll(Path("real/new.bin")), Encoded(3000));
}

// Each path is refused for load and save at once and stays as it was; the
// window shows its refusal box for the first.
void ExpectRefusedAtOnce(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    // No writer ever opens a pipe: a load that opened it would wait for ever.
    ConfigFile file;
    EXPECT_EQ(ReadConfigFile(path, file), FileReadStatus::NotRegular);
    EXPECT_EQ(ReadWholeConfigFile(path, file), FileReadStatus::NotRegular);
    std::string error;
    bool had_file = true;
    EXPECT_FALSE(WriteConfigFile(path, 100, Image(1000), error, &had_file));
    EXPECT_FALSE(had_file);
    EXPECT_EQ(error, "cannot save to " + path + ": not a regular file");
  }

  // In the window: the usual refusal box, at once.
  AppHarness h;
  h.AddUnit(100, 100, 0x0104);
  h.Start();
  h.panel.open_files = {paths[0]};
  h.panel.boxes.clear();
  h.panel.UserClicks(ctl::kLoadFile);
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(ToUtf8(h.panel.boxes[0].text),
            "The selected file is not a valid memory file, please choose a valid memory file!");
}

#ifndef __EMSCRIPTEN__
TEST_F(FileSafety, PipesDevicesAndFoldersAreRefusedAtOnce) {
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0644), 0);
  fs::create_directories(Path("folder.bin"));
  ExpectRefusedAtOnce({Path("pipe"), std::string("/dev/null"), Path("folder.bin")});
  EXPECT_EQ(fs::status(Path("pipe")).type(), fs::file_type::fifo);
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"folder.bin", "pipe"}));
}
#else
// Node makes no named pipes.
TEST_F(FileSafety, DevicesAndFoldersAreRefusedAtOnce_PipesNotOnWeb) {
  fs::create_directories(Path("folder.bin"));
  ExpectRefusedAtOnce({std::string("/dev/null"), Path("folder.bin")});
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"folder.bin"}));
}
#endif

#ifndef __EMSCRIPTEN__

// Runs `body` as an ordinary user: root may write anything, so a root test
// drops to "nobody" in a child process. The child's exit code is the result.
template <typename Body>
int AsNormalUser(Body body) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(90);
    _exit(body());
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST_F(FileSafety, AFileTheUserMayNotWriteIsRefusedAndStaysAsItIs) {
  // The folder is open to everyone: only the file's own mode forbids the save.
  fs::permissions(folder, fs::perms::all);
  std::ofstream(Path("locked.bin"), std::ios::binary) << Encoded(1111);
  fs::permissions(Path("locked.bin"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string path = Path("locked.bin");
  const int result = AsNormalUser([&path] {
    std::string error;
    bool had_file = false;
    if (WriteConfigFile(path, 100, Image(2222), error, &had_file)) return 1;
    if (!had_file) return 2;
    if (error != "cannot write " + path + ": " + std::strerror(EACCES)) return 3;
    // The window shows its save-error box for it.
    AppHarness h;
    h.AddUnit(100, 100, 0x0104);
    h.Start();
    h.panel.save_files = {path};
    h.panel.boxes.clear();
    h.panel.UserClicks(ctl::kSaveFile);
    if (h.panel.boxes.size() != 1 ||
        ToUtf8(h.panel.boxes[0].text) != "The settings could not be saved to " + path +
                                              ". The settings were NOT saved; the existing file is unchanged.") {
      return 4;
    }
    return 0;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadAll(path), Encoded(1111));
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"locked.bin"});
}

// A real full file system: a small tmpfs mounted in a private mount
// namespace of a child process, so nothing outside the test sees it.
TEST_F(FileSafety, AFullFileSystemLeavesTheOldFileWhole) {
  const std::string dir = Path("small");
  fs::create_directories(dir);
  const pid_t child = fork();
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tavio-test", dir.c_str(), "tmpfs", 0, "size=16k") != 0) {
      _exit(77);
    }
    const std::string target = dir + "/keep.bin";
    std::ofstream(target, std::ios::binary) << Encoded(1111);
    {
      // Fill every free block.
      std::ofstream filler(dir + "/filler", std::ios::binary);
      const std::string chunk(512, 'x');
      for (int i = 0; i < 1000 && filler.write(chunk.data(), chunk.size()); ++i) filler.flush();
    }
    std::string error;
    if (WriteConfigFile(target, 100, Image(2222), error)) _exit(1);
    if (error.find(std::strerror(ENOSPC)) == std::string::npos) _exit(2);
    if (ReadAll(target) != Encoded(1111)) _exit(3);
    for (const auto& e : fs::directory_iterator(dir)) {
      if (e.path().filename().string().rfind(".tavio-save-", 0) == 0) _exit(4);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no tmpfs can be mounted here; the fault layer covers this";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

#else

// Under node a program starts no other process, so it can neither drop to
// another user nor mount a file system of its own.
TEST_F(FileSafety, AFileTheUserMayNotWriteIsRefusedAndStaysAsItIs_NotOnWeb) {
  GTEST_SKIP() << "needs fork and setuid, which node has not";
}
TEST_F(FileSafety, AFullFileSystemLeavesTheOldFileWhole_NotOnWeb) {
  GTEST_SKIP() << "needs fork and a mount namespace, which node has not";
}

#endif  // __EMSCRIPTEN__
#endif  // _WIN32

}  // namespace
}  // namespace tavio::test
