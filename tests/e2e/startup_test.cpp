// Start-up and connection paths of the whole program over the simulated unit.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/shell/control_table.h"
#include "link/sim_link_fixture.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

using namespace ctl;

// Every control whose enabled state the refresh decides.
const std::vector<ControlId> kEnabledByRefresh = {
    kStore, kLoadFile, kSaveFile, kLoadDefaults, kBecVoltage, kReverseRotation, kForwardBackward,
    kBatteryType, kCutoffVoltage, kShutdown, kCapacityLimit, kHoldTime, kGovernorType, kSpoolupTime,
    kPPart, kRiComp, kSoftStart, kBrakeType, kPoleCount, kPoleArrows, kGearRatio, kSlewPos, kSlewNeg,
    kAutoTiming, kFixTiming, kFixTimingAngle, kMinPwm, kMaxStartCurrent, kBrakeSlewPos, kBrakeSlewNeg,
    kBrakeMaxPwm, kBrakeMinPwm, kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnFetTemp,
    kWarnBecCurrent, kWarnBecTemp};
const ControlId kWarnings[] = {kWarnCutoff, kWarnMotorCurrent, kWarnFetTemp, kWarnBecTemp, kWarnBecCurrent,
                               kWarnCapacity};

std::string U8(const Text& text) { return ToUtf8(text); }
std::string Str(StringId id) { return U8(Text(LookUpString(Language::English, id))); }
const std::string kNotConnected = "TAVIO (Version 01.02.00): Not connected";

struct Window {
  std::string title;
  std::map<ControlId, std::string> texts;
  std::map<ControlId, bool> checks = {};
  std::map<ControlId, int> selections = {};
  std::set<ControlId> enabled = {};  // of kEnabledByRefresh; all others disabled
};

void ExpectWindow(const MemoryPanel& panel, const Window& want) {
  EXPECT_EQ(U8(panel.title), want.title);
  for (const auto& [id, text] : want.texts) EXPECT_EQ(U8(panel.GetText(id)), text) << "text of " << id;
  for (const auto& [id, checked] : want.checks) EXPECT_EQ(panel.GetCheck(id), checked) << "check of " << id;
  for (const auto& [id, index] : want.selections) EXPECT_EQ(panel.GetSelection(id), index) << "list " << id;
  for (ControlId id : kEnabledByRefresh) EXPECT_EQ(panel.IsEnabled(id), want.enabled.contains(id)) << id;
}

// The texts every field of the window is created with, then the given ones.
std::map<ControlId, std::string> Texts(const std::map<ControlId, std::string>& changed) {
  std::map<ControlId, std::string> texts = changed;
  for (const ControlDef& def : ControlTable()) {
    if (def.kind == ControlKind::Field || def.kind == ControlKind::DigitsField) {
      texts.emplace(def.id, U8(ControlText(def, Language::English)));
    }
  }
  return texts;
}

