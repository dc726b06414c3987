#include "platform/web/web_report_layout.h"

#include <array>

namespace tavio {
namespace {

struct ReportBits {
  std::array<uint64_t, 256> bits{};
  std::array<bool, 256> present{};

  bool Add(uint8_t id, uint64_t more) {
    present[id] = true;
    bits[id] += more;
    return bits[id] <= uint64_t{kMaxWebHidReportBytes} * 8;
  }

  uint32_t Length() const {
    uint64_t largest = 0;
    bool any = false;
    for (size_t id = 0; id < bits.size(); ++id) {
      if (!present[id]) continue;
      any = true;
      if (bits[id] > largest) largest = bits[id];
    }
    return any ? static_cast<uint32_t>((largest + 7) / 8 + 1) : 0;
  }
};

}  // namespace

std::optional<WebHidLayout> LayoutFromReports(std::span<const WebHidReport> reports) {
  ReportBits input;
  ReportBits output;
  bool numbered = false;
  bool unnumbered = false;
  for (const WebHidReport& report : reports) {
    // Feature reports count towards neither length, but their IDs still say
    // how the device numbers its reports.
    (report.report_id == 0 ? unnumbered : numbered) = true;
    if (report.bits > uint64_t{kMaxWebHidReportBytes} * 8) return std::nullopt;
    if (report.kind == WebHidReportKind::Input && !input.Add(report.report_id, report.bits)) return std::nullopt;
    if (report.kind == WebHidReportKind::Output && !output.Add(report.report_id, report.bits)) return std::nullopt;
  }
  if (numbered && unnumbered) return std::nullopt;
  WebHidLayout layout;
  layout.uses_report_ids = numbered;
  layout.input_length = input.Length();
  layout.output_length = output.Length();
  return layout;
}

}  // namespace tavio
