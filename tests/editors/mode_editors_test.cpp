// The three lists: battery type, governor type and brake type.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/editors/editors.h"
#include "core/shell/display.h"
#include "field_cases.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

using namespace ctl;

// Bits no list may touch: LiPo, bit 4, auto-timing, bit 20.
constexpr uint32_t kOff = 0x100314;  // those, with shutdown (bit 8)
constexpr uint32_t kSwitching = 0x100315;
constexpr uint32_t kProportional = 0x100317;
constexpr uint32_t kGovernor = 0x100334;
constexpr uint32_t kGovernorStore = 0x100374;
constexpr uint32_t kLeftover = 0x100316;  // brake off, proportional bit left set
constexpr uint32_t kStoreLearned = 0x1003F4;  // governor store with a learned speed

struct Window {
  explicit Window(const EscSetup& setup, uint32_t flags) {
    h.AddUnit(setup.family, setup.model, setup.version);
    h.Start();
    SetFlags(h.app.image, flags);
    ShowImage(h.app);
    RefreshDisplay(h.app);
    h.panel.boxes.clear();
    h.panel.ClearLog();
  }
  AppHarness h;
};

std::string Hex32(uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%06X", v);
  return buffer;
}

TEST(ModeLists, EveryTransitionBetweenTheModes) {
  struct Row {
    uint32_t start;
    ControlId list;
    int index;
    uint32_t after;
    int governor_list;
    int brake_list;
    bool min_brake_pwm_enabled;
    bool spoolup_enabled;
  };
  const Row rows[] = {
      {kOff, kGovernorType, 0, 0x100314, 0, 0, false, false},
      {kOff, kGovernorType, 1, 0x100234, 1, 0, false, true},
      {kOff, kGovernorType, 2, 0x100274, 2, 0, false, true},
      {kOff, kBrakeType, 0, 0x100314, 0, 0, false, false},
      {kOff, kBrakeType, 1, 0x100315, 0, 1, false, false},
      {kOff, kBrakeType, 2, 0x100317, 0, 2, true, false},
      {kSwitching, kGovernorType, 0, 0x100315, 0, 1, false, false},
      {kSwitching, kGovernorType, 1, 0x100234, 1, 0, false, true},
      {kSwitching, kGovernorType, 2, 0x100274, 2, 0, false, true},
      {kSwitching, kBrakeType, 0, 0x100314, 0, 0, false, false},
      {kSwitching, kBrakeType, 1, 0x100315, 0, 1, false, false},
      {kSwitching, kBrakeType, 2, 0x100317, 0, 2, true, false},
      {kProportional, kGovernorType, 0, 0x100317, 0, 2, true, false},
      {kProportional, kGovernorType, 1, 0x100236, 1, 0, false, true},
      {kProportional, kGovernorType, 2, 0x100276, 2, 0, false, true},
      {kProportional, kBrakeType, 0, 0x100314, 0, 0, false, false},
      {kProportional, kBrakeType, 1, 0x100315, 0, 1, false, false},
      {kProportional, kBrakeType, 2, 0x100317, 0, 2, true, false},
      {kGovernor, kGovernorType, 0, 0x100314, 0, 0, false, false},
      {kGovernor, kGovernorType, 1, 0x100234, 1, 0, false, true},
      {kGovernor, kGovernorType, 2, 0x100274, 2, 0, false, true},
      {kGovernor, kBrakeType, 0, 0x100334, 1, 0, false, true},
      {kGovernor, kBrakeType, 1, 0x100315, 0, 1, false, false},
      {kGovernor, kBrakeType, 2, 0x100317, 0, 2, true, false},
      {kGovernorStore, kGovernorType, 0, 0x100314, 0, 0, false, false},
      {kGovernorStore, kGovernorType, 1, 0x100234, 1, 0, false, true},
      {kGovernorStore, kGovernorType, 2, 0x100274, 2, 0, false, true},
      {kGovernorStore, kBrakeType, 0, 0x100374, 2, 0, false, true},
      {kGovernorStore, kBrakeType, 1, 0x100315, 0, 1, false, false},
      {kGovernorStore, kBrakeType, 2, 0x100317, 0, 2, true, false},
      {kLeftover, kGovernorType, 0, 0x100316, 0, 0, false, false},
      {kLeftover, kGovernorType, 1, 0x100236, 1, 0, false, true},
      {kLeftover, kGovernorType, 2, 0x100276, 2, 0, false, true},
      {kLeftover, kBrakeType, 0, 0x100314, 0, 0, false, false},
      {kLeftover, kBrakeType, 1, 0x100315, 0, 1, false, false},
      {kLeftover, kBrakeType, 2, 0x100317, 0, 2, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Hex32(row.start) + " list " + std::to_string(row.list) + " index " + std::to_string(row.index));
    Window w(kBrenta401, row.start);
    AppHarness& h = w.h;
    h.panel.UserSelects(row.list, row.index);
    EXPECT_EQ(Hex32(Flags(h.app.image)), Hex32(row.after));
    EXPECT_EQ(h.panel.GetSelection(kGovernorType), row.governor_list);
    EXPECT_EQ(h.panel.GetSelection(kBrakeType), row.brake_list);
    EXPECT_EQ(h.panel.IsEnabled(kBrakeMinPwm), row.min_brake_pwm_enabled);
    EXPECT_EQ(h.panel.IsEnabled(kSpoolupTime), row.spoolup_enabled);
    EXPECT_TRUE(h.panel.boxes.empty());
  }
}

