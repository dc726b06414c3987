#include "platform/windows/windows_hid_port.h"

#include <windows.h>
#include <setupapi.h>

#include <cstddef>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <optional>

#include "platform/windows/hid_api.h"
#include "platform/windows/wide_text.h"

namespace tavio {
namespace {

// SetupAPI sizes the detail from the path; a path is never near this long.
constexpr DWORD kMaxDetailBytes = 64 * 1024;

HANDLE ToNative(HidHandle handle) { return reinterpret_cast<HANDLE>(handle); }
HidHandle FromNative(HANDLE handle) { return reinterpret_cast<HidHandle>(handle); }

void CloseIfOpen(HANDLE& handle) {
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  handle = nullptr;
}

// The device path of one interface of the set.
std::optional<std::wstring> InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data, DWORD& error) {
  DWORD required = 0;
  if (!SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &required, nullptr) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    error = GetLastError();
    return std::nullopt;
  }
  if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) || required > kMaxDetailBytes) {
    error = ERROR_INVALID_DATA;
    return std::nullopt;
  }
  // malloc, not a byte vector: the detail needs the alignment of its struct.
  std::unique_ptr<void, decltype(&std::free)> storage(std::malloc(required), &std::free);
  if (!storage) {
    error = ERROR_NOT_ENOUGH_MEMORY;
    return std::nullopt;
  }
  auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.get());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, nullptr, nullptr)) {
    error = GetLastError();
    return std::nullopt;
  }
  const size_t room = (required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR);
  const WCHAR* path = detail->DevicePath;
  return std::wstring(path, wcsnlen(path, room));
}

// Vendor and product ID; attributes need no access rights, so a device
// another program holds exclusively is still listed.
bool ReadIds(const std::wstring& path, HidInterface& entry, DWORD& error) {
  HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return false;
  }
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof(attributes);
  const bool ok = HidD_GetAttributes(file, &attributes) != FALSE;
  if (!ok) error = GetLastError();
  CloseHandle(file);
  if (!ok) return false;
  entry.vendor_id = attributes.VendorID;
  entry.product_id = attributes.ProductID;
  return true;
}

}  // namespace

WindowsHidPort::~WindowsHidPort() {
  while (!open_.empty()) Close(open_.begin()->first);
}

WindowsHidPort::OpenDevice* WindowsHidPort::Find(HidHandle handle) {
  const auto it = open_.find(handle);
  if (it == open_.end()) {
    Fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return &it->second;
}

bool WindowsHidPort::ListInterfaces(std::vector<HidInterface>& out) {
  out.clear();
  GUID hid_guid;
  HidD_GetHidGuid(&hid_guid);
  HDEVINFO set = SetupDiGetClassDevsW(&hid_guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) {
    Fail(GetLastError());
    return false;
  }
  // The set ends where the enumeration fails (ERROR_NO_MORE_ITEMS).
  for (DWORD index = 0;; ++index) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &hid_guid, index, &data)) break;
    DWORD error = 0;
    const std::optional<std::wstring> path = InterfacePath(set, data, error);
    HidInterface entry;
    if (!path || !ReadIds(*path, entry, error)) {
      Fail(error);
      continue;
    }
    std::optional<std::string> utf8 = WideToUtf8(*path);
    if (!utf8) {
      Fail(ERROR_NO_UNICODE_TRANSLATION);
      continue;
    }
    entry.path = std::move(*utf8);
    out.push_back(std::move(entry));
  }
  SetupDiDestroyDeviceInfoList(set);
  return true;
}

HidOpenStatus WindowsHidPort::Open(const std::string& path, HidHandle& handle) {
  handle = kInvalidHidHandle;
  // A NUL inside would make CreateFileW open a shorter path.
  if (path.empty() || path.find('\0') != std::string::npos) {
    Fail(ERROR_INVALID_NAME);
    return HidOpenStatus::Failed;
  }
  const std::optional<std::wstring> wide = Utf8ToWide(path);
  if (!wide) {
    Fail(ERROR_NO_UNICODE_TRANSLATION);
    return HidOpenStatus::Failed;
  }
  HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    Fail(error);
    return error == ERROR_ACCESS_DENIED ? HidOpenStatus::AccessDenied : HidOpenStatus::Failed;
  }
  HANDLE read_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE write_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (read_event == nullptr || write_event == nullptr) {
    Fail(GetLastError());
    CloseIfOpen(read_event);
    CloseIfOpen(write_event);
    CloseHandle(file);
    return HidOpenStatus::Failed;
  }
  handle = FromNative(file);
  open_[handle] = OpenDevice{read_event, write_event};
  return HidOpenStatus::Ok;
}

