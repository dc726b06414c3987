#pragma once
// The window as the program sees it: everything the core does to the main
// window goes through this interface. The Qt widgets implement it for the
// real program; tests use an in-memory panel that records every call.

#include <cstdint>
#include <optional>
#include <string>

#include "core/text/text.h"

namespace tavio {

enum class BoxIcon : uint8_t { None, Information, Warning, Error };
enum class BoxButtons : uint8_t { Ok, YesNo, RetryCancel, YesNoCancel };
enum class BoxAnswer : uint8_t { Ok, Yes, No, Retry, Cancel };

// A box as the core asks for it. The answers that need no choice of the
// user's follow from the buttons and are the windows' to carry out: Enter
// gives `default_answer`, a box closed without a button `closed_answer`.
struct MessageBoxRequest {
  MessageBoxRequest(Text text = {}, Text caption = {}, BoxIcon icon = BoxIcon::None,
                    BoxButtons buttons = BoxButtons::Ok);

  // `pressed` where the buttons offer it; anything else is the closed answer.
  BoxAnswer AnswerFor(std::optional<BoxAnswer> pressed) const;

  Text text;
  Text caption;
  BoxIcon icon;
  BoxButtons buttons;
  BoxAnswer default_answer;
  BoxAnswer closed_answer;
  bool operator==(const MessageBoxRequest&) const = default;
};

class Panel {
 public:
  virtual ~Panel() = default;

  // Setting an edit field's text also notifies its text change, as the
  // platform does for program-made changes.
  virtual void SetText(uint16_t id, TextView text) = 0;
  virtual Text GetText(uint16_t id) const = 0;
  virtual void SetCheck(uint16_t id, bool checked) = 0;
  virtual bool GetCheck(uint16_t id) const = 0;
  // -1: no item selected.
  virtual void SetSelection(uint16_t id, int index) = 0;
  virtual int GetSelection(uint16_t id) const = 0;
  virtual Text GetItemText(uint16_t id, int index) const = 0;
  virtual void Enable(uint16_t id, bool enabled) = 0;
  virtual bool IsEnabled(uint16_t id) const = 0;
  // Moves the keyboard focus as the keyboard would, with the focus mark shown.
  virtual void SetFocus(uint16_t id) = 0;
  virtual void SetTitle(TextView title) = 0;
  // Invalidates and repaints the whole window at once.
  virtual void Repaint() = 0;
  // While the ESC is being written: the wait cursor, "Store on ESC" looking
  // busy, and input that arrives meanwhile dropped rather than queued.
  virtual void SetBusy(bool busy) = 0;
  // The discreet mark on "Store on ESC" while the settings shown are not the
  // ones the ESC holds.
  virtual void MarkUnstored(bool unstored) = 0;

  // Modal boxes and dialogs; device notices may be handled while they are open.
  virtual BoxAnswer ShowMessageBox(const MessageBoxRequest& request) = 0;
  // The chosen path (UTF-8), or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseOpenFile() = 0;
  virtual std::optional<std::string> ChooseSaveFile() = 0;
  // Runs the model-defaults dialog 101 or 102; returns the model-type code, 0 when cancelled.
  virtual int RunDefaultsDialog(int dialog_id, uint16_t family) = 0;
  // Ends the program once the event loop runs.
  virtual void RequestQuit() = 0;
};

}  // namespace tavio
