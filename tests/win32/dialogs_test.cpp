// The native window's boxes and dialogs, shown for real and driven from a
// timer of this thread that fires inside their own modal loops: the box's
// caption, text, icon and buttons and each answer; the model-defaults
// dialogs' items against the core's layout, the OK rule and the codes; the
// file dialogs' type, default extension, path and cancel; and the hooks.

#include <windows.h>
#include <dlgs.h>
#include <objbase.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/files/defaults.h"
#include "core/model/family.h"
#include "core/shell/defaults_dialog.h"
#include "core/shell/window_look.h"
#include "core/text/string_table.h"
#include "win32/dialogs/dialogs.h"
#include "win32/dialogs/file_dialog.h"


namespace tavio::win32 {
namespace {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring WideOf(TextView text) { return std::wstring(text.begin(), text.end()); }

// Top-level dialog boxes of this thread that take input: the one in front.
HWND FrontDialog() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM out) -> BOOL {
        if (ClassName(window) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
          *reinterpret_cast<HWND*>(out) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Runs `act` once on the first dialog box this thread shows, from a thread
// timer: it fires inside the box's modal loop, so the box is live and the
// test stays on one thread.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> act) : act_(std::move(act)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 10, &Tick);
  }
  ~DialogDriver() {
    if (timer_ != 0) KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;
  bool acted() const { return acted_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogDriver* self = current_;
    if (self == nullptr || self->acted_) return;
    const HWND dialog = FrontDialog();
    if (dialog == nullptr) return;
    KillTimer(nullptr, self->timer_);
    self->timer_ = 0;
    self->acted_ = true;
    self->act_(dialog);
  }

  static inline DialogDriver* current_ = nullptr;
  std::function<void(HWND)> act_;
  UINT_PTR timer_ = 0;
  bool acted_ = false;
};

void Click(HWND dialog, int id) {
  const HWND button = GetDlgItem(dialog, id);
  ASSERT_NE(button, nullptr) << id;
  SendMessageW(button, BM_CLICK, 0, 0);
}

// A plain window to own the boxes, fresh for every test.
class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDialogHooks({});
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"TavioDialogsTestOwner";
    RegisterClassW(&window_class);
    owner_ = CreateWindowExW(0, L"TavioDialogsTestOwner", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                             300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Wine makes no window without a display: run under xvfb-run, with a
    // Wine server that started there.
    ASSERT_NE(owner_, nullptr) << "no window could be made (no display?)";
  }
  void TearDown() override {
    DestroyWindow(owner_);
    SetDialogHooks({});
  }
  HWND owner_ = nullptr;
};

// --- message boxes ------------------------------------------------------------

TEST(MessageBoxTables, FlagsAndAnswers) {
  const std::tuple<BoxIcon, BoxButtons, UINT> flags[] = {
      {BoxIcon::None, BoxButtons::Ok, MB_OK},
      {BoxIcon::Information, BoxButtons::Ok, MB_OK | MB_ICONINFORMATION},
      {BoxIcon::Warning, BoxButtons::RetryCancel, MB_RETRYCANCEL | MB_ICONWARNING},
      {BoxIcon::Error, BoxButtons::Ok, MB_OK | MB_ICONERROR},
      {BoxIcon::None, BoxButtons::YesNo, MB_YESNO},
      {BoxIcon::Warning, BoxButtons::YesNoCancel, MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONWARNING},
  };
  for (const auto& [icon, buttons, want] : flags) {
    EXPECT_EQ(MessageBoxFlags(MessageBoxRequest(u"", u"", icon, buttons)), want) << int(icon) << " " << int(buttons);
  }
  // What MessageBoxW returned; 0 is a box that could not be shown, an ID the
  // buttons do not have a box closed without them.
  const std::tuple<int, BoxButtons, BoxAnswer> answers[] = {
      {IDOK, BoxButtons::Ok, BoxAnswer::Ok},
      {0, BoxButtons::Ok, BoxAnswer::Ok},
      {IDCANCEL, BoxButtons::Ok, BoxAnswer::Ok},  // closed: Wine reports Cancel
      {IDYES, BoxButtons::RetryCancel, BoxAnswer::Cancel},
      {IDYES, BoxButtons::YesNo, BoxAnswer::Yes},
      {IDNO, BoxButtons::YesNo, BoxAnswer::No},
      {0, BoxButtons::YesNo, BoxAnswer::No},
      {IDRETRY, BoxButtons::RetryCancel, BoxAnswer::Retry},
      {IDCANCEL, BoxButtons::RetryCancel, BoxAnswer::Cancel},
      {0, BoxButtons::RetryCancel, BoxAnswer::Cancel},
      {IDYES, BoxButtons::YesNoCancel, BoxAnswer::Yes},
      {IDNO, BoxButtons::YesNoCancel, BoxAnswer::No},
      {IDCANCEL, BoxButtons::YesNoCancel, BoxAnswer::Cancel},
      {0, BoxButtons::YesNoCancel, BoxAnswer::Cancel},
  };
  for (const auto& [result, buttons, want] : answers) {
    EXPECT_EQ(AnswerForBoxResult(result, MessageBoxRequest(u"", u"", BoxIcon::None, buttons)), want) << result << " " << int(buttons);
  }
}

// What a live box shows.
struct BoxSeen {
  std::wstring caption, text;
  HICON icon = nullptr;
  std::vector<int> buttons;  // visible button IDs, ascending
  int default_button = 0;
};

BoxSeen LookAtBox(HWND box) {
  BoxSeen seen;
  seen.caption = WindowText(box);
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const int id = GetDlgCtrlID(child);
    if (ClassName(child) == L"Button" && id >= IDOK && id <= IDNO) {
      seen.buttons.push_back(id);
      if ((GetWindowLongW(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) seen.default_button = id;
    }
    if (ClassName(child) != L"Static") continue;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    } else if (!WindowText(child).empty()) {
      seen.text = WindowText(child);
    }
  }
  std::sort(seen.buttons.begin(), seen.buttons.end());
  return seen;
}

TEST_F(DialogsTest, BoxShowsCaptionTextAndButtonsAndReturnsEachAnswer) {
  const std::wstring text = L"Zeile eins: \u00c4nderung\r\n\r\nZeile zwei";
  const Text core_text(text.begin(), text.end());
  // Buttons, the button pressed ("close" for the box's close command), the buttons seen,
  // the default button and the answer.
  const struct {
    BoxButtons buttons;
    int press;
    std::vector<int> seen;
    int default_button;
    BoxAnswer answer;
  } cases[] = {
      {BoxButtons::Ok, IDOK, {IDOK}, IDOK, BoxAnswer::Ok},
      {BoxButtons::Ok, 0, {IDOK}, IDOK, BoxAnswer::Ok},
      {BoxButtons::YesNo, IDYES, {IDYES, IDNO}, IDYES, BoxAnswer::Yes},
      {BoxButtons::YesNo, IDNO, {IDYES, IDNO}, IDYES, BoxAnswer::No},
      {BoxButtons::RetryCancel, IDRETRY, {IDCANCEL, IDRETRY}, IDRETRY, BoxAnswer::Retry},
      {BoxButtons::RetryCancel, IDCANCEL, {IDCANCEL, IDRETRY}, IDRETRY, BoxAnswer::Cancel},
      {BoxButtons::RetryCancel, 0, {IDCANCEL, IDRETRY}, IDRETRY, BoxAnswer::Cancel},
      {BoxButtons::YesNoCancel, IDYES, {IDCANCEL, IDYES, IDNO}, IDCANCEL, BoxAnswer::Yes},
      {BoxButtons::YesNoCancel, IDNO, {IDCANCEL, IDYES, IDNO}, IDCANCEL, BoxAnswer::No},
      {BoxButtons::YesNoCancel, IDCANCEL, {IDCANCEL, IDYES, IDNO}, IDCANCEL, BoxAnswer::Cancel},
      {BoxButtons::YesNoCancel, 0, {IDCANCEL, IDYES, IDNO}, IDCANCEL, BoxAnswer::Cancel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.buttons) << " press " << c.press);
    BoxSeen seen;
    DialogDriver driver([&](HWND box) {
      seen = LookAtBox(box);
      if (c.press == 0) {
        PostMessageW(box, WM_CLOSE, 0, 0);
      } else {
        Click(box, c.press);
      }
    });
    const BoxAnswer answer = ShowBox(owner_, {core_text, u"Caption \u00fc", BoxIcon::Warning, c.buttons});
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(seen.caption, L"Caption \u00fc");
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.buttons, c.seen);
    EXPECT_EQ(seen.default_button, c.default_button);
  }
}