TEST(ModeLists, LearnedSpeedIsGivenUpOnlyAfterYes) {
  struct Row {
    const EscSetup* setup;
    uint32_t start;
    ControlId list;
    int index;
    std::optional<BoxAnswer> answer;  // nothing: no question may be asked
    uint32_t after;
    int governor_list;
  };
  const Row rows[] = {
      {&kBrenta401, kStoreLearned, kGovernorType, 2, BoxAnswer::Yes, 0x100274, 2},
      {&kBrenta401, kStoreLearned, kGovernorType, 1, BoxAnswer::Yes, 0x100234, 1},
      {&kBrenta401, kStoreLearned, kGovernorType, 0, BoxAnswer::Yes, 0x100314, 0},
      {&kBrenta401, kStoreLearned, kGovernorType, 2, BoxAnswer::No, 0x1003F4, 2},
      {&kBrenta401, kStoreLearned, kGovernorType, 1, BoxAnswer::No, 0x1003F4, 2},
      {&kBrenta401, kStoreLearned, kGovernorType, 0, BoxAnswer::No, 0x1003F4, 2},
      {&kBrenta401, kGovernorStore, kGovernorType, 2, std::nullopt, 0x100274, 2},
      {&kBrenta401, kStoreLearned, kBrakeType, 2, std::nullopt, 0x100317, 0},
      {&kBrenta401, kStoreLearned, kBrakeType, 1, std::nullopt, 0x100315, 0},
      {&kBrenta401, kStoreLearned, kBrakeType, 0, std::nullopt, 0x1003F4, 2},
      {&kAlder, kStoreLearned, kGovernorType, 2, BoxAnswer::Yes, 0x100274, 2},
      {&kDelmar, kStoreLearned, kGovernorType, 0, BoxAnswer::No, 0x1003F4, 2},
      // An unknown family changes no bit and asks nothing.
      {&kOther, kStoreLearned, kGovernorType, 0, std::nullopt, 0x1003F4, 0},
  };
  const Text question = Text(LoadString(Language::English, sid::kGovernorStoreLost));
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.setup->name) + " " + Hex32(row.start) + " list " + std::to_string(row.list) +
                 " index " + std::to_string(row.index));
    Window w(*row.setup, row.start);
    AppHarness& h = w.h;
    if (row.answer) h.panel.box_answers.push_back(*row.answer);
    h.panel.UserSelects(row.list, row.index);
    ASSERT_EQ(h.panel.boxes.size(), row.answer ? 1u : 0u);
    if (row.answer) {
      EXPECT_EQ(h.panel.boxes[0], (MessageBoxRequest{question, u"", BoxIcon::None, BoxButtons::YesNo}));
    }
    EXPECT_EQ(Hex32(Flags(h.app.image)), Hex32(row.after));
    EXPECT_EQ(h.panel.GetSelection(kGovernorType), row.governor_list);
  }
}

