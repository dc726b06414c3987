// The nine commands over a simulated unit: request bytes, answers decoded,
// and every result code.

#include <functional>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

using sim::Trigger;

using Command = std::function<int32_t(UsbLink&)>;

int32_t ReadFour(UsbLink& l) {
  std::array<uint8_t, 4> d{};
  return ReadMemory(l, 0, 4, d);
}

struct RequestCase {
  const char* name;
  Command send;
  const char* head;  // the request's leading bytes; the rest of the 60 are zero
};

const RequestCase kRequestCases[] = {
    {"UnitStatus", [](UsbLink& l) { return UnitStatus(l); }, "01 08 00 00"},
    {"UnitDataQuery",
     [](UsbLink& l) {
       std::array<uint32_t, 3> w{};
       return UnitDataQuery(l, w);
     },
     "01 0A 0C 00 00 FC 01 08"},
    {"SystemLock 1", [](UsbLink& l) { return SystemLock(l, 1); }, "01 0B 01 01"},
    {"SystemLock 0", [](UsbLink& l) { return SystemLock(l, 0); }, "01 0B 01 00"},
    {"SystemLock 7 goes out as 1", [](UsbLink& l) { return SystemLock(l, 7); }, "01 0B 01 01"},
    {"WriteBlock 2 of 5 words: only the words go out",
     [](UsbLink& l) {
       const auto data = Hex("11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 10 20 30 40 50");
       return WriteBlock(l, data, 2);
     },
     "01 1C 08 00 11 22 33 44 55 66 77 88"},
    {"WriteBlock 0 words", [](UsbLink& l) { return WriteBlock(l, {}, 0); }, "01 1C 00 00"},
    {"WriteBlock 14 words",
     [](UsbLink& l) {
       const auto data = Hex(Seq(0x40, 0x78));
       return WriteBlock(l, data, 14);
     },
     "01 1C 38 00 40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54 55 56 57 58 59 5A 5B "
     "5C 5D 5E 5F 60 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 71 72 73 74 75 76 77"},
    {"ReadMemory first readout piece", ReadFour, "01 1D 08 00 04 00 00 00 00 00 00 00"},
    {"ReadMemory firmware info block",
     [](UsbLink& l) {
       std::array<uint8_t, 32> d{};
       return ReadMemory(l, kFirmwareInfoAddress, kFirmwareInfoLength, d);
     },
     "01 1D 08 00 20 00 00 00 E0 FF FF FF"},
    {"ReadMemory 40 bytes at 52",
     [](UsbLink& l) {
       std::array<uint8_t, 40> d{};
       return ReadMemory(l, 52, 40, d);
     },
     "01 1D 08 00 28 00 00 00 34 00 00 00"},
    {"EraseConfig", [](UsbLink& l) { return EraseConfig(l); }, "01 1E 04 00 19 E7 5A 3C"},
    {"AssignWriteAddress", [](UsbLink& l) { return AssignWriteAddress(l); },
     "01 1F 09 01 00 00 00 00 19 E7 5A 3C"},
    {"FlashAccess 0", [](UsbLink& l) { return FlashAccess(l, 0); }, "01 20 01 00"},
    {"FlashAccess 1", [](UsbLink& l) { return FlashAccess(l, 1); }, "01 20 01 01"},
    {"FlashAccess 2 goes out as 1", [](UsbLink& l) { return FlashAccess(l, 2); }, "01 20 01 01"},
    {"EscIdentity",
     [](UsbLink& l) {
       std::array<uint8_t, 40> d{};
       return EscIdentity(l, d);
     },
     "01 22 00 00"},
};

class ProtocolTest : public SimLinkTest {};

TEST_F(ProtocolTest, EveryCommandSendsItsExactRequest) {
  for (const RequestCase& c : kRequestCases) {
    SCOPED_TRACE(c.name);
    sim::SimUnit& unit = Connect();
    c.send(link);
    EXPECT_EQ(Requests(unit), std::vector<std::string>{Full(c.head)});
    CloseUsbLink(link);
    port = sim::SimHidPort{};
  }
}

TEST_F(ProtocolTest, EraseReadsItsAnswerOneSecondAfterTheRequest) {
  sim::SimUnit& unit = Connect();
  sleeper.now_ms = 500;
  EraseConfig(link);
  EXPECT_EQ(sleeper.pauses, std::vector<uint32_t>{1000});
  ASSERT_EQ(unit.Transcript().size(), 2u);
  EXPECT_EQ(unit.Transcript()[0].time_ms, 500u);
  EXPECT_EQ(unit.Transcript()[1].time_ms, 1500u);
}

