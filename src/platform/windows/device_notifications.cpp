#include "platform/windows/device_notifications.h"

#include <windows.h>
#include <dbt.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <cwchar>
#include <string_view>

#include "platform/windows/hid_api.h"
#include "platform/windows/hid_notice_filter.h"
#include "platform/windows/wide_text.h"

namespace tavio {
namespace {

// The longest path Windows knows (extended-length paths); a record claiming
// more is not believed further.
constexpr size_t kMaxNameChars = 32767;

}  // namespace

DEV_BROADCAST_DEVICEINTERFACE_W HidInterfaceFilter() {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_reserved = 0;
  HidD_GetHidGuid(&filter.dbcc_classguid);
  filter.dbcc_name[0] = L'\0';
  return filter;
}

bool DeviceNotification::Register(void* window) {
  Unregister();
  DEV_BROADCAST_DEVICEINTERFACE_W filter = HidInterfaceFilter();
  handle_ = RegisterDeviceNotificationW(static_cast<HWND>(window), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  if (handle_ == nullptr) {
    last_error_ = GetLastError();
    return false;
  }
  return true;
}

void DeviceNotification::Unregister() {
  if (handle_ == nullptr) return;
  UnregisterDeviceNotification(static_cast<HDEVNOTIFY>(handle_));
  handle_ = nullptr;
}

DeviceNotice NoticeFromDeviceChange(uintptr_t event, intptr_t record) {
  DeviceNotice notice;
  notice.event = static_cast<uint32_t>(event);
  notice.device_type = 0;
  if (record == 0) return notice;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
  if (header->dbch_size < sizeof(DEV_BROADCAST_HDR)) return notice;
  notice.device_type = header->dbch_devicetype;
  if (notice.device_type != DBT_DEVTYP_DEVICEINTERFACE) return notice;

  // The name runs to its NUL, but never past the size the record gives.
  constexpr size_t name_offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
  if (header->dbch_size <= name_offset) return notice;
  const size_t room = std::min<size_t>((header->dbch_size - name_offset) / sizeof(wchar_t), kMaxNameChars);
  const wchar_t* name = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header)->dbcc_name;
  notice.device_name = WideToUtf8(std::wstring_view(name, wcsnlen(name, room))).value_or(std::string());
  return notice;
}

std::vector<uint32_t> DeviceChangeRecord(const DeviceNotice& notice) {
  const std::wstring name = Utf8ToWide(notice.device_name).value_or(std::wstring());
  constexpr size_t name_offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
  const size_t size = name_offset + (name.size() + 1) * sizeof(wchar_t);
  std::vector<uint32_t> record((size + sizeof(uint32_t) - 1) / sizeof(uint32_t), 0);
  DEV_BROADCAST_HDR header{};
  header.dbch_size = static_cast<DWORD>(size);
  header.dbch_devicetype = notice.device_type;
  auto* bytes = reinterpret_cast<unsigned char*>(record.data());
  std::memcpy(bytes, &header, sizeof(header));
  std::memcpy(bytes + name_offset, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  return record;
}

}  // namespace tavio
