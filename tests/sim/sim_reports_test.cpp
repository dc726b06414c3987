// The simulated unit's reads at the ends of its memory, the faults that
// change an answer or what the ESC keeps, and the simulated port's side of
// the read contract: a whole input report or an error.

#include <algorithm>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

// Reads that end exactly at the EEPROM's end or the address space's are
// answered; one byte further is refused.
TEST_F(SimLinkTest, ReadsUpToTheLastByteOfEachRegionAndNotOneFurther) {
  const struct {
    uint32_t address, length;
    int32_t result;
  } cases[] = {
      {252, 4, kResultOk},           {200, 56, kResultOk},           {255, 1, kResultOk},
      {253, 4, kResultUnitError},    {201, 56, kResultUnitError},    {256, 1, kResultUnitError},
      {0xFFFFFFE0, 32, kResultOk},   {0xFFFFFFFC, 4, kResultOk},     {0xFFFFFFDF, 4, kResultUnitError},
      {0xFFFFFFFD, 4, kResultUnitError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.address << " + " << c.length);
    Reset();
    sim::SimUnit& unit = Connect();
    for (size_t i = 0; i < sim::kEepromSize; ++i) unit.MutableEeprom()[i] = static_cast<uint8_t>(i ^ 0x5A);
    std::array<uint8_t, 56> got;
    got.fill(0xEE);
    EXPECT_EQ(ReadMemory(link, c.address, c.length, got), c.result);
    if (c.result != kResultOk) {
      EXPECT_EQ(link.unit_error_code, sim::kErrReadAddress);
      EXPECT_EQ(std::count(got.begin(), got.end(), 0xEE), 56);
      continue;
    }
    if (c.address < sim::kEepromSize) {
      EXPECT_TRUE(std::equal(got.begin(), got.begin() + c.length, unit.Eeprom().begin() + c.address));
    } else {
      const auto info = unit.FirmwareInfoBlock();
      EXPECT_TRUE(std::equal(got.begin(), got.begin() + c.length, info.begin() + (c.address - 0xFFFFFFE0)));
    }
  }
}

// A cut answer fails the read (EIO) whatever the command; the unit still
// carried the request out. A buffer that is not the input length is refused
// before the unit is asked, and its answer stays for a proper read.
TEST_F(SimLinkTest, TheSimulatedPortGivesAWholeReportOrAnError) {
  sim::SimUnit& unit = Connect();
  unit.faults().cut_answer.push_back(sim::Trigger::OnCommand(cmd::kSystemLock));
  Report request{kOutputReportId, cmd::kSystemLock, 1, 1};
  ASSERT_TRUE(port.WriteReport(link.handle, request));
  Report answer;
  answer.fill(0xEE);
  EXPECT_EQ(port.ReadReport(link.handle, answer, 0), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), sim::errno_value::kIo);
  EXPECT_TRUE(unit.Locked());
  // The transcript holds what the unit sent: the first half.
  ASSERT_EQ(unit.Transcript().back().bytes.size(), kReportSize / 2);
  EXPECT_EQ(ToHex(std::span(unit.Transcript().back().bytes).first(4)), "02 00 00 01");

  ASSERT_TRUE(port.WriteReport(link.handle, Report{kOutputReportId, cmd::kUnitStatus}));
  std::array<uint8_t, kReportSize - 1> shorter;
  EXPECT_EQ(port.ReadReport(link.handle, shorter, 0), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), sim::errno_value::kInvalid);
  std::array<uint8_t, kReportSize + 1> longer;
  EXPECT_EQ(port.ReadReport(link.handle, longer, 0), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), sim::errno_value::kInvalid);
  EXPECT_EQ(port.ReadReport(link.handle, answer, 0), HidReadStatus::Ok);
  EXPECT_EQ(ToHex(std::span(answer).first(6)), "02 00 0C 00 03 00");

  // Through the link: a failed read (-3), and no byte of the cut answer in the image.
  unit.faults().cut_answer = {sim::Trigger::OnCommand(cmd::kReadMemory, 3)};  // 1: identification
  ConfigImage image;
  image.bytes.fill(0xEE);
  EXPECT_EQ(ReadConfiguration(link, image, Reporter()), 0);
  EXPECT_EQ(errors, (std::vector<CommError>{{kResultReadFailed, sid::kCommErrorCaption, sid::kReadEepromFailed,
                                             sim::errno_value::kIo}}));
  EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + 4, unit.Eeprom().begin()));
  EXPECT_EQ(std::count(image.bytes.begin() + 4, image.bytes.end(), 0xEE), 88);
}

