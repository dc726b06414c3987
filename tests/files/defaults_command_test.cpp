// "Load defaults" over the whole program: which dialog, which set with which
// model number, and that cancelling or an impossible answer changes nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/files/commands.h"
#include "support/app_harness.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

struct Expect16 {
  uint8_t offset;
  uint16_t value;
};

struct DefaultsCase {
  const char* name;
  uint16_t family;
  uint16_t model;
  uint16_t version;
  int code;
  int dialog;
  std::vector<Expect16> values;
  uint32_t flags_set;    // bits that must be set afterwards
  uint32_t flags_clear;  // bits that must be clear afterwards
  ChecksumSpec seal;
};

// The simulated ESC starts with stick positions 1100 / 1500 / 1900.
const DefaultsCase kCases[] = {
    {"ALDER helicopter", kFamilyAlder, 100, 0x0104, 3, 101,
     {{0x00, 80}, {0x02, 0x0104}, {0x16, 1100}, {0x18, 1500}, {0x1A, 1900}, {0x20, 2048}, {0x0E, 800}},
     (1u << 5) | (1u << 12), 1u << 8, {76, 0x4C}},
    {"ALDER reset", kFamilyAlder, 100, 0x0104, 9, 101,
     {{0x16, 0xFFFF}, {0x18, 0xFFFF}, {0x1A, 0xFFFF}}, 1u << 11, 0, {76, 0x4C}},
    {"BRENTA 0x0400 sail plane", kFamilyBrenta, 160, 0x0400, 1, 101,
     {{0x00, 80}, {0x02, 0x0400}, {0x0E, 500}, {0x22, 1000}, {0x16, 1100}, {0x4A, 100}},
     (1u << 0) | (1u << 16), 1u << 5, {76, 0x4C}},
    {"BRENTA 200 at 0x0401 sail plane", kFamilyBrenta, 200, 0x0401, 1, 101,
     {{0x00, 92}, {0x02, 0x0401}, {0x0E, 500}, {0x22, 1000}, {0x4C, 3500}, {0x4E, 250}, {0x54, 12500}},
     0, 0, {88, 0x58}},
    {"BRENTA 160 at 0x0401 helicopter", kFamilyBrenta, 160, 0x0401, 3, 101,
     {{0x00, 92}, {0x22, 8000}, {0x24, 4000}, {0x3A, 40}, {0x4E, 200}, {0x54, 8750}},
     (1u << 5) | (1u << 12) | (1u << 14), (1u << 0) | (1u << 8), {88, 0x58}},
    {"BRENTA 160 at 0x0402 reset", kFamilyBrenta, 160, 0x0402, 9, 101,
     {{0x00, 92}, {0x02, 0x0402}, {0x16, 0xFFFF}, {0x18, 0xFFFF}, {0x1A, 0xFFFF}}, 1u << 11, 0, {88, 0x58}},
    {"CORVAN 120 at 0x0401 sports plane", kFamilyCorvan, 120, 0x0401, 2, 101,
     {{0x00, 92}, {0x22, 1000}, {0x4E, 150}, {0x54, 8750}}, 0, 0, {88, 0x58}},
    {"CORVAN 160 at 0x0401 sports plane", kFamilyCorvan, 160, 0x0401, 2, 101,
     {{0x4E, 100}, {0x54, 8750}}, 0, 0, {88, 0x58}},
    {"CORVAN 0x0400 RC car", kFamilyCorvan, 120, 0x0400, 4, 101,
     {{0x00, 80}, {0x22, 200}, {0x24, 100}}, (1u << 1) | (1u << 13) | (1u << 15) | (1u << 17), 0, {76, 0x4C}},
    {"DELMAR-Z DJI reset", kFamilyDelmarZ, 60, 0x0104, 9, 102,
     {{0x00, 88}, {0x02, 0x0104}, {0x16, 1000}, {0x18, 1000}, {0x1A, 2000}, {0x40, 14}}, 1u << 14, 1u << 0,
     {82, 0x54}},
    {"DELMAR-Z forward/reverse", kFamilyDelmarZ, 60, 0x0104, 7, 102,
     {{0x16, 1100}, {0x4A, 3500}}, 1u << 13, 0, {82, 0x54}},
};

