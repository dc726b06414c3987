// "Store on ESC" over the whole program: the seal each family gets, what the
// ESC holds afterwards and the boxes. Failures at every exchange of the write
// are the fault matrix's business (e2e).

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/files/commands.h"
#include "link/sim_link_fixture.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

TEST(StoreOnEsc, SealsByTheStoreRuleAndTheEscHoldsTheBlock) {
  struct Case {
    const char* name;
    uint16_t family;
    uint16_t version;
    uint16_t length;
    std::optional<ChecksumSpec> seal;
  };
  const Case cases[] = {
      {"ALDER", kFamilyAlder, 0x0104, 80, ChecksumSpec{76, 0x4C}},
      {"BRENTA 0x0400", kFamilyBrenta, 0x0400, 80, ChecksumSpec{76, 0x4C}},
      {"BRENTA 0x0401", kFamilyBrenta, 0x0401, 92, ChecksumSpec{88, 0x58}},
      {"CORVAN 0x0402", kFamilyCorvan, 0x0402, 92, ChecksumSpec{88, 0x58}},
      {"CORVAN 0x03FF", kFamilyCorvan, 0x03FF, 92, ChecksumSpec{88, 0x58}},
      {"DELMAR-Z", kFamilyDelmarZ, 0x0104, 88, ChecksumSpec{82, 0x54}},
      {"unknown family", 500, 0x0401, 80, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppHarness h;
    sim::SimUnit& unit = h.AddUnit(c.family, 160, c.version);
    h.Start();
    ASSERT_TRUE(IsConnected(h.app.link));
    ASSERT_EQ(BlockLength(h.app.image), c.length);
    PutU16(h.app.image, 0x12, 1234);
    PutU32(h.app.image, 0x4C, 0x11223344);  // a stale checksum or warning values
    ConfigImage expected = h.app.image;
    if (c.seal) PutU32(expected, c.seal->offset, ImageChecksum(expected, c.seal->prefix));
    unit.ClearTranscript();
    h.panel.ClearLog();

    StoreOnEsc(h.app);

    EXPECT_EQ(h.app.image, expected);
    EXPECT_EQ(ToHex(std::vector<uint8_t>(unit.Eeprom().begin(), unit.Eeprom().begin() + c.length)),
              ToHex(std::vector<uint8_t>(expected.bytes.begin(), expected.bytes.begin() + c.length)));
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    EXPECT_EQ(ToUtf8(h.panel.boxes[0].text),
              "The configuration parameters have been transferred to the ESC successfully");
    EXPECT_EQ(h.panel.boxes[0].caption, u"");
    EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Information);
    EXPECT_EQ(h.panel.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_TRUE(IsConnected(h.app.link));
    EXPECT_EQ(h.panel.FindCall("SetTitle"), -1);  // the window is left as it was
    EXPECT_EQ(Commands(unit), (std::vector<uint8_t>{0x0B, 0x20, 0x1E, 0x1F, 0x1C, 0x1C, 0x20, 0x0B}));
  }
}

TEST(StoreOnEsc, NotConnectedSendsNothingAndSaysTheLinkIsLost) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, 0x0401);
  h.Start();
  h.port.Unplug(kHarnessUnitPath);
  ASSERT_FALSE(IsConnected(h.app.link));
  unit.ClearTranscript();
  h.port.ClearCallLog();
  h.panel.boxes.clear();

  StoreOnEsc(h.app);

  ASSERT_EQ(h.panel.boxes.size(), 2u);
  EXPECT_EQ(ToUtf8(h.panel.boxes[0].text),
            "The USB Connection between programming unit and PC was lost. To program the ESC do the following:");
  EXPECT_EQ(ToUtf8(h.panel.boxes[0].caption), "Communication error");
  EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Error);
  EXPECT_EQ(ToUtf8(h.panel.boxes[1].text),
            "The communication with the ESC was interrupted by an error. Please try again. If the error occur "
            "again, please contact DRAVEX service");
  EXPECT_EQ(ToUtf8(h.panel.boxes[1].caption), "Communication error");
  EXPECT_EQ(h.panel.boxes[1].icon, BoxIcon::Error);
  EXPECT_TRUE(unit.Transcript().empty());
  EXPECT_TRUE(h.port.CallLog().empty());
}

}  // namespace
}  // namespace tavio::test
