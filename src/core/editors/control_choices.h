#pragma once
// What a click on a check box or a timing radio button, or a choice in one of
// the three lists, does to the flags: the rule the window's editors carry out
// and tavio-cli applies by name. And the shortest ways of such choices from
// one state of the flags to another, each step enabled as the window enables
// it.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/ids/control_ids.h"

namespace tavio {

// A list (battery, governor, brake type) with its index, or a switch (a
// check box, or auto-timing for both timing radio buttons) with the state of
// its bit (1 set, 0 clear).
struct ControlChoice {
  ControlId id = 0;
  int value = 0;
  bool operator==(const ControlChoice&) const = default;
};

// The controls a choice is made on, in the order the searches try them.
std::span<const ControlId> ChoiceControls();
// How many values a choice control takes (3 for a list, 2 for a switch); 0 for any other control.
int ChoiceCount(ControlId id);

// True for the check boxes and both timing radio buttons.
bool IsSwitch(ControlId id);

// The flags after a click on switch `id` (the fixed-timing radio button goes
// by the auto-timing bit too) that leaves its bit `bit_set`; the flags as they
// were for a family whose bit the window does not change. Nothing for a
// control that is not a switch.
std::optional<uint32_t> SwitchFlags(ControlId id, uint16_t family, uint32_t flags, bool bit_set);

// The flags after `choice` as the window's editor leaves them (a governor
// choice as after Yes to the question about the learned speed); the flags as
// they were for a family the editors do not know.
uint32_t ChoiceFlags(const ControlChoice& choice, uint16_t family, uint32_t flags);

// The single choices, enabled now, after which control `id` is enabled, in
// the order of ChoiceControls.
std::vector<ControlChoice> ChoicesThatEnable(ControlId id, uint16_t family, uint16_t version, uint32_t flags);

// The shortest sequence of enabled choices after which control `id` is
// enabled (empty when it is already); nothing when none enables it.
std::optional<std::vector<ControlChoice>> PathToEnable(ControlId id, uint16_t family, uint16_t version,
                                                       uint32_t flags);

// The shortest sequence of enabled choices from flags `from` to the state
// nearest `to` (fewest bits apart, `to` itself when choices reach it).
struct FlagsPath {
  std::vector<ControlChoice> choices;
  uint32_t flags = 0;  // where they end
};
FlagsPath PathToFlags(uint16_t family, uint16_t version, uint32_t from, uint32_t to);

}  // namespace tavio
