// The editors in the in-memory window: the numeric field cycle, the pole
// count and its arrows, the check boxes and timing radio buttons, and the
// governor and brake lists.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/shell/editors.h"
#include "core/shell/display.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

using namespace ctl;
using Boxes = std::vector<MessageBoxRequest>;

struct Esc { uint16_t family, version; };
constexpr Esc kAlder{100, 0x0104}, kBrenta400{200, 0x0400}, kBrenta{200, 0x0401}, kCorvan{300, 0x0401},
    kDelmar{400, 0x0104}, kOther{500, 0x0104};

// A connected ESC whose image holds `flags`, shown in the window; logs cleared.
struct Window {
  explicit Window(Esc esc, uint32_t flags = 0x4) {
    h.AddUnit(esc.family, 160, esc.version);
    h.Start();
    SetFlags(h.app.image, flags);
    ShowImage(h.app);
    RefreshDisplay(h.app);
    h.panel.boxes.clear();
    h.panel.ClearLog();
  }
  AppHarness h;
};

MessageBoxRequest Box(StringId text, StringId caption, BoxIcon icon, BoxButtons buttons) {
  return {Text(LookUpString(Language::English, text)), Text(LookUpString(Language::English, caption)), icon, buttons};
}
const MessageBoxRequest kPoleBox = Box(sid::kInvalidPoleCount, sid::kInvalidDataCaption, BoxIcon::Error, BoxButtons::Ok);

void TypeAndLeave(AppHarness& h, ControlId id, TextView text) {
  h.panel.UserFocuses(id);
  EXPECT_FALSE(h.app.hover_ready) << "while the field has the focus";
  h.panel.UserTypes(id, text);
  h.panel.UserFocuses(kStore);
  EXPECT_TRUE(h.app.hover_ready) << "after the commit";
}

TEST(NumericField, FocusOutCommitsWritesTheCanonicalTextBackAndNothingElse) {
  // `again`: the value after leaving the field once more without typing.
  const struct { Esc esc; ControlId id; size_t offset; uint16_t prior; const char16_t* entry; uint16_t after;
                 const char* shown; uint16_t again; } rows[] = {
      {kBrenta, kBecVoltage, 0x10, 6000, u"5.64", 5640, "5.6V", 5600},  // the display is coarser than the value
      {kDelmar, kHoldTime, 0x12, 2000, u"+500", 2000, "2000ms", 2000},  // refused: snaps back without a message
      {kOther, kHoldTime, 0x12, 2000, u"500", 2000, "500", 2000},       // nowhere to store: the typed text stays
      // Only the first 31 characters are read, and the unit at the 31st is not "ms".
      {kBrenta, kHoldTime, 0x12, 2000, u"1000                          sms", 2000, "2000ms", 2000},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(ToUtf8(row.entry));
    Window w(row.esc);
    AppHarness& h = w.h;
    PutU16(h.app.image, row.offset, row.prior);
    ConfigImage want = h.app.image;
    PutU16(want, row.offset, row.after);
    TypeAndLeave(h, row.id, row.entry);
    EXPECT_EQ(h.app.image, want);
    EXPECT_EQ(ToUtf8(h.panel.GetText(row.id)), row.shown);
    for (const std::string& call : h.panel.calls) {  // no other control, no message box
      const bool own = call.starts_with("SetText " + std::to_string(row.id) + " ") || call.starts_with("SetText 242 ");
      EXPECT_TRUE(own || call.starts_with("SetFocus ") || call.starts_with("MarkUnstored ")) << call;
    }
    h.panel.UserFocuses(row.id);
    h.panel.UserFocuses(kStore);
    EXPECT_EQ(GetU16(h.app.image, row.offset), row.again);
    EXPECT_EQ(ToUtf8(h.panel.GetText(row.id)), row.shown);
  }
}

TEST(NumericField, OnlyFocusInAndFocusOutAreHandled) {
  Window w(kBrenta);
  AppHarness& h = w.h;
  PutU16(h.app.image, 0x12, 2000);
  h.panel.State(kHoldTime).text = u"500";
  for (uint16_t code : {kEnChange, uint16_t{0x0400}, kBnClicked}) EXPECT_FALSE(OnNumericFieldCommand(h.app, kHoldTime, code));
  EXPECT_TRUE(h.app.hover_ready);
  EXPECT_EQ(GetU16(h.app.image, 0x12), 2000);
  EXPECT_TRUE(OnNumericFieldCommand(h.app, kHoldTime, kEnSetFocus));
  EXPECT_FALSE(h.app.hover_ready);
  EXPECT_TRUE(OnNumericFieldCommand(h.app, kHoldTime, kEnKillFocus));
  EXPECT_EQ(GetU16(h.app.image, 0x12), 500);
}

