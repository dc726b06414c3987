#include "core/editors/field_rules.h"

#include "core/model/family.h"

namespace tavio {
namespace {

FieldRule CutoffRule(BatteryType battery) {
  switch (battery) {
    case BatteryType::NiMh: return IntegerRule(Unit::Millivolt, 700, 1200);
    case BatteryType::LiFePo: return IntegerRule(Unit::Millivolt, 1800, 2600);
    case BatteryType::LiPo: break;
  }
  return IntegerRule(Unit::Millivolt, 2700, 4000);
}

struct Judged {
  bool accepted = false;
  uint16_t raw = 0;
  int32_t entered = 0;  // integer entries: the value as entered
};

Judged Judge(const FieldRule& rule, TextView entry) {
  Judged out;
  if (rule.syntax == EntrySyntax::Decimal) {
    float value = 0.0f;
    if (!ParseDecimalEntry(entry, rule.unit_letter, value)) return out;
    if (!(value >= rule.min_decimal && value <= rule.max_decimal)) return out;
    out.accepted = true;
    out.raw = ScaleEntry(value, rule.scale);
    return out;
  }
  int32_t value = 0;
  if (!ParseUnitInteger(entry, UnitText(rule.unit), value)) return out;
  if (value < rule.min_value || value > rule.max_value) return out;
  if (rule.even_only && value % 2 != 0) return out;
  out.accepted = true;
  out.entered = value;
  switch (rule.store) {
    case EntryStore::AsIs: out.raw = static_cast<uint16_t>(value); break;
    case EntryStore::SecondsToMs: out.raw = static_cast<uint16_t>(value * 1000); break;
    case EntryStore::Percent4096: out.raw = PercentToFraction4096(value); break;
    case EntryStore::Scaled: out.raw = ScaleEntry(static_cast<float>(value), rule.scale); break;
  }
  return out;
}

std::string Utf8Unit(Unit unit) { return ToUtf8(UnitText(unit)); }

}  // namespace

std::span<const ControlId> NumericFieldIds() {
  static const std::vector<ControlId> ids = [] {
    std::vector<ControlId> numeric;
    for (const Parameter& row : Parameters()) {
      if (row.IsNumeric()) numeric.push_back(row.control);
    }
    return numeric;
  }();
  return ids;
}

std::optional<FieldRule> RuleFor(ControlId id, uint16_t family, uint16_t model_number, BatteryType battery) {
  const Parameter* row = FindParameter(id);
  if (row == nullptr || !row->IsNumeric() || (row->rule_families & families::Bit(family)) == 0) {
    return std::nullopt;
  }
  switch (row->limit_rule) {
    case LimitRule::Fixed: return (row->other_families & families::Bit(family)) != 0 ? row->other_limits : row->limits;
    case LimitRule::Cutoff: return CutoffRule(battery);
    case LimitRule::TwiceModel: return IntegerRule(Unit::Ampere, 0, 2 * static_cast<int32_t>(model_number));
    case LimitRule::BecCurrent: {
      const bool small_bec = family == kFamilyCorvan || (family == kFamilyBrenta && model_number == 160);
      return IntegerRule(Unit::Milliampere, 0, small_bec ? 20000 : 30000);
    }
  }
  return std::nullopt;
}

std::optional<FieldFormat> EditedFormat(ControlId id, ImageLayout layout, BatteryType battery) {
  return FormatFor(id, layout, battery);
}

bool LimitNeedsModel(ControlId id, uint16_t family) {
  const Parameter* row = FindParameter(id);
  return row != nullptr && (row->model_families & families::Bit(family)) != 0;
}

BatteryType EditedBatteryType(const ConfigImage& image, const EditContext& context) {
  return context.battery_type.value_or(EffectiveBatteryType(image));
}

CommitResult CommitField(ControlId id, TextView entry, const ConfigImage& image, const EditContext& context) {
  CommitResult result;
  result.image = image;
  result.text = Text(entry);

  const auto layout = SelectLayout(context.family, context.param_version);
  if (!layout) return result;
  const BatteryType battery = EditedBatteryType(image, context);
  const auto format = EditedFormat(id, *layout, battery);
  const auto rule = RuleFor(id, context.family, context.model_number, battery);
  if (!format || !rule) return result;
  const auto stored = ReadField(image, *layout, format->field);
  if (!stored) return result;

  const Judged judged = Judge(*rule, entry.substr(0, kFieldTextMax));
  if (!judged.accepted) {
    result.status = CommitStatus::Refused;
    result.text = FormatEncoded(*stored, format->encoding, format->unit);
    return result;
  }
  result.status = CommitStatus::Accepted;
  WriteField(result.image, *layout, format->field, judged.raw);
  // The I-part also keeps ten times its value beside it.
  if (format->field == Field::GovI) {
    WriteField(result.image, *layout, Field::Aux2C, static_cast<uint32_t>(judged.raw) * 10u);
  }
  // The PWM fields show the percent as entered; the others their stored value.
  if (rule->store == EntryStore::Percent4096) {
    result.text = FormatUnitInteger(static_cast<uint32_t>(judged.entered), Unit::Percent);
  } else {
    result.text = FormatEncoded(judged.raw, format->encoding, format->unit);
  }
  return result;
}

SetResult SetField(ControlId id, std::optional<Field> field, TextView entry, const ConfigImage& image,
                   const EditContext& context) {
  SetResult result;
  const auto layout = SelectLayout(context.family, context.param_version);
  const BatteryType battery = EditedBatteryType(image, context);
  const auto format = layout ? EditedFormat(id, *layout, battery) : std::nullopt;
  const auto rule = RuleFor(id, context.family, context.model_number, battery);
  if (!format || (field && format->field != *field) || !rule) return result;
  result.field = format->field;
  result.disabled = WhyDisabled(id, context.family, Flags(image), context.param_version);
  if (result.disabled != DisabledReason::None) {
    result.status = SetStatus::Disabled;
    return result;
  }
  result.commit = CommitField(id, entry, image, context);
  result.status = result.commit.accepted() ? SetStatus::Accepted : SetStatus::Refused;
  if (!result.commit.accepted()) result.limits = LimitsText(*rule);
  return result;
}

std::string LimitsText(const FieldRule& rule) {
  if (rule.syntax == EntrySyntax::Decimal) {
    switch (rule.unit_letter) {
      case u'V': return ToUtf8(FormatFixed(rule.min_decimal, 1) + u".." + FormatFixed(rule.max_decimal, 1)) + " V";
      case u'A': return ToUtf8(FormatFixed(rule.min_decimal, 1) + u".." + FormatFixed(rule.max_decimal, 1)) + " Ah";
      default:
        return ToUtf8(FormatFixed(rule.min_decimal, 2) + u":1.." + FormatFixed(rule.max_decimal, 2)) + ":1";
    }
  }
  std::string text = rule.even_only ? "even " : "";
  text += std::to_string(rule.min_value) + ".." + std::to_string(rule.max_value);
  const std::string unit = Utf8Unit(rule.unit);
  if (!unit.empty()) text += " " + unit;
  return text;
}

bool RawWithinLimits(const FieldRule& rule, uint32_t raw) {
  int64_t low = rule.min_value;
  int64_t high = rule.max_value;
  if (rule.syntax == EntrySyntax::Decimal) {
    low = ScaleEntry(rule.min_decimal, rule.scale);
    high = ScaleEntry(rule.max_decimal, rule.scale);
  } else {
    switch (rule.store) {
      case EntryStore::AsIs: break;
      case EntryStore::SecondsToMs:
        low *= 1000;
        high *= 1000;
        break;
      case EntryStore::Percent4096:
        // A whole percent mostly lies between two steps of 1/4096: both count
        // (the factory sets store 2% as 81, 1.98%).
        low = low * 4096 / 100;
        high = (high * 4096 + 99) / 100;
        break;
      case EntryStore::Scaled:
        low = ScaleEntry(static_cast<float>(rule.min_value), rule.scale);
        high = ScaleEntry(static_cast<float>(rule.max_value), rule.scale);
        break;
    }
  }
  if (raw < low || raw > high) return false;
  return !rule.even_only || raw % 2 == 0;
}

std::optional<Text> EntryStoring(ControlId id, uint32_t raw, const ConfigImage& image, const EditContext& context) {
  const auto rule = RuleFor(id, context.family, context.model_number, EditedBatteryType(image, context));
  if (!rule) return std::nullopt;
  std::optional<Text> entry;
  if (rule->syntax == EntrySyntax::Decimal) {
    const int decimals = rule->scale >= 1000.0 ? 3 : rule->scale >= 100.0 ? 2 : 1;
    entry = FormatFixed(static_cast<double>(raw) / rule->scale, decimals);
  } else {
    switch (rule->store) {
      case EntryStore::AsIs: entry = FromUtf8(std::to_string(raw)); break;
      case EntryStore::SecondsToMs:
        if (raw % 1000 == 0) entry = FromUtf8(std::to_string(raw / 1000));
        break;
      case EntryStore::Percent4096:
        for (int32_t percent = rule->min_value; percent <= rule->max_value; ++percent) {
          if (PercentToFraction4096(percent) == raw) entry = FromUtf8(std::to_string(percent));
        }
        break;
      case EntryStore::Scaled: break;
    }
  }
  // Only an entry the rule takes back to the very value counts.
  if (!entry) return std::nullopt;
  const Judged judged = Judge(*rule, *entry);
  if (!judged.accepted || judged.raw != raw) return std::nullopt;
  return entry;
}

std::vector<LimitViolation> FieldsOutsideLimits(const ConfigImage& image, const EditContext& context) {
  std::vector<LimitViolation> out;
  const auto layout = SelectLayout(context.family, context.param_version);
  if (!layout) return out;
  for (ControlId id : NumericFieldIds()) {
    if (WhyDisabled(id, context.family, Flags(image), context.param_version) != DisabledReason::None) continue;
    const auto format = DisplayFormat(id, *layout, image);
    const auto rule = RuleFor(id, context.family, context.model_number, EditedBatteryType(image, context));
    if (!format || !rule) continue;
    const auto raw = ReadField(image, *layout, format->field);
    if (!raw || RawWithinLimits(*rule, *raw)) continue;
    out.push_back({id, format->field, *raw, FormatEncoded(*raw, format->encoding, format->unit), *rule});
  }
  return out;
}

namespace {
constexpr uint32_t kGovernorBits = flag::kGovernorOn | flag::kGovernorStore | flag::kGovernorRpmStored;
constexpr uint32_t kBrakeBits = flag::kBrakeOn | flag::kBrakeProportional;
}  // namespace

uint32_t GovernorTypeFlags(uint32_t flags, int index) {
  switch (index) {
    case 0: return flags & ~kGovernorBits;
    case 1: return (flags & ~(kGovernorBits | flag::kBrakeOn | flag::kShutdown)) | flag::kGovernorOn;
    case 2:
      return (flags & ~(kGovernorBits | flag::kBrakeOn | flag::kShutdown)) | flag::kGovernorOn | flag::kGovernorStore;
    default: return flags;
  }
}

uint32_t BrakeTypeFlags(uint32_t flags, int index) {
  switch (index) {
    case 0: return flags & ~kBrakeBits;
    case 1: return (flags & ~(kGovernorBits | flag::kBrakeProportional)) | flag::kBrakeOn;
    case 2: return (flags & ~kGovernorBits) | kBrakeBits;
    default: return flags;
  }
}

uint32_t BatteryTypeFlags(uint32_t flags, BatteryType type) {
  return (flags & ~flag::kBatteryTypeMask) | (static_cast<uint32_t>(type) << flag::kBatteryTypeShift);
}

}  // namespace tavio
