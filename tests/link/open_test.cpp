// Finding, opening, identifying and closing the programming unit.

#include <functional>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

using sim::SimHidPort;
using sim::SimUnitConfig;
using sim::Trigger;

// The port calls that open or close something, in order.
std::vector<std::string> OpensAndCloses(const SimHidPort& port) {
  std::vector<std::string> out;
  for (const std::string& call : port.CallLog()) {
    if (call.rfind("open", 0) == 0 || call.rfind("close", 0) == 0) out.push_back(call);
  }
  return out;
}

void ExpectCleared(const UsbLink& link) {
  EXPECT_EQ(link.handle, kInvalidHidHandle);
  EXPECT_FALSE(link.device_path.has_value());
  EXPECT_EQ(link.input_report_length, 0u);
  EXPECT_EQ(link.output_report_length, 0u);
  EXPECT_EQ(link.info, DeviceInfo{});
}

class OpenTest : public SimLinkTest {};

struct SearchCase {
  const char* name;
  std::function<void(OpenTest&)> setup;
  int32_t result;
  const char* opened;  // device_path afterwards, or null
  std::vector<std::string> opens;
  bool access_denied;
  const char* denied_path;
};

SimUnitConfig Puck() {
  SimUnitConfig c;
  c.product_id = kProductLinkpuck;
  return c;
}

TEST_F(OpenTest, SearchOrderAndSkipRules) {
  const SearchCase cases[] = {
      {"no device", [](OpenTest&) {}, kResultNoUnit, nullptr, {}, false, ""},
      {"product 3 of the unit vendor is skipped",
       [](OpenTest& t) {
         t.port.AddForeign("/sim/p3", kUnitVendorId, 3);
         t.AddUnit({}, "/sim/unit");
       },
       0, "/sim/unit", {"open /sim/unit -> 1"}, false, ""},
      {"products 1 and 2 of another vendor are skipped",
       [](OpenTest& t) {
         t.port.AddForeign("/sim/other1", 0x1234, 1);
         t.port.AddForeign("/sim/other2", 0x1234, 2);
         t.AddUnit({}, "/sim/unit");
       },
       0, "/sim/unit", {"open /sim/unit -> 1"}, false, ""},
      {"only foreign devices",
       [](OpenTest& t) {
         t.port.AddForeign("/sim/p3", kUnitVendorId, 3);
         t.port.AddForeign("/sim/other2", 0x1234, 2);
       },
       kResultNoUnit, nullptr, {}, false, ""},
      {"two units: the first is opened",
       [](OpenTest& t) {
         t.AddUnit(Puck(), "/sim/first");
         t.AddUnit({}, "/sim/second");
       },
       0, "/sim/first", {"open /sim/first -> 1"}, false, ""},
      {"an unplugged unit is not listed",
       [](OpenTest& t) {
         t.AddUnit({}, "/sim/first");
         t.port.Unplug("/sim/first");
         t.AddUnit({}, "/sim/second");
       },
       0, "/sim/second", {"open /sim/second -> 1"}, false, ""},
      {"a unit refusing access is skipped and named",
       [](OpenTest& t) {
         t.port.AddUnopenable("/sim/held", kUnitVendorId, kProductLinkbox, HidOpenStatus::AccessDenied);
         t.AddUnit({}, "/sim/unit");
       },
       0, "/sim/unit", {"open /sim/held refused", "open /sim/unit -> 1"}, true, "/sim/held"},
      {"a unit failing to open is skipped silently",
       [](OpenTest& t) {
         t.AddUnit({}, "/sim/broken").faults().open_status = HidOpenStatus::Failed;
         t.AddUnit({}, "/sim/unit");
       },
       0, "/sim/unit", {"open /sim/broken refused", "open /sim/unit -> 1"}, false, ""},
      {"the only unit refuses access",
       [](OpenTest& t) { t.AddUnit(Puck(), "/sim/held").faults().open_status = HidOpenStatus::AccessDenied; },
       kResultNoUnit, nullptr, {"open /sim/held refused"}, true, "/sim/held"},
  };
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(c.name);
    CloseUsbLink(link);
    port = SimHidPort{};
    c.setup(*this);
    OpenDiagnostics diagnostics;
    EXPECT_EQ(OpenUsbLink(link, &diagnostics), c.result);
    EXPECT_EQ(OpensAndCloses(port), c.opens);
    EXPECT_EQ(diagnostics.unit_access_denied, c.access_denied);
    EXPECT_EQ(diagnostics.denied_path, c.denied_path);
    if (c.opened == nullptr) {
      ExpectCleared(link);
      EXPECT_EQ(port.OpenHandleCount(), 0u);
    } else {
      EXPECT_EQ(link.device_path, std::optional<std::string>(c.opened));
      EXPECT_EQ(link.info.unit_product_id, port.FindUnit(c.opened)->config().product_id);
      EXPECT_EQ(port.OpenHandleCount(), 1u);
    }
  }
}

