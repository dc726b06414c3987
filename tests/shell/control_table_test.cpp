#include "core/shell/control_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/text/text.h"

namespace tavio {
namespace {

std::string Utf8(const char16_t* text) { return text == nullptr ? "(null)" : ToUtf8(text); }

std::vector<ControlId> Ids(std::span<const ControlDef> rows) {
  std::vector<ControlId> ids;
  for (const ControlDef& row : rows) ids.push_back(row.id);
  return ids;
}

TEST(ControlTable, EightyFiveControlsWithUniqueIds) {
  const auto table = ControlTable();
  ASSERT_EQ(table.size(), 85u);
  const auto ids = Ids(table);
  EXPECT_EQ(std::set<ControlId>(ids.begin(), ids.end()).size(), 85u);
}

TEST(ControlTable, EightGroupBoxes) {
  std::vector<ControlId> groups;
  for (const ControlDef& row : ControlTable()) {
    if (row.kind == ControlKind::Group) groups.push_back(row.id);
  }
  EXPECT_EQ(groups, (std::vector<ControlId>{1000, 1001, 1008, 1002, 1003, 1007, 1004, 1005}));
}

TEST(ControlTable, SampleRowsMatchTheLayout) {
  const struct {
    size_t row;  // 1-based creation position
    ControlDef expected;
  } cases[] = {
      {1, {200, ControlKind::Label, 200, nullptr, 20, 40, 180, 25, false}},
      {2, {2000, ControlKind::Field, 0, u"0.0V", 200, 38, 80, 25, false}},
      {3, {2001, ControlKind::Check, 0, nullptr, 30, 90, 25, 25, false}},
      {7, {2053, ControlKind::Command, 15001, nullptr, 70, 260, 160, 25, false}},
      {8, {2050, ControlKind::Command, 15016, nullptr, 70, 215, 160, 25, false}},
      {9, {2051, ControlKind::Command, 15017, nullptr, 70, 170, 160, 25, false}},
      {10, {1000, ControlKind::Group, 15000, nullptr, 10, 10, 280, 300, false}},
      {11, {206, ControlKind::Label, 15003, nullptr, 330, 40, 140, 25, false}},
      {12, {2006, ControlKind::List, 0, nullptr, 470, 35, 120, 75, false}},
      {14, {2007, ControlKind::DigitsField, 0, u"0mV", 510, 70, 80, 25, false}},
      {18, {2008, ControlKind::Field, 0, u"0.0Ah = Aus", 510, 160, 80, 25, false}},
      {22, {1008, ControlKind::Group, 15022, nullptr, 940, 340, 280, 300, false}},
      {23, {242, ControlKind::HelpField, 242, nullptr, 950, 370, 260, 260, false}},
      {29, {2010, ControlKind::DigitsField, 0, u"0s", 200, 465, 80, 25, false}},
      {32, {212, ControlKind::Label, 0, u"Ri.-Comp.", 20, 540, 180, 25, false}},
      {38, {2014, ControlKind::DigitsField, 0, u"0", 520, 400, 70, 25, false}},
      {39, {2054, ControlKind::Arrows, 0, nullptr, 570, 400, 20, 25, false}},
      {41, {2015, ControlKind::Field, 0, u"1.00:1", 510, 435, 80, 25, false}},
      {42, {2004, ControlKind::Radio, 0, nullptr, 340, 475, 25, 25, true}},
      {44, {2005, ControlKind::Radio, 0, nullptr, 340, 505, 25, 25, false}},
      {46, {2026, ControlKind::DigitsField, 0, u"0°", 510, 505, 80, 25, false}},
      {49, {2034, ControlKind::DigitsField, 0, u"0%", 820, 365, 80, 25, false}},
      {51, {2036, ControlKind::DigitsField, 0, u"0A", 820, 400, 80, 25, false}},
      {52, {216, ControlKind::Label, 0, u"Slewrate Pos.", 640, 440, 180, 25, false}},
      {54, {217, ControlKind::Label, 0, u"Slewrate Neg.", 640, 475, 180, 25, false}},
      {64, {1007, ControlKind::Group, 15013, nullptr, 630, 340, 280, 300, false}},
      {72, {2021, ControlKind::DigitsField, 0, u"0mA", 820, 140, 80, 25, false}},
      {74, {2022, ControlKind::DigitsField, 0, u"0°C", 820, 175, 80, 25, false}},
      {77, {1004, ControlKind::Group, 15011, nullptr, 630, 10, 280, 300, false}},
      {78, {1005, ControlKind::Group, 0, u"Firmware-Info", 1020, 125, 200, 130, false}},
      {79, {224, ControlKind::Label, 0, u"LINKPUCK", 1030, 155, 120, 25, false}},
      {80, {225, ControlKind::Value, 0, u"0.0.0", 1150, 155, 60, 25, false}},
      {81, {226, ControlKind::Label, 226, nullptr, 1030, 185, 120, 25, false}},
      {84, {229, ControlKind::Value, 0, u"0.0.0", 1150, 215, 60, 25, false}},
      {85, {2055, ControlKind::Command, 15100, nullptr, 1020, 265, 200, 40, false}},
  };
  const auto table = ControlTable();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row);
    ASSERT_LE(c.row, table.size());
    const ControlDef& got = table[c.row - 1];
    const ControlDef& want = c.expected;
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.text_id, want.text_id);
    EXPECT_EQ(Utf8(got.literal), Utf8(want.literal));
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.w, want.w);
    EXPECT_EQ(got.h, want.h);
    EXPECT_EQ(got.starts_group, want.starts_group);
  }
}

