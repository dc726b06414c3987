// The model-defaults dialogs without a window: items in template order, the
// OK rule, the returned codes and the dialog-unit conversion.

#include "core/files/defaults_dialog.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/files/defaults.h"
#include "core/model/family.h"

namespace tavio {
namespace {

struct Row {
  uint16_t id;
  DialogItemKind kind;
  StringId text;
  DialogUnitRect rect;
  int code;
};

std::vector<Row> Rows(int dialog_id) {
  std::vector<Row> rows;
  for (const DefaultsDialogItem& item : DefaultsDialogLayoutFor(dialog_id)->items) {
    rows.push_back({item.id, item.kind, item.text, item.rect, item.code});
  }
  return rows;
}

void ExpectRows(const std::vector<Row>& actual, const std::vector<Row>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(actual[i].id, expected[i].id);
    EXPECT_EQ(actual[i].kind, expected[i].kind);
    EXPECT_EQ(actual[i].text, expected[i].text);
    EXPECT_EQ(actual[i].rect, expected[i].rect);
    EXPECT_EQ(actual[i].code, expected[i].code);
  }
}

using K = DialogItemKind;

TEST(DefaultsDialogLayout, PlanesInTemplateOrder) {
  const DefaultsDialogLayout* layout = DefaultsDialogLayoutFor(101);
  ASSERT_NE(layout, nullptr);
  EXPECT_EQ(layout->dialog_id, 101);
  EXPECT_EQ(layout->caption, 20200);
  EXPECT_EQ(layout->width, 199);
  EXPECT_EQ(layout->height, 193);
  ExpectRows(Rows(101), {
                            {40006, K::GroupBox, 20201, {11, 58, 177, 106}, 0},
                            {40008, K::Radio, 20219, {27, 76, 61, 8}, 9},
                            {40002, K::Radio, 20211, {27, 93, 61, 8}, 1},
                            {40003, K::Radio, 20212, {27, 110, 61, 8}, 2},
                            {40004, K::Radio, 20213, {27, 127, 61, 8}, 3},
                            {40005, K::Radio, 20214, {27, 144, 61, 8}, 4},
                            {40007, K::Text, 20202, {11, 9, 177, 40}, 0},
                            {2, K::PushButton, 20204, {112, 171, 50, 14}, 0},
                            {1, K::DefaultPushButton, 20205, {37, 171, 50, 14}, 0},
                        });
}

TEST(DefaultsDialogLayout, CoptersInTemplateOrder) {
  const DefaultsDialogLayout* layout = DefaultsDialogLayoutFor(102);
  ASSERT_NE(layout, nullptr);
  EXPECT_EQ(layout->caption, 20200);
  EXPECT_EQ(layout->width, 199);
  EXPECT_EQ(layout->height, 176);
  ExpectRows(Rows(102), {
                            {40006, K::GroupBox, 20201, {11, 58, 177, 89}, 0},
                            {40008, K::Radio, 20220, {27, 76, 150, 8}, 9},
                            {40009, K::Radio, 20216, {27, 93, 150, 8}, 6},
                            {40010, K::Radio, 20217, {27, 109, 150, 8}, 7},
                            {40011, K::Radio, 20218, {27, 126, 150, 8}, 8},
                            {40007, K::Text, 20203, {11, 9, 177, 40}, 0},
                            {2, K::PushButton, 20204, {112, 154, 50, 14}, 0},
                            {1, K::DefaultPushButton, 20205, {37, 154, 50, 14}, 0},
                        });
}

TEST(DefaultsDialogLayout, NoOtherDialogs) {
  for (int id : {0, 100, 103, 201}) EXPECT_EQ(DefaultsDialogLayoutFor(id), nullptr) << id;
}

// family, checked radio, OK enabled, code
using Case = std::tuple<uint16_t, uint16_t, bool, int>;

class DefaultsDialogRules : public testing::TestWithParam<Case> {};

TEST_P(DefaultsDialogRules, OkAndCode) {
  const auto [family, radio, ok, code] = GetParam();
  EXPECT_EQ(DefaultsOkEnabled(family, radio), ok);
  EXPECT_EQ(DefaultsCodeFor(family, radio), code);
}

INSTANTIATE_TEST_SUITE_P(
    Planes, DefaultsDialogRules,
    testing::Values(Case{kFamilyAlder, 40002, true, 1}, Case{kFamilyAlder, 40003, true, 2},
                    Case{kFamilyAlder, 40004, true, 3}, Case{kFamilyAlder, 40005, false, 4},
                    Case{kFamilyAlder, 40008, true, 9}, Case{kFamilyBrenta, 40005, true, 4},
                    Case{kFamilyCorvan, 40002, true, 1}, Case{kFamilyCorvan, 40008, true, 9},
                    Case{500, 40004, true, 3}, Case{kFamilyNone, 40003, true, 2}));

INSTANTIATE_TEST_SUITE_P(
    Copters, DefaultsDialogRules,
    testing::Values(Case{kFamilyDelmarZ, 40009, true, 6}, Case{kFamilyDelmarZ, 40010, true, 7},
                    Case{kFamilyDelmarZ, 40011, true, 8}, Case{kFamilyDelmarZ, 40008, true, 9}));

// A radio button of the other dialog's set, or none, never counts.
INSTANTIATE_TEST_SUITE_P(
    NotInTheSet, DefaultsDialogRules,
    testing::Values(Case{kFamilyDelmarZ, 40002, false, 0}, Case{kFamilyDelmarZ, 40005, false, 0},
                    Case{kFamilyBrenta, 40009, false, 0}, Case{kFamilyAlder, 40011, false, 0},
                    Case{kFamilyBrenta, 0, false, 0}, Case{kFamilyDelmarZ, 0, false, 0},
                    Case{kFamilyBrenta, 40006, false, 0}, Case{kFamilyBrenta, 1, false, 0}));

// Every code OK can return is one the load-defaults command accepts.
TEST(DefaultsDialogCodes, ConfirmableCodesAreTheCommandsCodes) {
  for (uint16_t family : {kFamilyAlder, kFamilyBrenta, kFamilyCorvan, kFamilyDelmarZ}) {
    const DefaultsDialogLayout* layout = DefaultsDialogLayoutFor(DefaultsDialogFor(family));
    for (const DefaultsDialogItem& item : layout->items) {
      if (item.kind != DialogItemKind::Radio) continue;
      EXPECT_EQ(DefaultsOkEnabled(family, item.id), DefaultsDialogCanConfirm(family, item.code))
          << family << " " << item.id;
    }
  }
}

TEST(DialogUnits, BaseUnitsFromTheFont) {
  // (width / 26 + 1) / 2: the platform's rounding of the average letter width.
  EXPECT_EQ(BaseUnitsFromFont(312, 13), (DialogBaseUnits{6, 13}));
  EXPECT_EQ(BaseUnitsFromFont(337, 13), (DialogBaseUnits{6, 13}));
  EXPECT_EQ(BaseUnitsFromFont(338, 14), (DialogBaseUnits{7, 14}));
  EXPECT_EQ(BaseUnitsFromFont(385, 14), (DialogBaseUnits{7, 14}));
  EXPECT_EQ(BaseUnitsFromFont(390, 15), (DialogBaseUnits{8, 15}));
}

TEST(DialogUnits, ToPixelsRoundToNearest) {
  const DialogBaseUnits tahoma{6, 13};
  EXPECT_EQ(DialogUnitsToPixelsX(199, tahoma), 299);  // 298.5
  EXPECT_EQ(DialogUnitsToPixelsY(193, tahoma), 314);  // 313.6
  EXPECT_EQ(DialogUnitsToPixelsX(61, tahoma), 92);    // 91.5
  EXPECT_EQ(DialogUnitsToPixelsY(8, tahoma), 13);
  EXPECT_EQ(DialogUnitsToPixelsY(9, tahoma), 15);  // 14.6
  EXPECT_EQ(DialogUnitsToPixelsX(0, tahoma), 0);
  const DialogBaseUnits dejavu{7, 14};
  EXPECT_EQ(DialogUnitsToPixelsX(177, dejavu), 310);  // 309.75
  EXPECT_EQ(DialogUnitsToPixelsY(58, dejavu), 102);   // 101.5
  EXPECT_EQ(DialogUnitsToPixelsY(14, dejavu), 25);    // 24.5
}

}  // namespace
}  // namespace tavio
