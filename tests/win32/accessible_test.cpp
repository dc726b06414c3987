// The native window for a screen reader: every field, list, check box,
// radio button and the pole-count arrows named by its label and described
// by its help, as the system's accessibility interface reports them; the
// focus mark that stays visible.

#include <oleacc.h>

#include <string>

#include "core/shell/accessible_names.h"
#include "core/shell/control_table.h"
#include "window_fixture.h"

using namespace tavio;
using namespace tavio::win32;
using namespace tavio::win32::test;

namespace {

bool IsStatic(HWND hwnd) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  return _wcsicmp(name, L"Static") == 0;
}

// The label beside a control in the window's z-order: the static text
// before it, or after it for check boxes and radio buttons.
std::u16string NeighbourLabel(HWND control, ControlKind kind) {
  const UINT step = kind == ControlKind::Check || kind == ControlKind::Radio ? GW_HWNDNEXT : GW_HWNDPREV;
  HWND label = GetWindow(control, step);
  while (label != nullptr && !IsStatic(label)) label = GetWindow(label, step);
  if (label == nullptr) return u"(none)";
  wchar_t text[128] = {};
  GetWindowTextW(label, text, 128);
  return Narrow16(text);
}

bool Named(ControlKind kind) {
  switch (kind) {
    case ControlKind::Field:
    case ControlKind::DigitsField:
    case ControlKind::Check:
    case ControlKind::Radio:
    case ControlKind::List:
    case ControlKind::Arrows: return true;
    default: return false;
  }
}

struct Spoken {
  std::u16string name, description;
  bool answered = false;
};

Spoken Speak(HWND control) {
  Spoken spoken;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object))) ||
      object == nullptr) {
    return spoken;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr, description = nullptr;
  spoken.answered = object->get_accName(self, &name) == S_OK && object->get_accDescription(self, &description) == S_OK;
  if (name != nullptr) spoken.name.assign(reinterpret_cast<const char16_t*>(name), SysStringLen(name));
  if (description != nullptr) {
    spoken.description.assign(reinterpret_cast<const char16_t*>(description), SysStringLen(description));
  }
  SysFreeString(name);
  SysFreeString(description);
  object->Release();
  return spoken;
}

class AccessibleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(AccessibleTest, EveryNamedControlSpeaksItsLabelAndHelpInBothLanguages) {
  const struct {
    Language language;
    ControlId id;
    std::u16string name;
  } samples[] = {
      {Language::English, ctl::kBecVoltage, u"BEC voltage"},
      {Language::German, ctl::kBecVoltage, u"BEC-Spannung"},
      {Language::English, ctl::kReverseRotation, u"Reverse rotation"},
      {Language::English, ctl::kRiComp, u"Ri.-Comp."},
      {Language::German, ctl::kBatteryType, u"Akkutyp"},
  };
  for (const Language language : {Language::English, Language::German}) {
    SCOPED_TRACE(int(language));
    WindowRun run(nullptr, {}, language);
    int named = 0;
    for (const ControlDef& def : ControlTable()) {
      SCOPED_TRACE(def.id);
      const Spoken spoken = Speak(run.Control(def.id));
      if (!Named(def.kind)) continue;
      ++named;
      EXPECT_TRUE(spoken.answered);
      EXPECT_EQ(ToUtf8(spoken.name), ToUtf8(NeighbourLabel(run.Control(def.id), def.kind)));
      EXPECT_EQ(ToUtf8(spoken.description), ToUtf8(AccessibleDescription(def.id, language)));
      EXPECT_FALSE(spoken.description.empty());
    }
    EXPECT_EQ(named, 34);
    for (const auto& sample : samples) {
      if (sample.language == language) {
        EXPECT_EQ(ToUtf8(Speak(run.Control(sample.id)).name), ToUtf8(sample.name));
      }
    }
  }
}

// The changes of the window's keyboard cues that reach its controls: never
// one that hides the focus mark, whatever the system asks.
TEST(FocusMarkTest, UiStateChangesKeepTheFocusMarkShown) {
  const struct {
    WORD action, flags;
    WPARAM passed;  // 0: nothing left to change
  } cases[] = {
      {UIS_SET, UISF_HIDEFOCUS, 0},
      {UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL)},
      {UIS_SET, UISF_HIDEACCEL, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL)},
      {UIS_INITIALIZE, UISF_HIDEFOCUS, 0},
      {UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEACCEL)},
      {UIS_CLEAR, UISF_HIDEFOCUS, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS)},
      {UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithFocusMarkShown(MAKEWPARAM(c.action, c.flags)), c.passed) << c.action << " " << c.flags;
  }
}

// The focus mark shows on the control Tab and Enter move the focus to.
TEST_F(AccessibleTest, FocusMarkShowsAfterTabAndEnter) {
  WindowRun run;
  SetFocus(run.Control(ctl::kBecVoltage));
  MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageW(run.Main(), &tab));
  EXPECT_EQ(GetFocus(), run.Control(ctl::kReverseRotation));
  EXPECT_EQ(SendMessageW(GetFocus(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);

  SetFocus(run.Control(ctl::kHoldTime));
  run.Pump();
  // A whole key stroke through the window's loop: a release counts only
  // where its press went.
  PostMessageW(run.Control(ctl::kHoldTime), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  run.Pump();
  PostMessageW(run.Control(ctl::kHoldTime), WM_KEYUP, VK_RETURN, 0xC01C0001);
  run.Pump();
  EXPECT_EQ(GetFocus(), run.Control(ctl::kStore));
  EXPECT_EQ(SendMessageW(GetFocus(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
}

}  // namespace
