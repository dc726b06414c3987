#pragma once
// A started window over the simulated unit, as main() wires it, for the
// look and hover tests: a sleeper that does not sleep, scripted boxes and a
// hover rest the test fires itself.

#include <QApplication>
#include <QWindow>
#include <QtTest>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "core/shell/app.h"
#include "qt/hover_tracker.h"
#include "qt/main_window.h"
#include "qt/message_boxes.h"
#include "qt/qt_panel.h"
#include "qt/session.h"
#include "qt_test_support.h"
#include "sim/sim_hid_port.h"
#include "support/fake_sleeper.h"

namespace tavio::qt::test {

// Never elapses by itself.
class ManualRestTimer final : public RestTimer {
 public:
  void Restart(std::chrono::milliseconds rest, Elapsed elapsed) override {
    pending_ = rest;
    elapsed_ = std::move(elapsed);
    ++restarts;
  }
  void Cancel() override { pending_.reset(); }
  bool Pending() const override { return pending_.has_value(); }
  // The rest is over: what the platform's hover notice would trigger.
  void Fire() {
    if (!pending_) return;
    pending_.reset();
    const Elapsed elapsed = elapsed_;
    if (elapsed) elapsed();
  }
  std::optional<std::chrono::milliseconds> PendingRest() const { return pending_; }

  int restarts = 0;

 private:
  std::optional<std::chrono::milliseconds> pending_;
  Elapsed elapsed_;
};

struct WindowRun {
  // `esc` as for --simulate; empty: no unit is plugged in, the window starts
  // not connected.
  explicit WindowRun(const QString& esc, Language language = Language::English, const Artwork& artwork = Artwork()) {
    GuiOptions options;
    options.simulate = esc.isEmpty() ? std::string("BRENTA:160:0x0401") : esc.toStdString();
    std::string error;
    session = Session::Create(options, language, &sleeper, error, artwork);
    if (session == nullptr) return;
    session->panel().SetDialogDriver(&dialogs);
    auto manual = std::make_unique<ManualRestTimer>();
    timer = manual.get();
    window().Hover().SetRestTimer(std::move(manual));
    if (esc.isEmpty()) session->sim_port()->Unplug(kSimulatedUnitPath);
    session->Start();
    ShowActive(window());
    // The window system drops a move to where the mouse already is; start
    // from the corner, where no control is.
    MoveMouse(QPoint(0, 0));
  }
  ~WindowRun() {
    if (session != nullptr) session->Stop();
  }

  MainWindow& window() { return session->window(); }
  App& app() { return session->app(); }
  QString Text(ControlId id) { return QString::fromStdU16String(session->panel().GetText(id)); }
  QString HelpText() { return Text(ctl::kHelpField); }
  QString Title() { return window().windowTitle(); }
  // Through the window system, as a real mouse: the widget under the point gets it.
  void MoveMouse(QPoint client) { QTest::mouseMove(window().windowHandle(), client); }

  tavio::test::FakeSleeper sleeper;
  ScriptedDialogs dialogs;
  std::unique_ptr<Session> session;
  ManualRestTimer* timer = nullptr;
};

// The parameter's name a help text starts with, "-Pole count-".
inline QString HelpHeading(const QString& help) { return help.section(u'\n', 0, 0).trimmed(); }

}  // namespace tavio::qt::test