TEST(ControlTable, CreationOrderOfTheGeneralBox) {
  const auto ids = Ids(ControlTable().first(9));
  EXPECT_EQ(ids, (std::vector<ControlId>{200, 2000, 2001, 201, 2002, 202, 2053, 2050, 2051}));
}

TEST(ControlTable, TabVisitsTheButtonsInCreationOrderThenTheBatteryBox) {
  std::vector<ControlId> tab_order;
  for (const ControlDef& row : ControlTable()) {
    if (IsTabStop(row.kind)) tab_order.push_back(row.id);
  }
  ASSERT_GE(tab_order.size(), 9u);
  EXPECT_EQ(std::vector<ControlId>(tab_order.begin(), tab_order.begin() + 9),
            (std::vector<ControlId>{2000, 2001, 2002, 2053, 2050, 2051, 2006, 2007, 2003}));
  EXPECT_EQ(tab_order.back(), 2055);
}

TEST(ControlTable, TabStopsAreExactlyTheParameterControlsAndTheButtons) {
  for (const ControlDef& row : ControlTable()) {
    SCOPED_TRACE(row.id);
    const bool button = row.id == ctl::kLoadFile || row.id == ctl::kSaveFile ||
                        row.id == ctl::kLoadDefaults || row.id == ctl::kStore;
    EXPECT_EQ(IsTabStop(row.kind), ctl::IsParameterId(row.id) || button);
  }
}

TEST(ControlTable, KindsLieInTheirIdRanges) {
  for (const ControlDef& row : ControlTable()) {
    SCOPED_TRACE(row.id);
    switch (row.kind) {
      case ControlKind::Label:
      case ControlKind::Value:
      case ControlKind::HelpField:
        EXPECT_TRUE(ctl::IsLabelId(row.id));
        break;
      case ControlKind::Group:
        EXPECT_TRUE(ctl::IsGroupId(row.id));
        break;
      case ControlKind::Command:
      case ControlKind::Arrows:
        EXPECT_TRUE(ctl::IsCommandId(row.id));
        break;
      default:
        EXPECT_TRUE(ctl::IsParameterId(row.id));
        break;
    }
  }
}

