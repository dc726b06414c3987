#pragma once
// The page's Panel: every call is one call into the page's script, which
// holds the HTML elements; boxes and dialogs wait through Asyncify.

#include "core/shell/app.h"

namespace tavio::web {

// Builds the window's elements from the core's control table.
void BuildControls(Language language);

class WebPanel final : public Panel {
 public:
  WebPanel(const App& app, Language language) : app_(app), language_(language) {}

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

 private:
  const App& app_;
  Language language_;
};

}  // namespace tavio::web
