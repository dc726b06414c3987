#include "support/memory_panel.h"

#include "core/shell/control_table.h"

namespace tavio::test {
namespace {

std::string Describe(const char* what, ControlId id, const std::string& value) {
  return std::string(what) + " " + std::to_string(id) + " " + value;
}

const char* IconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None: return "none";
    case BoxIcon::Information: return "information";
    case BoxIcon::Warning: return "warning";
    case BoxIcon::Error: return "error";
  }
  return "?";
}

}  // namespace

MemoryPanel::MemoryPanel(Language language) {
  for (const ControlDef& def : ControlTable()) {
    ControlState& state = controls_[def.id];
    state.text = ControlText(def, language);
    for (const ListItemDef& item : ListItems(def.id)) state.items.push_back(ListItemText(item, language));
  }
}

const ControlState& MemoryPanel::State(ControlId id) const {
  static const ControlState kNone{};
  const auto it = controls_.find(id);
  return it == controls_.end() ? kNone : it->second;
}

bool MemoryPanel::IsEditField(ControlId id) const {
  const ControlDef* def = FindControl(id);
  return def != nullptr && (def->kind == ControlKind::Field || def->kind == ControlKind::DigitsField);
}

void MemoryPanel::SetText(uint16_t id, TextView text) {
  calls.push_back(Describe("SetText", id, ToUtf8(text)));
  controls_[id].text = Text(text);
  if (IsEditField(id) && notify) notify(id, ctl::kEnChange);
}

Text MemoryPanel::GetText(uint16_t id) const { return State(id).text; }

void MemoryPanel::SetCheck(uint16_t id, bool checked) {
  calls.push_back(Describe("SetCheck", id, checked ? "1" : "0"));
  controls_[id].checked = checked;
}

bool MemoryPanel::GetCheck(uint16_t id) const { return State(id).checked; }

void MemoryPanel::SetSelection(uint16_t id, int index) {
  calls.push_back(Describe("SetSelection", id, std::to_string(index)));
  ControlState& state = controls_[id];
  state.selection = index >= 0 && static_cast<size_t>(index) < state.items.size() ? index : -1;
}

int MemoryPanel::GetSelection(uint16_t id) const { return State(id).selection; }

Text MemoryPanel::GetItemText(uint16_t id, int index) const {
  const ControlState& state = State(id);
  if (index < 0 || static_cast<size_t>(index) >= state.items.size()) return Text();
  return state.items[static_cast<size_t>(index)];
}

void MemoryPanel::Enable(uint16_t id, bool enabled) {
  calls.push_back(Describe("Enable", id, enabled ? "1" : "0"));
  controls_[id].enabled = enabled;
  if (!enabled && focus == id) focus = 0;
}

bool MemoryPanel::IsEnabled(uint16_t id) const { return State(id).enabled; }

void MemoryPanel::SetFocus(uint16_t id) {
  calls.push_back(Describe("SetFocus", id, ""));
  if (id == focus) return;
  const ControlId old = focus;
  focus = id;
  if (old != 0 && IsEditField(old) && notify) notify(old, ctl::kEnKillFocus);
  if (IsEditField(id) && notify) notify(id, ctl::kEnSetFocus);
}

void MemoryPanel::SetTitle(TextView text) {
  calls.push_back("SetTitle " + ToUtf8(text));
  title = Text(text);
}

void MemoryPanel::Repaint() {
  calls.push_back("Repaint");
  ++repaints;
}

void MemoryPanel::SetBusy(bool on) {
  calls.push_back(std::string("SetBusy ") + (on ? "1" : "0"));
  busy = on;
}

void MemoryPanel::MarkUnstored(bool unstored) {
  calls.push_back(std::string("MarkUnstored ") + (unstored ? "1" : "0"));
  unstored_mark = unstored;
}

BoxAnswer MemoryPanel::ShowMessageBox(const MessageBoxRequest& request) {
  calls.push_back(std::string("Box ") + IconName(request.icon) + " [" + ToUtf8(request.caption) + "] " +
                  ToUtf8(request.text));
  boxes.push_back(request);
  if (on_box) on_box(request);
  if (!box_answers.empty()) {
    const BoxAnswer answer = box_answers.front();
    box_answers.pop_front();
    return answer;
  }
  switch (request.buttons) {
    case BoxButtons::Ok: return BoxAnswer::Ok;
    case BoxButtons::YesNo: return BoxAnswer::No;
    case BoxButtons::RetryCancel:
    case BoxButtons::YesNoCancel: return BoxAnswer::Cancel;
  }
  return BoxAnswer::Ok;
}

std::optional<std::string> MemoryPanel::ChooseOpenFile() {
  calls.push_back("ChooseOpenFile");
  ++open_dialogs;
  if (open_files.empty()) return std::nullopt;
  auto answer = open_files.front();
  open_files.pop_front();
  return answer;
}

std::optional<std::string> MemoryPanel::ChooseSaveFile() {
  calls.push_back("ChooseSaveFile");
  ++save_dialogs;
  if (save_files.empty()) return std::nullopt;
  auto answer = save_files.front();
  save_files.pop_front();
  return answer;
}

int MemoryPanel::RunDefaultsDialog(int dialog_id, uint16_t family) {
  calls.push_back("RunDefaultsDialog " + std::to_string(dialog_id) + " " + std::to_string(family));
  defaults_dialogs.push_back(dialog_id);
  if (defaults_answers.empty()) return 0;
  const int answer = defaults_answers.front();
  defaults_answers.pop_front();
  return answer;
}

void MemoryPanel::RequestQuit() {
  calls.push_back("RequestQuit");
  quit_requested = true;
}

void MemoryPanel::UserTypes(ControlId id, TextView text) {
  controls_[id].text = Text(text);
  if (notify) notify(id, ctl::kEnChange);
}

void MemoryPanel::UserFocuses(ControlId id) { SetFocus(id); }

void MemoryPanel::UserSelects(ControlId id, int index) {
  ControlState& state = controls_[id];
  state.selection = index;
  if (notify) notify(id, ctl::kCbnSelEndOk);
}

void MemoryPanel::UserClicks(ControlId id) {
  const ControlDef* def = FindControl(id);
  if (def != nullptr && def->kind == ControlKind::Check) {
    controls_[id].checked = !controls_[id].checked;
  } else if (def != nullptr && def->kind == ControlKind::Radio) {
    // The two timing radio buttons form one group.
    controls_[ctl::kAutoTiming].checked = id == ctl::kAutoTiming;
    controls_[ctl::kFixTiming].checked = id == ctl::kFixTiming;
  }
  if (notify) notify(id, ctl::kBnClicked);
}

int MemoryPanel::FindCall(const std::string& prefix, size_t from) const {
  for (size_t i = from; i < calls.size(); ++i) {
    if (calls[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tavio::test
