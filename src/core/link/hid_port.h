#pragma once
// The narrow contract every HID back end fulfils (Linux hidraw, Windows HID,
// the simulator). A report buffer always starts with the report ID byte, and
// report lengths include it, as the platform's HID capabilities give them.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavio {

using HidHandle = std::intptr_t;
inline constexpr HidHandle kInvalidHidHandle = -1;

struct HidInterface {
  std::string path;
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
};

enum class HidOpenStatus : uint8_t { Ok, AccessDenied, Failed };
enum class HidReadStatus : uint8_t { Ok, Timeout, Failed };
// What the user can do about an open the platform refused: on Linux the
// device node's rights, on Windows another program holding the unit, in the
// browser either of the two behind the browser's one refusal.
enum class DeniedAccessRemedy : uint8_t { UdevRule, CloseOtherProgram, BrowserOpen };

class HidPort {
 public:
  virtual ~HidPort() = default;

  // The present HID interfaces in the platform's order; false when the set
  // cannot be obtained at all.
  virtual bool ListInterfaces(std::vector<HidInterface>& out) = 0;
  virtual HidOpenStatus Open(const std::string& path, HidHandle& handle) = 0;
  virtual bool GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) = 0;
  // Writes one whole output report.
  virtual bool WriteReport(HidHandle handle, std::span<const uint8_t> report) = 0;
  // Reads one whole input report into `report` (sized to the input length),
  // waiting at most `timeout_ms`. Ok only when the report that came is
  // exactly that long: a shorter or longer one is Failed, never padded or
  // cut to size, so no byte the device did not send passes for data. After
  // Failed or Timeout the contents of `report` mean nothing.
  virtual HidReadStatus ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) = 0;
  virtual void Close(HidHandle handle) = 0;
  // The platform's error value of the last failed call (errno, GetLastError).
  virtual uint32_t LastError() const = 0;
  // What to advise after Open gave AccessDenied. No default: a port that
  // wraps another must pass the inner one's on.
  virtual DeniedAccessRemedy AccessRemedy() const = 0;
};

}  // namespace tavio
