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

// Limits the table cannot hold as numbers, computed by the field rules.
enum class LimitRule : uint8_t {
  Fixed,       // `limits`, or `other_limits` in `other_families`
  Cutoff,      // by the battery type the field edits
  TwiceModel,  // 0..2 A per model number
  BecCurrent,  // 20 A on CORVAN and BRENTA 160, 30 A elsewhere
};

// The enabled state of a control while connected, per family.
enum class Enable : uint8_t {
  No,             // the family has no such setting
  Yes,
  Gov,            // with a governor mode
  NoGov,          // without one
  Brake,          // with a brake
  Prop,           // with the proportional brake
  NotSwitching,   // unless the switching brake is chosen
  Fix,            // under fixed timing
  Ext,            // from parameter set 0x0401
};
struct EnableColumns {
  Enable alder, brenta, corvan, delmar, other;
};
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
  ControlId control;
  // ShowImage fills by rank, and each text it fills shows its help: the
  // last one filled is the help a readout leaves.
  uint8_t fill_rank;
  ControlKind kind;
  ControlId group;                   // the box the control is created in
  Rect at;                           // the control
  const char16_t* placeholder;       // a field's initial text
  ControlId label;                   // the label that names it
  Rect label_at;                     // width 0: the label is another row's
  StringId label_text;               // 0: `label_literal`
  const char16_t* label_literal;
  StringId help;                     // the help text of the control and its label
  StringId family_help = 0;          // the label's help in `help_families` instead
  uint8_t help_families = 0;
  std::array<Shown, 3> shown{};      // numeric fields: their values
  LimitRule limit_rule = LimitRule::Fixed;
  FieldRule limits{};                // numeric fields
  FieldRule other_limits{};
  uint8_t other_families = 0;
  uint8_t rule_families = families::kAll;  // where the field edits at all
  uint8_t model_families = 0;        // where the limits follow the model number
  Fill fill = Fill::Text;
  uint8_t fill_layouts = layouts::kAll;
  uint32_t flag = 0;                 // check boxes and radio buttons: their bit
  uint8_t switch_families = 0;       // where a click changes that bit
  EnableColumns enable = kAlways;
  std::string_view name = {};        // lists and switches: the CLI's name
  std::array<const char*, 3> values = {};  // and of their values
  Rect arrows = {};                  // up-down arrows beside the field
};

