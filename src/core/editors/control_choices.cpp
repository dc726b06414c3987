#include "core/editors/control_choices.h"

#include <bit>
#include <deque>
#include <functional>
#include <unordered_map>

#include "core/editors/field_formats.h"
#include "core/editors/field_rules.h"
#include "core/model/family.h"
#include "core/model/parameters.h"

namespace tavio {
namespace {

// A check box or radio button: the row of a parameter with a bit of its own.
const Parameter* SwitchRow(ControlId id) {
  const Parameter* row = FindParameter(id);
  return row != nullptr && (row->kind == ControlKind::Check || row->kind == ControlKind::Radio) ? row : nullptr;
}

// Lists first: a hint names a mode before a switch.
constexpr ControlId kChoiceControls[] = {ctl::kGovernorType,    ctl::kBrakeType,       ctl::kBatteryType,
                                         ctl::kAutoTiming,      ctl::kReverseRotation, ctl::kForwardBackward,
                                         ctl::kShutdown,        ctl::kSoftStart};

bool IsList(ControlId id) {
  const Parameter* row = FindParameter(id);
  return row != nullptr && row->kind == ControlKind::List;
}

bool Enabled(ControlId id, uint16_t family, uint16_t version, uint32_t flags) {
  return WhyDisabled(id, family, flags, version) == DisabledReason::None;
}

// Breadth first over the states of the flags, each step an enabled choice;
// the path to the first state `done` accepts, or with `nearest` to the state
// of all it reaches that is fewest bits from it (the first such).
std::optional<std::vector<ControlChoice>> Search(uint16_t family, uint16_t version, uint32_t from,
                                                 const std::function<bool(uint32_t)>& done,
                                                 std::optional<uint32_t> nearest = std::nullopt,
                                                 uint32_t* end = nullptr) {
  struct Step {
    uint32_t before;
    ControlChoice choice;
  };
  std::unordered_map<uint32_t, Step> came_from;
  std::deque<uint32_t> queue{from};
  came_from.emplace(from, Step{from, {}});
  const auto path_to = [&](uint32_t flags) {
    std::vector<ControlChoice> path;
    for (uint32_t at = flags; at != from;) {
      const Step& step = came_from.at(at);
      path.insert(path.begin(), step.choice);
      at = step.before;
    }
    if (end != nullptr) *end = flags;
    return path;
  };
  uint32_t best = from;
  while (!queue.empty()) {
    const uint32_t flags = queue.front();
    queue.pop_front();
    if (done(flags)) return path_to(flags);
    if (nearest && std::popcount(flags ^ *nearest) < std::popcount(best ^ *nearest)) best = flags;
    for (ControlId id : kChoiceControls) {
      if (!Enabled(id, family, version, flags)) continue;
      for (int value = 0; value < ChoiceCount(id); ++value) {
        const uint32_t next = ChoiceFlags({id, value}, family, flags);
        if (came_from.emplace(next, Step{flags, {id, value}}).second) queue.push_back(next);
      }
    }
  }
  if (nearest) return path_to(best);
  return std::nullopt;
}

}  // namespace

std::span<const ControlId> ChoiceControls() { return kChoiceControls; }

int ChoiceCount(ControlId id) {
  if (IsList(id)) return 3;
  // The fixed-timing radio button is the other value of auto-timing.
  return IsSwitch(id) && id != ctl::kFixTiming ? 2 : 0;
}

bool IsSwitch(ControlId id) { return SwitchRow(id) != nullptr; }

std::optional<uint32_t> SwitchFlags(ControlId id, uint16_t family, uint32_t flags, bool bit_set) {
  const Parameter* row = SwitchRow(id);
  if (row == nullptr) return std::nullopt;
  if ((row->switch_families & families::Bit(family)) == 0) return flags;
  return bit_set ? flags | row->flag : flags & ~row->flag;
}

uint32_t ChoiceFlags(const ControlChoice& choice, uint16_t family, uint32_t flags) {
  if (!IsKnownFamily(family)) return flags;
  switch (choice.id) {
    case ctl::kGovernorType: return GovernorTypeFlags(flags, choice.value);
    case ctl::kBrakeType: return BrakeTypeFlags(flags, choice.value);
    case ctl::kBatteryType:
      if (choice.value < 0 || choice.value > 2) return flags;
      return BatteryTypeFlags(flags, static_cast<BatteryType>(choice.value));
    default: break;
  }
  return SwitchFlags(choice.id, family, flags, choice.value != 0).value_or(flags);
}

std::vector<ControlChoice> ChoicesThatEnable(ControlId id, uint16_t family, uint16_t version, uint32_t flags) {
  std::vector<ControlChoice> out;
  for (ControlId control : kChoiceControls) {
    if (!Enabled(control, family, version, flags)) continue;
    for (int value = 0; value < ChoiceCount(control); ++value) {
      if (Enabled(id, family, version, ChoiceFlags({control, value}, family, flags))) out.push_back({control, value});
    }
  }
  return out;
}

std::optional<std::vector<ControlChoice>> PathToEnable(ControlId id, uint16_t family, uint16_t version,
                                                       uint32_t flags) {
  return Search(family, version, flags, [&](uint32_t at) { return Enabled(id, family, version, at); });
}

FlagsPath PathToFlags(uint16_t family, uint16_t version, uint32_t from, uint32_t to) {
  FlagsPath out;
  out.choices = *Search(family, version, from, [to](uint32_t at) { return at == to; }, to, &out.flags);
  return out;
}

}  // namespace tavio
