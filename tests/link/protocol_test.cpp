// Finding, opening and identifying the programming unit, and the nine
// commands: exact request bytes and every result code (those of a failed
// write or read, with the platform's error, are in the fault matrix).

#include <algorithm>
#include <functional>
#include <optional>

#include "link/sim_link_fixture.h"

namespace tavio::test {
namespace {

TEST_F(SimLinkTest, SearchOrderSkipRulesAndReportLengths) {
  // Units of either product, product 3 of the unit vendor, a unit's product of another
  // vendor, and units that refuse access or fail to open.
  enum Kind { kBox, kPuck, kProduct3, kOtherVendor, kDenied, kFailing };
  const struct {
    std::vector<std::pair<const char*, Kind>> interfaces;  // in listing order
    int32_t result;
    const char* opened;       // device_path afterwards, or null
    const char* denied_path;  // named by the diagnostics, or ""
    uint32_t in = 60, out = 60;
    bool list_fails = false, lengths_fail = false;
  } cases[] = {
      {{}, kResultNoUnit, nullptr, ""},
      {{{"/a", kBox}}, kResultNotConnected, nullptr, "", 60, 60, true},
      {{{"/p3", kProduct3}, {"/o", kOtherVendor}, {"/a", kPuck}, {"/b", kBox}}, kResultOk, "/a", ""},
      {{{"/f", kFailing}, {"/d1", kDenied}, {"/d2", kDenied}, {"/a", kBox}}, kResultOk, "/a", "/d1"},
      // Unusable report lengths (a sim unit also refuses reports of another length);
      // the handle stays open until the caller closes.
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 60, 60, false, true},
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 61, 60},
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 60, 61},
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 0, 60},
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 60, 0},
      // Too short to carry a WriteBlock request (60) or a 48-byte ReadMemory answer (52).
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 44, 12},
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 44, 60},
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 60, 12},
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 51, 60},
      {{{"/a", kBox}}, kResultNotConnected, "/a", "", 60, 59},
      {{{"/a", kBox}}, kResultOk, "/a", "", 52, 60},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    Reset();
    port.SetListFails(c.list_fails);
    for (const auto& [path, kind] : c.interfaces) {
      if (kind == kProduct3 || kind == kOtherVendor || kind == kDenied) {
        port.AddUnopenable(path, kind == kOtherVendor ? 0x1234 : kUnitVendorId, kind == kProduct3 ? 3 : kProductLinkbox,
                           kind == kDenied ? HidOpenStatus::AccessDenied : HidOpenStatus::Ok);
        continue;
      }
      sim::SimUnitConfig config;
      config.product_id = kind == kPuck ? kProductLinkpuck : kProductLinkbox;
      config.input_report_length = c.in;
      config.output_report_length = c.out;
      sim::SimUnit& unit = AddUnit(config, path);
      unit.faults().report_lengths_fail = c.lengths_fail;
      if (kind == kFailing) unit.faults().open_status = HidOpenStatus::Failed;
    }
    OpenDiagnostics diagnostics;
    EXPECT_EQ(OpenUsbLink(link, &diagnostics), c.result);
    EXPECT_EQ(diagnostics.unit_access_denied, *c.denied_path != '\0');
    EXPECT_EQ(diagnostics.denied_path, c.denied_path);
    EXPECT_EQ(port.OpenHandleCount(), c.opened ? 1u : 0u);
    EXPECT_EQ(link.device_path, c.opened ? std::optional<std::string>(c.opened) : std::nullopt);
    if (c.opened == nullptr) continue;
    EXPECT_EQ(link.info.unit_product_id, port.FindUnit(c.opened)->config().product_id);
    // Opening again closes the old handle first.
    EXPECT_EQ(OpenUsbLink(link), c.result);
    EXPECT_EQ(port.OpenHandleCount(), 1u);
  }
}

