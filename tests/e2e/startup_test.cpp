// Start-up and connection paths of the whole program over the simulated unit.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/link/protocol.h"
#include "core/shell/control_table.h"
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

std::string U8(const Text& text) { return ToUtf8(text); }

const std::string kInstructions = U8(Text(LoadString(Language::English, sid::kConnectInstructions)));

struct WindowExpectation {
  std::string title;
  std::map<ControlId, std::string> texts;
  std::map<ControlId, bool> checks;
  std::map<ControlId, int> selections;
  std::set<ControlId> enabled;  // of kEnabledByRefresh; all others disabled
};

void ExpectWindow(const MemoryPanel& panel, const WindowExpectation& want) {
  EXPECT_EQ(U8(panel.title), want.title);
  for (const auto& [id, text] : want.texts) EXPECT_EQ(U8(panel.GetText(id)), text) << "text of " << id;
  for (const auto& [id, checked] : want.checks) EXPECT_EQ(panel.GetCheck(id), checked) << "check of " << id;
  for (const auto& [id, index] : want.selections) EXPECT_EQ(panel.GetSelection(id), index) << "list " << id;
  for (ControlId id : kEnabledByRefresh) {
    EXPECT_EQ(panel.IsEnabled(id), want.enabled.count(id) == 1) << "enabled state of " << id;
  }
}

// The texts every control of the window is created with.
std::map<ControlId, std::string> InitialTexts() {
  std::map<ControlId, std::string> texts;
  for (const ControlDef& def : ControlTable()) {
    if (def.kind == ControlKind::Field || def.kind == ControlKind::DigitsField) {
      texts[def.id] = U8(ControlText(def, Language::English));
    }
  }
  return texts;
}

TEST(Startup, WithoutUnitShowsOneInstructionBoxAndTheNotConnectedWindow) {
  AppHarness h;
  h.Start();

  ASSERT_EQ(h.panel.boxes.size(), 1u);
  const MessageBoxRequest& box = h.panel.boxes[0];
  EXPECT_EQ(U8(box.text), "No programming unit was found on the USB Port. To program the ESC do the following:"
                          "\r\n\r\n\r\n\r\n" + kInstructions);
  EXPECT_EQ(box.caption, u"");
  EXPECT_EQ(box.icon, BoxIcon::Information);
  EXPECT_EQ(box.buttons, BoxButtons::Ok);
  EXPECT_EQ(h.notices.registrations, 1);

  WindowExpectation want;
  want.title = "TAVIO (Version 01.02.00): Not connected";
  want.texts = InitialTexts();
  want.texts[kUnitVersion] = "0.0.0";
  want.texts[kEscBootloaderVersion] = "0.0.0";
  want.texts[kEscFirmwareVersion] = "0.0.0";
  want.texts[kLabelUnitName] = "LINKPUCK";
  want.texts[kLabelRiComp] = "Ri.-Comp.";
  ExpectWindow(h.panel, want);
  EXPECT_FALSE(IsConnected(h.app.link));
}

TEST(Startup, GermanWindowWithoutUnit) {
  AppHarness h(Language::German);
  h.Start();
  EXPECT_EQ(U8(h.panel.title), "TAVIO (Version 01.02.00): Nicht verbunden");
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(h.panel.boxes[0].text.rfind(LoadString(Language::German, sid::kNoUnitFound), 0), 0u);
}

TEST(Startup, RefusedRegistrationEndsTheProgram) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.notices.succeed = false;
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(U8(h.panel.boxes[0].caption), "Application error");
  EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Error);
  EXPECT_TRUE(h.panel.quit_requested);
  EXPECT_FALSE(IsConnected(h.app.link));
  EXPECT_TRUE(h.port.FindUnit(kHarnessUnitPath)->Transcript().empty());
}

TEST(Startup, UnitWithoutAccessAddsThePermissionParagraph) {
  AppHarness h;
  h.port.AddUnopenable("/dev/hidraw5", kUnitVendorId, kProductLinkbox, HidOpenStatus::AccessDenied);
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  const std::string text = U8(h.panel.boxes[0].text);
  const std::string paragraph = U8(FormatPattern(LoadString(Language::English, sid::kUnitAccessDenied), "/dev/hidraw5"));
  EXPECT_EQ(text, U8(Text(LoadString(Language::English, sid::kNoUnitFound))) + "\r\n\r\n\r\n\r\n" + kInstructions +
                      "\r\n\r\n" + paragraph);
  EXPECT_NE(paragraph.find("/dev/hidraw5"), std::string::npos);
}

