#pragma once
// The model-defaults dialogs 101 and 102 without a window system: their items
// in template order (also the tab order) with dialog-unit rectangles, the
// rule for the OK button and the code the dialog ends with.

#include <cstdint>
#include <span>

#include "core/text/string_ids.h"

namespace tavio {

// IDs of the dialog items.
namespace dlg {
inline constexpr uint16_t kOk = 1;
inline constexpr uint16_t kCancel = 2;
inline constexpr uint16_t kSailPlane = 40002;
inline constexpr uint16_t kSportsPlane = 40003;
inline constexpr uint16_t kHelicopter = 40004;
inline constexpr uint16_t kRcCar = 40005;
inline constexpr uint16_t kModelTypeGroup = 40006;
inline constexpr uint16_t kExplanation = 40007;
inline constexpr uint16_t kReset = 40008;
inline constexpr uint16_t kMulticopter = 40009;
inline constexpr uint16_t kForwardReverse = 40010;
inline constexpr uint16_t kReverseRotation = 40011;
}  // namespace dlg

enum class DialogItemKind : uint8_t { GroupBox, Radio, Text, PushButton, DefaultPushButton };

struct DialogUnitRect {
  int x, y, w, h;
  bool operator==(const DialogUnitRect&) const = default;
};

struct DefaultsDialogItem {
  uint16_t id;
  DialogItemKind kind;
  StringId text;
  DialogUnitRect rect;
  int code;  // the model-type code of a radio button; 0 for every other item
  // Keyboard navigation: an item that starts a group ends the one before it
  // (the arrows move only within a group); Tab stops at tab-stop items.
  bool starts_group;
  bool tab_stop;
};

struct DefaultsDialogLayout {
  int dialog_id;
  StringId caption;
  int width, height;  // dialog units
  std::span<const DefaultsDialogItem> items;
};

// The layout of dialog 101 or 102; nullptr for any other ID.
const DefaultsDialogLayout* DefaultsDialogLayoutFor(int dialog_id);

// OK after a click on any item other than OK and Cancel: enabled when a radio
// button of the family's set is checked, but never for RC Car on ALDER.
// `checked_radio` is 0 when none is checked.
bool DefaultsOkEnabled(uint16_t family, uint16_t checked_radio);
// OK as the dialog opens: the user chooses a model type first.
bool DefaultsOkEnabledAtStart(uint16_t family);
// The model-type code OK ends the dialog with; 0 when no radio button of the
// family's set is checked (the dialog then stays open).
int DefaultsCodeFor(uint16_t family, uint16_t checked_radio);

// Dialog units to pixels, from the dialog font as the platform measures it:
// the horizontal base unit is the average width of "A".."Z" "a".."z", the
// vertical one the font's height; 4 and 8 dialog units make one base unit.
struct DialogBaseUnits {
  int x, y;
  bool operator==(const DialogBaseUnits&) const = default;
};
// `alphabet_width`: pixel width of the 52 letters "A..Za..z" in the font.
DialogBaseUnits BaseUnitsFromFont(int alphabet_width, int font_height);
int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base);
int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base);

}  // namespace tavio