TEST_F(DialogsTest, BoxShowsTheIconOfTheRequest) {
  const std::pair<BoxIcon, HICON> cases[] = {
      {BoxIcon::None, nullptr},
      {BoxIcon::Information, LoadIconA(nullptr, IDI_INFORMATION)},
      {BoxIcon::Warning, LoadIconA(nullptr, IDI_WARNING)},
      {BoxIcon::Error, LoadIconA(nullptr, IDI_ERROR)},
  };
  for (const auto& [icon, want] : cases) {
    BoxSeen seen;
    seen.icon = reinterpret_cast<HICON>(-1);
    DialogDriver driver([&](HWND box) {
      seen = LookAtBox(box);
      Click(box, IDOK);
    });
    EXPECT_EQ(ShowBox(owner_, {u"text", u"", icon, BoxButtons::Ok}), BoxAnswer::Ok);
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(seen.icon, want) << int(icon);
  }
}

TEST_F(DialogsTest, BoxWithAnEmptyCaptionShowsNone) {
  std::wstring caption = L"unset";
  DialogDriver driver([&](HWND box) {
    caption = WindowText(box);
    Click(box, IDOK);
  });
  EXPECT_EQ(ShowBox(owner_, {u"Settings saved successfully!", u"", BoxIcon::Information, BoxButtons::Ok}),
            BoxAnswer::Ok);
  EXPECT_TRUE(driver.acted());
  EXPECT_EQ(caption, L"");
}