WindowExpectation Brenta160Expectation() {
  WindowExpectation want;
  want.title = "TAVIO (Version 01.02.00): Connected with BRENTA 160";
  want.texts = {{kLabelUnitName, "LINKBOX"}, {kUnitVersion, "1.3"}, {kEscBootloaderVersion, "1.2"},
                {kEscFirmwareVersion, "1.5"}, {kLabelRiComp, "Ri.-Comp."},
                {kBecVoltage, "5.6V"}, {kCutoffVoltage, "3000mV"}, {kCapacityLimit, "0.0Ah = Aus"},
                {kSpoolupTime, "12s"}, {kPPart, "4"}, {kRiComp, "4mOhm"}, {kPoleCount, "2"},
                {kGearRatio, "1.00:1"}, {kFixTimingAngle, "5\u00B0"}, {kSlewPos, "1000ms"},
                {kSlewNeg, "200ms"}, {kMinPwm, "2%"}, {kMaxStartCurrent, "100A"}, {kBrakeSlewPos, "1000ms"},
                {kBrakeSlewNeg, "100ms"}, {kBrakeMinPwm, "0%"}, {kBrakeMaxPwm, "100%"},
                {kHoldTime, "2000ms"}, {kWarnCutoff, "3500mV"}, {kWarnMotorCurrent, "200A"},
                {kWarnFetTemp, "90\u00B0C"}, {kWarnBecTemp, "90\u00B0C"}, {kWarnBecCurrent, "8750mA"},
                {kWarnCapacity, "0.0Ah = Aus"}};
  want.checks = {{kReverseRotation, false}, {kForwardBackward, false}, {kShutdown, true},
                 {kAutoTiming, true}, {kFixTiming, false}, {kSoftStart, false}};
  want.selections = {{kBatteryType, 1}, {kGovernorType, 0}, {kBrakeType, 1}};
  want.enabled = {kStore, kLoadFile, kSaveFile, kLoadDefaults, kBecVoltage, kReverseRotation,
                  kForwardBackward, kBatteryType, kCutoffVoltage, kShutdown, kCapacityLimit, kHoldTime,
                  kGovernorType, kBrakeType, kPoleCount, kPoleArrows, kGearRatio, kSlewPos, kSlewNeg,
                  kAutoTiming, kFixTiming, kMinPwm, kMaxStartCurrent, kBrakeSlewPos, kBrakeSlewNeg,
                  kBrakeMaxPwm, kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnFetTemp,
                  kWarnBecCurrent, kWarnBecTemp};
  return want;
}

TEST(Startup, Brenta160At0401ShowsEveryValue) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  EXPECT_TRUE(h.panel.boxes.empty());
  ExpectWindow(h.panel, Brenta160Expectation());
  // Setting the field texts reports text changes, so the last field set leaves its help.
  EXPECT_EQ(h.panel.GetText(kHelpField), LoadString(Language::English, 319));
  // Readout of 92 bytes: 4 + 48 + 40, a pause after each piece.
  EXPECT_EQ(h.sleeper.pauses, (std::vector<uint32_t>{20, 20, 20}));
}

TEST(Startup, Brenta160At0400LeavesTheWarningsAlone) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion80B);
  h.Start();
  WindowExpectation want = Brenta160Expectation();
  for (ControlId id : {kWarnCutoff, kWarnMotorCurrent, kWarnFetTemp, kWarnBecTemp, kWarnBecCurrent, kWarnCapacity}) {
    want.texts[id] = U8(ControlText(*FindControl(id), Language::English));
    want.enabled.erase(id);
  }
  ExpectWindow(h.panel, want);
}

TEST(Startup, AlderShowsItsOwnFieldsAndLeavesTheOthers) {
  AppHarness h;
  h.AddUnit(kFamilyAlder, 120, kParamVersionAlderDelmar);
  h.Start();
  WindowExpectation want;
  want.title = "TAVIO (Version 01.02.00): Connected with ALDER 120";
  want.texts = InitialTexts();
  want.texts.insert_or_assign(kLabelRiComp, "I-Anteil");
  for (const auto& [id, text] : std::map<ControlId, std::string>{
           {kBecVoltage, "5.6V"}, {kCutoffVoltage, "3000mV"}, {kSpoolupTime, "12s"}, {kPPart, "4"},
           {kRiComp, "4"}, {kFixTimingAngle, "5\u00B0"}, {kSlewPos, "500ms"}, {kSlewNeg, "200ms"},
           {kMinPwm, "5%"}, {kMaxStartCurrent, "100%"}, {kHoldTime, "2000ms"}}) {
    want.texts[id] = text;
  }
  want.checks = {{kReverseRotation, false}, {kShutdown, true}, {kAutoTiming, true}, {kFixTiming, false}};
  want.selections = {{kBatteryType, 1}, {kGovernorType, 0}, {kBrakeType, 1}};
  want.enabled = {kStore, kLoadFile, kSaveFile, kLoadDefaults, kBecVoltage, kReverseRotation, kBatteryType,
                  kCutoffVoltage, kShutdown, kHoldTime, kGovernorType, kBrakeType, kSlewPos, kSlewNeg,
                  kAutoTiming, kFixTiming, kMinPwm, kMaxStartCurrent};
  ExpectWindow(h.panel, want);
}

