// The window at the screen density of the Wine prefix it runs in
// (TAVIO_EXPECTED_DPI, LogPixels of the prefix): size, every control's place
// and font, texts that fit, pixels drawn one to one, and a move to a screen
// of another density. One process, few windows: each start costs seconds.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/shell/control_table.h"
#include "core/shell/window_look.h"
#include "win32/dpi.h"
#include "win32/resource_ids.h"
#include "window_fixture.h"

// After <windows.h>, which the fixture brings.
#include <commctrl.h>

using namespace tavio;
using namespace tavio::win32;
using namespace tavio::win32::test;

namespace {

int ExpectedDpi() {
  const char* value = std::getenv("TAVIO_EXPECTED_DPI");
  return value != nullptr ? std::atoi(value) : kBaseDpi;
}

// Without a display, or in a prefix of another density, nothing here means anything.
class ScreenCheck final : public ::testing::Environment {
 public:
  void SetUp() override {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    if (dpi != ExpectedDpi()) {
      std::fprintf(stderr, "FAILED: the screen has %d dpi, not %d: LogPixels of the prefix is not set\n", dpi,
                   ExpectedDpi());
      std::exit(1);
    }
  }
};
::testing::Environment* const screen_check = ::testing::AddGlobalTestEnvironment(new ScreenCheck);

PixelRect ClientRectOf(HWND parent, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

std::string Describe(const PixelRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// Where the window must put a control at `dpi`: the table's rectangle
// scaled, a closed list one line high, the pole-count field ending where its
// arrows begin.
PixelRect Wanted(const ControlDef& def, int dpi) {
  PixelRect want = ScaleRectToDpi(def.x, def.y, def.w, def.h, dpi);
  if (def.kind == ControlKind::List) want.bottom = want.top + ScaleToDpi(kClosedListHeight, dpi);
  if (def.id == kPoleCountArrows.buddy) {
    const ControlDef& arrows = *FindControl(ctl::kPoleArrows);
    want.right = ScaleToDpi(arrows.x, dpi);
  }
  return want;
}

LONG FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font.lfHeight;
}

// Every control at its place and with its font for `dpi`; each fault named.
void ExpectLaidOutFor(WindowRun& run, int dpi) {
  RECT client{};
  GetClientRect(run.Main(), &client);
  const LONG font_height = ScaleToDpi(ControlFontAt96().lfHeight, dpi);
  for (const ControlDef& def : ControlTable()) {
    SCOPED_TRACE(def.id);
    HWND control = run.Control(def.id);
    ASSERT_NE(control, nullptr);
    const PixelRect got = ClientRectOf(run.Main(), control);
    EXPECT_EQ(Describe(got), Describe(Wanted(def, dpi)));
    EXPECT_LE(got.right, client.right);
    EXPECT_LE(got.bottom, client.bottom);
    if (def.kind != ControlKind::Arrows) {  // the arrows draw no text
      EXPECT_EQ(FontHeight(control), font_height);
    }
  }
  // The mark's size and inset scale with the button's.
  const PixelRect store = ClientRectOf(run.Main(), run.Control(ctl::kStore));
  HWND mark = GetWindow(run.Control(ctl::kStore), GW_CHILD);
  ASSERT_NE(mark, nullptr);
  const PixelRect mark_at = ClientRectOf(run.Main(), mark);
  const int size = ScaleToDpi(kUnstoredMarkSize, dpi);
  const int inset = ScaleToDpi(kUnstoredMarkInset, dpi);
  RECT store_client{};
  GetClientRect(run.Control(ctl::kStore), &store_client);
  POINT origin{0, 0};
  MapWindowPoints(run.Control(ctl::kStore), run.Main(), &origin, 1);
  EXPECT_EQ(Describe(mark_at), Describe({origin.x + store_client.right - inset - size, origin.y + inset,
                                         origin.x + store_client.right - inset, origin.y + inset + size}));
  EXPECT_LT(store.left, mark_at.left);
}

// The window's outer size is 1240 x 690 scaled; every control lies inside
// its client area, at the table's place times dpi / 96.
TEST(DpiTest, WindowAndEveryControlAtTheScreensDensity) {
  const int dpi = ExpectedDpi();
  WindowRun run(nullptr);
  EXPECT_EQ(run.window().Dpi(), dpi);
  RECT outer{};
  GetWindowRect(run.Main(), &outer);
  EXPECT_EQ(outer.right - outer.left, ScaleToDpi(kWindowWidth, dpi));
  EXPECT_EQ(outer.bottom - outer.top, ScaleToDpi(kWindowHeight, dpi));
  ExpectLaidOutFor(run, dpi);
}

// The first-created control under a point at the screen's density: the
// layout's hit test scaled.
TEST(DpiTest, HoverHitTestAtTheScreensDensity) {
  struct Row {
    int x, y;
    ControlId hit;
  };
  const std::vector<Row> rows = {
      {25, 45, ctl::kLabelBecVoltage}, {210, 45, ctl::kBecVoltage},       {12, 300, ctl::kGroupGeneral},
      {1000, 500, ctl::kGroupComment}, {1100, 160, ctl::kGroupFirmware}, {515, 510, ctl::kFixTimingAngle},
      {300, 320, 0},                   {585, 405, ctl::kPoleArrows},      {1030, 280, ctl::kStore},
      {1218, 303, ctl::kStore},        {287, 62, ctl::kGroupGeneral},     {599, 108, ctl::kGroupBattery},
  };
  const int dpi = ExpectedDpi();
  WindowRun run;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
    EXPECT_EQ(run.window().ControlAt(POINT{ScaleToDpi(row.x, dpi), ScaleToDpi(row.y, dpi)}), row.hit);
  }
}

// Widths of what a control shows, measured with its own font.
int TextWidth(HWND control, const std::u16string& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

int FontLineHeight(HWND control) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return metrics.tmHeight;
}

// One-line texts of labels, values, buttons, group captions and the
// fields' placeholders, and the lists' items, in both languages.
TEST(DpiTest, TextsFitTheirControls) {
  for (const Language language : {Language::English, Language::German}) {
    SCOPED_TRACE(int(language));
    WindowRun run(nullptr, {}, language);
    for (const ControlDef& def : ControlTable()) {
      if (def.kind == ControlKind::HelpField || def.kind == ControlKind::Arrows || def.kind == ControlKind::Check ||
          def.kind == ControlKind::Radio) {
        continue;  // the help wraps; arrows, check boxes and radio buttons show no text
      }
      HWND control = run.Control(def.id);
      RECT area{};
      GetClientRect(control, &area);
      int room = area.right;
      if (def.kind == ControlKind::Field || def.kind == ControlKind::DigitsField) {
        const LRESULT margins = SendMessageW(control, EM_GETMARGINS, 0, 0);
        room -= LOWORD(margins) + HIWORD(margins);
      }
      if (def.kind == ControlKind::List) {
        room -= GetSystemMetrics(SM_CXVSCROLL);
        for (const ListItemDef& item : ListItems(def.id)) {
          const std::u16string text = ListItemText(item, language);
          EXPECT_LE(TextWidth(control, text), room) << def.id << " " << ToUtf8(text);
        }
        continue;
      }
      const std::u16string text = run.Text(def.id);
      EXPECT_LE(TextWidth(control, text), room) << def.id << " " << ToUtf8(text);
      if (def.kind != ControlKind::Group) {
        EXPECT_LE(FontLineHeight(control), area.bottom) << def.id;
      }
    }
  }
}

// The window's pixels as drawn, one to one: read from the window's own
// surface, which is what the screen shows once the system has copied it
// there (a copy this test would have to wait for). A window the system
// stretched would show the texture blurred or doubled, and its text with it.
struct Screenshot {
  explicit Screenshot(HWND window) {
    GetClientRect(window, &area);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), area.right, -area.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC drawn = GetDC(window);
    HDC memory = CreateCompatibleDC(drawn);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(drawn, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, area.right, area.bottom, drawn, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* words = static_cast<const uint32_t*>(bits);
    pixels.assign(words, words + static_cast<size_t>(area.right) * area.bottom);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, drawn);
  }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * area.right + x] & 0xFFFFFF; }
  RECT area{};
  std::vector<uint32_t> pixels;
};

