#pragma once
// What the WebHID port needs from the browser, one call per step, so that the
// port's rules run under any compiler and the JavaScript side stays a thin
// pass-through of navigator.hid. Devices are numbered by the bridge; a number
// is never reused for another device in one page's life.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/web/web_report_layout.h"

namespace tavio {

struct WebHidDevice {
  uint32_t id = 0;
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
};

enum class WebHidOpenResult : uint8_t { Ok, NotAllowed, Failed };

// One inputreport event: the report ID (0 without report IDs) and the data
// after it.
struct WebHidInput {
  uint8_t report_id = 0;
  std::vector<uint8_t> data;
};

class WebHidBridge {
 public:
  virtual ~WebHidBridge() = default;

  // The devices this page was granted and that are present; false when the
  // browser has no WebHID.
  virtual bool GrantedDevices(std::vector<WebHidDevice>& out) = 0;
  // Opens the device and starts queueing its input reports. Never waits
  // longer than the bridge's own limit: a browser that does not answer is
  // Failed.
  virtual WebHidOpenResult Open(uint32_t id) = 0;
  // The reports of every collection of an open device.
  virtual bool Reports(uint32_t id, std::vector<WebHidReport>& out) = 0;
  virtual bool Send(uint32_t id, uint8_t report_id, std::span<const uint8_t> data) = 0;
  // The oldest queued input report of the device, if any; never waits.
  virtual std::optional<WebHidInput> TakeInput(uint32_t id) = 0;
  // True once the device was disconnected (or closed) since it was opened.
  virtual bool Gone(uint32_t id) = 0;
  // Returns when an input report is queued, the device is gone, or
  // `timeout_ms` (at least 1) passed, whichever comes first.
  virtual void Wait(uint32_t id, int timeout_ms) = 0;
  virtual void Close(uint32_t id) = 0;
  // A steady clock in milliseconds, with their fractions.
  virtual double NowMs() = 0;
};

// "webhid:ID", the path the core sees for a device.
std::string WebHidPath(uint32_t id);
// The ID of such a path; nothing for anything else.
std::optional<uint32_t> WebHidIdOfPath(const std::string& path);

}  // namespace tavio
