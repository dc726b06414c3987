// The four block layouts, field by field, and field access through them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/model/config_image.h"
#include "support/hex.h"

namespace tavio {
namespace {

struct Row {
  const char* name;  // nullptr: a run of bytes the block gives no name
  uint8_t offset;
  uint8_t width;
};

std::vector<Row> Head(const char* field_2a) {
  return {
      {"block_length", 0x00, 2},     {"param_version", 0x02, 2},     {"flags", 0x04, 4},
      {"cutoff_nimh_mv", 0x08, 2},   {"cutoff_lipo_mv", 0x0A, 2},    {"cutoff_lifepo_mv", 0x0C, 2},
      {"brake_slew_pos_ms", 0x0E, 2}, {"bec_voltage_mv", 0x10, 2},   {"hold_time_ms", 0x12, 2},
      {"fix_timing_deg", 0x14, 2},   {"stick_brake_us", 0x16, 2},    {"stick_neutral_us", 0x18, 2},
      {"stick_full_us", 0x1A, 2},    {"aux_1c", 0x1C, 2},            {"aux_1e", 0x1E, 2},
      {"aux_20", 0x20, 2},           {"slew_pos_ms", 0x22, 2},       {"slew_neg_ms", 0x24, 2},
      {"spoolup_ms", 0x26, 2},       {"gov_p", 0x28, 2},             {field_2a, 0x2A, 2},
  };
}

std::vector<Row> Concat(std::vector<Row> a, const std::vector<Row>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<Row> Rows80A() {
  return Concat(Head("gov_i"), {
                                   {"aux_2c", 0x2C, 2},
                                   {"aux_2e", 0x2E, 2},
                                   {"aux_30", 0x30, 4},
                                   {"aux_34", 0x34, 2},
                                   {"aux_36", 0x36, 2},
                                   {"aux_38", 0x38, 2},
                                   {"min_pwm", 0x3A, 2},
                                   {"max_start_current", 0x3C, 2},
                                   {nullptr, 0x3E, 14},
                                   {"checksum", 0x4C, 4},
                               });
}

std::vector<Row> Middle80B() {
  return {
      {"capacity_limit_dah", 0x2C, 2}, {"aux_2e", 0x2E, 2},         {"aux_30", 0x30, 4},
      {"aux_34", 0x34, 2},             {"aux_36", 0x36, 2},         {"aux_38", 0x38, 2},
      {"min_pwm", 0x3A, 2},            {"max_start_current", 0x3C, 2}, {"brake_slew_neg_ms", 0x3E, 2},
      {"brake_min_pwm", 0x40, 2},      {"brake_max_pwm", 0x42, 2},  {"aux_44", 0x44, 4},
      {"pole_count", 0x48, 2},         {"gear_ratio_x100", 0x4A, 2},
  };
}

std::vector<Row> Rows80B() {
  return Concat(Concat(Head("ri_comp_mohm"), Middle80B()), {{"checksum", 0x4C, 4}});
}

std::vector<Row> Rows92B() {
  return Concat(Concat(Head("ri_comp_mohm"), Middle80B()), {
                                                               {"warn_cutoff_mv", 0x4C, 2},
                                                               {"warn_motor_current_a", 0x4E, 2},
                                                               {"warn_fet_temp_c", 0x50, 2},
                                                               {"warn_bec_temp_c", 0x52, 2},
                                                               {"warn_bec_current_ma", 0x54, 2},
                                                               {"warn_capacity_dah", 0x56, 2},
                                                               {"checksum", 0x58, 4},
                                                           });
}

std::vector<Row> Rows88D() {
  return Concat(Head("gov_i"), {
                                   {"aux_2c", 0x2C, 2},
                                   {"aux_2e", 0x2E, 2},
                                   {"aux_30", 0x30, 4},
                                   {"aux_34", 0x34, 2},
                                   {"aux_36", 0x36, 2},
                                   {"aux_38", 0x38, 2},
                                   {"min_pwm", 0x3A, 2},
                                   {"max_start_current", 0x3C, 2},
                                   {"capacity_limit_dah", 0x3E, 2},
                                   {"pole_count", 0x40, 2},
                                   {"aux_42", 0x42, 2},
                                   {"aux_44", 0x44, 2},
                                   {"aux_46", 0x46, 2},
                                   {"aux_48", 0x48, 2},
                                   {"warn_cutoff_mv", 0x4A, 2},
                                   {"warn_motor_current_a", 0x4C, 2},
                                   {"warn_fet_temp_c", 0x4E, 2},
                                   {"warn_capacity_dah", 0x50, 2},
                                   {nullptr, 0x52, 2},
                                   {"checksum", 0x54, 4},
                               });
}

struct LayoutCase {
  ImageLayout layout;
  const char* name;
  uint16_t block_length;
  ChecksumSpec checksum;
  std::vector<Row> rows;
};

std::vector<LayoutCase> AllLayouts() {
  return {
      {ImageLayout::Layout80A, "Layout80A", 80, {76, 0x4C}, Rows80A()},
      {ImageLayout::Layout80B, "Layout80B", 80, {76, 0x4C}, Rows80B()},
      {ImageLayout::Layout92B, "Layout92B", 92, {88, 0x58}, Rows92B()},
      {ImageLayout::Layout88D, "Layout88D", 88, {82, 0x54}, Rows88D()},
  };
}

// Every byte distinct from its neighbours, so a stray write shows.
ConfigImage Patterned() {
  ConfigImage image;
  for (size_t i = 0; i < kImageSize; ++i) image.bytes[i] = static_cast<uint8_t>(i * 37 + 11);
  return image;
}

TEST(Layouts, FieldsByNameOffsetAndWidth) {
  for (const LayoutCase& lc : AllLayouts()) {
    SCOPED_TRACE(lc.name);
    for (const Row& row : lc.rows) {
      if (row.name == nullptr) continue;
      SCOPED_TRACE(row.name);
      const std::optional<Field> field = FieldFromName(row.name);
      ASSERT_TRUE(field.has_value());
      EXPECT_EQ(FieldName(*field), row.name);
      const std::optional<FieldDef> def = FindField(lc.layout, *field);
      ASSERT_TRUE(def.has_value());
      EXPECT_EQ(def->offset, row.offset);
      EXPECT_EQ(def->width, row.width);
    }
  }
}

TEST(Layouts, DefinitionListsExactlyTheTableInOffsetOrder) {
  for (const LayoutCase& lc : AllLayouts()) {
    SCOPED_TRACE(lc.name);
    const LayoutDef& def = GetLayoutDef(lc.layout);
    EXPECT_EQ(def.layout, lc.layout);
    EXPECT_EQ(def.name, lc.name);
    EXPECT_EQ(LayoutName(lc.layout), lc.name);
    EXPECT_EQ(def.block_length, lc.block_length);
    EXPECT_EQ(def.checksum, lc.checksum);
    ASSERT_EQ(def.fields.size(), lc.rows.size());
    for (size_t i = 0; i < lc.rows.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(def.fields[i].offset, lc.rows[i].offset);
      EXPECT_EQ(def.fields[i].width, lc.rows[i].width);
      if (lc.rows[i].name != nullptr) {
        EXPECT_EQ(FieldName(def.fields[i].field), lc.rows[i].name);
      }
    }
  }
}

TEST(Layouts, FieldsCoverTheBlockWithoutOverlap) {
  for (const LayoutCase& lc : AllLayouts()) {
    SCOPED_TRACE(lc.name);
    std::vector<FieldDef> fields(GetLayoutDef(lc.layout).fields.begin(),
                                 GetLayoutDef(lc.layout).fields.end());
    std::sort(fields.begin(), fields.end(),
              [](const FieldDef& a, const FieldDef& b) { return a.offset < b.offset; });
    size_t next = 0;
    for (const FieldDef& f : fields) {
      EXPECT_EQ(f.offset, next) << FieldName(f.field);
      next = static_cast<size_t>(f.offset) + f.width;
    }
    EXPECT_EQ(next, lc.block_length);
    // The checksum sits right after its prefix, except for the DELMAR-Z gap.
    const auto checksum = FindField(lc.layout, Field::Checksum);
    ASSERT_TRUE(checksum.has_value());
    EXPECT_EQ(checksum->offset, lc.checksum.offset);
    EXPECT_EQ(checksum->offset + 4, lc.block_length);
  }
}

TEST(Layouts, NoFieldOutsideTheTable) {
  for (const LayoutCase& lc : AllLayouts()) {
    SCOPED_TRACE(lc.name);
    std::set<std::string> named;
    for (const Row& row : lc.rows) {
      if (row.name != nullptr) named.insert(row.name);
    }
    size_t unnamed_present = 0;
    for (size_t i = 0; i < static_cast<size_t>(Field::Count); ++i) {
      const auto field = static_cast<Field>(i);
      const bool listed = named.count(std::string(FieldName(field))) != 0;
      const auto def = FindField(lc.layout, field);
      if (listed) {
        EXPECT_TRUE(def.has_value()) << FieldName(field);
      } else if (def.has_value()) {
        // Only the unnamed runs may be present without a name in the table.
        ++unnamed_present;
        const bool is_unnamed_row = std::any_of(lc.rows.begin(), lc.rows.end(), [&](const Row& r) {
          return r.name == nullptr && r.offset == def->offset && r.width == def->width;
        });
        EXPECT_TRUE(is_unnamed_row) << FieldName(field) << " at " << int(def->offset);
      }
    }
    const auto unnamed_rows =
        std::count_if(lc.rows.begin(), lc.rows.end(), [](const Row& r) { return r.name == nullptr; });
    EXPECT_EQ(unnamed_present, static_cast<size_t>(unnamed_rows));
  }
}

TEST(FieldNames, RoundTripAndUnique) {
  std::set<std::string> seen;
  for (size_t i = 0; i < static_cast<size_t>(Field::Count); ++i) {
    const auto field = static_cast<Field>(i);
    const std::string name(FieldName(field));
    SCOPED_TRACE(name);
    EXPECT_FALSE(name.empty());
    EXPECT_TRUE(seen.insert(name).second) << "duplicate name";
    EXPECT_EQ(FieldFromName(name), field);
  }
  for (const char* junk : {"", "GOV_P", "gov", "gov_p ", "pole count", "checksum2"}) {
    EXPECT_FALSE(FieldFromName(junk).has_value()) << '"' << junk << '"';
  }
}

TEST(FieldAccess, WriteStoresLittleEndianAndTouchesNothingElse) {
  struct Case {
    ImageLayout layout;
    Field field;
    uint32_t value;
    size_t offset;
    const char* bytes;
  };
  const Case cases[] = {
      {ImageLayout::Layout80B, Field::CutoffLipoMv, 3000, 0x0A, "B8 0B"},
      {ImageLayout::Layout80B, Field::CapacityLimitDah, 0x1234, 0x2C, "34 12"},
      {ImageLayout::Layout88D, Field::CapacityLimitDah, 0x1234, 0x3E, "34 12"},
      {ImageLayout::Layout80B, Field::PoleCount, 14, 0x48, "0E 00"},
      {ImageLayout::Layout88D, Field::PoleCount, 14, 0x40, "0E 00"},
      {ImageLayout::Layout92B, Field::WarnCutoffMv, 3500, 0x4C, "AC 0D"},
      {ImageLayout::Layout88D, Field::WarnCutoffMv, 3500, 0x4A, "AC 0D"},
      {ImageLayout::Layout92B, Field::WarnBecCurrentMa, 12500, 0x54, "D4 30"},
      {ImageLayout::Layout80A, Field::GovI, 7, 0x2A, "07 00"},
      {ImageLayout::Layout92B, Field::RiCompMohm, 1000, 0x2A, "E8 03"},
      {ImageLayout::Layout80A, Field::Aux30, 0x11223344, 0x30, "44 33 22 11"},
      {ImageLayout::Layout80B, Field::Aux44, 24000, 0x44, "C0 5D 00 00"},
      {ImageLayout::Layout88D, Field::Aux44, 500, 0x44, "F4 01"},
      {ImageLayout::Layout80B, Field::Flags, 0x80000001, 0x04, "01 00 00 80"},
      {ImageLayout::Layout92B, Field::Checksum, 0xDEADBEEF, 0x58, "EF BE AD DE"},
      {ImageLayout::Layout88D, Field::Checksum, 0x01020304, 0x54, "04 03 02 01"},
      // A 16-bit field keeps only the low half and does not spill over.
      {ImageLayout::Layout80B, Field::GearRatioX100, 0x12345, 0x4A, "45 23"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(LayoutName(c.layout)) + " " + std::string(FieldName(c.field)));
    ConfigImage image = Patterned();
    ConfigImage expected = Patterned();
    const auto bytes = test::Hex(c.bytes);
    std::copy(bytes.begin(), bytes.end(), expected.bytes.begin() + static_cast<long>(c.offset));
    EXPECT_TRUE(WriteField(image, c.layout, c.field, c.value));
    EXPECT_EQ(test::ToHex(image.bytes), test::ToHex(expected.bytes));
  }
}

TEST(FieldAccess, ReadTakesLittleEndianAtTheLayoutsOffset) {
  ConfigImage image;
  const auto put = [&](size_t offset, const char* hex) {
    const auto bytes = test::Hex(hex);
    std::copy(bytes.begin(), bytes.end(), image.bytes.begin() + static_cast<long>(offset));
  };
  put(0x04, "78 56 34 12");
  put(0x2C, "01 02");
  put(0x3E, "03 04");
  put(0x40, "05 06");
  put(0x44, "0A 0B 0C 0D");
  put(0x48, "07 08");
  put(0x4A, "AC 0D");
  put(0x4C, "96 00");
  put(0x52, "5A 00");
  struct Case {
    ImageLayout layout;
    Field field;
    uint32_t expected;
  };
  const Case cases[] = {
      {ImageLayout::Layout80A, Field::Flags, 0x12345678},
      {ImageLayout::Layout88D, Field::Flags, 0x12345678},
      {ImageLayout::Layout80B, Field::CapacityLimitDah, 0x0201},
      {ImageLayout::Layout88D, Field::CapacityLimitDah, 0x0403},
      {ImageLayout::Layout80A, Field::Aux2C, 0x0201},
      {ImageLayout::Layout80B, Field::BrakeSlewNegMs, 0x0403},
      {ImageLayout::Layout80B, Field::BrakeMinPwm, 0x0605},
      {ImageLayout::Layout88D, Field::PoleCount, 0x0605},
      {ImageLayout::Layout80B, Field::PoleCount, 0x0807},
      {ImageLayout::Layout88D, Field::Aux48, 0x0807},
      {ImageLayout::Layout92B, Field::Aux44, 0x0D0C0B0A},
      {ImageLayout::Layout88D, Field::Aux44, 0x0B0A},
      {ImageLayout::Layout88D, Field::Aux46, 0x0D0C},
      {ImageLayout::Layout88D, Field::WarnCutoffMv, 3500},
      {ImageLayout::Layout80B, Field::GearRatioX100, 3500},
      {ImageLayout::Layout92B, Field::WarnCutoffMv, 150},
      {ImageLayout::Layout88D, Field::WarnMotorCurrentA, 150},
      {ImageLayout::Layout80B, Field::Checksum, 0x00000096},
      {ImageLayout::Layout92B, Field::WarnBecTempC, 90},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(LayoutName(c.layout)) + " " + std::string(FieldName(c.field)));
    EXPECT_EQ(ReadField(image, c.layout, c.field), std::optional<uint32_t>(c.expected));
  }
}

TEST(FieldAccess, FieldTheLayoutLacksIsNeitherReadNorWritten) {
  struct Case {
    ImageLayout layout;
    Field field;
  };
  const Case cases[] = {
      {ImageLayout::Layout80A, Field::RiCompMohm},       {ImageLayout::Layout80A, Field::CapacityLimitDah},
      {ImageLayout::Layout80A, Field::PoleCount},        {ImageLayout::Layout80A, Field::GearRatioX100},
      {ImageLayout::Layout80A, Field::WarnCutoffMv},     {ImageLayout::Layout80A, Field::BrakeSlewNegMs},
      {ImageLayout::Layout80B, Field::GovI},             {ImageLayout::Layout80B, Field::Aux2C},
      {ImageLayout::Layout80B, Field::WarnFetTempC},     {ImageLayout::Layout80B, Field::Aux42},
      {ImageLayout::Layout92B, Field::GovI},             {ImageLayout::Layout92B, Field::Aux46},
      {ImageLayout::Layout92B, Field::Aux48},            {ImageLayout::Layout88D, Field::RiCompMohm},
      {ImageLayout::Layout88D, Field::BrakeSlewNegMs},   {ImageLayout::Layout88D, Field::BrakeMinPwm},
      {ImageLayout::Layout88D, Field::BrakeMaxPwm},      {ImageLayout::Layout88D, Field::GearRatioX100},
      {ImageLayout::Layout88D, Field::WarnBecTempC},     {ImageLayout::Layout88D, Field::WarnBecCurrentMa},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(LayoutName(c.layout)) + " " + std::string(FieldName(c.field)));
    ConfigImage image = Patterned();
    EXPECT_FALSE(FindField(c.layout, c.field).has_value());
    EXPECT_FALSE(ReadField(image, c.layout, c.field).has_value());
    EXPECT_FALSE(WriteField(image, c.layout, c.field, 0xFFFFFFFF));
    EXPECT_EQ(image, Patterned());
  }
}

TEST(Flags, NamedBitsSitWhereTheBitTableSays) {
  struct Case {
    const char* name;
    uint32_t mask;
    unsigned bit;
  };
  const Case cases[] = {
      {"brake_on", flag::kBrakeOn, 0},
      {"brake_proportional", flag::kBrakeProportional, 1},
      {"governor_on", flag::kGovernorOn, 5},
      {"governor_store", flag::kGovernorStore, 6},
      {"governor_rpm_stored", flag::kGovernorRpmStored, 7},
      {"shutdown", flag::kShutdown, 8},
      {"auto_timing", flag::kAutoTiming, 9},
      {"reverse_rotation", flag::kReverseRotation, 10},
      {"forward_backward", flag::kForwardBackward, 13},
      {"soft_start", flag::kSoftStart, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Flags live little-endian at 0x04.
    ConfigImage image;
    const uint32_t value = 1u << c.bit;
    for (unsigned i = 0; i < 4; ++i) image.bytes[0x04 + i] = static_cast<uint8_t>(value >> (8 * i));
    EXPECT_EQ(Flags(image), value);
    for (const Case& other : cases) {
      EXPECT_EQ(HasFlag(image, other.mask), other.bit == c.bit) << other.name;
    }
  }
}

TEST(Flags, BatteryTypeThreeCountsAsLipo) {
  struct Case {
    const char* flag_bytes;
    uint32_t bits;
    BatteryType type;
  };
  const Case cases[] = {
      {"00 00 00 00", 0, BatteryType::NiMh},
      {"04 00 00 00", 1, BatteryType::LiPo},
      {"08 00 00 00", 2, BatteryType::LiFePo},
      {"0C 00 00 00", 3, BatteryType::LiPo},
      {"F3 FF FF FF", 0, BatteryType::NiMh},
      {"FB FF FF FF", 2, BatteryType::LiFePo},
      {"FF FF FF FF", 3, BatteryType::LiPo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flag_bytes);
    ConfigImage image;
    const auto bytes = test::Hex(c.flag_bytes);
    std::copy(bytes.begin(), bytes.end(), image.bytes.begin() + 0x04);
    EXPECT_EQ(BatteryTypeBits(image), c.bits);
    EXPECT_EQ(EffectiveBatteryType(image), c.type);
  }
}

TEST(Head, AccessorsReadLittleEndian) {
  ConfigImage image;
  const auto bytes = test::Hex("5C 00 01 04 78 56 34 12");
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
  EXPECT_EQ(BlockLength(image), 92);
  EXPECT_EQ(ParamVersion(image), 0x0401);
  EXPECT_EQ(Flags(image), 0x12345678u);
  SetFlags(image, 0xA1B2C3D4);
  EXPECT_EQ(test::ToHex(std::span<const uint8_t>(image.bytes).subspan(0, 10)),
            "5C 00 01 04 D4 C3 B2 A1 00 00");
}

}  // namespace
}  // namespace tavio
