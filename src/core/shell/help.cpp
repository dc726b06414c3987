#include "core/shell/help.h"

#include "core/model/family.h"
#include "core/model/parameters.h"

namespace tavio {
namespace {

// Help texts fit a 512-character buffer.
constexpr size_t kMaxHelpLength = 511;

// The texts of the firmware box and the help field have help IDs without an
// English text: hovering them empties the help field.
constexpr struct { ControlId label; StringId help; } kOtherHelp[] = {{ctl::kLabelUnitName, 324},        {ctl::kUnitVersion, 325},       {ctl::kLabelEscBootloader, 326},
                  {ctl::kEscBootloaderVersion, 327}, {ctl::kLabelEscFirmware, 328},  {ctl::kEscFirmwareVersion, 329},
                  {ctl::kHelpField, 342}};

void SetHelpText(App& app, StringId id) { app.panel->SetText(ctl::kHelpField, HelpFieldText(app.language, id)); }

}  // namespace

TextView HelpFieldText(Language language, StringId id) {
  const TextView text = LookUpString(language, id);
  return text.size() > kMaxHelpLength ? text.substr(0, kMaxHelpLength) : text;
}

StringId FocusHelpId(ControlId id) {
  const Parameter* row = FindParameter(id);
  return row == nullptr ? 0 : row->help;
}

StringId HoverHelpId(ControlId id, uint16_t family) {
  if (ctl::IsParameterId(id)) return FocusHelpId(id);
  for (const Parameter& row : Parameters()) {
    if (row.label != id) continue;
    return (row.help_families & families::Bit(family)) != 0 ? row.family_help : row.help;
  }
  for (const auto& other : kOtherHelp) {
    if (other.label == id) return other.help;
  }
  return 0;
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
