// The native window wired to the core over the simulated unit, as wWinMain
// wires it: what the window's messages do, what reaches the ESC, the boxes
// and dialogs, hover help, colours, device notices and closing.

#include <filesystem>
#include <cstdlib>
#include <fstream>

#include "core/files/config_file.h"
#include "core/files/defaults.h"
#include "core/link/protocol.h"
#include "core/model/bytes.h"
#include "core/text/string_table.h"
#include "platform/windows/wide_text.h"
#include "win32/skin.h"
#include "window_fixture.h"

// After <windows.h>, which the fixture brings.
#include <commctrl.h>
#include <dbt.h>

using namespace tavio;
using namespace tavio::win32;
using namespace tavio::win32::test;

namespace {

constexpr size_t kHoldTimeOffset = 0x12;
constexpr size_t kPoleCountOffset = 0x48;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(150, 150, 150);
const std::u16string kStored = u"The configuration parameters have been transferred to the ESC successfully";
const std::u16string kNotConnected = u"TAVIO (Version 01.02.00): Not connected";

std::u16string Help(StringId id) { return std::u16string(LookUpString(Language::English, id)); }

uint16_t EscHoldTime(WindowRun& run) { return GetU16(run.Unit().Eeprom(), kHoldTimeOffset); }

bool StartsWith(const std::u16string& text, const std::u16string& start) { return text.rfind(start, 0) == 0; }

// The ESC's erase requests so far: one per store.
int Stores(WindowRun& run) {
  int erases = 0;
  for (const sim::TranscriptEntry& e : run.Unit().Transcript()) {
    erases += e.direction == sim::ReportDirection::ToUnit && e.command == cmd::kEraseConfig ? 1 : 0;
  }
  return erases;
}

// A key as the keyboard sends it: queued for the focused control, then
// taken through the window's loop.
void Key(WindowRun& run, HWND control, UINT message, WPARAM key) {
  PostMessageW(control, message, key, message == WM_KEYUP ? 0xC01C0001 : 0x001C0001);
  run.Pump();
}

TEST(WindowTest, StartsConnectedWithTheEscsSettingsAndNoBox) {
  WindowRun run;
  EXPECT_EQ(run.Title(), u"TAVIO (Version 01.02.00): Connected with BRENTA 160");
  EXPECT_EQ(run.Text(ctl::kBecVoltage), u"5.6V");
  EXPECT_EQ(run.Text(ctl::kHoldTime), u"2000ms");
  EXPECT_EQ(run.Text(ctl::kLabelUnitName), u"LINKBOX");
  EXPECT_TRUE(IsWindowEnabled(run.Control(ctl::kStore)));
  EXPECT_TRUE(IsWindowVisible(run.Main()));
  EXPECT_TRUE(run.dialogs.boxes.empty());
  EXPECT_FALSE(run.window().UnstoredMarkShown());
}

TEST(WindowTest, WithoutAUnitTheInstructionBoxAndDisabledFields) {
  WindowRun run(nullptr);
  ASSERT_EQ(run.dialogs.boxes.size(), 1u);
  EXPECT_TRUE(StartsWith(run.dialogs.boxes[0].text, u"No programming unit was found on the USB Port."));
  EXPECT_EQ(run.dialogs.boxes[0].icon, BoxIcon::Information);
  EXPECT_EQ(run.dialogs.boxes[0].caption, u"");
  EXPECT_EQ(run.Title(), kNotConnected);
  EXPECT_FALSE(IsWindowEnabled(run.Control(ctl::kStore)));
  EXPECT_FALSE(IsWindowEnabled(run.Control(ctl::kHoldTime)));
}

TEST(WindowTest, StoreOnEscWritesTheTypedHoldTime) {
  WindowRun run;
  run.Type(ctl::kHoldTime, L"1500");
  EXPECT_EQ(run.Text(ctl::kHoldTime), u"1500ms");
  EXPECT_TRUE(run.window().UnstoredMarkShown());
  EXPECT_EQ(EscHoldTime(run), 2000);
  bool busy_while_writing = false;
  run.sleeper.on_pause = [&](size_t, uint32_t) {
    busy_while_writing = run.window().Busy() &&
                         (SendMessageW(run.Control(ctl::kStore), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  };
  run.Click(ctl::kStore);
  EXPECT_TRUE(busy_while_writing);
  EXPECT_FALSE(run.window().Busy());
  EXPECT_EQ(EscHoldTime(run), 1500);
  ASSERT_EQ(run.dialogs.boxes.size(), 1u);
  EXPECT_EQ(run.dialogs.boxes[0].text, kStored);
  EXPECT_FALSE(run.window().UnstoredMarkShown());
}

// Clicks and keys made while the ESC is written wait in the queue. Before
// the box that ends the store they are dropped, so they cannot answer it;
// those made while it is open are dropped when the store ends. Neither is
// acted on after.
TEST(WindowTest, InputDuringAStoreIsDropped) {
  enum When : uint8_t { WhileWriting, WhileTheBoxIsOpen };
  for (When when : {WhileWriting, WhileTheBoxIsOpen}) {
    SCOPED_TRACE(when == WhileWriting ? "while writing" : "while the box is open");
    WindowRun run;
    HWND store = run.Control(ctl::kStore);
    SetFocus(store);
    run.Pump();
    RECT area{};
    GetClientRect(store, &area);
    const LPARAM middle = MAKELPARAM(area.right / 2, area.bottom / 2);
    const auto click = [&] {
      PostMessageW(store, WM_LBUTTONDOWN, MK_LBUTTON, middle);
      PostMessageW(store, WM_LBUTTONUP, 0, middle);
    };
    const auto space = [&] {
      PostMessageW(store, WM_KEYDOWN, VK_SPACE, 0x00390001);
      PostMessageW(store, WM_KEYUP, VK_SPACE, 0xC0390001);
    };
    const auto click_and_space = [&] {
      click();
      space();
    };
    int pauses = 0;
    run.sleeper.on_pause = [&](size_t, uint32_t) {
      if (++pauses == 1 && when == WhileWriting) click_and_space();
    };
    std::vector<bool> input_queued_at_box;
    run.dialogs.while_box_open = [&] {
      MSG message;
      input_queued_at_box.push_back(PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) ||
                                    PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
      if (when == WhileTheBoxIsOpen && input_queued_at_box.size() == 1) click_and_space();
    };
    run.Click(ctl::kStore);
    run.sleeper.on_pause = nullptr;
    run.dialogs.while_box_open = nullptr;
    EXPECT_GT(pauses, 0);
    EXPECT_EQ(Stores(run), 1);
    EXPECT_EQ(input_queued_at_box, std::vector<bool>{false});
    ASSERT_EQ(run.dialogs.boxes.size(), 1u);
    EXPECT_EQ(run.dialogs.boxes[0].text, kStored);
    // The same input once the store is over stores again, each.
    click();
    run.Pump();
    EXPECT_EQ(Stores(run), 2);
    space();
    run.Pump();
    EXPECT_EQ(Stores(run), 3);
  }
}

// Only a click (notification 0) stores.
TEST(WindowTest, StoreButtonWithAnotherNotificationDoesNothing) {
  WindowRun run;
  run.Type(ctl::kHoldTime, L"1500");
  run.Command(ctl::kStore, BN_DOUBLECLICKED);
  EXPECT_EQ(EscHoldTime(run), 2000);
  EXPECT_TRUE(run.dialogs.boxes.empty());
}

TEST(WindowTest, EnterReleasedInAFieldCommitsWithoutWriting) {
  WindowRun run;
  const uint32_t exchanges = run.Unit().ExchangeCount();
  HWND hold = run.Control(ctl::kHoldTime);
  SetFocus(hold);
  run.Pump();
  SetWindowTextW(hold, L"1200");
  Key(run, hold, WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(GetFocus(), hold);
  Key(run, hold, WM_KEYUP, VK_RETURN);
  EXPECT_EQ(GetFocus(), run.Control(ctl::kStore));
  EXPECT_EQ(run.Text(ctl::kHoldTime), u"1200ms");
  EXPECT_EQ(GetU16(run.app().image.bytes, kHoldTimeOffset), 1200);
  EXPECT_EQ(run.Unit().ExchangeCount(), exchanges);
  EXPECT_TRUE(run.dialogs.boxes.empty());
}

// Enter on a push button goes to the core before the dialog navigation
// could click it: "Store on ESC" ignores it, the other buttons are clicked.
TEST(WindowTest, EnterOnCommandButtons) {
  struct Row {
    ControlId id;
    int open_dialogs, save_dialogs;
    size_t defaults_dialogs;
  };
  const std::vector<Row> rows = {
      {ctl::kStore, 0, 0, 0}, {ctl::kLoadFile, 1, 0, 0}, {ctl::kSaveFile, 0, 1, 0}, {ctl::kLoadDefaults, 0, 0, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    WindowRun run;
    run.Type(ctl::kHoldTime, L"1500");
    HWND button = run.Control(row.id);
    SetFocus(button);
    for (UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP}) {
      const MSG enter{button, message, message == WM_CHAR ? WPARAM{L'\r'} : WPARAM{VK_RETURN}, 0, 0, {0, 0}};
      EXPECT_TRUE(run.window().PreTranslate(enter));
      run.Pump();
    }
    EXPECT_EQ(EscHoldTime(run), 2000);
    EXPECT_EQ(run.dialogs.open_dialogs, row.open_dialogs);
    EXPECT_EQ(run.dialogs.save_dialogs, row.save_dialogs);
    EXPECT_EQ(run.dialogs.defaults_asked.size(), row.defaults_dialogs);
  }
}

// The Return that closes a box or dialog is pressed there and released over
// the button that gets the focus back: that release clicks nothing. The
// next whole Return clicks again.
TEST(WindowTest, ReturnClosingABoxClicksNothingBehindIt) {
  enum File : uint8_t { Cancelled, Saved, MissingFolder, Valid, NotValid };
  struct Row {
    const char* what;
    ControlId id;
    File file;
    int defaults_answer;
    const char16_t* box;  // how the box shown begins; nullptr: none
  };
  const std::vector<Row> rows = {
      {"Save file, saved", ctl::kSaveFile, Saved, 0, u"Settings saved successfully!"},
      {"Save file, not saved", ctl::kSaveFile, MissingFolder, 0, u"The settings could not be saved to "},
      {"Save file, cancelled", ctl::kSaveFile, Cancelled, 0, nullptr},
      {"Load file, loaded", ctl::kLoadFile, Valid, 0, nullptr},
      {"Load file, refused, Cancel", ctl::kLoadFile, NotValid, 0, u"The selected file is not a valid memory file"},
      {"Load file, cancelled", ctl::kLoadFile, Cancelled, 0, nullptr},
      {"Load defaults, OK", ctl::kLoadDefaults, Cancelled, model_type::kHelicopter, nullptr},
      {"Load defaults, Cancel", ctl::kLoadDefaults, Cancelled, 0, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    WindowRun run;
    const std::filesystem::path folder = run.data_home.folder();
    const std::string valid = (folder / "valid.bin").string();
    std::string error;
    ASSERT_TRUE(WriteConfigFile(valid, 200, run.app().image, error)) << error;
    const std::string not_valid = (folder / "not-valid.bin").string();
    std::ofstream(not_valid, std::ios::binary) << "short";
    switch (row.file) {
      case Cancelled: run.dialogs.file.reset(); break;
      case Saved: run.dialogs.file = (folder / "saved.bin").string(); break;
      case MissingFolder: run.dialogs.file = (folder / "none" / "x.bin").string(); break;
      case Valid: run.dialogs.file = valid; break;
      case NotValid: run.dialogs.file = not_valid; break;
    }
    run.dialogs.box_answers = {BoxAnswer::Cancel};
    run.dialogs.defaults_answer = row.defaults_answer;
    const auto dialogs = [&] {
      return run.dialogs.open_dialogs + run.dialogs.save_dialogs + static_cast<int>(run.dialogs.defaults_asked.size());
    };
    HWND button = run.Control(row.id);
    SetFocus(button);
    run.Pump();
    Key(run, button, WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(dialogs(), 0);
    Key(run, button, WM_KEYUP, VK_RETURN);
    EXPECT_EQ(dialogs(), 1);
    if (row.box == nullptr) {
      EXPECT_TRUE(run.dialogs.boxes.empty());
    } else {
      ASSERT_EQ(run.dialogs.boxes.size(), 1u);
      EXPECT_TRUE(StartsWith(run.dialogs.boxes[0].text, row.box)) << ToUtf8(run.dialogs.boxes[0].text);
    }
    EXPECT_EQ(GetFocus(), button);
    Key(run, button, WM_KEYUP, VK_RETURN);  // the Return that closed the box or dialog
    EXPECT_EQ(dialogs(), 1);
    Key(run, button, WM_KEYDOWN, VK_RETURN);
    Key(run, button, WM_KEYUP, VK_RETURN);
    EXPECT_EQ(dialogs(), 2);
    EXPECT_EQ(Stores(run), 0);
  }
}

TEST(WindowTest, DigitsOnlyFieldsRefuseLetters) {
  WindowRun run;
  struct Row {
    ControlId id;
    std::u16string after;
  };
  const std::vector<Row> rows = {{ctl::kHoldTime, u"15"}, {ctl::kGearRatio, u"1a5"}};
  for (const Row& row : rows) {
    HWND field = run.Control(row.id);
    SetFocus(field);
    SetWindowTextW(field, L"");
    for (wchar_t c : std::wstring(L"1a5")) SendMessageW(field, WM_CHAR, c, 0);
    EXPECT_EQ(run.Text(row.id), row.after);
  }
}

TEST(WindowTest, ArrowsStepThePoleCountByTwo) {
  struct Row {
    WPARAM key;
    uint16_t poles;
  };
  for (const Row& row : {Row{VK_UP, 4}, Row{VK_DOWN, 2}}) {
    WindowRun run;
    ASSERT_EQ(GetU16(run.app().image.bytes, kPoleCountOffset), 2);
    HWND field = run.Control(ctl::kPoleCount);
    SetFocus(field);
    SendMessageW(field, WM_KEYDOWN, row.key, 0);
    run.Pump();
    EXPECT_EQ(run.Text(ctl::kPoleCount), Text(row.poles == 4 ? u"4" : u"2"));
    EXPECT_EQ(GetU16(run.app().image.bytes, kPoleCountOffset), row.poles);
    EXPECT_TRUE(run.dialogs.boxes.empty());
  }
}

// The mouse reaches the window over labels, group boxes and disabled
// controls; the help follows a rest of 100 ms.
TEST(WindowTest, RestShowsTheHelpOfThePoint) {
  struct Row {
    int x, y;
    StringId help;  // 0: nothing pending
  };
  const std::vector<Row> rows = {
      {335, 270, 333},  // hold time label
      {645, 410, 336},  // max. starting current label, BRENTA
      {515, 510, 305},  // disabled fixed timing field
      {1000, 500, 0},   // Comment box, over the help field
      {300, 320, 0},    // background
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.help);
    WindowRun run;
    const std::u16string before = run.Text(ctl::kHelpField);
    run.MoveMouse(row.x, row.y);
    if (row.help == 0) {
      EXPECT_FALSE(run.rest.Pending());
      continue;
    }
    ASSERT_TRUE(run.rest.pending.has_value());
    EXPECT_EQ(run.rest.pending->count(), 100);
    EXPECT_EQ(run.Text(ctl::kHelpField), before);
    run.rest.Fire();
    EXPECT_EQ(run.Text(ctl::kHelpField), Help(row.help));
  }
}

TEST(WindowTest, MouseLeavingCancelsTheRest) {
  WindowRun run;
  run.MoveMouse(335, 270);
  ASSERT_TRUE(run.rest.Pending());
  SendMessageW(run.Main(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(run.rest.Pending());
}

TEST(WindowTest, HoverWaitsForTheFocusedFieldsCommit) {
  WindowRun run;
  SetFocus(run.Control(ctl::kHoldTime));
  run.Pump();
  run.MoveMouse(25, 45);
  EXPECT_FALSE(run.rest.Pending());
  EXPECT_EQ(run.Text(ctl::kHelpField), Help(333));
  SetFocus(run.Main());
  run.Pump();
  run.MoveMouse(25, 45);
  run.rest.Fire();
  EXPECT_EQ(run.Text(ctl::kHelpField), Help(300));
}

// The window's own tracking: the hover notice shows the help only while a
// rest is pending.
TEST(WindowTest, TrackingRestTimerElapsesOnTheHoverNotice) {
  WindowRun run;
  TrackingRestTimer& timer = run.window().HoverTimer();
  int elapsed = 0;
  timer.Restart(std::chrono::milliseconds(100), [&] { ++elapsed; });
  EXPECT_TRUE(timer.Pending());
  SendMessageW(run.Main(), WM_MOUSEHOVER, 0, 0);
  EXPECT_EQ(elapsed, 1);
  EXPECT_FALSE(timer.Pending());
  SendMessageW(run.Main(), WM_MOUSEHOVER, 0, 0);
  timer.Restart(std::chrono::milliseconds(100), [&] { ++elapsed; });
  timer.Cancel();
  SendMessageW(run.Main(), WM_MOUSEHOVER, 0, 0);
  EXPECT_EQ(elapsed, 1);
}

// What a static text or field is told to draw with.
COLORREF TextColourOf(WindowRun& run, ControlId id, HBRUSH* brush = nullptr) {
  HDC dc = CreateCompatibleDC(nullptr);
  const UINT message = IsEditField(run.Control(id)) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
  const LRESULT result = SendMessageW(run.Main(), message, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(run.Control(id)));
  if (brush != nullptr) *brush = reinterpret_cast<HBRUSH>(result);
  const COLORREF colour = GetTextColor(dc);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  DeleteDC(dc);
  return colour;
}

TEST(WindowTest, TextColoursFollowTheConnectionAndFamily) {
  struct Row {
    const char* esc;
    ControlId id;
    COLORREF colour;
  };
  const std::vector<Row> rows = {
      {kBrenta, ctl::kLabelBecVoltage, kWhite},      {kBrenta, ctl::kLabelReverseRotation, kWhite},
      {kBrenta, ctl::kLabelSoftStart, kGrey},        {kBrenta, ctl::kHoldTime, kWhite},
      {"ALDER", ctl::kLabelForwardBackward, kGrey},  {"DELMAR-Z", ctl::kLabelShutdown, kGrey},
      {nullptr, ctl::kLabelReverseRotation, kGrey},  {nullptr, ctl::kEscFirmwareVersion, kGrey},
      {nullptr, ctl::kLabelBecVoltage, kWhite},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.esc != nullptr ? row.esc : "none") + " " + std::to_string(row.id));
    WindowRun run(row.esc);
    HBRUSH brush = nullptr;
    EXPECT_EQ(TextColourOf(run, row.id, &brush), row.colour);
    EXPECT_EQ(brush, SkinBrush(GetModuleHandleW(nullptr)));
  }
}

TEST(WindowTest, UnplugTheUnitShowsTheNotConnectedWindowThenTheBox) {
  WindowRun run;
  std::u16string title_at_box;
  run.dialogs.while_box_open = [&] { title_at_box = run.Title(); };
  run.session->sim_port()->Unplug(frontend::kSimulatedUnitPath);
  run.Pump();
  ASSERT_EQ(run.dialogs.boxes.size(), 1u);
  EXPECT_TRUE(StartsWith(run.dialogs.boxes[0].text,
                         u"The USB Connection between programming unit and PC was lost. To program the ESC"));
  EXPECT_EQ(title_at_box, kNotConnected);
  EXPECT_FALSE(IsWindowEnabled(run.Control(ctl::kStore)));
}

// A field taken away while the user types in it commits what was typed,
// and the focus goes to the window without a further word to the core.
TEST(WindowTest, UnplugWhileTypingCommitsThenParksTheFocus) {
  WindowRun run;
  HWND hold = run.Control(ctl::kHoldTime);
  SetFocus(hold);
  run.Pump();
  SetWindowTextW(hold, L"1500");
  run.session->sim_port()->Unplug(frontend::kSimulatedUnitPath);
  run.Pump();
  EXPECT_FALSE(IsWindowEnabled(hold));
  EXPECT_EQ(GetFocus(), run.Main());
  EXPECT_EQ(GetU16(run.app().image.bytes, kHoldTimeOffset), 1500);
  EXPECT_EQ(run.Text(ctl::kHoldTime), u"1500ms");
  EXPECT_EQ(run.app().focused_field, 0);
  EXPECT_TRUE(run.app().hover_ready);
}

// --sim-unplug-after: the unit vanishes in the middle of the store; the
// notice waits for the loop, and no success is claimed.
TEST(WindowTest, UnplugInTheMiddleOfTheStore) {
  WindowRun run(kBrenta, {"--sim-unplug-after", "12"});
  run.Type(ctl::kHoldTime, L"1500");
  run.Click(ctl::kStore);
  ASSERT_FALSE(run.dialogs.boxes.empty());
  for (const MessageBoxRequest& box : run.dialogs.boxes) EXPECT_NE(box.text, kStored);
  EXPECT_EQ(run.Title(), kNotConnected);
  EXPECT_EQ(run.session->sim_port()->PendingNoticeCount(), 0u);
}

// A device notice through the window's own WM_DEVICECHANGE, the path's
// letter case aside.
TEST(WindowTest, RemovalNoticeOfTheOpenUnitDisconnects) {
  WindowRun run;
  std::wstring name = Utf8ToWide(run.app().link.device_path.value()).value();
  for (wchar_t& c : name) c = static_cast<wchar_t>(towupper(c));
  std::vector<DWORD> record((offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (name.size() + 1) * 2 + 3) / 4);
  auto* notice = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(record.data());
  notice->dbcc_size = static_cast<DWORD>(record.size() * 4);
  notice->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  std::wcscpy(notice->dbcc_name, name.c_str());
  EXPECT_EQ(SendMessageW(run.Main(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), FALSE);
  EXPECT_EQ(run.Title(), u"TAVIO (Version 01.02.00): Connected with BRENTA 160");
  EXPECT_EQ(SendMessageW(run.Main(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(notice)),
            TRUE);
  EXPECT_EQ(run.Title(), kNotConnected);
  ASSERT_EQ(run.dialogs.boxes.size(), 1u);
}

TEST(WindowTest, SaveThenLoadFile) {
  WindowRun run;
  const std::filesystem::path file = run.data_home.folder() / "saved.bin";
  run.dialogs.file = file.string();
  run.Type(ctl::kHoldTime, L"1500");
  run.Click(ctl::kSaveFile);
  EXPECT_EQ(run.dialogs.save_dialogs, 1);
  ASSERT_EQ(std::filesystem::file_size(file), 94u);
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(GetU16(bytes, 0), 200);
  EXPECT_EQ(GetU16(bytes, 2 + kHoldTimeOffset), 1500);

  run.Type(ctl::kHoldTime, L"900");
  EXPECT_EQ(run.Text(ctl::kHoldTime), u"900ms");
  const size_t boxes = run.dialogs.boxes.size();
  run.Click(ctl::kLoadFile);
  EXPECT_EQ(run.dialogs.open_dialogs, 1);
  EXPECT_EQ(run.Text(ctl::kHoldTime), u"1500ms");
  EXPECT_EQ(GetU16(run.app().image.bytes, kHoldTimeOffset), 1500);
  EXPECT_EQ(EscHoldTime(run), 2000);  // loading stores nothing
  (void)boxes;
}

TEST(WindowTest, LoadFileCancelledChangesNothing) {
  WindowRun run;
  run.dialogs.file.reset();
  const ConfigImage before = run.app().image;
  run.Click(ctl::kLoadFile);
  EXPECT_EQ(run.dialogs.open_dialogs, 1);
  EXPECT_EQ(run.app().image.bytes, before.bytes);
  EXPECT_TRUE(run.dialogs.boxes.empty());
}

TEST(WindowTest, LoadDefaultsAppliesTheChosenSet) {
  WindowRun run;
  run.Type(ctl::kHoldTime, L"900");
  ConfigImage expected = run.app().image;
  ASSERT_TRUE(ApplyDefaultSet(expected, 200, 0x0401, 160, model_type::kHelicopter));
  run.dialogs.defaults_answer = model_type::kHelicopter;
  run.Click(ctl::kLoadDefaults);
  ASSERT_EQ(run.dialogs.defaults_asked.size(), 1u);
  EXPECT_EQ(run.dialogs.defaults_asked[0], (std::pair<int, uint16_t>{101, 200}));
  EXPECT_EQ(run.app().image.bytes, expected.bytes);
  const uint16_t hold = GetU16(expected.bytes, kHoldTimeOffset);
  EXPECT_EQ(run.Text(ctl::kHoldTime), FromUtf8(std::to_string(hold) + "ms"));
  EXPECT_EQ(EscHoldTime(run), 2000);
}

TEST(WindowTest, ClosingAsksWhileTheEscHoldsOtherSettings) {
  struct Row {
    BoxAnswer answer;
    bool closed;
    uint16_t esc_hold_time;
  };
  for (const Row& row : {Row{BoxAnswer::Cancel, false, 2000}, Row{BoxAnswer::No, true, 2000},
                         Row{BoxAnswer::Yes, true, 1500}}) {
    WindowRun run;
    run.Type(ctl::kHoldTime, L"1500");
    run.dialogs.box_answers = {row.answer};
    SendMessageW(run.Main(), WM_CLOSE, 0, 0);
    run.Pump();
    ASSERT_FALSE(run.dialogs.boxes.empty());
    EXPECT_EQ(run.dialogs.boxes[0].buttons, BoxButtons::YesNoCancel);
    EXPECT_EQ(IsWindow(run.window().Handle()) != FALSE, !row.closed);
    EXPECT_EQ(EscHoldTime(run), row.esc_hold_time);
  }
}

// From teardown on nothing the user does reaches the App: the mouse over a
// label, the arrows, a command, a field and closing leave the settings, the
// boxes and the hover rest as they were; closing asks nothing although the
// settings differ from the ESC's.
TEST(WindowTest, TeardownLeavesEveryInputWithoutEffect) {
  WindowRun run;
  run.Type(ctl::kHoldTime, L"1500");
  ASSERT_TRUE(run.app().hover_ready);
  const auto before = run.app().image.bytes;
  run.session->Stop();

  run.MoveMouse(660, 412);  // the label of "Max. starting current"
  EXPECT_FALSE(run.rest.Pending());
  HWND poles = run.Control(ctl::kPoleCount);
  SetFocus(poles);
  SendMessageW(poles, WM_KEYDOWN, VK_UP, 0);
  run.Pump();
  run.Click(ctl::kLoadFile);
  run.Type(ctl::kHoldTime, L"1700");
  SendMessageW(run.Main(), WM_CLOSE, 0, 0);
  run.Pump();
  EXPECT_FALSE(IsWindow(run.window().Handle()));
  EXPECT_EQ(run.app().image.bytes, before);
  EXPECT_TRUE(run.dialogs.boxes.empty());
  EXPECT_EQ(run.dialogs.open_dialogs, 0);
}

TEST(WindowTest, ClosingWithTheEscsSettingsAsksNothing) {
  WindowRun run;
  SendMessageW(run.Main(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(run.window().Handle()));
  EXPECT_TRUE(run.dialogs.boxes.empty());
}

}  // namespace

namespace {

// Run by ctest under a German and an English LANG (Wine takes the user's
// interface language from it); skipped when started without one.
TEST(LanguageTest, FollowsTheUserInterfaceLanguage) {
  const char* expected = std::getenv("TAVIO_EXPECTED_LANGUAGE");
  if (expected == nullptr) GTEST_SKIP() << "TAVIO_EXPECTED_LANGUAGE not set";
  EXPECT_EQ(UserInterfaceLanguage(), std::string(expected) == "de" ? Language::German : Language::English);
}

}  // namespace
