// The native window's controls as the control table gives them: creation
// (and so Tab and hit-test) order, class, styles, text, and rectangle in
// client coordinates; the window's client size and titles.

#include <cstdio>
#include <cstdlib>

#include "core/shell/control_table.h"
#include "core/shell/window_look.h"
#include "window_fixture.h"

// After <windows.h>, which the fixture brings.
#include <commctrl.h>

using namespace tavio;
using namespace tavio::win32;
using namespace tavio::win32::test;

namespace {

// Wine makes no window without a display: then the program fails at once
// and says why (a failed environment would only skip every test).
class DisplayCheck final : public ::testing::Environment {
 public:
  void SetUp() override {
    HWND probe = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr) {
      std::fputs("FAILED: no window could be made: run under xvfb-run, with a Wine server started there\n", stderr);
      std::exit(1);
    }
    DestroyWindow(probe);
  }
};
::testing::Environment* const display_check = ::testing::AddGlobalTestEnvironment(new DisplayCheck);

std::u16string ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return Narrow16(name);
}

RECT ClientRectOf(HWND parent, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

struct Expected {
  const char16_t* window_class;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE
};

Expected ExpectedFor(const ControlDef& def) {
  switch (def.kind) {
    case ControlKind::Label:
    case ControlKind::HelpField: return {u"Static", SS_LEFT};
    case ControlKind::Value: return {u"Static", SS_RIGHT};
    case ControlKind::Field: return {u"EditCtrl", WS_BORDER | WS_TABSTOP | ES_RIGHT};
    case ControlKind::DigitsField: return {u"EditCtrl", WS_BORDER | WS_TABSTOP | ES_RIGHT | ES_NUMBER};
    case ControlKind::Check: return {u"Button", BS_AUTOCHECKBOX | WS_TABSTOP};
    case ControlKind::Radio: return {u"Button", BS_AUTORADIOBUTTON | WS_TABSTOP};
    case ControlKind::List: return {u"ComboBox", CBS_DROPDOWNLIST | WS_TABSTOP};
    case ControlKind::Command: return {u"Button", BS_DEFPUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP};
    case ControlKind::Group: return {u"Button", BS_GROUPBOX};
    case ControlKind::Arrows: return {u"msctls_updown32", WS_BORDER | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS};
  }
  return {u"", 0};
}

// One window, every row of the table: each Wine process start costs more
// than all the checks together.
TEST(LayoutTest, EveryControlIsCreatedAsTheTableGivesIt) {
  WindowRun run(nullptr);
  // Creation order is the order of the window's children; the mark on
  // "Store on ESC" is the button's own child, not the window's.
  HWND control = GetWindow(run.Main(), GW_CHILD);
  for (const ControlDef& def : ControlTable()) {
    SCOPED_TRACE(def.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), def.id);

    const Expected expected = ExpectedFor(def);
    EXPECT_EQ(ClassOf(control), expected.window_class);
    DWORD style = expected.style | WS_CHILD | WS_VISIBLE;
    if (def.starts_group) style |= WS_GROUP;
    if (def.id == ctl::kGovernorType) style |= CBS_HASSTRINGS;
    // A list's CBS_HASSTRINGS is the platform's own unless asked; edit fields
    // and the arrows draw the border they were asked for but may keep
    // WS_BORDER out of their style (Wine does).
    DWORD ignored = WS_DISABLED;
    if (def.kind == ControlKind::List && def.id != ctl::kGovernorType) ignored |= CBS_HASSTRINGS;
    if (def.kind == ControlKind::Field || def.kind == ControlKind::DigitsField || def.kind == ControlKind::Arrows) {
      ignored |= WS_BORDER;
    }
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & ~ignored, style & ~ignored);

    // A closed list is one line high (the table gives its dropped height);
    // the arrows take their width off the right end of their buddy field.
    RECT want{def.x, def.y, def.x + def.w, def.y + def.h};
    if (def.kind == ControlKind::List) want.bottom = def.y + kClosedListHeight;
    if (def.id == kPoleCountArrows.buddy) want.right = FindControl(ctl::kPoleArrows)->x;
    const RECT got = ClientRectOf(run.Main(), control);
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);

    // Without a unit the display replaces no text but the firmware box's.
    if (def.kind != ControlKind::List && def.kind != ControlKind::Arrows && def.id != ctl::kUnitVersion &&
        def.id != ctl::kEscBootloaderVersion && def.id != ctl::kEscFirmwareVersion && def.id != ctl::kLabelRiComp) {
      // The arrows put their position into their buddy as they are set up.
      EXPECT_EQ(run.Text(def.id), def.id == ctl::kPoleCount ? Text(u"2") : ControlText(def, Language::English));
    }
    control = GetWindow(control, GW_HWNDNEXT);
  }
  EXPECT_EQ(control, nullptr);
}

