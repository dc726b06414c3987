// A module for the browser test of the WebHID port: the core identifies the
// unit and reads its block through the port, traced as tavio-cli --trace
// traces the same steps; then it holds the unit open so that a pulled cable
// can be watched ending a read.

#include <emscripten.h>

#include <cerrno>
#include <memory>
#include <sstream>
#include <string>

#include "core/link/sleeper.h"
#include "core/link/trace_port.h"
#include "core/link/transfer.h"
#include "platform/platform.h"
#include "platform/web/web_notice.h"

namespace {

using namespace tavio;

class BrowserSleeper final : public Sleeper {
 public:
  void SleepMs(uint32_t ms) override { emscripten_sleep(ms); }
};

uint64_t ClockUs() { return static_cast<uint64_t>(emscripten_get_now() * 1000.0); }

std::string& Answer() {
  static std::string answer;
  return answer;
}

struct Held {
  std::unique_ptr<HidPort> port = CreatePlatformHidPort();
  BrowserSleeper sleeper;
  UsbLink link;
};

Held& Unit() {
  static Held held;
  return held;
}

}  // namespace

extern "C" {

// The trace of list, open, identification and readout, then "result N",
// the readout's block length (0 after a failure, with the error's code).
EMSCRIPTEN_KEEPALIVE const char* tavio_probe_read() {
  std::ostringstream out;
  std::unique_ptr<HidPort> port = CreatePlatformHidPort();
  TracingHidPort trace(*port, out, ClockUs);
  BrowserSleeper sleeper;
  UsbLink link;
  link.port = &trace;
  link.sleeper = &sleeper;
  int32_t code = OpenUsbLink(link);
  uint16_t length = 0;
  if (code == kResultOk) {
    ConfigImage image;
    length = ReadConfiguration(link, image, [&code](const CommError& error) { code = error.code; });
  }
  CloseUsbLink(link);
  Answer() = out.str() + "result " + std::to_string(length) + " code " + std::to_string(code) + "\n";
  return Answer().c_str();
}

// Opens the unit and keeps it; its path, or "" when it cannot be opened.
EMSCRIPTEN_KEEPALIVE const char* tavio_probe_hold() {
  Held& held = Unit();
  held.link.port = held.port.get();
  held.link.sleeper = &held.sleeper;
  Answer() = OpenUsbLink(held.link) == kResultOk ? *held.link.device_path : "";
  return Answer().c_str();
}

// Waits up to `timeout_ms` for a report nobody asked for on the held unit:
// "timeout", or "failed ENODEV" once the unit is gone, or "failed N"
// (another errno).
EMSCRIPTEN_KEEPALIVE const char* tavio_probe_wait(int timeout_ms) {
  Held& held = Unit();
  Report report{};
  const HidReadStatus status = held.port->ReadReport(
      held.link.handle, std::span<uint8_t>(report.data(), held.link.input_report_length), timeout_ms);
  const uint32_t error = held.port->LastError();
  if (status == HidReadStatus::Ok) {
    Answer() = "report";
  } else if (status == HidReadStatus::Timeout) {
    Answer() = "timeout";
  } else {
    Answer() = error == ENODEV ? "failed ENODEV" : "failed " + std::to_string(error);
  }
  return Answer().c_str();
}

EMSCRIPTEN_KEEPALIVE const char* tavio_probe_release() {
  CloseUsbLink(Unit().link);
  return "";
}

// The notice the core gets for the bridge's hook: "EVENT TYPE PATH" in hex,
// or "none".
EMSCRIPTEN_KEEPALIVE const char* tavio_probe_notice(const char* type, const char* path) {
  const std::optional<DeviceNotice> notice = WebHidNotice(type, path);
  if (!notice) {
    Answer() = "none";
  } else {
    char text[32];
    std::snprintf(text, sizeof text, "%04X %u ", notice->event, notice->device_type);
    Answer() = text + notice->device_name;
  }
  return Answer().c_str();
}

}  // extern "C"
