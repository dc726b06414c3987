#include "core/link/trace_port.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace tavio {
namespace {

std::string Hex(std::span<const uint8_t> bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (uint8_t b : bytes) {
    if (!out.empty()) out.push_back(' ');
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

std::string Ids(const HidInterface& hid) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X:%04X", hid.vendor_id, hid.product_id);
  return text;
}

// The file, the real clock and the port behind, owned before the tracing
// port that refers to them is built.
struct TraceFileParts {
  std::unique_ptr<HidPort> inner;
  std::ofstream file;
};

class FileTracingPort final : private TraceFileParts, public TracingHidPort {
 public:
  explicit FileTracingPort(TraceFileParts parts)
      : TraceFileParts(std::move(parts)), TracingHidPort(*inner, file, [] {
          using namespace std::chrono;
          return static_cast<uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
        }) {}
};

}  // namespace

TracingHidPort::TracingHidPort(HidPort& inner, std::ostream& out, std::function<uint64_t()> clock_us)
    : inner_(inner), out_(out), clock_us_(std::move(clock_us)), start_us_(clock_us_()) {
  out_ << "#  tavio trace: milliseconds since the start, then #N the exchange since the unit was opened"
          " (from 0), > a report written, < a report read, in hex from the report ID on\n";
  out_.flush();
}

void TracingHidPort::Line(const std::string& text) {
  const uint64_t us = clock_us_() - start_us_;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%9llu.%03u  ", static_cast<unsigned long long>(us / 1000),
                static_cast<unsigned>(us % 1000));
  out_ << stamp << text << '\n';
  out_.flush();
}

bool TracingHidPort::ListInterfaces(std::vector<HidInterface>& out) {
  if (!inner_.ListInterfaces(out)) {
    Line("list: failed (error " + std::to_string(inner_.LastError()) + ")");
    return false;
  }
  Line("list: " + std::to_string(out.size()) + " found");
  for (const HidInterface& hid : out) Line("list  " + hid.path + " " + Ids(hid));
  return true;
}

HidOpenStatus TracingHidPort::Open(const std::string& path, HidHandle& handle) {
  const HidOpenStatus status = inner_.Open(path, handle);
  if (status == HidOpenStatus::Ok) {
    exchanges_ = 0;
    Line("open " + path + ": ok");
  } else {
    Line("open " + path + (status == HidOpenStatus::AccessDenied ? ": access denied" : ": failed") + " (error " +
         std::to_string(inner_.LastError()) + ")");
  }
  return status;
}

bool TracingHidPort::GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) {
  if (!inner_.GetReportLengths(handle, input_length, output_length)) {
    Line("lengths: failed (error " + std::to_string(inner_.LastError()) + ")");
    return false;
  }
  Line("lengths: in " + std::to_string(input_length) + " out " + std::to_string(output_length));
  return true;
}

bool TracingHidPort::WriteReport(HidHandle handle, std::span<const uint8_t> report) {
  const std::string exchange = "#" + std::to_string(exchanges_++);
  const bool ok = inner_.WriteReport(handle, report);
  Line(exchange + " > " + Hex(report) + (ok ? "" : "  failed (error " + std::to_string(inner_.LastError()) + ")"));
  return ok;
}

HidReadStatus TracingHidPort::ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) {
  // A read answers the request written last.
  const std::string exchange = "#" + std::to_string(exchanges_ == 0 ? 0 : exchanges_ - 1);
  const HidReadStatus status = inner_.ReadReport(handle, report, timeout_ms);
  const std::string error = " (error " + std::to_string(inner_.LastError()) + ")";
  switch (status) {
    case HidReadStatus::Ok: Line(exchange + " < " + Hex(report)); break;
    case HidReadStatus::Timeout: Line(exchange + " < time-out" + error); break;
    case HidReadStatus::Failed: Line(exchange + " < failed" + error); break;
  }
  return status;
}

void TracingHidPort::Close(HidHandle handle) {
  inner_.Close(handle);
  Line("close");
}

std::unique_ptr<TracingHidPort> TraceToFile(std::unique_ptr<HidPort> port, const std::string& path, std::string& error) {
  TraceFileParts parts;
  parts.inner = std::move(port);
  parts.file.open(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary | std::ios::trunc);
  if (!parts.file) {
    error = "cannot write the trace file '" + path + "': " + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<FileTracingPort>(std::move(parts));
}

}  // namespace tavio