TEST(ControlIds, RangePredicates) {
  const struct {
    ControlId id;
    bool label, group, parameter, command;
  } cases[] = {
      {0, false, false, false, false},    {199, false, false, false, false},
      {200, true, false, false, false},   {242, true, false, false, false},
      {243, false, false, false, false},  {999, false, false, false, false},
      {1000, false, true, false, false},  {1008, false, true, false, false},
      {1009, false, false, false, false}, {1999, false, false, false, false},
      {2000, false, false, true, false},  {2040, false, false, true, false},
      {2041, false, false, false, false}, {2049, false, false, false, false},
      {2050, false, false, false, true},  {2055, false, false, false, true},
      {2056, false, false, false, false}, {65535, false, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(ctl::IsLabelId(c.id), c.label);
    EXPECT_EQ(ctl::IsGroupId(c.id), c.group);
    EXPECT_EQ(ctl::IsParameterId(c.id), c.parameter);
    EXPECT_EQ(ctl::IsCommandId(c.id), c.command);
  }
}

TEST(ControlTable, ChecksAndRadiosAreSquaresAndOnlyAutoTimingStartsAGroup) {
  for (const ControlDef& row : ControlTable()) {
    SCOPED_TRACE(row.id);
    if (row.kind == ControlKind::Check || row.kind == ControlKind::Radio) {
      EXPECT_EQ(row.w, 25);
      EXPECT_EQ(row.h, 25);
      EXPECT_EQ(row.text_id, 0);
      EXPECT_EQ(row.literal, nullptr);
    }
    EXPECT_EQ(row.starts_group, row.id == ctl::kAutoTiming);
  }
}

TEST(ControlTable, EveryControlLiesInsideTheWindow) {
  for (const ControlDef& row : ControlTable()) {
    SCOPED_TRACE(row.id);
    EXPECT_GE(row.x, 0);
    EXPECT_GE(row.y, 0);
    EXPECT_GT(row.w, 0);
    EXPECT_GT(row.h, 0);
    EXPECT_LE(row.x + row.w, 1240);
    EXPECT_LE(row.y + row.h, 690);
  }
}

TEST(ControlTable, TextsComeFromTheTableOrALiteralNeverBoth) {
  for (const ControlDef& row : ControlTable()) {
    SCOPED_TRACE(row.id);
    EXPECT_FALSE(row.text_id != 0 && row.literal != nullptr);
    if (row.text_id != 0) {
      EXPECT_FALSE(LoadString(Language::English, row.text_id).empty());
      EXPECT_FALSE(LoadString(Language::German, row.text_id).empty());
    }
    // Fields start with a placeholder; labels, values and groups with a text.
    const bool needs_text = row.kind != ControlKind::Check && row.kind != ControlKind::Radio &&
                            row.kind != ControlKind::List && row.kind != ControlKind::Arrows;
    EXPECT_EQ(row.text_id != 0 || row.literal != nullptr, needs_text);
  }
}

struct ControlTextCase {
  ControlId id;
  const char* english;
  const char* german;
};

TEST(ControlTable, ControlTextsInBothLanguages) {
  const ControlTextCase cases[] = {
      {200, "BEC voltage", "BEC-Spannung"},
      {2000, "0.0V", "0.0V"},
      {2001, "", ""},
      {202, "Forward/Backward", "Vorwärts/Rückwärts"},
      {2053, "Load defaults", "Modell Defaults laden"},
      {2050, "Load file", "Datei laden"},
      {2051, "Save file", "Datei speichern"},
      {1000, "General", "Allgemein"},
      {206, "Type of battery", "Akkutyp"},
      {2006, "", ""},
      {2008, "0.0Ah = Aus", "0.0Ah = Aus"},
      {233, "Hold time", "Hold Zeit"},
      {1008, "Comment", "Kommentar"},
      {242, "Here is the field for the comment",
       "Um einen Kommentar für einen Parameter zu erhalten, die Maus über den jeweiligen Parameter bewegen."},
      {212, "Ri.-Comp.", "Ri.-Comp."},
      {1002, "Governor", "Drehzahlregelung"},
      {2054, "", ""},
      {2026, "0°", "0°"},
      {216, "Slewrate Pos.", "Slewrate Pos."},
      {239, "Min. PWM Brake", "Min. Bremsleistung"},
      {219, "Capacity limit", "Kapazitätslimit"},
      {2022, "0°C", "0°C"},
      {1005, "Firmware-Info", "Firmware-Info"},
      {224, "LINKPUCK", "LINKPUCK"},
      {227, "0.0.0", "0.0.0"},
      {228, "ESC", "Regler"},
      {2055, "Store on ESC", "Auf Regler speichern"},
  };
  for (const ControlTextCase& c : cases) {
    SCOPED_TRACE(c.id);
    const ControlDef* row = FindControl(c.id);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(ToUtf8(ControlText(*row, Language::English)), c.english);
    EXPECT_EQ(ToUtf8(ControlText(*row, Language::German)), c.german);
  }
}

TEST(ControlTable, NoTableTextIsCut) {
  for (const ControlDef& row : ControlTable()) {
    if (row.text_id == 0) continue;
    for (Language language : {Language::English, Language::German}) {
      SCOPED_TRACE(row.id);
      EXPECT_EQ(ControlText(row, language), Text(LoadString(language, row.text_id)));
    }
  }
}

TEST(ControlTable, LongTableTextsAreCutAt127Characters) {
  // The cut-off help text is far longer than a label can take.
  const ControlDef label{200, ControlKind::Label, 307, nullptr, 0, 0, 10, 10, false};
  const TextView full = LoadString(Language::German, 307);
  ASSERT_GT(full.size(), 127u);
  EXPECT_EQ(ControlText(label, Language::German), Text(full.substr(0, 127)));

  const ControlDef exact{200, ControlKind::Label, 0, u"literal texts are kept whole", 0, 0, 10, 10, false};
  EXPECT_EQ(ToUtf8(ControlText(exact, Language::English)), "literal texts are kept whole");
}

TEST(ControlTable, FindControl) {
  for (const ControlDef& row : ControlTable()) {
    EXPECT_EQ(FindControl(row.id), &row) << row.id;
  }
  for (ControlId missing :
       {0, 1, 199, 230, 231, 232, 241, 243, 1006, 1009, 2024, 2025, 2027, 2032, 2041, 2052, 2056}) {
    EXPECT_EQ(FindControl(missing), nullptr) << missing;
  }
}

struct ListCase {
  ControlId list;
  std::vector<std::string> english;
  std::vector<std::string> german;
};

TEST(ControlTable, ListItemsInBothLanguages) {
  const ListCase cases[] = {
      {2006, {"NiMh/NiCd", "LiPo", "LiFePo"}, {"NiMh/NiCd", "LiPo", "LiFePo"}},
      {2009, {"Off", "Governor", "Governor Store"}, {"Aus", "Governor", "Governor Store"}},
      {2013, {"Off", "Switching brake", "Proportional"}, {"Aus", "Schaltbremse", "Proportional"}},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.list);
    std::vector<std::string> english, german;
    for (const ListItemDef& item : ListItems(c.list)) {
      english.push_back(ToUtf8(ListItemText(item, Language::English)));
      german.push_back(ToUtf8(ListItemText(item, Language::German)));
    }
    EXPECT_EQ(english, c.english);
    EXPECT_EQ(german, c.german);
  }
}

