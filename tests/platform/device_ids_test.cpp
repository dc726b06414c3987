// The identifiers udev gives for a hidraw node, and udev's actions as the
// device link's notices.

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "platform/linux/device_ids.h"
#include "platform/linux/udev_monitor.h"

namespace tavio {
namespace {

TEST(DeviceIds, HidIdPropertyGivesVendorAndProduct) {
  const std::pair<std::string_view, std::optional<UsbIds>> cases[] = {
      {"0003:00007A3E:00000002", UsbIds{0x7A3E, 0x0002}},
      {"0003:00007a3e:00000001", UsbIds{0x7A3E, 0x0001}},
      {"3:7A3E:3", UsbIds{0x7A3E, 0x0003}},
      {"0005:0000FFFF:0000FFFF", UsbIds{0xFFFF, 0xFFFF}},
      {"FFFFFFFF:00000000:00000000", UsbIds{0, 0}},
      // Wider than 16 bits, more than eight digits, a field missing or empty, no hex.
      {"0003:00017A3E:00000002", std::nullopt},
      {"0003:00007A3E:00010002", std::nullopt},
      {"0003:000007A3E:00000002", std::nullopt},
      {"000000003:00007A3E:00000002", std::nullopt},
      {"0003:00007A3E", std::nullopt},
      {"0003::00000002", std::nullopt},
      {":00007A3E:00000002", std::nullopt},
      {"0003:00007A3E:", std::nullopt},
      {"0003:00007A3E:00000002:1", std::nullopt},
      {"0003:0x7A3E:00000002", std::nullopt},
      {"0003:00007A3E:0000000G", std::nullopt},
      {"0003:00007A3E: 0000002", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [value, ids] : cases) EXPECT_EQ(ParseHidId(value), ids) << value;
}

TEST(DeviceIds, HidrawNumberOrdersNodesNumerically) {
  const std::pair<std::string_view, std::optional<uint32_t>> cases[] = {
      {"/dev/hidraw0", 0u},          {"/dev/hidraw2", 2u},      {"/dev/hidraw10", 10u},
      {"hidraw7", 7u},               {"/x/hidraw123456789", 123456789u},
      {"/dev/hidraw", std::nullopt}, {"/dev/hidraw1234567890", std::nullopt},
      {"/dev/hidraw1a", std::nullopt}, {"/dev/hidraw-1", std::nullopt}, {"/dev/usb/hiddev0", std::nullopt},
      {"/dev/hidraw0/", std::nullopt}, {"/dev/myhidraw0", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& [path, number] : cases) EXPECT_EQ(HidrawNumber(path), number) << path;
  EXPECT_LT(HidrawNumber("/dev/hidraw2"), HidrawNumber("/dev/hidraw10"));
}

TEST(DeviceIds, UdevActionsBecomeNotices) {
  const std::pair<std::string_view, uint32_t> cases[] = {
      {"add", kDeviceArrival},          {"remove", kDeviceRemoveComplete}, {"change", kDeviceNodesChanged},
      {"bind", kDeviceNodesChanged},    {"unbind", kDeviceNodesChanged},   {"move", kDeviceNodesChanged},
      {"", kDeviceNodesChanged},        {"ADD", kDeviceNodesChanged},      {"add ", kDeviceNodesChanged},
      {"removed", kDeviceNodesChanged},
  };
  for (const auto& [action, event] : cases) EXPECT_EQ(NoticeEventForAction(action), event) << action;
  EXPECT_EQ(kDeviceArrival, 0x8000u);
  EXPECT_EQ(kDeviceRemoveComplete, 0x8004u);
}

}  // namespace
}  // namespace tavio