TEST(NumericField, PoleCountRefusalIsAnnouncedUnlessTheFieldIsEmpty) {
  const struct { const char16_t* entry; uint16_t stored; bool message; } rows[] = {
      {u"33", 14, true}, {u"3", 14, true}, {u"x", 14, true}, {u" ", 14, true}, {u"", 14, false}, {u"32", 32, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(ToUtf8(row.entry));
    Window w(kCorvan);
    AppHarness& h = w.h;
    PutU16(h.app.image, 0x48, 14);
    TypeAndLeave(h, kPoleCount, row.entry);
    EXPECT_EQ(GetU16(h.app.image, 0x48), row.stored);
    EXPECT_EQ(ToUtf8(h.panel.GetText(kPoleCount)), std::to_string(row.stored));
    EXPECT_EQ(h.panel.boxes, row.message ? Boxes{kPoleBox} : Boxes{});
    // The message comes before the stored value is written back.
    if (row.message) { EXPECT_LT(h.panel.FindCall("Box error"), h.panel.FindCall("SetText 2014 ")); }
  }
}

TEST(PoleArrows, StoreAnEvenValueAtOnceWithoutRewritingTheField) {
  const struct { Esc esc; const char16_t* text; size_t offset; uint16_t after; bool message; } rows[] = {
      {kBrenta400, u"16", 0x48, 16, false}, {kCorvan, u"32", 0x48, 32, false}, {kDelmar, u"4", 0x40, 4, false},
      {kBrenta, u"15", 0x48, 14, true},     {kDelmar, u"34", 0x40, 14, true},  {kCorvan, u"abc", 0x48, 14, true},
      {kCorvan, u"014", 0x48, 14, true},    {kBrenta, u"", 0x48, 14, false},   {kAlder, u"16", 0x48, 14, false},
      {kOther, u"15", 0x48, 14, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(ToUtf8(row.text));
    Window w(row.esc);
    AppHarness& h = w.h;
    h.app.image = ConfigImage{};
    PutU16(h.app.image, row.offset, 14);
    ConfigImage want;
    PutU16(want, row.offset, row.after);
    h.panel.State(kPoleCount).text = row.text;
    h.app.hover_ready = false;
    OnPoleCountArrows(h.app);
    EXPECT_EQ(h.app.image, want);
    EXPECT_FALSE(h.app.hover_ready);
    EXPECT_EQ(h.panel.FindCall("SetText"), -1);
    EXPECT_EQ(h.panel.boxes, row.message ? Boxes{kPoleBox} : Boxes{});
  }
}

TEST(ButtonState, EachSwitchChangesItsBitForItsFamilies) {
  // 0x100014: bits no switch may touch (LiPo, bit 4, bit 20). angle: 2026 afterwards, -1 when left alone.
  const struct { Esc esc; ControlId id; bool checked; uint32_t start, after; bool warning; int angle; } rows[] = {
      {kAlder, kReverseRotation, true, 0x100014, 0x100414, false, -1},
      {kAlder, kReverseRotation, false, 0x100414, 0x100014, false, -1},
      {kAlder, kForwardBackward, true, 0x100014, 0x100014, false, -1},
      {kAlder, kShutdown, true, 0x100014, 0x100114, true, -1},
      {kAlder, kShutdown, false, 0x100114, 0x100014, false, -1},
      {kAlder, kAutoTiming, true, 0x100014, 0x100214, false, 0},
      {kAlder, kSoftStart, true, 0x100014, 0x100014, false, -1},
      {kBrenta400, kForwardBackward, true, 0x100014, 0x102014, false, -1},
      {kBrenta400, kSoftStart, true, 0x100014, 0x104014, false, -1},
      {kBrenta, kSoftStart, false, 0x104014, 0x100014, false, -1},
      {kCorvan, kFixTiming, false, 0x100214, 0x100014, false, 1},
      {kDelmar, kForwardBackward, true, 0x100014, 0x102014, false, -1},
      {kDelmar, kSoftStart, true, 0x100014, 0x100014, false, -1},
      {kDelmar, kFixTiming, true, 0x100014, 0x100214, false, 0},  // 2005 goes by the state of 2004
      {kOther, kReverseRotation, true, 0x100014, 0x100014, false, -1},
      {kOther, kShutdown, true, 0x100014, 0x100014, true, -1},
      {kOther, kFixTiming, false, 0x100214, 0x100214, false, 1},
  };
  const MessageBoxRequest warning = Box(sid::kShutdownWarning, 0, BoxIcon::Warning, BoxButtons::Ok);
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.esc.family) + " control " + std::to_string(row.id));
    Window w(row.esc, row.start);
    AppHarness& h = w.h;
    h.panel.State(row.id == kFixTiming ? kAutoTiming : row.id).checked = row.checked;
    h.panel.Enable(kFixTimingAngle, row.angle != 1);
    h.panel.ClearLog();
    std::optional<uint32_t> flags_at_box;
    h.panel.on_box = [&](const MessageBoxRequest&) { flags_at_box = Flags(h.app.image); };
    EXPECT_TRUE(OnButtonState(h.app, row.id));
    EXPECT_EQ(Flags(h.app.image), row.after);
    EXPECT_EQ(h.panel.boxes, row.warning ? Boxes{warning} : Boxes{});
    if (row.warning) { EXPECT_EQ(flags_at_box, row.after) << "the bit is set before the box"; }
    EXPECT_TRUE(row.angle < 0 ? h.panel.FindCall("Enable 2026") == -1 : h.panel.IsEnabled(kFixTimingAngle) == (row.angle == 1));
  }
  Window w(kBrenta);
  const ConfigImage before = w.h.app.image;
  for (ControlId id : {kBecVoltage, kBatteryType, kGovernorType, kLoadFile, kPoleArrows, kStore})
    EXPECT_FALSE(OnButtonState(w.h.app, id)) << id;
  EXPECT_EQ(w.h.app.image, before);
  EXPECT_TRUE(w.h.panel.calls.empty());
}

