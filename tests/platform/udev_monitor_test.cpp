#include "platform/linux/udev_monitor.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace tavio {
namespace {

TEST(UdevMonitor, ActionsMapToNoticeEvents) {
  const std::vector<std::pair<std::string_view, uint32_t>> cases = {
      {"add", 0x8000},    {"remove", 0x8004}, {"change", 0x0007}, {"bind", 0x0007},
      {"unbind", 0x0007}, {"move", 0x0007},   {"", 0x0007},       {"ADD", 0x0007},
  };
  for (const auto& [action, event] : cases) {
    SCOPED_TRACE(action);
    EXPECT_EQ(NoticeEventForAction(action), event);
  }
}

TEST(UdevMonitor, CreatedMonitorHasDescriptorAndNothingPending) {
  const auto monitor = UdevMonitor::Create();
  ASSERT_NE(monitor, nullptr);
  EXPECT_GE(monitor->Fd(), 0);
  // Returns at once on an empty socket instead of blocking the caller.
  EXPECT_FALSE(monitor->ReadNotice().has_value());
}

}  // namespace
}  // namespace tavio
