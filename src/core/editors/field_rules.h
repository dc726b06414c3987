#pragma once
// The commit rule of every numeric field: parse the entered text, test it
// against the limits of the connected family, store it where the layout keeps
// the parameter, and give the text the field shows afterwards. Pure, so the
// window and tavio-cli judge an entry the same way.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/model/config_image.h"
#include "core/model/encodings.h"
#include "core/ids/control_ids.h"
#include "core/editors/field_formats.h"
#include "core/text/text.h"

namespace tavio {

// A field's text is read through a 32-unit buffer, terminator included.
inline constexpr size_t kFieldTextMax = 31;

// What an entry is judged against: the connected ESC, or a file's own
// family and parameter-set version standing in for it.
struct EditContext {
  uint16_t family = 0;
  uint16_t model_number = 0;
  uint16_t param_version = 0;
  // The cut-off field edits this battery type's value instead of the one the
  // image's flags select (tavio-cli names the three cut-offs separately).
  std::optional<BatteryType> battery_type;
};

// The numeric fields, in control-table order.
std::span<const ControlId> NumericFieldIds();

// The rule of a field for a family; nothing for an unknown family and for a
// field the family does not edit (the brake fields outside BRENTA/CORVAN).
std::optional<FieldRule> RuleFor(ControlId id, uint16_t family, uint16_t model_number, BatteryType battery);

// Where a field stores and how it shows under a layout; the cut-off field
// follows `battery`. Nothing when the layout has no place for the field.
std::optional<FieldFormat> EditedFormat(ControlId id, ImageLayout layout, BatteryType battery);

// Whether the limits of field `id` follow the ESC's model number in `family`.
bool LimitNeedsModel(ControlId id, uint16_t family);

// The battery type whose cut-off the field edits in this context.
BatteryType EditedBatteryType(const ConfigImage& image, const EditContext& context);

enum class CommitStatus : uint8_t {
  Accepted,   // stored; the text is the entered value in canonical form
  Refused,    // unparseable or out of limits; the text is the stored value
  NotStored,  // unknown family, or no place in the layout; the text is the entry
};

struct CommitResult {
  CommitStatus status = CommitStatus::NotStored;
  ConfigImage image;
  Text text;
  bool accepted() const { return status == CommitStatus::Accepted; }
};

// Judges `entry` (only its first 31 units count) for field `id`.
CommitResult CommitField(ControlId id, TextView entry, const ConfigImage& image, const EditContext& context);

// tavio-cli's set: a field of the layout (`field` when named), enabled as the
// window enables it, then CommitField decides.
enum class SetStatus : uint8_t { Accepted, Refused, NoSuchField, Disabled };
struct SetResult {
  SetStatus status = SetStatus::NoSuchField;
  Field field = Field::Count;  // where it stores; Count for NoSuchField
  DisabledReason disabled = DisabledReason::None;
  std::string limits;          // Refused: LimitsText of the rule
  CommitResult commit;         // Accepted and Refused
};
SetResult SetField(ControlId id, std::optional<Field> field, TextView entry, const ConfigImage& image,
                   const EditContext& context);

// "100..3000 ms", "5.0..8.0 V", "even 2..32": the limits for messages.
std::string LimitsText(const FieldRule& rule);

// Whether a stored value lies within the rule's limits, judged on the value
// itself: a field whose display is coarser than the stored unit (BEC voltage,
// spool-up time, the PWM fields) can show a text inside the limits for a
// value outside them.
bool RawWithinLimits(const FieldRule& rule, uint32_t raw);

// An entry that field `id` accepts and that stores exactly `raw`; nothing
// when no entry does (a value outside the limits, or finer than the field
// takes: 12500 ms in whole seconds).
std::optional<Text> EntryStoring(ControlId id, uint32_t raw, const ConfigImage& image, const EditContext& context);

// A field the window shows enabled whose text it would refuse if typed.
struct LimitViolation {
  ControlId id = 0;
  Field field = Field::Count;
  uint32_t raw = 0;  // the stored value
  Text shown;        // the text the field shows for it
  FieldRule rule;
};
// Every enabled numeric field of the image whose stored value lies outside
// the limits the window connected to the ESC the context describes applies.
std::vector<LimitViolation> FieldsOutsideLimits(const ConfigImage& image, const EditContext& context);

// The flags the window's lists leave for a choice (list index 0 off,
// 1 governor / switching brake, 2 governor store / proportional brake).
// A governor mode switches brake and hard cut-off off; a brake switches the
// governor off; every choice forgets a stored governor speed.
uint32_t GovernorTypeFlags(uint32_t flags, int index);
uint32_t BrakeTypeFlags(uint32_t flags, int index);
uint32_t BatteryTypeFlags(uint32_t flags, BatteryType type);

}  // namespace tavio
