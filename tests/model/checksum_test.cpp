// Block checksum, sealing, and which layout or checksum each operation picks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "core/model/config_image.h"
#include "support/hex.h"

namespace tavio {
namespace {

ConfigImage Filled(uint8_t value) {
  ConfigImage image;
  image.bytes.fill(value);
  return image;
}

// Byte i holds i: the prefix sums are easy to work out by hand.
ConfigImage Ascending() {
  ConfigImage image;
  for (size_t i = 0; i < kImageSize; ++i) image.bytes[i] = static_cast<uint8_t>(i);
  return image;
}

void Put(ConfigImage& image, size_t offset, const char* hex) {
  const auto bytes = test::Hex(hex);
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin() + static_cast<long>(offset));
}

ConfigImage With(ConfigImage image, size_t offset, const char* hex) {
  Put(image, offset, hex);
  return image;
}

TEST(ImageChecksum, HandComputedPrefixes) {
  // Words 0x0001 at 0x4A, 0x0010 at 0x4C, 0x0100 at 0x50, 0x1000 at 0x52,
  // 0x0002 at 0x56 and 0x4000 at 0x58 (outside every prefix).
  ConfigImage edges;
  Put(edges, 0x4A, "01 00 10 00");
  Put(edges, 0x50, "00 01 00 10");
  Put(edges, 0x56, "02 00 00 40");

  struct Case {
    const char* what;
    ConfigImage image;
    uint32_t sum76, sum82, sum88;
  };
  const Case cases[] = {
      {"all zero", ConfigImage{}, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
      // 0x0201 read little-endian; big-endian would give ~0x0102.
      {"01 02 at 0", With(ConfigImage{}, 0, "01 02"), 0xFFFFFDFE, 0xFFFFFDFE, 0xFFFFFDFE},
      // 0x0050 + 0x0400 + 0x0305 = 0x0755.
      {"head", With(ConfigImage{}, 0, "50 00 00 04 05 03 00 00"), 0xFFFFF8AA, 0xFFFFF8AA, 0xFFFFF8AA},
      // 76: 0x0001; 82: + 0x0010 + 0x0100; 88: + 0x1000 + 0x0002.
      {"prefix edges", edges, 0xFFFFFFFE, 0xFFFFFEEE, 0xFFFFEEEC},
      // 38, 41, 44 words of 0xFFFF: the sum passes 16 bits and is not folded.
      {"all FF", Filled(0xFF), 0xFFDA0025, 0xFFD70028, 0xFFD4002B},
      // Sum of words (2k) + 256 * (2k + 1) over k < 38 = 371070, < 41 = 431976, < 44 = 497508.
      {"ascending", Ascending(), 0xFFFA5681, 0xFFF96897, 0xFFF8689B},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ImageChecksum(c.image, 76), c.sum76);
    EXPECT_EQ(ImageChecksum(c.image, 82), c.sum82);
    EXPECT_EQ(ImageChecksum(c.image, 88), c.sum88);
  }
}

TEST(SealImage, StoresLittleEndianAtTheLayoutsOffsetOnly) {
  struct Case {
    ChecksumSpec spec;
    size_t offset;
    const char* stored;
  };
  const Case cases[] = {
      {kChecksum76, 0x4C, "81 56 FA FF"},
      {kChecksum82, 0x54, "97 68 F9 FF"},
      {kChecksum88, 0x58, "9B 68 F8 FF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    EXPECT_EQ(c.spec.offset, c.offset);
    ConfigImage image = Ascending();
    SealImage(image, c.spec);
    EXPECT_EQ(test::ToHex(image.bytes), test::ToHex(With(Ascending(), c.offset, c.stored).bytes));
    EXPECT_TRUE(ChecksumMatches(image, c.spec));
    // Sealing again finds the same bytes.
    SealImage(image, c.spec);
    EXPECT_EQ(test::ToHex(image.bytes), test::ToHex(With(Ascending(), c.offset, c.stored).bytes));
  }
}

TEST(ChecksumMatches, ComparesStoredValueWithThePrefix) {
  struct Case {
    const char* what;
    ConfigImage image;
    ChecksumSpec spec;
    bool matches;
  };
  const ConfigImage zero_sealed76 = With(ConfigImage{}, 0x4C, "FF FF FF FF");
  const ConfigImage zero_sealed82 = With(ConfigImage{}, 0x54, "FF FF FF FF");
  const ConfigImage zero_sealed88 = With(ConfigImage{}, 0x58, "FF FF FF FF");
  const Case cases[] = {
      {"zero, FFFFFFFF at 0x4C", zero_sealed76, kChecksum76, true},
      {"zero, FFFFFFFF at 0x54", zero_sealed82, kChecksum82, true},
      {"zero, FFFFFFFF at 0x58", zero_sealed88, kChecksum88, true},
      {"76 sealed, tested as 82", zero_sealed76, kChecksum82, false},
      {"76 sealed, tested as 88", zero_sealed76, kChecksum88, false},
      {"byte-swapped store", With(ConfigImage{}, 0x4C, "FE FF FF FF"), kChecksum76, false},
      {"prefix byte changed", With(zero_sealed76, 0x4B, "01"), kChecksum76, false},
      {"first byte changed", With(zero_sealed88, 0x00, "01"), kChecksum88, false},
      {"byte after 76-byte block changed", With(zero_sealed76, 0x50, "77 88"), kChecksum76, true},
      {"DELMAR-Z gap changed", With(zero_sealed82, 0x52, "12 34"), kChecksum82, true},
      {"byte 0x51 changed", With(zero_sealed82, 0x51, "01"), kChecksum82, false},
      {"unsealed pattern", Ascending(), kChecksum76, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ChecksumMatches(c.image, c.spec), c.matches);
  }
}

TEST(ImageChecksum, DelmarZGapIsNotCovered) {
  for (const char* gap : {"00 00", "FF FF", "12 34", "52 53"}) {
    SCOPED_TRACE(gap);
    ConfigImage image = With(Ascending(), 0x52, gap);
    EXPECT_EQ(ImageChecksum(image, 82), 0xFFF96897u);
    SealImage(image, kChecksum82);
    EXPECT_EQ(test::ToHex(std::span<const uint8_t>(image.bytes).subspan(0x52, 6)),
              std::string(gap) + " 97 68 F9 FF");
  }
}

struct RuleRow {
  uint16_t family;
  uint16_t version;
  std::optional<ImageLayout> display;
  std::optional<ChecksumSpec> store;
  std::optional<ChecksumSpec> save;
  std::optional<ChecksumSpec> load;
  DefaultSetKind defaults;
};

TEST(LayoutRules, EachOperationKeepsItsOwnLine) {
  using L = ImageLayout;
  using D = DefaultSetKind;
  const std::optional<ChecksumSpec> none;
  const std::optional<ImageLayout> hidden;
  const ChecksumSpec c76{76, 0x4C}, c82{82, 0x54}, c88{88, 0x58};
  const RuleRow rows[] = {
      {100, 0x03FF, L::Layout80A, c76, c76, c76, D::Alder},
      {100, 0x0400, L::Layout80A, c76, c76, c76, D::Alder},
      {100, 0x0401, L::Layout80A, c76, c76, c76, D::Alder},
      {100, 0x0402, L::Layout80A, c76, c76, c76, D::Alder},
      {100, 0x0104, L::Layout80A, c76, c76, c76, D::Alder},
      {200, 0x03FF, hidden, c88, none, none, D::ExtendedBrenta},
      {200, 0x0400, L::Layout80B, c76, c76, c76, D::Base},
      {200, 0x0401, L::Layout92B, c88, c88, c88, D::ExtendedBrenta},
      {200, 0x0402, L::Layout92B, c88, none, none, D::ExtendedBrenta},
      {200, 0x0104, hidden, c88, none, none, D::ExtendedBrenta},
      {300, 0x03FF, hidden, c88, none, none, D::ExtendedCorvan},
      {300, 0x0400, L::Layout80B, c76, c76, c76, D::Base},
      {300, 0x0401, L::Layout92B, c88, c88, c88, D::ExtendedCorvan},
      {300, 0x0402, L::Layout92B, c88, none, none, D::ExtendedCorvan},
      {300, 0x0104, hidden, c88, none, none, D::ExtendedCorvan},
      {400, 0x03FF, L::Layout88D, c82, c82, c82, D::DelmarZ},
      {400, 0x0400, L::Layout88D, c82, c82, c82, D::DelmarZ},
      {400, 0x0401, L::Layout88D, c82, c82, c82, D::DelmarZ},
      {400, 0x0402, L::Layout88D, c82, c82, c82, D::DelmarZ},
      {400, 0x0104, L::Layout88D, c82, c82, c82, D::DelmarZ},
      {500, 0x03FF, hidden, none, none, none, D::None},
      {500, 0x0400, hidden, none, none, none, D::None},
      {500, 0x0401, hidden, none, none, none, D::None},
      {500, 0x0402, hidden, none, none, none, D::None},
      {500, 0x0104, hidden, none, none, none, D::None},
      {0, 0x03FF, hidden, none, none, none, D::None},
      {0, 0x0400, hidden, none, none, none, D::None},
      {0, 0x0401, hidden, none, none, none, D::None},
      {0, 0x0402, hidden, none, none, none, D::None},
      {0, 0x0104, hidden, none, none, none, D::None},
  };
  for (const RuleRow& r : rows) {
    SCOPED_TRACE(testing::Message() << "family " << r.family << " version 0x" << std::hex << r.version);
    EXPECT_EQ(SelectLayout(r.family, r.version), r.display);
    EXPECT_EQ(StoreChecksum(r.family, r.version), r.store);
    EXPECT_EQ(SaveChecksum(r.family, r.version), r.save);
    EXPECT_EQ(LoadTestChecksum(r.family, r.version), r.load);
    EXPECT_EQ(DefaultSetFor(r.family, r.version), r.defaults);
  }
}

}  // namespace
}  // namespace tavio
