// The Windows back end: device-change records turned into the core's notices,
// UTF-8 and UTF-16 text, and report transfers against the client end of a
// message-mode named pipe, which moves whole reports like a HID device.

#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "platform/windows/device_notifications.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_hid_port.h"

namespace tavio {
namespace {

// The record the window queues for a simulated notice reads back as that notice.
TEST(DeviceChangeRecord, ReadsBackAsTheNotice) {
  const DeviceNotice cases[] = {
      {kDeviceRemoveComplete, kDeviceTypeInterface, "\\\\?\\HID#VID_7A3E&PID_0002#7&1a2b3c&0&0000"},
      {kDeviceRemoveComplete, kDeviceTypeInterface, "\xC3\xBC\xF0\x9F\x98\x80"},
      {kDeviceRemoveComplete, kDeviceTypeInterface, ""},
      {kDeviceRemoveComplete, DBT_DEVTYP_VOLUME, ""},
  };
  for (const DeviceNotice& notice : cases) {
    const std::vector<uint32_t> record = DeviceChangeRecord(notice);
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record.data());
    EXPECT_LE(header->dbch_size, record.size() * sizeof(uint32_t));
    const DeviceNotice read = NoticeFromDeviceChange(notice.event, reinterpret_cast<intptr_t>(record.data()));
    EXPECT_EQ(std::tie(read.event, read.device_type, read.device_name),
              std::tie(notice.event, notice.device_type, notice.device_name));
  }
}

TEST(NoticeFromDeviceChange, ReadsTheRecordWithinItsSize) {
  constexpr DWORD kName = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
  const std::wstring path = L"\\\\?\\HID#VID_7A3E&PID_0002#7&1a2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  // Record type, the size its header claims, the name written after it in full (with its NUL,
  // whatever the claim), the device type and name taken.
  const std::tuple<DWORD, DWORD, std::wstring, uint32_t, std::string> cases[] = {
      {DBT_DEVTYP_DEVICEINTERFACE, kName + 2 * (path.size() + 1), path, kDeviceTypeInterface,
       "\\\\?\\HID#VID_7A3E&PID_0002#7&1a2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}"},
      {DBT_DEVTYP_DEVICEINTERFACE, kName + 8, {0xFC, 0xD83D, 0xDE00, L'x'}, 5, "\xC3\xBC\xF0\x9F\x98\x80\x78"},
      {DBT_DEVTYP_DEVICEINTERFACE, kName + 8, L"ABCDEFGH", 5, "ABCD"},   // the size cuts the name
      {DBT_DEVTYP_DEVICEINTERFACE, kName + 5, L"ABCDEFGH", 5, "AB"},     // whole characters only
      {DBT_DEVTYP_DEVICEINTERFACE, kName + 12, std::wstring(L"AB\0CD", 5), 5, "AB"},  // up to the NUL
      {DBT_DEVTYP_DEVICEINTERFACE, kName, L"ABCD", 5, ""},                // no room for a name
      {DBT_DEVTYP_DEVICEINTERFACE, sizeof(DEV_BROADCAST_HDR) - 1, L"ABCD", 0, ""},  // not even a header
      {DBT_DEVTYP_VOLUME, sizeof(DEV_BROADCAST_VOLUME), L"ABCD", DBT_DEVTYP_VOLUME, ""},
  };
  for (const auto& [type, size, name, want_type, want_name] : cases) {
    alignas(8) std::array<unsigned char, 1024> record;
    record.fill(0xCC);
    const DEV_BROADCAST_HDR header{size, type, 0};
    std::memcpy(record.data(), &header, sizeof(header));
    std::memcpy(record.data() + kName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    const DeviceNotice n = NoticeFromDeviceChange(DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<intptr_t>(record.data()));
    EXPECT_EQ(std::tie(n.event, n.device_type, n.device_name), std::tie(kDeviceRemoveComplete, want_type, want_name));
  }
  const DeviceNotice n = NoticeFromDeviceChange(DBT_DEVICEARRIVAL, 0);  // no record at all
  EXPECT_EQ(std::tie(n.event, n.device_type, n.device_name), std::make_tuple(kDeviceArrival, 0u, std::string()));
}

TEST(WideText, ConvertsBothWaysAndRefusesInvalidUtf8) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"", L""}, {"\\\\?\\hid#vid_7a3e&pid_0002", L"\\\\?\\hid#vid_7a3e&pid_0002"},
      {"\xC3\xBC\xE2\x82\xAC", {0x00FC, 0x20AC}}, {"a\xF0\x9F\x98\x80z", {L'a', 0xD83D, 0xDE00, L'z'}}};
  for (const auto& [utf8, wide] : cases) {
    EXPECT_EQ(Utf8ToWide(utf8), wide);
    EXPECT_EQ(WideToUtf8(wide), utf8);
  }
  // Never a UTF-8 byte, a sequence cut short, an overlong '/', an encoded surrogate.
  for (const char* bad : {"\xFF", "ab\xC3", "\xC0\xAF", "\xED\xA0\x80"}) EXPECT_EQ(Utf8ToWide(bad), std::nullopt);
  EXPECT_EQ(WideToUtf8(std::wstring{L'a', 0xD800, L'b'}), "a\xEF\xBF\xBD" "b");
}

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  std::iota(bytes.begin(), bytes.end(), uint8_t{1});
  return bytes;
}