TEST(ButtonState, ShutdownWarnsEveryTimeItBecomesChecked) {
  Window w(kBrenta, 0x4);
  for (size_t click = 1; click <= 4; ++click) {
    w.h.panel.UserClicks(kShutdown);
    EXPECT_EQ(Flags(w.h.app.image), click % 2 == 1 ? 0x104u : 0x4u) << click;
    EXPECT_EQ(w.h.panel.boxes.size(), (click + 1) / 2) << click;
  }
}

TEST(BatteryList, TheItemTextSelectsTheTypeAndTheCutoffFieldShowsItsValue) {
  // "LiPo" is looked for before "LiFePo" and "NiMh/NiCd"; the cut-offs of all three types stay as they are.
  // Auto-timing keeps the fixed-timing angle disabled while the image is shown again.
  const struct { Esc esc; uint32_t start; int index; const char16_t* item; uint32_t after; const char* cutoff; } rows[] = {
      {kBrenta, 0x4, 2, nullptr, 0x8, "2100mV"}, {kAlder, 0xC, 0, nullptr, 0x0, "900mV"},
      {kDelmar, 0x8, 1, nullptr, 0x4, "3700mV"}, {kBrenta, 0x0, 2, u"LiFePo or LiPo", 0x4, "3700mV"},
      {kBrenta, 0x4, 0, u"Lead", 0x4, "3700mV"}, {kCorvan, 0x204, 0, nullptr, 0x200, "900mV"}};
  for (const auto& row : rows) {
    Window w(row.esc, row.start);
    PutU16(w.h.app.image, 0x08, 900);
    PutU16(w.h.app.image, 0x0A, 3700);
    PutU16(w.h.app.image, 0x0C, 2100);
    ConfigImage want = w.h.app.image;
    SetFlags(want, row.after);
    if (row.item != nullptr) w.h.panel.State(kBatteryType).items[static_cast<size_t>(row.index)] = row.item;
    w.h.panel.UserSelects(kBatteryType, row.index);
    EXPECT_EQ(w.h.app.image, want) << row.index;
    EXPECT_EQ(ToUtf8(w.h.panel.GetText(kCutoffVoltage)), row.cutoff) << row.index;
    EXPECT_EQ(w.h.panel.IsEnabled(kFixTimingAngle), (row.after & flag::kAutoTiming) == 0) << row.index;
  }
}

