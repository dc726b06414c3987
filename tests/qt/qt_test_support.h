#pragma once
// Shared pieces of the Qt tests: a dialog driver that answers from a script
// and records what it was asked, and window activation without waiting.

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "qt/defaults_dialog_widget.h"
#include "qt/qt_panel.h"

namespace tavio::qt::test {

struct BoxSeen {
  QString text;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QWidget* parent = nullptr;
};

struct FileDialogSeen {
  QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
  QStringList filters;
  QString suffix;
  bool confirms_overwrite = false;
  QWidget* parent = nullptr;
};

class ScriptedDialogs final : public DialogDriver {
 public:
  int AnswerMessageBox(QMessageBox& box) override {
    boxes.push_back({box.text(), box.windowTitle(), box.icon(), box.standardButtons(), box.parentWidget()});
    if (while_box_open) while_box_open();
    if (box_answers.empty()) return QMessageBox::NoButton;
    const int answer = box_answers.front();
    box_answers.pop_front();
    return answer;
  }
  std::optional<QString> AnswerFileDialog(QFileDialog& dialog) override {
    file_dialogs.push_back({dialog.acceptMode(), dialog.nameFilters(), dialog.defaultSuffix(),
                            !dialog.testOption(QFileDialog::DontConfirmOverwrite), dialog.parentWidget()});
    if (file_names.empty()) return std::nullopt;
    const QString name = file_names.front();
    file_names.pop_front();
    if (name.isNull()) return std::nullopt;
    return name;
  }
  int AnswerDefaultsDialog(ModelDefaultsDialog& dialog) override {
    defaults_captions.push_back(dialog.windowTitle());
    if (drive_defaults) return drive_defaults(dialog);
    if (defaults_codes.empty()) return 0;
    const int code = defaults_codes.front();
    defaults_codes.pop_front();
    return code;
  }

  std::deque<int> box_answers;  // empty: the box is closed without a button
  std::function<void()> while_box_open;
  std::deque<QString> file_names;  // a null string cancels the dialog
  std::deque<int> defaults_codes;
  std::function<int(ModelDefaultsDialog&)> drive_defaults;

  std::vector<BoxSeen> boxes;
  std::vector<FileDialogSeen> file_dialogs;
  QStringList defaults_captions;
};

// Shows the window and makes it the active one, as a click on it would.
inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  QApplication::processEvents();
  return QApplication::activeWindow() == &window;
}

}  // namespace tavio::qt::test
