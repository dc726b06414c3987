#include "core/model/config_image.h"

#include <algorithm>
#include <array>

#include "core/model/family.h"

namespace tavio {
namespace {

using F = Field;

#define TAVIO_COMMON_HEAD(ri_field)                                                           \
  {F::BlockLength, 0x00, 2}, {F::ParamVersion, 0x02, 2}, {F::Flags, 0x04, 4},               \
      {F::CutoffNimhMv, 0x08, 2}, {F::CutoffLipoMv, 0x0A, 2}, {F::CutoffLifepoMv, 0x0C, 2}, \
      {F::BrakeSlewPosMs, 0x0E, 2}, {F::BecVoltageMv, 0x10, 2}, {F::HoldTimeMs, 0x12, 2},   \
      {F::FixTimingDeg, 0x14, 2}, {F::StickBrakeUs, 0x16, 2}, {F::StickNeutralUs, 0x18, 2}, \
      {F::StickFullUs, 0x1A, 2}, {F::Aux1C, 0x1C, 2}, {F::Aux1E, 0x1E, 2}, {F::Aux20, 0x20, 2}, \
      {F::SlewPosMs, 0x22, 2}, {F::SlewNegMs, 0x24, 2}, {F::SpoolupMs, 0x26, 2},            \
      {F::GovP, 0x28, 2}, {ri_field, 0x2A, 2}

// BRENTA/CORVAN bytes 0x2C..0x4B, shared by the 80- and 92-byte layouts.
#define TAVIO_BRENTA_MIDDLE                                                                   \
  {F::CapacityLimitDah, 0x2C, 2}, {F::Aux2E, 0x2E, 2}, {F::Aux30, 0x30, 4},                 \
      {F::Aux34, 0x34, 2}, {F::Aux36, 0x36, 2}, {F::Aux38, 0x38, 2}, {F::MinPwm, 0x3A, 2},  \
      {F::MaxStartCurrent, 0x3C, 2}, {F::BrakeSlewNegMs, 0x3E, 2}, {F::BrakeMinPwm, 0x40, 2}, \
      {F::BrakeMaxPwm, 0x42, 2}, {F::Aux44, 0x44, 4}, {F::PoleCount, 0x48, 2},             \
      {F::GearRatioX100, 0x4A, 2}

constexpr FieldDef kFields80A[] = {
    TAVIO_COMMON_HEAD(F::GovI),
    {F::Aux2C, 0x2C, 2}, {F::Aux2E, 0x2E, 2}, {F::Aux30, 0x30, 4}, {F::Aux34, 0x34, 2},
    {F::Aux36, 0x36, 2}, {F::Aux38, 0x38, 2}, {F::MinPwm, 0x3A, 2}, {F::MaxStartCurrent, 0x3C, 2},
    {F::Reserved3E, 0x3E, 14}, {F::Checksum, 0x4C, 4},
};

constexpr FieldDef kFields80B[] = {
    TAVIO_COMMON_HEAD(F::RiCompMohm),
    TAVIO_BRENTA_MIDDLE,
    {F::Checksum, 0x4C, 4},
};

constexpr FieldDef kFields92B[] = {
    TAVIO_COMMON_HEAD(F::RiCompMohm),
    TAVIO_BRENTA_MIDDLE,
    {F::WarnCutoffMv, 0x4C, 2}, {F::WarnMotorCurrentA, 0x4E, 2}, {F::WarnFetTempC, 0x50, 2},
    {F::WarnBecTempC, 0x52, 2}, {F::WarnBecCurrentMa, 0x54, 2}, {F::WarnCapacityDah, 0x56, 2},
    {F::Checksum, 0x58, 4},
};

constexpr FieldDef kFields88D[] = {
    TAVIO_COMMON_HEAD(F::GovI),
    {F::Aux2C, 0x2C, 2}, {F::Aux2E, 0x2E, 2}, {F::Aux30, 0x30, 4}, {F::Aux34, 0x34, 2},
    {F::Aux36, 0x36, 2}, {F::Aux38, 0x38, 2}, {F::MinPwm, 0x3A, 2}, {F::MaxStartCurrent, 0x3C, 2},
    {F::CapacityLimitDah, 0x3E, 2}, {F::PoleCount, 0x40, 2}, {F::Aux42, 0x42, 2},
    {F::Aux44, 0x44, 2}, {F::Aux46, 0x46, 2}, {F::Aux48, 0x48, 2}, {F::WarnCutoffMv, 0x4A, 2},
    {F::WarnMotorCurrentA, 0x4C, 2}, {F::WarnFetTempC, 0x4E, 2}, {F::WarnCapacityDah, 0x50, 2},
    {F::Gap52, 0x52, 2}, {F::Checksum, 0x54, 4},
};

#undef TAVIO_COMMON_HEAD
#undef TAVIO_BRENTA_MIDDLE

const LayoutDef kLayouts[] = {
    {ImageLayout::Layout80A, "Layout80A", 80, kChecksum76, kFields80A},
    {ImageLayout::Layout80B, "Layout80B", 80, kChecksum76, kFields80B},
    {ImageLayout::Layout92B, "Layout92B", 92, kChecksum88, kFields92B},
    {ImageLayout::Layout88D, "Layout88D", 88, kChecksum82, kFields88D},
};

// In the order of Field.
constexpr std::array<std::string_view, static_cast<size_t>(Field::Count)> kFieldNames = {
    "block_length", "param_version", "flags", "cutoff_nimh_mv", "cutoff_lipo_mv", "cutoff_lifepo_mv",
    "brake_slew_pos_ms", "bec_voltage_mv", "hold_time_ms", "fix_timing_deg", "stick_brake_us", "stick_neutral_us",
    "stick_full_us", "aux_1c", "aux_1e", "aux_20", "slew_pos_ms", "slew_neg_ms", "spoolup_ms", "gov_p", "gov_i",
    "ri_comp_mohm", "aux_2c", "aux_2e", "aux_30", "aux_34", "aux_36", "aux_38", "min_pwm", "max_start_current",
    "reserved_3e", "capacity_limit_dah", "brake_slew_neg_ms", "brake_min_pwm", "brake_max_pwm", "aux_42", "aux_44",
    "aux_46", "aux_48", "pole_count", "gear_ratio_x100", "warn_cutoff_mv", "warn_motor_current_a", "warn_fet_temp_c",
    "warn_bec_temp_c", "warn_bec_current_ma", "warn_capacity_dah", "gap_52", "checksum",
};
constexpr bool EveryFieldNamedOnce() {
  for (size_t i = 0; i < kFieldNames.size(); ++i) {
    if (kFieldNames[i].empty() || std::find(kFieldNames.begin(), kFieldNames.begin() + i, kFieldNames[i]) != kFieldNames.begin() + i) return false;
  }
  return true;
}
static_assert(EveryFieldNamedOnce(), "every Field needs a name of its own; one left out leaves the last without");

}  // namespace

const LayoutDef& GetLayoutDef(ImageLayout layout) { return kLayouts[static_cast<size_t>(layout)]; }

std::string_view LayoutName(ImageLayout layout) { return GetLayoutDef(layout).name; }

std::optional<FieldDef> FindField(ImageLayout layout, Field field) {
  for (const FieldDef& def : GetLayoutDef(layout).fields) {
    if (def.field == field) return def;
  }
  return std::nullopt;
}

std::string_view FieldName(Field field) {
  const auto index = static_cast<size_t>(field);
  return index < kFieldNames.size() ? kFieldNames[index] : std::string_view();
}

std::optional<Field> FieldFromName(std::string_view name) {
  for (size_t i = 0; i < kFieldNames.size(); ++i) {
    if (kFieldNames[i] == name) return static_cast<Field>(i);
  }
  return std::nullopt;
}

std::optional<uint32_t> ReadField(const ConfigImage& image, ImageLayout layout, Field field) {
  const auto def = FindField(layout, field);
  if (!def) return std::nullopt;
  if (def->width == 2) return GetU16(image, def->offset);
  if (def->width == 4) return GetU32(image, def->offset);
  return std::nullopt;
}

bool WriteField(ConfigImage& image, ImageLayout layout, Field field, uint32_t value) {
  const auto def = FindField(layout, field);
  if (!def) return false;
  if (def->width == 2) {
    PutU16(image, def->offset, static_cast<uint16_t>(value));
    return true;
  }
  if (def->width == 4) {
    PutU32(image, def->offset, value);
    return true;
  }
  return false;
}

uint32_t ImageChecksum(const ConfigImage& image, size_t prefix) {
  if (prefix > kImageSize) prefix = kImageSize;
  uint32_t sum = 0;
  for (size_t off = 0; off + 1 < prefix; off += 2) sum += GetU16(image, off);
  return ~sum;
}

void SealImage(ConfigImage& image, ChecksumSpec spec) {
  PutU32(image, spec.offset, ImageChecksum(image, spec.prefix));
}

bool ChecksumMatches(const ConfigImage& image, ChecksumSpec spec) {
  return GetU32(image, spec.offset) == ImageChecksum(image, spec.prefix);
}

std::optional<ImageLayout> SelectLayout(uint16_t family, uint16_t param_version) {
  switch (family) {
    case kFamilyAlder: return ImageLayout::Layout80A;
    case kFamilyDelmarZ: return ImageLayout::Layout88D;
    case kFamilyBrenta:
    case kFamilyCorvan:
      if (param_version == kParamVersion80B) return ImageLayout::Layout80B;
      if (param_version > kParamVersion80B) return ImageLayout::Layout92B;
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::optional<ChecksumSpec> StoreChecksum(uint16_t family, uint16_t param_version) {
  switch (family) {
    case kFamilyAlder: return kChecksum76;
    case kFamilyDelmarZ: return kChecksum82;
    case kFamilyBrenta:
    case kFamilyCorvan: return param_version == kParamVersion80B ? kChecksum76 : kChecksum88;
    default: return std::nullopt;
  }
}

std::optional<ChecksumSpec> SaveChecksum(uint16_t family, uint16_t param_version) {
  switch (family) {
    case kFamilyAlder: return kChecksum76;
    case kFamilyDelmarZ: return kChecksum82;
    case kFamilyBrenta:
    case kFamilyCorvan:
      if (param_version == kParamVersion80B) return kChecksum76;
      if (param_version == kParamVersion92B) return kChecksum88;
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::optional<ChecksumSpec> LoadTestChecksum(uint16_t file_family, uint16_t connected_version) {
  // The same rule as saving, but with the family taken from the file.
  return SaveChecksum(file_family, connected_version);
}

std::optional<uint16_t> StoreBlockLength(uint16_t family, uint16_t param_version) {
  const auto spec = StoreChecksum(family, param_version);
  if (!spec) return std::nullopt;
  return BlockLengthFor(*spec);
}

DefaultSetKind DefaultSetFor(uint16_t family, uint16_t param_version) {
  switch (family) {
    case kFamilyAlder: return DefaultSetKind::Alder;
    case kFamilyDelmarZ: return DefaultSetKind::DelmarZ;
    case kFamilyBrenta:
      return param_version == kParamVersion80B ? DefaultSetKind::Base : DefaultSetKind::ExtendedBrenta;
    case kFamilyCorvan:
      return param_version == kParamVersion80B ? DefaultSetKind::Base : DefaultSetKind::ExtendedCorvan;
    default: return DefaultSetKind::None;
  }
}

}  // namespace tavio
