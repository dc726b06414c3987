#include "platform/linux/linux_hid_port.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <utility>

#include "platform/linux/device_ids.h"
#include "platform/linux/hidraw_io.h"

namespace tavio {
namespace {

struct UdevUnref {
  void operator()(udev* p) const { udev_unref(p); }
  void operator()(udev_enumerate* p) const { udev_enumerate_unref(p); }
  void operator()(udev_device* p) const { udev_device_unref(p); }
};
using UdevPtr = std::unique_ptr<udev, UdevUnref>;
using EnumeratePtr = std::unique_ptr<udev_enumerate, UdevUnref>;
using DevicePtr = std::unique_ptr<udev_device, UdevUnref>;

// Vendor and product from the HID parent, else from the USB device above it.
std::optional<UsbIds> IdsOf(udev_device* hidraw) {
  // Parents belong to the child device; they are not unreferenced here.
  if (udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr)) {
    if (const char* hid_id = udev_device_get_property_value(hid, "HID_ID")) {
      if (auto ids = ParseHidId(hid_id)) return ids;
    }
  }
  if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device")) {
    const char* vendor = udev_device_get_sysattr_value(usb, "idVendor");
    const char* product = udev_device_get_sysattr_value(usb, "idProduct");
    if (vendor != nullptr && product != nullptr) {
      const auto vendor_id = ParseHexU16(vendor);
      const auto product_id = ParseHexU16(product);
      if (vendor_id && product_id) return UsbIds{*vendor_id, *product_id};
    }
  }
  return std::nullopt;
}

}  // namespace

LinuxHidPort::~LinuxHidPort() {
  for (const auto& [handle, device] : open_) ::close(static_cast<int>(handle));
}

bool LinuxHidPort::ListInterfaces(std::vector<HidInterface>& out) {
  out.clear();
  UdevPtr context(udev_new());
  if (!context) {
    Fail(errno != 0 ? errno : ENOMEM);
    return false;
  }
  EnumeratePtr enumerate(udev_enumerate_new(context.get()));
  if (!enumerate) {
    Fail(errno != 0 ? errno : ENOMEM);
    return false;
  }
  int result = udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw");
  if (result >= 0) result = udev_enumerate_scan_devices(enumerate.get());
  if (result < 0) {
    Fail(-result);
    return false;
  }

  // Nodes without a number sort last, by path.
  std::vector<std::pair<uint32_t, HidInterface>> found;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
    const char* syspath = udev_list_entry_get_name(entry);
    if (syspath == nullptr) continue;
    DevicePtr device(udev_device_new_from_syspath(context.get(), syspath));
    if (!device) continue;
    const char* node = udev_device_get_devnode(device.get());
    if (node == nullptr) continue;
    const auto ids = IdsOf(device.get());
    if (!ids) continue;
    HidInterface hid;
    hid.path = node;
    hid.vendor_id = ids->vendor_id;
    hid.product_id = ids->product_id;
    const uint32_t number = HidrawNumber(hid.path).value_or(std::numeric_limits<uint32_t>::max());
    found.emplace_back(number, std::move(hid));
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return a.second.path < b.second.path;
  });
  out.reserve(found.size());
  for (auto& [number, hid] : found) out.push_back(std::move(hid));
  return true;
}

HidOpenStatus LinuxHidPort::Open(const std::string& path, HidHandle& handle) {
  handle = kInvalidHidHandle;
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    Fail(error);
    return error == EACCES || error == EPERM ? HidOpenStatus::AccessDenied : HidOpenStatus::Failed;
  }
  handle = fd;
  open_[handle] = OpenDevice{};
  return HidOpenStatus::Ok;
}

LinuxHidPort::OpenDevice* LinuxHidPort::Find(HidHandle handle) {
  const auto it = open_.find(handle);
  if (it == open_.end()) {
    Fail(EBADF);
    return nullptr;
  }
  return &it->second;
}

const ReportDescriptorInfo* LinuxHidPort::Layout(HidHandle handle, OpenDevice& device) {
  if (device.layout) return &*device.layout;
  const int fd = static_cast<int>(handle);
  int size = 0;
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0) {
    Fail(errno);
    return nullptr;
  }
  // hidraw refuses requests of the full structure size, one byte less is its
  // limit; the clamp also keeps the span below inside the structure.
  auto raw = std::make_unique<hidraw_report_descriptor>();
  raw->size = static_cast<uint32_t>(std::clamp(size, 0, static_cast<int>(sizeof(raw->value)) - 1));
  if (::ioctl(fd, HIDIOCGRDESC, raw.get()) < 0) {
    Fail(errno);
    return nullptr;
  }
  const size_t length = std::min<size_t>(raw->size, sizeof(raw->value));
  device.layout = ParseReportDescriptor(std::span<const uint8_t>(raw->value, length));
  if (!device.layout) {
    Fail(EINVAL);
    return nullptr;
  }
  return &*device.layout;
}

bool LinuxHidPort::GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) {
  OpenDevice* device = Find(handle);
  if (device == nullptr) return false;
  const ReportDescriptorInfo* layout = Layout(handle, *device);
  if (layout == nullptr) return false;
  input_length = layout->input_length;
  output_length = layout->output_length;
  return true;
}

bool LinuxHidPort::WriteReport(HidHandle handle, std::span<const uint8_t> report) {
  OpenDevice* device = Find(handle);
  if (device == nullptr) return false;
  const ReportDescriptorInfo* layout = Layout(handle, *device);
  if (layout == nullptr) return false;
  int error = 0;
  if (WriteHidrawReport(static_cast<int>(handle), layout->uses_report_ids, report, error)) return true;
  Fail(error);
  return false;
}

HidReadStatus LinuxHidPort::ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) {
  OpenDevice* device = Find(handle);
  if (device == nullptr) return HidReadStatus::Failed;
  const ReportDescriptorInfo* layout = Layout(handle, *device);
  if (layout == nullptr) return HidReadStatus::Failed;
  int error = 0;
  const HidReadStatus status =
      ReadHidrawReport(static_cast<int>(handle), layout->uses_report_ids, report, timeout_ms, error);
  if (status != HidReadStatus::Ok) Fail(error);
  return status;
}

void LinuxHidPort::Close(HidHandle handle) {
  const auto it = open_.find(handle);
  if (it == open_.end()) return;
  ::close(static_cast<int>(handle));
  open_.erase(it);
}

}  // namespace tavio