// A bitmap of the program's resources (the texture by default) as 0xRRGGBB.
struct Texture {
  explicit Texture(int resource = TAVIO_BITMAP_TEXTURE) {
    HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource));
    BITMAP header{};
    GetObjectW(bitmap, sizeof(header), &header);
    width = header.bmWidth;
    height = header.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    pixels.resize(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
  }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y % height) * width + x % width] & 0xFFFFFF; }
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

TEST(DpiTest, ScreenShowsTheTextureAndLogoPixelForPixel) {
  const int dpi = ExpectedDpi();
  WindowRun run(nullptr);
  RedrawWindow(run.Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  run.Pump();
  const Screenshot shot(run.Main());
  const Texture texture;
  ASSERT_GT(texture.width, 0);
  // Bare ground between the General and Battery boxes, and below the
  // Warnings box: the texture tiled from the client area's corner.
  int differing = 0;
  for (const RECT& bare : {RECT{293, 20, 317, 300}, RECT{640, 315, 900, 335}}) {
    for (int y = ScaleToDpi(bare.top, dpi); y < ScaleToDpi(bare.bottom, dpi); ++y) {
      for (int x = ScaleToDpi(bare.left, dpi); x < ScaleToDpi(bare.right, dpi); ++x) {
        if (shot.At(x, y) != texture.At(x, y)) ++differing;
      }
    }
  }
  EXPECT_EQ(differing, 0);
  // The logo at its scaled place and size: its dark badge ends where the
  // drawing says, the texture goes on beyond it.
  const int width = ScaleToDpi(268, dpi);
  const int left = LogoLeft(shot.area.right, width, dpi);
  const int top = ScaleToDpi(kLogoTop, dpi);
  const uint32_t badge = 0x121214;
  const struct {
    int x, y;
    bool on_badge;
  } probes[] = {{134, 80, true}, {134, 89, false}, {10, 40, true},  {263, 40, true},
                {267, 40, false}, {0, 40, false},   {200, 4, false}, {200, 8, true}};
  // Where the drawing is shown at its own size (the small one at 96 dpi, the
  // large one at 192) every pixel but the see-through green is the artwork's.
  if (dpi == 96 || dpi == 192) {
    const Texture logo(dpi == 96 ? TAVIO_BITMAP_LOGO : TAVIO_BITMAP_LOGO_2X);
    ASSERT_EQ(logo.width, width);
    int off = 0;
    for (int y = 0; y < logo.height; ++y) {
      for (int x = 0; x < logo.width; ++x) {
        if (logo.At(x, y) != 0x00FF00 && shot.At(left + x, top + y) != logo.At(x, y)) ++off;
      }
    }
    EXPECT_EQ(off, 0);
  }
  for (const auto& probe : probes) {
    const int x = left + ScaleToDpi(probe.x, dpi);
    const int y = top + ScaleToDpi(probe.y, dpi);
    SCOPED_TRACE(std::to_string(probe.x) + "," + std::to_string(probe.y));
    if (probe.on_badge) {
      EXPECT_EQ(shot.At(x, y), badge);
    } else {
      EXPECT_EQ(shot.At(x, y), texture.At(x, y));
    }
  }
}

// A move to a screen of another density: the suggested rectangle taken,
// every control laid out again, texts, focus, selections kept.
TEST(DpiTest, DpiChangeLaysTheWindowOutAgainKeepingWhatItShows) {
  const int from = ExpectedDpi();
  const int to = from == 144 ? 192 : 144;
  WindowRun run;
  const int battery = run.session->panel().GetSelection(ctl::kBatteryType);
  ASSERT_GE(battery, 0);
  HWND field = run.Control(ctl::kHoldTime);
  SetFocus(field);
  run.Pump();
  SendMessageW(field, EM_SETSEL, 1, 3);
  std::vector<std::u16string> texts;
  for (const ControlDef& def : ControlTable()) texts.push_back(run.Text(def.id));

  RECT suggested{40, 30, 40 + ScaleToDpi(kWindowWidth, to), 30 + ScaleToDpi(kWindowHeight, to)};
  SendMessageW(run.Main(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
  run.Pump();

  EXPECT_EQ(run.window().Dpi(), to);
  RECT outer{};
  GetWindowRect(run.Main(), &outer);
  EXPECT_EQ(Describe({outer.left, outer.top, outer.right, outer.bottom}),
            Describe({suggested.left, suggested.top, suggested.right, suggested.bottom}));
  ExpectLaidOutFor(run, to);
  for (size_t i = 0; i < ControlTable().size(); ++i) {
    EXPECT_EQ(run.Text(ControlTable()[i].id), texts[i]) << ControlTable()[i].id;
  }
  EXPECT_EQ(run.session->panel().GetSelection(ctl::kBatteryType), battery);
  EXPECT_EQ(GetFocus(), field);
  DWORD start = 0, end = 0;
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(DWORD{1}, DWORD{3}));
}

}  // namespace
