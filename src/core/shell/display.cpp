#include "core/shell/display.h"
#include "core/shell/focus.h"

#include <algorithm>

#include "core/model/family.h"

namespace tavio {

Text UnitKindName(uint16_t unit_product_id) {
  return unit_product_id == kProductLinkpuck ? u"LINKPUCK" : u"LINKBOX";
}

Text UnitVersionText(uint32_t unit_firmware_version) {
  const uint32_t v = (unit_firmware_version & 0xFF) == 0 ? unit_firmware_version >> 8 : unit_firmware_version;
  return FormatVersion(v);
}

Text EscFirmwareText(uint16_t esc_firmware_version) {
  return esc_firmware_version == 0xFFFF ? Text(u"----------") : FormatVersion(esc_firmware_version);
}

Text WindowTitle(Language language, bool connected, uint16_t family, uint16_t model) {
  // The program's own version, 1.2.0, is fixed.
  if (connected) {
    const std::string name(FamilyName(family));
    return FormatPattern(LookUpString(language, sid::kTitleConnected), 1u, 2u, 0u, name.c_str(),
                         static_cast<unsigned>(model));
  }
  return FormatPattern(LookUpString(language, sid::kTitleNotConnected), 1u, 2u, 0u);
}

void ShowImage(App& app) {
  const auto layout = SelectLayout(Family(app), EscVersion(app));
  if (!layout) return;
  Panel& panel = *app.panel;
  const ConfigImage& image = app.image;
  // By rank: the order decides the help the last text leaves.
  for (uint8_t rank = 0; rank < Parameters().size(); ++rank) {
    const Parameter& row = *std::find_if(Parameters().begin(), Parameters().end(),
                                         [rank](const Parameter& p) { return p.fill_rank == rank; });
    if ((row.fill_layouts & layouts::Bit(*layout)) == 0) continue;
    const ControlId id = row.control;
    switch (row.fill) {
      case Fill::TimingAngle:
        EnableControl(app, id, !HasFlag(image, flag::kAutoTiming));
        [[fallthrough]];
      case Fill::Text:
        if (const auto text = FieldText(id, *layout, image)) panel.SetText(id, *text);
        break;
      case Fill::Check: panel.SetCheck(id, HasFlag(image, row.flag)); break;
      case Fill::InverseCheck: panel.SetCheck(id, !HasFlag(image, row.flag)); break;
      case Fill::BatteryList: panel.SetSelection(id, BatteryTypeIndex(image)); break;
      case Fill::GovernorList: panel.SetSelection(id, GovernorTypeIndex(image)); break;
      case Fill::BrakeList: panel.SetSelection(id, BrakeTypeIndex(image)); break;
    }
  }
}

void RefreshDisplay(App& app) {
  Panel& panel = *app.panel;
  const bool connected = IsConnected(app.link);
  const uint16_t family = Family(app);
  const DeviceInfo& info = app.link.info;

  panel.SetTitle(WindowTitle(app.language, connected, family, Model(app)));
  if (connected) {
    panel.SetText(ctl::kLabelUnitName, UnitKindName(info.unit_product_id));
    panel.SetText(ctl::kUnitVersion, UnitVersionText(info.unit_firmware_version));
    panel.SetText(ctl::kEscBootloaderVersion, FormatVersion(EscBootloaderVersion(info)));
    panel.SetText(ctl::kEscFirmwareVersion, EscFirmwareText(EscFirmwareVersion(info)));
  } else {
    panel.SetText(ctl::kUnitVersion, u"0.0.0");
    panel.SetText(ctl::kEscBootloaderVersion, u"0.0.0");
    panel.SetText(ctl::kEscFirmwareVersion, u"0.0.0");
  }
  // The same two texts in every language.
  panel.SetText(ctl::kLabelRiComp, family == kFamilyAlder ? u"I-Anteil" : u"Ri.-Comp.");

  const uint32_t flags = Flags(app.image);
  const uint16_t version = EscVersion(app);
  for (ControlId id : RuledControls()) {
    EnableControl(app, id, connected && WhyDisabled(id, family, flags, version) == DisabledReason::None);
  }
  panel.Repaint();
}

}  // namespace tavio
