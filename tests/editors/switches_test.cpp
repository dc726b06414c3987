// Check boxes, the timing radio buttons and the pole-count arrows.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/editors/editors.h"
#include "field_cases.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

using namespace ctl;

const Text kShutdownText =
    u"If you enable the under voltage shutdown, the ESC will turn off as soon as it reaches the specified cut off "
    u"voltage/cell or capacity!";

struct Window {
  explicit Window(const EscSetup& setup) {
    h.AddUnit(setup.family, setup.model, setup.version);
    h.Start();
    h.panel.boxes.clear();
    h.panel.ClearLog();
  }
  AppHarness h;
};

TEST(ButtonState, EachSwitchChangesItsBitForItsFamilies) {
  struct Row {
    const EscSetup* setup;
    ControlId id;
    bool checked;       // state of the clicked control (for 2005: the state of 2004)
    uint32_t start;
    uint32_t after;
    bool warning;
    std::optional<bool> angle_enabled;  // 2026 afterwards, when the handler sets it
  };
  // 0x100014: bits that must stay as they are (LiPo, bit 4, bit 20).
  const Row rows[] = {
      {&kAlder, kReverseRotation, true, 0x100014, 0x100414, false, std::nullopt},
      {&kAlder, kReverseRotation, false, 0x100414, 0x100014, false, std::nullopt},
      {&kAlder, kForwardBackward, true, 0x100014, 0x100014, false, std::nullopt},
      {&kAlder, kShutdown, true, 0x100014, 0x100114, true, std::nullopt},
      {&kAlder, kShutdown, false, 0x100114, 0x100014, false, std::nullopt},
      {&kAlder, kAutoTiming, true, 0x100014, 0x100214, false, false},
      {&kAlder, kFixTiming, false, 0x100214, 0x100014, false, true},
      {&kAlder, kSoftStart, true, 0x100014, 0x100014, false, std::nullopt},
      {&kBrenta400, kForwardBackward, true, 0x100014, 0x102014, false, std::nullopt},
      {&kBrenta400, kForwardBackward, false, 0x102014, 0x100014, false, std::nullopt},
      {&kBrenta400, kSoftStart, true, 0x100014, 0x104014, false, std::nullopt},
      {&kBrenta401, kSoftStart, false, 0x104014, 0x100014, false, std::nullopt},
      {&kBrenta401, kReverseRotation, true, 0x100014, 0x100414, false, std::nullopt},
      {&kCorvan, kSoftStart, true, 0x100014, 0x104014, false, std::nullopt},
      {&kCorvan, kShutdown, true, 0x100014, 0x100114, true, std::nullopt},
      {&kDelmar, kForwardBackward, true, 0x100014, 0x102014, false, std::nullopt},
      {&kDelmar, kSoftStart, true, 0x100014, 0x100014, false, std::nullopt},
      {&kDelmar, kAutoTiming, true, 0x100014, 0x100214, false, false},
      // "Fix-timing" goes by the state of "Auto-timing", whatever its own.
      {&kDelmar, kFixTiming, true, 0x100014, 0x100214, false, false},
      {&kCorvan, kFixTiming, false, 0x100214, 0x100014, false, true},
      // An unknown family keeps its bits; the field enabling and the warning remain.
      {&kOther, kReverseRotation, true, 0x100014, 0x100014, false, std::nullopt},
      {&kOther, kShutdown, true, 0x100014, 0x100014, true, std::nullopt},
      {&kOther, kFixTiming, false, 0x100214, 0x100214, false, true},
      {&kOther, kAutoTiming, true, 0x100014, 0x100014, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.setup->name) + " control " + std::to_string(row.id));
    Window w(*row.setup);
    AppHarness& h = w.h;
    SetFlags(h.app.image, row.start);
    const bool timing = row.id == kAutoTiming || row.id == kFixTiming;
    h.panel.State(timing ? kAutoTiming : row.id).checked = row.checked;
    h.panel.Enable(kFixTimingAngle, !row.angle_enabled.value_or(true));
    h.panel.ClearLog();
    std::optional<uint32_t> flags_at_box;
    h.panel.on_box = [&](const MessageBoxRequest&) { flags_at_box = Flags(h.app.image); };

    EXPECT_TRUE(OnButtonState(h.app, row.id));
    EXPECT_EQ(Flags(h.app.image), row.after);
    ASSERT_EQ(h.panel.boxes.size(), row.warning ? 1u : 0u);
    if (row.warning) {
      EXPECT_EQ(h.panel.boxes[0], (MessageBoxRequest{kShutdownText, u"", BoxIcon::Warning, BoxButtons::Ok}));
      EXPECT_EQ(flags_at_box, row.after) << "the bit is set before the box";
    }
    if (row.angle_enabled) {
      EXPECT_EQ(h.panel.IsEnabled(kFixTimingAngle), *row.angle_enabled);
    } else {
      EXPECT_EQ(h.panel.FindCall("Enable 2026"), -1);
    }
  }
}

