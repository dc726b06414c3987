#pragma once
// Putting the image into the window's controls, and bringing the title, the
// firmware box and the enabling up to date with the connection and family.

#include <optional>

#include "core/editors/field_formats.h"
#include "core/ids/control_ids.h"
#include "core/model/config_image.h"
#include "core/model/encodings.h"
#include "core/shell/app.h"

namespace tavio {

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
