// Reading the configuration block into the image piece by piece, and
// writing it back. A transfer failing at each exchange is covered by the
// fault matrix of the whole program.

#include <algorithm>
#include <numeric>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

TEST_F(SimLinkTest, ReadsTheBlockInPiecesOfAtMost48Bytes) {
  const std::string head = Full("01 1D 08 00 04 00 00 00 00 00 00 00");
  const std::string first48 = Full("01 1D 08 00 30 00 00 00 04 00 00 00");
  const struct {
    uint16_t length_word, result;
    size_t read;  // image bytes taken from the EEPROM; the rest keep their contents
    std::vector<std::string> requests;
  } cases[] = {
      {80, 80, 80, {head, first48, Full("01 1D 08 00 1C 00 00 00 34 00 00 00")}},
      {88, 88, 88, {head, first48, Full("01 1D 08 00 24 00 00 00 34 00 00 00")}},
      {92, 92, 92, {head, first48, Full("01 1D 08 00 28 00 00 00 34 00 00 00")}},
      {4, 4, 4, {head}},
      // A block longer than the image is refused, not truncated.
      {93, 0, 4, {head}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.requests.size() * 100 + c.result);
    Reset();
    sim::SimUnit& unit = Connect();
    unit.SetBlockLengthWord(c.length_word);
    ConfigImage image;
    image.bytes.fill(0xEE);

    EXPECT_EQ(ReadConfiguration(link, image, Reporter()), c.result);
    const std::vector<CommError> refused = {{kResultNotConnected, sid::kCommErrorCaption, sid::kReadEepromFailed, 0}};
    EXPECT_EQ(errors, c.result == 0 ? refused : std::vector<CommError>{});
    EXPECT_EQ(Requests(unit), c.requests);
    EXPECT_EQ(sleeper.pauses, std::vector<uint32_t>(c.requests.size(), kPauseMs));
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + c.read, unit.Eeprom().begin()));
    EXPECT_EQ(std::count(image.bytes.begin() + c.read, image.bytes.end(), 0xEE), kImageSize - c.read);
  }
}

TEST_F(SimLinkTest, TrafficByteForByte) {
  const struct {
    uint16_t length;
    std::vector<std::string> blocks;
    CommError error = {};  // none: the write succeeds
    bool connected = true;
    // A step answered with the other state, and how many requests went out then.
    uint8_t wrong_echo = 0;
    int occurrence = 0;
    size_t sent = 0;
  } cases[] = {
      {80, {"01 1C 30 00 50 00 " + Seq(2, 48), "01 1C 20 00 " + Seq(48, 80)}},
      {88, {"01 1C 30 00 58 00 " + Seq(2, 48), "01 1C 28 00 " + Seq(48, 88)}},
      {92, {"01 1C 30 00 5C 00 " + Seq(2, 48), "01 1C 2C 00 " + Seq(48, 92)}},
      // A partial last word goes out whole, its missing bytes 0xFF.
      {90, {"01 1C 30 00 5A 00 " + Seq(2, 48), "01 1C 2C 00 " + Seq(48, 90) + " FF FF"}},
      {48, {"01 1C 30 00 30 00 " + Seq(2, 48)}},
      {0, {}},
      // Refused before any I/O: bytes from beyond the image, no connection.
      {93, {}, {kResultNotConnected, sid::kCommErrorCaption, sid::kBlockLengthRefused, 0}},
      {80, {}, {kResultNotConnected, sid::kCommErrorCaption, sid::kConnectionLost, 0}, false},
      // The lock answered with state 0: 1627 and the lock's text, nothing more sent.
      {80, {}, {1627, sid::kCommErrorCaption, 20011, 0}, true, cmd::kSystemLock, 1, 1},
      // The closing steps count like every other: the flash left open, the lock kept.
      {80, {"01 1C 30 00 50 00 " + Seq(2, 48), "01 1C 20 00 " + Seq(48, 80)},
       {1627, sid::kCommErrorCaption, sid::kFlashCloseFailed, 0}, true, cmd::kFlashAccess, 2, 7},
      {80, {"01 1C 30 00 50 00 " + Seq(2, 48), "01 1C 20 00 " + Seq(48, 80)},
       {1627, sid::kCommErrorCaption, sid::kSystemUnlockFailed, 0}, true, cmd::kSystemLock, 2, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.length << " " << c.error.text);
    Reset();
    // An ESC whose layout has the case's length; any other length goes to a
    // family without a store rule, which only the image's size bounds.
    sim::SimUnitConfig config;
    config.family = c.length == 80 ? kFamilyAlder : c.length == 88 ? kFamilyDelmarZ : c.length == 92 ? kFamilyBrenta : 999;
    config.param_version = c.length == 92 ? kParamVersion92B : kParamVersionAlderDelmar;
    sim::SimUnit& unit = c.connected ? Connect(config) : AddUnit(config);
    if (c.wrong_echo != 0) unit.faults().wrong_echo.push_back(sim::Trigger::OnCommand(c.wrong_echo, c.occurrence));
    ConfigImage image;  // every byte its own index, except the length word in front
    std::iota(image.bytes.begin(), image.bytes.end(), uint8_t{0});
    PutU16(image, kOffBlockLength, c.length);

    const bool ok = c.error == CommError{};
    EXPECT_EQ(WriteConfiguration(link, image, Reporter()), ok);
    EXPECT_EQ(errors, ok ? std::vector<CommError>{} : std::vector{c.error});
    std::vector<std::string> traffic = {Full("01 0B 01 01"), Full("01 20 01 00"), Full("01 1E 04 00 19 E7 5A 3C"),
                                        Full("01 1F 09 01 00 00 00 00 19 E7 5A 3C")};
    for (const std::string& b : c.blocks) traffic.push_back(Full(b));
    traffic.insert(traffic.end(), {Full("01 20 01 01"), Full("01 0B 01 00")});
    if (!ok) traffic.resize(c.sent);
    EXPECT_EQ(Requests(unit), traffic);
    // A pause after every step but the last; the erase's answer is read a second after its request.
    std::vector<uint32_t> pauses = {20, 20, 1000, 20, 20};
    pauses.insert(pauses.end(), c.blocks.size() + 1, 20);
    // A failed request is not followed by its pause: the pauses of the
    // requests before it (the erase's second one included) and no more.
    const size_t failed_at = c.sent == 0 ? 0 : c.sent - 1;
    if (!ok) pauses.resize(failed_at + (failed_at > 2 ? 1 : 0));
    EXPECT_EQ(sleeper.pauses, pauses);
    if (!ok) continue;
    EXPECT_EQ(unit.Transcript()[5].time_ms - unit.Transcript()[4].time_ms, 1000u);
    // The ESC holds the first L bytes of the image and nothing else.
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + c.length, unit.Eeprom().begin()));
    EXPECT_EQ(std::count(unit.Eeprom().begin() + c.length, unit.Eeprom().end(), 0xFF), 256 - c.length);
    EXPECT_FALSE(unit.Locked());
    EXPECT_FALSE(unit.FlashOpen());
  }
}

}  // namespace
}  // namespace tavio::test
