#pragma once
// Report lengths of a WebHID device from the reports its collections list,
// counted as the other back ends count them: the largest report of each kind
// in bytes, plus one for the report ID byte.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/report_bits.h"

namespace tavio {

enum class WebHidReportKind : uint8_t { Input, Output, Feature };

// One report of one collection: its ID (0 on a device without report IDs)
// and the bits of its items (size times count, summed).
struct WebHidReport {
  WebHidReportKind kind = WebHidReportKind::Input;
  uint8_t report_id = 0;
  uint64_t bits = 0;
};

struct WebHidLayout {
  bool uses_report_ids = false;
  // 0 when the device declares no report of that kind.
  uint32_t input_length = 0;
  uint32_t output_length = 0;

  bool operator==(const WebHidLayout&) const = default;
};

// The largest report the other back ends accept, in bytes without the ID.
inline constexpr uint32_t kMaxWebHidReportBytes = kMaxHidReportBytes;

// A report listed under several collections adds up, as its items would in
// the descriptor. Nothing when a report is too large, or when numbered and
// unnumbered reports are mixed (no descriptor can declare that).
std::optional<WebHidLayout> LayoutFromReports(std::span<const WebHidReport> reports);

}  // namespace tavio
