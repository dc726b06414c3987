#include "core/shell/accessible_names.h"

#include <algorithm>
#include <iterator>

#include "core/shell/control_table.h"
#include "core/shell/help.h"

namespace tavio {
namespace {

struct NamedControl {
  ControlId control;
  ControlId label;      // the label whose text names it
  ControlId help_from;  // the control whose focus help describes it
};

// Every field, list, check box, radio button and the pole-count arrows. The
// fixed-timing angle has no label of its own: the radio button's label stands
// before it. The arrows only change their buddy, so its help describes them.
constexpr NamedControl kNamedControls[] = {
    {ctl::kBecVoltage, ctl::kLabelBecVoltage, ctl::kBecVoltage},
    {ctl::kReverseRotation, ctl::kLabelReverseRotation, ctl::kReverseRotation},
    {ctl::kForwardBackward, ctl::kLabelForwardBackward, ctl::kForwardBackward},
    {ctl::kBatteryType, ctl::kLabelBatteryType, ctl::kBatteryType},
    {ctl::kCutoffVoltage, ctl::kLabelCutoffVoltage, ctl::kCutoffVoltage},
    {ctl::kShutdown, ctl::kLabelShutdown, ctl::kShutdown},
    {ctl::kCapacityLimit, ctl::kLabelCapacityLimit, ctl::kCapacityLimit},
    {ctl::kHoldTime, ctl::kLabelHoldTime, ctl::kHoldTime},
    {ctl::kGovernorType, ctl::kLabelGovernorType, ctl::kGovernorType},
    {ctl::kSoftStart, ctl::kLabelSoftStart, ctl::kSoftStart},
    {ctl::kSpoolupTime, ctl::kLabelSpoolupTime, ctl::kSpoolupTime},
    {ctl::kPPart, ctl::kLabelPPart, ctl::kPPart},
    {ctl::kRiComp, ctl::kLabelRiComp, ctl::kRiComp},
    {ctl::kBrakeType, ctl::kLabelBrakeType, ctl::kBrakeType},
    {ctl::kPoleCount, ctl::kLabelPoleCount, ctl::kPoleCount},
    {ctl::kPoleArrows, ctl::kLabelPoleCount, kPoleCountArrows.buddy},
    {ctl::kGearRatio, ctl::kLabelGearRatio, ctl::kGearRatio},
    {ctl::kAutoTiming, ctl::kLabelAutoTiming, ctl::kAutoTiming},
    {ctl::kFixTiming, ctl::kLabelFixTiming, ctl::kFixTiming},
    {ctl::kFixTimingAngle, ctl::kLabelFixTiming, ctl::kFixTimingAngle},
    {ctl::kMinPwm, ctl::kLabelMinPwm, ctl::kMinPwm},
    {ctl::kMaxStartCurrent, ctl::kLabelMaxStartCurrent, ctl::kMaxStartCurrent},
    {ctl::kSlewPos, ctl::kLabelSlewPos, ctl::kSlewPos},
    {ctl::kSlewNeg, ctl::kLabelSlewNeg, ctl::kSlewNeg},
    {ctl::kBrakeSlewPos, ctl::kLabelBrakeSlewPos, ctl::kBrakeSlewPos},
    {ctl::kBrakeSlewNeg, ctl::kLabelBrakeSlewNeg, ctl::kBrakeSlewNeg},
    {ctl::kBrakeMinPwm, ctl::kLabelBrakeMinPwm, ctl::kBrakeMinPwm},
    {ctl::kBrakeMaxPwm, ctl::kLabelBrakeMaxPwm, ctl::kBrakeMaxPwm},
    {ctl::kWarnCutoff, ctl::kLabelWarnCutoff, ctl::kWarnCutoff},
    {ctl::kWarnCapacity, ctl::kLabelWarnCapacity, ctl::kWarnCapacity},
    {ctl::kWarnMotorCurrent, ctl::kLabelWarnMotorCurrent, ctl::kWarnMotorCurrent},
    {ctl::kWarnBecCurrent, ctl::kLabelWarnBecCurrent, ctl::kWarnBecCurrent},
    {ctl::kWarnFetTemp, ctl::kLabelWarnFetTemp, ctl::kWarnFetTemp},
    {ctl::kWarnBecTemp, ctl::kLabelWarnBecTemp, ctl::kWarnBecTemp},
};

const NamedControl* FindNamed(ControlId id) {
  const auto* found = std::find_if(std::begin(kNamedControls), std::end(kNamedControls),
                                   [id](const NamedControl& n) { return n.control == id; });
  return found == std::end(kNamedControls) ? nullptr : found;
}

}  // namespace

Text AccessibleName(ControlId id, Language language) {
  const ControlDef* label = FindControl(NamingLabel(id));
  return label == nullptr ? Text() : ControlText(*label, language);
}

Text AccessibleDescription(ControlId id, Language language) {
  const NamedControl* named = FindNamed(id);
  if (named == nullptr) return Text();
  return Text(HelpFieldText(language, FocusHelpId(named->help_from)));
}

ControlId NamingLabel(ControlId id) {
  const NamedControl* named = FindNamed(id);
  return named == nullptr ? 0 : named->label;
}

}  // namespace tavio
