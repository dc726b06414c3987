#include "platform/linux/device_ids.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

namespace tavio {
namespace {

struct HidIdCase {
  std::string_view text;
  std::optional<UsbIds> expected;
};

TEST(DeviceIds, ParseHidId) {
  const std::vector<HidIdCase> cases = {
      {"0003:00007A3E:00000001", UsbIds{0x7A3E, 0x0001}},
      {"0003:00007a3e:00000002", UsbIds{0x7A3E, 0x0002}},
      {"0005:0000046D:0000B012", UsbIds{0x046D, 0xB012}},
      {"3:7A3E:1", UsbIds{0x7A3E, 0x0001}},
      {"0003:0000FFFF:0000FFFF", UsbIds{0xFFFF, 0xFFFF}},
      {"0003:00017A3E:00000001", std::nullopt},  // vendor above 16 bits
      {"0003:00007A3E:00010001", std::nullopt},  // product above 16 bits
      {"0003:000000007A3E:00000001", std::nullopt},
      {"0003:00007A3E", std::nullopt},
      {"0003:00007A3E:", std::nullopt},
      {"0003::00000001", std::nullopt},
      {":00007A3E:00000001", std::nullopt},
      {"0003:00007A3E:00000001:0", std::nullopt},
      {"0003:0000XA3E:00000001", std::nullopt},
      {"0003:00007A3E:00000001\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const HidIdCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseHidId(c.text), c.expected);
  }
}

TEST(DeviceIds, ParseHexU16) {
  const std::vector<std::pair<std::string_view, std::optional<uint16_t>>> cases = {
      {"7a3e", 0x7A3E}, {"0001", 0x0001}, {"ABCD", 0xABCD}, {"2", 0x0002},
      {"", std::nullopt}, {"12345", std::nullopt}, {"7a3g", std::nullopt},
      {" 7a3", std::nullopt}, {"-1", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseHexU16(text), expected);
  }
}

TEST(DeviceIds, HidrawNumber) {
  const std::vector<std::pair<std::string_view, std::optional<uint32_t>>> cases = {
      {"/dev/hidraw0", 0u},
      {"/dev/hidraw12", 12u},
      {"hidraw7", 7u},
      {"/dev/hidraw999999999", 999999999u},
      {"/dev/hidraw", std::nullopt},
      {"/dev/hidrawx", std::nullopt},
      {"/dev/hidraw1a", std::nullopt},
      {"/dev/hidraw/1", std::nullopt},
      {"/dev/usb/hiddev0", std::nullopt},
      {"/dev/hidraw4294967296", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [path, expected] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(HidrawNumber(path), expected);
  }
}

}  // namespace
}  // namespace tavio
