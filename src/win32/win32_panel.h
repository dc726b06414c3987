#pragma once
// The Panel over the native window: each call is one or two calls of the
// platform on the control with that ID. Boxes and dialogs go through the
// window's dialogs, behind which tests put their hooks.

#include <windows.h>

#include "core/shell/panel.h"
#include "core/text/string_table.h"

namespace tavio::win32 {

class MainWindow;

class Win32Panel final : public Panel {
 public:
  Win32Panel(MainWindow& window, Language language) : window_(window), language_(language) {}

  void SetText(uint16_t id, TextView text) override;
  Text GetText(uint16_t id) const override;
  void SetCheck(uint16_t id, bool checked) override;
  bool GetCheck(uint16_t id) const override;
  void SetSelection(uint16_t id, int index) override;
  int GetSelection(uint16_t id) const override;
  Text GetItemText(uint16_t id, int index) const override;
  void Enable(uint16_t id, bool enabled) override;
  bool IsEnabled(uint16_t id) const override;
  void SetFocus(uint16_t id) override;
  void SetTitle(TextView title) override;
  void Repaint() override;
  void SetBusy(bool busy) override;
  void MarkUnstored(bool unstored) override;
  BoxAnswer ShowMessageBox(const MessageBoxRequest& request) override;
  std::optional<std::string> ChooseOpenFile() override;
  std::optional<std::string> ChooseSaveFile() override;
  int RunDefaultsDialog(int dialog_id, uint16_t family) override;
  void RequestQuit() override;

  bool QuitRequested() const { return quit_requested_; }

 private:
  HWND Control(uint16_t id) const;
  // Keyboard and mouse input that queued up while the window was busy.
  void DropQueuedInput();

  MainWindow& window_;
  Language language_;
  bool busy_ = false;
  bool quit_requested_ = false;
};

}  // namespace tavio::win32
