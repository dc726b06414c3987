#include "platform/linux/report_descriptor.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

#include "support/hex.h"

namespace tavio {
namespace {

using test::Hex;

// The unit's descriptor: vendor page, input report 2 and output report 1 of 59 bytes each.
constexpr const char* kUnit =
    "06 00 FF 09 01 A1 01 15 00 26 FF 00 75 08 85 02 95 3B 09 02 81 02 85 01 95 3B 09 03 91 02 C0";

TEST(ReportDescriptor, LengthsAsWindowsReportsThem) {
  const std::optional<ReportDescriptorInfo> refused;
  // What it is, the descriptor, what the parser makes of it.
  const std::tuple<const char*, std::vector<uint8_t>, std::optional<ReportDescriptorInfo>> cases[] = {
      {"unit", Hex(kUnit), ReportDescriptorInfo{true, 60, 60}},
      // A 255-byte feature report does not count; a long item is skipped whole.
      {"unit with a feature report and a long item",
       Hex("06 00 FF 09 01 A1 01 75 08 85 03 95 FF B1 02 FE 02 00 81 02 85 02 95 3B 81 02 85 01 95 3B 91 02 C0"),
       ReportDescriptorInfo{true, 60, 60}},
      // No report IDs: 32 bytes in, 8 out, each plus the ID byte.
      {"vendor, unnumbered", Hex("06 00 FF 09 01 A1 01 15 00 26 FF 00 75 08 95 20 09 02 81 02 95 08 09 03 91 02 C0"),
       ReportDescriptorInfo{false, 33, 9}},
      // The largest input report decides: ID 2 with 20 bytes; ID 3 packs 3 + 5 + 32 bits into 5.
      {"several inputs",
       Hex("06 00 FF 09 01 A1 01 85 01 75 08 95 08 81 02 85 02 75 08 95 14 81 02"
           " 85 03 75 01 95 03 81 02 75 05 95 01 81 03 75 10 95 02 81 02 C0"),
       ReportDescriptorInfo{true, 21, 0}},
      // Boot keyboard: modifier bits, a reserved byte and 6 keys in; 5 LED bits and padding out.
      {"keyboard",
       Hex("05 01 09 06 A1 01 05 07 19 E0 29 E7 15 00 25 01 75 01 95 08 81 02 95 01 75 08 81 03 95 05 75 01 05 08"
           " 19 01 29 05 91 02 95 01 75 03 91 03 95 06 75 08 15 00 25 65 05 07 19 00 29 65 81 00 C0"),
       ReportDescriptorInfo{false, 9, 2}},
      // Four-byte items; pop restores size and count: 16 x 32 bits in, 64 bytes out.
      {"long forms, push and pop",
       Hex("07 00 FF 00 00 A1 01 75 20 97 10 00 00 00 A4 76 08 00 96 40 00 91 02 B4 81 02 C0"),
       ReportDescriptorInfo{false, 65, 65}},
      {"no reports", Hex("05 01 09 02 A1 01 09 01 A1 00 C0 C0"), ReportDescriptorInfo{false, 0, 0}},
      // The largest accepted: 16384 bytes in one report, 256-bit fields, pushed four deep.
      {"limits", Hex("75 08 96 00 20 81 02 81 02 75 FF 95 01 91 02 76 00 01 95 01 91 02"),
       ReportDescriptorInfo{false, 16385, 65}},
      {"push depth", Hex("75 08 95 02 A4 A4 A4 A4 B4 B4 B4 B4 81 02"), ReportDescriptorInfo{false, 3, 0}},
      // Zero bytes are empty main items: harmless filler.
      {"filler up to the size limit", std::vector<uint8_t>(kMaxReportDescriptorBytes), ReportDescriptorInfo{}},
      {"over the size limit", std::vector<uint8_t>(kMaxReportDescriptorBytes + 1), refused},
      {"empty", Hex(""), refused},
      {"item cut", Hex("97 10 00 00"), refused},
      {"long item cut", Hex("FE 05 00 01 02 03 04"), refused},
      {"report size above 256 bits", Hex("76 01 01 95 01 81 02"), refused},
      {"report count above 12288", Hex("75 08 96 01 30 81 02"), refused},
      {"report count absurd", Hex("75 08 97 FF FF FF FF 81 02"), refused},
      {"report above 16384 bytes", Hex("75 08 96 00 20 81 02 81 02 95 01 81 02"), refused},
      {"report ID 0", Hex("85 00 75 08 95 01 81 02"), refused},
      {"report ID above 255", Hex("86 00 01 75 08 95 01 81 02"), refused},
      {"pop without push", Hex("B4"), refused},
      {"push too deep", Hex("A4 A4 A4 A4 A4"), refused},
      {"collection never closed", Hex("A1 01 75 08 95 01 81 02"), refused},
      {"collection never opened", Hex("C0"), refused},
  };
  for (const auto& [name, bytes, info] : cases) EXPECT_EQ(ParseReportDescriptor(bytes), info) << name;
  // Cut after every byte, the unit's descriptor parses only where it is whole
  // and balanced: after the usage page and after the usage.
  const std::vector<uint8_t> unit = Hex(kUnit);
  int parsed = 0;
  for (size_t n = 0; n < unit.size(); ++n) parsed += ParseReportDescriptor(std::span(unit).first(n)).has_value();
  EXPECT_EQ(parsed, 2);
}

}  // namespace
}  // namespace tavio
