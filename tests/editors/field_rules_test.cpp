// The pure commit rule of the numeric fields: for every field and every
// family the accepted bounds and the first refused value on each side, the
// syntax of each kind of field, and the fields a layout has no place for.

#include "core/editors/field_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <string>

#include "sim/sim_unit.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

using namespace ctl;

struct Esc { const char* name; uint16_t family, version, model; };
constexpr Esc kAlder{"ALDER", 100, 0x0104, 160}, kBrenta400{"BRENTA 0x0400", 200, 0x0400, 160},
    kBrenta401{"BRENTA 0x0401", 200, 0x0401, 160}, kBrenta120{"BRENTA 120", 200, 0x0401, 120},
    kBrenta200{"BRENTA 200", 200, 0x0401, 200},
    kCorvan{"CORVAN", 300, 0x0401, 160}, kCorvan120{"CORVAN 120", 300, 0x0401, 120},
    kDelmar{"DELMAR-Z", 400, 0x0104, 160}, kBrentaOld{"BRENTA 0x03FF", 200, 0x03FF, 160},
    kOther{"family 500", 500, 0x0104, 7};
const std::initializer_list<Esc> kAll = {kAlder, kBrenta400, kBrenta401, kCorvan, kDelmar};
const std::initializer_list<Esc> kNotDelmar = {kAlder, kBrenta400, kBrenta401, kCorvan};
const std::initializer_list<Esc> kBrentas = {kBrenta400, kBrenta401, kCorvan};
const std::initializer_list<Esc> kWarnings = {kBrenta401, kCorvan};

constexpr uint32_t kNiMh = 0x0, kLiPo = 0x4, kLiFePo = 0x8, kLiPo3 = 0xC;  // battery type bits 2..3

// An entry, what it stores and shows, and for the I-part what 0x2C holds afterwards. Without a stored value
// the entry is refused: the image stays and the field shows the stored value again.
struct Entry { std::u16string text; int raw = -1; const char* shown = nullptr; int aux = -1; };

// A field of these ESCs, where it lies, its value before, and the entries typed into it.
struct Row { ControlId id; std::initializer_list<Esc> escs; uint32_t flags; size_t offset; uint16_t prior;
             const char* prior_text; std::initializer_list<Entry> entries; int aux_prior = -1; };

// The first 31 characters are "1000" and blanks; whole, the text after the number would not begin with "ms".
const std::u16string kLongValid = u"1000" + std::u16string(27, u' ') + u"trailing!";
// The number begins at the 32nd character, which is never read.
const std::u16string kLongInvalid = std::u16string(31, u' ') + u"500ms";

