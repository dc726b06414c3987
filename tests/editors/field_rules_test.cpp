// The pure commit rule of the numeric fields.

#include <gtest/gtest.h>

#include "core/editors/field_rules.h"
#include "field_cases.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

using namespace ctl;

const char* StatusName(CommitStatus status) {
  switch (status) {
    case CommitStatus::Accepted: return "accepted";
    case CommitStatus::Refused: return "refused";
    case CommitStatus::NotStored: return "not stored";
  }
  return "?";
}

EditContext ContextOf(const EscSetup& setup) {
  EditContext context;
  context.family = setup.family;
  context.model_number = setup.model;
  context.param_version = setup.version;
  return context;
}

void ExpectRule(const std::vector<FieldCase>& cases) {
  ASSERT_FALSE(cases.empty());
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.label);
    const CommitResult result = CommitField(c.id, c.entry, StartImage(c), ContextOf(c.setup));
    EXPECT_STREQ(StatusName(result.status), StatusName(c.status));
    EXPECT_EQ(ToHex(result.image.bytes), ToHex(ExpectedImage(c).bytes));
    EXPECT_EQ(ToUtf8(result.text), c.text);
  }
}

TEST(FieldRule, AcceptsBothBoundsAndRefusesTheFirstValueBeyondEach) { ExpectRule(BoundsCases()); }

TEST(FieldRule, JudgesTheSyntaxOfEachKindOfField) { ExpectRule(SyntaxCases()); }

TEST(FieldRule, StoresNothingWhereTheLayoutHasNoPlaceOrTheFamilyIsUnknown) { ExpectRule(NotStoredCases()); }

TEST(FieldRule, NamedBatteryTypeDecidesCutoffLimitsAndField) {
  struct Row {
    BatteryType battery;
    const char16_t* entry;
    CommitStatus status;
    const char* bytes;  // image bytes 0x08..0x0D afterwards
    const char* text;
  };
  const Row rows[] = {
      {BatteryType::NiMh, u"900", CommitStatus::Accepted, "84 03 E4 0C D0 07", "900mV"},
      {BatteryType::NiMh, u"3000", CommitStatus::Refused, "E8 03 E4 0C D0 07", "1000mV"},
      {BatteryType::LiFePo, u"2600mV", CommitStatus::Accepted, "E8 03 E4 0C 28 0A", "2600mV"},
      {BatteryType::LiPo, u"2700", CommitStatus::Accepted, "E8 03 8C 0A D0 07", "2700mV"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ToUtf8(row.entry));
    ConfigImage image;
    SetFlags(image, 0x4);  // the image itself selects LiPo
    PutU16(image, 0x08, 1000);
    PutU16(image, 0x0A, 3300);
    PutU16(image, 0x0C, 2000);
    EditContext context = ContextOf(kBrenta401);
    context.battery_type = row.battery;
    const CommitResult result = CommitField(kCutoffVoltage, row.entry, image, context);
    EXPECT_STREQ(StatusName(result.status), StatusName(row.status));
    EXPECT_EQ(ToHex(std::span(result.image.bytes).subspan(0x08, 6)), row.bytes);
    EXPECT_EQ(Flags(result.image), 0x4u);
    EXPECT_EQ(ToUtf8(result.text), row.text);
  }
}

TEST(FieldRule, LimitsReadAsTheUserEntersThem) {
  struct Row {
    ControlId id;
    uint16_t family;
    uint16_t model;
    BatteryType battery;
    const char* text;
  };
  const Row rows[] = {
      {kHoldTime, 200, 160, BatteryType::LiPo, "100..3000 ms"},
      {kBecVoltage, 100, 160, BatteryType::LiPo, "5.0..8.0 V"},
      {kCapacityLimit, 300, 160, BatteryType::LiPo, "0.0..65.0 Ah"},
      {kGearRatio, 200, 160, BatteryType::LiPo, "1.00:1..655.35:1"},
      {kPoleCount, 400, 160, BatteryType::LiPo, "even 2..32"},
      {kPPart, 100, 160, BatteryType::LiPo, "0..10"},
      {kSpoolupTime, 100, 160, BatteryType::LiPo, "6..20 s"},
      {kSpoolupTime, 300, 160, BatteryType::LiPo, "6..60 s"},
      {kCutoffVoltage, 200, 160, BatteryType::LiFePo, "1800..2600 mV"},
      {kMinPwm, 200, 160, BatteryType::LiPo, "2..25 %"},
      {kWarnMotorCurrent, 200, 120, BatteryType::LiPo, "0..240 A"},
      {kWarnBecCurrent, 200, 120, BatteryType::LiPo, "0..30000 mA"},
      {kWarnFetTemp, 400, 160, BatteryType::LiPo, "20..90 \u00B0C"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const auto rule = RuleFor(row.id, row.family, row.model, row.battery);
    ASSERT_TRUE(rule.has_value());
    EXPECT_EQ(LimitsText(*rule), row.text);
  }
}

TEST(FieldRule, BrakeFieldsAndUnknownFamiliesHaveNoRule) {
  const struct {
    ControlId id;
    uint16_t family;
  } rows[] = {{kBrakeSlewPos, 100}, {kBrakeSlewNeg, 400}, {kBrakeMinPwm, 100}, {kBrakeMaxPwm, 400},
              {kHoldTime, 0}, {kHoldTime, 500}, {kPoleCount, 500}};
  for (const auto& row : rows) {
    EXPECT_FALSE(RuleFor(row.id, row.family, 160, BatteryType::LiPo).has_value())
        << row.id << " for family " << row.family;
  }
}

}  // namespace
}  // namespace tavio::test
