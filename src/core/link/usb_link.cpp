#include "core/link/usb_link.h"

#include <algorithm>

#include "core/link/protocol.h"

namespace tavio {
namespace {

void ClearRecord(UsbLink& link) {
  HidPort* port = link.port;
  Sleeper* sleeper = link.sleeper;
  link = UsbLink{};
  link.port = port;
  link.sleeper = sleeper;
}

bool IsUnit(const HidInterface& hid) {
  return hid.vendor_id == kUnitVendorId &&
         (hid.product_id == kProductLinkpuck || hid.product_id == kProductLinkbox);
}

}  // namespace

void CloseUsbLink(UsbLink& link) {
  if (link.handle != kInvalidHidHandle && link.port != nullptr) link.port->Close(link.handle);
  ClearRecord(link);
}

int32_t OpenUsbLink(UsbLink& link, OpenDiagnostics* diagnostics) {
  CloseUsbLink(link);
  if (link.port == nullptr) return kResultNotConnected;
  std::vector<HidInterface> interfaces;
  if (!link.port->ListInterfaces(interfaces)) return kResultNotConnected;

  const HidInterface* found = nullptr;
  HidHandle handle = kInvalidHidHandle;
  for (const HidInterface& hid : interfaces) {
    if (!IsUnit(hid)) continue;
    const HidOpenStatus status = link.port->Open(hid.path, handle);
    if (status == HidOpenStatus::Ok) {
      found = &hid;
      break;
    }
    // A unit another program holds, or one we may not open, is passed over.
    if (status == HidOpenStatus::AccessDenied && diagnostics != nullptr &&
        !diagnostics->unit_access_denied) {
      diagnostics->unit_access_denied = true;
      diagnostics->denied_path = hid.path;
      diagnostics->denied_remedy = link.port->AccessRemedy();
    }
  }
  if (found == nullptr) return kResultNoUnit;

  link.info.unit_product_id = found->product_id;
  link.handle = handle;
  link.device_path = found->path;

  uint32_t input_length = 0;
  uint32_t output_length = 0;
  if (!link.port->GetReportLengths(handle, input_length, output_length)) return kResultNotConnected;
  // Reports must fit the 60-byte buffers and carry the longest request and
  // answer whole: shorter ones would cut data off without a word.
  if (input_length < kMinInputReportLength || output_length < kMinOutputReportLength ||
      input_length > kReportSize || output_length > kReportSize) {
    return kResultNotConnected;
  }
  link.input_report_length = input_length;
  link.output_report_length = output_length;
  return IdentifyUnit(link);
}

int32_t Transact(UsbLink& link, Report& request, Report& response, uint32_t wait_ms) {
  if (link.handle == kInvalidHidHandle || link.port == nullptr) return kResultNotConnected;
  request[0] = kOutputReportId;
  const size_t out_length = std::min<size_t>(link.output_report_length, kReportSize);
  if (!link.port->WriteReport(link.handle, std::span<const uint8_t>(request.data(), out_length))) {
    return kResultWriteFailed;
  }
  if (wait_ms != 0 && link.sleeper != nullptr) link.sleeper->SleepMs(wait_ms);
  response.fill(0);
  response[0] = kInputReportId;
  const size_t in_length = std::min<size_t>(link.input_report_length, kReportSize);
  const HidReadStatus status = link.port->ReadReport(
      link.handle, std::span<uint8_t>(response.data(), in_length), kResponseTimeoutMs);
  if (status != HidReadStatus::Ok) return kResultReadFailed;
  return kResultOk;
}

uint32_t LinkLastError(const UsbLink& link) {
  return link.port != nullptr ? link.port->LastError() : 0;
}

}  // namespace tavio
