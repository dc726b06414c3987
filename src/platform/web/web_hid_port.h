#pragma once
// HidPort on WebHID devices through a WebHidBridge. Reports keep the layout
// of the other back ends: byte 0 is the report ID (0 on a device without
// report IDs), and lengths include it.

#include <cstdint>
#include <map>

#include "core/link/hid_port.h"
#include "platform/web/web_hid_bridge.h"

namespace tavio {

class WebHidPort final : public HidPort {
 public:
  explicit WebHidPort(WebHidBridge& bridge) : bridge_(bridge) {}
  ~WebHidPort() override;
  WebHidPort(const WebHidPort&) = delete;
  WebHidPort& operator=(const WebHidPort&) = delete;

  // The granted devices in the bridge's order, each as "webhid:ID".
  bool ListInterfaces(std::vector<HidInterface>& out) override;
  // The handle is the device's ID.
  HidOpenStatus Open(const std::string& path, HidHandle& handle) override;
  bool GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) override;
  bool WriteReport(HidHandle handle, std::span<const uint8_t> report) override;
  HidReadStatus ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) override;
  void Close(HidHandle handle) override;
  // An errno value: ETIMEDOUT after a time-out, ENODEV once the device is
  // gone, EIO for a report of the wrong length or ID, EBADF for an unknown
  // handle, EINVAL for unusable collections or an empty report, EACCES when
  // the browser refused the device, ENOENT for a device not granted, ENOSYS
  // without WebHID.
  uint32_t LastError() const override { return last_error_; }
  // The browser gives one refusal for rights and for a unit held elsewhere.
  DeniedAccessRemedy AccessRemedy() const override { return DeniedAccessRemedy::BrowserOpen; }

 private:
  struct OpenDevice {
    WebHidLayout layout;
    bool usable = false;  // false: the collections gave no lengths
  };

  OpenDevice* Find(HidHandle handle);
  void Fail(int error) { last_error_ = static_cast<uint32_t>(error); }

  WebHidBridge& bridge_;
  std::map<HidHandle, OpenDevice> open_;
  uint32_t last_error_ = 0;
};

}  // namespace tavio