TEST(WindowsHidPort, ReportsMoveWholeOverANamedPipe) {
  const std::wstring name = L"\\\\.\\pipe\\tavio-hid-test-" + std::to_wstring(GetCurrentProcessId());
  HANDLE device = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, 1,
                                   4096, 4096, 0, nullptr);
  ASSERT_NE(device, INVALID_HANDLE_VALUE) << GetLastError();
  WindowsHidPort port;
  HidHandle handle = kInvalidHidHandle;
  ASSERT_EQ(port.Open(*WideToUtf8(name), handle), HidOpenStatus::Ok) << port.LastError();
  DWORD mode = PIPE_READMODE_MESSAGE;  // a read takes one message, as a HID read takes one report
  ASSERT_TRUE(SetNamedPipeHandleState(reinterpret_cast<HANDLE>(handle), &mode, nullptr, nullptr));
  const auto send = [device](const std::vector<uint8_t>& report) {
    DWORD n = 0;
    return WriteFile(device, report.data(), static_cast<DWORD>(report.size()), &n, nullptr) && n == report.size();
  };

  ASSERT_TRUE(port.WriteReport(handle, Pattern(60))) << port.LastError();
  std::vector<uint8_t> received(100);
  DWORD n = 0;
  ASSERT_TRUE(ReadFile(device, received.data(), 100, &n, nullptr));
  EXPECT_EQ(std::vector(received.begin(), received.begin() + n), Pattern(60));

  // A time-out cancels the read and loses no report.
  std::array<uint8_t, 60> report;
  EXPECT_EQ(port.ReadReport(handle, report, 0), HidReadStatus::Timeout);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_TIMEOUT));
  ASSERT_TRUE(send(Pattern(60)));
  EXPECT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Ok) << port.LastError();
  EXPECT_EQ(std::vector(report.begin(), report.end()), Pattern(60));

  // A short report fails and leaves the rest of the buffer alone.
  ASSERT_TRUE(send(Pattern(10)));
  report.fill(0xEE);
  EXPECT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_BAD_LENGTH));
  EXPECT_EQ(std::count(report.begin() + 10, report.end(), 0xEE), 50);
  // So does a longer one: never cut to the buffer and passed as whole.
  ASSERT_TRUE(send(Pattern(61)));
  EXPECT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_MORE_DATA));
  // What is left of it in the pipe is no report either.
  EXPECT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_BAD_LENGTH));
  // And the next whole one reads as before.
  ASSERT_TRUE(send(Pattern(60)));
  EXPECT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Ok) << port.LastError();
  EXPECT_EQ(std::vector(report.begin(), report.end()), Pattern(60));

  // Unplugged: both directions fail.
  CloseHandle(device);
  EXPECT_EQ(port.ReadReport(handle, report, 1000), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_BROKEN_PIPE));
  EXPECT_FALSE(port.WriteReport(handle, Pattern(8)));
  port.Close(handle);
}

// A device that takes no more reports: the write gives up after its time-out
// instead of holding the program, and cancels the transfer.
TEST(WindowsHidPort, AWriteTheDeviceNeverTakesTimesOut) {
  const std::wstring name = L"\\\\.\\pipe\\tavio-hid-stall-" + std::to_wstring(GetCurrentProcessId());
  HANDLE device = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, 1,
                                   256, 256, 0, nullptr);
  ASSERT_NE(device, INVALID_HANDLE_VALUE) << GetLastError();
  WindowsHidPort port(/*write_timeout_ms=*/100);
  HidHandle handle = kInvalidHidHandle;
  ASSERT_EQ(port.Open(*WideToUtf8(name), handle), HidOpenStatus::Ok) << port.LastError();
  // The pipe's buffer fills up, since nobody reads; then a write stalls.
  int written = 0;
  while (written < 1000 && port.WriteReport(handle, Pattern(60))) ++written;
  EXPECT_LT(written, 1000);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ERROR_TIMEOUT));
  // The reports that went out are whole; the cancelled one is not among them.
  std::vector<uint8_t> received(100);
  for (int i = 0; i < written; ++i) {
    DWORD n = 0;
    ASSERT_TRUE(ReadFile(device, received.data(), 100, &n, nullptr)) << i;
    EXPECT_EQ(std::vector(received.begin(), received.begin() + n), Pattern(60));
  }
  DWORD queued = 0;
  ASSERT_TRUE(PeekNamedPipe(device, nullptr, 0, nullptr, &queued, nullptr));
  EXPECT_EQ(queued, 0u);
  port.Close(handle);
  CloseHandle(device);
}

}  // namespace
}  // namespace tavio
