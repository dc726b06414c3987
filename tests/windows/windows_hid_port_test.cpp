// The Windows HID port. Report transfers run against the client end of a
// message-mode named pipe, which moves whole reports like a HID device;
// listing runs against whatever HID interfaces SetupAPI finds.

#include "platform/windows/windows_hid_port.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/link/usb_link.h"
#include "platform/platform.h"
#include "platform/windows/wide_text.h"

namespace tavio {
namespace {

std::vector<uint8_t> Pattern(size_t size, uint8_t first) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(first + i);
  return bytes;
}

// The server end of the pipe: the device side of the transfers.
class PipeDevice {
 public:
  PipeDevice() {
    static int counter = 0;
    name_ = L"\\\\.\\pipe\\tavio-hid-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    server_ = CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                               1, 4096, 4096, 0, nullptr);
  }
  ~PipeDevice() { Unplug(); }
  bool Ready() const { return server_ != INVALID_HANDLE_VALUE; }
  std::string Path() const { return *WideToUtf8(name_); }

  // Sends one input report.
  bool Send(const std::vector<uint8_t>& report) {
    DWORD written = 0;
    return WriteFile(server_, report.data(), static_cast<DWORD>(report.size()), &written, nullptr) &&
           written == report.size();
  }
  // The next output report; empty when none is waiting (never blocks).
  std::vector<uint8_t> Receive() {
    DWORD available = 0;
    if (!PeekNamedPipe(server_, nullptr, 0, nullptr, &available, nullptr) || available == 0) return {};
    std::vector<uint8_t> report(available);
    DWORD read = 0;
    if (!ReadFile(server_, report.data(), available, &read, nullptr)) return {};
    report.resize(read);
    return report;
  }
  // Whether the client end is still open.
  bool ClientOpen() {
    DWORD available = 0;
    return PeekNamedPipe(server_, nullptr, 0, nullptr, &available, nullptr) != FALSE;
  }
  void Unplug() {
    if (server_ != INVALID_HANDLE_VALUE) CloseHandle(server_);
    server_ = INVALID_HANDLE_VALUE;
  }

 private:
  std::wstring name_;
  HANDLE server_ = INVALID_HANDLE_VALUE;
};

class PipeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device.Ready()) << GetLastError();
    ASSERT_EQ(port.Open(device.Path(), handle), HidOpenStatus::Ok) << port.LastError();
    ASSERT_NE(handle, kInvalidHidHandle);
    // Reads take one message at a time, as a HID read takes one report.
    DWORD mode = PIPE_READMODE_MESSAGE;
    ASSERT_TRUE(SetNamedPipeHandleState(reinterpret_cast<HANDLE>(handle), &mode, nullptr, nullptr)) << GetLastError();
  }

  PipeDevice device;
  WindowsHidPort port;
  HidHandle handle = kInvalidHidHandle;
};

TEST_F(PipeTest, WritesEachReportWhole) {
  for (const size_t size : {size_t{60}, size_t{9}, size_t{1}}) {
    SCOPED_TRACE(size);
    const std::vector<uint8_t> report = Pattern(size, 0x01);
    ASSERT_TRUE(port.WriteReport(handle, report)) << port.LastError();
    EXPECT_EQ(device.Receive(), report);
  }
}

TEST_F(PipeTest, ReadsOneWholeReport) {
  const std::vector<uint8_t> sent = Pattern(60, 0x02);
  ASSERT_TRUE(device.Send(sent));
  std::array<uint8_t, 60> report{};
  ASSERT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Ok) << port.LastError();
  EXPECT_EQ(std::vector<uint8_t>(report.begin(), report.end()), sent);
}

TEST_F(PipeTest, ShortReportFailsAndLeavesTheRestAlone) {
  ASSERT_TRUE(device.Send(Pattern(10, 0x40)));
  std::array<uint8_t, 60> report;
  report.fill(0xEE);
  EXPECT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_BAD_LENGTH));
  for (size_t i = 10; i < report.size(); ++i) EXPECT_EQ(report[i], 0xEE) << i;
}

TEST_F(PipeTest, LongReportNeverWritesPastTheBuffer) {
  ASSERT_TRUE(device.Send(Pattern(100, 0x10)));
  std::array<uint8_t, 64> buffer;
  buffer.fill(0xEE);
  EXPECT_EQ(port.ReadReport(handle, std::span<uint8_t>(buffer.data(), 60), 1000), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_MORE_DATA));
  for (size_t i = 60; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xEE) << i;
}

TEST_F(PipeTest, TimeOutCancelsTheReadAndLosesNoReport) {
  std::array<uint8_t, 8> report{};
  EXPECT_EQ(port.ReadReport(handle, report, 0), HidReadStatus::Timeout);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_TIMEOUT));

  const std::vector<uint8_t> sent = Pattern(8, 0x80);
  ASSERT_TRUE(device.Send(sent));
  ASSERT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Ok) << port.LastError();
  EXPECT_EQ(std::vector<uint8_t>(report.begin(), report.end()), sent);
}

TEST_F(PipeTest, UnpluggedDeviceFailsBothDirections) {
  device.Unplug();
  std::array<uint8_t, 8> report{};
  EXPECT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_BROKEN_PIPE));
  EXPECT_FALSE(port.WriteReport(handle, Pattern(8, 0)));
  EXPECT_NE(port.LastError(), 0u);
}

