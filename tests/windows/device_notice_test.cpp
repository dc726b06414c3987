// WM_DEVICECHANGE records turned into the core's notices, and the
// registration for HID interface notices.

#include "platform/windows/device_notifications.h"

#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstring>

#include "platform/windows/hid_notice_filter.h"

namespace tavio {
namespace {

constexpr size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
constexpr GUID kHidGuid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// A broadcast record in a buffer larger than any record here; `size` is what
// its header claims, `name` is written in full (with its NUL) whatever the
// claim, so a reader that ignores the claim shows up.
class Record {
 public:
  Record(DWORD device_type, DWORD size, const std::wstring& name = L"") {
    storage_.fill(0xCC);
    DEV_BROADCAST_HDR header{};
    header.dbch_size = size;
    header.dbch_devicetype = device_type;
    std::memcpy(storage_.data(), &header, sizeof(header));
    if (!name.empty() || device_type == DBT_DEVTYP_DEVICEINTERFACE) {
      std::memcpy(storage_.data() + offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_classguid), &kHidGuid,
                  sizeof(kHidGuid));
      std::memcpy(storage_.data() + kNameOffset, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    }
  }
  intptr_t LParam() const { return reinterpret_cast<intptr_t>(storage_.data()); }

 private:
  alignas(8) std::array<unsigned char, 1024> storage_;
};

DWORD FullSize(const std::wstring& name) {
  return static_cast<DWORD>(kNameOffset + (name.size() + 1) * sizeof(wchar_t));
}

const std::wstring kUnitPath = L"\\\\?\\HID#VID_7A3E&PID_0002#7&1a2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

struct NoticeCase {
  const char* name;
  uintptr_t event;
  DWORD device_type;
  DWORD size;
  std::wstring device_name;
  bool no_record;
  uint32_t expected_type;
  std::string expected_name;
};

TEST(NoticeFromDeviceChange, ReadsTheRecordWithinItsSize) {
  const std::wstring nul_inside(L"AB\0CD", 5);
  const NoticeCase cases[] = {
      {"arrival of a HID interface", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, FullSize(kUnitPath), kUnitPath,
       false, 5, "\\\\?\\HID#VID_7A3E&PID_0002#7&1a2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}"},
      {"removal complete", DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE, FullSize(L"\\\\?\\hid#x"),
       L"\\\\?\\hid#x", false, 5, "\\\\?\\hid#x"},
      {"name converted to UTF-8", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE,
       FullSize(std::wstring{L'\u00FC', 0xD83D, 0xDE00}), std::wstring{L'\u00FC', 0xD83D, 0xDE00}, false, 5,
       "\xC3\xBC\xF0\x9F\x98\x80"},
      {"size cuts the name before its NUL", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE,
       static_cast<DWORD>(kNameOffset + 4 * sizeof(wchar_t)), L"ABCDEFGH", false, 5, "ABCD"},
      {"odd size: only whole characters", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE,
       static_cast<DWORD>(kNameOffset + 5), L"ABCDEFGH", false, 5, "AB"},
      {"name ends at its NUL", DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE, FullSize(nul_inside),
       nul_inside, false, 5, "AB"},
      {"no room for a name", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, static_cast<DWORD>(kNameOffset),
       L"ABCD", false, 5, ""},
      {"header only", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, sizeof(DEV_BROADCAST_HDR), L"ABCD", false,
       5, ""},
      {"size below the header: type unknown", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, 8, L"ABCD", false,
       0, ""},
      {"volume record: no name taken", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, sizeof(DEV_BROADCAST_VOLUME),
       L"ABCD", false, DBT_DEVTYP_VOLUME, ""},
      {"no record at all", DBT_DEVNODES_CHANGED, 0, 0, L"", true, 0, ""},
      {"arrival without a record", DBT_DEVICEARRIVAL, 0, 0, L"", true, 0, ""},
      {"other event code kept as given", DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_DEVICEINTERFACE, FullSize(L"X"), L"X",
       false, 5, "X"},
  };
  for (const NoticeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Record record(c.device_type, c.size, c.device_name);
    const DeviceNotice notice = NoticeFromDeviceChange(c.event, c.no_record ? 0 : record.LParam());
    EXPECT_EQ(notice.event, static_cast<uint32_t>(c.event));
    EXPECT_EQ(notice.device_type, c.expected_type);
    EXPECT_EQ(notice.device_name, c.expected_name);
  }
}

TEST(NoticeFromDeviceChange, EventCodesMatchTheCore) {
  EXPECT_EQ(kDeviceArrival, static_cast<uint32_t>(DBT_DEVICEARRIVAL));
  EXPECT_EQ(kDeviceRemoveComplete, static_cast<uint32_t>(DBT_DEVICEREMOVECOMPLETE));
  EXPECT_EQ(kDeviceTypeInterface, static_cast<uint32_t>(DBT_DEVTYP_DEVICEINTERFACE));
}

TEST(HidInterfaceFilter, AsksForHidDeviceInterfaces) {
  const DEV_BROADCAST_DEVICEINTERFACE_W filter = HidInterfaceFilter();
  EXPECT_EQ(filter.dbcc_size, 32u);
  EXPECT_EQ(filter.dbcc_devicetype, 5u);
  EXPECT_EQ(filter.dbcc_reserved, 0u);
  EXPECT_EQ(std::memcmp(&filter.dbcc_classguid, &kHidGuid, sizeof(GUID)), 0);
  EXPECT_EQ(filter.dbcc_name[0], L'\0');
}

// A message-only window as the recipient: no display needed.
class MessageWindow {
 public:
  MessageWindow() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"TavioNoticeTest";
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, L"TavioNoticeTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              window_class.hInstance, nullptr);
  }
  ~MessageWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  HWND Get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

TEST(DeviceNotification, RegistersAndUnregistersOnAWindow) {
  MessageWindow window;
  ASSERT_NE(window.Get(), nullptr) << GetLastError();
  DeviceNotification notification;
  EXPECT_FALSE(notification.IsRegistered());
  ASSERT_TRUE(notification.Register(window.Get())) << notification.LastError();
  EXPECT_TRUE(notification.IsRegistered());
  ASSERT_TRUE(notification.Register(window.Get())) << notification.LastError();
  EXPECT_TRUE(notification.IsRegistered());
  notification.Unregister();
  EXPECT_FALSE(notification.IsRegistered());
  notification.Unregister();
  EXPECT_FALSE(notification.IsRegistered());
}

}  // namespace
}  // namespace tavio