Window Brenta160() {
  return {"TAVIO (Version 01.02.00): Connected with BRENTA 160",
          {{kLabelUnitName, "LINKBOX"}, {kUnitVersion, "1.3"}, {kEscBootloaderVersion, "1.2"},
           {kEscFirmwareVersion, "1.5"}, {kLabelRiComp, "Ri.-Comp."}, {kBecVoltage, "5.6V"},
           {kCutoffVoltage, "3000mV"}, {kCapacityLimit, "0.0Ah = Aus"}, {kSpoolupTime, "12s"}, {kPPart, "4"},
           {kRiComp, "4mOhm"}, {kPoleCount, "2"}, {kGearRatio, "1.00:1"}, {kFixTimingAngle, "5\u00B0"},
           {kSlewPos, "1000ms"}, {kSlewNeg, "200ms"}, {kMinPwm, "2%"}, {kMaxStartCurrent, "100A"},
           {kBrakeSlewPos, "1000ms"}, {kBrakeSlewNeg, "100ms"}, {kBrakeMinPwm, "0%"}, {kBrakeMaxPwm, "100%"},
           {kHoldTime, "2000ms"}, {kWarnCutoff, "3500mV"}, {kWarnMotorCurrent, "200A"},
           {kWarnFetTemp, "90\u00B0C"}, {kWarnBecTemp, "90\u00B0C"}, {kWarnBecCurrent, "8750mA"},
           {kWarnCapacity, "0.0Ah = Aus"}, {kHelpField, Str(319)}},  // the last field set leaves its help
          {{kReverseRotation, false}, {kForwardBackward, false}, {kShutdown, true}, {kAutoTiming, true},
           {kFixTiming, false}, {kSoftStart, false}},
          {{kBatteryType, 1}, {kGovernorType, 0}, {kBrakeType, 1}},
          {kStore, kLoadFile, kSaveFile, kLoadDefaults, kBecVoltage, kReverseRotation, kForwardBackward, kBatteryType,
           kCutoffVoltage, kShutdown, kCapacityLimit, kHoldTime, kGovernorType, kBrakeType, kPoleCount, kPoleArrows,
           kGearRatio, kSlewPos, kSlewNeg, kAutoTiming, kFixTiming, kMinPwm, kMaxStartCurrent, kBrakeSlewPos,
           kBrakeSlewNeg, kBrakeMaxPwm, kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnFetTemp,
           kWarnBecCurrent, kWarnBecTemp}};
}

TEST(Startup, WithoutUnitShowsOneInstructionBoxAndTheNotConnectedWindow) {
  AppHarness h;
  h.Start();
  const Text instructions(LookUpString(Language::English, sid::kConnectInstructions));
  EXPECT_EQ(h.panel.boxes,
            (std::vector<MessageBoxRequest>{
                {u"No programming unit was found on the USB Port. To program the ESC do the following:"
                 u"\r\n\r\n\r\n\r\n" + instructions, u"", BoxIcon::Information, BoxButtons::Ok}}));
  EXPECT_EQ(h.notices.registrations, 1);
  ExpectWindow(h.panel, {kNotConnected,
                         Texts({{kUnitVersion, "0.0.0"}, {kEscBootloaderVersion, "0.0.0"},
                                {kEscFirmwareVersion, "0.0.0"}, {kLabelUnitName, "LINKPUCK"},
                                {kLabelRiComp, "Ri.-Comp."}})});
}