// 1240 x 690 is the window's outer size; the frame comes off the client area.
TEST(LayoutTest, WindowHasEightyFiveControlsAndTheFixedOuterSize) {
  WindowRun run;
  RECT outer{};
  GetWindowRect(run.Main(), &outer);
  EXPECT_EQ(outer.right - outer.left, 1240);
  EXPECT_EQ(outer.bottom - outer.top, 690);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_OVERLAPPEDWINDOW);
  RECT client{};
  GetClientRect(run.Main(), &client);
  EXPECT_EQ(client.right, 1240 - (frame.right - frame.left));
  EXPECT_EQ(client.bottom, 690 - (frame.bottom - frame.top));
  int children = 0;
  std::string order;
  for (HWND c = GetWindow(run.Main(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    ++children;
    order += std::to_string(GetDlgCtrlID(c)) + " ";
  }
  SCOPED_TRACE(order);
  EXPECT_EQ(children, 85);
  const LONG style = GetWindowLongW(run.Main(), GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX),
            WS_POPUP | WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ(ClassOf(run.Main()), u"TavioMainWnd");
}

TEST(LayoutTest, ListsHoldTheirItemsWithNoneSelectedWithoutAUnit) {
  struct Row {
    ControlId id;
    std::vector<std::u16string> items;
  };
  const std::vector<Row> rows = {
      {ctl::kBatteryType, {u"NiMh/NiCd", u"LiPo", u"LiFePo"}},
      {ctl::kGovernorType, {u"Off", u"Governor", u"Governor Store"}},
      {ctl::kBrakeType, {u"Off", u"Switching brake", u"Proportional"}},
  };
  WindowRun run(nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(SendMessageW(run.Control(row.id), CB_GETCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(run.session->panel().GetItemText(row.id, i), row.items[i]);
    EXPECT_EQ(run.session->panel().GetSelection(row.id), -1);
  }
}

TEST(LayoutTest, ArrowsAreSetUpForThePoleCount) {
  WindowRun run(nullptr);
  HWND arrows = run.Control(ctl::kPoleArrows);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(arrows, UDM_GETBUDDY, 0, 0)), run.Control(ctl::kPoleCount));
  const LRESULT range = SendMessageW(arrows, UDM_GETRANGE, 0, 0);
  EXPECT_EQ(HIWORD(range), 2);
  EXPECT_EQ(LOWORD(range), 32);
  UDACCEL accel{};
  EXPECT_EQ(SendMessageW(arrows, UDM_GETACCEL, 1, reinterpret_cast<LPARAM>(&accel)), 1);
  EXPECT_EQ(accel.nInc, 2u);
}

// Creation order, not screen order: the General box's buttons go bottom-up.
TEST(LayoutTest, TabFromTheBecVoltageFieldFollowsCreationOrder) {
  WindowRun run;
  SetFocus(run.Control(ctl::kBecVoltage));
  std::vector<int> visited;
  for (int i = 0; i < 6; ++i) {
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(run.Main(), &tab));
    visited.push_back(GetDlgCtrlID(GetFocus()));
  }
  EXPECT_EQ(visited, (std::vector<int>{2001, 2002, 2053, 2050, 2051, 2006}));
}

// The first-created control under the point wins, hidden, disabled and
// mouse-transparent ones included.
TEST(LayoutTest, HitTestFindsTheFirstCreatedControl) {
  struct Row {
    int x, y;
    ControlId hit;
  };
  const std::vector<Row> rows = {
      {25, 45, ctl::kLabelBecVoltage}, {210, 45, ctl::kBecVoltage},  {12, 300, ctl::kGroupGeneral},
      {1000, 500, ctl::kGroupComment}, {1100, 160, ctl::kGroupFirmware}, {515, 510, ctl::kFixTimingAngle},
      {300, 320, 0},                   {585, 405, ctl::kPoleArrows},  {1030, 280, ctl::kStore},
  };
  WindowRun run;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
    EXPECT_EQ(run.window().ControlAt(POINT{row.x, row.y}), row.hit);
  }
}

TEST(LayoutTest, TitlesInEnglishAndGerman) {
  struct Row {
    const char* esc;
    Language language;
    std::u16string title;
    std::u16string bec_label;
  };
  const std::vector<Row> rows = {
      {kBrenta, Language::English, u"TAVIO (Version 01.02.00): Connected with BRENTA 160", u"BEC voltage"},
      {"ALDER", Language::English, u"TAVIO (Version 01.02.00): Connected with ALDER 160", u"BEC voltage"},
      {kBrenta, Language::German, u"TAVIO (Version 01.02.00): Verbunden mit BRENTA 160", u"BEC-Spannung"},
      {nullptr, Language::English, u"TAVIO (Version 01.02.00): Not connected", u"BEC voltage"},
      {nullptr, Language::German, u"TAVIO (Version 01.02.00): Nicht verbunden", u"BEC-Spannung"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ToUtf8(row.title));
    WindowRun run(row.esc, {}, row.language);
    EXPECT_EQ(run.Title(), row.title);
    EXPECT_EQ(run.Text(ctl::kLabelBecVoltage), row.bec_label);
  }
}

}  // namespace
