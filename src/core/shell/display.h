#pragma once
// Putting the image into the window's controls, and bringing the title, the
// firmware box and the enabling up to date with the connection and family.

#include <optional>

#include "core/model/config_image.h"
#include "core/model/encodings.h"
#include "core/shell/app.h"
#include "core/shell/control_ids.h"

namespace tavio {

// How a numeric field shows its value under a layout.
struct FieldFormat {
  Field field;
  Encoding encoding;
  Unit unit;
};

// The format of a numeric field under a layout; nothing when the layout has
// no value for that field. The cut-off field follows the image's battery type.
std::optional<FieldFormat> DisplayFormat(ControlId id, ImageLayout layout, const ConfigImage& image);
// The text the field shows for the image's value; nothing as above.
std::optional<Text> FieldText(ControlId id, ImageLayout layout, const ConfigImage& image);

// Why the window disables a control while connected; None when it is
// enabled (or not a control the enabling rules know).
enum class DisabledReason : uint8_t {
  None,
  Family,          // the family has no such setting
  ParamSet,        // the parameter set is older than 0x0401
  GovernorOff,     // governor fields need a governor mode
  GovernorOn,      // the hard cut-off is off while a governor runs
  BrakeOff,        // brake fields need a brake
  SwitchingBrake,  // min. brake PWM needs the proportional brake
  AutoTiming,      // the timing angle needs fixed timing
};
DisabledReason WhyDisabled(ControlId id, uint16_t family, uint32_t flags, uint16_t version);

// The combo box index the flags select.
int BatteryTypeIndex(const ConfigImage& image);
int GovernorTypeIndex(const ConfigImage& image);
int BrakeTypeIndex(const ConfigImage& image);

// Texts of the firmware box.
Text UnitKindName(uint16_t unit_product_id);
Text UnitVersionText(uint32_t unit_firmware_version);
Text EscFirmwareText(uint16_t esc_firmware_version);
Text WindowTitle(Language language, bool connected, uint16_t family, uint16_t model);

// Every displayed parameter of the image into its control, for the layout
// the connected family and version select. Enables only the fixed-timing field.
void ShowImage(App& app);
// Title, firmware texts, label 212 and the enabled state of every control.
void RefreshDisplay(App& app);

}  // namespace tavio
