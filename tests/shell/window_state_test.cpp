// What the window knows beyond each control: the field being edited when the
// program takes it away, what Enter does, whether the settings shown are the
// ones the ESC holds, the store around the write, and the question on closing.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/files/backups.h"
#include "core/files/config_file.h"
#include "core/files/defaults.h"
#include "core/link/protocol.h"
#include "core/shell/display.h"
#include "core/shell/connection.h"
#include "core/shell/focus.h"
#include "core/shell/help.h"
#include "core/shell/store_state.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

using namespace ctl;

constexpr size_t kHoldTimeOffset = 0x12;
constexpr uint32_t kGovernorFlags = 0x234;  // LiPo, governor on, auto-timing

uint32_t SpoolupMs(const App& app) {
  return ReadField(app.image, *SelectLayout(Family(app), EscVersion(app)), Field::SpoolupMs).value_or(0);
}

Text Loaded(StringId id) { return Text(LookUpString(Language::English, id)); }

// A connected BRENTA 160 (0x0401), its block read and shown; logs cleared.
struct Connected {
  explicit Connected(uint32_t flags = 0) {
    unit = &h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
    if (flags != 0) {
      // The ESC itself holds these flags, so the readout matches them.
      ConfigImage held;
      std::copy_n(unit->Eeprom().begin(), kImageSize, held.bytes.begin());
      SetFlags(held, flags);
      SealImage(held, *StoreChecksum(kFamilyBrenta, kParamVersion92B));
      std::copy(held.bytes.begin(), held.bytes.end(), unit->MutableEeprom().begin());
    }
    h.Start();
    h.panel.boxes.clear();
    h.panel.ClearLog();
  }
  uint16_t EscHoldTime() const { return GetU16(unit->Eeprom(), kHoldTimeOffset); }
  AppHarness h;
  sim::SimUnit* unit = nullptr;
};

// The program takes the field away while the user types in it: the entry is
// judged as on leaving the field, and hover help works again at once.
TEST(FocusedField, DisabledWhileTypingIsCommittedFirst) {
  const struct {
    const char* how;
    ControlId field;
    const char16_t* typed;
    uint32_t stored;     // 0: refused, the value stays
    const char* shown;   // nullptr: the text it had before
    uint32_t flags;
  } rows[] = {
      {"governor off", kSpoolupTime, u"30", 30000, "30s", kGovernorFlags},
      {"governor off, refused", kSpoolupTime, u"99", 0, nullptr, kGovernorFlags},
      {"unplugged", kHoldTime, u"1500", 1500, "1500ms", 0},
      {"unplugged, refused", kHoldTime, u"+5", 0, nullptr, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.how);
    Connected c(row.flags);
    AppHarness& h = c.h;
    const auto value = [&] {
      return row.field == kSpoolupTime ? SpoolupMs(h.app) : GetU16(h.app.image, kHoldTimeOffset);
    };
    const uint32_t before = value();
    const Text text_before = h.panel.GetText(row.field);
    h.panel.UserFocuses(row.field);
    h.panel.UserTypes(row.field, row.typed);
    ASSERT_FALSE(h.app.hover_ready);
    if (row.field == kSpoolupTime) {
      h.panel.UserSelects(kGovernorType, 0);
    } else {
      h.port.Unplug(kHarnessUnitPath);
      ASSERT_EQ(h.panel.boxes.size(), 1u);
      EXPECT_EQ(h.panel.boxes[0].text.substr(0, 20), Loaded(sid::kConnectionLost).substr(0, 20));
    }
    EXPECT_FALSE(h.panel.IsEnabled(row.field));
    EXPECT_EQ(h.panel.GetText(row.field), row.shown != nullptr ? FromUtf8(row.shown) : text_before);
    EXPECT_EQ(value(), row.stored != 0 ? row.stored : before);
    // The commit comes before the field is disabled, and only once.
    const int commit = h.panel.FindCall("SetText " + std::to_string(row.field) + " ");
    const int disabled = h.panel.FindCall("Enable " + std::to_string(row.field) + " 0");
    EXPECT_TRUE(commit >= 0 && commit < disabled) << commit << " " << disabled;
    EXPECT_TRUE(h.app.hover_ready);
    EXPECT_EQ(h.app.focused_field, 0);
    EXPECT_EQ(h.panel.focus, 0) << "the focus is parked without a word";
    EXPECT_TRUE(ArmHover(h.app, kLabelHoldTime));
    ShowHoverHelp(h.app);
    EXPECT_EQ(h.panel.GetText(kHelpField), Loaded(333));
  }
}