// --- hooks --------------------------------------------------------------------

TEST_F(DialogsTest, HooksAnswerInsteadOfTheRealDialogs) {
  std::vector<std::string> calls;
  SetDialogHooks({
      [&](const MessageBoxRequest& request) {
        calls.push_back("box " + ToUtf8(request.text) + "|" + ToUtf8(request.caption) + " " +
                        std::to_string(int(request.icon)) + std::to_string(int(request.buttons)));
        return BoxAnswer::Retry;
      },
      [&](bool save) -> std::optional<std::string> {
        calls.push_back(save ? "save" : "open");
        if (save) return std::nullopt;
        return "C:\\t\\a.bin";
      },
      [&](int dialog_id, uint16_t family) {
        calls.push_back("defaults " + std::to_string(dialog_id) + " " + std::to_string(family));
        return 7;
      },
  });
  EXPECT_EQ(ShowBox(owner_, {u"t", u"c", BoxIcon::Error, BoxButtons::RetryCancel}), BoxAnswer::Retry);
  EXPECT_EQ(ChooseBinFile(owner_, false), std::optional<std::string>("C:\\t\\a.bin"));
  EXPECT_EQ(ChooseBinFile(owner_, true), std::nullopt);
  EXPECT_EQ(RunDefaultsDialog(owner_, Language::English, 102, kFamilyDelmarZ), 7);
  EXPECT_EQ(calls, (std::vector<std::string>{"box t|c 32", "open", "save", "defaults 102 400"}));
}