TEST_F(OpenTest, ListingFailureIsMinusOne) {
  AddUnit();
  port.SetListFails(true);
  EXPECT_EQ(OpenUsbLink(link), kResultNotConnected);
  ExpectCleared(link);
  EXPECT_EQ(port.CallLog(), std::vector<std::string>{"list"});
}

TEST_F(OpenTest, ReportLengths) {
  struct Case {
    uint32_t input, output;
    int32_t result;
  };
  const Case cases[] = {{60, 60, 0},  {61, 60, -1}, {60, 61, -1}, {64, 64, -1},
                        {0, 60, -1},  {60, 0, -1},  {44, 12, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.input << "/" << c.output);
    port = SimHidPort{};
    SimUnitConfig config;
    config.input_report_length = c.input;
    config.output_report_length = c.output;
    sim::SimUnit& unit = AddUnit(config);
    EXPECT_EQ(OpenUsbLink(link), c.result);
    if (c.result == 0) {
      EXPECT_EQ(link.input_report_length, c.input);
      EXPECT_EQ(link.output_report_length, c.output);
      // Every report has exactly the unit's length.
      for (const sim::TranscriptEntry& e : unit.Transcript()) {
        EXPECT_EQ(e.bytes.size(), e.direction == sim::ReportDirection::ToUnit ? c.output : c.input);
      }
      EXPECT_EQ(ConnectedFamily(link.info), kFamilyBrenta);
    } else {
      // Refused before any report; the open handle stays until the caller clears.
      EXPECT_TRUE(unit.Transcript().empty());
      EXPECT_EQ(link.device_path, std::optional<std::string>(kUnitPath));
      EXPECT_EQ(port.OpenHandleCount(), 1u);
    }
    CloseUsbLink(link);
    EXPECT_EQ(port.OpenHandleCount(), 0u);
  }
}

TEST_F(OpenTest, UnreadableCapabilitiesAreMinusOne) {
  AddUnit().faults().report_lengths_fail = true;
  EXPECT_EQ(OpenUsbLink(link), kResultNotConnected);
  EXPECT_TRUE(IsConnected(link));
  CloseUsbLink(link);
  EXPECT_EQ(port.OpenHandleCount(), 0u);
}

TEST_F(OpenTest, ReopeningClosesTheOldHandleFirst) {
  AddUnit();
  ASSERT_EQ(OpenUsbLink(link), 0);
  ASSERT_EQ(OpenUsbLink(link), 0);
  EXPECT_EQ(OpensAndCloses(port),
            (std::vector<std::string>{"open /sim/hidraw0 -> 1", "close 1", "open /sim/hidraw0 -> 2"}));
  EXPECT_EQ(link.handle, 2);
  EXPECT_EQ(port.OpenHandleCount(), 1u);
}

TEST_F(OpenTest, ClosingAClearedRecordChangesNothing) {
  AddUnit();
  CloseUsbLink(link);
  ExpectCleared(link);
  EXPECT_EQ(link.port, &port);
  EXPECT_EQ(link.sleeper, &sleeper);
  EXPECT_TRUE(port.CallLog().empty());
}

TEST_F(OpenTest, ClosingClearsTheRecordButKeepsItsBindings) {
  Connect();
  CloseUsbLink(link);
  ExpectCleared(link);
  EXPECT_EQ(link.port, &port);
  EXPECT_EQ(port.CallLog(), std::vector<std::string>{"close 1"});
}

// --- Identification ------------------------------------------------------------

std::array<uint8_t, 32> InfoBlock(std::string_view hex) {
  std::array<uint8_t, 32> out{};
  const auto bytes = Hex(hex);
  std::copy(bytes.begin(), bytes.end(), out.begin());
  return out;
}
std::array<uint8_t, 40> IdentityBlock(std::string_view hex) {
  std::array<uint8_t, 40> out{};
  const auto bytes = Hex(hex);
  std::copy(bytes.begin(), bytes.end(), out.begin());
  return out;
}

