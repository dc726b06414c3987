// Reports through a hidraw-like descriptor in the Windows layout, over a
// datagram socket pair that keeps report boundaries as a hidraw node does,
// and the listing of hidraw nodes.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <optional>

#include "platform/linux/device_ids.h"
#include "platform/linux/hidraw_io.h"
#include "platform/linux/linux_hid_port.h"
#include "support/hex.h"

namespace tavio {
namespace {

using test::Hex;
using test::ToHex;

TEST(Hidraw, ReportsInTheWindowsLayout) {
  int fds[2] = {-1, -1};  // the port's end, the device's end
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
  int error = 0;
  // Out: whole, an unnumbered report's ID byte going out as 0; nothing is no report.
  for (const bool numbered : {true, false}) {
    EXPECT_TRUE(WriteHidrawReport(fds[0], numbered, Hex("01 AA BB CC"), error));
    std::array<uint8_t, 6> got{};
    EXPECT_EQ(::recv(fds[1], got.data(), got.size(), MSG_DONTWAIT), 4);
    EXPECT_EQ(ToHex(got), numbered ? "01 AA BB CC 00 00" : "00 AA BB CC 00 00");
  }
  EXPECT_FALSE(WriteHidrawReport(fds[0], true, {}, error));
  EXPECT_EQ(error, EINVAL);
  // In: one report per read, an unnumbered one after a zero ID byte. A
  // report shorter or longer than the span fails (EIO) and is used up: it
  // is neither padded nor cut, and the next report reads whole.
  const struct {
    bool numbered;
    const char* sent;
    HidReadStatus status;
    const char* buffer;  // the whole buffer, whose first 6 bytes are the report span
  } cases[] = {
      {true, "02 11 22 33 44 55", HidReadStatus::Ok, "02 11 22 33 44 55 EE EE"},
      {false, "11 22 33 44 55", HidReadStatus::Ok, "00 11 22 33 44 55 EE EE"},
      {true, "02 11 22 33", HidReadStatus::Failed, nullptr},
      {false, "11 22 33", HidReadStatus::Failed, nullptr},
      {true, "02 11 22 33 44", HidReadStatus::Failed, nullptr},
      {true, "02 01 02 03 04 05 06", HidReadStatus::Failed, nullptr},
      {false, "A1 A2 A3 A4 A5 A6", HidReadStatus::Failed, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sent);
    const std::vector<uint8_t> sent = Hex(c.sent);
    ASSERT_EQ(::write(fds[1], sent.data(), sent.size()), static_cast<ssize_t>(sent.size()));
    std::array<uint8_t, 8> buffer;
    buffer.fill(0xEE);
    error = 0;
    EXPECT_EQ(ReadHidrawReport(fds[0], c.numbered, std::span(buffer).first(6), 0, error), c.status);
    if (c.buffer != nullptr) {
      EXPECT_EQ(ToHex(buffer), c.buffer);
    } else {
      EXPECT_EQ(error, EIO);
      EXPECT_EQ(ToHex(buffer), "EE EE EE EE EE EE EE EE");
    }
    EXPECT_EQ(ReadHidrawReport(fds[0], c.numbered, buffer, 0, error), HidReadStatus::Timeout);
    EXPECT_EQ(error, ETIMEDOUT);
  }
  // Hung up: a failure even with a report queued.
  EXPECT_EQ(::write(fds[1], "\x02\x01", 2), 2);
  ::close(fds[1]);
  std::array<uint8_t, 4> report{};
  EXPECT_EQ(ReadHidrawReport(fds[0], true, report, 0, error), HidReadStatus::Failed);
  EXPECT_EQ(error, ENODEV);
  ::close(fds[0]);
}

TEST(LinuxHidPort, ListsOnlyHidrawNodesInNumberOrder) {
  LinuxHidPort port;
  std::vector<HidInterface> found = {{"stale", 1, 2}};
  ASSERT_TRUE(port.ListInterfaces(found));
  // This machine may have no HID device at all; whatever is listed is a hidraw node.
  for (size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].path.rfind("/dev/hidraw", 0), 0u) << found[i].path;
    EXPECT_TRUE(HidrawNumber(found[i].path) > (i == 0 ? std::optional<uint32_t>() : HidrawNumber(found[i - 1].path)))
        << found[i].path;
  }
}

}  // namespace
}  // namespace tavio
