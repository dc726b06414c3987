// What a store may write and how it checks what the ESC took: only a block
// of the connected layout's length goes out, the read-back covers all of
// it, and a length word above 92 is never read past.

#include <algorithm>
#include <numeric>

#include "core/model/family.h"
#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

struct Esc {
  const char* name;
  uint16_t family, version;
  uint16_t length;  // the layout's block length
};
const Esc kEscs[] = {
    {"ALDER", kFamilyAlder, kParamVersionAlderDelmar, 80},
    {"BRENTA 0x0400", kFamilyBrenta, kParamVersion80B, 80},
    {"BRENTA 0x0401", kFamilyBrenta, kParamVersion92B, 92},
    {"CORVAN 0x0402", kFamilyCorvan, 0x0402, 92},
    {"CORVAN 0x0400", kFamilyCorvan, kParamVersion80B, 80},
    {"DELMAR-Z", kFamilyDelmarZ, kParamVersionAlderDelmar, 88},
};

sim::SimUnitConfig EscConfig(const Esc& esc) {
  sim::SimUnitConfig config;
  config.family = esc.family;
  config.param_version = esc.version;
  return config;
}

// The image the ESC would be sent: its own block, another value, sealed.
ConfigImage Sealed(const sim::SimUnit& unit, const Esc& esc, uint16_t length) {
  ConfigImage image;
  std::copy_n(unit.Eeprom().begin(), kImageSize, image.bytes.begin());
  PutU16(image, 0x12, 1234);
  PutU16(image, kOffBlockLength, length);
  SealImage(image, *StoreChecksum(esc.family, esc.version));
  return image;
}

TEST(StoreBlockLength, IsWhereTheStoreRulesChecksumEnds) {
  for (const Esc& esc : kEscs) {
    EXPECT_EQ(StoreBlockLength(esc.family, esc.version), esc.length) << esc.name;
  }
  EXPECT_EQ(StoreBlockLength(kFamilyBrenta, 0x0300), 92);  // the store rule: 88-byte checksum
  EXPECT_EQ(StoreBlockLength(999, 0x0401), std::nullopt);
}

// Every other length word is refused before a single report, whatever made
// the image; the layout's own goes out and is read back whole.
TEST_F(SimLinkTest, OnlyTheLayoutsBlockLengthIsStored) {
  const uint16_t lengths[] = {0, 4, 48, 76, 78, 80, 82, 84, 88, 90, 92, 93, 0x0100, 0xFFFF};
  for (const Esc& esc : kEscs) {
    for (const uint16_t length : lengths) {
      SCOPED_TRACE(testing::Message() << esc.name << " length " << length);
      Reset();
      sim::SimUnit& unit = Connect(EscConfig(esc));
      const std::vector<uint8_t> before(unit.Eeprom().begin(), unit.Eeprom().end());
      const ConfigImage image = Sealed(unit, esc, length);
      const StoreResult result = StoreConfiguration(link, image, Reporter());
      if (length == esc.length) {
        EXPECT_EQ(result.outcome, StoreOutcome::Stored);
        EXPECT_TRUE(errors.empty());
        EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + length, unit.Eeprom().begin()));
        continue;
      }
      EXPECT_EQ(result.outcome, StoreOutcome::Failed);
      EXPECT_EQ(errors, (std::vector<CommError>{{kResultNotConnected, sid::kCommErrorCaption,
                                                 sid::kBlockLengthRefused, 0}}));
      EXPECT_TRUE(unit.Transcript().empty());
      EXPECT_TRUE(std::equal(before.begin(), before.end(), unit.Eeprom().begin()));
    }
  }
}

