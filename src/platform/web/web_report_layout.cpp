#include "platform/web/web_report_layout.h"

namespace tavio {

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