TEST(ModeLists, NoShowsTheImageAgainWithoutTouchingAnything) {
  Window w(kCorvan, kStoreLearned);
  AppHarness& h = w.h;
  const ConfigImage before = h.app.image;
  h.panel.box_answers.push_back(BoxAnswer::No);
  h.panel.UserSelects(kGovernorType, 0);
  EXPECT_EQ(h.app.image, before);
  // No direct enabling: after the answer the image is shown, then the display refreshed.
  const int box = h.panel.FindCall("Box none");
  const int show = h.panel.FindCall("SetText 2000 ");
  const int refresh = h.panel.FindCall("SetTitle ");
  ASSERT_GE(box, 0);
  EXPECT_GT(show, box);
  EXPECT_GT(refresh, show);
  for (int i = 0; i < show; ++i) {
    const std::string& call = h.panel.calls[static_cast<size_t>(i)];
    EXPECT_NE(call.rfind("Enable ", 0), 0u) << call;
    EXPECT_NE(call.rfind("SetSelection ", 0), 0u) << call;
  }
  EXPECT_GT(h.panel.FindCall("Enable 2011 "), refresh);
  EXPECT_EQ(h.panel.GetSelection(kGovernorType), 2);
  EXPECT_FALSE(h.panel.IsEnabled(kShutdown));
}

