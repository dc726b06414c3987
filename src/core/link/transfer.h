#pragma once
// Reading the ESC's configuration block into the image and writing it back.
// Failures are handed to a reporter; the window binds it to its error boxes,
// which also close the link.

#include <cstdint>
#include <functional>

#include "core/link/usb_link.h"
#include "core/model/config_image.h"
#include "core/text/string_ids.h"
#include "core/text/string_table.h"

namespace tavio {

struct CommError {
  int32_t code = -1;  // -1: no code line is shown
  StringId caption = sid::kCommErrorCaption;
  StringId text = 0;
  uint32_t os_error = 0;
  uint32_t unit_code = 0;  // the unit's own code when `code` is kResultUnitError
  bool operator==(const CommError&) const = default;
};

// The first number of the code line: the unit's own code for an error the
// unit reported, else the result as 32 bits (-2 shows as 0xfffffffe).
inline uint32_t CodeLineValue(const CommError& error) {
  return error.code == kResultUnitError ? error.unit_code : static_cast<uint32_t>(error.code);
}

// What the user is told of a failed exchange: its text, then (unless no unit
// was connected) the code line; lines end in CR LF.
Text CommErrorMessage(Language language, const CommError& error);

using CommErrorReporter = std::function<void(const CommError&)>;

inline constexpr uint32_t kPieceBytes = 48;
inline constexpr uint32_t kPauseMs = 20;

// 4 bytes at address 0, then pieces of at most 48 bytes up to the block
// length, each followed by a 20 ms pause. Returns the block length, or 0
// after reporting a failure. A block length above 92 is a failure, except
// for an erased block (length word 0xFFFF): then all 92 bytes are read, and
// when every one is 0xFF the result is 0xFFFF, else a failure.
uint16_t ReadConfiguration(UsbLink& link, ConfigImage& image, const CommErrorReporter& report);

// Lock, flash access 0, erase, assign the address, 48-byte blocks, flash
// access 1, unlock; every step's result is checked, the closing two too.
// True after a complete write (also for a block length of 0, when no block
// is sent); false after reporting a failure. The image must already be sealed.
bool WriteConfiguration(UsbLink& link, const ConfigImage& image, const CommErrorReporter& report);

enum class StoreOutcome : uint8_t {
  Stored,    // written, read back and identical over the block length
  Failed,    // a failed exchange, already reported (the link is closed)
  Mismatch,  // written and read back, but the ESC holds other bytes
};

struct StoreResult {
  StoreOutcome outcome = StoreOutcome::Failed;
  uint32_t first_difference = 0;  // Mismatch: the first offset that differs
};

// WriteConfiguration, a 20 ms pause, then the block read back and compared
// byte for byte over the written length. Only Stored means the ESC holds
// the image. A failed read-back is reported with its own text.
StoreResult StoreConfiguration(UsbLink& link, const ConfigImage& image, const CommErrorReporter& report);

}  // namespace tavio
