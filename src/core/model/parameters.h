#pragma once
// The ESC's parameters, one row each: the window's control and label, the
// help text, where the value sits and how it shows, its limits, how the
// window fills and enables it and the name tavio-cli gives it. The control
// table, the display, the field rules and formats, the help and the CLI all
// read this table; adding a parameter is adding a row here and its texts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/ids/control_ids.h"
#include "core/model/config_image.h"
#include "core/model/encodings.h"
#include "core/model/family.h"
#include "core/text/string_ids.h"

namespace tavio {

enum class ControlKind : uint8_t {
  Label,        // left-aligned static text
  Value,        // right-aligned static text (firmware versions)
  Field,        // edit field, right-aligned
  DigitsField,  // edit field that takes digits only
  Check,        // check box; its caption is the label beside it
  Radio,        // radio button; its caption is the label beside it
  List,         // drop-down list
  Command,      // push button
  Group,        // group box
  Arrows,       // up-down arrows with a buddy field
  HelpField,    // the static text that shows the help texts
};

// Sets of image layouts, one bit each, for what differs by layout.
namespace layouts {
constexpr uint8_t Bit(ImageLayout layout) { return static_cast<uint8_t>(1u << static_cast<unsigned>(layout)); }
inline constexpr uint8_t k80A = Bit(ImageLayout::Layout80A);
inline constexpr uint8_t k92B = Bit(ImageLayout::Layout92B);
inline constexpr uint8_t kAll = k80A | Bit(ImageLayout::Layout80B) | k92B | Bit(ImageLayout::Layout88D);
inline constexpr uint8_t kBrenta = Bit(ImageLayout::Layout80B) | k92B;
inline constexpr uint8_t kAlderDelmar = k80A | Bit(ImageLayout::Layout88D);
inline constexpr uint8_t kNot88D = kAll & ~Bit(ImageLayout::Layout88D);
inline constexpr uint8_t kNot80A = kAll & ~k80A;
inline constexpr uint8_t kWarnings = k92B | Bit(ImageLayout::Layout88D);
}  // namespace layouts

// Sets of the known families, one bit each.
namespace families {
inline constexpr uint8_t kAlder = 1, kBrenta = 2, kCorvan = 4, kDelmarZ = 8;
inline constexpr uint8_t kAll = kAlder | kBrenta | kCorvan | kDelmarZ;
inline constexpr uint8_t kBrentaCorvan = kBrenta | kCorvan;
constexpr uint8_t Bit(uint16_t family) {
  switch (family) {
    case kFamilyAlder: return kAlder;
    case kFamilyBrenta: return kBrenta;
    case kFamilyCorvan: return kCorvan;
    case kFamilyDelmarZ: return kDelmarZ;
    default: return 0;
  }
}
}  // namespace families

enum class EntrySyntax : uint8_t { UnitInteger, Decimal };

// How an accepted entry becomes the stored value.
enum class EntryStore : uint8_t {
  AsIs,         // the integer itself
  SecondsToMs,  // whole seconds times 1000
  Percent4096,  // whole percent as a share of 4096
  Scaled,       // decimal entry times `scale`, rounded halves up
};

struct FieldRule {
  EntrySyntax syntax = EntrySyntax::UnitInteger;
  Unit unit = Unit::None;      // integer entries
  char16_t unit_letter = 0;    // decimal entries
  int32_t min_value = 0;       // integer limits, inclusive, tested signed
  int32_t max_value = 0;
  float min_decimal = 0.0f;    // decimal limits, inclusive, in single precision
  float max_decimal = 0.0f;
  bool even_only = false;
  EntryStore store = EntryStore::AsIs;
  double scale = 1.0;
};

constexpr FieldRule IntegerRule(Unit unit, int32_t low, int32_t high, EntryStore store = EntryStore::AsIs) {
  return FieldRule{EntrySyntax::UnitInteger, unit, 0, low, high, 0.0f, 0.0f, false, store, 1.0};
}
constexpr FieldRule EvenRule(int32_t low, int32_t high) {
  return FieldRule{EntrySyntax::UnitInteger, Unit::None, 0, low, high, 0.0f, 0.0f, true, EntryStore::AsIs, 1.0};
}
constexpr FieldRule DecimalRule(char16_t letter, float low, float high, double scale) {
  return FieldRule{EntrySyntax::Decimal, Unit::None, letter, 0, 0, low, high, false, EntryStore::Scaled, scale};
}

// Limits the field rules compute: Fixed are the row's; Cutoff by the battery
// type edited, TwiceModel 0..2 A per model number, BecCurrent 20 A on CORVAN
// and BRENTA 160 and 30 A elsewhere.
enum class LimitRule : uint8_t { Fixed, Cutoff, TwiceModel, BecCurrent };

// The enabled state of a control while connected, per family.
// No: the family has no such setting; Gov/NoGov: with/without a governor
// mode; Brake: with a brake, Prop: the proportional one, NotSwitching: unless
// the switching one; Fix: under fixed timing; Ext: from parameter set 0x0401.
enum class Enable : uint8_t { No, Yes, Gov, NoGov, Brake, Prop, NotSwitching, Fix, Ext };
// ALDER, BRENTA, CORVAN, DELMAR-Z, any other family.
using EnableColumns = std::array<Enable, 5>;
inline constexpr EnableColumns kAlways{Enable::Yes, Enable::Yes, Enable::Yes, Enable::Yes, Enable::Yes};

// What ShowImage puts into the control.
enum class Fill : uint8_t { Text, Check, InverseCheck, BatteryList, GovernorList, BrakeList, TimingAngle };

// Client pixels; a width of 0 means the control is not created.
struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// Where a field keeps the value under some layouts and how it shows.
struct Shown {
  uint8_t layouts = 0;  // 0: no entry
  Field field = Field::Count;
  Encoding encoding = Encoding::UnitInteger;
  Unit unit = Unit::None;
  int8_t battery = -1;  // the cut-off: the battery type (BatteryType) whose value this is
};

struct Parameter {
  // ShowImage fills by rank, and each text it fills shows its help: the
  // last one filled is the help a readout leaves.
  uint8_t fill_rank;
  ControlId control;
  ControlKind kind;
  const char16_t* placeholder;  // a field's initial text
  Rect at;                      // the control; its box is the group box around it
  ControlId label;              // the label that names it
  Rect label_at;                // width 0: the label is another row's
  StringId help;                // the help text of the control and its label
  StringId label_text = label;  // 0: `label_literal`
  const char16_t* label_literal = nullptr;
  StringId family_help = 0;     // the label's help in `help_families` instead
  uint8_t help_families = 0;
  std::array<Shown, 3> shown{};  // numeric fields: their values and limits (`other_limits` in `other_families`)
  LimitRule limit_rule = LimitRule::Fixed;
  FieldRule limits{}, other_limits{};
  uint8_t other_families = 0, rule_families = families::kAll;  // the field edits in `rule_families` only
  uint8_t model_families = 0;   // where the limits follow the model number
  Fill fill = IsNumeric() ? Fill::Text : Fill::Check;
  uint8_t fill_layouts = layouts::kAll;
  uint32_t flag = 0;            // check boxes and radio buttons: their bit, changed in `switch_families`
  uint8_t switch_families = families::kAll;
  EnableColumns enable = kAlways;
  std::string_view name = {};   // lists and switches: the CLI's name and of their values
  std::array<const char*, 3> values = {};
  Rect arrows = {};             // up-down arrows beside the field