// --- model-defaults dialogs -------------------------------------------------------

struct ItemSeen {
  int id;
  std::wstring window_class, text;
  DWORD style;  // the button or static type and the group and tab-stop bits
  RECT rect;    // in the dialog's client coordinates
};

std::string Describe(const ItemSeen& item) {
  char line[200];
  std::snprintf(line, sizeof line, "%d %s %08lx %ld,%ld %ldx%ld", item.id, ToUtf8(Text(item.window_class.begin(),
                item.window_class.end())).c_str(), static_cast<unsigned long>(item.style), item.rect.left,
                item.rect.top, item.rect.right - item.rect.left, item.rect.bottom - item.rect.top);
  return line;
}

std::vector<ItemSeen> LookAtItems(HWND dialog) {
  std::vector<ItemSeen> items;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    ItemSeen item{GetDlgCtrlID(child), ClassName(child), WindowText(child), 0, {}};
    item.style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)) & (0x1F | WS_GROUP | WS_TABSTOP);
    GetWindowRect(child, &item.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&item.rect), 2);
    items.push_back(item);
  }
  return items;
}

// The dialog font's base units at 96 dpi (8 points are 11 pixels there).
DialogBaseUnits BaseUnitsAt96() {
  HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Ms Shell Dlg");
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE alphabet{};
  GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return BaseUnitsFromFont(alphabet.cx, metrics.tmHeight);
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// The item as the core's layout has it: in pixels of the dialog font at 96
// dpi, scaled to the screen's density as the main window is.
ItemSeen Expected(const DefaultsDialogItem& item, Language language) {
  static const std::pair<DialogItemKind, std::pair<const wchar_t*, DWORD>> kinds[] = {
      {DialogItemKind::GroupBox, {L"Button", BS_GROUPBOX}},
      {DialogItemKind::Radio, {L"Button", BS_AUTORADIOBUTTON}},
      {DialogItemKind::Text, {L"Static", SS_LEFT}},
      {DialogItemKind::PushButton, {L"Button", BS_PUSHBUTTON}},
      {DialogItemKind::DefaultPushButton, {L"Button", BS_DEFPUSHBUTTON}},
  };
  ItemSeen want{item.id, L"", WideOf(LookUpString(language, item.text)), 0, {}};
  for (const auto& [kind, window] : kinds) {
    if (kind == item.kind) std::tie(want.window_class, want.style) = window;
  }
  if (item.starts_group) want.style |= WS_GROUP;
  if (item.tab_stop) want.style |= WS_TABSTOP;
  // Position and size each converted on their own, as the platform creates items.
  const DialogBaseUnits base = BaseUnitsAt96();
  const PixelRect at = ScaleRectToDpi(DialogUnitsToPixelsX(item.rect.x, base), DialogUnitsToPixelsY(item.rect.y, base),
                                      DialogUnitsToPixelsX(item.rect.w, base), DialogUnitsToPixelsY(item.rect.h, base),
                                      ScreenDpi());
  want.rect = {at.left, at.top, at.right, at.bottom};
  return want;
}

// The dialog font's base units measured the way the core's rule expects.
DialogBaseUnits MeasuredBaseUnits(HWND dialog) {
  const HDC dc = GetDC(dialog);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  SIZE alphabet{};
  GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  return BaseUnitsFromFont(alphabet.cx, metrics.tmHeight);
}

TEST_F(DialogsTest, DefaultsDialogsHoldTheCoresItemsInBothLanguages) {
  for (const int dialog_id : {kDefaultsDialogPlanes, kDefaultsDialogCopters}) {
    for (const Language language : {Language::English, Language::German}) {
      SCOPED_TRACE(testing::Message() << dialog_id << " language " << int(language));
      const DefaultsDialogLayout& layout = *DefaultsDialogLayoutFor(dialog_id);
      std::wstring caption, font;
      LONG font_height = 0;
      int dpi = 0;
      std::vector<ItemSeen> items, want;
      RECT client{};
      DialogBaseUnits measured{};
      DWORD style = 0;
      DialogDriver driver([&](HWND dialog) {
        caption = WindowText(dialog);
        style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
        // The items' font: the dialog's own is the template's.
        LOGFONTW logfont{};
        const HWND first = GetDlgItem(dialog, layout.items[0].id);
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(first, WM_GETFONT, 0, 0)), sizeof logfont, &logfont);
        font = logfont.lfFaceName;
        font_height = logfont.lfHeight;
        dpi = ScreenDpi();
        items = LookAtItems(dialog);
        for (const DefaultsDialogItem& item : layout.items) want.push_back(Expected(item, language));
        GetClientRect(dialog, &client);
        measured = MeasuredBaseUnits(dialog);
        Click(dialog, dlg::kCancel);
      });
      EXPECT_EQ(RunDefaultsDialog(owner_, language, dialog_id, kFamilyBrenta), 0);
      ASSERT_TRUE(driver.acted());
      EXPECT_EQ(caption, WideOf(LookUpString(language, sid::kDefaultsCaption)));
      const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SHELLFONT | DS_3DLOOK;
      EXPECT_EQ(style & frame, frame);
      EXPECT_EQ(font, L"Ms Shell Dlg");
      EXPECT_EQ(font_height, -ScaleToDpi(MulDiv(8, 96, 72), dpi));  // 8 points at 96 dpi, scaled
      const DialogBaseUnits base = BaseUnitsAt96();
      EXPECT_EQ(std::make_pair(int(client.right), int(client.bottom)),
                std::make_pair(ScaleToDpi(DialogUnitsToPixelsX(layout.width, base), dpi),
                               ScaleToDpi(DialogUnitsToPixelsY(layout.height, base), dpi)));
      ASSERT_EQ(items.size(), layout.items.size());
      for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(Describe(items[i]), Describe(want[i])) << "item " << i;
        EXPECT_EQ(items[i].text, want[i].text) << "item " << i;
        // At 96 dpi the core's conversion agrees with the platform's for this font.
        if (dpi != 96) continue;
        const DialogUnitRect& du = layout.items[i].rect;
        EXPECT_EQ(std::vector<long>({items[i].rect.left, items[i].rect.top, items[i].rect.right - items[i].rect.left,
                                     items[i].rect.bottom - items[i].rect.top}),
                  std::vector<long>({DialogUnitsToPixelsX(du.x, measured), DialogUnitsToPixelsY(du.y, measured),
                                     DialogUnitsToPixelsX(du.w, measured), DialogUnitsToPixelsY(du.h, measured)}))
            << "item " << i;
      }
    }
  }
}

