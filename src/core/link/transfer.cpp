#include "core/link/transfer.h"

#include <algorithm>
#include <array>

#include "core/link/protocol.h"

namespace tavio {
namespace {

void Pause(UsbLink& link, uint32_t ms) {
  if (link.sleeper != nullptr) link.sleeper->SleepMs(ms);
}

void Fail(UsbLink& link, const CommErrorReporter& report, int32_t code, StringId text) {
  // The platform's error value is taken right after the failure.
  const uint32_t os_error = LinkLastError(link);
  const uint32_t unit_code = code == kResultUnitError ? link.unit_error_code : 0;
  if (report) report(CommError{code, sid::kCommErrorCaption, text, os_error, unit_code});
}

}  // namespace

Text CommErrorMessage(Language language, const CommError& error) {
  Text text(LookUpString(language, error.text));
  if (error.code != kResultNotConnected) {
    text += u"\r\n";
    text += FormatPattern(LookUpString(language, sid::kSystemErrorCode), static_cast<unsigned>(CodeLineValue(error)),
                          static_cast<unsigned>(error.os_error));
  }
  return text;
}

uint16_t ReadConfiguration(UsbLink& link, ConfigImage& image, const CommErrorReporter& report,
                           UnreadableBlock unreadable) {
  if (!IsConnected(link)) {
    Fail(link, report, kResultNotConnected, sid::kConnectionLost);
    return 0;
  }
  int32_t result = ReadMemory(link, 0, 4, std::span<uint8_t>(image.bytes).first(4));
  if (result != kResultOk) {
    Fail(link, report, result, sid::kReadEepromFailed);
    return 0;
  }
  Pause(link, kPauseMs);
  const uint16_t length = BlockLength(image);
  const bool maybe_erased = length == kErasedBlockLength;
  if (IsUnreadableLength(length)) {
    // The image holds 92 bytes; a longer block is never truncated into it.
    if (unreadable == UnreadableBlock::Accept) return length;
    Fail(link, report, kResultNotConnected, sid::kReadEepromFailed);
    return 0;
  }
  // An erased block is read as far as the image reaches, to see that it is
  // erased throughout.
  const uint32_t end = maybe_erased ? kImageSize : length;
  for (uint32_t offset = 4; offset < end;) {
    const uint32_t n = std::min<uint32_t>(end - offset, kPieceBytes);
    result = ReadMemory(link, offset, n, std::span<uint8_t>(image.bytes).subspan(offset, n));
    if (result != kResultOk) {
      Fail(link, report, result, sid::kReadEepromFailed);
      return 0;
    }
    offset += n;
    Pause(link, kPauseMs);
  }
  if (maybe_erased && !IsErasedBlock(image)) {
    Fail(link, report, kResultNotConnected, sid::kReadEepromFailed);
    return 0;
  }
  return length;
}

bool WriteConfiguration(UsbLink& link, const ConfigImage& image, const CommErrorReporter& report) {
  if (!IsConnected(link)) {
    Fail(link, report, kResultNotConnected, sid::kConnectionLost);
    return false;
  }
  const uint16_t length = BlockLength(image);
  const auto layout_length = StoreBlockLength(ConnectedFamily(link.info), EscParamVersion(link.info));
  if (layout_length ? length != *layout_length : length > kImageSize) {
    // Never send bytes from beyond the image, nor a block the ESC's layout
    // does not have: the erase would be followed by a block it cannot use.
    Fail(link, report, kResultNotConnected, sid::kBlockLengthRefused);
    return false;
  }
  // Each step with the text its failure is reported with.
  struct Step {
    int32_t (*run)(UsbLink&);
    StringId failure_text;
  };
  const Step steps[] = {
      {[](UsbLink& l) { return SystemLock(l, 1); }, sid::kSystemLockFailed},
      {[](UsbLink& l) { return FlashAccess(l, 0); }, sid::kFlashAccessFailed},
      {[](UsbLink& l) { return EraseConfig(l); }, sid::kEraseFailed},
      {[](UsbLink& l) { return AssignWriteAddress(l); }, sid::kAssignAddressFailed},
  };
  for (const Step& step : steps) {
    const int32_t result = step.run(link);
    if (result != kResultOk) {
      Fail(link, report, result, step.failure_text);
      return false;
    }
    Pause(link, kPauseMs);
  }

  for (uint32_t offset = 0; offset < length;) {
    const uint32_t remaining = length - offset;
    int32_t result = kResultOk;
    if (remaining >= kPieceBytes) {
      result = WriteBlock(link, std::span<const uint8_t>(image.bytes).subspan(offset, kPieceBytes),
                          kPieceBytes / 4);
      offset += kPieceBytes;
    } else {
      // The last piece goes out of a 0xFF-filled buffer; a partial last word
      // is sent whole, so no byte of the block is left out.
      std::array<uint8_t, kPieceBytes> last;
      last.fill(0xFF);
      std::copy_n(image.bytes.begin() + offset, remaining, last.begin());
      result = WriteBlock(link, last, (remaining + 3) / 4);
      offset = length;
    }
    if (result != kResultOk) {
      Fail(link, report, result, sid::kWriteBlockFailed);
      return false;
    }
    Pause(link, kPauseMs);
  }
  // Until the flash is closed and the lock released the ESC may not have
  // taken the block: these two are checked like every other step.
  int32_t result = FlashAccess(link, 1);
  if (result != kResultOk) {
    Fail(link, report, result, sid::kFlashCloseFailed);
    return false;
  }
  Pause(link, kPauseMs);
  result = SystemLock(link, 0);
  if (result != kResultOk) {
    Fail(link, report, result, sid::kSystemUnlockFailed);
    return false;
  }
  return true;
}

StoreResult StoreConfiguration(UsbLink& link, const ConfigImage& image, const CommErrorReporter& report) {
  StoreResult out;
  if (!WriteConfiguration(link, image, report)) return out;
  Pause(link, kPauseMs);
  // A read-back that fails says so in its own words, not as a readout error.
  bool read_failed = false;
  const CommErrorReporter read_back_report = [&report, &read_failed](const CommError& error) {
    read_failed = true;
    CommError changed = error;
    if (changed.text == sid::kReadEepromFailed) changed.text = sid::kReadBackFailed;
    if (report) report(changed);
  };
  // A length word changed beyond 92 is a difference like any other, found
  // in the first 4 bytes, not a failed read-back.
  ConfigImage back;
  ReadConfiguration(link, back, read_back_report, UnreadableBlock::Accept);
  if (read_failed) return out;
  // The whole block, its length word and checksum included; the write made
  // sure that is the layout's length.
  const size_t length = std::min<size_t>(BlockLength(image), kImageSize);
  for (size_t i = 0; i < length; ++i) {
    if (image.bytes[i] != back.bytes[i]) {
      out.outcome = StoreOutcome::Mismatch;
      out.first_difference = static_cast<uint32_t>(i);
      return out;
    }
  }
  out.outcome = StoreOutcome::Stored;
  return out;
}

}  // namespace tavio
