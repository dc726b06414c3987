#pragma once
// Reading the ESC's configuration block into the image and writing it back.
// Failures are handed to a reporter; the window binds it to its error boxes,
// which also close the link.

#include <cstdint>
#include <functional>

#include "core/link/usb_link.h"
#include "core/model/config_image.h"
#include "core/shell/string_ids.h"

namespace tavio {

struct CommError {
  int32_t code = -1;  // -1: no code line is shown
  StringId caption = sid::kCommErrorCaption;
  StringId text = 0;
  uint32_t os_error = 0;
  bool operator==(const CommError&) const = default;
};

using CommErrorReporter = std::function<void(const CommError&)>;

inline constexpr uint32_t kPieceBytes = 48;
inline constexpr uint32_t kPauseMs = 20;

// 4 bytes at address 0, then pieces of at most 48 bytes up to the block
// length, each followed by a 20 ms pause. Returns the block length, or 0
// after reporting a failure. A block length above 92 is a failure.
uint16_t ReadConfiguration(UsbLink& link, ConfigImage& image, const CommErrorReporter& report);

// Lock, flash access 0, erase, assign the address, 48-byte blocks, flash
// access 1, unlock. True after a complete write (also for a block length of
// 0, when no block is sent); false after reporting a failure. The image must
// already be sealed.
bool WriteConfiguration(UsbLink& link, const ConfigImage& image, const CommErrorReporter& report);

}  // namespace tavio
