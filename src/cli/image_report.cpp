#include "cli/image_report.h"

#include <algorithm>
#include <cstdio>

#include "core/shell/control_table.h"
#include "core/shell/display.h"

namespace tavio::cli {
namespace {

struct NamedFlag {
  const char* name;
  unsigned first_bit;
  unsigned width;
};

constexpr NamedFlag kNamedFlags[] = {
    {"brake_on", 0, 1},         {"brake_proportional", 1, 1}, {"battery_type", 2, 2},
    {"governor_on", 5, 1},      {"governor_store", 6, 1},     {"governor_rpm_stored", 7, 1},
    {"shutdown", 8, 1},         {"auto_timing", 9, 1},        {"reverse_rotation", 10, 1},
    {"forward_backward", 13, 1}, {"soft_start", 14, 1},
};

// The text the window shows for a field it shows under this layout; each
// cut-off shows as the field would once its battery type is selected.
std::optional<std::string> WindowText(ImageLayout layout, Field field, uint32_t raw) {
  const auto shown = FindShownField(field, layouts::Bit(layout));
  if (!shown) return std::nullopt;
  return ToUtf8(FormatEncoded(raw, shown->shown.encoding, shown->shown.unit));
}

std::string ListText(ControlId list, int index) {
  const auto items = ListItems(list);
  if (index < 0 || static_cast<size_t>(index) >= items.size()) return std::string();
  return ToUtf8(ListItemText(items[static_cast<size_t>(index)], Language::English));
}

}  // namespace

std::string HexValue(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
  return text;
}

std::string HexBytes(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    if (!out.empty()) out.push_back(' ');
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

bool IsHeadField(Field field) {
  return field == Field::BlockLength || field == Field::ParamVersion || field == Field::Flags ||
         field == Field::Checksum;
}

std::vector<FieldReport> ReportFields(const ConfigImage& image, ImageLayout layout) {
  std::vector<FieldReport> out;
  for (const FieldDef& def : GetLayoutDef(layout).fields) {
    FieldReport report;
    report.field = def.field;
    report.offset = def.offset;
    report.width = def.width;
    if (def.width == 2 || def.width == 4) {
      const uint32_t value = def.width == 2 ? GetU16(image, def.offset) : GetU32(image, def.offset);
      report.value = value;
      switch (def.field) {
        case Field::ParamVersion: report.raw = HexValue(value, 4); break;
        case Field::Flags:
        case Field::Checksum: report.raw = HexValue(value, 8); break;
        default: report.raw = std::to_string(value); break;
      }
      report.text = WindowText(layout, def.field, value);
    } else {
      const size_t end = std::min<size_t>(size_t{def.offset} + def.width, kImageSize);
      report.raw = HexBytes(std::span<const uint8_t>(image.bytes).subspan(def.offset, end - def.offset));
    }
    out.push_back(std::move(report));
  }
  return out;
}

std::vector<FlagReport> ReportFlags(uint32_t flags) {
  std::vector<FlagReport> out;
  for (unsigned bit = 0; bit < 32;) {
    FlagReport report;
    report.first_bit = bit;
    for (const NamedFlag& named : kNamedFlags) {
      if (named.first_bit == bit) {
        report.name = named.name;
        report.width = named.width;
        report.named = true;
      }
    }
    if (!report.named) report.name = "bit_" + std::to_string(bit);
    report.value = (flags >> bit) & ((1u << report.width) - 1);
    bit += report.width;
    out.push_back(std::move(report));
  }
  return out;
}

std::optional<int> ListIndex(ControlId list, std::string_view text) {
  for (int index = 0; static_cast<size_t>(index) < ListItems(list).size(); ++index) {
    if (ListText(list, index) == text) return index;
  }
  return std::nullopt;
}

Selections ReportSelections(const ConfigImage& image) {
  return {ListText(ctl::kBatteryType, BatteryTypeIndex(image)),
          ListText(ctl::kGovernorType, GovernorTypeIndex(image)),
          ListText(ctl::kBrakeType, BrakeTypeIndex(image))};
}

}  // namespace tavio::cli
