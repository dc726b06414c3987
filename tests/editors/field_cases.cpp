#include "field_cases.h"

#include <initializer_list>

namespace tavio::test {
namespace {

using namespace ctl;

constexpr uint32_t kNiMh = 0x0;    // battery type bits 2..3 = 0
constexpr uint32_t kLiPo = 0x4;    // = 1
constexpr uint32_t kLiFePo = 0x8;  // = 2
constexpr uint32_t kLiPo3 = 0xC;   // = 3, handled as LiPo
constexpr size_t kAux2C = 0x2C;

struct BoundsRow {
  ControlId id;
  std::initializer_list<EscSetup> setups;
  uint32_t flags;
  size_t offset;
  uint16_t prior;
  const char* prior_text;
  const char16_t* low;
  uint16_t low_raw;
  const char* low_text;
  const char16_t* high;
  uint16_t high_raw;
  const char* high_text;
  const char16_t* below;
  const char16_t* above;
  bool i_part = false;  // also keeps ten times the value at 0x2C
};

const std::initializer_list<EscSetup> kAllFour = {kAlder, kBrenta400, kBrenta401, kCorvan, kDelmar};
const std::initializer_list<EscSetup> kBrentas = {kBrenta400, kBrenta401, kCorvan};
const std::initializer_list<EscSetup> kNotDelmar = {kAlder, kBrenta400, kBrenta401, kCorvan};
const std::initializer_list<EscSetup> kWarning92 = {kBrenta401, kCorvan};

const BoundsRow kBoundsRows[] = {
    {kBecVoltage, kNotDelmar, kLiPo, 0x10, 6000, "6.0V", u"5.0", 5000, "5.0V", u"8.0", 8000, "8.0V", u"4.99", u"8.01"},
    {kCutoffVoltage, kAllFour, kNiMh, 0x08, 1000, "1000mV", u"700", 700, "700mV", u"1200", 1200, "1200mV", u"699", u"1201"},
    {kCutoffVoltage, kAllFour, kLiPo, 0x0A, 3300, "3300mV", u"2700", 2700, "2700mV", u"4000", 4000, "4000mV", u"2699", u"4001"},
    {kCutoffVoltage, kAllFour, kLiFePo, 0x0C, 2000, "2000mV", u"1800", 1800, "1800mV", u"2600", 2600, "2600mV", u"1799", u"2601"},
    {kCutoffVoltage, {kBrenta401}, kLiPo3, 0x0A, 3300, "3300mV", u"2700", 2700, "2700mV", u"4000", 4000, "4000mV", u"2699", u"4001"},
    {kCapacityLimit, kBrentas, kLiPo, 0x2C, 50, "5.0Ah", u"0", 0, "0.0Ah = Aus", u"65", 650, "65.0Ah", u"-0.1", u"65.1"},
    {kCapacityLimit, {kDelmar}, kLiPo, 0x3E, 50, "5.0Ah", u"0", 0, "0.0Ah = Aus", u"65", 650, "65.0Ah", u"-0.1", u"65.1"},
    {kHoldTime, kAllFour, kLiPo, 0x12, 2000, "2000ms", u"100", 100, "100ms", u"3000", 3000, "3000ms", u"99", u"3001"},
    {kSpoolupTime, {kAlder, kDelmar}, kLiPo, 0x26, 10000, "10s", u"6", 6000, "6s", u"20", 20000, "20s", u"5", u"21"},
    {kSpoolupTime, kBrentas, kLiPo, 0x26, 10000, "10s", u"6", 6000, "6s", u"60", 60000, "60s", u"5", u"61"},
    {kPPart, kAllFour, kLiPo, 0x28, 5, "5", u"0", 0, "0", u"10", 10, "10", u"-1", u"11"},
    {kRiComp, {kAlder, kDelmar}, kLiPo, 0x2A, 4, "4", u"0", 0, "0", u"10", 10, "10", u"-1", u"11", true},
    {kRiComp, kBrentas, kLiPo, 0x2A, 300, "300mOhm", u"0", 0, "0mOhm", u"1000", 1000, "1000mOhm", u"-1", u"1001"},
    {kPoleCount, kBrentas, kLiPo, 0x48, 14, "14", u"2", 2, "2", u"32", 32, "32", u"1", u"33"},
    {kPoleCount, {kDelmar}, kLiPo, 0x40, 14, "14", u"2", 2, "2", u"32", 32, "32", u"1", u"33"},
    {kGearRatio, kBrentas, kLiPo, 0x4A, 250, "2.50:1", u"1", 100, "1.00:1", u"655.35", 65535, "655.35:1", u"0.99", u"655.36"},
    {kFixTimingAngle, kAllFour, kLiPo, 0x14, 5, "5\u00B0", u"0", 0, "0\u00B0", u"30", 30, "30\u00B0", u"-1", u"31"},
    {kSlewPos, {kAlder}, kLiPo, 0x22, 500, "500ms", u"100", 100, "100ms", u"20000", 20000, "20000ms", u"99", u"20001"},
    {kSlewPos, {kBrenta400, kBrenta401, kCorvan, kDelmar}, kLiPo, 0x22, 500, "500ms", u"100", 100, "100ms", u"60000", 60000, "60000ms", u"99", u"60001"},
    {kSlewNeg, {kAlder}, kLiPo, 0x24, 500, "500ms", u"100", 100, "100ms", u"20000", 20000, "20000ms", u"99", u"20001"},
    {kSlewNeg, {kBrenta400, kBrenta401, kCorvan, kDelmar}, kLiPo, 0x24, 500, "500ms", u"100", 100, "100ms", u"60000", 60000, "60000ms", u"99", u"60001"},
    {kMinPwm, kAllFour, kLiPo, 0x3A, 204, "5%", u"2", 82, "2%", u"25", 1024, "25%", u"1", u"26"},
    {kMaxStartCurrent, {kAlder, kDelmar}, kLiPo, 0x3C, 50, "50%", u"10", 10, "10%", u"100", 100, "100%", u"9", u"101"},
    {kMaxStartCurrent, kBrentas, kLiPo, 0x3C, 50, "50A", u"10", 10, "10A", u"100", 100, "100A", u"9", u"101"},
    {kBrakeSlewPos, kBrentas, kLiPo, 0x0E, 500, "500ms", u"100", 100, "100ms", u"10000", 10000, "10000ms", u"99", u"10001"},
    {kBrakeSlewNeg, kBrentas, kLiPo, 0x3E, 500, "500ms", u"100", 100, "100ms", u"10000", 10000, "10000ms", u"99", u"10001"},
    {kBrakeMinPwm, kBrentas, kLiPo, 0x40, 410, "10%", u"0", 0, "0%", u"50", 2048, "50%", u"-1", u"51"},
    {kBrakeMaxPwm, kBrentas, kLiPo, 0x42, 3686, "90%", u"50", 2048, "50%", u"100", 4096, "100%", u"49", u"101"},
    {kWarnCutoff, kWarning92, kLiPo, 0x4C, 3500, "3500mV", u"700", 700, "700mV", u"4400", 4400, "4400mV", u"699", u"4401"},
    {kWarnCutoff, {kDelmar}, kLiPo, 0x4A, 3500, "3500mV", u"700", 700, "700mV", u"4400", 4400, "4400mV", u"699", u"4401"},
    {kWarnCapacity, kWarning92, kLiPo, 0x56, 100, "10.0Ah", u"0", 0, "0.0Ah = Aus", u"65", 650, "65.0Ah", u"-0.1", u"65.1"},
    {kWarnCapacity, {kDelmar}, kLiPo, 0x50, 100, "10.0Ah", u"0", 0, "0.0Ah = Aus", u"65", 650, "65.0Ah", u"-0.1", u"65.1"},
    {kWarnMotorCurrent, kWarning92, kLiPo, 0x4E, 200, "200A", u"0", 0, "0A", u"320", 320, "320A", u"-1", u"321"},
    {kWarnMotorCurrent, {kDelmar}, kLiPo, 0x4C, 200, "200A", u"0", 0, "0A", u"320", 320, "320A", u"-1", u"321"},
    {kWarnMotorCurrent, {kBrenta401Model120, kCorvanModel120}, kLiPo, 0x4E, 200, "200A", u"0", 0, "0A", u"240", 240, "240A", u"-1", u"241"},
    {kWarnBecCurrent, {kBrenta401, kCorvan, kCorvanModel120}, kLiPo, 0x54, 8750, "8750mA", u"0", 0, "0mA", u"20000", 20000, "20000mA", u"-1", u"20001"},
    {kWarnBecCurrent, {kBrenta401Model120}, kLiPo, 0x54, 8750, "8750mA", u"0", 0, "0mA", u"30000", 30000, "30000mA", u"-1", u"30001"},
    {kWarnFetTemp, kWarning92, kLiPo, 0x50, 80, "80\u00B0C", u"20", 20, "20\u00B0C", u"90", 90, "90\u00B0C", u"19", u"91"},
    {kWarnFetTemp, {kDelmar}, kLiPo, 0x4E, 80, "80\u00B0C", u"20", 20, "20\u00B0C", u"90", 90, "90\u00B0C", u"19", u"91"},
    {kWarnBecTemp, kWarning92, kLiPo, 0x52, 80, "80\u00B0C", u"20", 20, "20\u00B0C", u"90", 90, "90\u00B0C", u"19", u"91"},
};

std::string Label(const EscSetup& setup, ControlId id, const std::u16string& entry) {
  return std::string(setup.name) + " field " + std::to_string(id) + " entry '" + ToUtf8(entry) + "'";
}

FieldCase Accepted(const EscSetup& setup, ControlId id, uint32_t flags, size_t offset, uint16_t prior,
                   std::u16string entry, uint16_t after, std::string text) {
  FieldCase c{Label(setup, id, entry), setup, id, flags, offset, prior, std::move(entry),
              CommitStatus::Accepted, after, std::move(text)};
  return c;
}

FieldCase Refused(const EscSetup& setup, ControlId id, uint32_t flags, size_t offset, uint16_t prior,
                  const char* prior_text, std::u16string entry) {
  FieldCase c{Label(setup, id, entry), setup, id, flags, offset, prior, std::move(entry),
              CommitStatus::Refused, prior, prior_text};
  return c;
}

// Forty characters whose first 31 are "1000" and blanks; whole, the text
// after the number would not begin with the unit.
const std::u16string kLongValid = u"1000" + std::u16string(27, u' ') + u"trailing!";
// 31 blanks: the number begins at the 32nd character, which is never read.
const std::u16string kLongInvalid = std::u16string(31, u' ') + u"500ms";

}  // namespace

ConfigImage StartImage(const FieldCase& c) {
  ConfigImage image;
  SetFlags(image, c.flags);
  PutU16(image, c.offset, c.prior);
  if (c.aux_prior >= 0) PutU16(image, kAux2C, static_cast<uint16_t>(c.aux_prior));
  return image;
}

ConfigImage ExpectedImage(const FieldCase& c) {
  ConfigImage image = StartImage(c);
  PutU16(image, c.offset, c.after);
  if (c.aux_after >= 0) PutU16(image, kAux2C, static_cast<uint16_t>(c.aux_after));
  return image;
}

std::vector<FieldCase> BoundsCases() {
  std::vector<FieldCase> cases;
  for (const BoundsRow& row : kBoundsRows) {
    for (const EscSetup& setup : row.setups) {
      FieldCase low = Accepted(setup, row.id, row.flags, row.offset, row.prior, row.low, row.low_raw, row.low_text);
      FieldCase high = Accepted(setup, row.id, row.flags, row.offset, row.prior, row.high, row.high_raw, row.high_text);
      FieldCase below = Refused(setup, row.id, row.flags, row.offset, row.prior, row.prior_text, row.below);
      FieldCase above = Refused(setup, row.id, row.flags, row.offset, row.prior, row.prior_text, row.above);
      if (row.i_part) {
        for (FieldCase* c : {&low, &high, &below, &above}) c->aux_prior = 40;
        low.aux_after = row.low_raw * 10;
        high.aux_after = row.high_raw * 10;
        below.aux_after = 40;
        above.aux_after = 40;
      }
      for (FieldCase* c : {&low, &high, &below, &above}) cases.push_back(*c);
    }
  }
  return cases;
}

std::vector<FieldCase> SyntaxCases() {
  const EscSetup& b = kBrenta401;
  const EscSetup& a = kAlder;
  return {
      // Millisecond field: hold time.
      Accepted(b, kHoldTime, kLiPo, 0x12, 2000, u"500", 500, "500ms"),
      Accepted(b, kHoldTime, kLiPo, 0x12, 2000, u"500ms", 500, "500ms"),
      Accepted(b, kHoldTime, kLiPo, 0x12, 2000, u"  500 ms", 500, "500ms"),
      Accepted(b, kHoldTime, kLiPo, 0x12, 2000, u"\t500\tms", 500, "500ms"),
      Accepted(b, kHoldTime, kLiPo, 0x12, 2000, u"500msX", 500, "500ms"),
      Accepted(b, kHoldTime, kLiPo, 0x12, 2000, u"2000ms", 2000, "2000ms"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"05ms"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"0500"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"+500"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"500MS"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"500 m"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"500s"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"500,0"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u""),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"   "),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"abc"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"-500"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"99999999999"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", u"4294967796"),
      Accepted(b, kHoldTime, kLiPo, 0x12, 2000, kLongValid, 1000, "1000ms"),
      Refused(b, kHoldTime, kLiPo, 0x12, 2000, "2000ms", kLongInvalid),
      // Plain numbers take any text after them.
      Accepted(b, kPPart, kLiPo, 0x28, 5, u"7x", 7, "7"),
      Accepted(b, kPoleCount, kLiPo, 0x48, 14, u"14 poles", 14, "14"),
      Refused(b, kPoleCount, kLiPo, 0x48, 14, "14", u"0"),
      Refused(b, kPoleCount, kLiPo, 0x48, 14, "14", u"3"),
      Refused(b, kPoleCount, kLiPo, 0x48, 14, "14", u"31"),
      Refused(b, kPoleCount, kLiPo, 0x48, 14, "14", u"34"),
      Refused(b, kPoleCount, kLiPo, 0x48, 14, "14", u"-2"),
      Accepted(kDelmar, kPoleCount, kLiPo, 0x40, 2, u"14", 14, "14"),
      // Seconds, milliohms, degrees, percent, amperes.
      Accepted(b, kSpoolupTime, kLiPo, 0x26, 10000, u"12s", 12000, "12s"),
      Accepted(b, kSpoolupTime, kLiPo, 0x26, 10000, u"12 s", 12000, "12s"),
      Refused(b, kSpoolupTime, kLiPo, 0x26, 10000, "10s", u"12S"),
      Refused(b, kSpoolupTime, kLiPo, 0x26, 10000, "10s", u"12000ms"),
      Accepted(b, kRiComp, kLiPo, 0x2A, 300, u"500 mOhm", 500, "500mOhm"),
      Refused(b, kRiComp, kLiPo, 0x2A, 300, "300mOhm", u"500 Ohm"),
      Refused(b, kRiComp, kLiPo, 0x2A, 300, "300mOhm", u"500mohm"),
      Accepted(b, kFixTimingAngle, kLiPo, 0x14, 5, u"15\u00B0", 15, "15\u00B0"),
      Refused(b, kFixTimingAngle, kLiPo, 0x14, 5, "5\u00B0", u"15deg"),
      Accepted(b, kWarnFetTemp, kLiPo, 0x50, 80, u"50\u00B0C", 50, "50\u00B0C"),
      Refused(b, kWarnFetTemp, kLiPo, 0x50, 80, "80\u00B0C", u"50\u00B0c"),
      Refused(b, kWarnFetTemp, kLiPo, 0x50, 80, "80\u00B0C", u"50\u00B0"),
      Accepted(b, kMinPwm, kLiPo, 0x3A, 204, u"5", 205, "5%"),
      Accepted(b, kMinPwm, kLiPo, 0x3A, 204, u"5%", 205, "5%"),
      Accepted(a, kMaxStartCurrent, kLiPo, 0x3C, 100, u"50", 50, "50%"),
      Accepted(a, kMaxStartCurrent, kLiPo, 0x3C, 100, u"50%", 50, "50%"),
      Refused(a, kMaxStartCurrent, kLiPo, 0x3C, 100, "100%", u"50A"),
      Accepted(b, kMaxStartCurrent, kLiPo, 0x3C, 100, u"50A", 50, "50A"),
      Refused(b, kMaxStartCurrent, kLiPo, 0x3C, 100, "100A", u"50%"),
      Refused(b, kCutoffVoltage, kNiMh, 0x08, 1000, "1000mV", u"3000"),
      Refused(b, kWarnBecCurrent, kLiPo, 0x54, 8750, "8750mA", u"25000"),
      Accepted(kBrenta401Model120, kWarnBecCurrent, kLiPo, 0x54, 8750, u"25000mA", 25000, "25000mA"),
      // Decimal fields.
      Accepted(b, kBecVoltage, kLiPo, 0x10, 6000, u"5.6", 5600, "5.6V"),
      Accepted(b, kBecVoltage, kLiPo, 0x10, 6000, u"5.6V", 5600, "5.6V"),
      Accepted(b, kBecVoltage, kLiPo, 0x10, 6000, u" 5.6 V", 5600, "5.6V"),
      Accepted(b, kBecVoltage, kLiPo, 0x10, 6000, u"5.6 Volt", 5600, "5.6V"),
      Accepted(b, kBecVoltage, kLiPo, 0x10, 6000, u"7.3", 7300, "7.3V"),
      Accepted(b, kBecVoltage, kLiPo, 0x10, 6000, u"5.64", 5640, "5.6V"),
      Accepted(b, kBecVoltage, kLiPo, 0x10, 6000, u"05.5", 5500, "5.5V"),
      Accepted(b, kBecVoltage, kLiPo, 0x10, 6000, u"+5.5", 5500, "5.5V"),
      Accepted(b, kBecVoltage, kLiPo, 0x10, 6000, u"55e-1", 5500, "5.5V"),
      Refused(b, kBecVoltage, kLiPo, 0x10, 6000, "6.0V", u"5,6"),
      Refused(b, kBecVoltage, kLiPo, 0x10, 6000, "6.0V", u"5.6v"),
      Refused(b, kBecVoltage, kLiPo, 0x10, 6000, "6.0V", u"5.6 X"),
      Refused(b, kBecVoltage, kLiPo, 0x10, 6000, "6.0V", u"V"),
      Refused(b, kBecVoltage, kLiPo, 0x10, 6000, "6.0V", u""),
      Refused(b, kBecVoltage, kLiPo, 0x10, 6000, "6.0V", u"  "),
      Accepted(b, kCapacityLimit, kLiPo, 0x2C, 50, u"12.5Ah", 125, "12.5Ah"),
      Accepted(b, kCapacityLimit, kLiPo, 0x2C, 50, u"12.5 A", 125, "12.5Ah"),
      Refused(b, kCapacityLimit, kLiPo, 0x2C, 50, "5.0Ah", u"12.5ah"),
      Accepted(b, kCapacityLimit, kLiPo, 0x2C, 50, u"0.7", 7, "0.7Ah"),
      Accepted(b, kCapacityLimit, kLiPo, 0x2C, 50, u"12.34", 123, "12.3Ah"),
      Accepted(b, kCapacityLimit, kLiPo, 0x2C, 50, u"2.2", 22, "2.2Ah"),
      Accepted(b, kCapacityLimit, kLiPo, 0x2C, 50, u"4.6", 46, "4.6Ah"),
      Accepted(b, kCapacityLimit, kLiPo, 0x2C, 50, u"0.0Ah = Aus", 0, "0.0Ah = Aus"),
      Accepted(b, kWarnCapacity, kLiPo, 0x56, 100, u"0.7", 7, "0.7Ah"),
      Accepted(b, kGearRatio, kLiPo, 0x4A, 250, u"2.345", 235, "2.35:1"),
      Accepted(b, kGearRatio, kLiPo, 0x4A, 250, u"2.50:1", 250, "2.50:1"),
      Accepted(b, kGearRatio, kLiPo, 0x4A, 100, u"2.5", 250, "2.50:1"),
      Refused(b, kGearRatio, kLiPo, 0x4A, 250, "2.50:1", u"2.5x"),
      // The display is coarser than the value: committing what is shown
      // stores what is shown.
      Accepted(b, kBecVoltage, kLiPo, 0x10, 5640, u"5.6V", 5600, "5.6V"),
      Accepted(b, kSpoolupTime, kLiPo, 0x26, 12500, u"12s", 12000, "12s"),
      Accepted(b, kMinPwm, kLiPo, 0x3A, 100, u"2%", 82, "2%"),
      Refused(b, kMinPwm, kLiPo, 0x3A, 100, "2%", u"1%"),
  };
}

