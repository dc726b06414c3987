#pragma once
// The nine commands of the programming unit and the identification sequence.
// Each command is one Transact exchange and returns 0 or a failure code; an
// answer with the error status 0xFF, for every command, gives
// kResultUnitError, whatever code it carries, and leaves that code in
// link.unit_error_code (16 bits for ReadMemory and EscIdentity, else 32).
// Any other status is success.

#include <array>
#include <cstdint>
#include <span>

#include "core/link/usb_link.h"
#include "core/text/string_ids.h"
#include "core/text/string_table.h"

namespace tavio {

namespace cmd {
inline constexpr uint8_t kUnitStatus = 0x08;
inline constexpr uint8_t kUnitDataQuery = 0x0A;
inline constexpr uint8_t kSystemLock = 0x0B;
inline constexpr uint8_t kWriteBlock = 0x1C;
inline constexpr uint8_t kReadMemory = 0x1D;
inline constexpr uint8_t kEraseConfig = 0x1E;
inline constexpr uint8_t kAssignWriteAddress = 0x1F;
inline constexpr uint8_t kFlashAccess = 0x20;
inline constexpr uint8_t kEscIdentity = 0x22;
}  // namespace cmd

inline constexpr uint8_t kOutputReportId = 1;
inline constexpr uint8_t kInputReportId = 2;
inline constexpr uint8_t kStatusError = 0xFF;
inline constexpr uint32_t kUnlockWord = 0x3C5AE719;
inline constexpr uint32_t kUnitDataQueryAddress = 0x0801FC00;
inline constexpr uint32_t kFirmwareInfoAddress = 0xFFFFFFE0;
inline constexpr uint32_t kFirmwareInfoLength = 32;
inline constexpr uint32_t kEraseWaitMs = 1000;
inline constexpr uint32_t kMaxReadLength = 56;
inline constexpr uint32_t kMaxBlockWords = 14;
inline constexpr uint16_t kEscStateUpdatable = 3;

int32_t UnitStatus(UsbLink& link);  // fills the status fields of link.info
int32_t UnitDataQuery(UsbLink& link, std::array<uint32_t, 3>& words);
int32_t SystemLock(UsbLink& link, uint32_t state);
// Sends `word_count` words from `data`; more than 14 words, or data shorter
// than the words, is refused with -1 before any I/O.
int32_t WriteBlock(UsbLink& link, std::span<const uint8_t> data, uint32_t word_count);
// Reads `length` bytes (at most 56, and no more than `destination` holds).
int32_t ReadMemory(UsbLink& link, uint32_t address, uint32_t length, std::span<uint8_t> destination);
int32_t EraseConfig(UsbLink& link);
int32_t AssignWriteAddress(UsbLink& link, uint32_t* value = nullptr);
int32_t FlashAccess(UsbLink& link, uint32_t state);
int32_t EscIdentity(UsbLink& link, std::array<uint8_t, 40>& destination);

// Fills link.info; 0 says only that the exchanges succeeded.
int32_t IdentifyUnit(UsbLink& link);

// Why an identified unit cannot be used (it is in another mode, or no
// updatable ESC is behind it): the message the user is given; 0 when it can.
StringId UnitRefusal(const DeviceInfo& info);

// The paragraph that tells the user how to get at the unit whose open was
// refused, in the port's terms; for a search that saw a refusal.
Text AccessDeniedParagraph(Language language, const OpenDiagnostics& diagnostics);

}  // namespace tavio