TEST_F(ProtocolTest, AnswersAreDecoded) {
  Connect();
  std::array<uint32_t, 3> words{};
  EXPECT_EQ(UnitDataQuery(link, words), kResultOk);
  EXPECT_EQ(words, (std::array<uint32_t, 3>{0x0801FC00, 0x00010300, 0x00000001}));

  uint32_t address = 0;
  EXPECT_EQ(AssignWriteAddress(link, &address), kResultOk);
  EXPECT_EQ(address, 0x0801F800u);

  // The destination gets exactly the bytes asked for.
  std::array<uint8_t, 8> dest;
  dest.fill(0xEE);
  EXPECT_EQ(ReadMemory(link, 0, 2, std::span<uint8_t>(dest)), kResultOk);
  EXPECT_EQ(ToHex(dest), "5C 00 EE EE EE EE EE EE");
}

TEST_F(ProtocolTest, NothingIsSentWhileNotConnected) {
  const Command commands[] = {
      [](UsbLink& l) { return UnitStatus(l); },
      [](UsbLink& l) {
        std::array<uint32_t, 3> w{};
        return UnitDataQuery(l, w);
      },
      [](UsbLink& l) { return SystemLock(l, 1); },
      [](UsbLink& l) { return WriteBlock(l, Hex("01 02 03 04"), 1); },
      ReadFour,
      [](UsbLink& l) { return EraseConfig(l); },
      [](UsbLink& l) { return AssignWriteAddress(l); },
      [](UsbLink& l) { return FlashAccess(l, 0); },
      [](UsbLink& l) {
        std::array<uint8_t, 40> d{};
        return EscIdentity(l, d);
      },
      [](UsbLink& l) { return IdentifyUnit(l); },
  };
  AddUnit();
  for (const Command& command : commands) EXPECT_EQ(command(link), kResultNotConnected);
  EXPECT_TRUE(port.CallLog().empty());
  EXPECT_TRUE(sleeper.pauses.empty());
}

struct ResultCase {
  const char* name;
  std::function<void(sim::SimUnit&, sim::SimHidPort&)> arrange;
  Command act;
  int32_t result;
  uint32_t os_error;  // LastError afterwards
  size_t requests;    // requests the unit received
};

// After identification, the next exchange has index 3.
constexpr uint32_t kNext = 3;

void NoFault(sim::SimUnit&, sim::SimHidPort&) {}
std::function<void(sim::SimUnit&, sim::SimHidPort&)> Error(uint8_t command, uint32_t code) {
  return [=](sim::SimUnit& u, sim::SimHidPort&) { u.faults().errors.push_back({Trigger::OnCommand(command), code}); };
}
std::function<void(sim::SimUnit&, sim::SimHidPort&)> WrongEcho(uint8_t command) {
  return [=](sim::SimUnit& u, sim::SimHidPort&) { u.faults().wrong_echo.push_back(Trigger::OnCommand(command)); };
}
int32_t Identity(UsbLink& l) {
  std::array<uint8_t, 40> d{};
  return EscIdentity(l, d);
}