TEST(FocusedField, OnlyTheFocusedFieldIsCommittedWhenDisabled) {
  Connected c(kGovernorFlags);
  AppHarness& h = c.h;
  h.panel.UserFocuses(kSpoolupTime);
  h.panel.UserFocuses(kHoldTime);  // the spool-up field committed on leaving
  const uint32_t spoolup = SpoolupMs(h.app);
  h.panel.State(kSpoolupTime).text = u"45";  // a text nobody typed into a field without focus
  h.panel.UserSelects(kGovernorType, 0);
  EXPECT_EQ(SpoolupMs(h.app), spoolup);
  EXPECT_EQ(h.app.focused_field, kHoldTime);
  EXPECT_FALSE(h.app.hover_ready);
}

TEST(EnterKey, FieldsGoToStoreOtherButtonsClickStoreDoesNothing) {
  const struct { ControlId id; EnterAction action; } rows[] = {
      {kHoldTime, EnterAction::FocusStore}, {kBecVoltage, EnterAction::FocusStore},
      {kPoleCount, EnterAction::FocusStore}, {kLoadFile, EnterAction::Click},
      {kSaveFile, EnterAction::Click},      {kLoadDefaults, EnterAction::Click},
      {kStore, EnterAction::None},          {kPoleArrows, EnterAction::None},
      {kBatteryType, EnterAction::None},    {kReverseRotation, EnterAction::None},
      {kAutoTiming, EnterAction::None},     {ControlId{0}, EnterAction::None},
  };
  for (const auto& row : rows) EXPECT_EQ(EnterKeyAction(row.id), row.action) << row.id;
}

// Enter pressed and released on one control.
void Enter(App& app, ControlId id) {
  OnEnterPressed(app, id);
  OnEnterKey(app, id);
}

TEST(EnterKey, InAFieldCommitsThenOnStoreWritesNothing) {
  Connected c;
  AppHarness& h = c.h;
  const uint32_t exchanges = c.unit->ExchangeCount();
  h.panel.UserFocuses(kHoldTime);
  h.panel.UserTypes(kHoldTime, u"1500");
  Enter(h.app, kHoldTime);
  EXPECT_EQ(h.panel.focus, kStore);
  EXPECT_EQ(GetU16(h.app.image, kHoldTimeOffset), 1500);
  Enter(h.app, kStore);
  EXPECT_EQ(c.unit->ExchangeCount(), exchanges);
  EXPECT_TRUE(h.panel.boxes.empty());
  // Enter on "Load file" opens its dialog, as a click does.
  Enter(h.app, kLoadFile);
  EXPECT_EQ(h.panel.open_dialogs, 1);
}

