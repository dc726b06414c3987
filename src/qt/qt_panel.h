#pragma once
// The core's Panel over the main window's widgets, with its modal boxes and
// dialogs. A DialogDriver, when set, answers every box and dialog instead of
// the user (tests script it); the boxes are still built as for the user.

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "core/shell/panel.h"

class QFileDialog;
class QMessageBox;

namespace tavio::qt {

class MainWindow;
class ModelDefaultsDialog;

class DialogDriver {
 public:
  virtual ~DialogDriver() = default;
  // The box is fully built but not shown; returns the button "pressed".
  virtual int AnswerMessageBox(QMessageBox& box) = 0;
  // The chosen path; nothing for a cancelled dialog.
  virtual std::optional<QString> AnswerFileDialog(QFileDialog& dialog) = 0;
  // The dialog's result: a model-type code or 0.
  virtual int AnswerDefaultsDialog(ModelDefaultsDialog& dialog) = 0;
};

class QtPanel final : public Panel {
 public:
  explicit QtPanel(MainWindow& window) : window_(window) {}

  // nullptr: real dialogs shown to the user.
  void SetDialogDriver(DialogDriver* driver) { driver_ = driver; }
  bool QuitRequested() const { return quit_requested_; }

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
  std::optional<std::string> ChooseFile(bool save);
  // The busy look on or off, whatever `busy_` says; a box lifts it while it is open.
  void ShowBusy(bool shown);

  MainWindow& window_;
  DialogDriver* driver_ = nullptr;
  bool quit_requested_ = false;
  bool busy_ = false;
  bool busy_shown_ = false;
  std::unique_ptr<QObject> input_dropper_;
};

}  // namespace tavio::qt