TEST_F(SimLinkTest, IdentificationPaths) {
  DeviceInfo normal = {.unit_firmware_version = 0x00010300, .unit_aux_word = 1, .esc_state = 3, .esc_state_aux = 0x0102,
                       .unit_product_id = kProductLinkbox};
  DeviceInfo no_esc = normal;  // esc_state not 3: the status only
  no_esc.esc_state = 1;
  // BRENTA 160 at 0x0401, firmware 1.5: identity 200 << 12 | 160, bootloader, serial.
  const std::vector<uint8_t> info = Hex("20 00 01 04 05 01");
  const std::vector<uint8_t> identity = Hex("A0 80 0C 00 02 01 00 00 07 1C A5 00");
  std::copy(info.begin(), info.end(), normal.esc_info_block.begin());
  std::copy(identity.begin(), identity.end(), normal.esc_identity.begin());
  // Another mode: the alternative status, then the data query's words.
  const DeviceInfo other = {.unit_mode = 2, .unit_firmware_version = 0x00010300, .unit_aux_word = 1,
                            .alt_status_byte0 = 0x01, .alt_status_word = 0x0203, .alt_status_long0 = 0x04050607,
                            .alt_status_long1 = 0x08090A0B, .alt_status_byte1 = 0x0C,
                            .unit_product_id = kProductLinkbox};
  // Each path ends as soon as what it read is complete: a further command would show in the record.
  for (const DeviceInfo& info : {normal, other, no_esc}) {
    SCOPED_TRACE(testing::Message() << int{info.unit_mode} << " " << info.esc_state);
    Reset();
    sim::SimUnit& unit = AddUnit();
    unit.config().unit_mode = info.unit_mode;
    unit.config().esc_state = info.esc_state == 1 ? 1 : 3;
    unit.config().esc_state_aux = 0x0102;
    EXPECT_EQ(OpenUsbLink(link), kResultOk);
    EXPECT_EQ(link.info, info);
  }
}

using Command = std::function<int32_t(UsbLink&)>;

template <size_t N>
Command Read(uint32_t address, uint32_t length) {
  return [=](UsbLink& l) { std::array<uint8_t, N> d{}; return ReadMemory(l, address, length, d); };
}
Command Block(std::string hex, uint32_t words) {
  return [=](UsbLink& l) { return WriteBlock(l, Hex(hex), words); };
}