TEST(Startup, DelmarZShowsItsFieldsButNeverTheBecVoltage) {
  AppHarness h;
  h.AddUnit(kFamilyDelmarZ, 68, kParamVersionAlderDelmar);
  h.Start();
  WindowExpectation want;
  want.title = "TAVIO (Version 01.02.00): Connected with DELMAR-Z 68";
  want.texts = InitialTexts();
  for (const auto& [id, text] : std::map<ControlId, std::string>{
           {kCutoffVoltage, "3000mV"}, {kCapacityLimit, "0.0Ah = Aus"}, {kSpoolupTime, "12s"},
           {kPPart, "4"}, {kRiComp, "4"}, {kPoleCount, "14"}, {kFixTimingAngle, "5\u00B0"},
           {kSlewPos, "100ms"}, {kSlewNeg, "100ms"}, {kMinPwm, "5%"}, {kMaxStartCurrent, "100%"},
           {kHoldTime, "2000ms"}, {kWarnCutoff, "3500mV"}, {kWarnMotorCurrent, "68A"},
           {kWarnFetTemp, "90\u00B0C"}, {kWarnCapacity, "0.0Ah = Aus"}}) {
    want.texts[id] = text;
  }
  want.texts.insert_or_assign(kLabelRiComp, "Ri.-Comp.");
  want.checks = {{kReverseRotation, false}, {kForwardBackward, false}, {kShutdown, false},
                 {kAutoTiming, true}, {kFixTiming, false}, {kSoftStart, false}};
  want.selections = {{kBatteryType, 1}, {kGovernorType, 0}, {kBrakeType, 0}};
  want.enabled = {kStore, kLoadFile, kSaveFile, kLoadDefaults, kReverseRotation, kForwardBackward,
                  kHoldTime, kPoleCount, kPoleArrows, kAutoTiming, kFixTiming, kMaxStartCurrent,
                  kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnFetTemp};
  ExpectWindow(h.panel, want);
}

TEST(Startup, UnknownFamilyShowsNoValuesAndEnablesAlmostEverything) {
  AppHarness h;
  h.AddUnit(500, 7, kParamVersionAlderDelmar);
  h.Start();
  WindowExpectation want;
  want.title = "TAVIO (Version 01.02.00): Connected with  7";
  want.texts = InitialTexts();
  want.texts.insert_or_assign(kLabelRiComp, "Ri.-Comp.");
  want.enabled = {kEnabledByRefresh.begin(), kEnabledByRefresh.end()};
  for (ControlId id : {kFixTimingAngle, kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnFetTemp,
                       kWarnBecCurrent, kWarnBecTemp, kBrakeMinPwm}) {
    want.enabled.erase(id);  // auto-timing, no warnings, and the switching brake of the set it got
  }
  ExpectWindow(h.panel, want);
  EXPECT_TRUE(h.panel.boxes.empty());
}

TEST(Connection, PlugInAfterStartUpConnectsWithoutAMessage) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B, /*present=*/false);
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  h.port.Plug(kHarnessUnitPath);
  EXPECT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_TRUE(IsConnected(h.app.link));
  ExpectWindow(h.panel, Brenta160Expectation());
}

TEST(Connection, PlugInWhileTheStartUpBoxIsOpenConnectsBeforeItCloses) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B, /*present=*/false);
  h.panel.on_box = [&h](const MessageBoxRequest&) {
    h.panel.on_box = nullptr;
    h.port.Plug(kHarnessUnitPath);
  };
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  // The interrupted path refreshes once more; the window stays connected.
  EXPECT_TRUE(IsConnected(h.app.link));
  ExpectWindow(h.panel, Brenta160Expectation());
}

TEST(Connection, ASecondUnitComingAndGoingChangesNothing) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  sim::SimUnit& second = h.AddUnit(kFamilyCorvan, 120, kParamVersion92B, false, "/dev/hidraw9");
  h.Start();
  h.panel.ClearLog();
  h.port.Plug("/dev/hidraw9");
  h.port.Unplug("/dev/hidraw9");
  EXPECT_TRUE(h.panel.calls.empty());
  EXPECT_TRUE(second.Transcript().empty());
  EXPECT_EQ(*h.app.link.device_path, kHarnessUnitPath);
}

