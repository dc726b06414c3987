#pragma once
// A simulated programming unit (LINKBOX or LINKPUCK) with an ESC behind it.
// It answers the unit's nine commands report for report, keeps the ESC's
// configuration block in a 256-byte EEPROM image, optionally persists that
// image to a file, records every report it receives and sends, and fails on
// cue so the device link can be tested against every failure path.
//
// Exchange index: every request report the unit receives gets the next index,
// counted from 0 since the unit was last opened. A request refused because the
// unit is gone gets no index. Command occurrences are counted the same way,
// per command code, from 1.
//
// Answers. Success: R[0] = 2, R[1] = 0, R[2] = number of data bytes from R[4]
// on, R[3] = echoed state (lock, flash access) or unit mode (status), R[4..]
// data. Error: R[1] = 0xFF, R[4..7] = the 32-bit error code (readers of a
// 16-bit code take R[4..5]), everything else 0; a command answered with an
// error has no effect. The unit's own error codes are the kErr* constants.
// Faults may put another success status than 0 in R[1] (never 0xFF), cut
// an answer short, or have a block acknowledged but kept with a byte changed.
//
// Request checks, as a unit following the protocol makes them: the
// parameter-length byte must be the command's own (UnitStatus 0,
// UnitDataQuery 12, SystemLock 1, ReadMemory 8, EraseConfig 4,
// AssignWriteAddress 9, FlashAccess 1, EscIdentity 0; WriteBlock whole words,
// at most 56 bytes); UnitDataQuery answers only for its one address;
// SystemLock, ReadMemory and EscIdentity need the normal unit mode and an
// updatable ESC (esc_state 3).
//
// Write rules. EraseConfig, AssignWriteAddress and WriteBlock are honoured
// only while the system lock is held and flash access is open (FlashAccess 0
// opens it, 1 closes it); WriteBlock also needs a write address
// (AssignWriteAddress puts the write pointer at EEPROM offset 0). Blocks are
// placed one after the other.
//
// Persistence file: exactly 256 raw EEPROM bytes, nothing else. It is read at
// construction when it exists, and replaced after every change the unit
// makes (the erase and each block), so it always mirrors the simulated ESC.
// When it cannot be written the change is undone and the exchange answered
// with kErrPersist. Changes through MutableEeprom() and SetBlockLengthWord()
// stay in memory.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/link/hid_port.h"
#include "core/link/protocol.h"
#include "core/link/usb_link.h"
#include "core/model/family.h"

