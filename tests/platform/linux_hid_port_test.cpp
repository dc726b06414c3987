#include "platform/linux/linux_hid_port.h"

#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "platform/linux/device_ids.h"

namespace tavio {
namespace {

TEST(LinuxHidPort, ListsOnlyHidrawNodesInNumberOrder) {
  LinuxHidPort port;
  std::vector<HidInterface> found = {{"stale", 1, 2}};
  ASSERT_TRUE(port.ListInterfaces(found));
  // This machine may have no HID device at all; whatever is listed must be a
  // hidraw node, in ascending number order.
  uint32_t previous = 0;
  for (size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE(found[i].path);
    const auto number = HidrawNumber(found[i].path);
    ASSERT_TRUE(number.has_value());
    EXPECT_EQ(found[i].path.rfind("/dev/hidraw", 0), 0u);
    if (i > 0) {
      EXPECT_GT(*number, previous);
    }
    previous = *number;
  }
}

struct OpenCase {
  const char* path;
  HidOpenStatus status;
  uint32_t error;
};

TEST(LinuxHidPort, OpenFailuresKeepHandleInvalid) {
  const std::vector<OpenCase> cases = {
      {"/nonexistent/hidraw0", HidOpenStatus::Failed, ENOENT},
      {"/", HidOpenStatus::Failed, EISDIR},
  };
  LinuxHidPort port;
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.path);
    HidHandle handle = 7;
    EXPECT_EQ(port.Open(c.path, handle), c.status);
    EXPECT_EQ(handle, kInvalidHidHandle);
    EXPECT_EQ(port.LastError(), c.error);
  }
}

TEST(LinuxHidPort, ReadOnlyNodeIsAccessDenied) {
  // sysfs refuses write access to a read-only attribute even to root.
  const char* path = "/sys/kernel/uevent_seqnum";
  struct statvfs fs {};
  if (::access(path, F_OK) != 0 || ::statvfs(path, &fs) != 0 || (fs.f_flag & ST_RDONLY) != 0) {
    GTEST_SKIP() << "no writable sysfs here";
  }
  LinuxHidPort port;
  HidHandle handle = 7;
  EXPECT_EQ(port.Open(path, handle), HidOpenStatus::AccessDenied);
  EXPECT_EQ(handle, kInvalidHidHandle);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(EACCES));
}

TEST(LinuxHidPort, NodeWithoutDescriptorHasNoReportLengths) {
  LinuxHidPort port;
  HidHandle handle = kInvalidHidHandle;
  ASSERT_EQ(port.Open("/dev/null", handle), HidOpenStatus::Ok);
  ASSERT_NE(handle, kInvalidHidHandle);

  uint32_t input_length = 11;
  uint32_t output_length = 22;
  EXPECT_FALSE(port.GetReportLengths(handle, input_length, output_length));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ENOTTY));
  EXPECT_EQ(input_length, 11u);
  EXPECT_EQ(output_length, 22u);

  // Without a layout no report moves either way.
  std::array<uint8_t, 4> report{1, 2, 3, 4};
  EXPECT_FALSE(port.WriteReport(handle, report));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ENOTTY));
  EXPECT_EQ(port.ReadReport(handle, report, 0), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ENOTTY));

  port.Close(handle);
  EXPECT_FALSE(port.GetReportLengths(handle, input_length, output_length));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(EBADF));
}

TEST(LinuxHidPort, UnknownHandleIsBadDescriptor) {
  LinuxHidPort port;
  std::array<uint8_t, 4> report{};
  const HidHandle never_opened = 4242;
  EXPECT_EQ(port.ReadReport(never_opened, report, 0), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(EBADF));
  EXPECT_FALSE(port.WriteReport(kInvalidHidHandle, report));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(EBADF));
  port.Close(never_opened);  // must not touch a descriptor the port does not own
}

}  // namespace
}  // namespace tavio