const Row kBounds[] = {
    {kBecVoltage, kNotDelmar, kLiPo, 0x10, 6000, "6.0V", {{u"5.0", 5000, "5.0V"}, {u"8.0", 8000, "8.0V"}, {u"4.99"}, {u"8.01"}}},
    {kCutoffVoltage, kAll, kLiPo, 0x0A, 3300, "3300mV", {{u"2700", 2700, "2700mV"}, {u"4000", 4000, "4000mV"}, {u"2699"}, {u"4001"}}},
    {kCutoffVoltage, kAll, kNiMh, 0x08, 1000, "1000mV", {{u"700", 700, "700mV"}, {u"1200", 1200, "1200mV"}, {u"699"}, {u"1201"}}},
    {kCutoffVoltage, kAll, kLiFePo, 0x0C, 2000, "2000mV", {{u"1800", 1800, "1800mV"}, {u"2600", 2600, "2600mV"}, {u"1799"}, {u"2601"}}},
    {kCutoffVoltage, {kBrenta401}, kLiPo3, 0x0A, 3300, "3300mV", {{u"2700", 2700, "2700mV"}, {u"4000", 4000, "4000mV"}, {u"2699"}, {u"4001"}}},
    {kCapacityLimit, kBrentas, kLiPo, 0x2C, 50, "5.0Ah", {{u"0", 0, "0.0Ah = Aus"}, {u"65", 650, "65.0Ah"}, {u"-0.1"}, {u"65.1"}}},
    {kCapacityLimit, {kDelmar}, kLiPo, 0x3E, 50, "5.0Ah", {{u"0", 0, "0.0Ah = Aus"}, {u"65", 650, "65.0Ah"}, {u"-0.1"}, {u"65.1"}}},
    {kHoldTime, kAll, kLiPo, 0x12, 2000, "2000ms", {{u"100", 100, "100ms"}, {u"3000", 3000, "3000ms"}, {u"99"}, {u"3001"}}},
    {kSpoolupTime, {kAlder, kDelmar}, kLiPo, 0x26, 10000, "10s", {{u"6", 6000, "6s"}, {u"20", 20000, "20s"}, {u"5"}, {u"21"}}},
    {kSpoolupTime, kBrentas, kLiPo, 0x26, 10000, "10s", {{u"6", 6000, "6s"}, {u"60", 60000, "60s"}, {u"5"}, {u"61"}}},
    {kPPart, kAll, kLiPo, 0x28, 5, "5", {{u"0", 0, "0"}, {u"10", 10, "10"}, {u"-1"}, {u"11"}}},
    {kRiComp, {kAlder, kDelmar}, kLiPo, 0x2A, 4, "4", {{u"0", 0, "0", 0}, {u"10", 10, "10", 100}, {u"-1"}, {u"11"}}, 40},
    {kRiComp, kBrentas, kLiPo, 0x2A, 300, "300mOhm", {{u"0", 0, "0mOhm"}, {u"1000", 1000, "1000mOhm"}, {u"-1"}, {u"1001"}}},
    {kPoleCount, kBrentas, kLiPo, 0x48, 14, "14", {{u"2", 2, "2"}, {u"32", 32, "32"}, {u"1"}, {u"33"}, {u"3"}, {u"31"}}},
    {kPoleCount, {kDelmar}, kLiPo, 0x40, 14, "14", {{u"2", 2, "2"}, {u"32", 32, "32"}, {u"0"}, {u"34"}, {u"15"}}},
    {kGearRatio, kBrentas, kLiPo, 0x4A, 250, "2.50:1", {{u"1", 100, "1.00:1"}, {u"655.35", 65535, "655.35:1"}, {u"0.99"}, {u"655.36"}}},
    {kFixTimingAngle, kAll, kLiPo, 0x14, 5, "5°", {{u"0", 0, "0°"}, {u"30", 30, "30°"}, {u"-1"}, {u"31"}}},
    {kSlewPos, {kAlder}, kLiPo, 0x22, 500, "500ms", {{u"100", 100, "100ms"}, {u"20000", 20000, "20000ms"}, {u"99"}, {u"20001"}}},
    {kSlewPos, {kBrenta400, kBrenta401, kCorvan, kDelmar}, kLiPo, 0x22, 500, "500ms", {{u"100", 100, "100ms"}, {u"60000", 60000, "60000ms"}, {u"99"}, {u"60001"}}},
    {kSlewNeg, {kAlder}, kLiPo, 0x24, 500, "500ms", {{u"100", 100, "100ms"}, {u"20000", 20000, "20000ms"}, {u"99"}, {u"20001"}}},
    {kSlewNeg, {kBrenta400, kBrenta401, kCorvan, kDelmar}, kLiPo, 0x24, 500, "500ms", {{u"100", 100, "100ms"}, {u"60000", 60000, "60000ms"}, {u"99"}, {u"60001"}}},
    {kMinPwm, kAll, kLiPo, 0x3A, 204, "5%", {{u"2", 82, "2%"}, {u"25", 1024, "25%"}, {u"1"}, {u"26"}}},
    {kMaxStartCurrent, {kAlder, kDelmar}, kLiPo, 0x3C, 50, "50%", {{u"10", 10, "10%"}, {u"100", 100, "100%"}, {u"9"}, {u"101"}}},
    {kMaxStartCurrent, kBrentas, kLiPo, 0x3C, 50, "50A", {{u"10", 10, "10A"}, {u"100", 100, "100A"}, {u"9"}, {u"101"}}},
    {kBrakeSlewPos, kBrentas, kLiPo, 0x0E, 500, "500ms", {{u"100", 100, "100ms"}, {u"10000", 10000, "10000ms"}, {u"99"}, {u"10001"}}},
    {kBrakeSlewNeg, kBrentas, kLiPo, 0x3E, 500, "500ms", {{u"100", 100, "100ms"}, {u"10000", 10000, "10000ms"}, {u"99"}, {u"10001"}}},
    {kBrakeMinPwm, kBrentas, kLiPo, 0x40, 410, "10%", {{u"0", 0, "0%"}, {u"50", 2048, "50%"}, {u"-1"}, {u"51"}}},
    {kBrakeMaxPwm, kBrentas, kLiPo, 0x42, 3686, "90%", {{u"50", 2048, "50%"}, {u"100", 4096, "100%"}, {u"49"}, {u"101"}}},
    {kWarnCutoff, kWarnings, kLiPo, 0x4C, 3500, "3500mV", {{u"700", 700, "700mV"}, {u"4400", 4400, "4400mV"}, {u"699"}, {u"4401"}}},
    {kWarnCutoff, {kDelmar}, kLiPo, 0x4A, 3500, "3500mV", {{u"700", 700, "700mV"}, {u"4400", 4400, "4400mV"}, {u"699"}, {u"4401"}}},
    {kWarnCapacity, kWarnings, kLiPo, 0x56, 100, "10.0Ah", {{u"0", 0, "0.0Ah = Aus"}, {u"65", 650, "65.0Ah"}, {u"-0.1"}, {u"65.1"}}},
    {kWarnCapacity, {kDelmar}, kLiPo, 0x50, 100, "10.0Ah", {{u"0", 0, "0.0Ah = Aus"}, {u"65", 650, "65.0Ah"}, {u"-0.1"}, {u"65.1"}}},
    {kWarnMotorCurrent, kWarnings, kLiPo, 0x4E, 200, "200A", {{u"0", 0, "0A"}, {u"320", 320, "320A"}, {u"-1"}, {u"321"}}},
    {kWarnMotorCurrent, {kDelmar}, kLiPo, 0x4C, 200, "200A", {{u"0", 0, "0A"}, {u"320", 320, "320A"}, {u"-1"}, {u"321"}}},
    {kWarnMotorCurrent, {kBrenta120, kCorvan120}, kLiPo, 0x4E, 200, "200A", {{u"0", 0, "0A"}, {u"240", 240, "240A"}, {u"-1"}, {u"241"}}},
    {kWarnMotorCurrent, {kBrenta200}, kLiPo, 0x4E, 200, "200A", {{u"0", 0, "0A"}, {u"400", 400, "400A"}, {u"-1"}, {u"401"}}},
    {kWarnBecCurrent, {kBrenta401, kCorvan, kCorvan120}, kLiPo, 0x54, 8750, "8750mA", {{u"0", 0, "0mA"}, {u"20000", 20000, "20000mA"}, {u"-1"}, {u"20001"}}},
    {kWarnBecCurrent, {kBrenta120, kBrenta200}, kLiPo, 0x54, 8750, "8750mA", {{u"0", 0, "0mA"}, {u"30000", 30000, "30000mA"}, {u"-1"}, {u"30001"}}},
    {kWarnFetTemp, kWarnings, kLiPo, 0x50, 80, "80°C", {{u"20", 20, "20°C"}, {u"90", 90, "90°C"}, {u"19"}, {u"91"}}},
    {kWarnFetTemp, {kDelmar}, kLiPo, 0x4E, 80, "80°C", {{u"20", 20, "20°C"}, {u"90", 90, "90°C"}, {u"19"}, {u"91"}}},
    {kWarnBecTemp, kWarnings, kLiPo, 0x52, 80, "80°C", {{u"20", 20, "20°C"}, {u"90", 90, "90°C"}, {u"19"}, {u"91"}}},
};

