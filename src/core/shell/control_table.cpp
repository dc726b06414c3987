#include "core/shell/control_table.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace tavio {
namespace {

// Row builders; they keep the table below one line per control.
constexpr ControlDef Row(ControlId id, ControlKind kind, StringId text_id, const char16_t* literal,
                         int x, int y, int w, int h, bool starts_group = false) {
  return ControlDef{id, kind, text_id, literal, x, y, w, h, starts_group};
}
// A label whose text is the string of its own ID.
constexpr ControlDef Label(ControlId id, int x, int y, int w, int h) {
  return Row(id, ControlKind::Label, id, nullptr, x, y, w, h);
}
constexpr ControlDef Label(ControlId id, const char16_t* text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Label, 0, text, x, y, w, h);
}
constexpr ControlDef Value(ControlId id, const char16_t* text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Value, 0, text, x, y, w, h);
}
constexpr ControlDef HelpText(ControlId id, int x, int y, int w, int h) {
  return Row(id, ControlKind::HelpField, sid::kHelpField, nullptr, x, y, w, h);
}
constexpr ControlDef Command(ControlId id, StringId text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Command, text, nullptr, x, y, w, h);
}
constexpr ControlDef Group(ControlId id, StringId text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Group, text, nullptr, x, y, w, h);
}
constexpr ControlDef Group(ControlId id, const char16_t* text, int x, int y, int w, int h) {
  return Row(id, ControlKind::Group, 0, text, x, y, w, h);
}

// A slot is one control, or the parameter controls inside the box `params_of`.
struct Slot {
  ControlId params_of;
  ControlDef control;
};
constexpr Slot Params(ControlId group) { return Slot{group, {}}; }
constexpr Slot One(ControlDef control) { return Slot{0, control}; }

// Creation order. The command buttons of the General box come after its
// parameters, before the box and in reverse screen order, so Tab visits them bottom-up.
constexpr Slot kSlots[] = {
    Params(ctl::kGroupGeneral),
    One(Command(ctl::kLoadDefaults, sid::kButtonLoadDefaults, 70, 260, 160, 25)),
    One(Command(ctl::kLoadFile, sid::kButtonLoadFile, 70, 215, 160, 25)),
    One(Command(ctl::kSaveFile, sid::kButtonSaveFile, 70, 170, 160, 25)),
    One(Group(ctl::kGroupGeneral, sid::kGroupGeneral, 10, 10, 280, 300)),
    Params(ctl::kGroupBattery),
    One(Group(ctl::kGroupBattery, sid::kGroupBattery, 320, 10, 280, 300)),
    One(Group(ctl::kGroupComment, sid::kGroupComment, 940, 340, 280, 300)),
    One(HelpText(ctl::kHelpField, 950, 370, 260, 260)),
    Params(ctl::kGroupGovernor),
    One(Group(ctl::kGroupGovernor, sid::kGroupGovernor, 10, 340, 280, 300)),
    Params(ctl::kGroupMotor),
    One(Group(ctl::kGroupMotor, sid::kGroupMotor, 320, 340, 280, 300)),
    Params(ctl::kGroupExpert),
    One(Group(ctl::kGroupExpert, sid::kGroupExpert, 630, 340, 280, 300)),
    Params(ctl::kGroupWarnings),
    One(Group(ctl::kGroupWarnings, sid::kGroupWarnings, 630, 10, 280, 300)),
    One(Group(ctl::kGroupFirmware, u"Firmware-Info", 1020, 125, 200, 130)),
    One(Label(ctl::kLabelUnitName, u"LINKPUCK", 1030, 155, 120, 25)),
    One(Value(ctl::kUnitVersion, u"0.0.0", 1150, 155, 60, 25)),
    One(Label(ctl::kLabelEscBootloader, 1030, 185, 120, 25)),
    One(Value(ctl::kEscBootloaderVersion, u"0.0.0", 1150, 185, 60, 25)),
    One(Label(ctl::kLabelEscFirmware, 1030, 215, 120, 25)),
    One(Value(ctl::kEscFirmwareVersion, u"0.0.0", 1150, 215, 60, 25)),
    One(Command(ctl::kStore, sid::kButtonStore, 1020, 265, 200, 40)),
};