TEST_F(DialogsTest, DefaultsDialogEnablesOkByTheFamilysRuleAndEndsWithItsCode) {
  // Dialog, connected family, radio buttons clicked in turn, how it ends, OK enabled at the
  // start and after each click, the code returned.
  const struct {
    int dialog;
    uint16_t family;
    std::vector<int> clicks;
    const char* end;
    std::vector<bool> ok;
    int code;
  } cases[] = {
      {101, kFamilyAlder, {40004}, "ok", {false, true}, 3},
      {101, kFamilyAlder, {40005}, "cancel", {false, false}, 0},
      {101, kFamilyAlder, {40005, 40003}, "ok", {false, false, true}, 2},
      {101, kFamilyAlder, {40002, 40005}, "escape", {false, true, false}, 0},
      {101, kFamilyBrenta, {40005}, "ok", {false, true}, 4},
      {101, kFamilyBrenta, {40002}, "ok", {false, true}, 1},
      {101, kFamilyCorvan, {40008}, "ok", {false, true}, 9},
      {101, kFamilyCorvan, {40003}, "enter", {false, true}, 2},
      {101, 0, {40004, 40002}, "ok", {false, true, true}, 1},
      {102, kFamilyDelmarZ, {40009}, "ok", {false, true}, 6},
      {102, kFamilyDelmarZ, {40010}, "ok", {false, true}, 7},
      {102, kFamilyDelmarZ, {40011}, "ok", {false, true}, 8},
      {102, kFamilyDelmarZ, {40008}, "ok", {false, true}, 9},
      {102, kFamilyDelmarZ, {40011}, "close", {false, true}, 0},
      {102, kFamilyDelmarZ, {40009, 40008}, "cancel", {false, true, true}, 0},
      // OK commanded with nothing chosen (as a stray Enter may): the dialog stays, Cancel ends it.
      {101, kFamilyBrenta, {}, "ok-then-cancel", {false}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dialog << " family " << c.family << " " << c.end);
    std::vector<bool> ok;
    bool stayed_open = false;
    DialogDriver driver([&](HWND dialog) {
      const HWND ok_button = GetDlgItem(dialog, dlg::kOk);
      ok.push_back(IsWindowEnabled(ok_button) != FALSE);
      for (int radio : c.clicks) {
        Click(dialog, radio);
        ok.push_back(IsWindowEnabled(ok_button) != FALSE);
      }
      const std::string end = c.end;
      if (end == "ok") Click(dialog, dlg::kOk);
      if (end == "cancel") Click(dialog, dlg::kCancel);
      if (end == "escape") PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
      if (end == "enter") PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
      if (end == "close") PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      if (end == "ok-then-cancel") {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(dlg::kOk, BN_CLICKED), reinterpret_cast<LPARAM>(ok_button));
        stayed_open = IsWindowVisible(dialog) != FALSE;
        Click(dialog, dlg::kCancel);
      }
    });
    EXPECT_EQ(RunDefaultsDialog(owner_, Language::English, c.dialog, c.family), c.code);
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(stayed_open, std::string(c.end) == "ok-then-cancel");
  }
}