std::vector<FieldCase> NotStoredCases() {
  const auto ValidEntry = [](ControlId id) -> std::u16string {
    switch (id) {
      case kBecVoltage: return u"6";
      case kCutoffVoltage: return u"3000";
      case kCapacityLimit: return u"5";
      case kHoldTime: return u"500";
      case kSpoolupTime: return u"10";
      case kGearRatio: return u"2.5";
      case kPoleCount: return u"14";
      case kBrakeSlewPos: case kBrakeSlewNeg: case kSlewPos: case kSlewNeg: return u"500";
      case kBrakeMaxPwm: return u"80";
      case kWarnCutoff: return u"3000";
      case kWarnBecCurrent: return u"1000";
      case kWarnFetTemp: case kWarnBecTemp: case kMaxStartCurrent: return u"50";
      default: return u"5";  // P-part, I-part, timing, PWM, capacity warning, motor current
    }
  };
  struct Row {
    EscSetup setup;
    std::initializer_list<ControlId> ids;
  };
  const Row rows[] = {
      {kAlder, {kCapacityLimit, kPoleCount, kGearRatio, kBrakeSlewPos, kBrakeSlewNeg, kBrakeMinPwm, kBrakeMaxPwm,
                kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnBecCurrent, kWarnFetTemp, kWarnBecTemp}},
      {kBrentaOld, {kBecVoltage, kHoldTime, kPoleCount, kGearRatio}},
      {kBrenta400, {kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnBecCurrent, kWarnFetTemp, kWarnBecTemp}},
      {kDelmar, {kBecVoltage, kGearRatio, kBrakeSlewPos, kBrakeSlewNeg, kBrakeMinPwm, kBrakeMaxPwm,
                 kWarnBecCurrent, kWarnBecTemp}},
      {kOther, {kBecVoltage, kCutoffVoltage, kCapacityLimit, kHoldTime, kSpoolupTime, kPPart, kRiComp,
                kPoleCount, kGearRatio, kFixTimingAngle, kSlewPos, kSlewNeg, kMinPwm, kMaxStartCurrent,
                kBrakeSlewPos, kBrakeSlewNeg, kBrakeMinPwm, kBrakeMaxPwm, kWarnCutoff, kWarnCapacity,
                kWarnMotorCurrent, kWarnBecCurrent, kWarnFetTemp, kWarnBecTemp}},
  };
  std::vector<FieldCase> cases;
  for (const Row& row : rows) {
    for (ControlId id : row.ids) {
      // An entry a layout that has the field would take; here it lands nowhere.
      const std::u16string entry = ValidEntry(id);
      FieldCase c{Label(row.setup, id, entry), row.setup, id, kLiPo, 0x3E, 0x1234, entry,
                  CommitStatus::NotStored, 0x1234, ToUtf8(entry)};
      cases.push_back(c);
    }
  }
  return cases;
}

}  // namespace tavio::test