// A check box or radio button comes before its label, anything else after
// it; the first of adjacent radio buttons starts their group.
constexpr auto kControls = [] {
  std::array<ControlDef, kControlCount> out{};
  std::size_t n = 0;
  bool after_radio = false;
  for (const Slot& slot : kSlots) {
    if (slot.params_of == 0) {
      out[n++] = slot.control;
      continue;
    }
    const ControlDef& box = std::find_if(std::begin(kSlots), std::end(kSlots), [&](const Slot& s) {
                              return s.params_of == 0 && s.control.id == slot.params_of; })->control;
    for (const Parameter& p : Parameters()) {
      if (p.at.x < box.x || p.at.x >= box.x + box.w || p.at.y < box.y || p.at.y >= box.y + box.h) continue;
      const Rect& l = p.label_at;
      const ControlDef label = Row(p.label, ControlKind::Label, p.label_text, p.label_literal, l.x, l.y, l.w, l.h);
      const bool switch_first = p.kind == ControlKind::Check || p.kind == ControlKind::Radio;
      if (l.w != 0 && !switch_first) out[n++] = label;
      const bool radio = p.kind == ControlKind::Radio;
      out[n++] = Row(p.control, p.kind, 0, p.placeholder, p.at.x, p.at.y, p.at.w, p.at.h, radio && !after_radio);
      after_radio = radio;
      if (l.w != 0 && switch_first) out[n++] = label;
      const Rect& a = p.arrows;
      if (a.w != 0) out[n++] = Row(ctl::kPoleArrows, ControlKind::Arrows, 0, nullptr, a.x, a.y, a.w, a.h);
    }
  }
  return out;
}();
static_assert(kControls[kControlCount - 1].id == ctl::kStore, "every slot and parameter control has its place");

constexpr ListItemDef kBatteryItems[] = {{0, u"NiMh/NiCd"}, {0, u"LiPo"}, {0, u"LiFePo"}};
constexpr ListItemDef kGovernorItems[] = {
    {sid::kItemOff, nullptr}, {0, u"Governor"}, {0, u"Governor Store"}};
constexpr ListItemDef kBrakeItems[] = {
    {sid::kItemOff, nullptr}, {sid::kItemSwitchingBrake, nullptr}, {sid::kItemProportional, nullptr}};

}  // namespace

std::span<const ControlDef> ControlTable() { return kControls; }

const ControlDef* FindControl(ControlId id) {
  const auto* found = std::find_if(kControls.begin(), kControls.end(), [id](const ControlDef& c) { return c.id == id; });
  return found == kControls.end() ? nullptr : found;
}

std::span<const ListItemDef> ListItems(ControlId list_id) {
  if (list_id == ctl::kBatteryType) return kBatteryItems;
  if (list_id == ctl::kGovernorType) return kGovernorItems;
  return list_id == ctl::kBrakeType ? std::span<const ListItemDef>(kBrakeItems) : std::span<const ListItemDef>();
}

bool IsTabStop(ControlKind kind) {
  return kind == ControlKind::Field || kind == ControlKind::DigitsField || kind == ControlKind::Check ||
         kind == ControlKind::Radio || kind == ControlKind::List || kind == ControlKind::Command;
}

Text ControlText(const ControlDef& control, Language language) {
  if (control.text_id != 0) {
    return Text(LookUpString(language, control.text_id).substr(0, kMaxControlTextLength));
  }
  return control.literal != nullptr ? Text(control.literal) : Text();
}

Text ListItemText(const ListItemDef& item, Language language) {
  if (item.text_id != 0) return Text(LookUpString(language, item.text_id));
  return item.literal != nullptr ? Text(item.literal) : Text();
}

}  // namespace tavio
