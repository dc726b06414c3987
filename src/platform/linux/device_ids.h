#pragma once
// Parsing of the identifiers udev and sysfs give for a hidraw node.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavio {

struct UsbIds {
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;

  bool operator==(const UsbIds&) const = default;
};

// The HID_ID property of a "hid" device: "BUS:VENDOR:PRODUCT", each field
// hexadecimal (the kernel writes 4/8/8 digits). Vendor and product must fit
// 16 bits.
std::optional<UsbIds> ParseHidId(std::string_view value);

// A sysfs idVendor/idProduct attribute: one to four hexadecimal digits.
std::optional<uint16_t> ParseHexU16(std::string_view text);

// The N of a path ending in "hidrawN"; orders nodes numerically, so that
// hidraw10 comes after hidraw9.
std::optional<uint32_t> HidrawNumber(std::string_view path);

}  // namespace tavio