namespace params {

using namespace layouts;
using L = ImageLayout;
using E = Enable;
using U = Unit;
using Enc = Encoding;
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
inline constexpr EnableColumns kGovernor = Columns(E::Gov, E::Gov, E::Gov, E::Gov, E::Yes);
inline constexpr EnableColumns kBrentaBrake = Columns(E::No, E::Brake, E::Brake, E::No, E::Yes);
inline constexpr EnableColumns kWarning = Columns(E::No, E::Ext, E::Ext, E::Yes, E::No);

// In creation order within each box; the window's Tab order follows it.
inline constexpr Parameter kTable[] = {
    // General
    {.control = ctl::kBecVoltage, .fill_rank = 0, .kind = ControlKind::Field, .group = ctl::kGroupGeneral, .at = {200, 38, 80, 25},
     .placeholder = u"0.0V", .label = ctl::kLabelBecVoltage, .label_at = {20, 40, 180, 25}, .label_text = 200,
     .label_literal = nullptr, .help = 300, .shown = {Value(kNot88D, Field::BecVoltageMv, Enc::MillivoltsAsVolts)},
     .limits = DecimalRule(u'V', 5.0f, 8.0f, 1000.0), .fill_layouts = kNot88D, .enable = kNotDelmar},
    {.control = ctl::kReverseRotation, .fill_rank = 1, .kind = ControlKind::Check, .group = ctl::kGroupGeneral, .at = {30, 90, 25, 25},
     .placeholder = nullptr, .label = ctl::kLabelReverseRotation, .label_at = {55, 95, 230, 25}, .label_text = 201,
     .label_literal = nullptr, .help = 301, .fill = Fill::Check, .flag = flag::kReverseRotation,
     .switch_families = fam::kAll, .name = "reverse_rotation", .values = {"off", "on", nullptr}},
    {.control = ctl::kForwardBackward, .fill_rank = 2, .kind = ControlKind::Check, .group = ctl::kGroupGeneral, .at = {30, 120, 25, 25},
     .placeholder = nullptr, .label = ctl::kLabelForwardBackward, .label_at = {55, 125, 230, 25}, .label_text = 202,
     .label_literal = nullptr, .help = 302, .fill = Fill::Check, .fill_layouts = kNot80A,
     .flag = flag::kForwardBackward, .switch_families = fam::kAll & ~fam::kAlder,
     .enable = Columns(E::No, E::Yes, E::Yes, E::Yes, E::Yes), .name = "forward_backward",
     .values = {"off", "on", nullptr}},
    // Battery
    {.control = ctl::kBatteryType, .fill_rank = 3, .kind = ControlKind::List, .group = ctl::kGroupBattery, .at = {470, 35, 120, 75},
     .placeholder = nullptr, .label = ctl::kLabelBatteryType, .label_at = {330, 40, 140, 25},
     .label_text = sid::kLabelBatteryType, .label_literal = nullptr, .help = 306, .fill = Fill::BatteryList,
     .enable = kNotDelmar, .name = "battery_type", .values = {"nimh", "lipo", "lifepo"}},
    {.control = ctl::kCutoffVoltage, .fill_rank = 4, .kind = ControlKind::DigitsField, .group = ctl::kGroupBattery,
     .at = {510, 70, 80, 25}, .placeholder = u"0mV", .label = ctl::kLabelCutoffVoltage, .label_at = {330, 75, 180, 25},
     .label_text = 207, .label_literal = nullptr, .help = 307,
     .shown = {Cutoff(BatteryType::NiMh, Field::CutoffNimhMv), Cutoff(BatteryType::LiPo, Field::CutoffLipoMv),
               Cutoff(BatteryType::LiFePo, Field::CutoffLifepoMv)},
     .limit_rule = LimitRule::Cutoff, .enable = kNotDelmar},
    {.control = ctl::kShutdown, .fill_rank = 6, .kind = ControlKind::Check, .group = ctl::kGroupBattery, .at = {340, 110, 25, 25},
     .placeholder = nullptr, .label = ctl::kLabelShutdown, .label_at = {365, 115, 220, 25}, .label_text = 203,
     .label_literal = nullptr, .help = 303, .fill = Fill::Check, .flag = flag::kShutdown,
     .switch_families = fam::kAll, .enable = Columns(E::NoGov, E::NoGov, E::NoGov, E::No, E::Yes),
     .name = "shutdown", .values = {"off", "on", nullptr}},
    {.control = ctl::kCapacityLimit, .fill_rank = 5, .kind = ControlKind::Field, .group = ctl::kGroupBattery, .at = {510, 160, 80, 25},
     .placeholder = u"0.0Ah = Aus", .label = ctl::kLabelCapacityLimit, .label_at = {330, 165, 180, 25},
     .label_text = 208, .label_literal = nullptr, .help = 308,
     .shown = {Value(kNot80A, Field::CapacityLimitDah, Enc::DeciAmpHours)},
     .limits = DecimalRule(u'A', 0.0f, 65.0f, 10.0), .fill_layouts = kNot80A,
     .enable = Columns(E::No, E::Yes, E::Yes, E::No, E::Yes)},
    {.control = ctl::kHoldTime, .fill_rank = 26, .kind = ControlKind::DigitsField, .group = ctl::kGroupBattery, .at = {510, 260, 80, 25},
     .placeholder = u"0ms", .label = ctl::kLabelHoldTime, .label_at = {330, 265, 180, 25}, .label_text = 233,
     .label_literal = nullptr, .help = 333,
     .shown = {Value(kAll, Field::HoldTimeMs, Enc::UnitInteger, U::Millisecond)},
     .limits = IntegerRule(U::Millisecond, 100, 3000)},
    // Governor
    {.control = ctl::kGovernorType, .fill_rank = 7, .kind = ControlKind::List, .group = ctl::kGroupGovernor, .at = {160, 365, 120, 75},
     .placeholder = nullptr, .label = ctl::kLabelGovernorType, .label_at = {20, 370, 140, 25}, .label_text = 209,
     .label_literal = nullptr, .help = 309, .fill = Fill::GovernorList, .enable = kNotDelmar,
     .name = "governor_type", .values = {"off", "governor", "store"}},
    {.control = ctl::kSoftStart, .fill_rank = 20, .kind = ControlKind::Check, .group = ctl::kGroupGovernor, .at = {30, 415, 25, 25},
     .placeholder = nullptr, .label = ctl::kLabelSoftStart, .label_at = {55, 420, 230, 25}, .label_text = 235,
     .label_literal = nullptr, .help = 335, .fill = Fill::Check, .fill_layouts = kBrenta, .flag = flag::kSoftStart,
     .switch_families = fam::kBrentaCorvan, .enable = Columns(E::No, E::Gov, E::Gov, E::No, E::Yes),
     .name = "soft_start", .values = {"off", "on", nullptr}},
    {.control = ctl::kSpoolupTime, .fill_rank = 8, .kind = ControlKind::DigitsField, .group = ctl::kGroupGovernor,
     .at = {200, 465, 80, 25}, .placeholder = u"0s", .label = ctl::kLabelSpoolupTime, .label_at = {20, 470, 180, 25},
     .label_text = 210, .label_literal = nullptr, .help = 310,
     .shown = {Value(kAll, Field::SpoolupMs, Enc::MillisecondsAsSeconds)},
     .limits = IntegerRule(U::Second, 6, 20, EntryStore::SecondsToMs),
     .other_limits = IntegerRule(U::Second, 6, 60, EntryStore::SecondsToMs), .other_families = fam::kBrentaCorvan,
     .enable = kGovernor},
    {.control = ctl::kPPart, .fill_rank = 9, .kind = ControlKind::DigitsField, .group = ctl::kGroupGovernor, .at = {200, 500, 80, 25},
     .placeholder = u"0", .label = ctl::kLabelPPart, .label_at = {20, 505, 180, 25}, .label_text = 211,
     .label_literal = nullptr, .help = 311, .shown = {Value(kAll, Field::GovP)},
     .limits = IntegerRule(U::None, 0, 10), .enable = kGovernor},
    // The label reads "I-Anteil" on ALDER, whose field is the I-part.
    {.control = ctl::kRiComp, .fill_rank = 10, .kind = ControlKind::DigitsField, .group = ctl::kGroupGovernor, .at = {200, 535, 80, 25},
     .placeholder = u"0", .label = ctl::kLabelRiComp, .label_at = {20, 540, 180, 25}, .label_text = 0,
     .label_literal = u"Ri.-Comp.", .help = 312, .family_help = sid::kHelpIPart, .help_families = fam::kAlder,
     .shown = {Value(kAlderDelmar, Field::GovI), Value(kBrenta, Field::RiCompMohm, Enc::UnitInteger, U::Milliohm)},
     .limits = IntegerRule(U::None, 0, 10), .other_limits = IntegerRule(U::Milliohm, 0, 1000),
     .other_families = fam::kBrentaCorvan, .enable = kGovernor},
    // Motor
    {.control = ctl::kBrakeType, .fill_rank = 11, .kind = ControlKind::List, .group = ctl::kGroupMotor, .at = {470, 365, 120, 75},
     .placeholder = nullptr, .label = ctl::kLabelBrakeType, .label_at = {330, 370, 140, 25}, .label_text = 213,
     .label_literal = nullptr, .help = 313, .fill = Fill::BrakeList, .enable = kNotDelmar, .name = "brake_type",
     .values = {"off", "switching", "proportional"}},
    {.control = ctl::kPoleCount, .fill_rank = 12, .kind = ControlKind::DigitsField, .group = ctl::kGroupMotor, .at = {520, 400, 70, 25},
     .placeholder = u"0", .label = ctl::kLabelPoleCount, .label_at = {330, 405, 180, 25}, .label_text = 214,
     .label_literal = nullptr, .help = 314, .shown = {Value(kNot80A, Field::PoleCount)}, .limits = EvenRule(2, 32),
     .fill_layouts = kNot80A, .enable = Columns(E::No, E::Yes, E::Yes, E::Yes, E::Yes), .arrows = {570, 400, 20, 25}},
    {.control = ctl::kGearRatio, .fill_rank = 13, .kind = ControlKind::Field, .group = ctl::kGroupMotor, .at = {510, 435, 80, 25},
     .placeholder = u"1.00:1", .label = ctl::kLabelGearRatio, .label_at = {330, 440, 180, 25}, .label_text = 215,
     .label_literal = nullptr, .help = 315, .shown = {Value(kBrenta, Field::GearRatioX100, Enc::RatioTimes100)},
     // The single-precision value nearest 655.35, so that 655.35 itself passes.
     .limits = DecimalRule(u':', 1.0f, 655.35f, 100.0), .fill_layouts = kBrenta,
     .enable = Columns(E::No, E::Yes, E::Yes, E::No, E::Yes)},
    {.control = ctl::kAutoTiming, .fill_rank = 14, .kind = ControlKind::Radio, .group = ctl::kGroupMotor, .at = {340, 475, 25, 25},
     .placeholder = nullptr, .label = ctl::kLabelAutoTiming, .label_at = {365, 480, 150, 25}, .label_text = 204,
     .label_literal = nullptr, .help = 304, .fill = Fill::Check, .flag = flag::kAutoTiming,
     .switch_families = fam::kAll, .name = "timing", .values = {"fixed", "auto", nullptr}},
    {.control = ctl::kFixTiming, .fill_rank = 15, .kind = ControlKind::Radio, .group = ctl::kGroupMotor, .at = {340, 505, 25, 25},
     .placeholder = nullptr, .label = ctl::kLabelFixTiming, .label_at = {365, 510, 150, 25}, .label_text = 205,
     .label_literal = nullptr, .help = sid::kHelpFixTiming, .fill = Fill::InverseCheck, .flag = flag::kAutoTiming,
     .switch_families = fam::kAll},
    // Named by the fixed-timing button's label before it.
    {.control = ctl::kFixTimingAngle, .fill_rank = 16, .kind = ControlKind::DigitsField, .group = ctl::kGroupMotor,
     .at = {510, 505, 80, 25}, .placeholder = u"0°", .label = ctl::kLabelFixTiming, .label_at = {}, .label_text = 205,
     .label_literal = nullptr, .help = sid::kHelpFixTiming,
     .shown = {Value(kAll, Field::FixTimingDeg, Enc::UnitInteger, U::Degree)},
     .limits = IntegerRule(U::Degree, 0, 30), .fill = Fill::TimingAngle,
     .enable = Columns(E::Fix, E::Fix, E::Fix, E::Fix, E::Fix)},
    // Expert
    {.control = ctl::kMinPwm, .fill_rank = 19, .kind = ControlKind::DigitsField, .group = ctl::kGroupExpert, .at = {820, 365, 80, 25},
     .placeholder = u"0%", .label = ctl::kLabelMinPwm, .label_at = {640, 370, 180, 25}, .label_text = 234,
     .label_literal = nullptr, .help = 334, .shown = {Value(kAll, Field::MinPwm, Enc::Fraction4096)},
     .limits = IntegerRule(U::Percent, 2, 25, EntryStore::Percent4096), .enable = kNotDelmar},
    {.control = ctl::kMaxStartCurrent, .fill_rank = 21, .kind = ControlKind::DigitsField, .group = ctl::kGroupExpert,
     .at = {820, 400, 80, 25}, .placeholder = u"0A", .label = ctl::kLabelMaxStartCurrent,
     .label_at = {640, 405, 180, 25}, .label_text = 236, .label_literal = nullptr,
     .help = sid::kHelpMaxStartCurrentAmps, .family_help = sid::kHelpMaxStartCurrentPercent,
     .help_families = fam::kAlder | fam::kDelmarZ,
     .shown = {Value(kAlderDelmar, Field::MaxStartCurrent, Enc::UnitInteger, U::Percent),
               Value(kBrenta, Field::MaxStartCurrent, Enc::UnitInteger, U::Ampere)},
     .limits = IntegerRule(U::Percent, 10, 100), .other_limits = IntegerRule(U::Ampere, 10, 100),
     .other_families = fam::kBrentaCorvan},
    {.control = ctl::kSlewPos, .fill_rank = 17, .kind = ControlKind::DigitsField, .group = ctl::kGroupExpert, .at = {820, 435, 80, 25},
     .placeholder = u"0ms", .label = ctl::kLabelSlewPos, .label_at = {640, 440, 180, 25}, .label_text = 0,
     .label_literal = u"Slewrate Pos.", .help = 316,
     .shown = {Value(kAll, Field::SlewPosMs, Enc::UnitInteger, U::Millisecond)},
     .limits = IntegerRule(U::Millisecond, 100, 60000), .other_limits = IntegerRule(U::Millisecond, 100, 20000),
     .other_families = fam::kAlder, .enable = kNotDelmar},
    {.control = ctl::kSlewNeg, .fill_rank = 18, .kind = ControlKind::DigitsField, .group = ctl::kGroupExpert, .at = {820, 470, 80, 25},
     .placeholder = u"0ms", .label = ctl::kLabelSlewNeg, .label_at = {640, 475, 180, 25}, .label_text = 0,
     .label_literal = u"Slewrate Neg.", .help = 317,
     .shown = {Value(kAll, Field::SlewNegMs, Enc::UnitInteger, U::Millisecond)},
     .limits = IntegerRule(U::Millisecond, 100, 60000), .other_limits = IntegerRule(U::Millisecond, 100, 20000),
     .other_families = fam::kAlder, .enable = kNotDelmar},
    {.control = ctl::kBrakeSlewPos, .fill_rank = 22, .kind = ControlKind::DigitsField, .group = ctl::kGroupExpert,
     .at = {820, 505, 80, 25}, .placeholder = u"0ms", .label = ctl::kLabelBrakeSlewPos,
     .label_at = {640, 510, 180, 25}, .label_text = 237, .label_literal = nullptr, .help = 337,
     .shown = {Value(kBrenta, Field::BrakeSlewPosMs, Enc::UnitInteger, U::Millisecond)},
     .limits = IntegerRule(U::Millisecond, 100, 10000), .rule_families = fam::kBrentaCorvan, .fill_layouts = kBrenta,
     .enable = kBrentaBrake},
    {.control = ctl::kBrakeSlewNeg, .fill_rank = 23, .kind = ControlKind::DigitsField, .group = ctl::kGroupExpert,
     .at = {820, 540, 80, 25}, .placeholder = u"0ms", .label = ctl::kLabelBrakeSlewNeg,
     .label_at = {640, 545, 180, 25}, .label_text = 238, .label_literal = nullptr, .help = 338,
     .shown = {Value(kBrenta, Field::BrakeSlewNegMs, Enc::UnitInteger, U::Millisecond)},
     .limits = IntegerRule(U::Millisecond, 100, 10000), .rule_families = fam::kBrentaCorvan, .fill_layouts = kBrenta,
     .enable = kBrentaBrake},
    // Applies to the proportional brake only.
    {.control = ctl::kBrakeMinPwm, .fill_rank = 24, .kind = ControlKind::DigitsField, .group = ctl::kGroupExpert,
     .at = {820, 575, 80, 25}, .placeholder = u"0%", .label = ctl::kLabelBrakeMinPwm, .label_at = {640, 580, 180, 25},
     .label_text = 239, .label_literal = nullptr, .help = 339,
     .shown = {Value(kBrenta, Field::BrakeMinPwm, Enc::Fraction4096)},
     .limits = IntegerRule(U::Percent, 0, 50, EntryStore::Percent4096), .rule_families = fam::kBrentaCorvan,
     .fill_layouts = kBrenta, .enable = Columns(E::No, E::Prop, E::Prop, E::No, E::NotSwitching)},
    {.control = ctl::kBrakeMaxPwm, .fill_rank = 25, .kind = ControlKind::DigitsField, .group = ctl::kGroupExpert,
     .at = {820, 610, 80, 25}, .placeholder = u"0%", .label = ctl::kLabelBrakeMaxPwm, .label_at = {640, 615, 180, 25},
     .label_text = 240, .label_literal = nullptr, .help = 340,
     .shown = {Value(kBrenta, Field::BrakeMaxPwm, Enc::Fraction4096)},
     .limits = IntegerRule(U::Percent, 50, 100, EntryStore::Percent4096), .rule_families = fam::kBrentaCorvan,
     .fill_layouts = kBrenta, .enable = kBrentaBrake},
    // Warnings
    {.control = ctl::kWarnCutoff, .fill_rank = 27, .kind = ControlKind::DigitsField, .group = ctl::kGroupWarnings,
     .at = {820, 35, 80, 25}, .placeholder = u"0mV", .label = ctl::kLabelWarnCutoff, .label_at = {640, 40, 180, 25},
     .label_text = 218, .label_literal = nullptr, .help = 318,
     .shown = {Value(kWarnings, Field::WarnCutoffMv, Enc::UnitInteger, U::Millivolt)},
     .limits = IntegerRule(U::Millivolt, 700, 4400), .fill_layouts = kWarnings, .enable = kWarning},
    {.control = ctl::kWarnCapacity, .fill_rank = 32, .kind = ControlKind::Field, .group = ctl::kGroupWarnings, .at = {820, 70, 80, 25},
     .placeholder = u"0.0Ah = Aus", .label = ctl::kLabelWarnCapacity, .label_at = {640, 75, 180, 25},
     .label_text = 219, .label_literal = nullptr, .help = 319,
     .shown = {Value(kWarnings, Field::WarnCapacityDah, Enc::DeciAmpHours)},
     .limits = DecimalRule(u'A', 0.0f, 65.0f, 10.0), .fill_layouts = kWarnings, .enable = kWarning},
    {.control = ctl::kWarnMotorCurrent, .fill_rank = 28, .kind = ControlKind::DigitsField, .group = ctl::kGroupWarnings,
     .at = {820, 105, 80, 25}, .placeholder = u"0A", .label = ctl::kLabelWarnMotorCurrent,
     .label_at = {640, 110, 180, 25}, .label_text = 220, .label_literal = nullptr, .help = 320,
     .shown = {Value(kWarnings, Field::WarnMotorCurrentA, Enc::UnitInteger, U::Ampere)},
     .limit_rule = LimitRule::TwiceModel, .model_families = fam::kAll, .fill_layouts = kWarnings, .enable = kWarning},
    {.control = ctl::kWarnBecCurrent, .fill_rank = 31, .kind = ControlKind::DigitsField, .group = ctl::kGroupWarnings,
     .at = {820, 140, 80, 25}, .placeholder = u"0mA", .label = ctl::kLabelWarnBecCurrent,
     .label_at = {640, 145, 180, 25}, .label_text = 221, .label_literal = nullptr, .help = 321,
     .shown = {Value(k92B, Field::WarnBecCurrentMa, Enc::UnitInteger, U::Milliampere)},
     .limit_rule = LimitRule::BecCurrent, .model_families = fam::kBrenta, .fill_layouts = k92B,
     .enable = Columns(E::No, E::Ext, E::No, E::No, E::No)},
    {.control = ctl::kWarnFetTemp, .fill_rank = 29, .kind = ControlKind::DigitsField, .group = ctl::kGroupWarnings,
     .at = {820, 175, 80, 25}, .placeholder = u"0°C", .label = ctl::kLabelWarnFetTemp, .label_at = {640, 180, 180, 25},
     .label_text = 222, .label_literal = nullptr, .help = 322,
     .shown = {Value(kWarnings, Field::WarnFetTempC, Enc::UnitInteger, U::DegreeC)},
     .limits = IntegerRule(U::DegreeC, 20, 90), .fill_layouts = kWarnings, .enable = kWarning},
    {.control = ctl::kWarnBecTemp, .fill_rank = 30, .kind = ControlKind::DigitsField, .group = ctl::kGroupWarnings,
     .at = {820, 210, 80, 25}, .placeholder = u"0°C", .label = ctl::kLabelWarnBecTemp, .label_at = {640, 215, 180, 25},
     .label_text = 223, .label_literal = nullptr, .help = 323,
     .shown = {Value(k92B, Field::WarnBecTempC, Enc::UnitInteger, U::DegreeC)},
     .limits = IntegerRule(U::DegreeC, 20, 90), .fill_layouts = k92B,
     .enable = Columns(E::No, E::Ext, E::Ext, E::No, E::No)},
};

}  // namespace params

