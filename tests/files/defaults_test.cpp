// Factory default sets per family and model type, and the dialog rules.
//
// Every set is applied to an image pre-filled with a pattern (and again with
// its complement); the expected image is the pattern with exactly the listed
// fields and flag bits changed and the checksum of the final bytes stored, so
// any byte a set must not write is proven untouched.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/files/defaults.h"
#include "core/model/config_image.h"
#include "support/hex.h"

namespace tavio {
namespace {

struct Write {
  uint8_t offset;
  uint8_t width;  // 2 or 4
  uint32_t value;
};

uint32_t Bits(std::initializer_list<unsigned> bits) {
  uint32_t mask = 0;
  for (unsigned b : bits) mask |= 1u << b;
  return mask;
}
uint32_t BitRange(unsigned first, unsigned last) {
  uint32_t mask = 0;
  for (unsigned b = first; b <= last; ++b) mask |= 1u << b;
  return mask;
}

struct Change {
  std::vector<Write> writes;
  uint32_t set = 0;
  uint32_t clear = 0;
};

struct SetTable {
  const char* name;
  std::vector<Write> base;
  uint32_t set;
  uint32_t clear;
  uint32_t kept;
  uint8_t seal_prefix;
  uint8_t seal_offset;
};

const SetTable kAlder = {
    "ALDER",
    {{0x00, 2, 80},    {0x02, 2, 260},   {0x08, 2, 800},   {0x0A, 2, 3000}, {0x0C, 2, 2300},
     {0x0E, 2, 800},   {0x10, 2, 5600},  {0x12, 2, 2000},  {0x14, 2, 5},    {0x1C, 2, 409},
     {0x1E, 2, 409},   {0x20, 2, 245},   {0x22, 2, 500},   {0x24, 2, 200},  {0x26, 2, 12000},
     {0x28, 2, 4},     {0x2A, 2, 4},     {0x2C, 2, 128},   {0x30, 4, 30000}, {0x34, 2, 500},
     {0x36, 2, 5000},  {0x38, 2, 10000}, {0x3A, 2, 204},   {0x3C, 2, 100}},
    Bits({0, 2, 4, 8, 9, 11}),
    Bits({1, 3, 5, 6, 7, 10, 12}),
    BitRange(13, 31),
    76,
    0x4C,
};

const SetTable kBrentaCorvan = {
    "BRENTA/CORVAN",
    {{0x00, 2, 80},    {0x08, 2, 800},   {0x0A, 2, 3000},  {0x0C, 2, 2300},  {0x0E, 2, 1000},
     {0x10, 2, 5600},  {0x12, 2, 2000},  {0x14, 2, 5},     {0x1C, 2, 327},   {0x1E, 2, 204},
     {0x20, 2, 40},    {0x22, 2, 4000},  {0x24, 2, 200},   {0x26, 2, 12000}, {0x28, 2, 4},
     {0x2A, 2, 4},     {0x2C, 2, 0},     {0x30, 4, 30000}, {0x34, 2, 300},   {0x3A, 2, 81},
     {0x3C, 2, 100},   {0x3E, 2, 100},   {0x40, 2, 0},     {0x42, 2, 4096},  {0x44, 4, 24000},
     {0x48, 2, 2},     {0x4A, 2, 100}},
    Bits({0, 2, 4, 8, 9, 11, 16}),
    Bits({1, 3, 5, 6, 7, 10}) | BitRange(12, 15) | BitRange(17, 19),
    BitRange(20, 31),
    76,
    0x4C,
};

const SetTable kDelmarZ = {
    "DELMAR-Z",
    {{0x00, 2, 88},    {0x02, 2, 260},   {0x08, 2, 800},   {0x0A, 2, 3000},  {0x0C, 2, 2300},
     {0x0E, 2, 800},   {0x12, 2, 2000},  {0x14, 2, 5},     {0x1C, 2, 204},   {0x1E, 2, 204},
     {0x20, 2, 245},   {0x22, 2, 100},   {0x24, 2, 100},   {0x26, 2, 12000}, {0x28, 2, 4},
     {0x2A, 2, 4},     {0x2C, 2, 128},   {0x30, 4, 20000}, {0x34, 2, 100},   {0x36, 2, 2575},
     {0x38, 2, 5500},  {0x3A, 2, 204},   {0x3C, 2, 100},   {0x3E, 2, 0},     {0x40, 2, 14},
     {0x42, 2, 500},   {0x44, 2, 500},   {0x4A, 2, 3500},  {0x4C, 2, 68},    {0x4E, 2, 90},
     {0x50, 2, 0}},
    Bits({2, 9, 14}),
    Bits({0, 1}) | BitRange(3, 8) | BitRange(10, 13),
    BitRange(15, 31),
    82,
    0x54,
};

Change AlderChange(int code) {
  switch (code) {
    case 1: return {{{0x0E, 2, 400}}};
    case 3: return {{{0x20, 2, 2048}}, Bits({5, 12}), Bits({8})};
    case 9: return {{{0x16, 2, 65535}, {0x18, 2, 65535}, {0x1A, 2, 65535}}, Bits({11})};
    default: return {};  // 2 Sports plane, 4 RC Car: the base values alone
  }
}

Change BrentaCorvanChange(int code) {
  switch (code) {
    case 1: return {{{0x0E, 2, 500}, {0x22, 2, 1000}}};
    case 2: return {{{0x22, 2, 1000}}};
    case 3:
      return {{{0x22, 2, 8000}, {0x24, 2, 4000}, {0x3A, 2, 40}, {0x1C, 2, 1365}, {0x1E, 2, 0}, {0x20, 2, 1365}},
              Bits({5, 12, 14}),
              Bits({0, 8})};
    case 4: return {{{0x22, 2, 200}, {0x24, 2, 100}}, Bits({1, 13, 15, 17})};
    case 9: return {{{0x16, 2, 65535}, {0x18, 2, 65535}, {0x1A, 2, 65535}}, Bits({11})};
    default: return {};
  }
}

Change DelmarZChange(int code) {
  switch (code) {
    case 7: return {{}, Bits({13})};
    case 8: return {{}, Bits({10})};
    case 9: return {{{0x16, 2, 1000}, {0x18, 2, 1000}, {0x1A, 2, 2000}}};
    default: return {};  // 6 Multicopter
  }
}

uint16_t Get16(const ConfigImage& image, size_t offset) {
  return static_cast<uint16_t>(image.bytes[offset] | (image.bytes[offset + 1] << 8));
}
uint32_t Get32(const ConfigImage& image, size_t offset) {
  return Get16(image, offset) | (static_cast<uint32_t>(Get16(image, offset + 2)) << 16);
}
void Put(ConfigImage& image, const Write& w) {
  for (unsigned i = 0; i < w.width; ++i) image.bytes[w.offset + i] = static_cast<uint8_t>(w.value >> (8 * i));
}
void PutAll(ConfigImage& image, const std::vector<Write>& writes) {
  for (const Write& w : writes) Put(image, w);
}
void ChangeFlags(ConfigImage& image, uint32_t set, uint32_t clear) {
  Put(image, {0x04, 4, (Get32(image, 0x04) & ~clear) | set});
}
uint32_t Checksum(const ConfigImage& image, size_t prefix) {
  uint32_t sum = 0;
  for (size_t i = 0; i < prefix; i += 2) sum += Get16(image, i);
  return ~sum;
}
void Seal(ConfigImage& image, uint8_t prefix, uint8_t offset) { Put(image, {offset, 4, Checksum(image, prefix)}); }

ConfigImage Pattern() {
  ConfigImage image;
  for (size_t i = 0; i < kImageSize; ++i) image.bytes[i] = static_cast<uint8_t>(i * 37 + 11);
  return image;
}
ConfigImage Complement(ConfigImage image) {
  for (uint8_t& b : image.bytes) b = static_cast<uint8_t>(~b);
  return image;
}

// The image a set leaves behind, before its seal.
ConfigImage Unsealed(ConfigImage image, const SetTable& table, const Change& change) {
  PutAll(image, table.base);
  ChangeFlags(image, table.set, table.clear);
  PutAll(image, change.writes);
  ChangeFlags(image, change.set, change.clear);
  return image;
}

ConfigImage ExpectAlder(ConfigImage start, int code) {
  ConfigImage image = Unsealed(start, kAlder, AlderChange(code));
  Seal(image, 76, 0x4C);
  return image;
}
ConfigImage ExpectBase(ConfigImage start, int code) {
  ConfigImage image = Unsealed(start, kBrentaCorvan, BrentaCorvanChange(code));
  Seal(image, 76, 0x4C);
  return image;
}
ConfigImage ExpectDelmarZ(ConfigImage start, int code) {
  ConfigImage image = Unsealed(start, kDelmarZ, DelmarZChange(code));
  Seal(image, 82, 0x54);
  return image;
}
ConfigImage ExpectExtended(ConfigImage start, int code, uint16_t motor_current_a, uint16_t bec_current_ma) {
  ConfigImage image = Unsealed(start, kBrentaCorvan, BrentaCorvanChange(code));
  PutAll(image, {{0x00, 2, 92},
                 {0x4C, 2, 3500},
                 {0x4E, 2, motor_current_a},
                 {0x50, 2, 90},
                 {0x52, 2, 90},
                 {0x54, 2, bec_current_ma},
                 {0x56, 2, 0}});
  Seal(image, 88, 0x58);
  return image;
}

TEST(DefaultSets, AlderFieldByField) {
  for (int code : {1, 2, 3, 4, 9}) {
    for (const ConfigImage& start : {Pattern(), Complement(Pattern())}) {
      SCOPED_TRACE(code);
      ConfigImage image = start;
      ASSERT_TRUE(ApplyAlderDefaults(image, code));
      EXPECT_EQ(test::ToHex(image.bytes), test::ToHex(ExpectAlder(start, code).bytes));
      EXPECT_EQ(Get32(image, 0x04) & kAlder.kept, Get32(start, 0x04) & kAlder.kept);
      EXPECT_EQ(Get32(image, 0x4C), Checksum(image, 76));
      EXPECT_TRUE(ChecksumMatches(image, kChecksum76));
    }
  }
}

TEST(DefaultSets, BrentaCorvanBaseFieldByField) {
  for (int code : {1, 2, 3, 4, 9}) {
    for (const ConfigImage& start : {Pattern(), Complement(Pattern())}) {
      SCOPED_TRACE(code);
      ConfigImage image = start;
      ASSERT_TRUE(ApplyBaseDefaults(image, code));
      EXPECT_EQ(test::ToHex(image.bytes), test::ToHex(ExpectBase(start, code).bytes));
      EXPECT_EQ(Get32(image, 0x04) & kBrentaCorvan.kept, Get32(start, 0x04) & kBrentaCorvan.kept);
      EXPECT_EQ(Get16(image, 0x02), Get16(start, 0x02)) << "param_version is the ESC's";
      EXPECT_EQ(Get32(image, 0x4C), Checksum(image, 76));
      EXPECT_TRUE(ChecksumMatches(image, kChecksum76));
    }
  }
}

TEST(DefaultSets, DelmarZFieldByField) {
  for (int code : {6, 7, 8, 9}) {
    for (const ConfigImage& start : {Pattern(), Complement(Pattern())}) {
      SCOPED_TRACE(code);
      ConfigImage image = start;
      ASSERT_TRUE(ApplyDelmarZDefaults(image, code));
      EXPECT_EQ(test::ToHex(image.bytes), test::ToHex(ExpectDelmarZ(start, code).bytes));
      EXPECT_EQ(Get32(image, 0x04) & kDelmarZ.kept, Get32(start, 0x04) & kDelmarZ.kept);
      EXPECT_EQ(Get16(image, 0x10), Get16(start, 0x10)) << "BEC voltage is not part of the set";
      EXPECT_EQ(Get16(image, 0x46), Get16(start, 0x46)) << "aux_44 is 16-bit here";
      EXPECT_EQ(Get16(image, 0x52), Get16(start, 0x52)) << "gap";
      EXPECT_EQ(Get32(image, 0x54), Checksum(image, 82));
      EXPECT_TRUE(ChecksumMatches(image, kChecksum82));
    }
  }
}

TEST(DefaultSets, ExtendedBrentaAndCorvanFieldByField) {
  struct Case {
    bool brenta;
    uint16_t model;
    uint16_t motor_current_a;
    uint16_t bec_current_ma;
  };
  const Case cases[] = {
      {true, 200, 250, 12500}, {true, 160, 200, 8750}, {true, 120, 200, 8750},
      {false, 120, 150, 8750}, {false, 160, 100, 8750}, {false, 200, 100, 8750},
  };
  for (const Case& c : cases) {
    for (int code : {1, 2, 3, 4, 9}) {
      for (const ConfigImage& start : {Pattern(), Complement(Pattern())}) {
        SCOPED_TRACE(testing::Message() << (c.brenta ? "BRENTA " : "CORVAN ") << c.model << " code " << code);
        ConfigImage image = start;
        ASSERT_TRUE(c.brenta ? ApplyExtendedBrentaDefaults(image, code, c.model)
                             : ApplyExtendedCorvanDefaults(image, code, c.model));
        EXPECT_EQ(test::ToHex(image.bytes),
                  test::ToHex(ExpectExtended(start, code, c.motor_current_a, c.bec_current_ma).bytes));
        EXPECT_EQ(Get16(image, 0x02), Get16(start, 0x02));
        // 0x4C..0x4F carry warning thresholds, not an 80-byte checksum.
        EXPECT_EQ(Get16(image, 0x4C), 3500);
        EXPECT_EQ(Get16(image, 0x4E), c.motor_current_a);
        EXPECT_EQ(Get32(image, 0x58), Checksum(image, 88));
        EXPECT_TRUE(ChecksumMatches(image, kChecksum88));
      }
    }
  }
}

TEST(DefaultSets, ExampleResultsInBytes) {
  struct Case {
    const char* what;
    bool (*apply)(ConfigImage&);
    std::vector<std::pair<size_t, const char*>> bytes;
  };
  const Case cases[] = {
      {"ALDER helicopter",
       [](ConfigImage& i) { return ApplyAlderDefaults(i, 3); },
       // Pattern flags 0x0EE9C49F; bits 13..31 come through unchanged.
       {{0x00, "50 00 04 01"}, {0x04, "35 DA E9 0E"}, {0x16, "39 5E 83 A8"}, {0x1A, "CD F2"}, {0x20, "00 08"}}},
      {"ALDER reset",
       [](ConfigImage& i) { return ApplyAlderDefaults(i, 9); },
       {{0x16, "FF FF FF FF FF FF"}, {0x0E, "20 03"}}},
      {"BRENTA base sail plane",
       [](ConfigImage& i) { return ApplyBaseDefaults(i, 1); },
       {{0x00, "50 00 55 7A"}, {0x0E, "F4 01"}, {0x22, "E8 03 C8 00"}, {0x44, "C0 5D 00 00"}}},
      {"BRENTA base RC car",
       [](ConfigImage& i) { return ApplyBaseDefaults(i, 4); },
       // Pattern flags 0x0EE9C49F; bits 20..31 come through unchanged.
       {{0x04, "17 AB E3 0E"}, {0x22, "C8 00 64 00"}}},
      {"DELMAR-Z reset",
       [](ConfigImage& i) { return ApplyDelmarZDefaults(i, 9); },
       {{0x00, "58 00 04 01"}, {0x16, "E8 03 E8 03 D0 07"}, {0x40, "0E 00 F4 01 F4 01"}}},
      {"BRENTA 0x0401 model 200 sail plane",
       [](ConfigImage& i) { return ApplyExtendedBrentaDefaults(i, 1, 200); },
       {{0x00, "5C 00"}, {0x0E, "F4 01"}, {0x22, "E8 03"}, {0x4C, "AC 0D FA 00 5A 00 5A 00 D4 30 00 00"}}},
      {"CORVAN 0x0401 model 120 helicopter",
       [](ConfigImage& i) { return ApplyExtendedCorvanDefaults(i, 3, 120); },
       {{0x1C, "55 05 00 00 55 05"}, {0x3A, "28 00"}, {0x4C, "AC 0D 96 00 5A 00 5A 00 2E 22 00 00"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigImage image = Pattern();
    ASSERT_TRUE(c.apply(image));
    for (const auto& [offset, hex] : c.bytes) {
      const size_t n = test::Hex(hex).size();
      EXPECT_EQ(test::ToHex(std::span<const uint8_t>(image.bytes).subspan(offset, n)), hex) << offset;
    }
  }
}

TEST(DefaultSets, CodesASetLacksChangeNothing) {
  struct Case {
    const char* set;
    bool (*apply)(ConfigImage&, int);
    std::vector<int> codes;
  };
  const Case cases[] = {
      {"ALDER", ApplyAlderDefaults, {0, 5, 6, 7, 8, 10, -1}},
      {"base", ApplyBaseDefaults, {0, 5, 6, 7, 8, 10, -1}},
      {"DELMAR-Z", ApplyDelmarZDefaults, {0, 1, 2, 3, 4, 5, 10, -1}},
      {"extended BRENTA", [](ConfigImage& i, int code) { return ApplyExtendedBrentaDefaults(i, code, 200); },
       {0, 5, 6, 7, 8, 10}},
      {"extended CORVAN", [](ConfigImage& i, int code) { return ApplyExtendedCorvanDefaults(i, code, 120); },
       {0, 5, 6, 7, 8, 10}},
  };
  for (const Case& c : cases) {
    for (int code : c.codes) {
      SCOPED_TRACE(testing::Message() << c.set << " code " << code);
      ConfigImage image = Pattern();
      EXPECT_FALSE(c.apply(image, code));
      EXPECT_EQ(image, Pattern());
    }
  }
}

TEST(DefaultSets, ApplyDefaultSetChoosesByFamilyAndVersion) {
  struct Case {
    uint16_t family;
    uint16_t version;
    uint16_t model;
    int code;
    bool applied;
    ConfigImage expected;
  };
  const ConfigImage p = Pattern();
  const Case cases[] = {
      {100, 0x0104, 160, 1, true, ExpectAlder(p, 1)},
      {100, 0x0400, 160, 3, true, ExpectAlder(p, 3)},
      {100, 0x0104, 0, 6, false, p},
      {200, 0x0400, 200, 2, true, ExpectBase(p, 2)},
      {300, 0x0400, 120, 4, true, ExpectBase(p, 4)},
      {200, 0x0401, 200, 1, true, ExpectExtended(p, 1, 250, 12500)},
      {200, 0x0402, 160, 9, true, ExpectExtended(p, 9, 200, 8750)},
      {200, 0x03FF, 200, 3, true, ExpectExtended(p, 3, 250, 12500)},
      {300, 0x0401, 120, 1, true, ExpectExtended(p, 1, 150, 8750)},
      {300, 0x0104, 200, 2, true, ExpectExtended(p, 2, 100, 8750)},
      {200, 0x0401, 200, 6, false, p},
      {400, 0x0104, 80, 6, true, ExpectDelmarZ(p, 6)},
      {400, 0x0401, 80, 8, true, ExpectDelmarZ(p, 8)},
      {400, 0x0104, 80, 1, false, p},
      {500, 0x0400, 0, 1, false, p},
      {0, 0x0000, 0, 9, false, p},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.family << " 0x" << std::hex << c.version << std::dec << " model "
                                    << c.model << " code " << c.code);
    ConfigImage image = p;
    EXPECT_EQ(ApplyDefaultSet(image, c.family, c.version, c.model, c.code), c.applied);
    EXPECT_EQ(test::ToHex(image.bytes), test::ToHex(c.expected.bytes));
  }
}

TEST(DefaultsDialog, DialogPerFamily) {
  struct Case {
    uint16_t family;
    int dialog;
  };
  const Case cases[] = {{100, 101}, {200, 101}, {300, 101}, {400, 102}, {500, 101}, {0, 101}};
  for (const Case& c : cases) {
    EXPECT_EQ(DefaultsDialogFor(c.family), c.dialog) << c.family;
  }
}

TEST(DefaultsDialog, WhichCodesCanBeConfirmed) {
  struct Case {
    uint16_t family;
    std::vector<int> accepted;
  };
  const Case cases[] = {
      {100, {1, 2, 3, 9}},     // RC Car keeps OK disabled on ALDER
      {200, {1, 2, 3, 4, 9}},
      {300, {1, 2, 3, 4, 9}},
      {400, {6, 7, 8, 9}},
      {500, {1, 2, 3, 4, 9}},  // dialog 101; no set is applied afterwards
      {0, {1, 2, 3, 4, 9}},
  };
  for (const Case& c : cases) {
    for (int code = -1; code <= 11; ++code) {
      const bool expected = std::find(c.accepted.begin(), c.accepted.end(), code) != c.accepted.end();
      EXPECT_EQ(DefaultsDialogCanConfirm(c.family, code), expected) << c.family << " code " << code;
    }
  }
}

}  // namespace
}  // namespace tavio