// One field of each kind on BRENTA 0x0401 (and ALDER for the percent starting current).
const Row kSyntax[] = {
    {kHoldTime, {kBrenta401}, kLiPo, 0x12, 2000, "2000ms",
     {{u"  500 ms", 500, "500ms"}, {u"\t500\tms", 500, "500ms"}, {u"500msX", 500, "500ms"}, {kLongValid, 1000, "1000ms"},
      {u"05ms"}, {u"0500"}, {u"+500"}, {u"500MS"}, {u"500 m"}, {u"500s"}, {u""}, {u"   "}, {u"abc"}, {u"-500"},
      {u"4294967796"}, {kLongInvalid}}},
    {kPPart, {kBrenta401}, kLiPo, 0x28, 5, "5", {{u"7x", 7, "7"}}},
    {kSpoolupTime, {kBrenta401}, kLiPo, 0x26, 12500, "12s", {{u"12s", 12000, "12s"}, {u"12S"}, {u"12000ms"}}},
    {kRiComp, {kBrenta401}, kLiPo, 0x2A, 300, "300mOhm", {{u"500 mOhm", 500, "500mOhm"}, {u"500 Ohm"}, {u"500mohm"}}},
    {kFixTimingAngle, {kBrenta401}, kLiPo, 0x14, 5, "5°", {{u"15°", 15, "15°"}, {u"15deg"}}},
    {kWarnFetTemp, {kBrenta401}, kLiPo, 0x50, 80, "80°C", {{u"50°C", 50, "50°C"}, {u"50°c"}, {u"50°"}}},
    {kMinPwm, {kBrenta401}, kLiPo, 0x3A, 100, "2%", {{u"5%", 205, "5%"}, {u"2%", 82, "2%"}, {u"1%"}}},
    {kMaxStartCurrent, {kAlder}, kLiPo, 0x3C, 100, "100%", {{u"50%", 50, "50%"}, {u"50A"}}},
    {kMaxStartCurrent, {kBrenta401}, kLiPo, 0x3C, 100, "100A", {{u"50A", 50, "50A"}, {u"50%"}}},
    {kBecVoltage, {kBrenta401}, kLiPo, 0x10, 5640, "5.6V",
     {{u"5.6V", 5600, "5.6V"}, {u" 5.6 V", 5600, "5.6V"}, {u"5.6 Volt", 5600, "5.6V"}, {u"5.64", 5640, "5.6V"},
      {u"7.3", 7300, "7.3V"}, {u"05.5", 5500, "5.5V"}, {u"+5.5", 5500, "5.5V"}, {u"55e-1", 5500, "5.5V"}, {u"5,6"},
      {u"5.6v"}, {u"V"}, {u""}, {u"  "}}},
    {kCapacityLimit, {kBrenta401}, kLiPo, 0x2C, 50, "5.0Ah",
     {{u"12.5Ah", 125, "12.5Ah"}, {u"12.5 A", 125, "12.5Ah"}, {u"0.7", 7, "0.7Ah"}, {u"12.34", 123, "12.3Ah"},
      {u"4.6", 46, "4.6Ah"}, {u"0.0Ah = Aus", 0, "0.0Ah = Aus"}, {u"12.5ah"}}},
    {kGearRatio, {kBrenta401}, kLiPo, 0x4A, 250, "2.50:1", {{u"2.345", 235, "2.35:1"}, {u"2.50:1", 250, "2.50:1"}, {u"2.5x"}}},
};

