// The native window's boxes and dialogs, shown for real and driven from a
// timer of this thread that fires inside their own modal loops: the box's
// caption, text, icon and buttons and each answer; the model-defaults
// dialogs' items against the core's layout, the OK rule and the codes; the
// file dialogs' type, default extension, path and cancel; and the hooks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/files/defaults.h"
#include "core/files/defaults_dialog.h"
#include "core/model/family.h"
#include "core/shell/string_table.h"
#include "win32/dialogs/dialogs.h"

#undef LoadString  // <windows.h>'s macro would rename the core's call

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
    ASSERT_NE(owner_, nullptr);
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
    EXPECT_EQ(MessageBoxFlags(icon, buttons), want) << int(icon) << " " << int(buttons);
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
    EXPECT_EQ(AnswerForBoxResult(result, buttons), want) << result << " " << int(buttons);
  }
}

// What a live box shows.
struct BoxSeen {
  std::wstring caption, text;
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
    if (ClassName(child) == L"Static" && !WindowText(child).empty()) seen.text = WindowText(child);
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

// The item as the core's layout has it, in pixels of the dialog's font.
ItemSeen Expected(HWND dialog, const DefaultsDialogItem& item, Language language) {
  static const std::pair<DialogItemKind, std::pair<const wchar_t*, DWORD>> kinds[] = {
      {DialogItemKind::GroupBox, {L"Button", BS_GROUPBOX}},
      {DialogItemKind::Radio, {L"Button", BS_AUTORADIOBUTTON}},
      {DialogItemKind::Text, {L"Static", SS_LEFT}},
      {DialogItemKind::PushButton, {L"Button", BS_PUSHBUTTON}},
      {DialogItemKind::DefaultPushButton, {L"Button", BS_DEFPUSHBUTTON}},
  };
  ItemSeen want{item.id, L"", WideOf(LoadString(language, item.text)), 0, {}};
  for (const auto& [kind, window] : kinds) {
    if (kind == item.kind) std::tie(want.window_class, want.style) = window;
  }
  if (item.starts_group) want.style |= WS_GROUP;
  if (item.tab_stop) want.style |= WS_TABSTOP;
  // Position and size each converted on their own, as the platform creates items.
  RECT units{item.rect.x, item.rect.y, item.rect.w, item.rect.h};
  MapDialogRect(dialog, &units);
  want.rect = {units.left, units.top, units.left + units.right, units.top + units.bottom};
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
      std::vector<ItemSeen> items, want;
      RECT client{}, want_client{0, 0, layout.width, layout.height};
      DialogBaseUnits measured{};
      DWORD style = 0;
      DialogDriver driver([&](HWND dialog) {
        caption = WindowText(dialog);
        style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
        LOGFONTW logfont{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof logfont, &logfont);
        font = logfont.lfFaceName;
        items = LookAtItems(dialog);
        for (const DefaultsDialogItem& item : layout.items) want.push_back(Expected(dialog, item, language));
        GetClientRect(dialog, &client);
        MapDialogRect(dialog, &want_client);
        measured = MeasuredBaseUnits(dialog);
        Click(dialog, dlg::kCancel);
      });
      EXPECT_EQ(RunDefaultsDialog(owner_, language, dialog_id, kFamilyBrenta), 0);
      ASSERT_TRUE(driver.acted());
      EXPECT_EQ(caption, WideOf(LoadString(language, sid::kDefaultsCaption)));
      const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
      EXPECT_EQ(style & frame, frame);
      EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(want_client.right, want_client.bottom));
      ASSERT_EQ(items.size(), layout.items.size());
      for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(Describe(items[i]), Describe(want[i])) << "item " << i;
        EXPECT_EQ(items[i].text, want[i].text) << "item " << i;
        // The core's conversion agrees with the platform's for this font.
        const DialogUnitRect& du = layout.items[i].rect;
        EXPECT_EQ(std::vector<long>({items[i].rect.left, items[i].rect.top, items[i].rect.right - items[i].rect.left,
                                     items[i].rect.bottom - items[i].rect.top}),
                  std::vector<long>({DialogUnitsToPixelsX(du.x, measured), DialogUnitsToPixelsY(du.y, measured),
                                     DialogUnitsToPixelsX(du.w, measured), DialogUnitsToPixelsY(du.h, measured)}))
            << "item " << i;
      }
      std::printf("dialog %d font %ls base units %d,%d\n", dialog_id, font.c_str(), measured.x, measured.y);
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

}  // namespace
}  // namespace tavio::win32