TEST(LoadDefaultsCommand, AppliesTheConnectedEscsSetAndShowsIt) {
  for (const DefaultsCase& c : kCases) {
    SCOPED_TRACE(c.name);
    AppHarness h;
    h.AddUnit(c.family, c.model, c.version);
    h.Start();
    ASSERT_TRUE(IsConnected(h.app.link));
    PutU16(h.app.image, 0x12, 555);  // an edit the set overwrites
    h.panel.ClearLog();
    h.panel.defaults_answers = {c.code};

    LoadDefaultsCommand(h.app);

    EXPECT_EQ(h.panel.calls.front(), "RunDefaultsDialog " + std::to_string(c.dialog) + " " + std::to_string(c.family));
    for (const Expect16& v : c.values) EXPECT_EQ(GetU16(h.app.image, v.offset), v.value) << "offset " << int{v.offset};
    EXPECT_EQ(GetU16(h.app.image, 0x12), 2000);
    EXPECT_EQ(Flags(h.app.image) & c.flags_set, c.flags_set);
    EXPECT_EQ(Flags(h.app.image) & c.flags_clear, 0u);
    EXPECT_EQ(GetU32(h.app.image, c.seal.offset), ImageChecksum(h.app.image, c.seal.prefix));
    // Shown, then refreshed.
    EXPECT_EQ(ToUtf8(h.panel.GetText(ctl::kHoldTime)), "2000ms");
    const int shown = h.panel.FindCall("SetText 2033 2000ms");
    EXPECT_GE(shown, 0);
    EXPECT_GT(h.panel.FindCall("SetTitle"), shown);
    EXPECT_TRUE(h.panel.boxes.empty());
  }
}

TEST(LoadDefaultsCommand, AnUnknownFamilyKeepsItsImageButIsRefreshed) {
  AppHarness h;
  h.AddUnit(500, 7, 0x0401);
  h.Start();
  const ConfigImage before = h.app.image;
  h.panel.ClearLog();
  h.panel.defaults_answers = {1};
  LoadDefaultsCommand(h.app);
  EXPECT_EQ(h.app.image, before);
  EXPECT_EQ(h.panel.calls.front(), "RunDefaultsDialog 101 500");
  // No parameter control is filled; the refresh only writes the static texts.
  for (const std::string& call : h.panel.calls) {
    EXPECT_NE(call.rfind("SetText 20", 0), 0u) << call;
    EXPECT_NE(call.rfind("SetCheck", 0), 0u) << call;
    EXPECT_NE(call.rfind("SetSelection", 0), 0u) << call;
  }
  EXPECT_GT(h.panel.FindCall("SetTitle TAVIO (Version 01.02.00): Connected with  7"), 0);
}

TEST(LoadDefaultsCommand, CancelOrAnAnswerTheDialogCannotGiveChangesNothing) {
  struct Case {
    const char* name;
    uint16_t family;
    uint16_t version;
    int answer;
    int dialog;
  };
  const Case cases[] = {
      {"ALDER cancelled", kFamilyAlder, 0x0104, 0, 101},
      {"ALDER RC car", kFamilyAlder, 0x0104, 4, 101},
      {"ALDER multicopter", kFamilyAlder, 0x0104, 6, 101},
      {"BRENTA code 5", kFamilyBrenta, 0x0401, 5, 101},
      {"BRENTA forward/reverse", kFamilyBrenta, 0x0401, 7, 101},
      {"DELMAR-Z cancelled", kFamilyDelmarZ, 0x0104, 0, 102},
      {"DELMAR-Z sail plane", kFamilyDelmarZ, 0x0104, 1, 102},
      {"DELMAR-Z RC car", kFamilyDelmarZ, 0x0104, 4, 102},
      {"CORVAN code 10", kFamilyCorvan, 0x0401, 10, 101},
      {"CORVAN code -1", kFamilyCorvan, 0x0401, -1, 101},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppHarness h;
    h.AddUnit(c.family, 120, c.version);
    h.Start();
    PutU16(h.app.image, 0x12, 555);
    const ConfigImage before = h.app.image;
    h.panel.ClearLog();
    h.panel.defaults_answers = {c.answer};
    LoadDefaultsCommand(h.app);
    EXPECT_EQ(h.app.image, before);
    EXPECT_EQ(h.panel.calls, std::vector<std::string>{"RunDefaultsDialog " + std::to_string(c.dialog) + " " +
                                                      std::to_string(c.family)});
  }
}

}  // namespace
}  // namespace tavio::test
