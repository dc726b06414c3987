#include "core/shell/defaults_dialog.h"

#include <iterator>

#include "core/files/defaults.h"
#include "core/model/family.h"

namespace tavio {
namespace {

using Kind = DialogItemKind;

constexpr DefaultsDialogItem kPlanesItems[] = {
    {dlg::kModelTypeGroup, Kind::GroupBox, sid::kDefaultsModelType, {11, 58, 177, 106}, 0, false, false},
    {dlg::kReset, Kind::Radio, sid::kModelResetMode1, {27, 76, 61, 8}, model_type::kReset, true, true},
    {dlg::kSailPlane, Kind::Radio, sid::kModelSailPlane, {27, 93, 61, 8}, model_type::kSailPlane, false, true},
    {dlg::kSportsPlane, Kind::Radio, sid::kModelSportsPlane, {27, 110, 61, 8}, model_type::kSportsPlane, false, false},
    {dlg::kHelicopter, Kind::Radio, sid::kModelHelicopter, {27, 127, 61, 8}, model_type::kHelicopter, false, false},
    {dlg::kRcCar, Kind::Radio, sid::kModelRcCar, {27, 144, 61, 8}, model_type::kRcCar, false, false},
    {dlg::kExplanation, Kind::Text, sid::kDefaultsExplainPlanes, {11, 9, 177, 40}, 0, true, false},
    {dlg::kCancel, Kind::PushButton, sid::kDefaultsCancel, {112, 171, 50, 14}, 0, false, true},
    {dlg::kOk, Kind::DefaultPushButton, sid::kDefaultsOk, {37, 171, 50, 14}, 0, false, true},
};

constexpr DefaultsDialogItem kCoptersItems[] = {
    {dlg::kModelTypeGroup, Kind::GroupBox, sid::kDefaultsModelType, {11, 58, 177, 89}, 0, false, false},
    {dlg::kReset, Kind::Radio, sid::kModelResetDji, {27, 76, 150, 8}, model_type::kReset, true, true},
    {dlg::kMulticopter, Kind::Radio, sid::kModelMulticopter, {27, 93, 150, 8}, model_type::kMulticopter, false, true},
    {dlg::kForwardReverse, Kind::Radio, sid::kModelForwardReverse, {27, 109, 150, 8},
     model_type::kForwardReverse, false, false},
    {dlg::kReverseRotation, Kind::Radio, sid::kModelReverseRotation, {27, 126, 150, 8},
     model_type::kReverseRotation, false, false},
    {dlg::kExplanation, Kind::Text, sid::kDefaultsExplainCopters, {11, 9, 177, 40}, 0, true, false},
    {dlg::kCancel, Kind::PushButton, sid::kDefaultsCancel, {112, 154, 50, 14}, 0, false, true},
    {dlg::kOk, Kind::DefaultPushButton, sid::kDefaultsOk, {37, 154, 50, 14}, 0, false, true},
};

constexpr DefaultsDialogLayout kPlanes{kDefaultsDialogPlanes, sid::kDefaultsCaption, 199, 193, kPlanesItems};
constexpr DefaultsDialogLayout kCopters{kDefaultsDialogCopters, sid::kDefaultsCaption, 199, 176, kCoptersItems};

struct RadioCode {
  uint16_t radio;
  int code;
};

// The order in which OK tests the radio buttons of each set.
constexpr RadioCode kCoptersSet[] = {
    {dlg::kMulticopter, model_type::kMulticopter},
    {dlg::kForwardReverse, model_type::kForwardReverse},
    {dlg::kReverseRotation, model_type::kReverseRotation},
    {dlg::kReset, model_type::kReset},
};
constexpr RadioCode kPlanesSet[] = {
    {dlg::kSailPlane, model_type::kSailPlane},   {dlg::kSportsPlane, model_type::kSportsPlane},
    {dlg::kHelicopter, model_type::kHelicopter}, {dlg::kRcCar, model_type::kRcCar},
    {dlg::kReset, model_type::kReset},
};

// The set follows the connected family, not the dialog shown.
std::span<const RadioCode> RadioSetFor(uint16_t family) {
  if (family == kFamilyDelmarZ) return kCoptersSet;
  return kPlanesSet;
}

// The platform's MulDiv for non-negative values: rounded to nearest.
int ScaleRounded(int value, int numerator, int denominator) {
  return (value * numerator + denominator / 2) / denominator;
}

}  // namespace

const DefaultsDialogLayout* DefaultsDialogLayoutFor(int dialog_id) {
  if (dialog_id == kDefaultsDialogPlanes) return &kPlanes;
  if (dialog_id == kDefaultsDialogCopters) return &kCopters;
  return nullptr;
}

int DefaultsCodeFor(uint16_t family, uint16_t checked_radio) {
  for (const RadioCode& entry : RadioSetFor(family)) {
    if (entry.radio == checked_radio) return entry.code;
  }
  return model_type::kCancelled;
}

bool DefaultsOkEnabled(uint16_t family, uint16_t checked_radio) {
  if (DefaultsCodeFor(family, checked_radio) == model_type::kCancelled) return false;
  return !(family == kFamilyAlder && checked_radio == dlg::kRcCar);
}

bool DefaultsOkEnabledAtStart(uint16_t family) { return DefaultsOkEnabled(family, 0); }

DialogBaseUnits BaseUnitsFromFont(int alphabet_width, int font_height) {
  return DialogBaseUnits{(alphabet_width / 26 + 1) / 2, font_height};
}

int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base) { return ScaleRounded(units, base.x, 4); }
int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base) { return ScaleRounded(units, base.y, 8); }

}  // namespace tavio