namespace tavio::sim {

class EepromFileCalls;

inline constexpr size_t kEepromSize = 256;
inline constexpr size_t kFirmwareInfoSize = 32;
inline constexpr size_t kIdentitySize = 40;

// The unit's own error codes (32-bit on the wire; the 16-bit readers see the
// low half, which is why every code fits in 16 bits).
inline constexpr uint32_t kErrUnknownCommand = 0x0100;
inline constexpr uint32_t kErrBadReportId = 0x0101;
inline constexpr uint32_t kErrReadLength = 0x0110;   // ReadMemory of more than 56 bytes
inline constexpr uint32_t kErrReadAddress = 0x0111;  // ReadMemory outside the EEPROM and the info block
inline constexpr uint32_t kErrNotLocked = 0x0120;    // erase or write without the system lock
inline constexpr uint32_t kErrFlashClosed = 0x0121;  // erase or write outside FlashAccess 0 .. 1
inline constexpr uint32_t kErrNoWriteAddress = 0x0122;  // WriteBlock before AssignWriteAddress
inline constexpr uint32_t kErrWriteOverflow = 0x0123;   // WriteBlock past the EEPROM's end
inline constexpr uint32_t kErrBadUnlockWord = 0x0124;   // erase or assign with another unlock word
inline constexpr uint32_t kErrBadBlockSize = 0x0125;    // WriteBlock byte count above 56 or not whole words
inline constexpr uint32_t kErrBadParamLength = 0x0102;  // parameter-length byte not the command's own
inline constexpr uint32_t kErrQueryAddress = 0x0112;    // UnitDataQuery of another address
inline constexpr uint32_t kErrBadParameter = 0x0126;    // AssignWriteAddress with another mode or offset
inline constexpr uint32_t kErrWrongMode = 0x0130;       // lock, read or identity outside the normal mode
inline constexpr uint32_t kErrNoEsc = 0x0131;           // lock, read or identity without an updatable ESC
inline constexpr uint32_t kErrPersist = 0x0140;         // the memory file could not be written

// What AssignWriteAddress answers: where the block starts in the ESC's flash.
inline constexpr uint32_t kAssignedWriteAddress = 0x0801F800;

// The status fields a unit outside its normal mode reports.
struct AltStatus {
  uint8_t byte0 = 0x01;
  uint16_t word = 0x0203;
  uint32_t long0 = 0x04050607;
  uint32_t long1 = 0x08090A0B;
  uint8_t byte1 = 0x0C;
};

struct SimUnitConfig {
  uint16_t product_id = kProductLinkbox;
  // The ESC behind the unit.
  uint16_t family = kFamilyBrenta;
  uint16_t model_number = 160;
  uint16_t param_version = kParamVersion92B;
  uint16_t esc_firmware_version = 0x0105;  // 0xFFFF: no firmware
  uint32_t bootloader_version = 0x00000102;
  uint32_t esc_serial = 0x00A51C07;  // identity record bytes 8..11
  // The unit itself.
  uint32_t unit_firmware_version = 0x00010300;
  uint32_t unit_aux_word = 0x00000001;
  uint8_t unit_mode = 0;    // not 0: the unit is in another mode
  uint16_t esc_state = kEscStateUpdatable;  // not 3: no updatable ESC
  uint16_t esc_state_aux = 0;
  AltStatus alt_status{};
  uint32_t input_report_length = kReportSize;
  uint32_t output_report_length = kReportSize;
  // Empty: the EEPROM lives in memory only.
  std::string eeprom_file;
  // How the memory file is written; null: the real file system.
  EepromFileCalls* file_calls = nullptr;
  // Time stamps of the transcript; none given: every stamp is 0.
  std::function<uint64_t()> clock;
};

// When an injected fault fires: at one exchange index, or on a command
// (its `occurrence`-th request since opening, counted from 1; 0: every one).
struct Trigger {
  std::optional<uint32_t> exchange;
  uint8_t command = 0;
  uint32_t occurrence = 0;

  static Trigger AtExchange(uint32_t index) { return Trigger{index, 0, 0}; }
  static Trigger OnCommand(uint8_t code, uint32_t nth = 0) { return Trigger{std::nullopt, code, nth}; }
  bool operator==(const Trigger&) const = default;
};

struct ErrorFault {
  Trigger when;
  uint32_t code = 0;
};

// A success answer whose status byte is not 0 (never 0xFF, the error status).
struct StatusFault {
  Trigger when;
  uint8_t status = 0x01;
};

// A WriteBlock acknowledged as usual, but the ESC keeps byte `offset` of the
// block (counted from the block's start) with its bits inverted.
struct CorruptFault {
  Trigger when;
  uint32_t offset = 0;
};

struct SimFaults {
  // The unit disappears once this many exchanges are complete: the next
  // request cannot be written.
  std::optional<uint32_t> unplug_after_exchanges;
  // The unit disappears while this exchange's answer is pending: the request
  // is written, its answer never comes and the read fails.
  std::optional<uint32_t> unplug_during_exchange;
  // Answer with error status and the code instead of carrying the command out.
  std::vector<ErrorFault> errors;
  // SystemLock / FlashAccess: the unit keeps its state and echoes the other one.
  std::vector<Trigger> wrong_echo;
  // No answer at all: the read times out; the request has no effect.
  std::vector<Trigger> no_answer;
  // The answer comes cut to half the input report length; the request had
  // its effect.
  std::vector<Trigger> cut_answer;
  std::vector<StatusFault> odd_status;
  std::vector<CorruptFault> corrupt;
  // Opening the unit's interface is refused.
  HidOpenStatus open_status = HidOpenStatus::Ok;
  // The report lengths (HID capabilities) cannot be read.
  bool report_lengths_fail = false;
};

enum class ReportDirection : uint8_t { ToUnit, FromUnit };

struct TranscriptEntry {
  ReportDirection direction = ReportDirection::ToUnit;
  uint32_t exchange = 0;
  uint8_t command = 0;         // the request's command code, also on its answer
  std::vector<uint8_t> bytes;  // exactly the report as written or returned
  uint64_t time_ms = 0;
  bool operator==(const TranscriptEntry&) const = default;
};

// Cut: the report holds the first half of the answer, the rest zero.
enum class UnitReadStatus : uint8_t { Ok, NoAnswer, Gone, Cut };

class SimUnit {
 public:
  explicit SimUnit(SimUnitConfig config = {});

