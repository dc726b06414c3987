// The Linux back end end to end on mocked hidraw nodes: udev listing, the
// descriptor ioctls, reports in both layouts, time-outs, unplugs and the
// udev monitor, with the simulated unit behind each node.

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <thread>

#include "core/link/protocol.h"
#include "core/link/transfer.h"
#include "platform/linux/linux_hid_port.h"
#include "platform/linux/udev_monitor.h"
#include "platform/umockdev/mock_hid_bus.h"
#include "support/fake_sleeper.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

MockNode Unit(std::string name, uint16_t product_id = kProductLinkbox) {
  MockNode node;
  node.name = std::move(name);
  node.product_id = product_id;
  node.unit.product_id = product_id;
  return node;
}

MockNode Foreign(std::string name, uint16_t vendor_id, uint16_t product_id) {
  MockNode node = Unit(std::move(name), product_id);
  node.vendor_id = vendor_id;
  return node;
}

std::vector<std::string> Requests(const sim::SimUnit& unit) {
  std::vector<std::string> out;
  for (const sim::TranscriptEntry& e : unit.Transcript()) {
    if (e.direction == sim::ReportDirection::ToUnit) out.push_back(ToHex(e.bytes));
  }
  return out;
}

class MockedPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = MockHidBus::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "mocked hidraw nodes unavailable: " << why;
    bus = std::make_unique<MockHidBus>();
    link.port = &port;
    link.sleeper = &sleeper;
  }
  void TearDown() override { CloseUsbLink(link); }

  CommErrorReporter Reporter() {
    return [this](const CommError& e) { errors.push_back(e); };
  }
  // Opens the unit and forgets the identification traffic.
  void Connect() {
    ASSERT_EQ(OpenUsbLink(link), kResultOk);
    for (const std::string& name : plugged) bus->Unit(name).ClearTranscript();
  }
  sim::SimUnit& Plug(MockNode node) {
    plugged.push_back(node.name);
    return bus->Plug(std::move(node));
  }

  std::unique_ptr<MockHidBus> bus;
  LinuxHidPort port;
  FakeSleeper sleeper;
  UsbLink link;
  std::vector<CommError> errors;
  std::vector<std::string> plugged;
};

TEST_F(MockedPortTest, ListsEveryNodeInNumberOrderAndOpensTheFirstUnit) {
  sim::SimUnit& puck = Plug(Unit("hidraw10", kProductLinkpuck));
  Plug(Foreign("hidraw3", 0x1234, kProductLinkbox));
  Plug(Foreign("hidraw7", kUnitVendorId, 3));
  sim::SimUnit& box = Plug(Unit("hidraw2"));

  std::vector<HidInterface> listed = {{"stale", 1, 2}};
  ASSERT_TRUE(port.ListInterfaces(listed));
  std::vector<std::string> seen;
  for (const HidInterface& hid : listed) {
    char ids[16];
    std::snprintf(ids, sizeof ids, " %04X:%04X", hid.vendor_id, hid.product_id);
    seen.push_back(hid.path + ids);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"/dev/hidraw2 7A3E:0002", "/dev/hidraw3 1234:0002",
                                            "/dev/hidraw7 7A3E:0003", "/dev/hidraw10 7A3E:0001"}));

  ASSERT_EQ(OpenUsbLink(link), kResultOk);
  EXPECT_EQ(link.device_path, "/dev/hidraw2");
  EXPECT_EQ(link.info.unit_product_id, kProductLinkbox);
  EXPECT_EQ(Requests(box).size(), 3u);  // the identification
  EXPECT_TRUE(puck.Transcript().empty());
  // Foreign nodes are never opened, so their descriptors are never asked for.
  EXPECT_EQ(bus->IoctlLog(), (std::vector<std::string>{"hidraw2 HIDIOCGRDESCSIZE", "hidraw2 HIDIOCGRDESC 33"}));
}

TEST_F(MockedPortTest, OnlyOtherDevicesMeansNoUnit) {
  Plug(Foreign("hidraw0", 0x1234, kProductLinkbox));
  Plug(Foreign("hidraw1", kUnitVendorId, 3));
  EXPECT_EQ(OpenUsbLink(link), kResultNoUnit);
  EXPECT_FALSE(IsConnected(link));
  EXPECT_EQ(link.device_path, std::nullopt);
  EXPECT_TRUE(bus->IoctlLog().empty());
}

