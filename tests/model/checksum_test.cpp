// Block checksum and sealing, which layout or checksum each operation picks,
// and the fields that sit at different offsets in different layouts.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "core/model/config_image.h"
#include "support/hex.h"

namespace tavio {
namespace {

using test::ToHex;

ConfigImage With(ConfigImage image, size_t offset, const char* hex) {
  const auto bytes = test::Hex(hex);
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin() + static_cast<long>(offset));
  return image;
}

// Byte i holds i: the prefix sums are easy to work out by hand.
ConfigImage Ascending() {
  ConfigImage image;
  for (size_t i = 0; i < kImageSize; ++i) image.bytes[i] = static_cast<uint8_t>(i);
  return image;
}

TEST(ImageChecksum, HandComputedPerPrefix) {
  // Words 0x0001 at 0x4A, 0x0010 at 0x4C, 0x0100 at 0x50, 0x1000 at 0x52 (the
  // DELMAR-Z gap), 0x0002 at 0x56 and 0x4000 at 0x58 (outside every prefix).
  const ConfigImage edges = With(With(ConfigImage{}, 0x4A, "01 00 10 00 00 00 00 01 00 10"), 0x56, "02 00 00 40");
  ConfigImage all_ff;
  all_ff.bytes.fill(0xFF);
  struct Case { const char* what; ConfigImage image; uint32_t sum76, sum82, sum88; };
  const Case cases[] = {
      {"all zero", ConfigImage{}, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
      // 0x0201 read little-endian; big-endian would give ~0x0102.
      {"01 02 at 0", With(ConfigImage{}, 0, "01 02"), 0xFFFFFDFE, 0xFFFFFDFE, 0xFFFFFDFE},
      // 76: 0x0001; 82: + 0x0010 + 0x0100; 88: + 0x1000 + 0x0002.
      {"prefix edges", edges, 0xFFFFFFFE, 0xFFFFFEEE, 0xFFFFEEEC},
      // 38, 41, 44 words of 0xFFFF: the sum passes 16 bits and is not folded.
      {"all FF", all_ff, 0xFFDA0025, 0xFFD70028, 0xFFD4002B},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ImageChecksum(c.image, 76), c.sum76);
    EXPECT_EQ(ImageChecksum(c.image, 82), c.sum82);
    EXPECT_EQ(ImageChecksum(c.image, 88), c.sum88);
  }
}

TEST(SealImage, StoresLittleEndianAtTheLayoutsOffsetAndNothingElse) {
  // `sealed`: the bytes the start image gets at the checksum offset.
  struct Case { ChecksumSpec checksum; ConfigImage start; const char* sealed; };
  const Case cases[] = {
      // Sum of words (2k) + 256 * (2k + 1) over k < 38 = 371070, < 41 = 431976, < 44 = 497508.
      {{76, 0x4C}, Ascending(), "81 56 FA FF"},
      {{82, 0x54}, Ascending(), "97 68 F9 FF"},
      {{88, 0x58}, Ascending(), "9B 68 F8 FF"},
      // The DELMAR-Z gap 0x52..0x53 is outside the 82-byte checksum.
      {{82, 0x54}, With(Ascending(), 0x52, "12 34"), "97 68 F9 FF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int{c.checksum.prefix} << " " << ToHex(c.start.bytes));
    ConfigImage image = c.start;
    SealImage(image, c.checksum);
    EXPECT_EQ(ToHex(image.bytes), ToHex(With(c.start, c.checksum.offset, c.sealed).bytes));
    EXPECT_TRUE(ChecksumMatches(image, c.checksum));
    image.bytes[c.checksum.prefix - 1] ^= 1;  // the last byte of the prefix
    EXPECT_FALSE(ChecksumMatches(image, c.checksum));
  }
}

TEST(LayoutRules, EachOperationKeepsItsOwnLine) {
  using L = ImageLayout;
  using D = DefaultSetKind;
  const std::optional<ChecksumSpec> no, c76 = ChecksumSpec{76, 0x4C}, c82 = ChecksumSpec{82, 0x54},
                                        c88 = ChecksumSpec{88, 0x58};
  const std::optional<ImageLayout> hidden;
  const std::vector<uint16_t> every = {0x03FF, 0x0400, 0x0401, 0x0402};
  struct Row {
    uint16_t family;
    std::vector<uint16_t> versions;
    std::optional<ImageLayout> display;
    std::optional<ChecksumSpec> store, save, load;
    DefaultSetKind defaults;
  };
  const Row rows[] = {
      {100, every, L::Layout80A, c76, c76, c76, D::Alder},
      {200, {0x03FF}, hidden, c88, no, no, D::ExtendedBrenta},
      {200, {0x0400}, L::Layout80B, c76, c76, c76, D::Base},
      {200, {0x0401}, L::Layout92B, c88, c88, c88, D::ExtendedBrenta},
      {200, {0x0402}, L::Layout92B, c88, no, no, D::ExtendedBrenta},
      {300, {0x03FF}, hidden, c88, no, no, D::ExtendedCorvan},
      {300, {0x0400}, L::Layout80B, c76, c76, c76, D::Base},
      {300, {0x0401}, L::Layout92B, c88, c88, c88, D::ExtendedCorvan},
      {300, {0x0402}, L::Layout92B, c88, no, no, D::ExtendedCorvan},
      {400, every, L::Layout88D, c82, c82, c82, D::DelmarZ},
      {500, every, hidden, no, no, no, D::None},
  };
  for (const Row& r : rows) {
    for (uint16_t version : r.versions) {
      SCOPED_TRACE(testing::Message() << "family " << r.family << " version 0x" << std::hex << version);
      EXPECT_EQ(SelectLayout(r.family, version), r.display);
      EXPECT_EQ(StoreChecksum(r.family, version), r.store);
      EXPECT_EQ(SaveChecksum(r.family, version), r.save);
      EXPECT_EQ(LoadTestChecksum(r.family, version), r.load);
      EXPECT_EQ(DefaultSetFor(r.family, version), r.defaults);
    }
  }
}

TEST(FieldAccess, FieldsThatMoveBetweenLayouts) {
  struct Place { int offset = -1; int width = 2; };  // offset -1: the layout lacks the field
  const Place no;
  struct Case { Field field; Place at[4]; };  // in Layout80A, Layout80B, Layout92B, Layout88D
  const Case cases[] = {
      {Field::GovI, {{0x2A}, no, no, {0x2A}}},
      {Field::RiCompMohm, {no, {0x2A}, {0x2A}, no}},
      {Field::Aux2C, {{0x2C}, no, no, {0x2C}}},
      {Field::CapacityLimitDah, {no, {0x2C}, {0x2C}, {0x3E}}},
      {Field::BrakeSlewNegMs, {no, {0x3E}, {0x3E}, no}},
      {Field::Aux44, {no, {0x44, 4}, {0x44, 4}, {0x44}}},
      {Field::PoleCount, {no, {0x48}, {0x48}, {0x40}}},
      {Field::GearRatioX100, {no, {0x4A}, {0x4A}, no}},
      {Field::WarnCutoffMv, {no, no, {0x4C}, {0x4A}}},
      {Field::WarnMotorCurrentA, {no, no, {0x4E}, {0x4C}}},
      {Field::WarnFetTempC, {no, no, {0x50}, {0x4E}}},
      {Field::WarnBecCurrentMa, {no, no, {0x54}, no}},
      {Field::WarnCapacityDah, {no, no, {0x56}, {0x50}}},
      {Field::Checksum, {{0x4C, 4}, {0x4C, 4}, {0x58, 4}, {0x54, 4}}},
  };
  const ImageLayout layouts[] = {ImageLayout::Layout80A, ImageLayout::Layout80B, ImageLayout::Layout92B,
                                 ImageLayout::Layout88D};
  for (const Case& c : cases) {
    for (int l = 0; l < 4; ++l) {
      SCOPED_TRACE(testing::Message() << FieldName(c.field) << " in " << LayoutName(layouts[l]));
      ConfigImage image = Ascending();
      const Place at = c.at[l];
      EXPECT_EQ(WriteField(image, layouts[l], c.field, 0x11223344), at.offset >= 0);
      const ConfigImage expected =
          at.offset < 0 ? Ascending() : With(Ascending(), at.offset, at.width == 2 ? "44 33" : "44 33 22 11");
      EXPECT_EQ(ToHex(image.bytes), ToHex(expected.bytes));
      const std::optional<uint32_t> read =
          at.offset < 0 ? std::nullopt : std::optional<uint32_t>(at.width == 2 ? 0x3344 : 0x11223344);
      EXPECT_EQ(ReadField(image, layouts[l], c.field), read);
    }
  }
}

}  // namespace
}  // namespace tavio
