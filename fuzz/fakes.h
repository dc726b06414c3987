#pragma once
// Stand-ins for the window, the pauses and the device notices: the fuzz
// targets and the seed maker keep only what they check.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "core/link/sleeper.h"
#include "core/shell/app.h"
#include "core/shell/panel.h"
#include "core/text/string_table.h"

namespace tavio::fuzz {

class NullPanel final : public Panel {
 public:
  void SetText(uint16_t, TextView) override {}
  Text GetText(uint16_t) const override { return text; }
  void SetCheck(uint16_t, bool) override {}
  bool GetCheck(uint16_t) const override { return false; }
  void SetSelection(uint16_t, int) override {}
  int GetSelection(uint16_t) const override { return selection; }
  Text GetItemText(uint16_t, int) const override { return Text(); }
  void Enable(uint16_t, bool) override {}
  bool IsEnabled(uint16_t) const override { return true; }
  void SetFocus(uint16_t) override {}
  void SetTitle(TextView) override {}
  void Repaint() override {}
  void SetBusy(bool) override {}
  void MarkUnstored(bool) override {}
  BoxAnswer ShowMessageBox(const MessageBoxRequest& request) override {
    ++boxes;
    // Every communication failure ends with this box; other error boxes
    // (a backup that cannot be written, a read-back that differs) leave the
    // link open.
    if (request.text == LookUpString(Language::English, sid::kCommErrorRetry)) ++comm_errors;
    return request.buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
  }
  std::optional<std::string> ChooseOpenFile() override {
    auto answer = open_file;
    open_file.reset();
    return answer;
  }
  std::optional<std::string> ChooseSaveFile() override { return std::nullopt; }
  int RunDefaultsDialog(int, uint16_t) override { return 0; }
  void RequestQuit() override {}

  std::optional<std::string> open_file;
  Text text;
  int selection = -1;
  int boxes = 0;
  int comm_errors = 0;
};

class NoSleep final : public Sleeper {
 public:
  void SleepMs(uint32_t) override {}
};

class AlwaysRegistered final : public NoticeRegistration {
 public:
  bool Register() override { return true; }
  void Unregister() override {}
};

// Stores back up into $XDG_DATA_HOME: a folder of the fuzzer's own, never
// the home of whoever runs it.
inline void UseScratchDataHome() {
  static const bool done = [] {
    const auto folder = std::filesystem::temp_directory_path() / "tavio-fuzz-data";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
    return true;
  }();
  (void)done;
}

// The program's state over `port`, with the stand-ins above for the rest.
struct Rig {
  explicit Rig(HidPort& port) {
    UseScratchDataHome();
    app.panel = &panel;
    app.notices = &notices;
    app.link.port = &port;
    app.link.sleeper = &sleeper;
  }
  NoSleep sleeper;
  AlwaysRegistered notices;
  NullPanel panel;
  App app;
};

}  // namespace tavio::fuzz
