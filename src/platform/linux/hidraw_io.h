#pragma once
// One report in or out of an open hidraw descriptor, in the Windows layout
// (byte 0 is the report ID). Kept apart from the port so that it works on
// any descriptor that keeps message boundaries.

#include <cstdint>
#include <span>

#include "core/link/hid_port.h"

namespace tavio {

// For a device without numbered reports byte 0 goes out as 0, which hidraw
// strips before the data reaches the device. A short write is a failure
// (EIO). On failure `error` holds the errno.
bool WriteHidrawReport(int fd, bool uses_report_ids, std::span<const uint8_t> report, int& error);

// Waits up to `timeout_ms` (negative: indefinitely) for one report. A hang-up
// or error on the descriptor is a failure (ENODEV): the device is gone. For
// a device without numbered reports hidraw delivers the data alone, so it
// lands after a 0 byte. A report shorter or longer than `report` is a
// failure (EIO), never padded or cut. A time-out sets ETIMEDOUT.
HidReadStatus ReadHidrawReport(int fd, bool uses_report_ids, std::span<uint8_t> report, int timeout_ms,
                               int& error);

}  // namespace tavio
