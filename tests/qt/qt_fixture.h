#pragma once
// The Qt tests' one fixture: a dialog driver that answers from a script and
// records what it was shown, a hover rest the test fires itself, and a window
// over a bare Panel or started over the simulated unit as main() wires it,
// with a spy on the notifications it sends the core. No real timers.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QPushButton>
#include <QWindow>
#include <QtTest>
#include <deque>
#include <memory>
#include <optional>

#include "core/shell/window_calls.h"
#include "qt/defaults_dialog_widget.h"
#include "qt/hover_tracker.h"
#include "qt/main_window.h"
#include "qt/message_boxes.h"
#include "qt/qt_panel.h"
#include "qt/session.h"
#include "sim/sim_hid_port.h"
#include "support/fake_sleeper.h"
#include "support/manual_rest_timer.h"

namespace tavio::qt::test {

using Notices = std::vector<std::pair<int, int>>;  // control ID, notification code
inline constexpr const char* kBrenta = "BRENTA:160:0x0401";

struct BoxSeen {
  QString text, caption;
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
  QWidget* parent;
  QMessageBox::StandardButton default_button;
};
struct FileDialogSeen {
  QFileDialog::AcceptMode mode;
  QStringList filters;
  QString suffix;
  bool confirms_overwrite;
};

class Dialogs final : public DialogDriver {
 public:
  int AnswerMessageBox(QMessageBox& box) override {
    boxes.push_back({box.text(), box.windowTitle(), box.icon(), box.standardButtons(), box.parentWidget(),
                     box.standardButton(box.defaultButton())});
    if (while_box_open) while_box_open();
    return box_answer;
  }
  std::optional<QString> AnswerFileDialog(QFileDialog& dialog) override {
    file_dialogs.push_back({dialog.acceptMode(), dialog.nameFilters(), dialog.defaultSuffix(),
                            !dialog.testOption(QFileDialog::DontConfirmOverwrite)});
    return file_name.isNull() ? std::nullopt : std::optional(file_name);
  }
  int AnswerDefaultsDialog(ModelDefaultsDialog& dialog) override { return drive_defaults(dialog); }

  int box_answer = QMessageBox::NoButton;  // the box closed without a button
  std::function<void()> while_box_open;
  QString file_name;  // null: the dialog is cancelled
  std::function<int(ModelDefaultsDialog&)> drive_defaults;
  std::vector<BoxSeen> boxes;
  std::vector<FileDialogSeen> file_dialogs;
};

using tavio::test::ManualRestTimer;

// Shows the window and makes it the active one, as a click on it would.
inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  QApplication::processEvents();
  return QApplication::activeWindow() == &window;
}

inline QString Help(StringId id) { return DisplayText(LookUpString(Language::English, id)); }

// The window and its Panel alone, no core behind them.
struct Bare {
  explicit Bare(Language language = Language::English) : window(language), panel(window) {
    panel.SetDialogDriver(&dialogs);
    window.SetCommandWatcher([this](ControlId id, uint16_t code) { notices.emplace_back(id, code); });
  }
  QString Text(ControlId id) const { return QString::fromStdU16String(panel.GetText(id)); }
  MainWindow window;
  QtPanel panel;
  Dialogs dialogs;
  Notices notices;
};

// Stores back up into $XDG_DATA_HOME: a fresh folder per window, never the
// real home.
struct DataHome {
  DataHome() { qputenv("XDG_DATA_HOME", folder.path().toUtf8()); }
  QString Backups() const { return folder.path() + QStringLiteral("/tavio/backups"); }
  QTemporaryDir folder;
};

// `esc` as --simulate takes it; nullptr: no unit plugged in at start.
// `more`: further simulator options (--sim-eeprom, --sim-unplug-after);
// `prepare` runs before start-up, given the backup folder and the dialog
// answers.
struct WindowRun {
  explicit WindowRun(const char* esc = kBrenta, const Artwork& artwork = Artwork(),
                     std::vector<std::string> more = {},
                     const std::function<void(const QString& backups, Dialogs& dialogs)>& prepare = {}) {
    if (prepare) prepare(data_home.Backups(), dialogs);
    GuiOptions options;
    std::string error;
    std::vector<std::string> args = {"--simulate", esc != nullptr ? esc : kBrenta};
    args.insert(args.end(), more.begin(), more.end());
    tavio::options::ParseWindowOptions(args, options);
    session = Session::Create(options, Language::English, &sleeper, error, artwork);
    session->panel().SetDialogDriver(&dialogs);
    auto rest = std::make_unique<ManualRestTimer>();
    timer = rest.get();
    session->SetRestTimer(std::move(rest));
    window().SetCommandWatcher([this](ControlId id, uint16_t code) { notices.emplace_back(id, code); });
    if (esc == nullptr) session->sim_port()->Unplug(kSimulatedUnitPath);
    session->Start();
    ShowActive(window());
    MoveMouse(QPoint(0, 0));  // a move to where the mouse already is would be dropped
    notices.clear();
  }
  ~WindowRun() { session->Stop(); }

  MainWindow& window() { return session->window(); }
  QLineEdit* Field(ControlId id) { return window().ControlAs<QLineEdit>(id); }
  QString Text(ControlId id) { return QString::fromStdU16String(session->panel().GetText(id)); }
  QString Title() { return window().windowTitle(); }
  uint16_t Image(size_t offset) { return GetU16(session->app().image, offset); }
  sim::SimUnit& Unit() { return *session->sim_port()->FindUnit(kSimulatedUnitPath); }
  // Through the window system, as a real mouse: the widget under the point gets it.
  void MoveMouse(QPoint client) { QTest::mouseMove(window().windowHandle(), client); }
  // Replaces a field's text by typing over it, as a user would.
  void TypeInto(ControlId id, const QString& keys) {
    Field(id)->setFocus(Qt::MouseFocusReason);
    Field(id)->selectAll();
    QTest::keyClicks(Field(id), keys);
  }
  Notices FocusNotices() const {
    Notices focus;
    for (const auto& n : notices) {
      if (n.second == ctl::kEnSetFocus || n.second == ctl::kEnKillFocus) focus.push_back(n);
    }
    return focus;
  }

  DataHome data_home;  // before the session: start-up may already store
  tavio::test::FakeSleeper sleeper;
  Dialogs dialogs;
  std::unique_ptr<Session> session;
  ManualRestTimer* timer = nullptr;
  Notices notices;
};

}  // namespace tavio::qt::test