bool WindowsHidPort::GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) {
  if (Find(handle) == nullptr) return false;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!HidD_GetPreparsedData(ToNative(handle), &preparsed)) {
    Fail(GetLastError());
    return false;
  }
  HIDP_CAPS caps{};
  const NTSTATUS status = HidP_GetCaps(preparsed, &caps);
  HidD_FreePreparsedData(preparsed);
  if (status != HIDP_STATUS_SUCCESS) {
    Fail(static_cast<uint32_t>(status));
    return false;
  }
  input_length = caps.InputReportByteLength;
  output_length = caps.OutputReportByteLength;
  return true;
}

bool WindowsHidPort::WriteReport(HidHandle handle, std::span<const uint8_t> report) {
  OpenDevice* device = Find(handle);
  if (device == nullptr) return false;
  if (report.empty() || report.size() > MAXDWORD) {
    Fail(ERROR_INVALID_PARAMETER);
    return false;
  }
  HANDLE file = ToNative(handle);
  const DWORD size = static_cast<DWORD>(report.size());
  OVERLAPPED overlapped{};
  overlapped.hEvent = device->write_event;
  ResetEvent(overlapped.hEvent);
  DWORD wait_error = 0;
  if (!WriteFile(file, report.data(), size, nullptr, &overlapped)) {
    if (GetLastError() != ERROR_IO_PENDING) {
      Fail(GetLastError());
      return false;
    }
    // A unit that takes no report must not hold the program for ever.
    const DWORD wait = WaitForSingleObject(overlapped.hEvent, write_timeout_ms_);
    if (wait != WAIT_OBJECT_0) {
      wait_error = wait == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError();
      // The buffer and the OVERLAPPED must outlive the write; the result
      // below waits until the cancellation is through.
      CancelIo(file);
    }
  }
  // The byte count is no test: the HID class driver reports one byte less
  // for a report with a report ID (Windows and Wine alike). Success or
  // failure of the transfer is what counts.
  DWORD written = 0;
  if (!GetOverlappedResult(file, &overlapped, &written, TRUE)) {
    Fail(wait_error != 0 ? wait_error : GetLastError());
    return false;
  }
  return true;
}

HidReadStatus WindowsHidPort::ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) {
  OpenDevice* device = Find(handle);
  if (device == nullptr) return HidReadStatus::Failed;
  if (report.empty() || report.size() > MAXDWORD) {
    Fail(ERROR_INVALID_PARAMETER);
    return HidReadStatus::Failed;
  }
  HANDLE file = ToNative(handle);
  const DWORD size = static_cast<DWORD>(report.size());
  OVERLAPPED overlapped{};
  overlapped.hEvent = device->read_event;
  ResetEvent(overlapped.hEvent);
  bool timed_out = false;
  DWORD wait_error = 0;
  if (!ReadFile(file, report.data(), size, nullptr, &overlapped)) {
    if (GetLastError() != ERROR_IO_PENDING) {
      Fail(GetLastError());
      return HidReadStatus::Failed;
    }
    const DWORD wait =
        WaitForSingleObject(overlapped.hEvent, timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms));
    if (wait != WAIT_OBJECT_0) {
      timed_out = wait == WAIT_TIMEOUT;
      wait_error = timed_out ? ERROR_TIMEOUT : GetLastError();
      // The buffer and the OVERLAPPED must outlive the read; the result
      // below waits until the cancellation is through.
      CancelIo(file);
    }
  }
  DWORD transferred = 0;
  if (!GetOverlappedResult(file, &overlapped, &transferred, TRUE)) {
    if (wait_error != 0) {
      Fail(wait_error);
      return timed_out ? HidReadStatus::Timeout : HidReadStatus::Failed;
    }
    Fail(GetLastError());
    return HidReadStatus::Failed;
  }
  // A report that came in just before the cancellation is kept. One of
  // another length is a failure: a longer one already failed above
  // (ERROR_MORE_DATA), a shorter one is never padded.
  if (transferred != size) {
    Fail(ERROR_BAD_LENGTH);
    return HidReadStatus::Failed;
  }
  return HidReadStatus::Ok;
}

void WindowsHidPort::Close(HidHandle handle) {
  OpenDevice* device = Find(handle);
  if (device == nullptr) return;
  if (!CloseHandle(ToNative(handle))) Fail(GetLastError());
  CloseIfOpen(device->read_event);
  CloseIfOpen(device->write_event);
  open_.erase(handle);
}

}  // namespace tavio