// An odd status changes only the status byte of a success answer; an error
// answer keeps 0xFF. A corrupt block is acknowledged, and the ESC keeps the
// one byte inverted.
TEST_F(SimLinkTest, OddStatusAndCorruptBlockChangeOnlyWhatTheyName) {
  sim::SimUnit& unit = Connect();
  unit.faults().odd_status.push_back({sim::Trigger::OnCommand(cmd::kUnitStatus), 0x42});
  unit.faults().odd_status.push_back({sim::Trigger::OnCommand(cmd::kSystemLock), 0x42});
  unit.faults().errors.push_back({sim::Trigger::OnCommand(cmd::kSystemLock), 7});
  Report response{};
  Report request{kOutputReportId, cmd::kUnitStatus};
  ASSERT_EQ(Transact(link, request, response), kResultOk);
  EXPECT_EQ(ToHex(std::span(response).first(8)), "02 42 0C 00 03 00 00 00");
  request = Report{kOutputReportId, cmd::kSystemLock, 1, 1};
  ASSERT_EQ(Transact(link, request, response), kResultOk);
  EXPECT_EQ(ToHex(std::span(response).first(8)), "02 FF 00 00 07 00 00 00");
  // The unit's own refusal (an erase without the lock) stays an error too.
  unit.faults().odd_status.push_back({sim::Trigger::OnCommand(cmd::kEraseConfig), 0x42});
  EXPECT_EQ(EraseConfig(link), kResultUnitError);
  EXPECT_EQ(link.unit_error_code, sim::kErrNotLocked);

  unit.faults() = {};
  unit.faults().corrupt.push_back({sim::Trigger::OnCommand(cmd::kWriteBlock, 2), 3});
  ConfigImage image;
  std::copy_n(unit.Eeprom().begin(), kImageSize, image.bytes.begin());
  ASSERT_TRUE(WriteConfiguration(link, image, Reporter()));
  std::vector<uint8_t> expected(image.bytes.begin(), image.bytes.end());
  expected[48 + 3] ^= 0xFF;
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), unit.Eeprom().begin()));
  // An offset past a short block changes nothing, behind the block neither.
  unit.faults().corrupt = {{sim::Trigger::OnCommand(cmd::kWriteBlock, 4), 46}};
  ASSERT_TRUE(WriteConfiguration(link, image, Reporter()));
  EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.end(), unit.Eeprom().begin()));
  EXPECT_EQ(std::count(unit.Eeprom().begin() + kImageSize, unit.Eeprom().end(), 0xFF), 256 - 92);
}

// Blocks fill the EEPROM up to its last byte; a word beyond it is refused
// and changes nothing.
TEST_F(SimLinkTest, WritesUpToTheLastByteOfTheEepromAndNotOneFurther) {
  sim::SimUnit& unit = Connect();
  ASSERT_EQ(SystemLock(link, 1), kResultOk);
  ASSERT_EQ(FlashAccess(link, 0), kResultOk);
  ASSERT_EQ(EraseConfig(link), kResultOk);
  ASSERT_EQ(AssignWriteAddress(link), kResultOk);
  std::array<uint8_t, 48> block;
  for (int n = 0; n < 5; ++n) {
    block.fill(static_cast<uint8_t>(0x10 + n));
    ASSERT_EQ(WriteBlock(link, block, 12), kResultOk) << n;
  }
  block.fill(0x5A);
  EXPECT_EQ(WriteBlock(link, block, 4), kResultOk);  // bytes 240..255
  EXPECT_EQ(unit.WritePointer(), 256u);
  EXPECT_EQ(WriteBlock(link, block, 1), kResultUnitError);
  EXPECT_EQ(link.unit_error_code, sim::kErrWriteOverflow);
  EXPECT_EQ(unit.WritePointer(), 256u);
  EXPECT_EQ(unit.Eeprom()[239], 0x14);
  EXPECT_EQ(std::count(unit.Eeprom().begin() + 240, unit.Eeprom().end(), 0x5A), 16);
}

}  // namespace
}  // namespace tavio::test