EditContext ContextOf(const Esc& esc) { return {esc.family, esc.model, esc.version, std::nullopt}; }

void ExpectRule(const Row& row) {
  for (const Esc& esc : row.escs) {
    for (const Entry& entry : row.entries) {
      SCOPED_TRACE(std::string(esc.name) + " field " + std::to_string(row.id) + " entry '" + ToUtf8(entry.text) + "'");
      ConfigImage image;
      SetFlags(image, row.flags);
      PutU16(image, row.offset, row.prior);
      if (row.aux_prior >= 0) PutU16(image, 0x2C, static_cast<uint16_t>(row.aux_prior));
      ConfigImage want = image;
      if (entry.raw >= 0) PutU16(want, row.offset, static_cast<uint16_t>(entry.raw));
      if (entry.aux >= 0) PutU16(want, 0x2C, static_cast<uint16_t>(entry.aux));
      const CommitResult result = CommitField(row.id, entry.text, image, ContextOf(esc));
      EXPECT_EQ(result.status, entry.raw >= 0 ? CommitStatus::Accepted : CommitStatus::Refused);
      EXPECT_EQ(ToHex(result.image.bytes), ToHex(want.bytes));
      EXPECT_EQ(ToUtf8(result.text), entry.raw >= 0 ? entry.shown : row.prior_text);
    }
  }
}

TEST(FieldRule, AcceptsBothBoundsAndRefusesTheFirstValueBeyondEach) {
  for (const Row& row : kBounds) ExpectRule(row);
}

TEST(FieldRule, JudgesTheSyntaxOfEachKindOfField) {
  for (const Row& row : kSyntax) ExpectRule(row);
}