const ResultCase kResultCases[] = {
    {"ReadMemory succeeds", NoFault, ReadFour, 0, 0, 1},
    {"ReadMemory unit error", Error(cmd::kReadMemory, 0x1234), ReadFour, 0x1234, 0, 1},
    {"ReadMemory code is 16-bit", Error(cmd::kReadMemory, 0xABCD8001), ReadFour, 0x8001, 0, 1},
    {"EscIdentity code is 16-bit, zero-extended", Error(cmd::kEscIdentity, 0xFFFFFFFE), Identity, 0xFFFE, 0, 1},
    {"EraseConfig code is 32-bit", Error(cmd::kEraseConfig, 0xABCD1234),
     [](UsbLink& l) { return EraseConfig(l); }, static_cast<int32_t>(0xABCD1234), 0, 1},
    {"AssignWriteAddress code is 32-bit", Error(cmd::kAssignWriteAddress, 0x00012345),
     [](UsbLink& l) { return AssignWriteAddress(l); }, 0x12345, 0, 1},
    {"WriteBlock code is 32-bit", Error(cmd::kWriteBlock, 0x80000001),
     [](UsbLink& l) { return WriteBlock(l, Hex("01 02 03 04"), 1); }, static_cast<int32_t>(0x80000001), 0, 1},
    {"FlashAccess tests the error status before the echo", Error(cmd::kFlashAccess, 7),
     [](UsbLink& l) { return FlashAccess(l, 0); }, 7, 0, 1},
    {"FlashAccess 0 echoed as 1", WrongEcho(cmd::kFlashAccess), [](UsbLink& l) { return FlashAccess(l, 0); },
     kResultStateMismatch, 0, 1},
    {"FlashAccess 1 echoed as 0", WrongEcho(cmd::kFlashAccess), [](UsbLink& l) { return FlashAccess(l, 1); },
     kResultStateMismatch, 0, 1},
    {"SystemLock 1 echoed as 0", WrongEcho(cmd::kSystemLock), [](UsbLink& l) { return SystemLock(l, 1); },
     kResultStateMismatch, 0, 1},
    {"SystemLock 1 with error status is a mismatch", Error(cmd::kSystemLock, 0x55),
     [](UsbLink& l) { return SystemLock(l, 1); }, kResultStateMismatch, 0, 1},
    {"SystemLock 0 with error status passes on its echo", Error(cmd::kSystemLock, 0x55),
     [](UsbLink& l) { return SystemLock(l, 0); }, 0, 0, 1},
    {"UnitStatus ignores the error status", Error(cmd::kUnitStatus, 0x55), [](UsbLink& l) { return UnitStatus(l); },
     0, 0, 1},
    {"write fails on an unplugged unit", [](sim::SimUnit&, sim::SimHidPort& p) { p.Unplug(kUnitPath); }, ReadFour,
     kResultWriteFailed, 19, 0},
    {"write fails once the unit vanished",
     [](sim::SimUnit& u, sim::SimHidPort&) { u.faults().unplug_after_exchanges = kNext; }, ReadFour,
     kResultWriteFailed, 19, 0},
    {"time-out is a failed read",
     [](sim::SimUnit& u, sim::SimHidPort&) { u.faults().no_answer.push_back(Trigger::AtExchange(kNext)); },
     ReadFour, kResultReadFailed, 110, 1},
    {"unplug while the read is pending",
     [](sim::SimUnit& u, sim::SimHidPort&) { u.faults().unplug_during_exchange = kNext; }, ReadFour,
     kResultReadFailed, 19, 1},
    {"WriteBlock of 15 words is refused",  NoFault,
     [](UsbLink& l) { return WriteBlock(l, Hex(Seq(0, 60)), 15); }, kResultNotConnected, 0, 0},
    {"ReadMemory of 57 bytes is refused", NoFault,
     [](UsbLink& l) {
       std::array<uint8_t, 60> d{};
       return ReadMemory(l, 0, 57, d);
     },
     kResultNotConnected, 0, 0},
};

TEST_F(ProtocolTest, ResultCodes) {
  for (const ResultCase& c : kResultCases) {
    SCOPED_TRACE(c.name);
    sim::SimUnit& unit = Connect();
    c.arrange(unit, port);
    EXPECT_EQ(c.act(link), c.result);
    EXPECT_EQ(LinkLastError(link), c.os_error);
    EXPECT_EQ(Requests(unit).size(), c.requests);
    CloseUsbLink(link);
    port = sim::SimHidPort{};
  }
}

TEST_F(ProtocolTest, UnitErrorLeavesTheDestinationUntouched) {
  sim::SimUnit& unit = Connect();
  unit.faults().errors.push_back({Trigger::OnCommand(cmd::kReadMemory), 0x1234});
  std::array<uint8_t, 32> dest;
  dest.fill(0xA5);
  EXPECT_EQ(ReadMemory(link, kFirmwareInfoAddress, kFirmwareInfoLength, dest), 0x1234);
  EXPECT_EQ(Answers(unit), std::vector<std::string>{Full("02 FF 00 00 34 12 00 00")});
  for (uint8_t b : dest) EXPECT_EQ(b, 0xA5);

  std::array<uint8_t, 40> identity;
  identity.fill(0x5A);
  unit.faults().errors.push_back({Trigger::OnCommand(cmd::kEscIdentity), 0x0009});
  EXPECT_EQ(EscIdentity(link, identity), 9);
  for (uint8_t b : identity) EXPECT_EQ(b, 0x5A);
}

TEST_F(ProtocolTest, WriteBlockSizeLimits) {
  sim::SimUnit& unit = Connect();
  EXPECT_EQ(WriteBlock(link, Hex(Seq(0, 60)), 15), kResultNotConnected);
  // Data shorter than the words asked for is refused before any I/O too.
  EXPECT_EQ(WriteBlock(link, Hex("01 02 03"), 1), kResultNotConnected);
  EXPECT_EQ(WriteCalls(port), 0u);
  WriteBlock(link, {}, 0);
  EXPECT_EQ(Requests(unit), std::vector<std::string>{Full("01 1C 00 00")});
}

}  // namespace
}  // namespace tavio::test