TEST_F(DialogsTest, UnknownDialogIdShowsNothing) {
  DialogDriver driver([&](HWND dialog) { Click(dialog, dlg::kCancel); });
  EXPECT_EQ(RunDefaultsDialog(owner_, Language::English, 103, kFamilyBrenta), 0);
  EXPECT_FALSE(driver.acted());
}

// --- file dialogs -----------------------------------------------------------------

// The file name field: its own edit in the platform's older layout, inside a
// combo box in the newer one.
HWND FileNameField(HWND dialog) {
  if (const HWND edit = GetDlgItem(dialog, edt1)) return edit;
  return FindWindowExW(GetDlgItem(dialog, cmb13), nullptr, L"Edit", nullptr);
}

struct FileDialogSeen {
  std::vector<std::wstring> types;
  int selected_type = -1;
};

FileDialogSeen LookAtFileDialog(HWND dialog) {
  FileDialogSeen seen;
  const HWND types = GetDlgItem(dialog, cmb1);
  const int count = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring type(static_cast<size_t>(SendMessageW(types, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    type.resize(static_cast<size_t>(SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(type.data()))));
    seen.types.push_back(type);
  }
  seen.selected_type = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
  return seen;
}

std::wstring TempFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return folder;
}

std::string Utf8Of(const std::wstring& text) { return ToUtf8(Text(text.begin(), text.end())); }

// Uninitialises COM on this thread until it is free again; how many
// initialisations were left over.
int DropComInits() {
  int left = 0;
  while (CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) == S_FALSE) {
    CoUninitialize();
    CoUninitialize();
    ++left;
  }
  CoUninitialize();
  return left;
}