// A release counts only on the control its press reached. The Return that
// closes a box (the "saved" box here) is pressed in the box and released over
// the button that gets the focus back; that release must not click it again.
TEST(EnterKey, AReleaseCountsOnlyWhereItsPressWent) {
  enum Step : uint8_t { Press, Release, Notice };
  struct Key {
    Step step;
    ControlId id;
  };
  const struct {
    const char* what;
    ControlId focus_before;
    std::vector<Key> keys;
    int save_dialogs;
    ControlId focus_after;
  } rows[] = {
      {"pressed and released on Save file", kSaveFile, {{Press, kSaveFile}, {Release, kSaveFile}}, 1, kSaveFile},
      {"a release alone", kSaveFile, {{Release, kSaveFile}}, 0, kSaveFile},
      {"the box's Return released after the first",
       kSaveFile, {{Press, kSaveFile}, {Release, kSaveFile}, {Release, kSaveFile}}, 1, kSaveFile},
      {"held (repeated presses), released once",
       kSaveFile, {{Press, kSaveFile}, {Press, kSaveFile}, {Release, kSaveFile}}, 1, kSaveFile},
      {"pressed on Load file", kSaveFile, {{Press, kLoadFile}, {Release, kSaveFile}}, 0, kSaveFile},
      {"pressed in a field", kSaveFile, {{Press, kHoldTime}, {Release, kSaveFile}}, 0, kSaveFile},
      {"a device notice between", kSaveFile, {{Press, kSaveFile}, {Notice, 0}, {Release, kSaveFile}}, 0, kSaveFile},
      {"a field, pressed and released", kHoldTime, {{Press, kHoldTime}, {Release, kHoldTime}}, 0, kStore},
      {"a field, a release alone", kHoldTime, {{Release, kHoldTime}}, 0, kHoldTime},
      {"a field, pressed on Save file", kHoldTime, {{Press, kSaveFile}, {Release, kHoldTime}}, 0, kHoldTime},
  };
  const std::string file = (std::filesystem::temp_directory_path() / "tavio-enter-release.bin").string();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Connected c;
    AppHarness& h = c.h;
    h.panel.UserFocuses(row.focus_before);
    h.panel.save_files.assign(2, file);
    for (const Key& key : row.keys) {
      switch (key.step) {
        case Press: OnEnterPressed(h.app, key.id); break;
        case Release: OnEnterKey(h.app, key.id); break;
        case Notice: EXPECT_TRUE(OnDeviceChange(h.app, DeviceNotice{kDeviceArrival, kDeviceTypeInterface, "/x"}));
      }
    }
    EXPECT_EQ(h.panel.save_dialogs, row.save_dialogs);
    EXPECT_EQ(h.panel.boxes.size(), size_t(row.save_dialogs));  // "saved"
    EXPECT_EQ(h.panel.focus, row.focus_after);
  }
  std::remove(file.c_str());
}

