#pragma once
// The one connection to the programming unit, and what identification
// learned about the unit and the ESC behind it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/link/hid_port.h"
#include "core/link/sleeper.h"
#include "core/model/bytes.h"
#include "core/model/family.h"

namespace tavio {

inline constexpr uint16_t kUnitVendorId = 0x7A3E;
inline constexpr uint16_t kProductLinkpuck = 0x0001;
inline constexpr uint16_t kProductLinkbox = 0x0002;

inline constexpr size_t kReportSize = 60;
using Report = std::array<uint8_t, kReportSize>;

// Result codes of device-link operations. The unit's own error codes are
// 32 bits wide and may take any value, 0 and 0xFFFFFFFF included, so they
// never travel as the result: a command answered with the error status
// returns kResultUnitError, whatever code the unit sent, and the code itself
// is kept in the link's `unit_error_code` for the error report.
inline constexpr int32_t kResultOk = 0;
inline constexpr int32_t kResultNotConnected = -1;  // also: refused before any I/O
inline constexpr int32_t kResultWriteFailed = -2;
inline constexpr int32_t kResultReadFailed = -3;
inline constexpr int32_t kResultNoUnit = -4;
inline constexpr int32_t kResultUnitError = -5;
inline constexpr int32_t kResultStateMismatch = 1627;

// The smallest report lengths that carry the protocol: a WriteBlock request
// fills all 60 bytes, a ReadMemory answer of 48 bytes needs 4 + 48.
inline constexpr uint32_t kMinOutputReportLength = 60;
inline constexpr uint32_t kMinInputReportLength = 52;

// A response that does not come within this time is a failed read.
inline constexpr int kResponseTimeoutMs = 3000;

struct DeviceInfo {
  uint8_t unit_mode = 0;
  uint32_t unit_firmware_version = 0;
  uint32_t unit_aux_word = 0;
  uint16_t esc_state = 0;
  uint16_t esc_state_aux = 0;
  uint8_t alt_status_byte0 = 0;
  uint16_t alt_status_word = 0;
  uint32_t alt_status_long0 = 0;
  uint32_t alt_status_long1 = 0;
  uint8_t alt_status_byte1 = 0;
  std::array<uint8_t, 32> esc_info_block{};
  std::array<uint8_t, 40> esc_identity{};
  uint16_t unit_product_id = 0;

  bool operator==(const DeviceInfo&) const = default;
};

inline uint16_t EscParamVersion(const DeviceInfo& info) { return GetU16(info.esc_info_block, 2); }
inline uint16_t EscFirmwareVersion(const DeviceInfo& info) { return GetU16(info.esc_info_block, 4); }
inline uint32_t IdentityWord(const DeviceInfo& info) { return GetU32(info.esc_identity, 0); }
inline uint32_t EscBootloaderVersion(const DeviceInfo& info) { return GetU32(info.esc_identity, 4); }
inline uint16_t ConnectedFamily(const DeviceInfo& info) { return FamilyCode(IdentityWord(info)); }
inline uint16_t ConnectedModel(const DeviceInfo& info) { return ModelNumber(IdentityWord(info)); }

struct UsbLink {
  // Bindings to the outside; they survive clearing the record.
  HidPort* port = nullptr;
  Sleeper* sleeper = nullptr;

  HidHandle handle = kInvalidHidHandle;
  std::optional<std::string> device_path;
  uint32_t output_report_length = 0;
  uint32_t input_report_length = 0;
  DeviceInfo info{};
  // The code of the unit's last error answer (16-bit codes zero-extended);
  // meaningful after a result of kResultUnitError.
  uint32_t unit_error_code = 0;
};

inline bool IsConnected(const UsbLink& link) { return link.handle != kInvalidHidHandle; }

// What a failed search saw, so the user can be told why no unit was usable.
struct OpenDiagnostics {
  bool unit_access_denied = false;  // a matching unit was present but refused access
  std::string denied_path;
  DeniedAccessRemedy denied_remedy = DeniedAccessRemedy::UdevRule;  // the port's advice for it
};

// Finds the first LINKBOX or LINKPUCK, opens it, reads its report lengths and
// identifies unit and ESC. 0 on success; -1, -4 or an identification failure.
int32_t OpenUsbLink(UsbLink& link, OpenDiagnostics* diagnostics = nullptr);
// Closes a valid handle and clears the record; safe on a cleared record.
void CloseUsbLink(UsbLink& link);

// One report exchange: request written with report ID 1, then, after
// `wait_ms` through the sleeper, the response read with report ID 2.
int32_t Transact(UsbLink& link, Report& request, Report& response, uint32_t wait_ms = 0);

// The platform error value of the link's last failed call.
uint32_t LinkLastError(const UsbLink& link);

}  // namespace tavio
