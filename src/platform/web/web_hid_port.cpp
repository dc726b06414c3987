#include "platform/web/web_hid_port.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>

namespace tavio {

std::string WebHidPath(uint32_t id) { return "webhid:" + std::to_string(id); }

std::optional<uint32_t> WebHidIdOfPath(const std::string& path) {
  constexpr std::string_view kPrefix = "webhid:";
  if (path.size() <= kPrefix.size() || path.compare(0, kPrefix.size(), kPrefix) != 0) return std::nullopt;
  const char* first = path.data() + kPrefix.size();
  const char* last = path.data() + path.size();
  uint32_t id = 0;
  const auto [end, error] = std::from_chars(first, last, id);
  if (error != std::errc{} || end != last) return std::nullopt;
  return id;
}

WebHidPort::~WebHidPort() {
  for (const auto& [handle, device] : open_) bridge_.Close(static_cast<uint32_t>(handle));
}

bool WebHidPort::ListInterfaces(std::vector<HidInterface>& out) {
  out.clear();
  std::vector<WebHidDevice> devices;
  if (!bridge_.GrantedDevices(devices)) {
    Fail(ENOSYS);
    return false;
  }
  out.reserve(devices.size());
  for (const WebHidDevice& device : devices) {
    out.push_back(HidInterface{WebHidPath(device.id), device.vendor_id, device.product_id});
  }
  return true;
}

HidOpenStatus WebHidPort::Open(const std::string& path, HidHandle& handle) {
  handle = kInvalidHidHandle;
  const std::optional<uint32_t> id = WebHidIdOfPath(path);
  if (!id) {
    Fail(ENOENT);
    return HidOpenStatus::Failed;
  }
  if (open_.contains(*id)) {
    // One handle per device: a second would share its queue of reports.
    Fail(EBUSY);
    return HidOpenStatus::Failed;
  }
  switch (bridge_.Open(*id)) {
    case WebHidOpenResult::Ok: break;
    case WebHidOpenResult::NotAllowed: Fail(EACCES); return HidOpenStatus::AccessDenied;
    case WebHidOpenResult::Failed: Fail(ENOENT); return HidOpenStatus::Failed;
  }
  OpenDevice device;
  std::vector<WebHidReport> reports;
  if (bridge_.Reports(*id, reports)) {
    if (const auto layout = LayoutFromReports(reports)) {
      device.layout = *layout;
      device.usable = true;
    }
  }
  handle = static_cast<HidHandle>(*id);
  open_[handle] = device;
  return HidOpenStatus::Ok;
}

WebHidPort::OpenDevice* WebHidPort::Find(HidHandle handle) {
  const auto it = open_.find(handle);
  if (it == open_.end()) {
    Fail(EBADF);
    return nullptr;
  }
  if (!it->second.usable) {
    Fail(EINVAL);
    return nullptr;
  }
  return &it->second;
}

bool WebHidPort::GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) {
  const OpenDevice* device = Find(handle);
  if (device == nullptr) return false;
  input_length = device->layout.input_length;
  output_length = device->layout.output_length;
  return true;
}

bool WebHidPort::WriteReport(HidHandle handle, std::span<const uint8_t> report) {
  const OpenDevice* device = Find(handle);
  if (device == nullptr) return false;
  if (report.empty()) {
    Fail(EINVAL);
    return false;
  }
  const uint32_t id = static_cast<uint32_t>(handle);
  if (bridge_.Gone(id)) {
    Fail(ENODEV);
    return false;
  }
  // WebHID takes the ID apart from the data; without report IDs byte 0 is
  // only the place of one and is not sent.
  const uint8_t report_id = device->layout.uses_report_ids ? report[0] : 0;
  if (!bridge_.Send(id, report_id, report.subspan(1))) {
    Fail(bridge_.Gone(id) ? ENODEV : EIO);
    return false;
  }
  return true;
}

HidReadStatus WebHidPort::ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) {
  const OpenDevice* device = Find(handle);
  if (device == nullptr) return HidReadStatus::Failed;
  const uint32_t id = static_cast<uint32_t>(handle);
  const bool forever = timeout_ms < 0;
  // Fractions kept: whole milliseconds taken at the start and at each check
  // could end a wait up to a millisecond short.
  const double deadline = bridge_.NowMs() + std::max(timeout_ms, 0);
  for (;;) {
    // Reports that came before a disconnect are still the device's.
    if (std::optional<WebHidInput> input = bridge_.TakeInput(id)) {
      // A numbered device names its report; one without IDs sends 0.
      const bool id_fits = device->layout.uses_report_ids ? input->report_id != 0 : input->report_id == 0;
      if (!id_fits || input->data.size() + 1 != report.size()) {
        Fail(EIO);
        return HidReadStatus::Failed;
      }
      report[0] = input->report_id;
      std::copy(input->data.begin(), input->data.end(), report.begin() + 1);
      return HidReadStatus::Ok;
    }
    if (bridge_.Gone(id)) {
      Fail(ENODEV);
      return HidReadStatus::Failed;
    }
    const double now = bridge_.NowMs();
    if (!forever && now >= deadline) {
      Fail(ETIMEDOUT);
      return HidReadStatus::Timeout;
    }
    constexpr double kLongest = std::numeric_limits<int>::max();
    const double left = forever ? kLongest : std::min(std::ceil(deadline - now), kLongest);
    bridge_.Wait(id, static_cast<int>(left));
  }
}

void WebHidPort::Close(HidHandle handle) {
  const auto it = open_.find(handle);
  if (it == open_.end()) return;
  bridge_.Close(static_cast<uint32_t>(handle));
  open_.erase(it);
}

}  // namespace tavio