// After a readout the settings shown are the ESC's; each way of changing the
// image may make them differ, and changing it back makes them match again.
TEST(UnstoredMark, FollowsTheDifferenceFromTheEsc) {
  const std::string file = (std::filesystem::temp_directory_path() / "tavio-window-state.bin").string();
  const struct {
    const char* what;
    void (*act)(Connected&, const std::string&);
    bool differs;
  } rows[] = {
      {"hold time edited", [](Connected& c, const std::string&) {
         c.h.panel.UserFocuses(kHoldTime);
         c.h.panel.UserTypes(kHoldTime, u"1500");
         c.h.panel.UserFocuses(kStore);
       }, true},
      {"hold time left as it was", [](Connected& c, const std::string&) {
         c.h.panel.UserFocuses(kHoldTime);
         c.h.panel.UserFocuses(kStore);
       }, false},
      {"edited and edited back", [](Connected& c, const std::string&) {
         c.h.panel.UserFocuses(kHoldTime);
         c.h.panel.UserTypes(kHoldTime, u"1500");
         c.h.panel.UserFocuses(kStore);
         c.h.panel.UserFocuses(kHoldTime);
         c.h.panel.UserTypes(kHoldTime, u"2000");
         c.h.panel.UserFocuses(kStore);
       }, false},
      {"check box", [](Connected& c, const std::string&) { c.h.panel.UserClicks(kReverseRotation); }, true},
      {"pole count arrows", [](Connected& c, const std::string&) {
         c.h.panel.State(kPoleCount).text = u"4";
         OnArrows(c.h.app);
       }, true},
      {"default set", [](Connected& c, const std::string&) {
         c.h.panel.defaults_answers.push_back(model_type::kHelicopter);
         c.h.panel.UserClicks(kLoadDefaults);
       }, true},
      {"file load", [](Connected& c, const std::string& path) {
         ConfigImage other = c.h.app.image;
         PutU16(other, kHoldTimeOffset, 700);
         SealImage(other, *SaveChecksum(kFamilyBrenta, kParamVersion92B));
         std::string error;
         ASSERT_TRUE(WriteConfigFile(path, kFamilyBrenta, other, error)) << error;
         c.h.panel.open_files.push_back(path);
         c.h.panel.UserClicks(kLoadFile);
         ASSERT_TRUE(c.h.panel.boxes.empty());
       }, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Connected c;
    EXPECT_FALSE(ShownDiffersFromEsc(c.h.app));
    row.act(c, file);
    EXPECT_EQ(ShownDiffersFromEsc(c.h.app), row.differs);
    EXPECT_EQ(c.h.panel.unstored_mark, row.differs);
    // Unplugged there is nothing to differ from.
    c.h.port.Unplug(kHarnessUnitPath);
    EXPECT_FALSE(ShownDiffersFromEsc(c.h.app));
    EXPECT_FALSE(c.h.panel.unstored_mark);
  }
  std::remove(file.c_str());
}

TEST(StoreCommand, BusyWhileWritingThenTheEscHoldsWhatIsShown) {
  Connected c;
  AppHarness& h = c.h;
  h.panel.UserFocuses(kHoldTime);
  h.panel.UserTypes(kHoldTime, u"1500");
  h.panel.UserFocuses(kStore);
  ASSERT_TRUE(h.panel.unstored_mark);
  h.panel.ClearLog();
  c.unit->ClearTranscript();
  h.panel.UserClicks(kStore);
  EXPECT_EQ(c.EscHoldTime(), 1500);
  EXPECT_FALSE(ShownDiffersFromEsc(h.app));
  // Busy before the first report and until the success box has been
  // answered; the mark goes as soon as the ESC holds the block.
  ASSERT_FALSE(c.unit->Transcript().empty());
  const std::vector<std::string> want = {
      "SetBusy 1", "MarkUnstored 0", "Box information [] " + ToUtf8(Loaded(sid::kStoreSucceeded)), "SetBusy 0"};
  std::vector<std::string> seen;
  for (const std::string& call : h.panel.calls) {
    if (!call.starts_with("SetText 242")) seen.push_back(call);
  }
  EXPECT_EQ(seen, want);
  EXPECT_FALSE(h.panel.busy);
}

TEST(StoreCommand, ASecondStoreFromInsideTheFirstStartsNothing) {
  Connected c;
  AppHarness& h = c.h;
  uint32_t exchanges_at_box = 0;
  int boxes_open = 0;
  h.panel.on_box = [&](const MessageBoxRequest&) {
    if (++boxes_open > 1) return;  // only the first box clicks again
    exchanges_at_box = c.unit->ExchangeCount();
    h.panel.UserClicks(kStore);
    EXPECT_EQ(c.unit->ExchangeCount(), exchanges_at_box);
  };
  h.panel.UserClicks(kStore);
  EXPECT_GT(exchanges_at_box, 0u);
  EXPECT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(h.panel.FindCall("SetBusy 1", size_t(h.panel.FindCall("SetBusy 1") + 1)), -1);
  h.panel.on_box = nullptr;
  h.panel.UserClicks(kStore);  // once over, the next click stores again
  EXPECT_GT(c.unit->ExchangeCount(), exchanges_at_box);
}

// What Enter and closing a box answer, and which pressed answers count: a
// window carries these out as the request says.
TEST(BoxRequest, AnswersFollowTheButtons) {
  using A = BoxAnswer;
  const std::optional<A> none;
  const struct {
    BoxButtons buttons;
    A enter, closed;
    // The answer for nothing pressed, then Ok, Yes, No, Retry, Cancel pressed.
    std::vector<A> given;
  } rows[] = {
      {BoxButtons::Ok, A::Ok, A::Ok, {A::Ok, A::Ok, A::Ok, A::Ok, A::Ok, A::Ok}},
      {BoxButtons::YesNo, A::Yes, A::No, {A::No, A::No, A::Yes, A::No, A::No, A::No}},
      {BoxButtons::RetryCancel, A::Retry, A::Cancel, {A::Cancel, A::Cancel, A::Cancel, A::Cancel, A::Retry, A::Cancel}},
      {BoxButtons::YesNoCancel, A::Cancel, A::Cancel, {A::Cancel, A::Cancel, A::Yes, A::No, A::Cancel, A::Cancel}},
  };
  for (const auto& row : rows) {
    const MessageBoxRequest request(u"text", u"caption", BoxIcon::Warning, row.buttons);
    EXPECT_EQ(std::pair(request.default_answer, request.closed_answer), std::pair(row.enter, row.closed))
        << int(row.buttons);
    std::vector<A> given;
    for (const std::optional<A> pressed : {none, std::optional(A::Ok), std::optional(A::Yes), std::optional(A::No),
                                            std::optional(A::Retry), std::optional(A::Cancel)}) {
      given.push_back(request.AnswerFor(pressed));
    }
    EXPECT_EQ(given, row.given) << int(row.buttons);
  }
}

TEST(CloseRequest, AsksOnlyWhileTheShownSettingsDifferFromTheEsc) {
  const MessageBoxRequest question{Loaded(sid::kCloseUnstored), Text(), BoxIcon::Warning, BoxButtons::YesNoCancel};
  const struct {
    const char* what;
    bool connected, edit, fail_store;
    std::vector<BoxAnswer> answers;
    bool closes;
    bool stored;  // the ESC holds the edit after
    size_t boxes;  // the question included
    bool mark;     // the unstored mark after (a failed store leaves no ESC to differ from)
  } rows[] = {
      {"nothing changed", true, false, false, {}, true, false, 0, false},
      {"not connected", false, true, false, {}, true, false, 0, false},
      {"no", true, true, false, {BoxAnswer::No}, true, false, 1, true},
      {"cancel", true, true, false, {BoxAnswer::Cancel}, false, false, 1, true},
      {"yes", true, true, false, {BoxAnswer::Yes}, true, true, 2, false},
      {"yes, store fails", true, true, true, {BoxAnswer::Yes}, false, false, 3, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Connected c;
    AppHarness& h = c.h;
    const uint16_t esc_before = c.EscHoldTime();
    ASSERT_NE(esc_before, 1500);
    if (row.edit) {
      // Typed and not yet left: closing judges it as leaving the field would.
      h.panel.UserFocuses(kHoldTime);
      h.panel.UserTypes(kHoldTime, u"1500");
    }
    if (!row.connected) h.port.Unplug(kHarnessUnitPath);
    if (row.fail_store) c.unit->faults().errors.push_back({sim::Trigger::OnCommand(cmd::kEraseConfig), 0x33});
    h.panel.boxes.clear();
    h.panel.box_answers.assign(row.answers.begin(), row.answers.end());
    EXPECT_EQ(OnCloseRequest(h.app), row.closes);
    EXPECT_EQ(c.EscHoldTime(), row.stored ? 1500 : esc_before);
    ASSERT_EQ(h.panel.boxes.size(), row.boxes);
    if (row.boxes > 0) { EXPECT_EQ(h.panel.boxes[0], question); }
    EXPECT_EQ(h.panel.unstored_mark, row.mark);
  }
}

// Closing again while the question is open (a second click on the close
// box from inside its loop) keeps the window and asks nothing more.
TEST(CloseRequest, ASecondRequestWhileAskingAsksNothing) {
  Connected c;
  AppHarness& h = c.h;
  h.panel.UserFocuses(kHoldTime);
  h.panel.UserTypes(kHoldTime, u"1500");
  h.panel.UserFocuses(kStore);
  bool nested_closes = true;
  h.panel.on_box = [&](const MessageBoxRequest&) {
    h.panel.on_box = nullptr;
    nested_closes = OnCloseRequest(h.app);
  };
  h.panel.box_answers = {BoxAnswer::Cancel};
  EXPECT_FALSE(OnCloseRequest(h.app));
  EXPECT_FALSE(nested_closes);
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(h.panel.boxes[0].text, Loaded(sid::kCloseUnstored));
  EXPECT_FALSE(h.app.close_asking);
  // Once answered, the next request asks again.
  h.panel.box_answers = {BoxAnswer::No};
  EXPECT_TRUE(OnCloseRequest(h.app));
  EXPECT_EQ(h.panel.boxes.size(), 2u);
}

// An ESC whose checksum is stale shows no mark for that alone: saving a file
// seals the window's copy (only its checksum changes), and the block a store
// would write is still the one the ESC holds.
TEST(UnstoredMark, AStaleChecksumOnTheEscIsNoDifference) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  unit.MutableEeprom()[0x20] ^= 0x10;  // inside the checksummed part: the ESC's checksum is wrong now
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 1u);  // damaged, and no backup to offer
  ASSERT_TRUE(h.app.esc_image_known);
  const std::string file = (std::filesystem::temp_directory_path() / "tavio-stale-checksum.bin").string();
  h.panel.save_files.push_back(file);
  const ConfigImage before = h.app.image;
  h.panel.UserClicks(kSaveFile);
  ASSERT_EQ(h.panel.boxes.size(), 2u);
  EXPECT_EQ(h.panel.boxes[1].text, Loaded(sid::kFileSaved));
  ASSERT_NE(h.app.image.bytes, before.bytes) << "saving seals the window's copy";
  EXPECT_FALSE(ShownDiffersFromEsc(h.app));
  EXPECT_FALSE(h.panel.unstored_mark);
  // A real change still shows.
  h.panel.UserFocuses(kHoldTime);
  h.panel.UserTypes(kHoldTime, u"1500");
  h.panel.UserFocuses(kStore);
  EXPECT_TRUE(h.panel.unstored_mark);
  std::remove(file.c_str());
}