TEST(ControlTable, OnlyListsHaveItems) {
  for (const ControlDef& row : ControlTable()) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(ListItems(row.id).empty(), row.kind != ControlKind::List);
  }
  EXPECT_TRUE(ListItems(0).empty());
}

TEST(ControlTable, ListItemsUseTheSharedOffText) {
  // Governor and brake share "Off"; a translation fix there reaches both lists.
  EXPECT_EQ(ListItems(ctl::kGovernorType)[0].text_id, sid::kItemOff);
  EXPECT_EQ(ListItems(ctl::kBrakeType)[0].text_id, sid::kItemOff);
  EXPECT_EQ(ListItems(ctl::kBrakeType)[1].text_id, sid::kItemSwitchingBrake);
  EXPECT_EQ(ListItems(ctl::kBrakeType)[2].text_id, sid::kItemProportional);
}

TEST(ControlTable, PoleCountArrowsSitAtTheRightEdgeOfTheirBuddy) {
  EXPECT_EQ(kPoleCountArrows.buddy, 2014);
  EXPECT_EQ(kPoleCountArrows.lower, 2);
  EXPECT_EQ(kPoleCountArrows.upper, 32);
  EXPECT_EQ(kPoleCountArrows.position, 2);
  EXPECT_EQ(kPoleCountArrows.increment, 2);

  const ControlDef* arrows = FindControl(ctl::kPoleArrows);
  const ControlDef* buddy = FindControl(kPoleCountArrows.buddy);
  ASSERT_NE(arrows, nullptr);
  ASSERT_NE(buddy, nullptr);
  EXPECT_EQ(buddy->kind, ControlKind::DigitsField);
  EXPECT_EQ(arrows->x + arrows->w, buddy->x + buddy->w);
  EXPECT_EQ(arrows->y, buddy->y);
  EXPECT_EQ(arrows->h, buddy->h);
  // Created right after its buddy, so it stacks above it.
  EXPECT_EQ(arrows - buddy, 1);
}

TEST(ControlTable, OverlappingBoxesAreCreatedBeforeTheirContents) {
  // A hit test finds the earlier of two overlapping controls: the help field
  // and the firmware texts must come after the boxes around them.
  auto position = [](ControlId id) { return FindControl(id) - ControlTable().data(); };
  EXPECT_LT(position(ctl::kGroupComment), position(ctl::kHelpField));
  for (ControlId id : {224, 225, 226, 227, 228, 229}) {
    EXPECT_LT(position(ctl::kGroupFirmware), position(id)) << id;
  }
}

}  // namespace
}  // namespace tavio
