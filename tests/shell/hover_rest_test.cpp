// Hover help through the window's calls: which mouse movements start the
// rest anew, which cancel it, and what shows when it elapses.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/window_calls.h"
#include "support/app_harness.h"
#include "support/manual_rest_timer.h"

namespace tavio::test {
namespace {

using namespace ctl;
using std::chrono::milliseconds;

inline constexpr ControlId kLeave = 0xFFFF;  // OnMouseLeft instead of a move

struct Hovering {
  Hovering() {
    h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
    h.app.hover_timer = &timer;
    h.Start();
    h.panel.boxes.clear();
  }
  void Do(const std::vector<ControlId>& steps) {
    for (ControlId step : steps) {
      if (step == kLeave) {
        OnMouseLeft(h.app);
      } else {
        OnMouseMoved(h.app, step);
      }
    }
  }
  AppHarness h;
  ManualRestTimer timer;
};

TEST(HoverRest, MovementsRestartOrCancelTheRest) {
  const struct {
    const char* how;
    std::vector<ControlId> steps;
    int restarts;
    bool pending;
    StringId help;  // shown when the rest elapses; 0: the help field keeps its text
  } rows[] = {
      {"label", {kLabelHoldTime}, 1, true, 333},
      {"the same label again", {kLabelHoldTime, kLabelHoldTime}, 2, true, 333},
      {"disabled field", {kPPart}, 1, true, 311},
      {"starting current label, BRENTA", {kLabelMaxStartCurrent}, 1, true, 336},
      {"off the label onto no control", {kLabelHoldTime, 0}, 2, true, 333},
      {"off the label onto a group box", {kLabelHoldTime, kGroupGeneral}, 2, true, 333},
      {"onto another label", {kLabelHoldTime, kLabelBecVoltage}, 2, true, 300},
      {"no control, nothing pending", {0}, 0, false, 0},
      {"group box, nothing pending", {kGroupGeneral}, 0, false, 0},
      {"enabled field takes the mouse", {kLabelHoldTime, kBecVoltage}, 1, false, 0},
      {"enabled button takes the mouse", {kLabelHoldTime, kStore}, 1, false, 0},
      {"enabled arrows take the mouse", {kLabelHoldTime, kPoleArrows}, 1, false, 0},
      {"enabled field, nothing pending", {kBecVoltage}, 0, false, 0},
      {"left the window", {kLabelHoldTime, kLeave}, 1, false, 0},
      {"left, then over a group box", {kLabelHoldTime, kLeave, kGroupGeneral}, 1, false, 0},
      {"left, then over a label", {kLabelHoldTime, kLeave, kLabelBecVoltage}, 2, true, 300},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.how);
    Hovering hv;
    AppHarness& h = hv.h;
    ASSERT_FALSE(h.panel.IsEnabled(kPPart));
    ASSERT_TRUE(h.panel.IsEnabled(kPoleArrows));
    ASSERT_TRUE(h.panel.IsEnabled(kBecVoltage));
    ASSERT_TRUE(h.panel.IsEnabled(kStore));
    const Text before = h.panel.GetText(kHelpField);
    hv.Do(row.steps);
    EXPECT_EQ(hv.timer.restarts, row.restarts);
    EXPECT_EQ(hv.timer.pending, row.pending ? std::optional(milliseconds(100)) : std::nullopt);
    EXPECT_EQ(h.panel.GetText(kHelpField), before) << "nothing before the rest";
    hv.timer.Fire();
    EXPECT_EQ(h.panel.GetText(kHelpField), row.help != 0 ? LookUpString(Language::English, row.help) : before);
  }
}

TEST(HoverRest, AFocusedFieldKeepsItsHelpUntilItCommits) {
  Hovering hv;
  AppHarness& h = hv.h;
  h.panel.UserFocuses(kHoldTime);
  const Text field_help = h.panel.GetText(kHelpField);
  ASSERT_EQ(field_help, LookUpString(Language::English, 333));
  hv.Do({kLabelBecVoltage});
  EXPECT_FALSE(hv.timer.Pending());
  h.panel.UserFocuses(kStore);  // the field commits on leaving
  hv.Do({kLabelBecVoltage});
  hv.timer.Fire();
  EXPECT_EQ(h.panel.GetText(kHelpField), LookUpString(Language::English, 300));
}

// Boxes at start-up come before the hover help is ready; stopping drops a
// pending rest with the notices and the link.
TEST(WindowLifecycle, HoverReadyAfterStartUpBoxesRestDroppedOnStop) {
  AppHarness h;  // no unit: start-up explains how to connect one
  ManualRestTimer timer;
  h.app.hover_timer = &timer;
  std::vector<bool> ready_during_box;
  h.panel.on_box = [&](const MessageBoxRequest&) { ready_during_box.push_back(h.app.hover_ready); };
  StartWindow(h.app);
  EXPECT_EQ(ready_during_box, std::vector<bool>{false});
  EXPECT_TRUE(h.app.hover_ready);
  EXPECT_EQ(h.notices.registrations, 1);
  OnMouseMoved(h.app, kLabelHoldTime);
  ASSERT_TRUE(timer.Pending());
  StopWindow(h.app);
  EXPECT_FALSE(timer.Pending());
  EXPECT_EQ(h.notices.unregistrations, 1);
}

}  // namespace
}  // namespace tavio::test
