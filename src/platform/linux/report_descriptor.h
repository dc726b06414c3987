#pragma once
// Report lengths from a raw HID report descriptor, computed the way Windows'
// HID capabilities give them, so the core sees the same numbers on both
// platforms.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/report_bits.h"

namespace tavio {

// Limits the kernel enforces as well; a descriptor beyond them never gets a
// hidraw node, so refusing it here loses nothing.
inline constexpr size_t kMaxReportDescriptorBytes = 4096;
inline constexpr uint32_t kMaxReportSizeBits = 256;
inline constexpr uint32_t kMaxReportCount = 12288;
inline constexpr uint32_t kMaxReportBytes = kMaxHidReportBytes;
inline constexpr size_t kMaxGlobalStackDepth = 4;

struct ReportDescriptorInfo {
  bool uses_report_ids = false;
  // Largest report of each kind in bytes plus one for the report ID byte;
  // 0 when the descriptor declares no report of that kind.
  uint32_t input_length = 0;
  uint32_t output_length = 0;

  bool operator==(const ReportDescriptorInfo&) const = default;
};

// Nothing when the descriptor is empty, truncated, unbalanced or exceeds the
// limits above.
std::optional<ReportDescriptorInfo> ParseReportDescriptor(std::span<const uint8_t> descriptor);

}  // namespace tavio
