#pragma once
// HidPort on the kernel's hidraw nodes, enumerated through libudev.
//
// Reports keep the Windows layout in both directions: byte 0 is the report
// ID, and lengths include it. hidraw differs only for devices without
// numbered reports, which hidraw_io.h hides.

#include <map>
#include <optional>

#include "core/link/hid_port.h"
#include "platform/linux/report_descriptor.h"

namespace tavio {

class LinuxHidPort final : public HidPort {
 public:
  LinuxHidPort() = default;
  ~LinuxHidPort() override;
  LinuxHidPort(const LinuxHidPort&) = delete;
  LinuxHidPort& operator=(const LinuxHidPort&) = delete;

  // Replaces `out` with the hidraw nodes whose vendor and product IDs are
  // known, ordered by hidraw number.
  bool ListInterfaces(std::vector<HidInterface>& out) override;
  // The handle is the file descriptor.
  HidOpenStatus Open(const std::string& path, HidHandle& handle) override;
  bool GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) override;
  bool WriteReport(HidHandle handle, std::span<const uint8_t> report) override;
  HidReadStatus ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) override;
  void Close(HidHandle handle) override;
  // errno of the last failure; ETIMEDOUT after a time-out, ENODEV after a
  // hang-up, EIO after a short transfer, EBADF for an unknown handle, EINVAL
  // for an unusable report descriptor or buffer.
  uint32_t LastError() const override { return last_error_; }
  // A hidraw node is opened with the user's rights, which the udev rule grants.
  DeniedAccessRemedy AccessRemedy() const override { return DeniedAccessRemedy::UdevRule; }

 private:
  struct OpenDevice {
    // Read from the device on first need; it decides the report layout.
    std::optional<ReportDescriptorInfo> layout;
  };

  OpenDevice* Find(HidHandle handle);
  const ReportDescriptorInfo* Layout(HidHandle handle, OpenDevice& device);
  void Fail(int error) { last_error_ = static_cast<uint32_t>(error); }

  std::map<HidHandle, OpenDevice> open_;
  uint32_t last_error_ = 0;
};

}  // namespace tavio
