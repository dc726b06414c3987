#include "core/shell/control_table.h"

#include <algorithm>
#include <iterator>

namespace tavio {
namespace {

// Row builders; they keep the table below one line per control.
constexpr ControlDef Row(ControlId id, ControlKind kind, StringId text_id, const char16_t* literal,
                         int x, int y, int w, int h, bool starts_group = false) {
  return ControlDef{id, kind, text_id, literal, x, y, w, h, starts_group};
}
// A label whose text is the string of its own ID.
constexpr ControlDef Label(ControlId id, int x, int y, int w, int h) {
  return Row(id, ControlKind::Label, id, nullptr, x, y, w, h);
}
constexpr ControlDef Label(ControlId id, StringId text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Label, text, nullptr, x, y, w, h);
}
constexpr ControlDef Label(ControlId id, const char16_t* text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Label, 0, text, x, y, w, h);
}
constexpr ControlDef Value(ControlId id, const char16_t* text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Value, 0, text, x, y, w, h);
}
constexpr ControlDef HelpText(ControlId id, int x, int y, int w, int h) {
  return Row(id, ControlKind::HelpField, sid::kHelpField, nullptr, x, y, w, h);
}
constexpr ControlDef Field(ControlId id, const char16_t* placeholder, int x, int y, int w, int h) {
  return Row(id, ControlKind::Field, 0, placeholder, x, y, w, h);
}
constexpr ControlDef Digits(ControlId id, const char16_t* placeholder, int x, int y, int w, int h) {
  return Row(id, ControlKind::DigitsField, 0, placeholder, x, y, w, h);
}
constexpr ControlDef Check(ControlId id, int x, int y, int w, int h) {
  return Row(id, ControlKind::Check, 0, nullptr, x, y, w, h);
}
constexpr ControlDef Radio(ControlId id, int x, int y, int w, int h, bool starts_group) {
  return Row(id, ControlKind::Radio, 0, nullptr, x, y, w, h, starts_group);
}
constexpr ControlDef List(ControlId id, int x, int y, int w, int h) {
  return Row(id, ControlKind::List, 0, nullptr, x, y, w, h);
}
constexpr ControlDef Arrows(ControlId id, int x, int y, int w, int h) {
  return Row(id, ControlKind::Arrows, 0, nullptr, x, y, w, h);
}
constexpr ControlDef Command(ControlId id, StringId text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Command, text, nullptr, x, y, w, h);
}
constexpr ControlDef Group(ControlId id, StringId text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Group, text, nullptr, x, y, w, h);
}
constexpr ControlDef Group(ControlId id, const char16_t* text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Group, 0, text, x, y, w, h);
}

