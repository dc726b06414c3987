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

// What a readout does with a length word above 92 that is not 0xFFFF.
enum class UnreadableBlock : uint8_t {
  Fail,    // a readout failure, reported
  Accept,  // the result: the caller treats it like a damaged block
};

// 4 bytes at address 0, then pieces of at most 48 bytes up to the block
// length, each followed by a 20 ms pause. Returns the block length, or 0
// after reporting a failure. An erased block (length word 0xFFFF) is read
// as far as the image reaches, and when every byte is 0xFF the result is
// 0xFFFF, else a failure. Any other length word above 92 (IsUnreadableLength)
// fails, or with Accept ends the readout after the first 4 bytes, which the
// image then holds, and is the result: nothing past 92 bytes is ever read.
uint16_t ReadConfiguration(UsbLink& link, ConfigImage& image, const CommErrorReporter& report,
                           UnreadableBlock unreadable = UnreadableBlock::Fail);

// Lock, flash access 0, erase, assign the address, 48-byte blocks, flash
// access 1, unlock; every step's result is checked, the closing two too.
// True after a complete write; false after reporting a failure. The image
// must already be sealed. An image whose length word is not the one the
// connected ESC's store rule goes with (StoreBlockLength), or is above 92
// for a family without a rule, is refused before any I/O: the erase would
// leave the ESC with a block its firmware cannot use.
bool WriteConfiguration(UsbLink& link, const ConfigImage& image, const CommErrorReporter& report);

enum class StoreOutcome : uint8_t {
  Stored,    // written, read back and identical over the layout's whole block
  Failed,    // a failed exchange, already reported (the link is closed)
  Mismatch,  // written and read back, but the ESC holds other bytes
};

struct StoreResult {
  StoreOutcome outcome = StoreOutcome::Failed;
  uint32_t first_difference = 0;  // Mismatch: the first offset that differs
};

// WriteConfiguration, a 20 ms pause, then the block read back and compared
// byte for byte over the whole block written. Only Stored means the ESC
// holds the image. A failed read-back is reported with its own text.
StoreResult StoreConfiguration(UsbLink& link, const ConfigImage& image, const CommErrorReporter& report);

}  // namespace tavio
