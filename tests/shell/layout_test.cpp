// The layout of both windows: the main window's control set (sample rows
// with their texts in both languages, the rules every row follows, the Tab
// order) and the model-defaults dialogs' items, OK rule, codes and dialog units.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/shell/defaults_dialog.h"
#include "core/model/family.h"
#include "core/shell/control_table.h"

namespace tavio {
namespace {

using K = ControlKind;

// Each kind's name and the ID range it belongs to: 1 labels, 2 groups, 4 parameters, 8 commands.
const struct { const char* name; int range; } kKinds[] = {{"Label", 1}, {"Value", 1}, {"Field", 4}, {"Digits", 4},
    {"Check", 4}, {"Radio", 4}, {"List", 4}, {"Command", 8}, {"Group", 2}, {"Arrows", 8}, {"HelpField", 1}};

// "id kind text-id x y w h | English | German"; a list shows its items.
std::string Describe(const ControlDef& d) {
  std::string out = std::to_string(d.id) + " " + kKinds[int(d.kind)].name + " " + std::to_string(d.text_id);
  for (int v : {d.x, d.y, d.w, d.h}) out += " " + std::to_string(v);
  for (Language language : {Language::English, Language::German}) {
    out += " | " + ToUtf8(ControlText(d, language));
    for (const ListItemDef& item : ListItems(d.id)) out += ToUtf8(ListItemText(item, language)) + ";";
  }
  return out;
}

TEST(ControlTable, SampleRowsWithTheirTextsAndListItems) {
  const std::pair<size_t, const char*> cases[] = {
      {1, "200 Label 200 20 40 180 25 | BEC voltage | BEC-Spannung"},
      {7, "2053 Command 15001 70 260 160 25 | Load defaults | Modell Defaults laden"},
      {8, "2050 Command 15016 70 215 160 25 | Load file | Datei laden"},
      {9, "2051 Command 15017 70 170 160 25 | Save file | Datei speichern"},
      {10, "1000 Group 15000 10 10 280 300 | General | Allgemein"},
      {23, "242 HelpField 242 950 370 260 260 | Here is the field for the comment | Um einen Kommentar für einen "
           "Parameter zu erhalten, die Maus über den jeweiligen Parameter bewegen."},
      {25, "2009 List 0 160 365 120 75 | Off;Governor;Governor Store; | Aus;Governor;Governor Store;"},
      {32, "212 Label 0 20 540 180 25 | Ri.-Comp. | Ri.-Comp."},
      {36, "2013 List 0 470 365 120 75 | Off;Switching brake;Proportional; | Aus;Schaltbremse;Proportional;"},
      {39, "2054 Arrows 0 570 400 20 25 |  | "},
      {46, "2026 Digits 0 510 505 80 25 | 0° | 0°"},
      {52, "216 Label 0 640 440 180 25 | Slewrate Pos. | Slewrate Pos."},
      {78, "1005 Group 0 1020 125 200 130 | Firmware-Info | Firmware-Info"},
      {79, "224 Label 0 1030 155 120 25 | LINKPUCK | LINKPUCK"},
      {80, "225 Value 0 1150 155 60 25 | 0.0.0 | 0.0.0"},
      {85, "2055 Command 15100 1020 265 200 40 | Store on ESC | Auf Regler speichern"},
  };
  ASSERT_EQ(ControlTable().size(), 85u);
  for (const auto& [row, want] : cases) EXPECT_EQ(Describe(ControlTable()[row - 1]), want) << "row " << row;
  const ArrowsDef& a = kPoleCountArrows;
  EXPECT_EQ((std::vector<int>{a.buddy, a.lower, a.upper, a.position, a.increment}), (std::vector<int>{2014, 2, 32, 2, 2}));
}

TEST(ControlTable, EveryRowFollowsTheRulesOfItsKind) {
  std::vector<ControlId> groups, tab_stops;
  for (const ControlDef& row : ControlTable()) {
    SCOPED_TRACE(row.id);
    if (row.kind == K::Group) groups.push_back(row.id);
    if (IsTabStop(row.kind)) tab_stops.push_back(row.id);
    EXPECT_EQ(FindControl(row.id), &row);  // and so no ID is used twice
    const int range = ctl::IsLabelId(row.id) + 2 * ctl::IsGroupId(row.id) + 4 * ctl::IsParameterId(row.id) +
                      8 * ctl::IsCommandId(row.id);
    EXPECT_EQ(range, kKinds[int(row.kind)].range);
    EXPECT_EQ(IsTabStop(row.kind), range == 4 || row.kind == K::Command);
    EXPECT_EQ(row.starts_group, row.id == ctl::kAutoTiming);
    if (row.text_id != 0) { EXPECT_EQ(ControlText(row, Language::German), Text(LookUpString(Language::German, row.text_id))); }
    EXPECT_EQ(ListItems(row.id).empty(), row.kind != K::List);
  }
  EXPECT_EQ(groups, (std::vector<ControlId>{1000, 1001, 1008, 1002, 1003, 1007, 1004, 1005}));
  // Tab follows creation order: the General box's buttons as created, then the Battery box.
  tab_stops.resize(8);
  EXPECT_EQ(tab_stops, (std::vector<ControlId>{2000, 2001, 2002, 2053, 2050, 2051, 2006, 2007}));
  for (ControlId id : {199, 243, 999, 1009, 1999, 2041, 2049, 2056})
    EXPECT_FALSE(ctl::IsLabelId(id) || ctl::IsGroupId(id) || ctl::IsParameterId(id) || ctl::IsCommandId(id) ||
                 FindControl(id) != nullptr) << id;
  // Table texts go through a 128-character buffer.
  const ControlDef long_text{200, K::Label, 307, nullptr, 0, 0, 10, 10, false};
  EXPECT_EQ(ControlText(long_text, Language::German), Text(LookUpString(Language::German, 307).substr(0, 127)));
}

// One item as "id kind text x,y wxh code group/tab".
std::string DescribeItem(const DefaultsDialogItem& item) {
  static const char* const kinds[] = {"group", "radio", "text", "button", "default"};
  const DialogUnitRect& r = item.rect;
  return std::to_string(item.id) + " " + kinds[int(item.kind)] + " " + std::to_string(item.text) + " " +
         std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) + "x" + std::to_string(r.h) +
         " " + std::to_string(item.code) + (item.starts_group ? " G" : " -") + (item.tab_stop ? "T" : "-");
}

TEST(DefaultsDialog, ItemsInTemplateOrder) {
  const std::pair<int, std::vector<std::string>> cases[] = {
      {101,
       {"40006 group 20201 11,58 177x106 0 --", "40008 radio 20219 27,76 61x8 9 GT",
        "40002 radio 20211 27,93 61x8 1 -T", "40003 radio 20212 27,110 61x8 2 --",
        "40004 radio 20213 27,127 61x8 3 --", "40005 radio 20214 27,144 61x8 4 --",
        "40007 text 20202 11,9 177x40 0 G-", "2 button 20204 112,171 50x14 0 -T",
        "1 default 20205 37,171 50x14 0 -T"}},
      {102,
       {"40006 group 20201 11,58 177x89 0 --", "40008 radio 20220 27,76 150x8 9 GT",
        "40009 radio 20216 27,93 150x8 6 -T", "40010 radio 20217 27,109 150x8 7 --",
        "40011 radio 20218 27,126 150x8 8 --", "40007 text 20203 11,9 177x40 0 G-",
        "2 button 20204 112,154 50x14 0 -T", "1 default 20205 37,154 50x14 0 -T"}},
  };
  for (const auto& [dialog_id, want] : cases) {
    const DefaultsDialogLayout* layout = DefaultsDialogLayoutFor(dialog_id);
    ASSERT_NE(layout, nullptr);
    std::vector<std::string> items;
    for (const DefaultsDialogItem& item : layout->items) items.push_back(DescribeItem(item));
    EXPECT_EQ(items, want) << dialog_id;
    EXPECT_EQ((std::vector<int>{layout->dialog_id, layout->caption, layout->width, layout->height}),
              (std::vector<int>{dialog_id, 20200, 199, dialog_id == 101 ? 193 : 176}));
  }
  EXPECT_EQ(DefaultsDialogLayoutFor(100), nullptr);
  EXPECT_EQ(DefaultsDialogLayoutFor(103), nullptr);
}

TEST(DefaultsDialog, OkAndCodeFollowTheConnectedFamilysSet) {
  const struct { uint16_t family, radio; bool ok; int code; } cases[] = {
      {kFamilyAlder, 40002, true, 1},   {500, 40003, true, 2},            {kFamilyCorvan, 40004, true, 3},
      {kFamilyBrenta, 40005, true, 4},  {kFamilyAlder, 40005, false, 4},  {kFamilyAlder, 40008, true, 9},
      {kFamilyDelmarZ, 40009, true, 6}, {kFamilyDelmarZ, 40010, true, 7}, {kFamilyDelmarZ, 40011, true, 8},
      {kFamilyDelmarZ, 40008, true, 9}, {kFamilyDelmarZ, 40002, false, 0}, {kFamilyBrenta, 40009, false, 0},
      {kFamilyBrenta, 0, false, 0},     {kFamilyBrenta, 40006, false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::pair(DefaultsOkEnabled(c.family, c.radio), DefaultsCodeFor(c.family, c.radio)), std::pair(c.ok, c.code))
        << c.family << " " << c.radio;
  }
}

// Whatever the family, OK waits for a model type to be chosen.
TEST(DefaultsDialog, OkStartsDisabled) {
  for (const uint16_t family : {kFamilyAlder, kFamilyBrenta, kFamilyCorvan, kFamilyDelmarZ, uint16_t{500}}) {
    EXPECT_FALSE(DefaultsOkEnabledAtStart(family)) << family;
  }
}

TEST(DefaultsDialog, DialogUnitsToPixels) {
  // (width / 26 + 1) / 2: the platform's rounding of the average letter width.
  EXPECT_EQ(BaseUnitsFromFont(337, 13), (DialogBaseUnits{6, 13}));
  EXPECT_EQ(BaseUnitsFromFont(338, 14), (DialogBaseUnits{7, 14}));
  EXPECT_EQ(DialogUnitsToPixelsX(199, DialogBaseUnits{6, 13}), 299);  // 298.5 rounds up
  EXPECT_EQ(DialogUnitsToPixelsY(193, DialogBaseUnits{6, 13}), 314);  // 313.6
  EXPECT_EQ(DialogUnitsToPixelsX(177, DialogBaseUnits{7, 14}), 310);  // 309.75
}

}  // namespace
}  // namespace tavio
