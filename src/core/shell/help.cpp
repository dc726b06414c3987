#include "core/shell/help.h"

#include "core/model/family.h"

namespace tavio {
namespace {

// Help texts fit a 512-character buffer.
constexpr size_t kMaxHelpLength = 511;

void SetHelpText(App& app, StringId id) { app.panel->SetText(ctl::kHelpField, HelpFieldText(app.language, id)); }

}  // namespace

TextView HelpFieldText(Language language, StringId id) {
  const TextView text = LookUpString(language, id);
  return text.size() > kMaxHelpLength ? text.substr(0, kMaxHelpLength) : text;
}

StringId FocusHelpId(ControlId id) {
  if (id == ctl::kFixTimingAngle) return sid::kHelpFixTiming;
  return static_cast<StringId>(id - 1700);
}

StringId HoverHelpId(ControlId id, uint16_t family) {
  if (ctl::IsParameterId(id)) return FocusHelpId(id);
  if (!ctl::IsLabelId(id)) return 0;
  const bool percent_current = family == kFamilyAlder || family == kFamilyDelmarZ;
  if (id == ctl::kLabelMaxStartCurrent && percent_current) return sid::kHelpMaxStartCurrentPercent;
  // Under ALDER the label reads "I-Anteil", so it explains the I-part.
  if (id == ctl::kLabelRiComp && family == kFamilyAlder) return sid::kHelpIPart;
  return static_cast<StringId>(id + 100);
}

void ShowFocusHelp(App& app, ControlId id) {
  if (ctl::IsParameterId(id)) SetHelpText(app, FocusHelpId(id));
}

bool ArmHover(App& app, ControlId hit) {
  if (!app.hover_ready) return false;
  if (!ctl::IsLabelId(hit) && !ctl::IsParameterId(hit)) return false;
  app.hovered_id = hit;
  return true;
}

void ShowHoverHelp(App& app) {
  const StringId help = HoverHelpId(app.hovered_id, Family(app));
  if (help != 0) SetHelpText(app, help);
}

bool IsTextGrey(const App& app, ControlId id) {
  const uint16_t family = Family(app);
  const bool governor_on = HasFlag(app.image, flag::kGovernorOn);
  if (id == ctl::kLabelShutdown && (family == kFamilyDelmarZ || governor_on)) return true;
  if (id == ctl::kLabelSoftStart && (family == kFamilyDelmarZ || family == kFamilyAlder || !governor_on)) {
    return true;
  }
  if (id == ctl::kLabelForwardBackward && family == kFamilyAlder) return true;
  if (!IsConnected(app.link)) {
    const bool switch_label = id >= ctl::kLabelReverseRotation && id <= ctl::kLabelFixTiming;
    const bool firmware_text = id >= ctl::kLabelUnitName && id <= ctl::kEscFirmwareVersion;
    if (switch_label || firmware_text || id == ctl::kLabelSoftStart) return true;
  }
  return false;
}

}  // namespace tavio
