// Report lengths, paths and notices of the WebHID port, from what the
// browser lists.

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

#include "platform/web/web_hid_bridge.h"
#include "platform/web/web_notice.h"
#include "platform/web/web_report_layout.h"

namespace tavio {
namespace {

constexpr auto kIn = WebHidReportKind::Input;
constexpr auto kOut = WebHidReportKind::Output;
constexpr auto kFeature = WebHidReportKind::Feature;

TEST(WebReportLayout, LengthsAsTheOtherBackEndsCountThem) {
  const std::optional<WebHidLayout> refused;
  const std::tuple<const char*, std::vector<WebHidReport>, std::optional<WebHidLayout>> cases[] = {
      // The unit: input report 2 and output report 1 of 59 bytes each.
      {"unit, numbered", {{kIn, 2, 59 * 8}, {kOut, 1, 59 * 8}}, WebHidLayout{true, 60, 60}},
      {"unit, unnumbered", {{kIn, 0, 59 * 8}, {kOut, 0, 59 * 8}}, WebHidLayout{false, 60, 60}},
      // A feature report counts towards neither length.
      {"large feature report", {{kFeature, 3, 255 * 8}, {kIn, 2, 59 * 8}, {kOut, 1, 59 * 8}},
       WebHidLayout{true, 60, 60}},
      // The largest input decides; 3 + 5 + 32 bits of report 3 make 5 bytes.
      {"several inputs", {{kIn, 1, 64}, {kIn, 2, 160}, {kIn, 3, 40}}, WebHidLayout{true, 21, 0}},
      // Bits round up to whole bytes: 13 bits are 2 bytes.
      {"odd bits", {{kIn, 0, 13}, {kOut, 0, 5}}, WebHidLayout{false, 3, 2}},
      // A report whose items sit in a collection and in its child adds up.
      {"report split over collections", {{kIn, 2, 30 * 8}, {kIn, 2, 29 * 8}, {kOut, 1, 59 * 8}},
       WebHidLayout{true, 60, 60}},
      {"no reports", {}, WebHidLayout{false, 0, 0}},
      {"largest accepted", {{kIn, 0, 16384 * 8}}, WebHidLayout{false, 16385, 0}},
      {"one report too large", {{kIn, 0, 16384 * 8 + 1}}, refused},
      {"split report too large", {{kOut, 1, 16384 * 8}, {kOut, 1, 1}}, refused},
      {"feature report too large", {{kFeature, 1, 16384 * 8 + 1}}, refused},
      {"numbered and unnumbered mixed", {{kIn, 0, 8}, {kOut, 1, 8}}, refused},
      {"mixed through a feature report", {{kIn, 2, 8}, {kFeature, 0, 8}}, refused},
  };
  for (const auto& [what, reports, expected] : cases) {
    EXPECT_EQ(LayoutFromReports(reports), expected) << what;
  }
}

TEST(WebHidPath, OnlyTheBridgesOwnPathsNameADevice) {
  EXPECT_EQ(WebHidPath(0), "webhid:0");
  EXPECT_EQ(WebHidPath(4294967295u), "webhid:4294967295");
  const std::tuple<const char*, std::optional<uint32_t>> cases[] = {
      {"webhid:0", 0u},          {"webhid:17", 17u},     {"webhid:4294967295", 4294967295u},
      {"webhid:4294967296", {}}, {"webhid:", {}},        {"webhid:-1", {}},
      {"webhid:+1", {}},         {"webhid: 1", {}},      {"webhid:1x", {}},
      {"WEBHID:1", {}},          {"/dev/hidraw0", {}},   {"", {}},
  };
  for (const auto& [path, id] : cases) EXPECT_EQ(WebHidIdOfPath(path), id) << path;
}

TEST(WebHidNotice, ConnectAndDisconnectAreArrivalAndRemoval) {
  const std::tuple<const char*, const char*, std::optional<uint32_t>> cases[] = {
      {"connect", "webhid:3", kDeviceArrival},
      {"disconnect", "webhid:3", kDeviceRemoveComplete},
      {"inputreport", "webhid:3", std::nullopt},
      {"", "webhid:3", std::nullopt},
      {"disconnect", "/dev/hidraw3", std::nullopt},
  };
  for (const auto& [type, path, event] : cases) {
    const std::optional<DeviceNotice> notice = WebHidNotice(type, path);
    ASSERT_EQ(notice.has_value(), event.has_value()) << type << " " << path;
    if (!notice) continue;
    EXPECT_EQ(notice->event, *event) << type;
    EXPECT_EQ(notice->device_type, kDeviceTypeInterface) << type;
    EXPECT_EQ(notice->device_name, path) << type;
  }
}

// The simulated unit's notices take the same way with its own paths.
TEST(WebHidNotice, AnyPathForTheSimulatedUnit) {
  const std::tuple<const char*, const char*, std::optional<uint32_t>> cases[] = {
      {"connect", "/sim/linkbox", kDeviceArrival},
      {"disconnect", "/sim/linkbox", kDeviceRemoveComplete},
      {"disconnect", "webhid:2", kDeviceRemoveComplete},
      {"Connect", "/sim/linkbox", std::nullopt},
      {"connect", "", std::nullopt},
  };
  for (const auto& [type, path, event] : cases) {
    const std::optional<DeviceNotice> notice = DeviceNoticeOf(type, path);
    ASSERT_EQ(notice.has_value(), event.has_value()) << type << " " << path;
    if (!notice) continue;
    EXPECT_EQ(notice->event, *event) << type;
    EXPECT_EQ(notice->device_type, kDeviceTypeInterface) << type;
    EXPECT_EQ(notice->device_name, path) << type;
  }
}

}  // namespace
}  // namespace tavio
