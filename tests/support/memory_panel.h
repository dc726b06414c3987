#pragma once
// An in-memory window for tests: it keeps every control's state, records
// every call in order, notifies text and focus changes like the platform
// does, and answers boxes and dialogs from a script.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/ids/control_ids.h"
#include "core/shell/panel.h"
#include "core/text/string_table.h"

namespace tavio::test {

struct ControlState {
  Text text;
  bool checked = false;
  int selection = -1;
  bool enabled = true;
  std::vector<Text> items;
};

class MemoryPanel final : public Panel {
 public:
  explicit MemoryPanel(Language language = Language::English);

  // Panel
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

  // What the platform would send to the window's command dispatch: a text
  // change of an edit field, focus moving between controls.
  std::function<void(ControlId id, uint16_t code)> notify;

  // What the user does, for tests: type into a field (no notification until
  // the focus moves), move the focus, pick a list item, click a button.
  // Disabling the focused control parks the focus without a notification,
  // as the Qt window does.
  void UserTypes(ControlId id, TextView text);
  void UserFocuses(ControlId id);
  void UserSelects(ControlId id, int index);
  void UserClicks(ControlId id);

  // Scripted answers, used first in first out; an empty queue answers Ok,
  // No for Yes/No and Cancel for Retry/Cancel. `on_box` runs while the box
  // is "open" (a nested device notice, for example).
  std::deque<BoxAnswer> box_answers;
  std::function<void(const MessageBoxRequest&)> on_box;
  std::deque<std::optional<std::string>> open_files;
  std::deque<std::optional<std::string>> save_files;
  std::deque<int> defaults_answers;

  std::vector<MessageBoxRequest> boxes;
  std::vector<int> defaults_dialogs;  // dialog IDs run
  int open_dialogs = 0;
  int save_dialogs = 0;
  std::vector<std::string> calls;     // every call, in order, as text
  Text title;
  ControlId focus = 0;
  int repaints = 0;
  bool busy = false;
  bool unstored_mark = false;
  bool quit_requested = false;

  ControlState& State(ControlId id) { return controls_[id]; }
  const ControlState& State(ControlId id) const;
  // Index into `calls` where a call starting with `prefix` first appears, or -1.
  int FindCall(const std::string& prefix, size_t from = 0) const;
  void ClearLog() { calls.clear(); }

 private:
  bool IsEditField(ControlId id) const;
  std::map<ControlId, ControlState> controls_;
};

}  // namespace tavio::test
