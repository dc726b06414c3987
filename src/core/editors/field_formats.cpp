#include "core/editors/field_formats.h"

#include <bit>
#include <iterator>

#include "core/model/family.h"

namespace tavio {
namespace {

// The command buttons, always enabled while connected.
constexpr ControlId kCommands[] = {ctl::kStore, ctl::kLoadFile, ctl::kSaveFile, ctl::kLoadDefaults};

Enable ColumnRule(const EnableColumns& row, uint16_t family) {
  const uint8_t bit = families::Bit(family);
  return row[bit == 0 ? 4 : static_cast<size_t>(std::countr_zero(bit))];
}

bool Matches(const Shown& shown, ImageLayout layout, BatteryType battery) {
  return (shown.layouts & layouts::Bit(layout)) != 0 && (shown.battery < 0 || shown.battery == static_cast<int8_t>(battery));
}

DisabledReason Evaluate(Enable rule, uint32_t flags, uint16_t version) {
  const bool governor = (flags & flag::kGovernorOn) != 0;
  const bool brake = (flags & flag::kBrakeOn) != 0;
  const bool switching = brake && (flags & flag::kBrakeProportional) == 0;
  switch (rule) {
    case Enable::No: return DisabledReason::Family;
    case Enable::Yes: return DisabledReason::None;
    case Enable::Gov: return governor ? DisabledReason::None : DisabledReason::GovernorOff;
    case Enable::NoGov: return governor ? DisabledReason::GovernorOn : DisabledReason::None;
    case Enable::Brake: return brake ? DisabledReason::None : DisabledReason::BrakeOff;
    case Enable::Prop:
      if (!brake) return DisabledReason::BrakeOff;
      [[fallthrough]];
    case Enable::NotSwitching: return switching ? DisabledReason::SwitchingBrake : DisabledReason::None;
    case Enable::Fix: return (flags & flag::kAutoTiming) == 0 ? DisabledReason::None : DisabledReason::AutoTiming;
    case Enable::Ext: return version >= kParamVersion92B ? DisabledReason::None : DisabledReason::ParamSet;
  }
  return DisabledReason::Family;
}

}  // namespace

DisabledReason WhyDisabled(ControlId id, uint16_t family, uint32_t flags, uint16_t version) {
  // The arrows go with the pole count.
  const Parameter* row = FindParameter(id == ctl::kPoleArrows ? ctl::kPoleCount : id);
  return row == nullptr ? DisabledReason::None : Evaluate(ColumnRule(row->enable, family), flags, version);
}

std::optional<FieldFormat> DisplayFormat(ControlId id, ImageLayout layout, const ConfigImage& image) {
  return FormatFor(id, layout, EffectiveBatteryType(image));
}

std::optional<FieldFormat> FormatFor(ControlId id, ImageLayout layout, BatteryType battery) {
  const Parameter* row = FindParameter(id);
  if (row == nullptr) return std::nullopt;
  for (const Shown& shown : row->shown) {
    if (Matches(shown, layout, battery)) return FieldFormat{shown.field, shown.encoding, shown.unit};
  }
  return std::nullopt;
}

std::optional<ShownField> FindShownField(Field field, uint8_t in_layouts) {
  for (const Parameter& row : Parameters()) {
    for (const Shown& shown : row.shown) {
      if ((shown.layouts & in_layouts) != 0 && shown.field == field) return ShownField{&row, shown};
    }
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
  std::vector<ControlId> ids(std::begin(kCommands), std::end(kCommands));
  for (const Parameter& row : Parameters()) {
    ids.push_back(row.control);
    if (row.arrows.w != 0) ids.push_back(ctl::kPoleArrows);
  }
  return ids;
}

}  // namespace tavio
