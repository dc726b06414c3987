#pragma once
// Report lengths as the platforms compute them from a device's collections:
// the bits of each report ID add up over the collections, and the longest
// report, rounded up to whole bytes, plus the ID byte, is the length. Shared
// by the back ends that work the lengths out themselves (Linux, the browser).

#include <array>
#include <cstdint>

namespace tavio {

// No HID report is longer; a larger sum means a broken descriptor.
inline constexpr uint32_t kMaxHidReportBytes = 16384;

struct ReportBits {
  std::array<uint64_t, 256> bits{};
  std::array<bool, 256> present{};

  // False once the report grows past the longest a report may be.
  bool Add(uint8_t id, uint64_t more) {
    present[id] = true;
    bits[id] += more;
    return bits[id] <= uint64_t{kMaxHidReportBytes} * 8;
  }

  // 0 when no report of this kind exists.
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

}  // namespace tavio
