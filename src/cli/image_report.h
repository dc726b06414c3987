#pragma once
// How `show` and `diff` describe an image: its fields with raw values and
// window texts, the flag bits by name, and the hex spelling they share.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ids/control_ids.h"
#include "core/model/config_image.h"

namespace tavio::cli {

// "0x0401": upper-case hex digits, zero-padded.
std::string HexValue(uint32_t value, int digits);
// "00 1F FF".
std::string HexBytes(std::span<const uint8_t> bytes);

// One field of a layout as read from an image.
struct FieldReport {
  Field field;
  uint8_t offset = 0;
  uint8_t width = 0;
  std::optional<uint32_t> value;  // 16- and 32-bit fields
  std::string raw;                // the value as printed: decimal, hex for the
                                  // version, flags and checksum, bytes for a run
  std::optional<std::string> text;  // what the window shows, for shown fields
};

// Every field of the layout in offset order.
std::vector<FieldReport> ReportFields(const ConfigImage& image, ImageLayout layout);
// Fields the report prints in its head rather than among the others.
bool IsHeadField(Field field);

// A named bit or bit group of `flags`, or a single unnamed bit ("bit_4").
struct FlagReport {
  std::string name;
  unsigned first_bit = 0;
  unsigned width = 1;
  uint32_t value = 0;
  bool named = false;
};

// All 32 bits of `flags` in bit order, the battery type as one group.
std::vector<FlagReport> ReportFlags(uint32_t flags);

// The list texts the window shows for the image's flags.
struct Selections {
  std::string battery_type;
  std::string governor_type;
  std::string brake_type;
};
Selections ReportSelections(const ConfigImage& image);
// The index of the list entry with this text (as Selections spells it).
std::optional<int> ListIndex(ControlId list, std::string_view text);

}  // namespace tavio::cli
