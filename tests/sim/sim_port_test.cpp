// The simulated HID port: listing, plugging, notices, handles, error values.

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

using sim::SimHidPort;

std::vector<std::string> Listed(SimHidPort& port) {
  std::vector<HidInterface> listed;
  EXPECT_TRUE(port.ListInterfaces(listed));
  std::vector<std::string> out;
  for (const HidInterface& i : listed) {
    out.push_back(i.path + " " + std::to_string(i.vendor_id) + ":" + std::to_string(i.product_id));
  }
  return out;
}

struct NoticeLog {
  std::vector<std::string> lines;
  SimHidPort::NoticeCallback Callback() {
    return [this](const DeviceNotice& n) {
      lines.push_back(std::to_string(n.event) + " " + std::to_string(n.device_type) + " " + n.device_name);
    };
  }
};

TEST(SimHidPortTest, PlugAndUnplugAnnounceThemselves) {
  SimHidPort port;
  NoticeLog notices;
  port.SetNoticeCallback(notices.Callback());
  port.AddUnit("/sim/a");
  port.AddForeign("/sim/b", 0x046D, 0xC52B, false);

  EXPECT_TRUE(port.Plug("/sim/b"));
  EXPECT_FALSE(port.Plug("/sim/b"));
  EXPECT_TRUE(port.Unplug("/sim/a"));
  EXPECT_FALSE(port.Unplug("/sim/a"));
  EXPECT_FALSE(port.Unplug("/sim/none"));
  EXPECT_EQ(notices.lines, (std::vector<std::string>{"32768 5 /sim/b", "32772 5 /sim/a"}));

  EXPECT_EQ(Listed(port), std::vector<std::string>{"/sim/b 1133:50475"});
}

TEST(SimHidPortTest, UnpluggingKillsOpenHandlesForGood) {
  SimHidPort port;
  port.AddUnit("/sim/a");
  HidHandle old_handle = kInvalidHidHandle;
  ASSERT_EQ(port.Open("/sim/a", old_handle), HidOpenStatus::Ok);
  const Report request{kOutputReportId, cmd::kUnitStatus};
  ASSERT_TRUE(port.WriteReport(old_handle, request));

  port.Unplug("/sim/a");
  Report answer{};
  EXPECT_EQ(port.ReadReport(old_handle, answer, kResponseTimeoutMs), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), 19u);
  port.Plug("/sim/a");
  EXPECT_FALSE(port.WriteReport(old_handle, request));
  EXPECT_EQ(port.LastError(), 19u);

  HidHandle new_handle = kInvalidHidHandle;
  ASSERT_EQ(port.Open("/sim/a", new_handle), HidOpenStatus::Ok);
  EXPECT_TRUE(port.WriteReport(new_handle, request));
  EXPECT_EQ(port.ReadReport(new_handle, answer, kResponseTimeoutMs), HidReadStatus::Ok);
}

TEST(SimHidPortTest, AVanishedUnitIsAnnouncedLater) {
  SimHidPort port;
  NoticeLog notices;
  port.SetNoticeCallback(notices.Callback());
  port.AddUnit("/sim/a").faults().unplug_during_exchange = 0;
  HidHandle handle = kInvalidHidHandle;
  ASSERT_EQ(port.Open("/sim/a", handle), HidOpenStatus::Ok);
  const Report request{kOutputReportId, cmd::kUnitStatus};
  EXPECT_TRUE(port.WriteReport(handle, request));
  Report answer{};
  EXPECT_EQ(port.ReadReport(handle, answer, kResponseTimeoutMs), HidReadStatus::Failed);

  EXPECT_TRUE(notices.lines.empty());
  EXPECT_EQ(port.PendingNoticeCount(), 1u);
  EXPECT_TRUE(Listed(port).empty());
  port.DeliverPendingNotices();
  port.DeliverPendingNotices();
  EXPECT_EQ(notices.lines, std::vector<std::string>{"32772 5 /sim/a"});
}

TEST(SimHidPortTest, ErrorValues) {
  struct Case {
    const char* name;
    std::function<bool(SimHidPort&)> act;  // true when the call failed as it should
    uint32_t error;
  };
  const auto open_fails = [](const char* path, HidOpenStatus expected) {
    return [=](SimHidPort& p) {
      HidHandle h = kInvalidHidHandle;
      return p.Open(path, h) == expected && h == kInvalidHidHandle;
    };
  };
  const auto opened = [](SimHidPort& p, const char* path) {
    HidHandle h = kInvalidHidHandle;
    p.Open(path, h);
    return h;
  };
  const Case cases[] = {
      {"unknown path", open_fails("/sim/none", HidOpenStatus::Failed), 2},
      {"access denied", open_fails("/sim/held", HidOpenStatus::AccessDenied), 13},
      {"broken unit", open_fails("/sim/broken", HidOpenStatus::Failed), 5},
      {"closed handle",
       [&](SimHidPort& p) {
         const HidHandle h = opened(p, "/sim/unit");
         p.Close(h);
         return !p.WriteReport(h, Report{});
       },
       9},
      {"short write",
       [&](SimHidPort& p) { return !p.WriteReport(opened(p, "/sim/unit"), std::array<uint8_t, 59>{}); }, 22},
      {"short read",
       [&](SimHidPort& p) {
         std::array<uint8_t, 59> r{};
         return p.ReadReport(opened(p, "/sim/unit"), r, 0) == HidReadStatus::Failed;
       },
       22},
      {"read without a request",
       [&](SimHidPort& p) {
         Report r{};
         return p.ReadReport(opened(p, "/sim/unit"), r, 0) == HidReadStatus::Timeout;
       },
       110},
      {"listing fails",
       [](SimHidPort& p) {
         p.SetListFails(true);
         std::vector<HidInterface> l;
         return !p.ListInterfaces(l);
       },
       5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimHidPort port;
    port.AddUnopenable("/sim/held", kUnitVendorId, kProductLinkbox, HidOpenStatus::AccessDenied);
    port.AddUnit("/sim/broken").faults().open_status = HidOpenStatus::Failed;
    port.AddUnit("/sim/unit");
    EXPECT_TRUE(c.act(port));
    EXPECT_EQ(port.LastError(), c.error);
  }
}

TEST(SimHidPortTest, AForeignDeviceOpensButNeverAnswers) {
  SimHidPort port;
  port.AddForeign("/sim/mouse", 0x7A3E, 3);
  HidHandle h = kInvalidHidHandle;
  ASSERT_EQ(port.Open("/sim/mouse", h), HidOpenStatus::Ok);
  uint32_t in = 0, out = 0;
  ASSERT_TRUE(port.GetReportLengths(h, in, out));
  EXPECT_EQ(in, 64u);
  EXPECT_EQ(out, 64u);
  std::array<uint8_t, 64> report{};
  EXPECT_TRUE(port.WriteReport(h, report));
  EXPECT_EQ(port.ReadReport(h, report, kResponseTimeoutMs), HidReadStatus::Timeout);
}

}  // namespace
}  // namespace tavio::test
