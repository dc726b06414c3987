#include "core/link/protocol.h"

#include <algorithm>

namespace tavio {
namespace {

Report NewRequest(uint8_t command, uint8_t parameter_length) {
  Report request{};
  request[0] = kOutputReportId;
  request[1] = command;
  request[2] = parameter_length;
  return request;
}

// Only this one status value is an error; the unit may put anything else there.
bool IsError(const Report& response) { return response[1] == kStatusError; }

// An error answer is a failure whatever code it carries, 0 included; the
// code goes to the link, never into the result, where it could pass for
// one of the program's own results.
int32_t UnitError16(UsbLink& link, const Report& response) {
  link.unit_error_code = GetU16(response, 4);
  return kResultUnitError;
}
int32_t UnitError32(UsbLink& link, const Report& response) {
  link.unit_error_code = GetU32(response, 4);
  return kResultUnitError;
}

}  // namespace

int32_t UnitStatus(UsbLink& link) {
  Report request = NewRequest(cmd::kUnitStatus, 0);
  Report response{};
  const int32_t result = Transact(link, request, response);
  if (result != kResultOk) return result;
  // An error answer carries a code, not the unit's state.
  if (IsError(response)) return UnitError32(link, response);
  DeviceInfo& info = link.info;
  info.unit_mode = response[3];
  if (info.unit_mode != 0) {
    info.alt_status_byte0 = response[4];
    info.alt_status_word = GetU16(response, 5);
    info.alt_status_long0 = GetU32(response, 7);
    info.alt_status_long1 = GetU32(response, 11);
    info.alt_status_byte1 = response[15];
  } else {
    info.esc_state = GetU16(response, 4);
    info.esc_state_aux = GetU16(response, 6);
    info.unit_firmware_version = GetU32(response, 8);
    info.unit_aux_word = GetU32(response, 12);
  }
  return kResultOk;
}

int32_t UnitDataQuery(UsbLink& link, std::array<uint32_t, 3>& words) {
  Report request = NewRequest(cmd::kUnitDataQuery, 12);
  PutU32(request, 4, kUnitDataQueryAddress);
  Report response{};
  const int32_t result = Transact(link, request, response);
  if (result != kResultOk) return result;
  if (IsError(response)) return UnitError32(link, response);
  for (size_t i = 0; i < words.size(); ++i) words[i] = GetU32(response, 4 + 4 * i);
  return kResultOk;
}

int32_t SystemLock(UsbLink& link, uint32_t state) {
  const uint8_t wanted = state != 0 ? 1 : 0;
  Report request = NewRequest(cmd::kSystemLock, 1);
  request[3] = wanted;
  Report response{};
  const int32_t result = Transact(link, request, response);
  if (result != kResultOk) return result;
  // An error answer fails even when its state byte happens to match.
  if (IsError(response)) return UnitError32(link, response);
  return response[3] == wanted ? kResultOk : kResultStateMismatch;
}

int32_t WriteBlock(UsbLink& link, std::span<const uint8_t> data, uint32_t word_count) {
  if (word_count > kMaxBlockWords || data.size() < 4u * word_count) return kResultNotConnected;
  Report request = NewRequest(cmd::kWriteBlock, static_cast<uint8_t>(4 * word_count));
  std::copy_n(data.begin(), 4 * word_count, request.begin() + 4);
  Report response{};
  const int32_t result = Transact(link, request, response);
  if (result != kResultOk) return result;
  return IsError(response) ? UnitError32(link, response) : kResultOk;
}

int32_t ReadMemory(UsbLink& link, uint32_t address, uint32_t length, std::span<uint8_t> destination) {
  if (length > kMaxReadLength || length > destination.size()) return kResultNotConnected;
  Report request = NewRequest(cmd::kReadMemory, 8);
  PutU32(request, 4, length);
  PutU32(request, 8, address);
  Report response{};
  const int32_t result = Transact(link, request, response);
  if (result != kResultOk) return result;
  if (IsError(response)) return UnitError16(link, response);
  std::copy_n(response.begin() + 4, length, destination.begin());
  return kResultOk;
}

int32_t EraseConfig(UsbLink& link) {
  Report request = NewRequest(cmd::kEraseConfig, 4);
  PutU32(request, 4, kUnlockWord);
  Report response{};
  const int32_t result = Transact(link, request, response, kEraseWaitMs);
  if (result != kResultOk) return result;
  return IsError(response) ? UnitError32(link, response) : kResultOk;
}

int32_t AssignWriteAddress(UsbLink& link, uint32_t* value) {
  Report request = NewRequest(cmd::kAssignWriteAddress, 9);
  request[3] = 1;
  PutU32(request, 4, 0);
  PutU32(request, 8, kUnlockWord);
  Report response{};
  const int32_t result = Transact(link, request, response);
  if (result != kResultOk) return result;
  if (IsError(response)) return UnitError32(link, response);
  if (value != nullptr) *value = GetU32(response, 4);
  return kResultOk;
}

int32_t FlashAccess(UsbLink& link, uint32_t state) {
  const uint8_t wanted = state != 0 ? 1 : 0;
  Report request = NewRequest(cmd::kFlashAccess, 1);
  request[3] = wanted;
  Report response{};
  const int32_t result = Transact(link, request, response);
  if (result != kResultOk) return result;
  if (IsError(response)) return UnitError32(link, response);
  return response[3] == wanted ? kResultOk : kResultStateMismatch;
}

int32_t EscIdentity(UsbLink& link, std::array<uint8_t, 40>& destination) {
  Report request = NewRequest(cmd::kEscIdentity, 0);
  Report response{};
  const int32_t result = Transact(link, request, response);
  if (result != kResultOk) return result;
  if (IsError(response)) return UnitError16(link, response);
  std::copy_n(response.begin() + 4, destination.size(), destination.begin());
  return kResultOk;
}

int32_t IdentifyUnit(UsbLink& link) {
  int32_t result = UnitStatus(link);
  if (result != kResultOk) return result;
  DeviceInfo& info = link.info;
  if (info.unit_mode != 0) {
    std::array<uint32_t, 3> words{};
    result = UnitDataQuery(link, words);
    if (result != kResultOk) return result;
    info.unit_firmware_version = words[1];
    info.unit_aux_word = words[2];
    return kResultOk;
  }
  if (info.esc_state != kEscStateUpdatable) return kResultOk;
  result = ReadMemory(link, kFirmwareInfoAddress, kFirmwareInfoLength, info.esc_info_block);
  if (result != kResultOk) return result;
  return EscIdentity(link, info.esc_identity);
}

StringId UnitRefusal(const DeviceInfo& info) {
  if (info.unit_mode != 0) return sid::kUnitWrongMode;
  if (info.esc_state != kEscStateUpdatable) return sid::kNoUpdatableEsc;
  return 0;
}

Text AccessDeniedParagraph(Language language, const OpenDiagnostics& diagnostics) {
  StringId advice = sid::kUnitAccessDenied;
  switch (diagnostics.denied_remedy) {
    case DeniedAccessRemedy::CloseOtherProgram: advice = sid::kUnitHeldElsewhere; break;
    case DeniedAccessRemedy::BrowserOpen: advice = sid::kUnitBrowserRefused; break;
    case DeniedAccessRemedy::UdevRule: break;
  }
  // The browser's text names no path: its device IDs mean nothing to the user.
  return FormatPattern(LookUpString(language, advice), diagnostics.denied_path.c_str());
}

}  // namespace tavio