TEST_F(OpenTest, NormalModeReadsInfoBlockAndIdentity) {
  SimUnitConfig config;
  config.family = kFamilyCorvan;
  config.model_number = 120;
  config.param_version = 0x0400;
  config.esc_firmware_version = 0xFFFF;
  config.esc_state_aux = 0x0102;
  sim::SimUnit& unit = AddUnit(config);
  ASSERT_EQ(OpenUsbLink(link), 0);

  EXPECT_EQ(Commands(unit), (std::vector<uint8_t>{cmd::kUnitStatus, cmd::kReadMemory, cmd::kEscIdentity}));
  EXPECT_EQ(Requests(unit)[1], Full("01 1D 08 00 20 00 00 00 E0 FF FF FF"));
  DeviceInfo expected;
  expected.unit_firmware_version = 0x00010300;
  expected.unit_aux_word = 1;
  expected.esc_state = 3;
  expected.esc_state_aux = 0x0102;
  expected.esc_info_block = InfoBlock("20 00 00 04 FF FF");
  // Identity word 300 << 12 | 120, bootloader 0x102, serial.
  expected.esc_identity = IdentityBlock("78 C0 12 00 02 01 00 00 07 1C A5 00");
  expected.unit_product_id = kProductLinkbox;
  EXPECT_EQ(link.info, expected);
  EXPECT_EQ(EscFirmwareVersion(link.info), 0xFFFF);
  EXPECT_EQ(ConnectedModel(link.info), 120);
  EXPECT_TRUE(sleeper.pauses.empty());
}

TEST_F(OpenTest, AnotherModeUsesTheDataQueryOnly) {
  SimUnitConfig config = Puck();
  config.unit_mode = 2;
  config.unit_firmware_version = 0x00020001;
  config.unit_aux_word = 0xCAFE;
  sim::SimUnit& unit = AddUnit(config);
  ASSERT_EQ(OpenUsbLink(link), 0);

  EXPECT_EQ(Commands(unit), (std::vector<uint8_t>{cmd::kUnitStatus, cmd::kUnitDataQuery}));
  DeviceInfo expected;
  expected.unit_mode = 2;
  expected.alt_status_byte0 = 0x01;
  expected.alt_status_word = 0x0203;
  expected.alt_status_long0 = 0x04050607;
  expected.alt_status_long1 = 0x08090A0B;
  expected.alt_status_byte1 = 0x0C;
  expected.unit_firmware_version = 0x00020001;
  expected.unit_aux_word = 0xCAFE;
  expected.unit_product_id = kProductLinkpuck;
  EXPECT_EQ(link.info, expected);
}

TEST_F(OpenTest, NoUpdatableEscStopsAfterTheStatus) {
  SimUnitConfig config;
  config.esc_state = 1;
  sim::SimUnit& unit = AddUnit(config);
  ASSERT_EQ(OpenUsbLink(link), 0);
  EXPECT_EQ(Commands(unit), std::vector<uint8_t>{cmd::kUnitStatus});
  EXPECT_EQ(link.info.esc_state, 1);
  EXPECT_EQ(link.info.unit_firmware_version, 0x00010300u);
  EXPECT_EQ(link.info.esc_info_block, (std::array<uint8_t, 32>{}));
  EXPECT_EQ(link.info.esc_identity, (std::array<uint8_t, 40>{}));
}

TEST_F(OpenTest, IdentificationFailuresEndTheSequence) {
  struct Case {
    const char* name;
    uint8_t unit_mode;
    std::function<void(sim::SimFaults&)> fault;
    int32_t result;
    size_t requests;
  };
  const Case cases[] = {
      {"status times out", 0, [](sim::SimFaults& f) { f.no_answer.push_back(Trigger::AtExchange(0)); },
       kResultReadFailed, 1},
      {"status cannot be written", 0, [](sim::SimFaults& f) { f.unplug_after_exchanges = 0; },
       kResultWriteFailed, 0},
      {"info block refused", 0,
       [](sim::SimFaults& f) { f.errors.push_back({Trigger::OnCommand(cmd::kReadMemory), 0x0042}); }, 0x42, 2},
      {"identity refused", 0,
       [](sim::SimFaults& f) { f.errors.push_back({Trigger::OnCommand(cmd::kEscIdentity), 0x10007}); }, 7, 3},
      {"identity lost in an unplug", 0, [](sim::SimFaults& f) { f.unplug_during_exchange = 2; },
       kResultReadFailed, 3},
      {"data query times out", 5, [](sim::SimFaults& f) { f.no_answer.push_back(Trigger::OnCommand(cmd::kUnitDataQuery)); },
       kResultReadFailed, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CloseUsbLink(link);
    port = SimHidPort{};
    SimUnitConfig config;
    config.unit_mode = c.unit_mode;
    sim::SimUnit& unit = AddUnit(config);
    c.fault(unit.faults());
    EXPECT_EQ(OpenUsbLink(link), c.result);
    EXPECT_EQ(Requests(unit).size(), c.requests);
  }
}

}  // namespace
}  // namespace tavio::test
