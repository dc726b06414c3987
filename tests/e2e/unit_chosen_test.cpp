// A unit the user chose in a device chooser: connected as at start, and when
// it cannot be opened, explained as at start rather than passed over as a
// plug-in is.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_harness.h"

namespace tavio::test {
namespace {

std::string U8(const Text& text) { return ToUtf8(text); }
std::string Str(StringId id) { return U8(Text(LookUpString(Language::English, id))); }

// The no-unit box of the start, with the paragraph of a refused unit.
std::string NoUnitBox(const std::string& denied = "") {
  std::string text = Str(sid::kNoUnitFound) + "\r\n\r\n\r\n\r\n" + Str(sid::kConnectInstructions);
  if (!denied.empty()) text += "\r\n\r\n" + denied;
  return text;
}

TEST(UnitChosen, AUnitThatCannotBeOpenedIsExplainedAsAtStart) {
  const struct {
    const char* name;
    bool present;
    HidOpenStatus open;
    DeniedAccessRemedy remedy;
    std::string box;
  } cases[] = {
      {"refused on Linux", true, HidOpenStatus::AccessDenied, DeniedAccessRemedy::UdevRule,
       NoUnitBox("A programming unit (LINKBOX or LINKPUCK) was found at /dev/hidraw3, but access to it was denied. "
                 "To grant access, install the udev rule \"70-tavio.rules\" to /etc/udev/rules.d/ (the package "
                 "installs it to /usr/lib/udev/rules.d/), then unplug the programming unit and plug it in again.")},
      {"refused on Windows", true, HidOpenStatus::AccessDenied, DeniedAccessRemedy::CloseOtherProgram,
       NoUnitBox("A programming unit (LINKBOX or LINKPUCK) was found at /dev/hidraw3, but Windows denied access to "
                 "it: another program may be using it. Close that program, then unplug the programming unit and "
                 "plug it in again.")},
      {"refused by the browser", true, HidOpenStatus::AccessDenied, DeniedAccessRemedy::BrowserOpen,
       NoUnitBox("A programming unit (LINKBOX or LINKPUCK) was found, but the browser could not open it. Close any "
                 "other program or browser tab that uses it, then unplug the programming unit and plug it in again. "
                 "On Linux the browser opens it with your own rights: install the udev rule \"70-tavio.rules\" to "
                 "/etc/udev/rules.d/ first.")},
      {"failed", true, HidOpenStatus::Failed, DeniedAccessRemedy::BrowserOpen, NoUnitBox()},
      {"none chosen", false, HidOpenStatus::Ok, DeniedAccessRemedy::BrowserOpen, NoUnitBox()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppHarness h;
    sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B, c.present);
    unit.faults().open_status = c.open;
    h.port.SetAccessRemedy(c.remedy);
    h.Start();
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    EXPECT_EQ(U8(h.panel.boxes[0].text), c.box);
    h.panel.boxes.clear();

    OnUnitChosen(h.app);
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    EXPECT_EQ(U8(h.panel.boxes[0].text), c.box);
    EXPECT_EQ(U8(h.panel.boxes[0].caption), "");
    EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Information);
    EXPECT_FALSE(IsConnected(h.app.link));
    EXPECT_EQ(h.port.OpenHandleCount(), 0u);
    EXPECT_EQ(U8(h.panel.title), "TAVIO (Version 01.02.00): Not connected");
  }
}

TEST(UnitChosen, ConnectsWhileNotConnectedAndLeavesAConnectedUnitAlone) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  unit.faults().open_status = HidOpenStatus::AccessDenied;
  h.Start();
  // A plug-in of the refused unit is passed over without a word.
  h.port.Unplug(kHarnessUnitPath);
  h.port.Plug(kHarnessUnitPath);
  ASSERT_EQ(h.panel.boxes.size(), 1u);

  unit.faults().open_status = HidOpenStatus::Ok;
  OnUnitChosen(h.app);
  EXPECT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_TRUE(IsConnected(h.app.link));
  EXPECT_EQ(U8(h.panel.title), "TAVIO (Version 01.02.00): Connected with BRENTA 160");

  h.port.ClearCallLog();
  OnUnitChosen(h.app);
  EXPECT_EQ(h.port.CallLog(), std::vector<std::string>{});
  EXPECT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_TRUE(IsConnected(h.app.link));
}

}  // namespace
}  // namespace tavio::test
