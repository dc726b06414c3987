// The answer's status byte: 0xFF is an error for every command, the unit's
// code kept for the report; every other value is success.

#include <algorithm>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

constexpr uint8_t kAllCommands[] = {cmd::kUnitStatus, cmd::kUnitDataQuery, cmd::kSystemLock,
                                    cmd::kWriteBlock, cmd::kReadMemory,    cmd::kEraseConfig,
                                    cmd::kAssignWriteAddress, cmd::kFlashAccess, cmd::kEscIdentity};

// Identification: an error answer fails it at that command, its code kept,
// and no field is taken from the answer.
TEST_F(SimLinkTest, AnErrorAnswerFailsIdentificationAtEveryCommand) {
  const struct {
    uint8_t command;
    uint8_t unit_mode;
    size_t sent;
  } cases[] = {
      {cmd::kUnitStatus, 0, 1}, {cmd::kReadMemory, 0, 2},    {cmd::kEscIdentity, 0, 3},
      {cmd::kUnitStatus, 2, 1}, {cmd::kUnitDataQuery, 2, 2},
  };
  for (const auto& c : cases) {
    for (const uint32_t code : {0x3u, 0x0u, 0xFFFFFFFFu}) {
      SCOPED_TRACE(testing::Message() << int{c.command} << " mode " << int{c.unit_mode} << " code " << code);
      Reset();
      sim::SimUnitConfig config;
      config.unit_mode = c.unit_mode;
      sim::SimUnit& unit = AddUnit(config);
      unit.faults().errors.push_back({sim::Trigger::OnCommand(c.command), code});
      EXPECT_EQ(OpenUsbLink(link), kResultUnitError);
      // The 16-bit readers keep the low half.
      const bool narrow = c.command == cmd::kReadMemory || c.command == cmd::kEscIdentity;
      EXPECT_EQ(link.unit_error_code, narrow ? (code & 0xFFFF) : code);
      EXPECT_EQ(Commands(unit).size(), c.sent);
      // No field is taken from an error answer: never the code as the ESC's state.
      if (c.command == cmd::kUnitStatus || c.command == cmd::kUnitDataQuery) {
        EXPECT_EQ(link.info.esc_state, 0);
        EXPECT_EQ(link.info.unit_firmware_version, 0u);
      }
    }
  }
}

// A store: an error answer at any step fails it with that step's text and
// the unit's code, the closing two included, even where the answer's state
// byte equals the state asked for (the unlock asks for 0).
TEST_F(SimLinkTest, AnErrorAnswerFailsTheWriteAtEveryStep) {
  const struct {
    uint8_t command;
    uint32_t occurrence;
    StringId text;
  } cases[] = {
      {cmd::kSystemLock, 1, sid::kSystemLockFailed},   {cmd::kFlashAccess, 1, sid::kFlashAccessFailed},
      {cmd::kEraseConfig, 1, sid::kEraseFailed},       {cmd::kAssignWriteAddress, 1, sid::kAssignAddressFailed},
      {cmd::kWriteBlock, 1, sid::kWriteBlockFailed},   {cmd::kWriteBlock, 2, sid::kWriteBlockFailed},
      {cmd::kFlashAccess, 2, sid::kFlashCloseFailed},  {cmd::kSystemLock, 2, sid::kSystemUnlockFailed},
  };
  for (const auto& c : cases) {
    for (const uint32_t code : {0x1234u, 0u}) {
      SCOPED_TRACE(testing::Message() << int{c.command} << "#" << c.occurrence << " code " << code);
      Reset();
      sim::SimUnit& unit = Connect();
      unit.faults().errors.push_back({sim::Trigger::OnCommand(c.command, c.occurrence), code});
      ConfigImage image;
      std::copy_n(unit.Eeprom().begin(), kImageSize, image.bytes.begin());
      EXPECT_FALSE(WriteConfiguration(link, image, Reporter()));
      EXPECT_EQ(errors, (std::vector<CommError>{{kResultUnitError, sid::kCommErrorCaption, c.text, 0, code}}));
      EXPECT_EQ(Commands(unit).back(), c.command);
    }
  }
}

// Every status but 0xFF is success, for every command: identification in
// both unit modes, a readout, a store and its read-back all go through.
TEST_F(SimLinkTest, OnlyFfIsAnErrorStatus) {
  for (const uint8_t status : {0x01, 0x02, 0x7F, 0x80, 0xFE}) {
    SCOPED_TRACE(int{status});
    Reset();
    sim::SimUnitConfig config;
    config.unit_mode = 1;
    sim::SimUnit& other_mode = AddUnit(config, "/sim/other");
    for (const uint8_t command : kAllCommands) other_mode.faults().odd_status.push_back({sim::Trigger::OnCommand(command), status});
    EXPECT_EQ(OpenUsbLink(link), kResultOk);
    EXPECT_EQ(link.info.unit_firmware_version, config.unit_firmware_version);
    CloseUsbLink(link);
    other_mode.Disconnect();

    sim::SimUnit& unit = AddUnit();
    for (const uint8_t command : kAllCommands) unit.faults().odd_status.push_back({sim::Trigger::OnCommand(command), status});
    ASSERT_EQ(OpenUsbLink(link), kResultOk);
    EXPECT_EQ(link.info.esc_state, kEscStateUpdatable);
    EXPECT_EQ(ConnectedFamily(link.info), kFamilyBrenta);
    ConfigImage image;
    ASSERT_EQ(ReadConfiguration(link, image, Reporter()), 92);
    PutU16(image, 0x12, 1500);
    SealImage(image, kChecksum88);
    EXPECT_EQ(StoreConfiguration(link, image, Reporter()).outcome, StoreOutcome::Stored);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.end(), unit.Eeprom().begin()));
    // The status reached the link on every answer: nothing passed unseen.
    for (const std::string& answer : Answers(unit)) EXPECT_EQ(answer.substr(3, 2), ToHex(std::vector<uint8_t>{status}));
  }
}

}  // namespace
}  // namespace tavio::test