TEST(Startup, EachFamilyShowsItsValuesAndEnablesItsControls) {
  // An unknown family: no values; no warnings, auto-timing and the switching brake of the set it got.
  Window unknown = {"TAVIO (Version 01.02.00): Connected with  7", Texts({{kLabelRiComp, "Ri.-Comp."}}), {}, {},
                    {kEnabledByRefresh.begin(), kEnabledByRefresh.end()}};
  unknown.enabled.erase(kFixTimingAngle);
  unknown.enabled.erase(kBrakeMinPwm);
  Window brenta400 = Brenta160();  // no warnings at 0x0400
  brenta400.texts[kHelpField] = Str(333);
  for (ControlId id : kWarnings) {
    brenta400.texts[id] = U8(ControlText(*FindControl(id), Language::English));
    brenta400.enabled.erase(id);
    unknown.enabled.erase(id);
  }
  const Window alder = {
      "TAVIO (Version 01.02.00): Connected with ALDER 120",
      Texts({{kLabelRiComp, "I-Anteil"}, {kBecVoltage, "5.6V"}, {kCutoffVoltage, "3000mV"}, {kSpoolupTime, "12s"},
             {kPPart, "4"}, {kRiComp, "4"}, {kFixTimingAngle, "5\u00B0"}, {kSlewPos, "500ms"}, {kSlewNeg, "200ms"},
             {kMinPwm, "5%"}, {kMaxStartCurrent, "100%"}, {kHoldTime, "2000ms"}}),
      {{kReverseRotation, false}, {kShutdown, true}, {kAutoTiming, true}, {kFixTiming, false}},
      {{kBatteryType, 1}, {kGovernorType, 0}, {kBrakeType, 1}},
      {kStore, kLoadFile, kSaveFile, kLoadDefaults, kBecVoltage, kReverseRotation, kBatteryType, kCutoffVoltage,
       kShutdown, kHoldTime, kGovernorType, kBrakeType, kSlewPos, kSlewNeg, kAutoTiming, kFixTiming, kMinPwm,
       kMaxStartCurrent}};
  const Window delmar = {  // never the BEC voltage
      "TAVIO (Version 01.02.00): Connected with DELMAR-Z 68",
      Texts({{kLabelRiComp, "Ri.-Comp."}, {kCutoffVoltage, "3000mV"}, {kCapacityLimit, "0.0Ah = Aus"},
             {kSpoolupTime, "12s"}, {kPPart, "4"}, {kRiComp, "4"}, {kPoleCount, "14"}, {kFixTimingAngle, "5\u00B0"},
             {kSlewPos, "100ms"}, {kSlewNeg, "100ms"}, {kMinPwm, "5%"}, {kMaxStartCurrent, "100%"},
             {kHoldTime, "2000ms"}, {kWarnCutoff, "3500mV"}, {kWarnMotorCurrent, "68A"}, {kWarnFetTemp, "90\u00B0C"},
             {kWarnCapacity, "0.0Ah = Aus"}}),
      {{kReverseRotation, false}, {kForwardBackward, false}, {kShutdown, false}, {kAutoTiming, true},
       {kFixTiming, false}, {kSoftStart, false}},
      {{kBatteryType, 1}, {kGovernorType, 0}, {kBrakeType, 0}},
      {kStore, kLoadFile, kSaveFile, kLoadDefaults, kReverseRotation, kForwardBackward, kHoldTime, kPoleCount,
       kPoleArrows, kAutoTiming, kFixTiming, kMaxStartCurrent, kWarnCutoff, kWarnCapacity, kWarnMotorCurrent,
       kWarnFetTemp}};
  const struct {
    uint16_t family, model, version;
    Window want;
  } cases[] = {{kFamilyBrenta, 160, kParamVersion92B, Brenta160()},
               {kFamilyBrenta, 160, kParamVersion80B, brenta400},
               {kFamilyAlder, 120, kParamVersionAlderDelmar, alder},
               {kFamilyDelmarZ, 68, kParamVersionAlderDelmar, delmar},
               {500, 7, kParamVersionAlderDelmar, unknown}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.want.title + " " + std::to_string(c.version));
    AppHarness h;
    h.AddUnit(c.family, c.model, c.version);
    h.Start();
    EXPECT_TRUE(h.panel.boxes.empty());
    ExpectWindow(h.panel, c.want);
  }
}

TEST(Startup, RefusedRegistrationEndsTheProgram) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.notices.succeed = false;
  h.Start();
  const Text failed(LookUpString(Language::English, sid::kRegistrationFailed));
  EXPECT_EQ(h.panel.boxes, (std::vector<MessageBoxRequest>{{failed, u"Application error", BoxIcon::Error}}));
  EXPECT_TRUE(h.panel.quit_requested);
  EXPECT_TRUE(h.port.FindUnit(kHarnessUnitPath)->Transcript().empty());
}