// An entry a family with the field would take lands nowhere: image and typed text stay as they are.
TEST(FieldRule, StoresNothingWhereTheLayoutHasNoPlaceOrTheFamilyIsUnknown) {
  const struct {
    Esc esc;
    std::initializer_list<ControlId> ids;
  } rows[] = {
      {kAlder, {kCapacityLimit, kPoleCount, kGearRatio, kBrakeSlewPos, kBrakeSlewNeg, kBrakeMinPwm, kBrakeMaxPwm,
                kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnBecCurrent, kWarnFetTemp, kWarnBecTemp}},
      {kBrentaOld, {kBecVoltage, kHoldTime, kPoleCount, kGearRatio}},
      {kBrenta400, {kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnBecCurrent, kWarnFetTemp, kWarnBecTemp}},
      {kDelmar, {kBecVoltage, kGearRatio, kBrakeSlewPos, kBrakeSlewNeg, kBrakeMinPwm, kBrakeMaxPwm, kWarnBecCurrent,
                 kWarnBecTemp}},
      {kOther, {kBecVoltage, kCutoffVoltage, kCapacityLimit, kHoldTime, kSpoolupTime, kPPart, kRiComp, kPoleCount,
                kGearRatio, kFixTimingAngle, kSlewPos, kSlewNeg, kMinPwm, kMaxStartCurrent, kBrakeSlewPos,
                kBrakeSlewNeg, kBrakeMinPwm, kBrakeMaxPwm, kWarnCutoff, kWarnCapacity, kWarnMotorCurrent,
                kWarnBecCurrent, kWarnFetTemp, kWarnBecTemp}},
  };
  for (const auto& row : rows) {
    for (ControlId id : row.ids) {
      const Row* bounds = std::find_if(std::begin(kBounds), std::end(kBounds), [&](const Row& r) { return r.id == id; });
      const std::u16string entry = bounds->entries.begin()->text;  // the lower bound, the same in every family
      SCOPED_TRACE(std::string(row.esc.name) + " field " + std::to_string(id) + " entry '" + ToUtf8(entry) + "'");
      ConfigImage image;
      SetFlags(image, kLiPo);
      PutU16(image, 0x3E, 0x1234);
      const CommitResult result = CommitField(id, entry, image, ContextOf(row.esc));
      EXPECT_EQ(result.status, CommitStatus::NotStored);
      EXPECT_EQ(result.image, image);
      EXPECT_EQ(result.text, entry);
    }
  }
}

// A stored value is judged itself, not the coarser text it shows: each bound
// of the table passes, one unit beyond it does not (4999 mV shows "5.0V").
TEST(FieldRule, StoredValuesAreJudgedOnTheValueNotOnItsText) {
  for (const Row& row : kBounds) {
    for (const Esc& esc : row.escs) {
      const auto rule = RuleFor(row.id, esc.family, esc.model, static_cast<BatteryType>(row.flags >> 2 & 3));
      ASSERT_TRUE(rule);
      const uint32_t low = static_cast<uint32_t>(row.entries.begin()[0].raw);
      const uint32_t high = static_cast<uint32_t>(row.entries.begin()[1].raw);
      SCOPED_TRACE(std::string(esc.name) + " field " + std::to_string(row.id));
      EXPECT_TRUE(RawWithinLimits(*rule, low));
      EXPECT_TRUE(RawWithinLimits(*rule, high));
      if (rule->store == EntryStore::Percent4096) continue;  // below
      if (low > 0) {
        EXPECT_FALSE(RawWithinLimits(*rule, low - 1));
      }
      EXPECT_FALSE(RawWithinLimits(*rule, high + 1));
    }
  }
  // A percent limit between two steps of 1/4096 admits the step below it:
  // the factory sets store 2% as 81 (1.98%), "2%" typed stores 82.
  const struct {
    ControlId id;
    uint32_t raw;
    bool within;
  } percents[] = {
      {kMinPwm, 80, false},      {kMinPwm, 81, true},       {kMinPwm, 1024, true},     {kMinPwm, 1025, false},
      {kBrakeMinPwm, 0, true},   {kBrakeMinPwm, 2048, true}, {kBrakeMinPwm, 2049, false},
      {kBrakeMaxPwm, 2047, false}, {kBrakeMaxPwm, 2048, true}, {kBrakeMaxPwm, 4096, true}, {kBrakeMaxPwm, 4097, false},
  };
  for (const auto& p : percents) {
    SCOPED_TRACE(std::to_string(p.id) + " " + std::to_string(p.raw));
    EXPECT_EQ(RawWithinLimits(*RuleFor(p.id, kCorvan.family, kCorvan.model, BatteryType::LiPo), p.raw), p.within);
  }
}

