// What a list choice or a switch does to the flags, and the ways the window
// offers from one state of the flags to another.

#include "core/editors/control_choices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/config_image.h"

namespace tavio::test {
namespace {

using namespace ctl;

constexpr uint16_t kAlder = 100, kBrenta = 200, kCorvan = 300, kDelmar = 400, kOther = 500;
constexpr uint16_t kSet401 = 0x0401, kSet104 = 0x0104;
// Flag bits by name.
constexpr uint32_t kBrake = 0x1, kProp = 0x2, kGov = 0x20, kStore = 0x40, kRpm = 0x80, kShut = 0x100,
                   kAuto = 0x200, kReverse = 0x400, kForward = 0x2000, kSoft = 0x4000;

TEST(ControlChoices, EachChoiceLeavesTheFlagsTheWindowLeaves) {
  const struct {
    uint16_t family;
    uint32_t flags;
    ControlChoice choice;
    uint32_t after;
  } cases[] = {
      {kCorvan, kBrake | kShut, {kGovernorType, 1}, kGov},
      {kCorvan, kBrake | kProp, {kGovernorType, 2}, kProp | kGov | kStore},  // the proportional bit stays
      {kCorvan, kGov | kStore | kRpm, {kGovernorType, 0}, 0},
      {kCorvan, kGov | kStore | kRpm, {kGovernorType, 2}, kGov | kStore},
      {kCorvan, kGov | kStore | kRpm | kProp, {kBrakeType, 1}, kBrake},
      {kCorvan, kGov | kShut, {kBrakeType, 2}, kBrake | kProp | kShut},
      {kCorvan, kBrake | kProp, {kBrakeType, 0}, 0},
      {kCorvan, 0xC, {kBatteryType, 2}, 0x8},
      {kCorvan, 0x4, {kBatteryType, 3}, 0x4},  // no such entry
      {kAlder, 0, {kForwardBackward, 1}, 0},
      {kBrenta, 0, {kForwardBackward, 1}, kForward},
      {kAlder, 0, {kSoftStart, 1}, 0},
      {kCorvan, kGov, {kSoftStart, 1}, kGov | kSoft},
      {kDelmar, kAuto | kReverse, {kAutoTiming, 0}, kReverse},
      {kDelmar, kReverse, {kReverseRotation, 0}, 0},
      {kAlder, 0, {kShutdown, 1}, kShut},
      {kOther, 0, {kReverseRotation, 1}, 0},
      {kOther, 0, {kGovernorType, 1}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.family) + " " + std::to_string(c.choice.id) + "=" + std::to_string(c.choice.value));
    EXPECT_EQ(ChoiceFlags(c.choice, c.family, c.flags), c.after);
  }
  EXPECT_EQ(SwitchFlags(kFixTiming, kCorvan, kAuto | kReverse, false), kReverse);
  EXPECT_EQ(SwitchFlags(kStore, kCorvan, 0, true), std::nullopt);
  EXPECT_EQ(ChoiceCount(kFixTiming), 0);  // the other value of auto-timing
  EXPECT_EQ(ChoiceCount(kBrakeType), 3);
  EXPECT_EQ(ChoiceCount(kSoftStart), 2);
}

TEST(ControlChoices, TheChoicesThatEnableAControl) {
  using Choices = std::vector<ControlChoice>;
  const struct {
    ControlId id;
    uint16_t family;
    uint32_t flags;
    Choices ways;
  } cases[] = {
      {kBrakeMinPwm, kCorvan, 0, {{kBrakeType, 2}}},
      {kBrakeMinPwm, kCorvan, kBrake, {{kBrakeType, 2}}},
      {kBrakeMinPwm, kBrenta, kGov, {{kBrakeType, 2}}},
      {kBrakeSlewPos, kBrenta, kGov, {{kBrakeType, 1}, {kBrakeType, 2}}},
      {kSpoolupTime, kCorvan, kBrake, {{kGovernorType, 1}, {kGovernorType, 2}}},
      {kSoftStart, kCorvan, 0, {{kGovernorType, 1}, {kGovernorType, 2}}},
      {kShutdown, kCorvan, kGov, {{kGovernorType, 0}, {kBrakeType, 1}, {kBrakeType, 2}}},
      {kFixTimingAngle, kAlder, kAuto, {{kAutoTiming, 0}}},
      {kSoftStart, kAlder, kGov, {}},
      {kSpoolupTime, kDelmar, 0, {}},  // DELMAR-Z has no governor list
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " " + std::to_string(c.family));
    const uint16_t version = c.family == kAlder || c.family == kDelmar ? kSet104 : kSet401;
    EXPECT_EQ(ChoicesThatEnable(c.id, c.family, version, c.flags), c.ways);
    const auto path = PathToEnable(c.id, c.family, version, c.flags);
    ASSERT_EQ(path.has_value(), !c.ways.empty());
    if (path) {
      EXPECT_EQ(*path, Choices{c.ways.front()});
    }
  }
  EXPECT_EQ(PathToEnable(kSpoolupTime, kCorvan, kSet401, kGov), std::vector<ControlChoice>{});
}

TEST(ControlChoices, TheShortestWayToFlagsOrTheNearestReached) {
  using Choices = std::vector<ControlChoice>;
  const struct {
    uint16_t family;
    uint32_t from, to;
    Choices way;
    uint32_t end;
  } cases[] = {
      // The proportional bit without the brake: through a governor mode.
      {kCorvan, 0, kProp, {{kBrakeType, 2}, {kGovernorType, 1}, {kGovernorType, 0}}, kProp},
      {kCorvan, kGov | kStore | kRpm, kGov | kStore, {{kGovernorType, 2}}, kGov | kStore},
      {kAlder, kAuto | kReverse, 0, {{kAutoTiming, 0}, {kReverseRotation, 0}}, 0},
      {kCorvan, kGov, kGov | kSoft | kAuto, {{kAutoTiming, 1}, {kSoftStart, 1}}, kGov | kSoft | kAuto},
      // No choice sets a learned speed or an unnamed bit: the rest is reached.
      {kCorvan, kBrake, kGov | kStore | kRpm, {{kGovernorType, 2}}, kGov | kStore},
      {kCorvan, 0, 0x10 | kReverse, {{kReverseRotation, 1}}, kReverse},
      // DELMAR-Z has no governor list and no shutdown.
      {kDelmar, 0, kGov | kShut | kForward, {{kForwardBackward, 1}}, kForward},
      {kOther, 0, kReverse, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.family) + " " + std::to_string(c.from) + " -> " + std::to_string(c.to));
    const uint16_t version = c.family == kCorvan ? kSet401 : kSet104;
    const FlagsPath path = PathToFlags(c.family, version, c.from, c.to);
    EXPECT_EQ(path.choices, c.way);
    EXPECT_EQ(path.flags, c.end);
    uint32_t flags = c.from;
    for (const ControlChoice& choice : path.choices) flags = ChoiceFlags(choice, c.family, flags);
    EXPECT_EQ(flags, c.end);
  }
}

}  // namespace
}  // namespace tavio::test
