// The numeric fields in the window: focus in, type, focus out.

#include <gtest/gtest.h>

#include "core/editors/editors.h"
#include "core/shell/display.h"
#include "field_cases.h"
#include "support/app_harness.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

using namespace ctl;

const Text kPoleCaption = u"Invalid data";
const Text kPoleText = u"This pole count is invalid. The pole count must between 2 and 32 in even numbers.";

struct Window {
  explicit Window(const EscSetup& setup) {
    h.AddUnit(setup.family, setup.model, setup.version);
    h.Start();
    h.panel.boxes.clear();
    h.panel.ClearLog();
  }
  AppHarness h;
};

// Types `entry` into the field and moves the focus on to "Store on ESC".
void TypeAndLeave(AppHarness& h, ControlId id, TextView entry) {
  h.panel.UserFocuses(id);
  EXPECT_FALSE(h.app.hover_ready) << "while the field has the focus";
  h.panel.UserTypes(id, entry);
  h.panel.UserFocuses(kStore);
}

void ExpectWindowCycle(const std::vector<FieldCase>& cases) {
  ASSERT_FALSE(cases.empty());
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.label);
    Window w(c.setup);
    AppHarness& h = w.h;
    ASSERT_TRUE(IsConnected(h.app.link));
    h.app.image = StartImage(c);
    TypeAndLeave(h, c.id, c.entry);

    EXPECT_EQ(ToHex(h.app.image.bytes), ToHex(ExpectedImage(c).bytes));
    EXPECT_EQ(ToUtf8(h.panel.GetText(c.id)), c.text);
    EXPECT_TRUE(h.app.hover_ready);
    // With nowhere to store, the typed text is left as it is, not rewritten.
    const std::string write_back = "SetText " + std::to_string(c.id) + " ";
    EXPECT_EQ(h.panel.FindCall(write_back) >= 0, c.status != CommitStatus::NotStored);
    const bool message = c.id == kPoleCount && c.status == CommitStatus::Refused && !c.entry.empty();
    ASSERT_EQ(h.panel.boxes.size(), message ? 1u : 0u);
    if (message) {
      EXPECT_EQ(h.panel.boxes[0], (MessageBoxRequest{kPoleText, kPoleCaption, BoxIcon::Error, BoxButtons::Ok}));
      // The message comes before the stored value is written back.
      const int box = h.panel.FindCall("Box error");
      EXPECT_GE(box, 0);
      EXPECT_GT(h.panel.FindCall("SetText 2014 ", static_cast<size_t>(box)), box);
    }
  }
}

TEST(NumericField, WindowAcceptsBothBoundsAndRefusesBeyond) { ExpectWindowCycle(BoundsCases()); }

TEST(NumericField, WindowJudgesTheSyntaxOfEachKindOfField) { ExpectWindowCycle(SyntaxCases()); }

TEST(NumericField, WindowKeepsTheTypedTextWhereNothingIsStored) { ExpectWindowCycle(NotStoredCases()); }

TEST(NumericField, OnlyFocusInAndFocusOutAreHandled) {
  struct Row {
    uint16_t code;
    bool handled;
    bool hover_before;
    bool hover_after;
  };
  const Row rows[] = {
      {kEnSetFocus, true, true, false}, {kEnKillFocus, true, false, true}, {kEnChange, false, false, false},
      {kEnChange, false, true, true},   {0x0400, false, false, false},  // EN_UPDATE
      {kBnClicked, false, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    Window w(kBrenta401);
    AppHarness& h = w.h;
    const ConfigImage before = h.app.image;
    h.app.hover_ready = row.hover_before;
    h.panel.State(kHoldTime).text = u"500";
    EXPECT_EQ(OnNumericFieldCommand(h.app, kHoldTime, row.code), row.handled);
    EXPECT_EQ(h.app.hover_ready, row.hover_after);
    // Only a focus-out commits the typed text.
    EXPECT_EQ(GetU16(h.app.image, 0x12), row.code == kEnKillFocus ? 500 : GetU16(before, 0x12));
  }
}

TEST(NumericField, LeavingAnUntouchedFieldStoresWhatItShows) {
  struct Row {
    ControlId id;
    size_t offset;
    uint16_t stored;
    const char* shown;
    uint16_t after;
  };
  const Row rows[] = {
      {kBecVoltage, 0x10, 5640, "5.6V", 5600},
      {kSpoolupTime, 0x26, 12500, "12s", 12000},
      {kMinPwm, 0x3A, 100, "2%", 82},
      {kCapacityLimit, 0x2C, 0, "0.0Ah = Aus", 0},
      {kHoldTime, 0x12, 2000, "2000ms", 2000},
      {kGearRatio, 0x4A, 235, "2.35:1", 235},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.shown);
    Window w(kBrenta401);
    AppHarness& h = w.h;
    PutU16(h.app.image, row.offset, row.stored);
    ShowImage(h.app);
    EXPECT_EQ(ToUtf8(h.panel.GetText(row.id)), row.shown);
    h.panel.UserFocuses(row.id);
    h.panel.UserFocuses(kStore);
    EXPECT_EQ(GetU16(h.app.image, row.offset), row.after);
    EXPECT_EQ(ToUtf8(h.panel.GetText(row.id)), row.shown);
  }
}

TEST(NumericField, CommitTouchesNoOtherControl) {
  Window w(kBrenta401);
  AppHarness& h = w.h;
  TypeAndLeave(h, kHoldTime, u"300");
  for (const std::string& call : h.panel.calls) {
    const bool allowed = call.rfind("SetFocus ", 0) == 0 || call.rfind("SetText 2033 ", 0) == 0 ||
                         call.rfind("SetText 242 ", 0) == 0;
    EXPECT_TRUE(allowed) << call;
  }
  EXPECT_EQ(h.panel.FindCall("SetText 2033 300ms"), static_cast<int>(h.panel.calls.size()) - 2);
}

TEST(NumericField, PoleCountMessageOnlyForRefusedTextThatIsNotEmpty) {
  struct Row {
    const char16_t* entry;
    bool message;
    uint16_t stored;
    const char* text;
  };
  const Row rows[] = {
      {u"0", true, 14, "14"},   {u"33", true, 14, "14"}, {u"-2", true, 14, "14"}, {u"x", true, 14, "14"},
      {u" ", true, 14, "14"},   {u"", false, 14, "14"},  {u"32", false, 32, "32"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ToUtf8(row.entry));
    Window w(kCorvan);
    AppHarness& h = w.h;
    PutU16(h.app.image, 0x48, 14);
    TypeAndLeave(h, kPoleCount, row.entry);
    EXPECT_EQ(h.panel.boxes.size(), row.message ? 1u : 0u);
    EXPECT_EQ(GetU16(h.app.image, 0x48), row.stored);
    EXPECT_EQ(ToUtf8(h.panel.GetText(kPoleCount)), row.text);
  }
}

TEST(NumericField, PoleCountMessageIsGermanInTheGermanWindow) {
  AppHarness h(Language::German);
  h.AddUnit(400, 160, 0x0104);
  h.Start();
  TypeAndLeave(h, kPoleCount, u"3");
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(h.panel.boxes[0].caption, u"Ung\u00FCltige Eingabe");
  EXPECT_EQ(h.panel.boxes[0].text,
            u"Die eingegebene Motor-Polzahl ist nicht zul\u00E4ssig. Die Anzahl der Pole muss zwischen 2 und 32 "
            u"liegen und gerade sein.");
}

}  // namespace
}  // namespace tavio::test
