#include <optional>
#include <span>

#include "core/shell/editors.h"
#include "core/editors/field_rules.h"
#include "core/model/family.h"
#include "core/shell/display.h"
#include "core/shell/focus.h"

namespace tavio {
namespace {

// List indexes of the governor and brake lists.
constexpr int kModeOff = 0;
constexpr int kModeGovernorStore = 2;  // governor list; 1 is the plain governor
constexpr int kModeSwitching = 1;      // brake list
constexpr int kModeProportional = 2;   // brake list

constexpr ControlId kGovernorFields[] = {ctl::kPPart, ctl::kRiComp, ctl::kSpoolupTime, ctl::kSoftStart};
constexpr ControlId kBrakeFields[] = {ctl::kBrakeSlewPos, ctl::kBrakeSlewNeg, ctl::kBrakeMinPwm, ctl::kBrakeMaxPwm};
constexpr ControlId kSwitchingBrakeFields[] = {ctl::kBrakeSlewPos, ctl::kBrakeSlewNeg, ctl::kBrakeMaxPwm};

void EnableAll(App& app, std::span<const ControlId> ids, bool enabled) {
  for (ControlId id : ids) EnableControl(app, id, enabled);
}

bool Contains(TextView text, TextView part) { return text.find(part) != TextView::npos; }

}  // namespace

void OnBatteryTypeSelected(App& app) {
  const int index = app.panel->GetSelection(ctl::kBatteryType);
  if (index >= 0 && IsKnownFamily(Family(app))) {
    const Text item = app.panel->GetItemText(ctl::kBatteryType, index);
    // Substring tests in this order; "LiFePo" does not contain "LiPo".
    std::optional<BatteryType> type;
    if (Contains(item, u"LiPo")) {
      type = BatteryType::LiPo;
    } else if (Contains(item, u"LiFePo")) {
      type = BatteryType::LiFePo;
    } else if (Contains(item, u"NiMh/NiCd")) {
      type = BatteryType::NiMh;
    }
    if (type) SetFlags(app.image, BatteryTypeFlags(Flags(app.image), *type));
  }
  // The cut-off field now shows the stored value of the new type.
  ShowImage(app);
}

void OnGovernorTypeSelected(App& app) {
  Panel& panel = *app.panel;
  const int index = panel.GetSelection(ctl::kGovernorType);
  const bool known = IsKnownFamily(Family(app));
  if (index >= kModeOff && index <= kModeGovernorStore) {
    if (known && HasFlag(app.image, flag::kGovernorRpmStored)) {
      // Any governor choice forgets the learned speed; the user may keep it.
      if (ShowBox(app, sid::kGovernorStoreLost, 0, BoxIcon::None, BoxButtons::YesNo) != BoxAnswer::Yes) {
        ShowImage(app);
        RefreshDisplay(app);
        return;
      }
    }
    // A governor mode switches the brake and the hard cut-off off.
    if (known) SetFlags(app.image, GovernorTypeFlags(Flags(app.image), index));
    if (index == kModeOff) {
      EnableAll(app, kGovernorFields, false);
    } else {
      panel.SetSelection(ctl::kBrakeType, kModeOff);
      EnableAll(app, kGovernorFields, true);
      EnableAll(app, kBrakeFields, false);
    }
  }
  ShowImage(app);
  RefreshDisplay(app);
}

void OnBrakeTypeSelected(App& app) {
  Panel& panel = *app.panel;
  const int index = panel.GetSelection(ctl::kBrakeType);
  if (IsKnownFamily(Family(app))) {
    // A brake forgets the learned governor speed without asking.
    SetFlags(app.image, BrakeTypeFlags(Flags(app.image), index));
  }
  switch (index) {
    case kModeOff: EnableAll(app, kBrakeFields, false); break;
    case kModeSwitching:
      panel.SetSelection(ctl::kGovernorType, kModeOff);
      EnableAll(app, kSwitchingBrakeFields, true);
      // Min. brake PWM applies to the proportional brake only.
      EnableControl(app, ctl::kBrakeMinPwm, false);
      EnableAll(app, kGovernorFields, false);
      break;
    case kModeProportional:
      panel.SetSelection(ctl::kGovernorType, kModeOff);
      EnableAll(app, kBrakeFields, true);
      EnableAll(app, kGovernorFields, false);
      break;
    default: break;
  }
  RefreshDisplay(app);
}

}  // namespace tavio
