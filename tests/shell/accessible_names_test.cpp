// The names and descriptions a screen reader gets for the controls of the
// main window.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "core/shell/accessible_names.h"
#include "core/shell/control_table.h"
#include "core/text/string_table.h"

namespace tavio::test {
namespace {

using namespace ctl;

struct Expected {
  ControlId id;
  const char16_t* english;
  const char16_t* german;
  StringId help;
};

// Every control a screen reader must name: the label beside it, as shown.
constexpr Expected kNamed[] = {
    {kBecVoltage, u"BEC voltage", u"BEC-Spannung", 300},
    {kReverseRotation, u"Reverse rotation", u"Drehrichtungsumkehr", 301},
    {kForwardBackward, u"Forward/Backward", u"Vorwärts/Rückwärts", 302},
    {kBatteryType, u"Type of battery", u"Akkutyp", 306},
    {kCutoffVoltage, u"Cut off voltage / cell", u"Abschaltspannung / Zelle", 307},
    {kShutdown, u"Shutdown", u"Abschaltung", 303},
    {kCapacityLimit, u"Capacity limit", u"Kapazitätslimit", 308},
    {kHoldTime, u"Hold time", u"Hold Zeit", 333},
    {kGovernorType, u"Type of governor", u"Drehzahlregler Typ", 309},
    {kSoftStart, u"Soft start", u"Sanftanlauf", 335},
    {kSpoolupTime, u"Spool-up time", u"Hochlaufzeit", 310},
    {kPPart, u"P-part", u"P-Anteil", 311},
    {kRiComp, u"Ri.-Comp.", u"Ri.-Comp.", 312},
    {kBrakeType, u"Type of brake", u"Bremse-Typ", 313},
    {kPoleCount, u"Pole count", u"Polzahl", 314},
    {kPoleArrows, u"Pole count", u"Polzahl", 314},
    {kGearRatio, u"Gear ratio", u"Untersetzung", 315},
    {kAutoTiming, u"Auto-timing", u"Auto-Timing", 304},
    {kFixTiming, u"Fix-timing", u"Fix-Timing", 305},
    {kFixTimingAngle, u"Fix-timing", u"Fix-Timing", 305},
    {kMinPwm, u"Min. PWM", u"Min. PWM", 334},
    {kMaxStartCurrent, u"Max. starting current", u"Max. Anlaufstrom", 336},
    {kSlewPos, u"Slewrate Pos.", u"Slewrate Pos.", 316},
    {kSlewNeg, u"Slewrate Neg.", u"Slewrate Neg.", 317},
    {kBrakeSlewPos, u"Brake-Slewrate Pos.", u"Bremse-Slewrate Pos.", 337},
    {kBrakeSlewNeg, u"Brake-Slewrate Neg.", u"Bremse-Slewrate Neg.", 338},
    {kBrakeMinPwm, u"Min. PWM Brake", u"Min. Bremsleistung", 339},
    {kBrakeMaxPwm, u"Max. PWM Brake", u"Max. Bremsleistung", 340},
    {kWarnCutoff, u"Battery cut off", u"Akku Unterspannung", 318},
    {kWarnCapacity, u"Capacity limit", u"Kapazitätslimit", 319},
    {kWarnMotorCurrent, u"Max. motor current", u"Max. Motorstrom", 320},
    {kWarnBecCurrent, u"Max. BEC current", u"Max. BEC Strom", 321},
    {kWarnFetTemp, u"Max. FET temperature", u"Max. Endstufentemperatur", 322},
    {kWarnBecTemp, u"Max. BEC temperature", u"Max. BEC Temperatur", 323},
};

const Expected* FindExpected(ControlId id) {
  const auto* found =
      std::find_if(std::begin(kNamed), std::end(kNamed), [id](const Expected& e) { return e.id == id; });
  return found == std::end(kNamed) ? nullptr : found;
}

bool NeedsName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Field:
    case ControlKind::DigitsField:
    case ControlKind::Check:
    case ControlKind::Radio:
    case ControlKind::List:
    case ControlKind::Arrows:
      return true;
    default:
      return false;
  }
}

TEST(AccessibleNames, EveryControlOfTheTableInBothLanguages) {
  int named = 0;
  for (const ControlDef& def : ControlTable()) {
    const Expected* want = FindExpected(def.id);
    // The expectations cover exactly the fields, lists, check boxes, radio buttons and arrows.
    EXPECT_EQ(want != nullptr, NeedsName(def.kind)) << def.id;
    EXPECT_EQ(NamingLabel(def.id) != 0, want != nullptr) << def.id;
    for (const Language language : {Language::English, Language::German}) {
      const bool german = language == Language::German;
      if (want == nullptr) {
        EXPECT_EQ(AccessibleName(def.id, language), u"") << def.id << " german " << german;
        EXPECT_EQ(AccessibleDescription(def.id, language), u"") << def.id << " german " << german;
        continue;
      }
      EXPECT_EQ(AccessibleName(def.id, language), german ? want->german : want->english) << def.id;
      const TextView help = LookUpString(language, want->help);
      ASSERT_FALSE(help.empty()) << want->help;
      EXPECT_EQ(AccessibleDescription(def.id, language), help) << def.id << " german " << german;
    }
    if (want != nullptr) ++named;
  }
  EXPECT_EQ(named, static_cast<int>(std::size(kNamed)));
}

TEST(AccessibleNames, NamingLabelIsTheOneBesideTheControl) {
  const struct { ControlId control, label; } cases[] = {
      {kBecVoltage, kLabelBecVoltage},   {kBatteryType, kLabelBatteryType}, {kRiComp, kLabelRiComp},
      {kFixTiming, kLabelFixTiming},     {kFixTimingAngle, kLabelFixTiming}, {kPoleCount, kLabelPoleCount},
      {kPoleArrows, kLabelPoleCount},    {kWarnBecTemp, kLabelWarnBecTemp}, {kStore, 0},
      {kLabelRiComp, 0},                 {ControlId{2024}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(NamingLabel(c.control), c.label) << c.control;
}

TEST(AccessibleNames, DescriptionIsTheHelpTextAsTheFieldShowsIt) {
  // Spot checks of the whole text, line breaks included, for the one field a reader meets first.
  EXPECT_EQ(AccessibleDescription(kBecVoltage, Language::English),
            u"-BEC output voltage- \r\n\r\nLimits: min 5.0V - max 8.0V \r\n\r\nDefault: 5.6V");
  EXPECT_EQ(AccessibleDescription(kBecVoltage, Language::German),
            u"-BEC-Ausgangsspannung- \r\n\r\nGrenzwert: Min 5.0V - Max 8.0V \r\n\r\nDefault: 5.6V");
  for (const ControlId id : {ControlId{0}, kStore, kGroupGeneral, kLabelBecVoltage, kHelpField, ControlId{2024}}) {
    EXPECT_EQ(AccessibleName(id, Language::English), u"") << id;
    EXPECT_EQ(AccessibleDescription(id, Language::German), u"") << id;
  }
}

}  // namespace
}  // namespace tavio::test