TEST_F(MockedPortTest, ReadsAndWritesTheBlockInBothReportLayouts) {
  std::vector<std::vector<std::string>> traffic;
  for (const bool numbered : {true, false}) {
    SCOPED_TRACE(numbered ? "numbered reports" : "no report IDs");
    MockNode node = Unit(numbered ? "hidraw0" : "hidraw1");
    node.numbered = numbered;
    sim::SimUnit& unit = Plug(node);
    Connect();
    EXPECT_EQ(link.input_report_length, 60u);
    EXPECT_EQ(link.output_report_length, 60u);

    ConfigImage image;
    ASSERT_EQ(ReadConfiguration(link, image, Reporter()), 92);
    EXPECT_EQ(ToHex(image.bytes), ToHex(unit.Eeprom().first(92)));
    image.bytes[0x10] ^= 0x5A;
    SealImage(image, *StoreChecksum(kFamilyBrenta, kParamVersion92B));
    ASSERT_TRUE(WriteConfiguration(link, image, Reporter()));
    EXPECT_EQ(ToHex(unit.Eeprom().first(92)), ToHex(image.bytes));
    EXPECT_TRUE(errors.empty());
    traffic.push_back(Requests(unit));
    CloseUsbLink(link);
    bus->Unplug(node.name);
  }
  // The unit cannot tell the layouts apart: the same reports reach it.
  EXPECT_EQ(traffic[0], traffic[1]);
  ASSERT_FALSE(traffic[0].empty());
  EXPECT_EQ(traffic[0][0].substr(0, 17), "01 1D 08 00 04 00");
}

TEST_F(MockedPortTest, AFailingOrUnusableDescriptorIsACapabilitiesFailure) {
  struct Case {
    const char* what;
    int size_errno, descriptor_errno;
    std::vector<uint8_t> descriptor;
    uint32_t last_error;
  };
  const Case cases[] = {
      {"size ioctl fails", EIO, 0, {}, EIO},
      {"descriptor ioctl fails", 0, EPERM, {}, EPERM},
      {"unbalanced descriptor", 0, 0, Hex("06 00 FF 09 01 A1 01 75 08 95 3B 81 02"), EINVAL},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MockNode node = Unit("hidraw" + std::to_string(n++));
    node.descriptor_size_errno = c.size_errno;
    node.descriptor_errno = c.descriptor_errno;
    node.descriptor = c.descriptor;
    sim::SimUnit& unit = Plug(node);
    EXPECT_EQ(OpenUsbLink(link), kResultNotConnected);
    EXPECT_EQ(LinkLastError(link), c.last_error);
    EXPECT_TRUE(unit.Transcript().empty());
    CloseUsbLink(link);
    bus->Unplug(node.name);
  }
}

TEST_F(MockedPortTest, AUnitThatDoesNotAnswerTimesOut) {
  sim::SimUnit& unit = Plug(Unit("hidraw0"));
  Connect();
  unit.faults().no_answer.push_back(sim::Trigger::OnCommand(cmd::kReadMemory));
  // The port's own wait, kept short here.
  Report request{kOutputReportId, cmd::kReadMemory};
  ASSERT_TRUE(port.WriteReport(link.handle, request));
  Report answer{};
  EXPECT_EQ(port.ReadReport(link.handle, answer, 50), HidReadStatus::Timeout);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ETIMEDOUT));
  // Through the link: a failed read, after the link's full wait.
  ConfigImage image;
  EXPECT_EQ(ReadConfiguration(link, image, Reporter()), 0);
  EXPECT_EQ(errors, (std::vector<CommError>{{kResultReadFailed, sid::kCommErrorCaption, sid::kReadEepromFailed,
                                              static_cast<uint32_t>(ETIMEDOUT)}}));
}

// A report of another length than the node's input report is a failed read
// (EIO), never padded with zeros or cut into the block: the readout fails
// and no byte of it reaches the image.
TEST_F(MockedPortTest, AShortOrLongReportIsAFailedRead) {
  const struct {
    const char* what;
    bool numbered;
    uint32_t sent_length;  // 0: the unit's answer cut to half the report
  } cases[] = {
      {"cut, numbered", true, 0},  {"cut, no report IDs", false, 0},
      {"one byte short", true, 59}, {"one byte long", true, 61}, {"one byte long, no report IDs", false, 61},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MockNode node = Unit("hidraw" + std::to_string(n++));
    node.numbered = c.numbered;
    node.descriptor = UnitReportDescriptor(c.numbered, kReportSize, kReportSize);
    sim::SimUnit& unit = Plug(node);
    errors.clear();
    Connect();
    if (c.sent_length == 0) {
      unit.faults().cut_answer.push_back(sim::Trigger::OnCommand(cmd::kReadMemory, 3));  // 1: identification
    } else {
      unit.config().input_report_length = c.sent_length;
    }
    ConfigImage image;
    image.bytes.fill(0xEE);
    EXPECT_EQ(ReadConfiguration(link, image, Reporter()), 0);
    EXPECT_EQ(errors, (std::vector<CommError>{{kResultReadFailed, sid::kCommErrorCaption, sid::kReadEepromFailed,
                                                static_cast<uint32_t>(EIO)}}));
    // The first piece came whole when only the second was cut.
    const size_t whole = c.sent_length == 0 ? 4 : 0;
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + whole, unit.Eeprom().begin()));
    EXPECT_EQ(std::count(image.bytes.begin() + whole, image.bytes.end(), 0xEE), kImageSize - whole);
    CloseUsbLink(link);
    bus->Unplug(node.name);
  }
}

