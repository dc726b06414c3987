// Which notification codes reach which editor through the command dispatch.
// Focus codes come from every list and edit field; only the ended selection
// may run a list's editor, only a click a switch or a command button.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/display.h"
#include "core/shell/help.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

using namespace ctl;

// Combo box codes besides the ended selection: selection changed, focus in and
// out, dropped down, closed up, selection cancelled; then the edit and button ones.
constexpr uint16_t kOtherCodes[] = {1, 3, 4, 7, 8, 10, kBnClicked, kEnSetFocus, kEnKillFocus, kEnChange};

// A CORVAN in governor store mode with a learned speed, brake off but bit 1
// left set: running any list's editor again would change the image or ask.
constexpr uint32_t kLearned = 0x1003F6;

struct Connected {
  Connected() {
    h.AddUnit(kFamilyCorvan, 160, 0x0401);
    h.Start();
    SetFlags(h.app.image, kLearned);
    ShowImage(h.app);
    RefreshDisplay(h.app);
    h.panel.boxes.clear();
    h.panel.ClearLog();
  }
  AppHarness h;
};

TEST(Dispatch, ListEditorsRunOnTheEndedSelectionOnly) {
  for (const ControlId list : {kBatteryType, kGovernorType, kBrakeType}) {
    for (const uint16_t code : kOtherCodes) {
      SCOPED_TRACE(testing::Message() << "list " << list << " code " << code);
      Connected c;
      const ConfigImage before = c.h.app.image;
      c.h.panel.notify(list, code);
      EXPECT_EQ(c.h.app.image, before);
      EXPECT_TRUE(c.h.panel.boxes.empty());
      // The list's help text and nothing else.
      const std::string help = "SetText 242 " + ToUtf8(Text(LookUpString(Language::English, FocusHelpId(list))));
      EXPECT_EQ(c.h.panel.calls, std::vector<std::string>{help});
    }
  }
  // The ended selection does run them: the governor asks about the learned speed, the brake clears bit 1.
  Connected governor;
  governor.h.panel.notify(kGovernorType, kCbnSelEndOk);
  EXPECT_EQ(governor.h.panel.boxes.size(), 1u);
  Connected brake;
  brake.h.panel.notify(kBrakeType, kCbnSelEndOk);
  EXPECT_EQ(Flags(brake.h.app.image), kLearned & ~0x2u);
  Connected battery;
  battery.h.panel.notify(kBatteryType, kCbnSelEndOk);
  EXPECT_GE(battery.h.panel.FindCall("SetText 2007 "), 0);
}

TEST(Dispatch, SwitchesAndCommandButtonsActOnAClickOnly) {
  for (const ControlId id : {kShutdown, kReverseRotation, kFixTiming, kSoftStart, kStore, kSaveFile, kLoadFile,
                             kLoadDefaults}) {
    for (const uint16_t code : {uint16_t{1}, uint16_t{3}, uint16_t{4}, kCbnSelEndOk, kEnSetFocus, kEnKillFocus}) {
      SCOPED_TRACE(testing::Message() << "control " << id << " code " << code);
      Connected c;
      c.h.panel.State(kShutdown).checked = true;
      c.h.panel.State(kReverseRotation).checked = true;
      c.h.panel.State(kSoftStart).checked = true;
      const ConfigImage before = c.h.app.image;
      c.h.port.ClearCallLog();
      c.h.panel.notify(id, code);
      EXPECT_EQ(c.h.app.image, before);
      EXPECT_TRUE(c.h.panel.boxes.empty());
      EXPECT_TRUE(c.h.port.CallLog().empty());
      EXPECT_EQ(c.h.panel.open_dialogs, 0);
      EXPECT_EQ(c.h.panel.save_dialogs, 0);
      EXPECT_TRUE(c.h.panel.defaults_dialogs.empty());
    }
  }
}

}  // namespace
}  // namespace tavio::test