constexpr std::span<const Parameter> Parameters() { return params::kTable; }

constexpr const Parameter* FindParameter(ControlId control) {
  for (const Parameter& row : params::kTable) {
    if (row.control == control) return &row;
  }
  return nullptr;
}

constexpr bool IsNumericKind(ControlKind kind) { return kind == ControlKind::Field || kind == ControlKind::DigitsField; }

// The controls the table's rows create: each row's control, its own label
// and its arrows.
constexpr std::size_t ParameterControlCount() {
  std::size_t count = 0;
  for (const Parameter& row : params::kTable) count += 1 + (row.label_at.w != 0) + (row.arrows.w != 0);
  return count;
}

// The rows in the order ShowImage fills them.
inline constexpr auto kFillOrder = [] {
  std::array<const Parameter*, std::size(params::kTable)> rows{};
  for (const Parameter& row : params::kTable) rows[row.fill_rank < rows.size() ? row.fill_rank : 0] = &row;
  return rows;
}();

namespace ctl {
// Parameter controls are the rows' controls: help and hover go by this.
constexpr bool IsParameterId(ControlId id) { return FindParameter(id) != nullptr; }
}  // namespace ctl

namespace params {
constexpr bool IsChoiceKind(ControlKind kind) {
  return kind == ControlKind::List || kind == ControlKind::Check || kind == ControlKind::Radio;
}
// Controls in the parameter range, labels in the label range, each control
// once; a field has a value, a list or switch a name (the fixed-timing
// button is the other value of "timing").
constexpr bool RowsKeepTheirRanges() {
  for (std::size_t i = 0; i < std::size(kTable); ++i) {
    const Parameter& row = kTable[i];
    if (row.control < ctl::kParameterFirst || row.control > ctl::kParameterLast || !ctl::IsLabelId(row.label)) {
      return false;
    }
    if (IsNumericKind(row.kind) != (row.shown[0].layouts != 0)) return false;
    if (IsChoiceKind(row.kind) && row.name.empty() && row.control != ctl::kFixTiming) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (kTable[j].control == row.control) return false;
    }
  }
  return true;
}
static_assert(RowsKeepTheirRanges(), "a parameter row's IDs are out of their ranges, or used twice");
constexpr bool EveryRowFilled() {
  for (const Parameter* row : kFillOrder) {
    if (row == nullptr) return false;
  }
  return true;
}
static_assert(EveryRowFilled(), "fill ranks go 0, 1, 2, ... without a gap or a rank given twice");
}  // namespace params

}  // namespace tavio