TEST_F(PipeTest, NotAHidDeviceHasNoReportLengths) {
  uint32_t input_length = 7;
  uint32_t output_length = 7;
  EXPECT_FALSE(port.GetReportLengths(handle, input_length, output_length));
  EXPECT_NE(port.LastError(), 0u);
  EXPECT_EQ(input_length, 7u);
  EXPECT_EQ(output_length, 7u);
}

TEST_F(PipeTest, CloseReleasesTheDeviceAndForgetsTheHandle) {
  port.Close(handle);
  EXPECT_FALSE(device.ClientOpen());
  EXPECT_FALSE(port.WriteReport(handle, Pattern(4, 0)));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
}

TEST(WindowsHidPort, DestructionClosesWhatIsStillOpen) {
  PipeDevice device;
  ASSERT_TRUE(device.Ready());
  {
    WindowsHidPort port;
    HidHandle handle = kInvalidHidHandle;
    ASSERT_EQ(port.Open(device.Path(), handle), HidOpenStatus::Ok) << port.LastError();
    EXPECT_TRUE(device.ClientOpen());
  }
  EXPECT_FALSE(device.ClientOpen());
}

TEST(WindowsHidPort, HandlesItDidNotOpenAreRefused) {
  WindowsHidPort port;
  const HidHandle stranger = 0x1234;
  std::array<uint8_t, 8> report{};
  uint32_t input_length = 0;
  uint32_t output_length = 0;

  EXPECT_FALSE(port.GetReportLengths(stranger, input_length, output_length));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(port.WriteReport(stranger, report));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(port.ReadReport(stranger, report, 0), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(port.ReadReport(kInvalidHidHandle, report, 0), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
}

struct OpenCase {
  const char* name;
  std::string path;
  HidOpenStatus status;
  DWORD error;
};

std::string TempDirectory() {
  std::array<wchar_t, MAX_PATH + 1> buffer{};
  const DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  std::wstring path(buffer.data(), length);
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return *WideToUtf8(path);
}

TEST(WindowsHidPort, OpenFailures) {
  const OpenCase cases[] = {
      {"empty path", "", HidOpenStatus::Failed, ERROR_INVALID_NAME},
      {"NUL inside the path", std::string("\\\\.\\pipe\\a\0b", 12), HidOpenStatus::Failed, ERROR_INVALID_NAME},
      {"not UTF-8", "\\\\.\\pipe\\\xFF", HidOpenStatus::Failed, ERROR_NO_UNICODE_TRANSLATION},
      {"no such device", "\\\\.\\pipe\\tavio-no-such-device", HidOpenStatus::Failed, ERROR_FILE_NOT_FOUND},
      {"a folder refuses read/write access", TempDirectory(), HidOpenStatus::AccessDenied, ERROR_ACCESS_DENIED},
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.name);
    WindowsHidPort port;
    HidHandle handle = 0x55;
    EXPECT_EQ(port.Open(c.path, handle), c.status);
    EXPECT_EQ(handle, kInvalidHidHandle);
    EXPECT_EQ(port.LastError(), static_cast<uint32_t>(c.error));
  }
}

// "vid_XXXX&pid_YYYY" in a device path, as USB HID interfaces carry it.
bool IdsFromPath(const std::string& path, uint16_t& vendor_id, uint16_t& product_id) {
  std::string lower;
  for (char c : path) lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
  const size_t at = lower.find("vid_");
  if (at == std::string::npos || lower.compare(at + 8, 5, "&pid_") != 0) return false;
  vendor_id = static_cast<uint16_t>(std::stoul(lower.substr(at + 4, 4), nullptr, 16));
  product_id = static_cast<uint16_t>(std::stoul(lower.substr(at + 13, 4), nullptr, 16));
  return true;
}

TEST(WindowsHidPort, ListsHidInterfacesWithTheirIds) {
  WindowsHidPort port;
  std::vector<HidInterface> interfaces(1);
  interfaces[0].path = "left over";
  ASSERT_TRUE(port.ListInterfaces(interfaces)) << port.LastError();
  for (const HidInterface& hid : interfaces) {
    SCOPED_TRACE(hid.path);
    EXPECT_EQ(hid.path.rfind("\\\\?\\", 0), 0u);
    uint16_t vendor_id = 0;
    uint16_t product_id = 0;
    if (IdsFromPath(hid.path, vendor_id, product_id)) {
      EXPECT_EQ(hid.vendor_id, vendor_id);
      EXPECT_EQ(hid.product_id, product_id);
    }
  }
}

bool IsUnit(const HidInterface& hid) {
  return hid.vendor_id == kUnitVendorId && (hid.product_id == kProductLinkpuck || hid.product_id == kProductLinkbox);
}

// The core's search over the real enumeration: with no unit attached (as on
// a build machine) nothing is opened and the record stays cleared.
TEST(WindowsHidPort, CoreSearchFindsNoUnitWhereNoneIsAttached) {
  std::unique_ptr<HidPort> port = CreatePlatformHidPort();
  std::vector<HidInterface> interfaces;
  ASSERT_TRUE(port->ListInterfaces(interfaces));
  for (const HidInterface& hid : interfaces) {
    if (IsUnit(hid)) GTEST_SKIP() << "a programming unit is attached: " << hid.path;
  }
  UsbLink link;
  link.port = port.get();
  EXPECT_EQ(OpenUsbLink(link), kResultNoUnit);
  EXPECT_EQ(link.handle, kInvalidHidHandle);
  EXPECT_FALSE(link.device_path.has_value());
  EXPECT_EQ(link.info, DeviceInfo{});
}

}  // namespace
}  // namespace tavio