TEST_F(MockedPortTest, AnUnplugFailsTheReadoutAndTheWrite) {
  // Gone while an answer is pending: the read sees the hang-up. Gone between
  // two exchanges: the next request cannot be written.
  struct Case {
    const char* what;
    bool write;
    bool answer_pending;
    uint32_t exchange;  // counted from the first of the readout or the write
    int32_t code;
    StringId text;
  };
  const Case cases[] = {
      {"readout, second piece pending", false, true, 1, kResultReadFailed, sid::kReadEepromFailed},
      {"write, first block pending", true, true, 4, kResultReadFailed, sid::kWriteBlockFailed},
      {"write, after the erase", true, false, 3, kResultWriteFailed, sid::kAssignAddressFailed},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = "hidraw" + std::to_string(n++);
    sim::SimUnit& unit = Plug(Unit(name));
    errors.clear();
    Connect();
    ConfigImage image;
    if (c.write) {
      ASSERT_EQ(ReadConfiguration(link, image, Reporter()), 92);
    }
    const uint32_t at = unit.ExchangeCount() + c.exchange;
    if (c.answer_pending) {
      unit.faults().unplug_during_exchange = at;
    } else {
      unit.faults().unplug_after_exchanges = at;
    }
    if (c.write) {
      EXPECT_FALSE(WriteConfiguration(link, image, Reporter()));
    } else {
      EXPECT_EQ(ReadConfiguration(link, image, Reporter()), 0);
    }
    EXPECT_EQ(errors, (std::vector<CommError>{{c.code, sid::kCommErrorCaption, c.text,
                                                static_cast<uint32_t>(ENODEV)}}));
    CloseUsbLink(link);
    bus->Unplug(name);
  }
}

TEST_F(MockedPortTest, AnUnplugEndsAPendingRead) {
  sim::SimUnit& unit = Plug(Unit("hidraw0"));
  Connect();
  unit.faults().no_answer.push_back(sim::Trigger::OnCommand(cmd::kReadMemory));
  Report request{kOutputReportId, cmd::kReadMemory};
  ASSERT_TRUE(port.WriteReport(link.handle, request));
  // Pulled while the read waits (or just before): a failure, never the time-out.
  std::thread pull([this] { bus->Unplug("hidraw0"); });
  Report answer{};
  const HidReadStatus status = port.ReadReport(link.handle, answer, 10000);
  pull.join();
  EXPECT_EQ(status, HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ENODEV));
  EXPECT_FALSE(port.WriteReport(link.handle, request));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ENODEV));
}

// Browsers read the descriptor from the HID parent's sysfs file, not
// through the node; it must hold the same bytes as the ioctls give.
TEST_F(MockedPortTest, TheHidParentHoldsTheDescriptorInSysfs) {
  MockNode odd = Unit("hidraw6");
  odd.descriptor = Hex("06 00 FF 09 01 A1 01 75 08 95 07 81 02 C0");
  const std::vector<uint8_t> expected[] = {UnitReportDescriptor(true), UnitReportDescriptor(false), odd.descriptor};
  Plug(Unit("hidraw4"));
  MockNode unnumbered = Unit("hidraw5", kProductLinkpuck);
  unnumbered.numbered = false;
  Plug(unnumbered);
  Plug(odd);
  const char* parents[] = {"/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/0003:7A3E:0002.0001",
                           "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:7A3E:0001.0002",
                           "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:7A3E:0002.0003"};
  for (size_t i = 0; i < 3; ++i) {
    std::ifstream file(std::string(parents[i]) + "/report_descriptor", std::ios::binary);
    ASSERT_TRUE(file.is_open()) << parents[i];
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_EQ(ToHex(bytes), ToHex(expected[i])) << parents[i];
  }
}

TEST_F(MockedPortTest, ArrivalAndRemovalReachTheUdevMonitor) {
  // The monitor's socket lives in the testbed, so it comes after the bus.
  std::unique_ptr<UdevMonitor> monitor = UdevMonitor::Create();
  ASSERT_NE(monitor, nullptr);
  EXPECT_EQ(monitor->ReadNotice(), std::nullopt);
  Plug(Unit("hidraw4"));
  Plug(Foreign("hidraw5", 0x1234, 1));
  bus->Unplug("hidraw4");
  std::vector<std::string> seen;
  while (std::optional<DeviceNotice> notice = monitor->ReadNotice()) {
    char event[16];
    std::snprintf(event, sizeof event, "%04X %u ", notice->event, notice->device_type);
    seen.push_back(event + notice->device_name);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"8000 5 /dev/hidraw4", "8000 5 /dev/hidraw5", "8004 5 /dev/hidraw4"}));
}

}  // namespace
}  // namespace tavio::test
