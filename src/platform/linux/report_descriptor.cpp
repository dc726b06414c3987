#include "platform/linux/report_descriptor.h"

#include <array>

namespace tavio {
namespace {

// Item types and tags of short items.
constexpr uint8_t kTypeMain = 0;
constexpr uint8_t kTypeGlobal = 1;

constexpr uint8_t kMainInput = 0x8;
constexpr uint8_t kMainOutput = 0x9;
constexpr uint8_t kMainCollection = 0xA;
constexpr uint8_t kMainFeature = 0xB;
constexpr uint8_t kMainEndCollection = 0xC;

constexpr uint8_t kGlobalReportSize = 0x7;
constexpr uint8_t kGlobalReportId = 0x8;
constexpr uint8_t kGlobalReportCount = 0x9;
constexpr uint8_t kGlobalPush = 0xA;
constexpr uint8_t kGlobalPop = 0xB;

constexpr uint8_t kLongItemPrefix = 0xFE;

// Only the globals that decide report lengths are tracked.
struct Globals {
  uint32_t report_size = 0;
  uint32_t report_count = 0;
  uint8_t report_id = 0;
};

}  // namespace

std::optional<ReportDescriptorInfo> ParseReportDescriptor(std::span<const uint8_t> descriptor) {
  if (descriptor.empty() || descriptor.size() > kMaxReportDescriptorBytes) return std::nullopt;

  Globals globals;
  std::array<Globals, kMaxGlobalStackDepth> stack{};
  size_t stack_depth = 0;
  uint32_t collection_depth = 0;
  bool uses_report_ids = false;
  ReportBits input;
  ReportBits output;

  size_t pos = 0;
  while (pos < descriptor.size()) {
    const uint8_t prefix = descriptor[pos];
    if (prefix == kLongItemPrefix) {
      // Long items carry nothing about report layout: skip size byte, tag byte
      // and data.
      if (descriptor.size() - pos < 3) return std::nullopt;
      const size_t data_size = descriptor[pos + 1];
      if (descriptor.size() - pos - 3 < data_size) return std::nullopt;
      pos += 3 + data_size;
      continue;
    }

    const size_t size_code = prefix & 0x3;
    const size_t data_size = size_code == 3 ? 4 : size_code;
    const uint8_t type = (prefix >> 2) & 0x3;
    const uint8_t tag = (prefix >> 4) & 0xF;
    if (descriptor.size() - pos - 1 < data_size) return std::nullopt;
    uint32_t value = 0;
    for (size_t i = 0; i < data_size; ++i) {
      value |= static_cast<uint32_t>(descriptor[pos + 1 + i]) << (8 * i);
    }
    pos += 1 + data_size;

    if (type == kTypeGlobal) {
      switch (tag) {
        case kGlobalReportSize:
          if (value > kMaxReportSizeBits) return std::nullopt;
          globals.report_size = value;
          break;
        case kGlobalReportCount:
          if (value > kMaxReportCount) return std::nullopt;
          globals.report_count = value;
          break;
        case kGlobalReportId:
          // 0 is reserved for "no report IDs" and cannot be declared.
          if (value == 0 || value > 255) return std::nullopt;
          globals.report_id = static_cast<uint8_t>(value);
          uses_report_ids = true;
          break;
        case kGlobalPush:
          if (stack_depth == stack.size()) return std::nullopt;
          stack[stack_depth++] = globals;
          break;
        case kGlobalPop:
          if (stack_depth == 0) return std::nullopt;
          globals = stack[--stack_depth];
          break;
        default:
          break;
      }
    } else if (type == kTypeMain) {
      const uint64_t field_bits = uint64_t{globals.report_size} * globals.report_count;
      switch (tag) {
        case kMainInput:
          if (!input.Add(globals.report_id, field_bits)) return std::nullopt;
          break;
        case kMainOutput:
          if (!output.Add(globals.report_id, field_bits)) return std::nullopt;
          break;
        case kMainFeature:
          break;  // feature reports do not count towards either length
        case kMainCollection:
          ++collection_depth;
          break;
        case kMainEndCollection:
          if (collection_depth == 0) return std::nullopt;
          --collection_depth;
          break;
        default:
          break;
      }
    }
    // Local items and reserved types do not affect the lengths.
  }
  if (collection_depth != 0) return std::nullopt;

  ReportDescriptorInfo info;
  info.uses_report_ids = uses_report_ids;
  info.input_length = input.Length();
  info.output_length = output.Length();
  return info;
}

}  // namespace tavio