// The enabling a list does itself, before the display refresh.
TEST(ModeLists, DirectEnablingComesBeforeTheRefresh) {
  struct Row {
    ControlId list;
    int index;
    std::vector<std::string> direct;
  };
  const Row rows[] = {
      {kGovernorType, 0, {"Enable 2011 0", "Enable 2012 0", "Enable 2010 0", "Enable 2035 0"}},
      {kGovernorType, 1,
       {"SetSelection 2013 0", "Enable 2011 1", "Enable 2012 1", "Enable 2010 1", "Enable 2035 1", "Enable 2037 0",
        "Enable 2038 0", "Enable 2039 0", "Enable 2040 0"}},
      {kGovernorType, 2,
       {"SetSelection 2013 0", "Enable 2011 1", "Enable 2012 1", "Enable 2010 1", "Enable 2035 1", "Enable 2037 0",
        "Enable 2038 0", "Enable 2039 0", "Enable 2040 0"}},
      {kBrakeType, 0, {"Enable 2037 0", "Enable 2038 0", "Enable 2039 0", "Enable 2040 0"}},
      {kBrakeType, 1,
       {"SetSelection 2009 0", "Enable 2037 1", "Enable 2038 1", "Enable 2040 1", "Enable 2039 0", "Enable 2011 0",
        "Enable 2012 0", "Enable 2010 0", "Enable 2035 0"}},
      {kBrakeType, 2,
       {"SetSelection 2009 0", "Enable 2037 1", "Enable 2038 1", "Enable 2039 1", "Enable 2040 1", "Enable 2011 0",
        "Enable 2012 0", "Enable 2010 0", "Enable 2035 0"}},
      {kBrakeType, -1, {}},
      {kGovernorType, -1, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("list " + std::to_string(row.list) + " index " + std::to_string(row.index));
    Window w(kBrenta401, kOff);
    AppHarness& h = w.h;
    h.panel.UserSelects(row.list, row.index);
    const bool governor = row.list == kGovernorType;
    const int show = h.panel.FindCall("SetText 2000 ");
    const int refresh = h.panel.FindCall("SetTitle ");
    ASSERT_GE(refresh, 0) << "the refresh runs even without a selection";
    if (governor) {
      EXPECT_GT(show, 0);
      EXPECT_LT(show, refresh);
    } else {
      EXPECT_EQ(show, -1) << "the brake list does not show the image";
    }
    std::vector<std::string> direct;
    const int end = governor ? show : refresh;
    for (int i = 0; i < end; ++i) {
      const std::string& call = h.panel.calls[static_cast<size_t>(i)];
      if (call.rfind("Enable ", 0) == 0 || call.rfind("SetSelection ", 0) == 0) direct.push_back(call);
    }
    EXPECT_EQ(direct, row.direct);
    if (row.index < 0) {
      EXPECT_EQ(Flags(h.app.image), kOff);
    }
  }
}

TEST(BatteryList, SelectsByItemTextAndShowsThatTypesCutoff) {
  struct Row {
    const EscSetup* setup;
    uint32_t start;
    int index;
    const char16_t* item;  // replaces the item's text when given
    uint32_t after;
    const char* cutoff_text;
  };
  const Row rows[] = {
      {&kBrenta401, 0x4, 2, nullptr, 0x8, "2000mV"},
      {&kBrenta401, 0x8, 1, nullptr, 0x4, "3300mV"},
      {&kBrenta401, 0x4, 0, nullptr, 0x0, "1000mV"},
      {&kBrenta401, 0xC, 1, nullptr, 0x4, "3300mV"},
      {&kBrenta401, 0xC, 2, nullptr, 0x8, "2000mV"},
      {&kAlder, 0x0, 1, nullptr, 0x4, "3300mV"},
      {&kDelmar, 0x4, 2, nullptr, 0x8, "2000mV"},
      // The text decides, "LiPo" before "LiFePo" before "NiMh/NiCd".
      {&kBrenta401, 0x0, 2, u"LiFePo or LiPo", 0x4, "3300mV"},
      {&kBrenta401, 0x0, 1, u"Akku NiMh/NiCd", 0x0, "1000mV"},
      {&kBrenta401, 0x4, 0, u"Lead", 0x4, "3300mV"},
      {&kBrenta401, 0x4, -1, nullptr, 0x4, "3300mV"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.setup->name) + " " + Hex32(row.start) + " index " + std::to_string(row.index));
    Window w(*row.setup, row.start);
    AppHarness& h = w.h;
    PutU16(h.app.image, 0x08, 1000);
    PutU16(h.app.image, 0x0A, 3300);
    PutU16(h.app.image, 0x0C, 2000);
    h.panel.State(kCutoffVoltage).text = u"stale";
    if (row.item != nullptr) h.panel.State(kBatteryType).items[static_cast<size_t>(row.index)] = row.item;
    h.panel.UserSelects(kBatteryType, row.index);
    EXPECT_EQ(Hex32(Flags(h.app.image)), Hex32(row.after));
    EXPECT_EQ(ToUtf8(h.panel.GetText(kCutoffVoltage)), row.cutoff_text);
    EXPECT_EQ(GetU16(h.app.image, 0x08), 1000);
    EXPECT_EQ(GetU16(h.app.image, 0x0A), 3300);
    EXPECT_EQ(GetU16(h.app.image, 0x0C), 2000);
    EXPECT_EQ(h.panel.FindCall("SetTitle "), -1) << "no refresh of the enabling";
  }
}

TEST(BatteryList, UnknownFamilyKeepsTheBits) {
  Window w(kOther, 0x4);
  AppHarness& h = w.h;
  h.panel.UserSelects(kBatteryType, 2);
  EXPECT_EQ(Flags(h.app.image), 0x4u);
}

}  // namespace
}  // namespace tavio::test