// Wine's item dialog leaves an initialisation of its own on the thread; what
// the platform's dialog leaves when its caller balances COM exactly.
int ComInitsLeftByThePlatformsDialog() {
  DropComInits();
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return -1;
  IFileDialog* dialog = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_ALL, IID_IFileOpenDialog,
                                 reinterpret_cast<void**>(&dialog)))) {
    DialogDriver driver([](HWND shown) { Click(shown, IDCANCEL); });
    dialog->Show(nullptr);
    dialog->Release();
  }
  CoUninitialize();
  return DropComInits();
}

TEST_F(DialogsTest, FileDialogsReturnTheTypedPathWithTheDefaultExtension) {
  const std::wstring folder = TempFolder();
  const std::wstring existing = folder + L"tavio-open-\u00fc.bin";
  const HANDLE file = CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  DeleteFileW((folder + L"tavio-save-\u00fc.bin").c_str());
  const int platform_leftovers = ComInitsLeftByThePlatformsDialog();
  // Save or open, the language, the name typed (nothing: cancel), the path returned.
  const struct {
    bool save;
    Language language;
    std::wstring typed;
    std::optional<std::wstring> path;
    std::wstring type;
  } cases[] = {
      {true, Language::English, folder + L"tavio-save-\u00fc", folder + L"tavio-save-\u00fc.bin", L"Binary File (*.bin)"},
      {true, Language::German, folder + L"tavio-save-\u00fc.bin", folder + L"tavio-save-\u00fc.bin",
       L"Bin\u00e4rdatei (*.bin)"},
      {false, Language::English, existing, existing, L"Binary File (*.bin)"},
      {false, Language::German, L"", std::nullopt, L"Bin\u00e4rdatei (*.bin)"},
      {true, Language::English, L"", std::nullopt, L"Binary File (*.bin)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.save ? "save " : "open ") << Utf8Of(c.typed));
    FileDialogSeen seen;
    DialogDriver driver([&](HWND dialog) {
      seen = LookAtFileDialog(dialog);
      if (c.typed.empty()) {
        Click(dialog, IDCANCEL);
        return;
      }
      SetWindowTextW(FileNameField(dialog), c.typed.c_str());
      Click(dialog, IDOK);
    });
    const std::optional<std::string> path = ChooseBinFile(owner_, c.save, c.language);
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(path, c.path ? std::optional(Utf8Of(*c.path)) : std::nullopt);
    EXPECT_EQ(seen.types, std::vector<std::wstring>{c.type});
    EXPECT_EQ(seen.selected_type, 0);
    EXPECT_EQ(DropComInits(), platform_leftovers);  // COM initialised around each dialog
  }
  DeleteFileW(existing.c_str());
}

// A dialog that records how it is set up; `fail_at` makes that call fail.
class RecordingFileDialog final : public IFileDialog {
 public:
  explicit RecordingFileDialog(std::string fail_at = "") : fail_at_(std::move(fail_at)) {}
  std::vector<std::string> calls;

  HRESULT STDMETHODCALLTYPE SetFileTypes(UINT count, const COMDLG_FILTERSPEC* types) override {
    std::string call = "types";
    for (UINT i = 0; i < count; ++i) call += " " + Utf8Of(types[i].pszName) + "=" + Utf8Of(types[i].pszSpec);
    return Record(call);
  }
  HRESULT STDMETHODCALLTYPE SetFileTypeIndex(UINT index) override { return Record("index " + std::to_string(index)); }
  HRESULT STDMETHODCALLTYPE SetDefaultExtension(LPCWSTR extension) override {
    return Record("extension " + Utf8Of(extension));
  }
  HRESULT STDMETHODCALLTYPE Show(HWND) override { return Record("show"); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetFileTypeIndex(UINT*) override { return Record("GetFileTypeIndex"); }
  HRESULT STDMETHODCALLTYPE Advise(IFileDialogEvents*, DWORD*) override { return Record("Advise"); }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return Record("Unadvise"); }
  HRESULT STDMETHODCALLTYPE SetOptions(FILEOPENDIALOGOPTIONS) override { return Record("SetOptions"); }
  HRESULT STDMETHODCALLTYPE GetOptions(FILEOPENDIALOGOPTIONS*) override { return Record("GetOptions"); }
  HRESULT STDMETHODCALLTYPE SetDefaultFolder(IShellItem*) override { return Record("SetDefaultFolder"); }
  HRESULT STDMETHODCALLTYPE SetFolder(IShellItem*) override { return Record("SetFolder"); }
  HRESULT STDMETHODCALLTYPE GetFolder(IShellItem**) override { return Record("GetFolder"); }
  HRESULT STDMETHODCALLTYPE GetCurrentSelection(IShellItem**) override { return Record("GetCurrentSelection"); }
  HRESULT STDMETHODCALLTYPE SetFileName(LPCWSTR) override { return Record("SetFileName"); }
  HRESULT STDMETHODCALLTYPE GetFileName(LPWSTR*) override { return Record("GetFileName"); }
  HRESULT STDMETHODCALLTYPE SetTitle(LPCWSTR) override { return Record("SetTitle"); }
  HRESULT STDMETHODCALLTYPE SetOkButtonLabel(LPCWSTR) override { return Record("SetOkButtonLabel"); }
  HRESULT STDMETHODCALLTYPE SetFileNameLabel(LPCWSTR) override { return Record("SetFileNameLabel"); }
  HRESULT STDMETHODCALLTYPE GetResult(IShellItem**) override { return Record("GetResult"); }
  HRESULT STDMETHODCALLTYPE AddPlace(IShellItem*, FDAP) override { return Record("AddPlace"); }
  HRESULT STDMETHODCALLTYPE Close(HRESULT) override { return Record("Close"); }
  HRESULT STDMETHODCALLTYPE SetClientGuid(REFGUID) override { return Record("SetClientGuid"); }
  HRESULT STDMETHODCALLTYPE ClearClientData() override { return Record("ClearClientData"); }
  HRESULT STDMETHODCALLTYPE SetFilter(IShellItemFilter*) override { return Record("SetFilter"); }

 private:
  HRESULT Record(const std::string& call) {
    calls.push_back(call);
    return call.rfind(fail_at_, 0) == 0 && !fail_at_.empty() ? E_FAIL : S_OK;
  }
  std::string fail_at_;
};

TEST(FileDialogSetUp, OneBinTypeSelectedAndTheDefaultExtension) {
  // Language, the call made to fail, the calls made, the result.
  const std::tuple<Language, std::string, std::vector<std::string>, HRESULT> cases[] = {
      {Language::English, "", {"types Binary File (*.bin)=*.bin", "index 1", "extension bin"}, S_OK},
      {Language::German, "", {"types Bin\xC3\xA4rdatei (*.bin)=*.bin", "index 1", "extension bin"}, S_OK},
      {Language::English, "types", {"types Binary File (*.bin)=*.bin"}, E_FAIL},
      {Language::English, "index", {"types Binary File (*.bin)=*.bin", "index 1"}, E_FAIL},
      {Language::English, "extension", {"types Binary File (*.bin)=*.bin", "index 1", "extension bin"}, E_FAIL},
  };
  for (const auto& [language, fail_at, calls, result] : cases) {
    RecordingFileDialog dialog(fail_at);
    EXPECT_EQ(SetUpBinFileDialog(dialog, language), result) << fail_at;
    EXPECT_EQ(dialog.calls, calls) << fail_at;
  }
}

TEST_F(DialogsTest, FileDialogIsNotShownWhenComCannotBeInitialised) {
  // A thread already in the multithreaded apartment cannot take the dialog's.
  DropComInits();
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  DialogDriver driver([&](HWND dialog) { Click(dialog, IDCANCEL); });
  EXPECT_EQ(ChooseBinFile(owner_, false), std::nullopt);
  EXPECT_FALSE(driver.acted());
  CoUninitialize();
}

}  // namespace
}  // namespace tavio::win32