// Creation order. The command buttons of the General box come before the box
// and in reverse screen order, so Tab visits them bottom-up.
constexpr ControlDef kControls[] = {
    Label(ctl::kLabelBecVoltage, 20, 40, 180, 25),
    Field(ctl::kBecVoltage, u"0.0V", 200, 38, 80, 25),
    Check(ctl::kReverseRotation, 30, 90, 25, 25),
    Label(ctl::kLabelReverseRotation, 55, 95, 230, 25),
    Check(ctl::kForwardBackward, 30, 120, 25, 25),
    Label(ctl::kLabelForwardBackward, 55, 125, 230, 25),
    Command(ctl::kLoadDefaults, sid::kButtonLoadDefaults, 70, 260, 160, 25),
    Command(ctl::kLoadFile, sid::kButtonLoadFile, 70, 215, 160, 25),
    Command(ctl::kSaveFile, sid::kButtonSaveFile, 70, 170, 160, 25),
    Group(ctl::kGroupGeneral, sid::kGroupGeneral, 10, 10, 280, 300),
    Label(ctl::kLabelBatteryType, sid::kLabelBatteryType, 330, 40, 140, 25),
    List(ctl::kBatteryType, 470, 35, 120, 75),
    Label(ctl::kLabelCutoffVoltage, 330, 75, 180, 25),
    Digits(ctl::kCutoffVoltage, u"0mV", 510, 70, 80, 25),
    Check(ctl::kShutdown, 340, 110, 25, 25),
    Label(ctl::kLabelShutdown, 365, 115, 220, 25),
    Label(ctl::kLabelCapacityLimit, 330, 165, 180, 25),
    Field(ctl::kCapacityLimit, u"0.0Ah = Aus", 510, 160, 80, 25),
    Label(ctl::kLabelHoldTime, 330, 265, 180, 25),
    Digits(ctl::kHoldTime, u"0ms", 510, 260, 80, 25),
    Group(ctl::kGroupBattery, sid::kGroupBattery, 320, 10, 280, 300),
    Group(ctl::kGroupComment, sid::kGroupComment, 940, 340, 280, 300),
    HelpText(ctl::kHelpField, 950, 370, 260, 260),
    Label(ctl::kLabelGovernorType, 20, 370, 140, 25),
    List(ctl::kGovernorType, 160, 365, 120, 75),
    Check(ctl::kSoftStart, 30, 415, 25, 25),
    Label(ctl::kLabelSoftStart, 55, 420, 230, 25),
    Label(ctl::kLabelSpoolupTime, 20, 470, 180, 25),
    Digits(ctl::kSpoolupTime, u"0s", 200, 465, 80, 25),
    Label(ctl::kLabelPPart, 20, 505, 180, 25),
    Digits(ctl::kPPart, u"0", 200, 500, 80, 25),
    Label(ctl::kLabelRiComp, u"Ri.-Comp.", 20, 540, 180, 25),
    Digits(ctl::kRiComp, u"0", 200, 535, 80, 25),
    Group(ctl::kGroupGovernor, sid::kGroupGovernor, 10, 340, 280, 300),
    Label(ctl::kLabelBrakeType, 330, 370, 140, 25),
    List(ctl::kBrakeType, 470, 365, 120, 75),
    Label(ctl::kLabelPoleCount, 330, 405, 180, 25),
    Digits(ctl::kPoleCount, u"0", 520, 400, 70, 25),
    Arrows(ctl::kPoleArrows, 570, 400, 20, 25),
    Label(ctl::kLabelGearRatio, 330, 440, 180, 25),
    Field(ctl::kGearRatio, u"1.00:1", 510, 435, 80, 25),
    Radio(ctl::kAutoTiming, 340, 475, 25, 25, true),
    Label(ctl::kLabelAutoTiming, 365, 480, 150, 25),
    Radio(ctl::kFixTiming, 340, 505, 25, 25, false),
    Label(ctl::kLabelFixTiming, 365, 510, 150, 25),
    Digits(ctl::kFixTimingAngle, u"0°", 510, 505, 80, 25),
    Group(ctl::kGroupMotor, sid::kGroupMotor, 320, 340, 280, 300),
    Label(ctl::kLabelMinPwm, 640, 370, 180, 25),
    Digits(ctl::kMinPwm, u"0%", 820, 365, 80, 25),
    Label(ctl::kLabelMaxStartCurrent, 640, 405, 180, 25),
    Digits(ctl::kMaxStartCurrent, u"0A", 820, 400, 80, 25),
    Label(ctl::kLabelSlewPos, u"Slewrate Pos.", 640, 440, 180, 25),
    Digits(ctl::kSlewPos, u"0ms", 820, 435, 80, 25),
    Label(ctl::kLabelSlewNeg, u"Slewrate Neg.", 640, 475, 180, 25),
    Digits(ctl::kSlewNeg, u"0ms", 820, 470, 80, 25),
    Label(ctl::kLabelBrakeSlewPos, 640, 510, 180, 25),
    Digits(ctl::kBrakeSlewPos, u"0ms", 820, 505, 80, 25),
    Label(ctl::kLabelBrakeSlewNeg, 640, 545, 180, 25),
    Digits(ctl::kBrakeSlewNeg, u"0ms", 820, 540, 80, 25),
    Label(ctl::kLabelBrakeMinPwm, 640, 580, 180, 25),
    Digits(ctl::kBrakeMinPwm, u"0%", 820, 575, 80, 25),
    Label(ctl::kLabelBrakeMaxPwm, 640, 615, 180, 25),
    Digits(ctl::kBrakeMaxPwm, u"0%", 820, 610, 80, 25),
    Group(ctl::kGroupExpert, sid::kGroupExpert, 630, 340, 280, 300),
    Label(ctl::kLabelWarnCutoff, 640, 40, 180, 25),
    Digits(ctl::kWarnCutoff, u"0mV", 820, 35, 80, 25),
    Label(ctl::kLabelWarnCapacity, 640, 75, 180, 25),
    Field(ctl::kWarnCapacity, u"0.0Ah = Aus", 820, 70, 80, 25),
    Label(ctl::kLabelWarnMotorCurrent, 640, 110, 180, 25),
    Digits(ctl::kWarnMotorCurrent, u"0A", 820, 105, 80, 25),
    Label(ctl::kLabelWarnBecCurrent, 640, 145, 180, 25),
    Digits(ctl::kWarnBecCurrent, u"0mA", 820, 140, 80, 25),
    Label(ctl::kLabelWarnFetTemp, 640, 180, 180, 25),
    Digits(ctl::kWarnFetTemp, u"0°C", 820, 175, 80, 25),
    Label(ctl::kLabelWarnBecTemp, 640, 215, 180, 25),
    Digits(ctl::kWarnBecTemp, u"0°C", 820, 210, 80, 25),
    Group(ctl::kGroupWarnings, sid::kGroupWarnings, 630, 10, 280, 300),
    Group(ctl::kGroupFirmware, u"Firmware-Info", 1020, 125, 200, 130),
    Label(ctl::kLabelUnitName, u"LINKPUCK", 1030, 155, 120, 25),
    Value(ctl::kUnitVersion, u"0.0.0", 1150, 155, 60, 25),
    Label(ctl::kLabelEscBootloader, 1030, 185, 120, 25),
    Value(ctl::kEscBootloaderVersion, u"0.0.0", 1150, 185, 60, 25),
    Label(ctl::kLabelEscFirmware, 1030, 215, 120, 25),
    Value(ctl::kEscFirmwareVersion, u"0.0.0", 1150, 215, 60, 25),
    Command(ctl::kStore, sid::kButtonStore, 1020, 265, 200, 40),
};
static_assert(std::size(kControls) == kControlCount);

