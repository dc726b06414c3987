#include "platform/linux/report_descriptor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/hex.h"

namespace tavio {
namespace {

using test::Hex;

struct DescriptorCase {
  const char* name;
  std::string descriptor;
  ReportDescriptorInfo expected;
};

std::vector<DescriptorCase> Cases() {
  return {
      // Vendor unit: output report 1 and input report 2, 59 data bytes each.
      {"VendorNumbered60",
       "06 00 FF 09 01 A1 01 15 00 26 FF 00 75 08"
       " 85 02 95 3B 09 02 81 02"
       " 85 01 95 3B 09 03 91 02 C0",
       {true, 60, 60}},
      // No report IDs: 32 bytes in, 8 bytes out; lengths still add the ID byte.
      {"VendorUnnumbered",
       "06 00 FF 09 01 A1 01 15 00 26 FF 00 75 08"
       " 95 20 09 02 81 02 95 08 09 03 91 02 C0",
       {false, 33, 9}},
      // Several input reports; the largest (ID 2, 20 bytes) decides. ID 3 adds
      // bit fields within one report: 3 + 5 + 32 bits = 5 bytes.
      {"SeveralInputSizes",
       "06 00 FF 09 01 A1 01"
       " 85 01 75 08 95 08 81 02"
       " 85 02 75 08 95 14 81 02"
       " 85 03 75 01 95 03 81 02 75 05 95 01 81 03 75 10 95 02 81 02"
       " 85 04 75 01 95 0D 81 02 C0",
       {true, 21, 0}},
      // Partial byte rounds up: 12 bits are 2 bytes.
      {"BitsRoundUp", "06 00 FF 09 01 A1 01 75 01 95 0C 81 02 C0", {false, 3, 0}},
      // Boot keyboard: 8 modifier bits, reserved byte, 6 key codes in; 5 LED
      // bits plus 3 padding bits out.
      {"Keyboard",
       "05 01 09 06 A1 01 05 07 19 E0 29 E7 15 00 25 01 75 01 95 08 81 02"
       " 95 01 75 08 81 03 95 05 75 01 05 08 19 01 29 05 91 02"
       " 95 01 75 03 91 03 95 06 75 08 15 00 25 65 05 07 19 00 29 65 81 00 C0",
       {false, 9, 2}},
      // Four-byte usage page and usages; Report Size/Count given in 2 and 4
      // byte forms: 16 x 32 bits in, 64 x 8 bits out.
      {"LongDataForms",
       "07 00 FF 00 00 0B 01 00 00 FF A1 01 17 00 00 00 80 27 FF FF FF 7F"
       " 75 20 97 10 00 00 00 0B 02 00 00 FF 81 02"
       " 76 08 00 96 40 00 0B 03 00 00 FF 91 02 C0",
       {false, 65, 65}},
      // Pop restores report ID, size and count: the last input joins report 1
      // (4 + 4 bytes); report 2 keeps its 16 bytes.
      {"PushPop",
       "06 00 FF 09 01 A1 01 85 01 75 08 95 04 81 02"
       " A4 85 02 75 10 95 08 81 02 B4"
       " 81 02 C0",
       {true, 17, 0}},
      // A long item whose data would read as two Input items if parsed as
      // short items.
      {"LongItemSkipped",
       "06 00 FF 09 01 A1 01 75 08 95 04 FE 04 00 81 02 81 02 81 02 C0",
       {false, 5, 0}},
      // A 255-byte feature report must not count.
      {"FeatureIgnored",
       "06 00 FF 09 01 A1 01 75 08 85 03 95 FF B1 02"
       " 85 02 95 3B 81 02 85 01 95 3B 91 02 C0",
       {true, 60, 60}},
      // Largest accepted sizes: 256-bit fields, 16384 bytes in one report.
      {"LimitsAccepted",
       "75 08 96 00 20 81 02 81 02 75 FF 95 01 91 02 76 00 01 95 01 91 02",
       {false, 16385, 65}},
      // Nested collections and local items only: nothing to report.
      {"NoReports", "05 01 09 02 A1 01 09 01 A1 00 C0 C0", {false, 0, 0}},
  };
}

TEST(ReportDescriptor, ComputesWindowsLengths) {
  for (const DescriptorCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> bytes = Hex(c.descriptor);
    const auto info = ParseReportDescriptor(bytes);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->uses_report_ids, c.expected.uses_report_ids);
    EXPECT_EQ(info->input_length, c.expected.input_length);
    EXPECT_EQ(info->output_length, c.expected.output_length);
  }
}

struct BadCase {
  const char* name;
  std::string descriptor;
};

TEST(ReportDescriptor, RefusesMalformed) {
  const std::vector<BadCase> cases = {
      {"Empty", ""},
      {"ShortItemCut", "75"},
      {"TwoByteItemCut", "06 00"},
      {"FourByteItemCut", "97 10 00 00"},
      {"LongItemHeaderCut", "FE 05"},
      {"LongItemDataCut", "FE 05 00 01 02 03 04"},
      {"ReportSizeTooLarge", "76 01 01 95 01 81 02"},
      {"ReportCountTooLarge", "75 08 96 01 30 81 02"},
      {"ReportCountHuge", "75 08 97 FF FF FF FF 81 02"},
      {"ReportIdZero", "85 00 75 08 95 01 81 02"},
      {"ReportIdAbove255", "86 00 01 75 08 95 01 81 02"},
      {"ReportTooLong", "75 08 96 00 20 81 02 81 02 95 01 81 02"},
      {"PopWithoutPush", "B4"},
      {"PushTooDeep", "A4 A4 A4 A4 A4"},
      {"EndWithoutCollection", "C0"},
      {"CollectionLeftOpen", "A1 01 75 08 95 01 81 02"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> bytes = Hex(c.descriptor);
    EXPECT_FALSE(ParseReportDescriptor(bytes).has_value());
  }
}

TEST(ReportDescriptor, PushAtDepthLimitAndBackIsAccepted) {
  const auto bytes = Hex("75 08 95 02 A4 A4 A4 A4 B4 B4 B4 B4 81 02");
  const auto info = ParseReportDescriptor(bytes);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->input_length, 3u);
}

TEST(ReportDescriptor, DescriptorSizeLimit) {
  // Zero bytes are empty main items: harmless filler.
  const std::vector<uint8_t> at_limit(kMaxReportDescriptorBytes, 0);
  const auto info = ParseReportDescriptor(at_limit);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(*info, (ReportDescriptorInfo{false, 0, 0}));

  const std::vector<uint8_t> over_limit(kMaxReportDescriptorBytes + 1, 0);
  EXPECT_FALSE(ParseReportDescriptor(over_limit).has_value());
}

TEST(ReportDescriptor, EveryTruncationOfARealDescriptorStaysInBounds) {
  // Cut the vendor descriptor after every byte: each prefix either parses or
  // fails, and none may read past its end (checked under the sanitizers).
  const auto full = Hex(
      "06 00 FF 09 01 A1 01 15 00 26 FF 00 75 08 85 02 95 3B 09 02 81 02"
      " 85 01 95 3B 09 03 91 02 FE 02 00 AA BB C0");
  int parsed = 0;
  for (size_t n = 0; n < full.size(); ++n) {
    const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    if (ParseReportDescriptor(cut).has_value()) ++parsed;
  }
  // Only the cuts right after the usage page and after the usage are whole
  // and balanced; every later one leaves the collection open or an item cut.
  EXPECT_EQ(parsed, 2);
  EXPECT_EQ(ParseReportDescriptor(full), (ReportDescriptorInfo{true, 60, 60}));
}

}  // namespace
}  // namespace tavio