TEST(ModeLists, EveryTransitionBetweenTheModes) {
  // Each start holds bits no list may touch (LiPo, bit 4, shutdown, auto-timing, bit 20); the flags after
  // choosing governor Off, Governor, Governor Store, then brake Off, Switching brake, Proportional.
  const struct { uint32_t start; uint32_t after[6]; } rows[] = {
      {0x100314, {0x100314, 0x100234, 0x100274, 0x100314, 0x100315, 0x100317}},  // both off
      {0x100315, {0x100315, 0x100234, 0x100274, 0x100314, 0x100315, 0x100317}},  // switching brake
      {0x100317, {0x100317, 0x100236, 0x100276, 0x100314, 0x100315, 0x100317}},  // proportional brake
      {0x100316, {0x100316, 0x100236, 0x100276, 0x100314, 0x100315, 0x100317}},  // brake off, bit 1 left set
      {0x100334, {0x100314, 0x100234, 0x100274, 0x100334, 0x100315, 0x100317}},  // governor
      {0x100374, {0x100314, 0x100234, 0x100274, 0x100374, 0x100315, 0x100317}},  // governor store
      {0x1003F4, {0x100314, 0x100234, 0x100274, 0x1003F4, 0x100315, 0x100317}},  // learned speed, Yes to the question
  };
  const MessageBoxRequest question = Box(sid::kGovernorStoreLost, 0, BoxIcon::None, BoxButtons::YesNo);
  for (const auto& row : rows) {
    for (int choice = 0; choice < 6; ++choice) {
      SCOPED_TRACE(testing::Message() << std::hex << row.start << " choice " << choice);
      Window w(kBrenta, row.start);
      AppHarness& h = w.h;
      const bool governor_list = choice < 3, learned = (row.start & flag::kGovernorRpmStored) != 0;
      h.panel.box_answers.push_back(BoxAnswer::Yes);
      h.panel.UserSelects(governor_list ? kGovernorType : kBrakeType, choice % 3);
      const uint32_t after = row.after[choice];
      EXPECT_EQ(Flags(h.app.image), after);
      // The question is asked for a governor choice exactly when a learned speed is stored.
      EXPECT_EQ(h.panel.boxes, governor_list && learned ? Boxes{question} : Boxes{});
      EXPECT_EQ(h.panel.GetSelection(kGovernorType), after & flag::kGovernorOn ? (after & flag::kGovernorStore ? 2 : 1) : 0);
      EXPECT_EQ(h.panel.GetSelection(kBrakeType), after & flag::kBrakeOn ? (after & flag::kBrakeProportional ? 2 : 1) : 0);
      EXPECT_EQ(h.panel.IsEnabled(kBrakeMinPwm), (after & 3) == 3) << "min. brake PWM: proportional brake only";
      // So also the brake list's own enabling, before the display refresh (its first call sets the title).
      const int refresh = h.panel.FindCall("SetTitle "), own = h.panel.FindCall(choice == 5 ? "Enable 2039 1" : "Enable 2039 0");
      if (!governor_list) { EXPECT_TRUE(own >= 0 && own < refresh) << own << " " << refresh; }
    }
  }
}

TEST(ModeLists, NoKeepsTheLearnedSpeedAndShowsTheImageAgain) {
  for (const Esc esc : {kAlder, kBrenta, kDelmar, kOther}) {
    for (int choice = 0; choice < 3; ++choice) {
      SCOPED_TRACE(testing::Message() << esc.family << " choice " << choice);
      Window w(esc, 0x1003F4);
      AppHarness& h = w.h;
      const ConfigImage before = h.app.image;
      h.panel.box_answers.push_back(BoxAnswer::No);
      h.panel.UserSelects(kGovernorType, choice);
      EXPECT_EQ(h.app.image, before);
      EXPECT_EQ(h.panel.boxes.size(), esc.family == 500 ? 0u : 1u) << "only the known families ask";
      if (esc.family != 500) { EXPECT_EQ(h.panel.GetSelection(kGovernorType), 2); }
    }
  }
}

}  // namespace
}  // namespace tavio::test
