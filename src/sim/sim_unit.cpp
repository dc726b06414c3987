#include "sim/sim_unit.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/files/defaults.h"
#include "core/model/bytes.h"
#include "core/model/config_image.h"
#include "sim/eeprom_file.h"

namespace tavio::sim {
namespace {

// Offsets in the request and the answer report.
constexpr size_t kOffCommand = 1;
constexpr size_t kOffLength = 2;
constexpr size_t kOffState = 3;
constexpr size_t kOffData = 4;
constexpr uint8_t kStatusOk = 0x00;
constexpr size_t kDataArea = kReportSize - kOffData;  // 56 bytes

// Stick positions of a fresh ESC, as a user would have taught them.
constexpr size_t kOffStickBrake = 0x16;
constexpr size_t kOffStickNeutral = 0x18;
constexpr size_t kOffStickFull = 0x1A;
constexpr uint16_t kStickBrakeUs = 1100;
constexpr uint16_t kStickNeutralUs = 1500;
constexpr uint16_t kStickFullUs = 1900;

// The firmware information block: its own size, then the versions.
constexpr size_t kInfoOffSize = 0;
constexpr size_t kInfoOffParamVersion = 2;
constexpr size_t kInfoOffFirmwareVersion = 4;
// The identity record: identity word, bootloader version, serial number.
constexpr size_t kIdOffWord = 0;
constexpr size_t kIdOffBootloader = 4;
constexpr size_t kIdOffSerial = 8;

// The info block sits at the top of the unit's 32-bit address space.
constexpr uint64_t kAddressSpaceEnd = 0x100000000ull;

Report Answer(uint8_t data_length = 0) {
  Report r{};
  r[0] = kInputReportId;
  r[kOffCommand] = kStatusOk;
  r[kOffLength] = data_length;
  return r;
}

Report ErrorAnswer(uint32_t code) {
  Report r{};
  r[0] = kInputReportId;
  r[kOffCommand] = kStatusError;
  PutU32(r, kOffData, code);
  return r;
}

}  // namespace

struct SimUnit::Request {
  Report bytes{};
  uint8_t command() const { return bytes[kOffCommand]; }
  uint8_t length() const { return bytes[kOffLength]; }
  uint8_t state() const { return bytes[kOffState]; }
  uint32_t U32(size_t offset) const { return GetU32(bytes, offset); }
};

std::array<uint8_t, kEepromSize> InitialEeprom(uint16_t family, uint16_t model_number,
                                               uint16_t param_version) {
  ConfigImage image;
  const int code = family == kFamilyDelmarZ ? model_type::kMulticopter : model_type::kSportsPlane;
  if (!ApplyDefaultSet(image, family, param_version, model_number, code)) {
    ApplyBaseDefaults(image, model_type::kSportsPlane);
  }
  PutU16(image, kOffParamVersion, param_version);
  PutU16(image, kOffStickBrake, kStickBrakeUs);
  PutU16(image, kOffStickNeutral, kStickNeutralUs);
  PutU16(image, kOffStickFull, kStickFullUs);
  // A family without its own rule keeps the seal of the set it got.
  SealImage(image, StoreChecksum(family, param_version).value_or(kChecksum76));

  std::array<uint8_t, kEepromSize> eeprom;
  eeprom.fill(0xFF);
  const size_t length = std::min<size_t>(BlockLength(image), kImageSize);
  std::copy_n(image.bytes.begin(), length, eeprom.begin());
  return eeprom;
}

SimUnit::SimUnit(SimUnitConfig config) : config_(std::move(config)) {
  eeprom_ = InitialEeprom(config_.family, config_.model_number, config_.param_version);
  if (!config_.eeprom_file.empty()) LoadEeprom();
}

void SimUnit::LoadEeprom() {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(config_.eeprom_file, ec);
  if (!std::filesystem::exists(status)) return;
  // A pipe would wait for a writer, a folder or a device is no memory file.
  if (!std::filesystem::is_regular_file(status)) {
    persist_error_ = "'" + config_.eeprom_file + "' is not a regular file";
    return;
  }
  std::ifstream in(config_.eeprom_file, std::ios::binary);
  std::array<uint8_t, kEepromSize> loaded{};
  in.read(reinterpret_cast<char*>(loaded.data()), loaded.size());
  const bool whole = in.gcount() == static_cast<std::streamsize>(loaded.size());
  // One byte more means the file is not ours; keep the fresh EEPROM then.
  const bool at_end = whole && in.peek() == std::ifstream::traits_type::eof();
  if (!whole || !at_end) {
    persist_error_ = "'" + config_.eeprom_file + "' does not hold exactly 256 bytes";
    return;
  }
  eeprom_ = loaded;
}

bool SimUnit::SaveEeprom() {
  if (config_.eeprom_file.empty()) return true;
  EepromFileCalls& calls = config_.file_calls != nullptr ? *config_.file_calls : RealEepromFileCalls();
  persist_error_ = WriteEepromFile(config_.eeprom_file, eeprom_, calls);
  return persist_error_.empty();
}

bool SimUnit::KeepChange(const std::array<uint8_t, kEepromSize>& before) {
  if (SaveEeprom()) return true;
  // The ESC and its file must not part: the change is undone and refused.
  eeprom_ = before;
  return false;
}

void SimUnit::SetBlockLengthWord(uint16_t length) { PutU16(eeprom_, kOffBlockLength, length); }

std::array<uint8_t, kFirmwareInfoSize> SimUnit::FirmwareInfoBlock() const {
  std::array<uint8_t, kFirmwareInfoSize> block{};
  PutU16(block, kInfoOffSize, static_cast<uint16_t>(kFirmwareInfoSize));
  PutU16(block, kInfoOffParamVersion, config_.param_version);
  PutU16(block, kInfoOffFirmwareVersion, config_.esc_firmware_version);
  return block;
}

std::array<uint8_t, kIdentitySize> SimUnit::IdentityRecord() const {
  std::array<uint8_t, kIdentitySize> record{};
  PutU32(record, kIdOffWord, MakeIdentityWord(config_.family, config_.model_number));
  PutU32(record, kIdOffBootloader, config_.bootloader_version);
  PutU32(record, kIdOffSerial, config_.esc_serial);
  return record;
}

void SimUnit::BeginSession() {
  exchange_count_ = 0;
  occurrences_.fill(0);
  locked_ = false;
  flash_open_ = false;
  write_pointer_.reset();
  pending_.reset();
}

void SimUnit::Disconnect() {
  present_ = false;
  pending_.reset();
  locked_ = false;
  flash_open_ = false;
  write_pointer_.reset();
}

void SimUnit::Reconnect() { present_ = true; }

void SimUnit::CheckUnplugAfter() {
  if (present_ && faults_.unplug_after_exchanges && exchange_count_ >= *faults_.unplug_after_exchanges) {
    Disconnect();
  }
}

bool SimUnit::Fires(const Trigger& trigger, uint32_t exchange, uint8_t command) const {
  if (trigger.exchange) return *trigger.exchange == exchange;
  if (trigger.command != command) return false;
  return trigger.occurrence == 0 || trigger.occurrence == occurrences_[command];
}

bool SimUnit::ReceiveReport(std::span<const uint8_t> report) {
  CheckUnplugAfter();
  if (!present_) return false;

  Request request;
  std::copy_n(report.begin(), std::min(report.size(), request.bytes.size()), request.bytes.begin());
  const uint8_t command = request.command();
  const uint32_t exchange = exchange_count_++;
  ++occurrences_[command];
  transcript_.push_back({ReportDirection::ToUnit, exchange, command,
                         std::vector<uint8_t>(report.begin(), report.end()), Now()});
  pending_.reset();
  pending_command_ = command;
  pending_exchange_ = exchange;

  if (faults_.unplug_during_exchange == exchange) {
    Disconnect();
    return true;
  }
  for (const Trigger& t : faults_.no_answer) {
    if (Fires(t, exchange, command)) return true;
  }
  pending_cut_ = std::any_of(faults_.cut_answer.begin(), faults_.cut_answer.end(),
                             [&](const Trigger& t) { return Fires(t, exchange, command); });
  for (const ErrorFault& e : faults_.errors) {
    if (Fires(e.when, exchange, command)) {
      pending_ = ErrorAnswer(e.code);
      return true;
    }
  }
  pending_ = Execute(request);
  for (const StatusFault& f : faults_.odd_status) {
    if (Fires(f.when, exchange, command) && (*pending_)[kOffCommand] == kStatusOk) (*pending_)[kOffCommand] = f.status;
  }
  return true;
}

UnitReadStatus SimUnit::AnswerReport(std::span<uint8_t> report) {
  if (!present_) return UnitReadStatus::Gone;
  if (!pending_) return UnitReadStatus::NoAnswer;
  std::fill(report.begin(), report.end(), uint8_t{0});
  const size_t length = pending_cut_ ? report.size() / 2 : report.size();
  std::copy_n(pending_->begin(), std::min(length, pending_->size()), report.begin());
  transcript_.push_back({ReportDirection::FromUnit, pending_exchange_, pending_command_,
                         std::vector<uint8_t>(report.begin(), report.begin() + static_cast<std::ptrdiff_t>(length)),
                         Now()});
  pending_.reset();
  CheckUnplugAfter();
  return pending_cut_ ? UnitReadStatus::Cut : UnitReadStatus::Ok;
}

namespace {

// The parameter-length byte each command carries; WriteBlock's is its data length.
std::optional<uint8_t> ParameterLength(uint8_t command) {
  switch (command) {
    case cmd::kUnitStatus: return 0;
    case cmd::kUnitDataQuery: return 12;
    case cmd::kSystemLock: return 1;
    case cmd::kReadMemory: return 8;
    case cmd::kEraseConfig: return 4;
    case cmd::kAssignWriteAddress: return 9;
    case cmd::kFlashAccess: return 1;
    case cmd::kEscIdentity: return 0;
    default: return std::nullopt;
  }
}

// Commands that talk to the ESC, which needs the normal mode and an updatable ESC.
bool NeedsEsc(uint8_t command) {
  return command == cmd::kSystemLock || command == cmd::kReadMemory || command == cmd::kEscIdentity;
}

}  // namespace

Report SimUnit::Execute(const Request& request) {
  if (request.bytes[0] != kOutputReportId) return ErrorAnswer(kErrBadReportId);
  const uint8_t command = request.command();
  const uint32_t exchange = exchange_count_ - 1;
  const auto wrong_echo = [&] {
    return std::any_of(faults_.wrong_echo.begin(), faults_.wrong_echo.end(),
                       [&](const Trigger& t) { return Fires(t, exchange, command); });
  };
  if (command != cmd::kWriteBlock) {
    const std::optional<uint8_t> length = ParameterLength(command);
    if (!length) return ErrorAnswer(kErrUnknownCommand);
    if (request.length() != *length) return ErrorAnswer(kErrBadParamLength);
  }
  if (NeedsEsc(command)) {
    if (config_.unit_mode != 0) return ErrorAnswer(kErrWrongMode);
    if (config_.esc_state != kEscStateUpdatable) return ErrorAnswer(kErrNoEsc);
  }

  switch (command) {
    case cmd::kUnitStatus: {
      Report r = Answer(12);
      r[kOffState] = config_.unit_mode;
      if (config_.unit_mode != 0) {
        const AltStatus& alt = config_.alt_status;
        r[4] = alt.byte0;
        PutU16(r, 5, alt.word);
        PutU32(r, 7, alt.long0);
        PutU32(r, 11, alt.long1);
        r[15] = alt.byte1;
      } else {
        PutU16(r, 4, config_.esc_state);
        PutU16(r, 6, config_.esc_state_aux);
        PutU32(r, 8, config_.unit_firmware_version);
        PutU32(r, 12, config_.unit_aux_word);
      }
      return r;
    }
    case cmd::kUnitDataQuery: {
      if (request.U32(4) != kUnitDataQueryAddress) return ErrorAnswer(kErrQueryAddress);
      Report r = Answer(12);
      PutU32(r, 4, kUnitDataQueryAddress);  // word 0 names the queried place
      PutU32(r, 8, config_.unit_firmware_version);
      PutU32(r, 12, config_.unit_aux_word);
      return r;
    }
    case cmd::kSystemLock:
    case cmd::kFlashAccess: {
      const bool wanted = request.state() != 0;
      Report r = Answer();
      if (wrong_echo()) {
        r[kOffState] = wanted ? 0 : 1;
        return r;
      }
      r[kOffState] = wanted ? 1 : 0;
      if (command == cmd::kSystemLock) {
        locked_ = wanted;
      } else {
        flash_open_ = !wanted;
        if (wanted) write_pointer_.reset();
      }
      return r;
    }
    case cmd::kReadMemory: return ReadMemoryAnswer(request.U32(8), request.U32(4));
    case cmd::kEraseConfig: return EraseAnswer(request);
    case cmd::kAssignWriteAddress: {
      if (request.U32(8) != kUnlockWord) return ErrorAnswer(kErrBadUnlockWord);
      if (request.state() != 1 || request.U32(4) != 0) return ErrorAnswer(kErrBadParameter);
      if (!locked_) return ErrorAnswer(kErrNotLocked);
      if (!flash_open_) return ErrorAnswer(kErrFlashClosed);
      write_pointer_ = 0;
      Report r = Answer(4);
      PutU32(r, kOffData, kAssignedWriteAddress);
      return r;
    }
    case cmd::kWriteBlock: return WriteBlockAnswer(request);
    case cmd::kEscIdentity: {
      Report r = Answer(static_cast<uint8_t>(kIdentitySize));
      const auto record = IdentityRecord();
      std::copy(record.begin(), record.end(), r.begin() + kOffData);
      return r;
    }
    default: return ErrorAnswer(kErrUnknownCommand);
  }
}

Report SimUnit::ReadMemoryAnswer(uint32_t address, uint32_t length) const {
  if (length > kDataArea) return ErrorAnswer(kErrReadLength);
  const uint64_t end = uint64_t{address} + length;
  Report r = Answer(static_cast<uint8_t>(length));
  if (end <= kEepromSize) {
    std::copy_n(eeprom_.begin() + address, length, r.begin() + kOffData);
    return r;
  }
  const uint64_t info_start = kAddressSpaceEnd - kFirmwareInfoSize;
  if (address >= info_start && end <= kAddressSpaceEnd) {
    const auto info = FirmwareInfoBlock();
    std::copy_n(info.begin() + (address - info_start), length, r.begin() + kOffData);
    return r;
  }
  return ErrorAnswer(kErrReadAddress);
}

Report SimUnit::EraseAnswer(const Request& request) {
  if (request.U32(4) != kUnlockWord) return ErrorAnswer(kErrBadUnlockWord);
  if (!locked_) return ErrorAnswer(kErrNotLocked);
  if (!flash_open_) return ErrorAnswer(kErrFlashClosed);
  const auto before = eeprom_;
  eeprom_.fill(0xFF);
  return KeepChange(before) ? Answer() : ErrorAnswer(kErrPersist);
}

Report SimUnit::WriteBlockAnswer(const Request& request) {
  const uint32_t count = request.length();
  if (count > kDataArea || count % 4 != 0) return ErrorAnswer(kErrBadBlockSize);
  if (!locked_) return ErrorAnswer(kErrNotLocked);
  if (!flash_open_) return ErrorAnswer(kErrFlashClosed);
  if (!write_pointer_) return ErrorAnswer(kErrNoWriteAddress);
  if (*write_pointer_ + count > kEepromSize) return ErrorAnswer(kErrWriteOverflow);
  const auto before = eeprom_;
  std::copy_n(request.bytes.begin() + kOffData, count, eeprom_.begin() + *write_pointer_);
  for (const CorruptFault& f : faults_.corrupt) {
    if (f.offset < count && Fires(f.when, exchange_count_ - 1, cmd::kWriteBlock)) {
      eeprom_[*write_pointer_ + f.offset] ^= 0xFF;
    }
  }
  if (!KeepChange(before)) return ErrorAnswer(kErrPersist);
  *write_pointer_ += count;
  return Answer();
}

}  // namespace tavio::sim