constexpr ListItemDef kBatteryItems[] = {{0, u"NiMh/NiCd"}, {0, u"LiPo"}, {0, u"LiFePo"}};
constexpr ListItemDef kGovernorItems[] = {
    {sid::kItemOff, nullptr}, {0, u"Governor"}, {0, u"Governor Store"}};
constexpr ListItemDef kBrakeItems[] = {
    {sid::kItemOff, nullptr}, {sid::kItemSwitchingBrake, nullptr}, {sid::kItemProportional, nullptr}};

}  // namespace

std::span<const ControlDef> ControlTable() { return kControls; }

const ControlDef* FindControl(ControlId id) {
  const auto* found = std::find_if(std::begin(kControls), std::end(kControls),
                                   [id](const ControlDef& c) { return c.id == id; });
  return found == std::end(kControls) ? nullptr : found;
}

std::span<const ListItemDef> ListItems(ControlId list_id) {
  switch (list_id) {
    case ctl::kBatteryType:
      return kBatteryItems;
    case ctl::kGovernorType:
      return kGovernorItems;
    case ctl::kBrakeType:
      return kBrakeItems;
    default:
      return {};
  }
}

bool IsTabStop(ControlKind kind) {
  switch (kind) {
    case ControlKind::Field:
    case ControlKind::DigitsField:
    case ControlKind::Check:
    case ControlKind::Radio:
    case ControlKind::List:
    case ControlKind::Command:
      return true;
    case ControlKind::Label:
    case ControlKind::Value:
    case ControlKind::Group:
    case ControlKind::Arrows:
    case ControlKind::HelpField:
      return false;
  }
  return false;
}

Text ControlText(const ControlDef& control, Language language) {
  if (control.text_id != 0) {
    return Text(LookUpString(language, control.text_id).substr(0, kMaxControlTextLength));
  }
  return control.literal != nullptr ? Text(control.literal) : Text();
}

Text ListItemText(const ListItemDef& item, Language language) {
  if (item.text_id != 0) return Text(LookUpString(language, item.text_id));
  return item.literal != nullptr ? Text(item.literal) : Text();
}

}  // namespace tavio
