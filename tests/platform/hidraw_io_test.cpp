#include "platform/linux/hidraw_io.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>
#include <vector>

#include "support/hex.h"

namespace tavio {
namespace {

using test::Hex;
using test::ToHex;

// A datagram pair keeps report boundaries the way a hidraw node does.
class ReportPipe : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2] = {-1, -1};
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
    port_ = fds[0];
    device_ = fds[1];
  }
  void TearDown() override {
    if (port_ >= 0) ::close(port_);
    CloseDevice();
  }
  void CloseDevice() {
    if (device_ >= 0) ::close(device_);
    device_ = -1;
  }
  void DeviceSends(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(::write(device_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  std::vector<uint8_t> DeviceReceives() {
    std::array<uint8_t, 256> buffer{};
    const ssize_t n = ::recv(device_, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n < 0) return {};
    return {buffer.begin(), buffer.begin() + n};
  }

  int port_ = -1;
  int device_ = -1;
};

struct ReadCase {
  const char* name;
  bool uses_report_ids;
  std::string sent;
  size_t span_size;      // the report span is the start of an 8-byte buffer
  std::string expected;  // the whole 8-byte buffer after the read
};

TEST_F(ReportPipe, ReadPlacesReportInWindowsLayout) {
  const std::vector<ReadCase> cases = {
      {"NumberedShortReport", true, "02 11 22 33", 6, "02 11 22 33 00 00 EE EE"},
      {"UnnumberedGetsZeroId", false, "11 22 33", 6, "00 11 22 33 00 00 EE EE"},
      {"NumberedExactFit", true, "02 A1 A2 A3 A4 A5", 6, "02 A1 A2 A3 A4 A5 EE EE"},
      {"NumberedLongerThanSpan", true, "02 01 02 03 04 05 06 07", 4, "02 01 02 03 EE EE EE EE"},
      {"UnnumberedLongerThanSpan", false, "A1 A2 A3 A4 A5", 4, "00 A1 A2 A3 EE EE EE EE"},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceSends(Hex(c.sent));
    std::array<uint8_t, 8> buffer;
    buffer.fill(0xEE);
    int error = 0;
    EXPECT_EQ(ReadHidrawReport(port_, c.uses_report_ids, std::span<uint8_t>(buffer.data(), c.span_size), 0,
                               error),
              HidReadStatus::Ok);
    EXPECT_EQ(ToHex(buffer), ToHex(Hex(c.expected)));
    EXPECT_EQ(error, 0);
  }
}

TEST_F(ReportPipe, ReadsOneReportPerCall) {
  DeviceSends(Hex("02 01"));
  DeviceSends(Hex("02 02 03"));
  std::array<uint8_t, 4> report{};
  int error = 0;
  ASSERT_EQ(ReadHidrawReport(port_, true, report, 0, error), HidReadStatus::Ok);
  EXPECT_EQ(ToHex(report), "02 01 00 00");
  ASSERT_EQ(ReadHidrawReport(port_, true, report, 0, error), HidReadStatus::Ok);
  EXPECT_EQ(ToHex(report), "02 02 03 00");
  EXPECT_EQ(ReadHidrawReport(port_, true, report, 0, error), HidReadStatus::Timeout);
}

TEST_F(ReportPipe, NothingPendingTimesOut) {
  std::array<uint8_t, 4> report{0x02, 0x55, 0x55, 0x55};
  int error = 0;
  EXPECT_EQ(ReadHidrawReport(port_, true, report, 0, error), HidReadStatus::Timeout);
  EXPECT_EQ(error, ETIMEDOUT);
  EXPECT_EQ(ToHex(report), "02 55 55 55");
}

TEST_F(ReportPipe, HangUpIsFailureEvenWithReportQueued) {
  DeviceSends(Hex("02 01 02"));
  CloseDevice();
  std::array<uint8_t, 4> report{};
  int error = 0;
  EXPECT_EQ(ReadHidrawReport(port_, true, report, 0, error), HidReadStatus::Failed);
  EXPECT_EQ(error, ENODEV);
}

TEST_F(ReportPipe, ReadRefusesSpanWithoutRoomForData) {
  std::array<uint8_t, 1> one{0x7F};
  int error = 0;
  EXPECT_EQ(ReadHidrawReport(port_, false, one, 0, error), HidReadStatus::Failed);
  EXPECT_EQ(error, EINVAL);
  EXPECT_EQ(one[0], 0x7F);
  error = 0;
  EXPECT_EQ(ReadHidrawReport(port_, true, std::span<uint8_t>(), 0, error), HidReadStatus::Failed);
  EXPECT_EQ(error, EINVAL);
}

struct WriteCase {
  const char* name;
  bool uses_report_ids;
  std::string report;
  std::string expected;  // what reaches the node
};

TEST_F(ReportPipe, WriteSendsWholeReport) {
  const std::vector<WriteCase> cases = {
      {"NumberedAsGiven", true, "01 AA BB CC", "01 AA BB CC"},
      {"UnnumberedIdBecomesZero", false, "01 AA BB CC", "00 AA BB CC"},
      {"UnnumberedZeroKept", false, "00 AA BB", "00 AA BB"},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> report = Hex(c.report);
    int error = 0;
    EXPECT_TRUE(WriteHidrawReport(port_, c.uses_report_ids, report, error));
    EXPECT_EQ(ToHex(DeviceReceives()), ToHex(Hex(c.expected)));
    EXPECT_EQ(ToHex(report), ToHex(Hex(c.report)));
  }
}

TEST_F(ReportPipe, WriteOfNothingFails) {
  int error = 0;
  EXPECT_FALSE(WriteHidrawReport(port_, true, std::span<const uint8_t>(), error));
  EXPECT_EQ(error, EINVAL);
  EXPECT_TRUE(DeviceReceives().empty());
}

TEST(HidrawIo, ClosedDescriptorFails) {
  std::array<uint8_t, 4> report{};
  int error = 0;
  EXPECT_FALSE(WriteHidrawReport(-1, true, report, error));
  EXPECT_EQ(error, EBADF);
}

}  // namespace
}  // namespace tavio