TEST(ButtonState, OtherControlsAreNotSwitches) {
  for (ControlId id : {kBecVoltage, kBatteryType, kGovernorType, kBrakeType, kFixTimingAngle, kLoadFile, kSaveFile,
                       kLoadDefaults, kPoleArrows, kStore}) {
    Window w(kBrenta401);
    AppHarness& h = w.h;
    const ConfigImage before = h.app.image;
    h.panel.State(id).checked = true;
    EXPECT_FALSE(OnButtonState(h.app, id)) << id;
    EXPECT_EQ(h.app.image, before) << id;
    EXPECT_TRUE(h.panel.calls.empty()) << id;
  }
}

TEST(ButtonState, ShutdownWarnsEveryTimeItBecomesChecked) {
  Window w(kBrenta401);
  AppHarness& h = w.h;
  SetFlags(h.app.image, 0x4);
  h.panel.State(kShutdown).checked = false;
  const struct {
    uint32_t flags;
    size_t boxes;
  } steps[] = {{0x104, 1}, {0x4, 1}, {0x104, 2}, {0x4, 2}, {0x104, 3}};
  for (const auto& step : steps) {
    h.panel.UserClicks(kShutdown);
    EXPECT_EQ(Flags(h.app.image), step.flags);
    EXPECT_EQ(h.panel.boxes.size(), step.boxes);
  }
}

TEST(ButtonState, TimingRadioButtonsMoveTheBitAndTheAngleField) {
  Window w(kCorvan);
  AppHarness& h = w.h;
  SetFlags(h.app.image, 0x200);
  h.panel.UserClicks(kFixTiming);
  EXPECT_EQ(Flags(h.app.image), 0u);
  EXPECT_TRUE(h.panel.IsEnabled(kFixTimingAngle));
  h.panel.UserClicks(kAutoTiming);
  EXPECT_EQ(Flags(h.app.image), 0x200u);
  EXPECT_FALSE(h.panel.IsEnabled(kFixTimingAngle));
}

TEST(PoleArrows, StoreAnEvenValueAtOnceWithoutRewritingTheField) {
  struct Row {
    const EscSetup* setup;
    const char16_t* text;  // what the arrows left in the field
    size_t offset;
    uint16_t after;
    bool message;
  };
  const Row rows[] = {
      {&kBrenta400, u"16", 0x48, 16, false},
      {&kBrenta401, u"2", 0x48, 2, false},
      {&kCorvan, u"32", 0x48, 32, false},
      {&kDelmar, u"4", 0x40, 4, false},
      {&kBrenta401, u"15", 0x48, 14, true},
      {&kDelmar, u"34", 0x40, 14, true},
      {&kCorvan, u"0", 0x48, 14, true},
      {&kCorvan, u"abc", 0x48, 14, true},
      {&kCorvan, u"014", 0x48, 14, true},
      {&kBrenta401, u"", 0x48, 14, false},
      {&kAlder, u"16", 0x48, 14, false},
      {&kAlder, u"15", 0x48, 14, false},
      {&kOther, u"16", 0x48, 14, false},
      {&kOther, u"15", 0x48, 14, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.setup->name) + " '" + ToUtf8(row.text) + "'");
    Window w(*row.setup);
    AppHarness& h = w.h;
    h.app.image = ConfigImage{};
    PutU16(h.app.image, row.offset, 14);
    ConfigImage want;
    PutU16(want, row.offset, row.after);
    h.panel.State(kPoleCount).text = row.text;
    for (bool hover : {false, true}) {
      h.app.hover_ready = hover;
      h.panel.boxes.clear();
      h.panel.ClearLog();
      OnPoleCountArrows(h.app);
      EXPECT_EQ(h.app.image, want);
      EXPECT_EQ(h.app.hover_ready, hover);
      EXPECT_EQ(h.panel.GetText(kPoleCount), row.text);
      EXPECT_EQ(h.panel.FindCall("SetText"), -1);
      ASSERT_EQ(h.panel.boxes.size(), row.message ? 1u : 0u);
      if (row.message) {
        EXPECT_EQ(h.panel.boxes[0].caption, u"Invalid data");
        EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Error);
        EXPECT_EQ(h.panel.boxes[0].buttons, BoxButtons::Ok);
      }
    }
  }
}

}  // namespace
}  // namespace tavio::test
