#pragma once
// HidPort on SetupAPI and the HID library.
//
// Devices are opened for overlapped I/O only so that a read can be bounded by
// a time-out; to the caller every write and read is one whole, synchronous
// report transfer.

#include <map>

#include "core/link/hid_port.h"

namespace tavio {

// How long a report may take to leave before the write is given up.
inline constexpr uint32_t kWriteTimeoutMs = 3000;

class WindowsHidPort final : public HidPort {
 public:
  explicit WindowsHidPort(uint32_t write_timeout_ms = kWriteTimeoutMs) : write_timeout_ms_(write_timeout_ms) {}
  ~WindowsHidPort() override;
  WindowsHidPort(const WindowsHidPort&) = delete;
  WindowsHidPort& operator=(const WindowsHidPort&) = delete;

  // Replaces `out` with the present HID interfaces whose attributes can be
  // read, in SetupAPI's order.
  bool ListInterfaces(std::vector<HidInterface>& out) override;
  // The handle is the file handle.
  HidOpenStatus Open(const std::string& path, HidHandle& handle) override;
  bool GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) override;
  bool WriteReport(HidHandle handle, std::span<const uint8_t> report) override;
  // A negative time-out waits without bound.
  HidReadStatus ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) override;
  void Close(HidHandle handle) override;
  // GetLastError() of the last failed call; ERROR_TIMEOUT after a time-out
  // (a write too: cancelled after the write time-out), ERROR_BAD_LENGTH after
  // a short read, ERROR_INVALID_HANDLE for a
  // handle this port did not open, the HIDP status when the capabilities
  // cannot be parsed.
  uint32_t LastError() const override { return last_error_; }
  // Windows refuses a HID device that another program opened unshared.
  DeniedAccessRemedy AccessRemedy() const override { return DeniedAccessRemedy::CloseOtherProgram; }

 private:
  // Manual-reset events for the overlapped transfers, one per direction.
  struct OpenDevice {
    void* read_event = nullptr;
    void* write_event = nullptr;
  };

  OpenDevice* Find(HidHandle handle);
  void Fail(uint32_t error) { last_error_ = error; }

  uint32_t write_timeout_ms_;
  std::map<HidHandle, OpenDevice> open_;
  uint32_t last_error_ = 0;
};

}  // namespace tavio
