#include "core/shell/display.h"
#include "core/shell/focus.h"

#include <initializer_list>

#include "core/model/family.h"

namespace tavio {
namespace {

using L = ImageLayout;

constexpr uint8_t Bit(L layout) { return static_cast<uint8_t>(1u << static_cast<unsigned>(layout)); }
constexpr uint8_t kAll = Bit(L::Layout80A) | Bit(L::Layout80B) | Bit(L::Layout92B) | Bit(L::Layout88D);
constexpr uint8_t kBrenta = Bit(L::Layout80B) | Bit(L::Layout92B);
constexpr uint8_t kAlderDelmar = Bit(L::Layout80A) | Bit(L::Layout88D);
constexpr uint8_t kNot88D = kAll & ~Bit(L::Layout88D);
constexpr uint8_t kNot80A = kAll & ~Bit(L::Layout80A);
constexpr uint8_t kWarnings = Bit(L::Layout92B) | Bit(L::Layout88D);

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

// What ShowImage puts where, in the order it fills the controls.
enum class Fill : uint8_t { Text, Check, InverseCheck, BatteryList, GovernorList, BrakeList, TimingAngle };

struct FillRow {
  ControlId id;
  Fill fill;
  uint8_t layouts;
  uint32_t flag = 0;
};

constexpr FillRow kFills[] = {
    {ctl::kBecVoltage, Fill::Text, kNot88D},
    {ctl::kReverseRotation, Fill::Check, kAll, flag::kReverseRotation},
    {ctl::kForwardBackward, Fill::Check, kNot80A, flag::kForwardBackward},
    {ctl::kBatteryType, Fill::BatteryList, kAll},
    {ctl::kCutoffVoltage, Fill::Text, kAll},
    {ctl::kCapacityLimit, Fill::Text, kNot80A},
    {ctl::kShutdown, Fill::Check, kAll, flag::kShutdown},
    {ctl::kGovernorType, Fill::GovernorList, kAll},
    {ctl::kSpoolupTime, Fill::Text, kAll},
    {ctl::kPPart, Fill::Text, kAll},
    {ctl::kRiComp, Fill::Text, kAll},
    {ctl::kBrakeType, Fill::BrakeList, kAll},
    {ctl::kPoleCount, Fill::Text, kNot80A},
    {ctl::kGearRatio, Fill::Text, kBrenta},
    {ctl::kAutoTiming, Fill::Check, kAll, flag::kAutoTiming},
    {ctl::kFixTiming, Fill::InverseCheck, kAll, flag::kAutoTiming},
    {ctl::kFixTimingAngle, Fill::TimingAngle, kAll},
    {ctl::kSlewPos, Fill::Text, kAll},
    {ctl::kSlewNeg, Fill::Text, kAll},
    {ctl::kMinPwm, Fill::Text, kAll},
    {ctl::kSoftStart, Fill::Check, kBrenta, flag::kSoftStart},
    {ctl::kMaxStartCurrent, Fill::Text, kAll},
    {ctl::kBrakeSlewPos, Fill::Text, kBrenta},
    {ctl::kBrakeSlewNeg, Fill::Text, kBrenta},
    {ctl::kBrakeMinPwm, Fill::Text, kBrenta},
    {ctl::kBrakeMaxPwm, Fill::Text, kBrenta},
    {ctl::kHoldTime, Fill::Text, kAll},
    {ctl::kWarnCutoff, Fill::Text, kWarnings},
    {ctl::kWarnMotorCurrent, Fill::Text, kWarnings},
    {ctl::kWarnFetTemp, Fill::Text, kWarnings},
    {ctl::kWarnBecTemp, Fill::Text, Bit(L::Layout92B)},
    {ctl::kWarnBecCurrent, Fill::Text, Bit(L::Layout92B)},
    {ctl::kWarnCapacity, Fill::Text, kWarnings},
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

Text UnitKindName(uint16_t unit_product_id) {
  return unit_product_id == kProductLinkpuck ? u"LINKPUCK" : u"LINKBOX";
}

Text UnitVersionText(uint32_t unit_firmware_version) {
  const uint32_t v = (unit_firmware_version & 0xFF) == 0 ? unit_firmware_version >> 8 : unit_firmware_version;
  return FormatVersion(v);
}

Text EscFirmwareText(uint16_t esc_firmware_version) {
  return esc_firmware_version == 0xFFFF ? Text(u"----------") : FormatVersion(esc_firmware_version);
}

Text WindowTitle(Language language, bool connected, uint16_t family, uint16_t model) {
  // The program's own version, 1.2.0, is fixed.
  if (connected) {
    const std::string name(FamilyName(family));
    return FormatPattern(LookUpString(language, sid::kTitleConnected), 1u, 2u, 0u, name.c_str(),
                         static_cast<unsigned>(model));
  }
  return FormatPattern(LookUpString(language, sid::kTitleNotConnected), 1u, 2u, 0u);
}

void ShowImage(App& app) {
  const auto layout = SelectLayout(Family(app), EscVersion(app));
  if (!layout) return;
  Panel& panel = *app.panel;
  const ConfigImage& image = app.image;
  for (const FillRow& row : kFills) {
    if ((row.layouts & Bit(*layout)) == 0) continue;
    switch (row.fill) {
      case Fill::TimingAngle:
        EnableControl(app, row.id, !HasFlag(image, flag::kAutoTiming));
        [[fallthrough]];
      case Fill::Text:
        if (const auto text = FieldText(row.id, *layout, image)) panel.SetText(row.id, *text);
        break;
      case Fill::Check: panel.SetCheck(row.id, HasFlag(image, row.flag)); break;
      case Fill::InverseCheck: panel.SetCheck(row.id, !HasFlag(image, row.flag)); break;
      case Fill::BatteryList: panel.SetSelection(row.id, BatteryTypeIndex(image)); break;
      case Fill::GovernorList: panel.SetSelection(row.id, GovernorTypeIndex(image)); break;
      case Fill::BrakeList: panel.SetSelection(row.id, BrakeTypeIndex(image)); break;
    }
  }
}

void RefreshDisplay(App& app) {
  Panel& panel = *app.panel;
  const bool connected = IsConnected(app.link);
  const uint16_t family = Family(app);
  const DeviceInfo& info = app.link.info;

  panel.SetTitle(WindowTitle(app.language, connected, family, Model(app)));
  if (connected) {
    panel.SetText(ctl::kLabelUnitName, UnitKindName(info.unit_product_id));
    panel.SetText(ctl::kUnitVersion, UnitVersionText(info.unit_firmware_version));
    panel.SetText(ctl::kEscBootloaderVersion, FormatVersion(EscBootloaderVersion(info)));
    panel.SetText(ctl::kEscFirmwareVersion, EscFirmwareText(EscFirmwareVersion(info)));
  } else {
    panel.SetText(ctl::kUnitVersion, u"0.0.0");
    panel.SetText(ctl::kEscBootloaderVersion, u"0.0.0");
    panel.SetText(ctl::kEscFirmwareVersion, u"0.0.0");
  }
  // The same two texts in every language.
  panel.SetText(ctl::kLabelRiComp, family == kFamilyAlder ? u"I-Anteil" : u"Ri.-Comp.");

  const uint32_t flags = Flags(app.image);
  const uint16_t version = EscVersion(app);
  for (const EnableRow& row : kEnableRows) {
    for (ControlId id : row.ids) {
      EnableControl(app, id, connected && WhyDisabled(id, family, flags, version) == DisabledReason::None);
    }
  }
  panel.Repaint();
}

}  // namespace tavio