// A family without a store rule has no layout to hold the length to: any
// length the image holds goes out, none beyond it.
TEST_F(SimLinkTest, AFamilyWithoutRulesIsBoundOnlyByTheImage) {
  const std::pair<uint16_t, bool> cases[] = {{0, true}, {44, true}, {92, true}, {93, false}, {0xFFFF, false}};
  for (const auto& [length, sent] : cases) {
    SCOPED_TRACE(length);
    Reset();
    sim::SimUnitConfig config;
    config.family = 999;
    Connect(config);
    ConfigImage image;
    std::iota(image.bytes.begin(), image.bytes.end(), uint8_t{0});
    PutU16(image, kOffBlockLength, length);
    EXPECT_EQ(WriteConfiguration(link, image, Reporter()), sent);
    EXPECT_EQ(errors.empty(), sent);
  }
}

// The ESC keeps one byte other than it was sent: the read-back names it,
// the first byte, the last of the first block, the first and the last of
// the second; the last byte is the checksum's top byte.
TEST_F(SimLinkTest, TheReadBackComparesEveryByteOfTheBlock) {
  for (const Esc& esc : kEscs) {
    for (const uint32_t offset : {0u, 47u, 48u, esc.length - 2u, esc.length - 1u}) {
      SCOPED_TRACE(testing::Message() << esc.name << " byte " << offset);
      Reset();
      sim::SimUnit& unit = Connect(EscConfig(esc));
      unit.faults().corrupt.push_back({sim::Trigger::OnCommand(cmd::kWriteBlock, offset / 48 + 1), offset % 48});
      const ConfigImage image = Sealed(unit, esc, esc.length);
      const StoreResult result = StoreConfiguration(link, image, Reporter());
      EXPECT_EQ(result.outcome, StoreOutcome::Mismatch);
      EXPECT_EQ(result.first_difference, offset);
      EXPECT_EQ(unit.Eeprom()[offset], static_cast<uint8_t>(image.bytes[offset] ^ 0xFF));
      EXPECT_TRUE(errors.empty());
    }
  }
}

// A length word above 92 that is not the erased 0xFFFF: refused as a readout
// error, or, when the caller asks, the readout's result after its first
// 4 bytes, nothing past them read and the rest of the image untouched.
TEST_F(SimLinkTest, AnUnreadableLengthIsNeverReadPast) {
  const std::string head = Full("01 1D 08 00 04 00 00 00 00 00 00 00");
  for (const uint16_t length : {93, 96, 0x0100, 0x1234, 0xFFFE}) {
    for (const UnreadableBlock mode : {UnreadableBlock::Fail, UnreadableBlock::Accept}) {
      SCOPED_TRACE(testing::Message() << length << (mode == UnreadableBlock::Accept ? " accepted" : " refused"));
      Reset();
      sim::SimUnit& unit = Connect();
      unit.SetBlockLengthWord(length);
      ConfigImage image;
      image.bytes.fill(0xEE);
      const uint16_t n = ReadConfiguration(link, image, Reporter(), mode);
      EXPECT_EQ(Requests(unit), std::vector<std::string>{head});
      EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + 4, unit.Eeprom().begin()));
      EXPECT_EQ(std::count(image.bytes.begin() + 4, image.bytes.end(), 0xEE), 88);
      EXPECT_TRUE(IsUnreadableBlock(image));
      if (mode == UnreadableBlock::Accept) {
        EXPECT_EQ(n, length);
        EXPECT_TRUE(errors.empty());
      } else {
        EXPECT_EQ(n, 0);
        EXPECT_EQ(errors, (std::vector<CommError>{{kResultNotConnected, sid::kCommErrorCaption,
                                                   sid::kReadEepromFailed, 0}}));
      }
    }
  }
  // The bounds of "unreadable": 92 and the erased 0xFFFF are read.
  EXPECT_FALSE(IsUnreadableLength(92));
  EXPECT_TRUE(IsUnreadableLength(93));
  EXPECT_TRUE(IsUnreadableLength(0xFFFE));
  EXPECT_FALSE(IsUnreadableLength(0xFFFF));
}

}  // namespace
}  // namespace tavio::test
