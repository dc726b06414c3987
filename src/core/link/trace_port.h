#pragma once
// A HidPort in front of another that writes what passes through it to a
// trace, one line each, flushed at once so that a trace survives a crash:
//
//   #  tavio trace: ...                          (what the columns mean)
//        0.000  list: 2 found
//        0.000  list  /dev/hidraw3 7A3E:0002
//        0.012  open /dev/hidraw3: ok
//        0.020  #0 > 01 08 00 00 ...             (a report written, whole)
//        0.530  #0 < 02 00 0C 00 ...             (a report read, whole)
//     3000.000  #5 < time-out (error 110)
//
// Time is in milliseconds since the trace began; #N is the exchange the
// report belongs to, counted from 0 since the unit was opened, as the
// simulated unit's --sim-fault counts them.

#include <cstdint>
#include <functional>
#include <ostream>
#include <memory>
#include <string>

#include "core/link/hid_port.h"

namespace tavio {

class TracingHidPort : public HidPort {
 public:
  // `clock_us`: a steady time in microseconds.
  TracingHidPort(HidPort& inner, std::ostream& out, std::function<uint64_t()> clock_us);

  bool ListInterfaces(std::vector<HidInterface>& out) override;
  HidOpenStatus Open(const std::string& path, HidHandle& handle) override;
  bool GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) override;
  bool WriteReport(HidHandle handle, std::span<const uint8_t> report) override;
  HidReadStatus ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) override;
  void Close(HidHandle handle) override;
  uint32_t LastError() const override { return inner_.LastError(); }
  DeniedAccessRemedy AccessRemedy() const override { return inner_.AccessRemedy(); }

  // True once a line could not be written (a full disk): the trace is
  // incomplete, and nothing else is affected.
  bool Failed() const { return out_.fail(); }

 private:
  void Line(const std::string& text);

  HidPort& inner_;
  std::ostream& out_;
  std::function<uint64_t()> clock_us_;
  uint64_t start_us_ = 0;
  uint32_t exchanges_ = 0;  // requests written since the last open
};

// Puts a trace to the file at `path` (UTF-8; replaced if it exists) in front
// of `port`, with the real clock. Null with a message when the file cannot be
// created. The same set-up serves both programs, real unit or simulated.
std::unique_ptr<TracingHidPort> TraceToFile(std::unique_ptr<HidPort> port, const std::string& path, std::string& error);

}  // namespace tavio
