#include "core/shell/editors.h"
#include "core/model/family.h"
#include "core/shell/focus.h"

namespace tavio {
namespace {

enum class Families : uint8_t { AllFour, NotAlder, BrentaCorvan };

struct SwitchRow {
  ControlId id;
  uint32_t bit;
  Families families;
};

constexpr SwitchRow kSwitches[] = {
    {ctl::kReverseRotation, flag::kReverseRotation, Families::AllFour},
    {ctl::kForwardBackward, flag::kForwardBackward, Families::NotAlder},
    {ctl::kShutdown, flag::kShutdown, Families::AllFour},
    {ctl::kAutoTiming, flag::kAutoTiming, Families::AllFour},
    {ctl::kFixTiming, flag::kAutoTiming, Families::AllFour},
    {ctl::kSoftStart, flag::kSoftStart, Families::BrentaCorvan},
};

bool Changes(Families families, uint16_t family) {
  if (!IsKnownFamily(family)) return false;
  switch (families) {
    case Families::AllFour: return true;
    case Families::NotAlder: return family != kFamilyAlder;
    case Families::BrentaCorvan: return IsBrentaOrCorvan(family);
  }
  return false;
}

}  // namespace

bool OnButtonState(App& app, ControlId id) {
  const SwitchRow* row = nullptr;
  for (const SwitchRow& candidate : kSwitches) {
    if (candidate.id == id) row = &candidate;
  }
  if (row == nullptr) return false;

  Panel& panel = *app.panel;
  // Both timing radio buttons go by the state of "Auto-timing".
  const bool timing = row->bit == flag::kAutoTiming;
  const bool checked = panel.GetCheck(timing ? ctl::kAutoTiming : id);
  if (Changes(row->families, Family(app))) {
    const uint32_t flags = Flags(app.image);
    SetFlags(app.image, checked ? flags | row->bit : flags & ~row->bit);
  }
  if (timing) EnableControl(app, ctl::kFixTimingAngle, !checked);
  // The bit is already set while the warning is open.
  if (id == ctl::kShutdown && checked) ShowBox(app, sid::kShutdownWarning, 0, BoxIcon::Warning);
  return true;
}

}  // namespace tavio
