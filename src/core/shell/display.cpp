#include "core/shell/display.h"
#include "core/shell/focus.h"

#include "core/model/family.h"

namespace tavio {
namespace {

using namespace layouts;
using L = ImageLayout;

// What ShowImage puts where, in the order it fills the controls.
enum class Fill : uint8_t { Text, Check, InverseCheck, BatteryList, GovernorList, BrakeList, TimingAngle };

struct FillRow {
  ControlId id;
  Fill fill;
  uint8_t layouts;
  uint32_t flag = 0;
};

constexpr FillRow kFills[] = {
    {ctl::kBecVoltage, Fill::Text, kNot88D},
    {ctl::kReverseRotation, Fill::Check, kAll, flag::kReverseRotation},
    {ctl::kForwardBackward, Fill::Check, kNot80A, flag::kForwardBackward},
    {ctl::kBatteryType, Fill::BatteryList, kAll},
    {ctl::kCutoffVoltage, Fill::Text, kAll},
    {ctl::kCapacityLimit, Fill::Text, kNot80A},
    {ctl::kShutdown, Fill::Check, kAll, flag::kShutdown},
    {ctl::kGovernorType, Fill::GovernorList, kAll},
    {ctl::kSpoolupTime, Fill::Text, kAll},
    {ctl::kPPart, Fill::Text, kAll},
    {ctl::kRiComp, Fill::Text, kAll},
    {ctl::kBrakeType, Fill::BrakeList, kAll},
    {ctl::kPoleCount, Fill::Text, kNot80A},
    {ctl::kGearRatio, Fill::Text, kBrenta},
    {ctl::kAutoTiming, Fill::Check, kAll, flag::kAutoTiming},
    {ctl::kFixTiming, Fill::InverseCheck, kAll, flag::kAutoTiming},
    {ctl::kFixTimingAngle, Fill::TimingAngle, kAll},
    {ctl::kSlewPos, Fill::Text, kAll},
    {ctl::kSlewNeg, Fill::Text, kAll},
    {ctl::kMinPwm, Fill::Text, kAll},
    {ctl::kSoftStart, Fill::Check, kBrenta, flag::kSoftStart},
    {ctl::kMaxStartCurrent, Fill::Text, kAll},
    {ctl::kBrakeSlewPos, Fill::Text, kBrenta},
    {ctl::kBrakeSlewNeg, Fill::Text, kBrenta},
    {ctl::kBrakeMinPwm, Fill::Text, kBrenta},
    {ctl::kBrakeMaxPwm, Fill::Text, kBrenta},
    {ctl::kHoldTime, Fill::Text, kAll},
    {ctl::kWarnCutoff, Fill::Text, kWarnings},
    {ctl::kWarnMotorCurrent, Fill::Text, kWarnings},
    {ctl::kWarnFetTemp, Fill::Text, kWarnings},
    {ctl::kWarnBecTemp, Fill::Text, Bit(L::Layout92B)},
    {ctl::kWarnBecCurrent, Fill::Text, Bit(L::Layout92B)},
    {ctl::kWarnCapacity, Fill::Text, kWarnings},
};

}  // namespace

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
  for (const FillRow& row : kFills) {
    if ((row.layouts & Bit(*layout)) == 0) continue;
    switch (row.fill) {
      case Fill::TimingAngle:
        EnableControl(app, row.id, !HasFlag(image, flag::kAutoTiming));
        [[fallthrough]];
      case Fill::Text:
        if (const auto text = FieldText(row.id, *layout, image)) panel.SetText(row.id, *text);
        break;
      case Fill::Check: panel.SetCheck(row.id, HasFlag(image, row.flag)); break;
      case Fill::InverseCheck: panel.SetCheck(row.id, !HasFlag(image, row.flag)); break;
      case Fill::BatteryList: panel.SetSelection(row.id, BatteryTypeIndex(image)); break;
      case Fill::GovernorList: panel.SetSelection(row.id, GovernorTypeIndex(image)); break;
      case Fill::BrakeList: panel.SetSelection(row.id, BrakeTypeIndex(image)); break;
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
