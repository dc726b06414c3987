// Reading the configuration block into the image, piece by piece.

#include <algorithm>
#include <functional>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

using sim::SimUnitConfig;
using sim::Trigger;

constexpr uint8_t kUntouched = 0xEE;

SimUnitConfig Esc(uint16_t family, uint16_t version) {
  SimUnitConfig c;
  c.family = family;
  c.param_version = version;
  return c;
}

class ReadoutTest : public SimLinkTest {
 protected:
  ReadoutTest() { image.bytes.fill(kUntouched); }
  ConfigImage image;
};

TEST_F(ReadoutTest, ReadsTheBlockInPiecesOfAtMost48Bytes) {
  struct Case {
    const char* name;
    SimUnitConfig config;
    std::optional<uint16_t> length_word;  // overrides the EEPROM's
    uint16_t length;
    std::vector<std::string> requests;
  };
  const Case cases[] = {
      {"80 bytes", Esc(kFamilyAlder, 0x0104), std::nullopt, 80,
       {Full("01 1D 08 00 04 00 00 00 00 00 00 00"), Full("01 1D 08 00 30 00 00 00 04 00 00 00"),
        Full("01 1D 08 00 1C 00 00 00 34 00 00 00")}},
      {"88 bytes", Esc(kFamilyDelmarZ, 0x0104), std::nullopt, 88,
       {Full("01 1D 08 00 04 00 00 00 00 00 00 00"), Full("01 1D 08 00 30 00 00 00 04 00 00 00"),
        Full("01 1D 08 00 24 00 00 00 34 00 00 00")}},
      {"92 bytes", Esc(kFamilyBrenta, 0x0401), std::nullopt, 92,
       {Full("01 1D 08 00 04 00 00 00 00 00 00 00"), Full("01 1D 08 00 30 00 00 00 04 00 00 00"),
        Full("01 1D 08 00 28 00 00 00 34 00 00 00")}},
      {"4 bytes end after the first read", Esc(kFamilyBrenta, 0x0401), 4, 4,
       {Full("01 1D 08 00 04 00 00 00 00 00 00 00")}},
      {"53 bytes: one byte in the last piece", Esc(kFamilyBrenta, 0x0401), 53, 53,
       {Full("01 1D 08 00 04 00 00 00 00 00 00 00"), Full("01 1D 08 00 30 00 00 00 04 00 00 00"),
        Full("01 1D 08 00 01 00 00 00 34 00 00 00")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SimUnit& unit = Connect(c.config);
    if (c.length_word) unit.SetBlockLengthWord(*c.length_word);
    image.bytes.fill(kUntouched);

    EXPECT_EQ(ReadConfiguration(link, image, Reporter()), c.length);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(Requests(unit), c.requests);
    EXPECT_EQ(sleeper.pauses, std::vector<uint32_t>(c.requests.size(), kPauseMs));
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + c.length, unit.Eeprom().begin()));
    EXPECT_TRUE(std::all_of(image.bytes.begin() + c.length, image.bytes.end(),
                            [](uint8_t b) { return b == kUntouched; }));
    CloseUsbLink(link);
    port = sim::SimHidPort{};
  }
}

TEST_F(ReadoutTest, BlockLongerThanTheImageIsAReadoutError) {
  for (uint16_t length : {uint16_t{93}, uint16_t{0xFFFF}}) {
    SCOPED_TRACE(length);
    errors.clear();
    sim::SimUnit& unit = Connect();
    unit.SetBlockLengthWord(length);
    image.bytes.fill(kUntouched);

    EXPECT_EQ(ReadConfiguration(link, image, Reporter()), 0);
    EXPECT_EQ(errors, (std::vector<CommError>{{kResultNotConnected, sid::kCommErrorCaption, sid::kReadEepromFailed, 0}}));
    EXPECT_EQ(Requests(unit).size(), 1u);
    EXPECT_EQ(sleeper.pauses, std::vector<uint32_t>{kPauseMs});
    EXPECT_EQ(GetU16(image, 0), length);
    EXPECT_TRUE(std::all_of(image.bytes.begin() + 4, image.bytes.end(), [](uint8_t b) { return b == kUntouched; }));
    CloseUsbLink(link);
    port = sim::SimHidPort{};
  }
}

TEST_F(ReadoutTest, FailureAtEachPieceIsReportedAndStopsTheReadout) {
  struct Case {
    const char* name;
    size_t piece;  // 0, 1 or 2 of the 92-byte block
    std::function<void(sim::SimFaults&, uint32_t exchange)> fault;
    int32_t code;
    uint32_t os_error;
  };
  const Case cases[] = {
      {"unit error on the first piece", 0,
       [](sim::SimFaults& f, uint32_t k) { f.errors.push_back({Trigger::AtExchange(k), 0x0BAD}); }, 0x0BAD, 0},
      {"time-out on the second piece", 1,
       [](sim::SimFaults& f, uint32_t k) { f.no_answer.push_back(Trigger::AtExchange(k)); }, kResultReadFailed,
       110},
      {"unplugged before the second piece", 1,
       [](sim::SimFaults& f, uint32_t k) { f.unplug_after_exchanges = k; }, kResultWriteFailed, 19},
      {"unplugged while the third piece is pending", 2,
       [](sim::SimFaults& f, uint32_t k) { f.unplug_during_exchange = k; }, kResultReadFailed, 19},
      {"16-bit unit error on the third piece", 2,
       [](sim::SimFaults& f, uint32_t k) { f.errors.push_back({Trigger::AtExchange(k), 0xFFFF1234}); }, 0x1234, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    errors.clear();
    sim::SimUnit& unit = Connect();
    c.fault(unit.faults(), unit.ExchangeCount() + static_cast<uint32_t>(c.piece));
    image.bytes.fill(kUntouched);

    EXPECT_EQ(ReadConfiguration(link, image, Reporter()), 0);
    EXPECT_EQ(errors, (std::vector<CommError>{{c.code, sid::kCommErrorCaption, sid::kReadEepromFailed, c.os_error}}));
    // The failing piece is the last request; a pause follows only completed pieces.
    const bool written = c.code != kResultWriteFailed;
    EXPECT_EQ(Requests(unit).size(), c.piece + (written ? 1 : 0));
    EXPECT_EQ(sleeper.pauses, std::vector<uint32_t>(c.piece, kPauseMs));
    // What was read stays; the rest keeps its earlier contents.
    const size_t read = c.piece == 0 ? 0 : c.piece == 1 ? 4 : 52;
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + read, unit.Eeprom().begin()));
    EXPECT_TRUE(std::all_of(image.bytes.begin() + read, image.bytes.end(), [](uint8_t b) { return b == kUntouched; }));
    CloseUsbLink(link);
    port = sim::SimHidPort{};
  }
}

TEST_F(ReadoutTest, NotConnectedReportsTheLostConnectionWithoutIo) {
  AddUnit();
  EXPECT_EQ(ReadConfiguration(link, image, Reporter()), 0);
  EXPECT_EQ(errors, (std::vector<CommError>{{kResultNotConnected, sid::kCommErrorCaption, sid::kConnectionLost, 0}}));
  EXPECT_TRUE(port.CallLog().empty());
  EXPECT_TRUE(sleeper.pauses.empty());
  EXPECT_TRUE(std::all_of(image.bytes.begin(), image.bytes.end(), [](uint8_t b) { return b == kUntouched; }));
}

}  // namespace
}  // namespace tavio::test
