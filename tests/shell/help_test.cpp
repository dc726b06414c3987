// Which help text the help field shows, when hover help is armed, and which
// labels are drawn grey.

#include <gtest/gtest.h>

#include <vector>

#include "core/shell/control_table.h"
#include "core/shell/help.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

using namespace ctl;

TEST(HelpId, EveryControlUnderEveryFamily) {
  // Labels give ID + 100, parameter controls ID - 1700, all else none; then the exceptions.
  for (uint16_t family : {kFamilyNone, kFamilyAlder, kFamilyBrenta, kFamilyCorvan, kFamilyDelmarZ}) {
    for (const ControlDef& def : ControlTable()) {
      StringId want = IsLabelId(def.id) ? def.id + 100 : IsParameterId(def.id) ? def.id - 1700 : 0;
      if (def.id == kFixTimingAngle) want = 305;
      if (def.id == kLabelMaxStartCurrent && (family == kFamilyAlder || family == kFamilyDelmarZ)) want = 401;
      if (def.id == kLabelRiComp && family == kFamilyAlder) want = 400;
      EXPECT_EQ(HoverHelpId(def.id, family), want) << def.id << " under " << family;
      if (IsParameterId(def.id)) { EXPECT_EQ(FocusHelpId(def.id), want) << def.id; }
    }
  }
}

TEST(HelpField, HoverArmedOnlyWhileReadyFocusHelpForParameterControlsOnly) {
  AppHarness h;
  h.app.hover_ready = true;
  EXPECT_TRUE(ArmHover(h.app, kLabelBecVoltage));
  EXPECT_TRUE(ArmHover(h.app, kFixTimingAngle));
  // Neither controls without help nor any control while an edit field has the focus replace the armed one.
  for (ControlId id : {kGroupComment, kStore, ControlId{0}}) EXPECT_FALSE(ArmHover(h.app, id)) << id;
  h.app.hover_ready = false;
  EXPECT_FALSE(ArmHover(h.app, kLabelBecVoltage));
  ShowHoverHelp(h.app);
  EXPECT_EQ(h.panel.GetText(kHelpField), LookUpString(Language::English, 305));
  h.app.hovered_id = kHelpField;  // 342 has no English text: the field is emptied
  ShowHoverHelp(h.app);
  EXPECT_EQ(h.panel.GetText(kHelpField), u"");
  OnCommand(h.app, kGovernorType, 0x0003);  // a focus change, not a selection
  EXPECT_EQ(h.panel.GetText(kHelpField), LookUpString(Language::English, 309));
  OnCommand(h.app, kSaveFile, 0x0005);
  EXPECT_EQ(h.panel.GetText(kHelpField), LookUpString(Language::English, 309));
}

TEST(TextColour, GreyExactlyWhereTheSettingDoesNotApply) {
  const std::vector<ControlId> offline = {201, 202, 203, 235, 204, 205, 224, 225, 226, 227, 228, 229};
  const struct { uint16_t family; bool governor_on; std::vector<ControlId> grey; } cases[] = {
      {kFamilyNone, false, offline},     {kFamilyNone, true, offline},         {kFamilyAlder, false, {202, 235}},
      {kFamilyAlder, true, {202, 203, 235}}, {kFamilyDelmarZ, false, {203, 235}}, {kFamilyDelmarZ, true, {203, 235}},
      {kFamilyBrenta, false, {235}},     {kFamilyBrenta, true, {203}},
  };
  for (const auto& c : cases) {
    AppHarness h;
    if (c.family != kFamilyNone) h.AddUnit(c.family, 160, c.family == kFamilyBrenta ? kParamVersion92B : kParamVersionAlderDelmar);
    h.Start();
    SetFlags(h.app.image, c.governor_on ? flag::kGovernorOn : 0);
    std::vector<ControlId> grey;  // in creation order
    for (const ControlDef& def : ControlTable()) if (IsTextGrey(h.app, def.id)) grey.push_back(def.id);
    EXPECT_EQ(grey, c.grey) << c.family << " governor " << c.governor_on;
  }
}

}  // namespace
}  // namespace tavio::test