// A unit that cannot be used: the explanation, and the unit closed before any readout.
TEST(Startup, UnusableUnitIsClosedAndExplained) {
  const struct {
    uint8_t unit_mode;
    uint16_t esc_state;
    StringId message;
    std::vector<uint8_t> commands;
    bool access_denied = false;
  } cases[] = {
      {1, 3, sid::kUnitWrongMode, {cmd::kUnitStatus, cmd::kUnitDataQuery}},
      {0, 2, sid::kNoUpdatableEsc, {cmd::kUnitStatus}},
      {0, 3, sid::kNoUnitFound, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    AppHarness h;
    sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
    unit.config().unit_mode = c.unit_mode;
    unit.config().esc_state = c.esc_state;
    unit.faults().open_status = c.access_denied ? HidOpenStatus::AccessDenied : HidOpenStatus::Ok;
    h.Start();
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    const std::string denied = "\r\n\r\n" + U8(FormatPattern(LookUpString(Language::English, sid::kUnitAccessDenied),
                                                                kHarnessUnitPath));
    EXPECT_NE(denied.find("was found at /dev/hidraw3, but access to it was denied."), std::string::npos);
    EXPECT_EQ(U8(h.panel.boxes[0].text), Str(c.message) + (c.access_denied ? "\r\n\r\n\r\n\r\n" : "\r\n\r\n") +
                                             Str(sid::kConnectInstructions) + (c.access_denied ? denied : ""));
    EXPECT_EQ(Commands(unit), c.commands);
    EXPECT_EQ(h.port.OpenHandleCount(), 0u);
    ExpectWindow(h.panel, {kNotConnected, {{kBecVoltage, "0.0V"}}});
  }
}

TEST(Connection, PlugInAfterStartUpOrWhileItsBoxIsOpenConnectsWithoutAMessage) {
  for (const bool while_box_open : {false, true}) {
    SCOPED_TRACE(while_box_open);
    AppHarness h;
    h.AddUnit(kFamilyBrenta, 160, kParamVersion92B, /*present=*/false);
    if (while_box_open) h.panel.on_box = [&h](const MessageBoxRequest&) { h.port.Plug(kHarnessUnitPath); };
    h.Start();
    h.port.Plug(kHarnessUnitPath);
    EXPECT_EQ(h.panel.boxes.size(), 1u);
    ExpectWindow(h.panel, Brenta160());
  }
}

// Only the open unit's removal counts: the window is refreshed first, then
// the loss explained. The removal's name is compared ignoring case.
TEST(Connection, OnlyTheOpenUnitsRemovalDisconnects) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  sim::SimUnit& second = h.AddUnit(kFamilyCorvan, 120, kParamVersion92B, false, "/dev/hidraw9");
  h.Start();
  h.panel.ClearLog();
  h.port.Plug("/dev/hidraw9");
  h.port.Unplug("/dev/hidraw9");
  EXPECT_FALSE(OnDeviceChange(h.app, DeviceNotice{0x0007, kDeviceTypeInterface, kHarnessUnitPath}));
  EXPECT_TRUE(OnDeviceChange(h.app, DeviceNotice{kDeviceRemoveComplete, 2, kHarnessUnitPath}));
  EXPECT_TRUE(h.panel.calls.empty());
  EXPECT_TRUE(second.Transcript().empty());

  h.port.Unplug(kHarnessUnitPath);
  const int title = h.panel.FindCall("SetTitle " + kNotConnected);
  ASSERT_GE(title, 0);
  EXPECT_GT(h.panel.FindCall("Box information [] The USB Connection between programming unit and PC was lost."),
            title);
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(U8(h.panel.boxes[0].text), Str(sid::kConnectionLost) + "\r\n\r\n" + Str(sid::kConnectInstructions));
  EXPECT_FALSE(IsConnected(h.app.link));
  // The image and the values in the window stay; the versions are cleared and nothing is enabled.
  Window want = Brenta160();
  want.title = kNotConnected;
  want.texts[kUnitVersion] = want.texts[kEscBootloaderVersion] = want.texts[kEscFirmwareVersion] = "0.0.0";
  want.enabled.clear();
  ExpectWindow(h.panel, want);

  h.port.Plug(kHarnessUnitPath);
  ASSERT_TRUE(IsConnected(h.app.link));
  EXPECT_TRUE(OnDeviceChange(h.app, DeviceNotice{kDeviceRemoveComplete, kDeviceTypeInterface, "/DEV/HIDRAW3"}));
  EXPECT_FALSE(IsConnected(h.app.link));
}

}  // namespace
}  // namespace tavio::test
