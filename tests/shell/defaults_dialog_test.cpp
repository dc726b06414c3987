// The model-defaults dialogs without a window: items in template order, the
// OK rule, the returned codes and the dialog-unit conversion.

#include "core/files/defaults_dialog.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "core/files/defaults.h"
#include "core/model/family.h"

namespace tavio {
namespace {

std::vector<uint16_t> TemplateOrder(int dialog_id) {
  std::vector<uint16_t> ids;
  for (const DefaultsDialogItem& item : DefaultsDialogLayoutFor(dialog_id)->items) ids.push_back(item.id);
  return ids;
}

// Template order is the tab order: the reset entry leads the radio buttons.
TEST(DefaultsDialogLayout, TemplateOrder) {
  EXPECT_EQ(TemplateOrder(101), (std::vector<uint16_t>{40006, 40008, 40002, 40003, 40004, 40005, 40007, 2, 1}));
  EXPECT_EQ(TemplateOrder(102), (std::vector<uint16_t>{40006, 40008, 40009, 40010, 40011, 40007, 2, 1}));
  EXPECT_EQ(DefaultsDialogLayoutFor(101)->height, 193);
  EXPECT_EQ(DefaultsDialogLayoutFor(102)->height, 176);
  EXPECT_EQ(DefaultsDialogLayoutFor(101)->items[6].text, sid::kDefaultsExplainPlanes);
  EXPECT_EQ(DefaultsDialogLayoutFor(102)->items[5].text, sid::kDefaultsExplainCopters);
}

// The code a radio row carries is the code OK returns for it.
TEST(DefaultsDialogLayout, RowCodesAreTheReturnedCodes) {
  for (const auto& [dialog_id, family] : {std::pair{101, kFamilyBrenta}, std::pair{102, kFamilyDelmarZ}}) {
    for (const DefaultsDialogItem& item : DefaultsDialogLayoutFor(dialog_id)->items) {
      const int expected = item.kind == DialogItemKind::Radio ? DefaultsCodeFor(family, item.id) : 0;
      EXPECT_EQ(item.code, expected) << dialog_id << " " << item.id;
      if (item.kind == DialogItemKind::Radio) {
        EXPECT_NE(item.code, 0);
      }
    }
  }
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