TEST_F(SimLinkTest, RequestsAndResultCodes) {
  constexpr int32_t kUnit = kResultUnitError;
  const struct {
    Command act;
    int32_t result;
    std::string request;  // the request's leading bytes, the rest of the 60 zero; empty: nothing sent
    std::optional<uint32_t> unit_error = {};  // the error code the unit answers with
    bool echo_other = false;  // the unit echoes the other state
    uint32_t kept_code = 0;   // the code the link keeps for the error report
  } cases[] = {
      {UnitStatus, kResultOk, "01 08 00 00"},
      {[](UsbLink& l) { std::array<uint32_t, 3> w{}; return UnitDataQuery(l, w); }, kResultOk,
       "01 0A 0C 00 00 FC 01 08"},
      {[](UsbLink& l) { return SystemLock(l, 7); }, kResultOk, "01 0B 01 01"},
      {Block(Seq(0x40, 0x78), 14), kUnit, "01 1C 38 00 " + Seq(0x40, 0x78), {}, false, sim::kErrNotLocked},
      {Block("01 02 03 04", 1), kUnit, "01 1C 04 00 01 02 03 04", 0x80000001, false, 0x80000001},
      {Read<56>(52, 56), kResultOk, "01 1D 08 00 38 00 00 00 34 00 00 00"},
      // 16-bit codes of ReadMemory and EscIdentity, zero-extended.
      {Read<32>(kFirmwareInfoAddress, kFirmwareInfoLength), kUnit, "01 1D 08 00 20 00 00 00 E0 FF FF FF", 0xABCD8001,
       false, 0x8001},
      {[](UsbLink& l) { std::array<uint8_t, 40> d{}; return EscIdentity(l, d); }, kUnit, "01 22 00 00", 0xFFFFFFFE,
       false, 0xFFFE},
      {[](UsbLink& l) { return EraseConfig(l); }, kUnit, "01 1E 04 00 19 E7 5A 3C", 0xABCD1234, false, 0xABCD1234},
      {[](UsbLink& l) { return AssignWriteAddress(l); }, kUnit, "01 1F 09 01 00 00 00 00 19 E7 5A 3C", 0x12345,
       false, 0x12345},
      // An error answer fails whatever its code: 0, or codes that would read as the program's own results.
      {Read<4>(0, 4), kUnit, "01 1D 08 00 04 00 00 00 00 00 00 00", 0, false, 0},
      {[](UsbLink& l) { return EraseConfig(l); }, kUnit, "01 1E 04 00 19 E7 5A 3C", 0, false, 0},
      {Block("01 02 03 04", 1), kUnit, "01 1C 04 00 01 02 03 04", 0xFFFFFFFF, false, 0xFFFFFFFF},
      {[](UsbLink& l) { return AssignWriteAddress(l); }, kUnit, "01 1F 09 01 00 00 00 00 19 E7 5A 3C", 0xFFFFFFFD,
       false, 0xFFFFFFFD},
      {[](UsbLink& l) { return FlashAccess(l, 0); }, kUnit, "01 20 01 00", 1627, false, 1627},
      // FlashAccess tests its 32-bit code before the echo.
      {[](UsbLink& l) { return FlashAccess(l, 0); }, kUnit, "01 20 01 00", 0x10007, false, 0x10007},
      {[](UsbLink& l) { return FlashAccess(l, 2); }, kResultStateMismatch, "01 20 01 01", {}, true},
      // Refused before any I/O.
      {Block(Seq(0, 60), 15), kResultNotConnected, ""},
      {Block("01 02 03", 1), kResultNotConnected, ""},
      {Read<60>(0, 57), kResultNotConnected, ""},
      {Read<4>(0, 5), kResultNotConnected, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.request << " -> " << c.result);
    Reset();
    sim::SimUnit& unit = Connect();  // identification took exchanges 0..2
    if (c.unit_error) unit.faults().errors.push_back({sim::Trigger::AtExchange(3), *c.unit_error});
    if (c.echo_other) unit.faults().wrong_echo.push_back(sim::Trigger::AtExchange(3));
    link.unit_error_code = 0x5A5A5A5A;  // stays unless the unit reports an error
    EXPECT_EQ(c.act(link), c.result);
    EXPECT_EQ(link.unit_error_code, c.result == kUnit ? c.kept_code : 0x5A5A5A5A);
    EXPECT_EQ(Requests(unit), c.request.empty() ? std::vector<std::string>{} : std::vector{Full(c.request)});
    // Not connected: nothing is sent.
    CloseUsbLink(link);
    port.ClearCallLog();
    EXPECT_EQ(c.act(link), kResultNotConnected);
    EXPECT_TRUE(port.CallLog().empty());
  }
}

// Which identified units are refused, and the words the window and the CLI
// both give for it; the mode is asked first.
TEST(UnitRefusal, WrongModeOrNoUpdatableEsc) {
  const std::string wrong_mode = "A programming unit was found on the USB Port which is in the wrong mode. To "
                                 "program the ESC do the following:";
  const std::string no_esc = "A programming unit was found on the USB Port but no updatable ESC.  To "
                             "program the ESC do the following:";
  const struct {
    uint8_t unit_mode;
    uint16_t esc_state;
    StringId refusal;
    std::string text;
  } cases[] = {
      {0, 3, 0, ""},
      {1, 3, sid::kUnitWrongMode, wrong_mode},
      {255, 3, sid::kUnitWrongMode, wrong_mode},
      {1, 2, sid::kUnitWrongMode, wrong_mode},
      {0, 0, sid::kNoUpdatableEsc, no_esc},
      {0, 2, sid::kNoUpdatableEsc, no_esc},
      {0, 4, sid::kNoUpdatableEsc, no_esc},
      {0, 0xFFFF, sid::kNoUpdatableEsc, no_esc},
  };
  for (const auto& c : cases) {
    DeviceInfo info;
    info.unit_mode = c.unit_mode;
    info.esc_state = c.esc_state;
    EXPECT_EQ(UnitRefusal(info), c.refusal) << int(c.unit_mode) << " " << c.esc_state;
    EXPECT_EQ(c.refusal != 0 ? ToUtf8(LookUpString(Language::English, c.refusal)) : "", c.text);
  }
}

}  // namespace
}  // namespace tavio::test