TEST(FieldRule, FieldsOutsideLimitsNamesTheStoredValueAndItsText) {
  const struct {
    ControlId id;
    size_t offset;
    uint16_t raw;
    uint32_t flags;
    const char* shown;  // null: within the limits
  } cases[] = {
      {kBecVoltage, 0x10, 4951, kLiPo, "5.0V"},  {kBecVoltage, 0x10, 5000, kLiPo, nullptr},
      {kBecVoltage, 0x10, 8000, kLiPo, nullptr}, {kBecVoltage, 0x10, 8049, kLiPo, "8.0V"},
      {kSpoolupTime, 0x26, 60999, kLiPo | 0x20, "60s"}, {kSpoolupTime, 0x26, 60000, kLiPo | 0x20, nullptr},
      {kSpoolupTime, 0x26, 60999, kLiPo, nullptr},  // the governor is off: the field is disabled
      {kMinPwm, 0x3A, 1025, kLiPo, "25%"},       {kHoldTime, 0x12, 99, kLiPo, "99ms"},
      {kMinPwm, 0x3A, 81, kLiPo, nullptr},       {kMinPwm, 0x3A, 80, kLiPo, "2%"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " " + std::to_string(c.raw));
    // Every other field as the simulated CORVAN 160 holds it, within its limits.
    ConfigImage image;
    const auto eeprom = sim::InitialEeprom(kCorvan.family, kCorvan.model, kCorvan.version);
    std::copy_n(eeprom.begin(), kImageSize, image.bytes.begin());
    SetFlags(image, c.flags);
    PutU16(image, c.offset, c.raw);
    const auto violations = FieldsOutsideLimits(image, ContextOf(kCorvan));
    ASSERT_EQ(violations.size(), c.shown ? 1u : 0u);
    if (c.shown) {
      EXPECT_EQ(violations[0].id, c.id);
      EXPECT_EQ(violations[0].raw, c.raw);
      EXPECT_EQ(ToUtf8(violations[0].shown), c.shown);
    }
  }
}

// The entry that stores a value exactly, where the field takes one.
TEST(FieldRule, EntryStoringGivesATextThatStoresTheVeryValue) {
  const struct {
    ControlId id;
    uint32_t raw;
    const char* entry;  // null: no entry stores it
  } cases[] = {
      {kBecVoltage, 5640, "5.640"}, {kBecVoltage, 8000, "8.000"}, {kBecVoltage, 4999, nullptr},
      {kSpoolupTime, 12000, "12"},  {kSpoolupTime, 12500, nullptr}, {kSpoolupTime, 61000, nullptr},
      {kMinPwm, 205, "5"},          {kMinPwm, 204, nullptr},        {kMinPwm, 82, "2"},
      {kGearRatio, 65535, "655.35"}, {kGearRatio, 99, nullptr},     {kCapacityLimit, 123, "12.3"},
      {kPoleCount, 14, "14"},       {kPoleCount, 15, nullptr},      {kCutoffVoltage, 3300, "3300"},
      {kCutoffVoltage, 1000, nullptr},  // a NiMh value, while the image selects LiPo
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " " + std::to_string(c.raw));
    ConfigImage image;
    SetFlags(image, kLiPo);
    const auto entry = EntryStoring(c.id, c.raw, image, ContextOf(kCorvan));
    ASSERT_EQ(entry.has_value(), c.entry != nullptr);
    if (!entry) continue;
    EXPECT_EQ(ToUtf8(*entry), c.entry);
    const CommitResult typed = CommitField(c.id, *entry, image, ContextOf(kCorvan));
    ASSERT_TRUE(typed.accepted());
    const auto format = EditedFormat(c.id, ImageLayout::Layout92B, BatteryType::LiPo);
    EXPECT_EQ(ReadField(typed.image, ImageLayout::Layout92B, format->field), c.raw);
  }
  // The cut-off of the battery type the context names.
  ConfigImage image;
  SetFlags(image, kLiPo);
  EditContext nimh = ContextOf(kCorvan);
  nimh.battery_type = BatteryType::NiMh;
  EXPECT_EQ(ToUtf8(EntryStoring(kCutoffVoltage, 1000, image, nimh).value_or(u"none")), "1000");
}

}  // namespace
}  // namespace tavio::test
