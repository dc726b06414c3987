// The WebHidBridge of the browser: each step one call into webhid_bridge.js.
// Calls that wait on the browser suspend the module through Asyncify, so the
// final module must be linked with -sASYNCIFY.

#include <emscripten.h>

#include "core/link/usb_link.h"
#include "platform/platform.h"
#include "platform/web/web_hid_port.h"

// clang-format off
EM_JS(void, tavio_hid_set_filters, (int vendor_id, int first, int second), {
  Module['tavioHid'].setFilters(vendor_id, [first, second]);
});
EM_ASYNC_JS(int, tavio_hid_granted, (uint32_t* out, int capacity), {
  return await Module['tavioHid'].granted(out, capacity);
});
EM_ASYNC_JS(int, tavio_hid_open, (uint32_t id), {
  return await Module['tavioHid'].open(id);
});
EM_JS(int, tavio_hid_reports, (uint32_t id, uint32_t* out, int capacity), {
  return Module['tavioHid'].reports(id, out, capacity);
});
EM_ASYNC_JS(int, tavio_hid_send, (uint32_t id, int report_id, const uint8_t* data, int length), {
  // Copied before the first wait: the module's memory may move meanwhile.
  var bytes = HEAPU8.slice(data, data + length);
  return await Module['tavioHid'].send(id, report_id, bytes);
});
EM_JS(int, tavio_hid_input_length, (uint32_t id), {
  return Module['tavioHid'].inputLength(id);
});
EM_JS(int, tavio_hid_take, (uint32_t id, uint8_t* to), {
  return Module['tavioHid'].take(id, to);
});
EM_JS(int, tavio_hid_gone, (uint32_t id), {
  return Module['tavioHid'].gone(id);
});
EM_ASYNC_JS(void, tavio_hid_wait, (uint32_t id, int timeout_ms), {
  await Module['tavioHid'].wait(id, timeout_ms);
});
EM_ASYNC_JS(void, tavio_hid_close, (uint32_t id), {
  await Module['tavioHid'].close(id);
});
EM_JS(double, tavio_hid_now_ms, (), {
  return performance.now();
});
// clang-format on

namespace tavio {
namespace {

// Capacity of the tables the JavaScript side fills: three numbers a row.
constexpr int kMaxDevices = 64;
constexpr int kMaxReports = 1024;

class JsWebHidBridge final : public WebHidBridge {
 public:
  bool GrantedDevices(std::vector<WebHidDevice>& out) override {
    std::vector<uint32_t> rows(3 * kMaxDevices);
    const int n = tavio_hid_granted(rows.data(), kMaxDevices);
    if (n < 0) return false;
    out.clear();
    for (int i = 0; i < n; ++i) {
      out.push_back(WebHidDevice{rows[3 * i], static_cast<uint16_t>(rows[3 * i + 1]),
                                 static_cast<uint16_t>(rows[3 * i + 2])});
    }
    return true;
  }
  WebHidOpenResult Open(uint32_t id) override {
    switch (tavio_hid_open(id)) {
      case 0: return WebHidOpenResult::Ok;
      case 1: return WebHidOpenResult::NotAllowed;
      default: return WebHidOpenResult::Failed;
    }
  }
  bool Reports(uint32_t id, std::vector<WebHidReport>& out) override {
    std::vector<uint32_t> rows(3 * kMaxReports);
    const int n = tavio_hid_reports(id, rows.data(), kMaxReports);
    if (n < 0) return false;
    out.clear();
    for (int i = 0; i < n; ++i) {
      const uint32_t kind = rows[3 * i];
      out.push_back(WebHidReport{kind == 0   ? WebHidReportKind::Input
                                 : kind == 1 ? WebHidReportKind::Output
                                             : WebHidReportKind::Feature,
                                 static_cast<uint8_t>(rows[3 * i + 1]), rows[3 * i + 2]});
    }
    return true;
  }
  bool Send(uint32_t id, uint8_t report_id, std::span<const uint8_t> data) override {
    return tavio_hid_send(id, report_id, data.data(), static_cast<int>(data.size())) == 1;
  }
  std::optional<WebHidInput> TakeInput(uint32_t id) override {
    const int length = tavio_hid_input_length(id);
    if (length < 0) return std::nullopt;
    WebHidInput input;
    input.data.resize(static_cast<size_t>(length));
    input.report_id = static_cast<uint8_t>(tavio_hid_take(id, input.data.data()));
    return input;
  }
  bool Gone(uint32_t id) override { return tavio_hid_gone(id) != 0; }
  void Wait(uint32_t id, int timeout_ms) override { tavio_hid_wait(id, timeout_ms); }
  void Close(uint32_t id) override { tavio_hid_close(id); }
  double NowMs() override { return tavio_hid_now_ms(); }
};

}  // namespace

std::unique_ptr<HidPort> CreatePlatformHidPort() {
  // All state lives on the JavaScript side: one bridge serves every port.
  static JsWebHidBridge bridge;
  tavio_hid_set_filters(kUnitVendorId, kProductLinkpuck, kProductLinkbox);
  return std::make_unique<WebHidPort>(bridge);
}

}  // namespace tavio