  constexpr bool IsNumeric() const { return kind == ControlKind::Field || kind == ControlKind::DigitsField; }
  // Builders for the table below; a numeric field is filled where it shows.
  constexpr Parameter Shows(Shown a, Shown b = {}, Shown c = {}) const {
    Parameter p = *this;
    p.shown = {a, b, c}, p.fill_layouts = a.layouts | b.layouts | c.layouts;
    return p;
  }
  constexpr Parameter Limits(FieldRule rule, FieldRule other = {}, uint8_t in = 0) const {
    Parameter p = *this;
    p.limits = rule, p.other_limits = other, p.other_families = in;
    return p;
  }
  constexpr Parameter Computed(LimitRule rule, uint8_t model_in = 0) const { Parameter p = *this; p.limit_rule = rule, p.model_families = model_in; return p; }
  constexpr Parameter Named(std::string_view cli_name, const char* a, const char* b, const char* c = nullptr) const {
    Parameter p = *this;
    p.name = cli_name, p.values = {a, b, c};
    return p;
  }
  constexpr Parameter OnlyIn(uint8_t in) const { Parameter p = *this; p.rule_families = in; return p; }
  constexpr Parameter Filled(Fill how, uint8_t in = layouts::kAll) const { Parameter p = *this; p.fill = how, p.fill_layouts = in; return p; }
  constexpr Parameter Enabled(EnableColumns columns) const { Parameter p = *this; p.enable = columns; return p; }
  constexpr Parameter Switch(uint32_t bit, uint8_t in = families::kAll) const { Parameter p = *this; p.flag = bit, p.switch_families = in; return p; }
  constexpr Parameter Text(StringId id, const char16_t* literal) const { Parameter p = *this; p.label_text = id, p.label_literal = literal; return p; }
  constexpr Parameter LabelHelp(StringId id, uint8_t in) const { Parameter p = *this; p.family_help = id, p.help_families = in; return p; }
  constexpr Parameter WithArrows(Rect place) const { Parameter p = *this; p.arrows = place; return p; }
};

namespace params {

using namespace layouts;
using namespace ctl;
using E = Enable;
using U = Unit;
using Enc = Encoding;
using P = Parameter;
inline constexpr ControlKind kText = ControlKind::Field, kDigits = ControlKind::DigitsField, kCheck = ControlKind::Check,
                             kRadio = ControlKind::Radio, kList = ControlKind::List;
using F = Field;
namespace fam = families;

constexpr Shown Value(uint8_t in, Field field, Encoding encoding = Enc::UnitInteger, Unit unit = U::None) {
  return Shown{in, field, encoding, unit, -1};
}
constexpr Shown Cutoff(BatteryType battery, Field field) {
  return Shown{kAll, field, Enc::UnitInteger, U::Millivolt, static_cast<int8_t>(battery)};
}
constexpr EnableColumns Columns(E alder, E brenta, E corvan, E delmar, E other) {
  return EnableColumns{alder, brenta, corvan, delmar, other};
}
inline constexpr EnableColumns kNotDelmar = Columns(E::Yes, E::Yes, E::Yes, E::No, E::Yes);
inline constexpr EnableColumns kNotAlderDelmar = Columns(E::No, E::Yes, E::Yes, E::No, E::Yes);
inline constexpr EnableColumns kGovernor = Columns(E::Gov, E::Gov, E::Gov, E::Gov, E::Yes);
inline constexpr EnableColumns kBrentaBrake = Columns(E::No, E::Brake, E::Brake, E::No, E::Yes);
inline constexpr EnableColumns kWarning = Columns(E::No, E::Ext, E::Ext, E::Yes, E::No);
constexpr FieldRule Ms(int32_t low, int32_t high) { return IntegerRule(U::Millisecond, low, high); }
constexpr FieldRule Pwm(int32_t low, int32_t high) { return IntegerRule(U::Percent, low, high, EntryStore::Percent4096); }

// {fill rank, control, kind, placeholder, place, label, label's place, help}, in creation order.
inline constexpr Parameter kTable[] = {
    P{0, kBecVoltage, kText, u"0.0V", {200, 38, 80, 25}, kLabelBecVoltage, {20, 40, 180, 25}, 300}
        .Shows(Value(kNot88D, F::BecVoltageMv, Enc::MillivoltsAsVolts))
        .Limits(DecimalRule(u'V', 5.0f, 8.0f, 1000.0)).Enabled(kNotDelmar),
    P{1, kReverseRotation, kCheck, nullptr, {30, 90, 25, 25}, kLabelReverseRotation, {55, 95, 230, 25}, 301}
        .Switch(flag::kReverseRotation).Named("reverse_rotation", "off", "on"),
    P{2, kForwardBackward, kCheck, nullptr, {30, 120, 25, 25}, kLabelForwardBackward, {55, 125, 230, 25}, 302}
        .Switch(flag::kForwardBackward, fam::kAll & ~fam::kAlder).Filled(Fill::Check, kNot80A)
        .Enabled(Columns(E::No, E::Yes, E::Yes, E::Yes, E::Yes)).Named("forward_backward", "off", "on"),
    P{3, kBatteryType, kList, nullptr, {470, 35, 120, 75}, kLabelBatteryType, {330, 40, 140, 25}, 306}
        .Text(sid::kLabelBatteryType, nullptr).Filled(Fill::BatteryList).Enabled(kNotDelmar)
        .Named("battery_type", "nimh", "lipo", "lifepo"),
    P{4, kCutoffVoltage, kDigits, u"0mV", {510, 70, 80, 25}, kLabelCutoffVoltage, {330, 75, 180, 25}, 307}
        .Shows(Cutoff(BatteryType::NiMh, F::CutoffNimhMv), Cutoff(BatteryType::LiPo, F::CutoffLipoMv),
               Cutoff(BatteryType::LiFePo, F::CutoffLifepoMv)).Computed(LimitRule::Cutoff).Enabled(kNotDelmar),
    P{6, kShutdown, kCheck, nullptr, {340, 110, 25, 25}, kLabelShutdown, {365, 115, 220, 25}, 303}
        .Switch(flag::kShutdown).Enabled(Columns(E::NoGov, E::NoGov, E::NoGov, E::No, E::Yes))
        .Named("shutdown", "off", "on"),
    P{5, kCapacityLimit, kText, u"0.0Ah = Aus", {510, 160, 80, 25}, kLabelCapacityLimit, {330, 165, 180, 25},
              308}.Shows(Value(kNot80A, F::CapacityLimitDah, Enc::DeciAmpHours))
        .Limits(DecimalRule(u'A', 0.0f, 65.0f, 10.0)).Enabled(kNotAlderDelmar),
    P{26, kHoldTime, kDigits, u"0ms", {510, 260, 80, 25}, kLabelHoldTime, {330, 265, 180, 25}, 333}
        .Shows(Value(kAll, F::HoldTimeMs, Enc::UnitInteger, U::Millisecond)).Limits(Ms(100, 3000)),
    P{7, kGovernorType, kList, nullptr, {160, 365, 120, 75}, kLabelGovernorType, {20, 370, 140, 25}, 309}
        .Filled(Fill::GovernorList).Enabled(kNotDelmar).Named("governor_type", "off", "governor", "store"),
    P{20, kSoftStart, kCheck, nullptr, {30, 415, 25, 25}, kLabelSoftStart, {55, 420, 230, 25}, 335}
        .Switch(flag::kSoftStart, fam::kBrentaCorvan).Filled(Fill::Check, kBrenta)
        .Enabled(Columns(E::No, E::Gov, E::Gov, E::No, E::Yes)).Named("soft_start", "off", "on"),
    P{8, kSpoolupTime, kDigits, u"0s", {200, 465, 80, 25}, kLabelSpoolupTime, {20, 470, 180, 25}, 310}
        .Shows(Value(kAll, F::SpoolupMs, Enc::MillisecondsAsSeconds))
        .Limits(IntegerRule(U::Second, 6, 20, EntryStore::SecondsToMs),
                IntegerRule(U::Second, 6, 60, EntryStore::SecondsToMs), fam::kBrentaCorvan).Enabled(kGovernor),
    P{9, kPPart, kDigits, u"0", {200, 500, 80, 25}, kLabelPPart, {20, 505, 180, 25}, 311}
        .Shows(Value(kAll, F::GovP)).Limits(IntegerRule(U::None, 0, 10)).Enabled(kGovernor),
    // The label reads "I-Anteil" on ALDER, whose field is the I-part.
    P{10, kRiComp, kDigits, u"0", {200, 535, 80, 25}, kLabelRiComp, {20, 540, 180, 25}, 312}
        .Text(0, u"Ri.-Comp.").LabelHelp(sid::kHelpIPart, fam::kAlder)
        .Shows(Value(kAlderDelmar, F::GovI), Value(kBrenta, F::RiCompMohm, Enc::UnitInteger, U::Milliohm))
        .Limits(IntegerRule(U::None, 0, 10), IntegerRule(U::Milliohm, 0, 1000), fam::kBrentaCorvan).Enabled(kGovernor),
    P{11, kBrakeType, kList, nullptr, {470, 365, 120, 75}, kLabelBrakeType, {330, 370, 140, 25}, 313}
        .Filled(Fill::BrakeList).Enabled(kNotDelmar).Named("brake_type", "off", "switching", "proportional"),
    P{12, kPoleCount, kDigits, u"0", {520, 400, 70, 25}, kLabelPoleCount, {330, 405, 180, 25}, 314}
        .Shows(Value(kNot80A, F::PoleCount)).Limits(EvenRule(2, 32))
        .Enabled(Columns(E::No, E::Yes, E::Yes, E::Yes, E::Yes)).WithArrows({570, 400, 20, 25}),
    P{13, kGearRatio, kText, u"1.00:1", {510, 435, 80, 25}, kLabelGearRatio, {330, 440, 180, 25}, 315}
        .Shows(Value(kBrenta, F::GearRatioX100, Enc::RatioTimes100))
        // The single-precision value nearest 655.35, so that 655.35 itself passes.
        .Limits(DecimalRule(u':', 1.0f, 655.35f, 100.0)).Enabled(kNotAlderDelmar),
    P{14, kAutoTiming, kRadio, nullptr, {340, 475, 25, 25}, kLabelAutoTiming, {365, 480, 150, 25}, 304}
        .Switch(flag::kAutoTiming).Named("timing", "fixed", "auto"),
    P{15, kFixTiming, kRadio, nullptr, {340, 505, 25, 25}, kLabelFixTiming, {365, 510, 150, 25}, 305}
        .Switch(flag::kAutoTiming).Filled(Fill::InverseCheck),
    // Named by the fixed-timing button's label before it.
    P{16, kFixTimingAngle, kDigits, u"0°", {510, 505, 80, 25}, kLabelFixTiming, {}, 305}
        .Shows(Value(kAll, F::FixTimingDeg, Enc::UnitInteger, U::Degree)).Limits(IntegerRule(U::Degree, 0, 30))
        .Filled(Fill::TimingAngle).Enabled(Columns(E::Fix, E::Fix, E::Fix, E::Fix, E::Fix)),
    P{19, kMinPwm, kDigits, u"0%", {820, 365, 80, 25}, kLabelMinPwm, {640, 370, 180, 25}, 334}
        .Shows(Value(kAll, F::MinPwm, Enc::Fraction4096)).Limits(Pwm(2, 25)).Enabled(kNotDelmar),
    P{21, kMaxStartCurrent, kDigits, u"0A", {820, 400, 80, 25}, kLabelMaxStartCurrent,
              {640, 405, 180, 25}, sid::kHelpMaxStartCurrentAmps}
        .LabelHelp(sid::kHelpMaxStartCurrentPercent, fam::kAlder | fam::kDelmarZ)
        .Shows(Value(kAlderDelmar, F::MaxStartCurrent, Enc::UnitInteger, U::Percent),
               Value(kBrenta, F::MaxStartCurrent, Enc::UnitInteger, U::Ampere))
        .Limits(IntegerRule(U::Percent, 10, 100), IntegerRule(U::Ampere, 10, 100), fam::kBrentaCorvan),
    P{17, kSlewPos, kDigits, u"0ms", {820, 435, 80, 25}, kLabelSlewPos, {640, 440, 180, 25}, 316}
        .Text(0, u"Slewrate Pos.").Shows(Value(kAll, F::SlewPosMs, Enc::UnitInteger, U::Millisecond))
        .Limits(Ms(100, 60000), Ms(100, 20000), fam::kAlder).Enabled(kNotDelmar),
    P{18, kSlewNeg, kDigits, u"0ms", {820, 470, 80, 25}, kLabelSlewNeg, {640, 475, 180, 25}, 317}
        .Text(0, u"Slewrate Neg.").Shows(Value(kAll, F::SlewNegMs, Enc::UnitInteger, U::Millisecond))
        .Limits(Ms(100, 60000), Ms(100, 20000), fam::kAlder).Enabled(kNotDelmar),
    P{22, kBrakeSlewPos, kDigits, u"0ms", {820, 505, 80, 25}, kLabelBrakeSlewPos, {640, 510, 180, 25}, 337}
        .Shows(Value(kBrenta, F::BrakeSlewPosMs, Enc::UnitInteger, U::Millisecond)).Limits(Ms(100, 10000))
        .OnlyIn(fam::kBrentaCorvan).Enabled(kBrentaBrake),
    P{23, kBrakeSlewNeg, kDigits, u"0ms", {820, 540, 80, 25}, kLabelBrakeSlewNeg, {640, 545, 180, 25}, 338}
        .Shows(Value(kBrenta, F::BrakeSlewNegMs, Enc::UnitInteger, U::Millisecond)).Limits(Ms(100, 10000))
        .OnlyIn(fam::kBrentaCorvan).Enabled(kBrentaBrake),
    // Applies to the proportional brake only.
    P{24, kBrakeMinPwm, kDigits, u"0%", {820, 575, 80, 25}, kLabelBrakeMinPwm, {640, 580, 180, 25}, 339}
        .Shows(Value(kBrenta, F::BrakeMinPwm, Enc::Fraction4096)).Limits(Pwm(0, 50)).OnlyIn(fam::kBrentaCorvan)
        .Enabled(Columns(E::No, E::Prop, E::Prop, E::No, E::NotSwitching)),
    P{25, kBrakeMaxPwm, kDigits, u"0%", {820, 610, 80, 25}, kLabelBrakeMaxPwm, {640, 615, 180, 25}, 340}
        .Shows(Value(kBrenta, F::BrakeMaxPwm, Enc::Fraction4096)).Limits(Pwm(50, 100)).OnlyIn(fam::kBrentaCorvan)
        .Enabled(kBrentaBrake),
    P{27, kWarnCutoff, kDigits, u"0mV", {820, 35, 80, 25}, kLabelWarnCutoff, {640, 40, 180, 25}, 318}
        .Shows(Value(kWarnings, F::WarnCutoffMv, Enc::UnitInteger, U::Millivolt))
        .Limits(IntegerRule(U::Millivolt, 700, 4400)).Enabled(kWarning),
    P{32, kWarnCapacity, kText, u"0.0Ah = Aus", {820, 70, 80, 25}, kLabelWarnCapacity, {640, 75, 180, 25}, 319}
        .Shows(Value(kWarnings, F::WarnCapacityDah, Enc::DeciAmpHours))
        .Limits(DecimalRule(u'A', 0.0f, 65.0f, 10.0)).Enabled(kWarning),
    P{28, kWarnMotorCurrent, kDigits, u"0A", {820, 105, 80, 25}, kLabelWarnMotorCurrent,
              {640, 110, 180, 25}, 320}.Shows(Value(kWarnings, F::WarnMotorCurrentA, Enc::UnitInteger, U::Ampere))
        .Computed(LimitRule::TwiceModel, fam::kAll).Enabled(kWarning),
    P{31, kWarnBecCurrent, kDigits, u"0mA", {820, 140, 80, 25}, kLabelWarnBecCurrent,
              {640, 145, 180, 25}, 321}.Shows(Value(k92B, F::WarnBecCurrentMa, Enc::UnitInteger, U::Milliampere))
        .Computed(LimitRule::BecCurrent, fam::kBrenta).Enabled(Columns(E::No, E::Ext, E::No, E::No, E::No)),
    P{29, kWarnFetTemp, kDigits, u"0°C", {820, 175, 80, 25}, kLabelWarnFetTemp, {640, 180, 180, 25}, 322}
        .Shows(Value(kWarnings, F::WarnFetTempC, Enc::UnitInteger, U::DegreeC))
        .Limits(IntegerRule(U::DegreeC, 20, 90)).Enabled(kWarning),
    P{30, kWarnBecTemp, kDigits, u"0°C", {820, 210, 80, 25}, kLabelWarnBecTemp, {640, 215, 180, 25}, 323}
        .Shows(Value(k92B, F::WarnBecTempC, Enc::UnitInteger, U::DegreeC)).Limits(IntegerRule(U::DegreeC, 20, 90))
        .Enabled(Columns(E::No, E::Ext, E::Ext, E::No, E::No)),
};

}  // namespace params

constexpr std::span<const Parameter> Parameters() { return params::kTable; }

constexpr const Parameter* FindParameter(ControlId control) {
  for (const Parameter& row : params::kTable) {
    if (row.control == control) return &row;
  }
  return nullptr;
}

// The controls the table's rows create: each row's control, its own label
// and its arrows.
constexpr std::size_t ParameterControlCount() {
  std::size_t count = 0;
  for (const Parameter& row : params::kTable) count += 1 + (row.label_at.w != 0) + (row.arrows.w != 0);
  return count;
}

namespace ctl {
// Parameter controls are the rows' controls: help and hover go by this.
constexpr bool IsParameterId(ControlId id) { return FindParameter(id) != nullptr; }
}  // namespace ctl

// Controls in the parameter range, labels in the label range, each control
// and fill rank once; a field has a value, a list or switch a name (the
// fixed-timing button is the other value of "timing").
constexpr bool RowsKeepTheirRanges() {
  for (std::size_t i = 0; i < std::size(params::kTable); ++i) {
    const Parameter& row = params::kTable[i];
    const bool choice = row.kind == ControlKind::List || row.kind == ControlKind::Check || row.kind == ControlKind::Radio;
    if (row.control < ctl::kParameterFirst || row.control > ctl::kParameterLast || !ctl::IsLabelId(row.label) ||
        row.fill_rank >= std::size(params::kTable) || row.IsNumeric() != (row.shown[0].layouts != 0) ||
        (choice && row.name.empty() && row.control != ctl::kFixTiming)) {
      return false;
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (params::kTable[j].control == row.control || params::kTable[j].fill_rank == row.fill_rank) return false;
    }
  }
  return true;
}
static_assert(RowsKeepTheirRanges(), "a parameter row's IDs or fill rank are out of range, or used twice");

}  // namespace tavio
