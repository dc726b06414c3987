// Which help text the help field shows, and which labels are drawn grey.

#include <gtest/gtest.h>

#include <string>

#include "core/shell/control_table.h"
#include "core/shell/help.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

using namespace ctl;

TEST(FocusHelp, EveryParameterControlGivesItsTextAndFixTimingGives305) {
  for (const ControlDef& def : ControlTable()) {
    if (!IsParameterId(def.id)) continue;
    const StringId want = def.id == kFixTimingAngle ? 305 : static_cast<StringId>(def.id - 1700);
    EXPECT_EQ(FocusHelpId(def.id), want) << def.id;
  }
}

struct HoverCase {
  ControlId id;
  uint16_t family;
  StringId help;
};

TEST(HoverHelp, LabelsFieldsAndTheFamilyExceptions) {
  const HoverCase cases[] = {
      {kLabelBecVoltage, kFamilyBrenta, 300},        {kLabelBatteryType, kFamilyBrenta, 306},
      {kLabelWarnBecTemp, kFamilyCorvan, 323},       {kLabelHoldTime, kFamilyAlder, 333},
      {kLabelBrakeMaxPwm, kFamilyBrenta, 340},       {kLabelMaxStartCurrent, kFamilyAlder, 401},
      {kLabelMaxStartCurrent, kFamilyDelmarZ, 401},  {kLabelMaxStartCurrent, kFamilyBrenta, 336},
      {kLabelMaxStartCurrent, kFamilyCorvan, 336},   {kLabelMaxStartCurrent, 0, 336},
      {kMaxStartCurrent, kFamilyAlder, 336},         {kLabelRiComp, kFamilyAlder, 400},
      {kLabelRiComp, kFamilyDelmarZ, 312},           {kLabelRiComp, kFamilyBrenta, 312},
      {kFixTimingAngle, kFamilyBrenta, 305},         {kBecVoltage, kFamilyBrenta, 300},
      {kHelpField, kFamilyBrenta, 342},              {kLabelUnitName, kFamilyBrenta, 324},
      {kGroupComment, kFamilyBrenta, 0},             {kGroupFirmware, kFamilyBrenta, 0},
      {kStore, kFamilyBrenta, 0},                    {0, kFamilyBrenta, 0},
  };
  for (const HoverCase& c : cases) EXPECT_EQ(HoverHelpId(c.id, c.family), c.help) << c.id << " " << c.family;
}

TEST(HoverHelp, ArmsOnlyOverHelpBearingControlsWhileReady) {
  AppHarness h;
  h.app.hover_ready = false;
  EXPECT_FALSE(ArmHover(h.app, kLabelBecVoltage));
  EXPECT_EQ(h.app.hovered_id, 0);
  h.app.hover_ready = true;
  EXPECT_TRUE(ArmHover(h.app, kLabelBecVoltage));
  EXPECT_EQ(h.app.hovered_id, kLabelBecVoltage);
  // Group boxes and buttons change nothing: the armed label stays.
  EXPECT_FALSE(ArmHover(h.app, kGroupComment));
  EXPECT_FALSE(ArmHover(h.app, kStore));
  EXPECT_FALSE(ArmHover(h.app, 0));
  EXPECT_EQ(h.app.hovered_id, kLabelBecVoltage);
  EXPECT_TRUE(ArmHover(h.app, kFixTimingAngle));
  ShowHoverHelp(h.app);
  EXPECT_EQ(h.panel.GetText(kHelpField), LoadString(Language::English, 305));
}

TEST(HoverHelp, AnIdWithoutTextInTheLanguageEmptiesTheField) {
  AppHarness english;
  english.panel.SetText(kHelpField, u"old");
  english.app.hovered_id = kHelpField;
  ShowHoverHelp(english.app);
  EXPECT_EQ(english.panel.GetText(kHelpField), u"");

  AppHarness german(Language::German);
  german.app.hovered_id = kHelpField;
  ShowHoverHelp(german.app);
  EXPECT_EQ(ToUtf8(german.panel.GetText(kHelpField)),
            "Um einen Kommentar f\u00FCr einen Parameter zu erhalten, die Maus \u00FCber den jeweiligen "
            "Parameter bewegen.");
}

TEST(FocusHelp, AnyCommandOfAParameterControlShowsItsHelpBeforeItsEditor) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  // A list's focus change is not a completed selection, but it shows the help.
  OnCommand(h.app, kGovernorType, 0x0003);
  EXPECT_EQ(h.panel.GetText(kHelpField), LoadString(Language::English, 309));
  OnCommand(h.app, kFixTimingAngle, kEnChange);
  EXPECT_EQ(h.panel.GetText(kHelpField), LoadString(Language::English, 305));
  // Command buttons carry no help.
  OnCommand(h.app, kSaveFile, 0x0005);
  EXPECT_EQ(h.panel.GetText(kHelpField), LoadString(Language::English, 305));
}

struct GreyCase {
  const char* name;
  uint16_t family;   // 0: no unit
  bool governor_on;
  std::vector<ControlId> grey;
};

TEST(TextColour, GreyExactlyWhereTheSettingDoesNotApply) {
  const std::vector<GreyCase> cases = {
      {"not connected, governor off", 0, false,
       {kLabelReverseRotation, kLabelForwardBackward, kLabelShutdown, kLabelAutoTiming, kLabelFixTiming,
        kLabelUnitName, kUnitVersion, kLabelEscBootloader, kEscBootloaderVersion, kLabelEscFirmware,
        kEscFirmwareVersion, kLabelSoftStart}},
      {"not connected, governor on", 0, true,
       {kLabelReverseRotation, kLabelForwardBackward, kLabelShutdown, kLabelAutoTiming, kLabelFixTiming,
        kLabelUnitName, kUnitVersion, kLabelEscBootloader, kEscBootloaderVersion, kLabelEscFirmware,
        kEscFirmwareVersion, kLabelSoftStart}},
      {"ALDER, governor off", kFamilyAlder, false, {kLabelForwardBackward, kLabelSoftStart}},
      {"ALDER, governor on", kFamilyAlder, true, {kLabelForwardBackward, kLabelSoftStart, kLabelShutdown}},
      {"DELMAR-Z, governor off", kFamilyDelmarZ, false, {kLabelShutdown, kLabelSoftStart}},
      {"BRENTA, governor off", kFamilyBrenta, false, {kLabelSoftStart}},
      {"BRENTA, governor on", kFamilyBrenta, true, {kLabelShutdown}},
      {"CORVAN, governor on", kFamilyCorvan, true, {kLabelShutdown}},
  };
  for (const GreyCase& c : cases) {
    AppHarness h;
    if (c.family != 0) {
      h.AddUnit(c.family, 160, c.family == kFamilyBrenta || c.family == kFamilyCorvan ? kParamVersion92B
                                                                                      : kParamVersionAlderDelmar);
    }
    h.Start();
    ASSERT_EQ(IsConnected(h.app.link), c.family != 0) << c.name;
    SetFlags(h.app.image, c.governor_on ? Flags(h.app.image) | flag::kGovernorOn
                                        : Flags(h.app.image) & ~flag::kGovernorOn);
    for (const ControlDef& def : ControlTable()) {
      const bool want = std::find(c.grey.begin(), c.grey.end(), def.id) != c.grey.end();
      EXPECT_EQ(IsTextGrey(h.app, def.id), want) << c.name << ": control " << def.id;
    }
  }
}

}  // namespace
}  // namespace tavio::test