  // Identity, report lengths and status fields may be changed at any time;
  // the EEPROM keeps what it holds.
  SimUnitConfig& config() { return config_; }
  const SimUnitConfig& config() const { return config_; }
  SimFaults& faults() { return faults_; }

  // --- Transport, as the simulated HID port drives it. ---
  // A fresh session: exchange and occurrence counts from 0, no lock, flash
  // closed, no write address, nothing pending.
  void BeginSession();
  // False when the unit is gone (nothing is received).
  bool ReceiveReport(std::span<const uint8_t> report);
  // Copies the pending answer into `report` (its size is the input length).
  UnitReadStatus AnswerReport(std::span<uint8_t> report);
  bool Present() const { return present_; }
  // Pulled from the USB port: the session ends, a pending answer is lost.
  void Disconnect();
  void Reconnect();

  // --- The ESC's memory. ---
  std::span<const uint8_t> Eeprom() const { return eeprom_; }
  std::span<uint8_t> MutableEeprom() { return eeprom_; }
  void SetBlockLengthWord(uint16_t length);
  // The 32-byte firmware information block and the 40-byte identity record
  // as the unit reports them now.
  std::array<uint8_t, kFirmwareInfoSize> FirmwareInfoBlock() const;
  std::array<uint8_t, kIdentitySize> IdentityRecord() const;
  // Why the persistence file could not be read or written; empty if fine.
  const std::string& PersistError() const { return persist_error_; }

  // --- What happened. ---
  const std::vector<TranscriptEntry>& Transcript() const { return transcript_; }
  void ClearTranscript() { transcript_.clear(); }
  uint32_t ExchangeCount() const { return exchange_count_; }
  bool Locked() const { return locked_; }
  bool FlashOpen() const { return flash_open_; }
  std::optional<uint32_t> WritePointer() const { return write_pointer_; }

 private:
  struct Request;
  void FillInitialEeprom();
  void LoadEeprom();
  // False (with PersistError set) when the file could not be replaced.
  bool SaveEeprom();
  // Keeps a change of the EEPROM only when the file takes it too; else
  // restores `before` and says false.
  bool KeepChange(const std::array<uint8_t, kEepromSize>& before);
  bool Fires(const Trigger& trigger, uint32_t exchange, uint8_t command) const;
  Report Execute(const Request& request);
  Report ReadMemoryAnswer(uint32_t address, uint32_t length) const;
  Report EraseAnswer(const Request& request);
  Report WriteBlockAnswer(const Request& request);
  uint64_t Now() const { return config_.clock ? config_.clock() : 0; }
  void CheckUnplugAfter();

  SimUnitConfig config_;
  SimFaults faults_;
  std::array<uint8_t, kEepromSize> eeprom_{};
  std::string persist_error_;

  bool present_ = true;
  uint32_t exchange_count_ = 0;
  std::array<uint32_t, 256> occurrences_{};
  bool locked_ = false;
  bool flash_open_ = false;
  std::optional<uint32_t> write_pointer_;

  std::optional<Report> pending_;
  bool pending_cut_ = false;
  uint8_t pending_command_ = 0;
  uint32_t pending_exchange_ = 0;
  std::vector<TranscriptEntry> transcript_;
};

// The EEPROM a fresh unit holds: the family's default set ("Sports plane";
// "Multicopter" for DELMAR-Z; the BRENTA base set for a family without sets)
// with the unit's parameter-set version, stick positions 1100/1500/1900, sealed
// as "Store on ESC" would seal it, and 0xFF behind the block.
std::array<uint8_t, kEepromSize> InitialEeprom(uint16_t family, uint16_t model_number,
                                               uint16_t param_version);

}  // namespace tavio::sim