// Erased, the ESC holds no block: a whole one loaded differs from it.
TEST(UnstoredMark, AnErasedEscDiffersFromAWholeBlock) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  std::fill(unit.MutableEeprom().begin(), unit.MutableEeprom().end(), 0xFF);
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 1u);  // erased, and no backup to offer
  ASSERT_EQ(BlockLength(h.app.image), 0xFFFF);
  EXPECT_FALSE(h.panel.unstored_mark);
  h.panel.defaults_answers = {model_type::kHelicopter};
  h.panel.UserClicks(kLoadDefaults);
  ASSERT_EQ(BlockLength(h.app.image), 92);
  EXPECT_TRUE(ShownDiffersFromEsc(h.app));
  EXPECT_TRUE(h.panel.unstored_mark);
}

// The unit goes while the restore is offered: Yes then replaces nothing and
// stores nothing.
TEST(RestoreOffer, UnpluggedWhileAskingRestoresNothing) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  ConfigImage backup;
  std::copy_n(unit.Eeprom().begin(), kImageSize, backup.bytes.begin());
  PutU16(backup, kHoldTimeOffset, 1234);
  SealImage(backup, *StoreChecksum(kFamilyBrenta, kParamVersion92B));
  ASSERT_EQ(BackUpEscBlock(h.data_home.backups().string(), kFamilyBrenta, 160, kParamVersion92B, backup, 2000).status,
            BackupStatus::Written);
  unit.MutableEeprom()[0x20] ^= 0x10;  // damaged
  bool unplugged = false;
  h.panel.on_box = [&](const MessageBoxRequest&) {
    if (std::exchange(unplugged, true)) return;
    h.port.Unplug(kHarnessUnitPath);
  };
  h.panel.box_answers = {BoxAnswer::Ok, BoxAnswer::Yes};  // the box of the lost unit, then the offer
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 2u);
  EXPECT_EQ(h.panel.boxes[0].buttons, BoxButtons::YesNo);
  EXPECT_EQ(h.panel.boxes[1].text.substr(0, 20), Loaded(sid::kConnectionLost).substr(0, 20));
  EXPECT_NE(GetU16(h.app.image, kHoldTimeOffset), 1234);
  EXPECT_FALSE(IsConnected(h.app.link));
}

TEST(CloseRequest, AfterAStoreClosingAsksNothing) {
  Connected c;
  AppHarness& h = c.h;
  h.panel.UserFocuses(kHoldTime);
  h.panel.UserTypes(kHoldTime, u"1500");
  h.panel.UserFocuses(kStore);
  h.panel.UserClicks(kStore);
  h.panel.boxes.clear();
  EXPECT_TRUE(OnCloseRequest(h.app));
  EXPECT_TRUE(h.panel.boxes.empty());
}

}  // namespace
}  // namespace tavio::test
