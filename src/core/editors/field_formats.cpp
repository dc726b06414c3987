#include "core/editors/field_formats.h"

#include <initializer_list>

#include "core/model/family.h"

namespace tavio {
namespace {

using namespace layouts;
using L = ImageLayout;

struct FormatRow {
  ControlId id;
  uint8_t layouts;
  FieldFormat format;
};

// The numeric fields; a field with two rows shows different values per layout.
constexpr FormatRow kFormats[] = {
    {ctl::kBecVoltage, kNot88D, {Field::BecVoltageMv, Encoding::MillivoltsAsVolts, Unit::None}},
    {ctl::kCapacityLimit, kNot80A, {Field::CapacityLimitDah, Encoding::DeciAmpHours, Unit::None}},
    {ctl::kSpoolupTime, kAll, {Field::SpoolupMs, Encoding::MillisecondsAsSeconds, Unit::None}},
    {ctl::kPPart, kAll, {Field::GovP, Encoding::UnitInteger, Unit::None}},
    {ctl::kRiComp, kAlderDelmar, {Field::GovI, Encoding::UnitInteger, Unit::None}},
    {ctl::kRiComp, kBrenta, {Field::RiCompMohm, Encoding::UnitInteger, Unit::Milliohm}},
    {ctl::kPoleCount, kNot80A, {Field::PoleCount, Encoding::UnitInteger, Unit::None}},
    {ctl::kGearRatio, kBrenta, {Field::GearRatioX100, Encoding::RatioTimes100, Unit::None}},
    {ctl::kFixTimingAngle, kAll, {Field::FixTimingDeg, Encoding::UnitInteger, Unit::Degree}},
    {ctl::kSlewPos, kAll, {Field::SlewPosMs, Encoding::UnitInteger, Unit::Millisecond}},
    {ctl::kSlewNeg, kAll, {Field::SlewNegMs, Encoding::UnitInteger, Unit::Millisecond}},
    {ctl::kMinPwm, kAll, {Field::MinPwm, Encoding::Fraction4096, Unit::None}},
    {ctl::kMaxStartCurrent, kAlderDelmar, {Field::MaxStartCurrent, Encoding::UnitInteger, Unit::Percent}},
    {ctl::kMaxStartCurrent, kBrenta, {Field::MaxStartCurrent, Encoding::UnitInteger, Unit::Ampere}},
    {ctl::kBrakeSlewPos, kBrenta, {Field::BrakeSlewPosMs, Encoding::UnitInteger, Unit::Millisecond}},
    {ctl::kBrakeSlewNeg, kBrenta, {Field::BrakeSlewNegMs, Encoding::UnitInteger, Unit::Millisecond}},
    {ctl::kBrakeMinPwm, kBrenta, {Field::BrakeMinPwm, Encoding::Fraction4096, Unit::None}},
    {ctl::kBrakeMaxPwm, kBrenta, {Field::BrakeMaxPwm, Encoding::Fraction4096, Unit::None}},
    {ctl::kHoldTime, kAll, {Field::HoldTimeMs, Encoding::UnitInteger, Unit::Millisecond}},
    {ctl::kWarnCutoff, kWarnings, {Field::WarnCutoffMv, Encoding::UnitInteger, Unit::Millivolt}},
    {ctl::kWarnMotorCurrent, kWarnings, {Field::WarnMotorCurrentA, Encoding::UnitInteger, Unit::Ampere}},
    {ctl::kWarnFetTemp, kWarnings, {Field::WarnFetTempC, Encoding::UnitInteger, Unit::DegreeC}},
    {ctl::kWarnBecTemp, Bit(L::Layout92B), {Field::WarnBecTempC, Encoding::UnitInteger, Unit::DegreeC}},
    {ctl::kWarnBecCurrent, Bit(L::Layout92B), {Field::WarnBecCurrentMa, Encoding::UnitInteger, Unit::Milliampere}},
    {ctl::kWarnCapacity, kWarnings, {Field::WarnCapacityDah, Encoding::DeciAmpHours, Unit::None}},
};

// The enabled state of a control while connected, per family column.
enum class Rule : uint8_t { No, Yes, Gov, NoGov, Brake, Prop, Fix, Ext };

struct EnableRow {
  std::initializer_list<ControlId> ids;
  Rule alder, brenta, corvan, delmar, other;
};

const EnableRow kEnableRows[] = {
    {{ctl::kStore, ctl::kLoadFile, ctl::kSaveFile, ctl::kLoadDefaults}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes},
    {{ctl::kBecVoltage}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::No, Rule::Yes},
    {{ctl::kReverseRotation}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes},
    {{ctl::kForwardBackward}, Rule::No, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes},
    {{ctl::kBatteryType, ctl::kCutoffVoltage}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::No, Rule::Yes},
    {{ctl::kShutdown}, Rule::NoGov, Rule::NoGov, Rule::NoGov, Rule::No, Rule::Yes},
    {{ctl::kCapacityLimit}, Rule::No, Rule::Yes, Rule::Yes, Rule::No, Rule::Yes},
    {{ctl::kHoldTime}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes},
    {{ctl::kGovernorType}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::No, Rule::Yes},
    {{ctl::kSpoolupTime, ctl::kPPart, ctl::kRiComp}, Rule::Gov, Rule::Gov, Rule::Gov, Rule::Gov, Rule::Yes},
    {{ctl::kSoftStart}, Rule::No, Rule::Gov, Rule::Gov, Rule::No, Rule::Yes},
    {{ctl::kBrakeType}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::No, Rule::Yes},
    {{ctl::kPoleCount, ctl::kPoleArrows}, Rule::No, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes},
    {{ctl::kGearRatio}, Rule::No, Rule::Yes, Rule::Yes, Rule::No, Rule::Yes},
    {{ctl::kSlewPos, ctl::kSlewNeg}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::No, Rule::Yes},
    {{ctl::kAutoTiming, ctl::kFixTiming}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes},
    {{ctl::kFixTimingAngle}, Rule::Fix, Rule::Fix, Rule::Fix, Rule::Fix, Rule::Fix},
    {{ctl::kMinPwm}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::No, Rule::Yes},
    {{ctl::kMaxStartCurrent}, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes, Rule::Yes},
    {{ctl::kBrakeSlewPos, ctl::kBrakeSlewNeg, ctl::kBrakeMaxPwm}, Rule::No, Rule::Brake, Rule::Brake, Rule::No, Rule::Yes},
    {{ctl::kBrakeMinPwm}, Rule::No, Rule::Prop, Rule::Prop, Rule::No, Rule::Yes},
    {{ctl::kWarnCutoff, ctl::kWarnCapacity, ctl::kWarnMotorCurrent, ctl::kWarnFetTemp}, Rule::No, Rule::Ext, Rule::Ext, Rule::Yes, Rule::No},
    {{ctl::kWarnBecCurrent}, Rule::No, Rule::Ext, Rule::No, Rule::No, Rule::No},
    {{ctl::kWarnBecTemp}, Rule::No, Rule::Ext, Rule::Ext, Rule::No, Rule::No},
};

Rule ColumnRule(const EnableRow& row, uint16_t family) {
  switch (family) {
    case kFamilyAlder: return row.alder;
    case kFamilyBrenta: return row.brenta;
    case kFamilyCorvan: return row.corvan;
    case kFamilyDelmarZ: return row.delmar;
    default: return row.other;
  }
}

DisabledReason Evaluate(Rule rule, uint32_t flags, uint16_t version) {
  const bool governor = (flags & flag::kGovernorOn) != 0;
  const bool brake = (flags & flag::kBrakeOn) != 0;
  switch (rule) {
    case Rule::No: return DisabledReason::Family;
    case Rule::Yes: return DisabledReason::None;
    case Rule::Gov: return governor ? DisabledReason::None : DisabledReason::GovernorOff;
    case Rule::NoGov: return governor ? DisabledReason::GovernorOn : DisabledReason::None;
    case Rule::Brake: return brake ? DisabledReason::None : DisabledReason::BrakeOff;
    case Rule::Prop:
      if (!brake) return DisabledReason::BrakeOff;
      return (flags & flag::kBrakeProportional) != 0 ? DisabledReason::None : DisabledReason::SwitchingBrake;
    case Rule::Fix: return (flags & flag::kAutoTiming) == 0 ? DisabledReason::None : DisabledReason::AutoTiming;
    case Rule::Ext: return version >= kParamVersion92B ? DisabledReason::None : DisabledReason::ParamSet;
  }
  return DisabledReason::Family;
}

}  // namespace

DisabledReason WhyDisabled(ControlId id, uint16_t family, uint32_t flags, uint16_t version) {
  for (const EnableRow& row : kEnableRows) {
    for (ControlId row_id : row.ids) {
      if (row_id != id) continue;
      const DisabledReason reason = Evaluate(ColumnRule(row, family), flags, version);
      // Minimum brake PWM applies to the proportional brake only: under the
      // switching brake it is disabled in every column.
      if (reason == DisabledReason::None && id == ctl::kBrakeMinPwm && (flags & flag::kBrakeOn) != 0 &&
          (flags & flag::kBrakeProportional) == 0) {
        return DisabledReason::SwitchingBrake;
      }
      return reason;
    }
  }
  return DisabledReason::None;
}

std::optional<FieldFormat> DisplayFormat(ControlId id, ImageLayout layout, const ConfigImage& image) {
  if (id == ctl::kCutoffVoltage) {
    switch (EffectiveBatteryType(image)) {
      case BatteryType::NiMh: return FieldFormat{Field::CutoffNimhMv, Encoding::UnitInteger, Unit::Millivolt};
      case BatteryType::LiFePo: return FieldFormat{Field::CutoffLifepoMv, Encoding::UnitInteger, Unit::Millivolt};
      case BatteryType::LiPo: return FieldFormat{Field::CutoffLipoMv, Encoding::UnitInteger, Unit::Millivolt};
    }
  }
  for (const FormatRow& row : kFormats) {
    if (row.id == id && (row.layouts & Bit(layout)) != 0) return row.format;
  }
  return std::nullopt;
}

std::optional<Text> FieldText(ControlId id, ImageLayout layout, const ConfigImage& image) {
  const auto format = DisplayFormat(id, layout, image);
  if (!format) return std::nullopt;
  const auto raw = ReadField(image, layout, format->field);
  if (!raw) return std::nullopt;
  return FormatEncoded(*raw, format->encoding, format->unit);
}

int BatteryTypeIndex(const ConfigImage& image) { return static_cast<int>(EffectiveBatteryType(image)); }

int GovernorTypeIndex(const ConfigImage& image) {
  if (!HasFlag(image, flag::kGovernorOn)) return 0;
  return HasFlag(image, flag::kGovernorStore) ? 2 : 1;
}

int BrakeTypeIndex(const ConfigImage& image) {
  if (!HasFlag(image, flag::kBrakeOn)) return 0;
  return HasFlag(image, flag::kBrakeProportional) ? 2 : 1;
}

std::vector<ControlId> RuledControls() {
  std::vector<ControlId> ids;
  for (const EnableRow& row : kEnableRows) ids.insert(ids.end(), row.ids.begin(), row.ids.end());
  return ids;
}

}  // namespace tavio