TEST(Connection, UnplugRefreshesFirstThenExplains) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  h.panel.ClearLog();
  h.port.Unplug(kHarnessUnitPath);
  const int title = h.panel.FindCall("SetTitle TAVIO (Version 01.02.00): Not connected");
  const int box = h.panel.FindCall("Box information [] The USB Connection between programming unit and PC was lost.");
  ASSERT_GE(title, 0);
  ASSERT_GE(box, 0);
  EXPECT_LT(title, box);
  EXPECT_EQ(U8(h.panel.boxes.back().text),
            U8(Text(LoadString(Language::English, sid::kConnectionLost))) + "\r\n\r\n" + kInstructions);
  EXPECT_FALSE(IsConnected(h.app.link));
  // The image and the values in the window stay; only the enabling changes.
  EXPECT_EQ(U8(h.panel.GetText(kBecVoltage)), "5.6V");
  EXPECT_FALSE(h.panel.IsEnabled(kBecVoltage));
  EXPECT_EQ(U8(h.panel.GetText(kLabelUnitName)), "LINKBOX");
}

TEST(Connection, RemovalNameIsComparedIgnoringCase) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  EXPECT_TRUE(OnDeviceChange(h.app, DeviceNotice{kDeviceRemoveComplete, kDeviceTypeInterface, "/DEV/HIDRAW3"}));
  EXPECT_FALSE(IsConnected(h.app.link));
}

TEST(Connection, OtherEventsAreNotClaimed) {
  AppHarness h;
  h.Start();
  EXPECT_FALSE(OnDeviceChange(h.app, DeviceNotice{0x0007, kDeviceTypeInterface, "/dev/hidraw3"}));
  EXPECT_TRUE(OnDeviceChange(h.app, DeviceNotice{kDeviceRemoveComplete, 2, "/dev/hidraw3"}));
}

struct RefusedUnitCase {
  const char* name;
  uint8_t unit_mode;
  uint16_t esc_state;
  StringId message;
};

class RefusedUnit : public ::testing::TestWithParam<RefusedUnitCase> {};

TEST_P(RefusedUnit, IsClosedAndExplained) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  unit.config().unit_mode = GetParam().unit_mode;
  unit.config().esc_state = GetParam().esc_state;
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(U8(h.panel.boxes[0].text),
            U8(Text(LoadString(Language::English, GetParam().message))) + "\r\n\r\n" + kInstructions);
  EXPECT_FALSE(IsConnected(h.app.link));
  EXPECT_EQ(h.port.OpenHandleCount(), 0u);
  EXPECT_EQ(U8(h.panel.title), "TAVIO (Version 01.02.00): Not connected");
  for (const sim::TranscriptEntry& e : unit.Transcript()) EXPECT_NE(e.command, cmd::kReadMemory);
}

INSTANTIATE_TEST_SUITE_P(Paths, RefusedUnit,
                         ::testing::Values(RefusedUnitCase{"WrongMode", 1, 3, sid::kUnitWrongMode},
                                           RefusedUnitCase{"NoUpdatableEsc", 0, 2, sid::kNoUpdatableEsc}),
                         [](const auto& info) { return std::string(info.param.name); });

// Readout exchanges after identification: 4 bytes, then 48 and 40.
class FailingReadout : public ::testing::TestWithParam<int> {};

TEST_P(FailingReadout, ReportsWithTheCodeLineAndCloses) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  // Identification takes UnitStatus, ReadMemory (info block) and EscIdentity:
  // exchanges 0..2; the readout pieces are exchanges 3, 4 and 5.
  unit.faults().errors.push_back({sim::Trigger::AtExchange(3 + GetParam()), 0x4321});
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 2u);
  EXPECT_EQ(U8(h.panel.boxes[0].text), "Error when reading ESC EEPROMs\r\nSystem has error code 0x00004321-0x00000000");
  EXPECT_EQ(U8(h.panel.boxes[0].caption), "Communication error");
  EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Error);
  EXPECT_EQ(U8(h.panel.boxes[1].text), U8(Text(LoadString(Language::English, sid::kCommErrorRetry))));
  EXPECT_EQ(U8(h.panel.boxes[1].caption), "Communication error");
  EXPECT_FALSE(IsConnected(h.app.link));
  EXPECT_EQ(U8(h.panel.title), "TAVIO (Version 01.02.00): Not connected");
  // Nothing is sent after the failed piece.
  EXPECT_EQ(unit.ExchangeCount(), static_cast<uint32_t>(4 + GetParam()));
  // The controls keep their creation texts: the half-read image is not shown.
  EXPECT_EQ(U8(h.panel.GetText(kBecVoltage)), "0.0V");
}

INSTANTIATE_TEST_SUITE_P(EachPiece, FailingReadout, ::testing::Values(0, 1, 2));

}  // namespace
}  // namespace tavio::test
