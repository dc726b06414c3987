// The display refresh and ShowImage over the simulated unit: the firmware
// box and label 212 in both connection states, the enabling of every family
// column under the governor, brake and timing modes, and the check boxes
// each layout fills from its flag bits.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/shell/display.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

using namespace ctl;

std::string Text8(const MemoryPanel& panel, ControlId id) { return ToUtf8(panel.GetText(id)); }

TEST(FirmwareBox, VersionsOfUnitAndEscWhileConnectedAndAfterTheUnitIsGone) {
  // The unit's word is shifted right by 8 first only when its low byte is 0.
  const struct {
    uint16_t product;
    uint32_t unit_version, bootloader;
    uint16_t esc_version;
    const char *unit_name, *unit_text, *bootloader_text, *esc_text;
  } rows[] = {
      {kProductLinkbox, 0x00010300, 0x00000102, 0x0105, "LINKBOX", "1.3", "1.2", "1.5"},
      {kProductLinkpuck, 0x00000300, 0x02000105, 0xFFFF, "LINKPUCK", "0.3", "2.1.5", "----------"},
      {kProductLinkbox, 0x01020304, 0x00000000, 0xFFFE, "LINKBOX", "1.3.4", "0.0", "255.254"},
      {kProductLinkpuck, 0x04000500, 0x0000FFFF, 0x00FF, "LINKPUCK", "0.5", "255.255", "0.255"},
      {kProductLinkbox, 0x00000001, 0x00000103, 0x0000, "LINKBOX", "0.1", "1.3", "0.0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.unit_text);
    AppHarness h;
    sim::SimUnitConfig config;
    config.family = kFamilyAlder;
    config.model_number = 120;
    config.param_version = kParamVersionAlderDelmar;
    config.product_id = row.product;
    config.unit_firmware_version = row.unit_version;
    config.bootloader_version = row.bootloader;
    config.esc_firmware_version = row.esc_version;
    h.port.AddUnit(kHarnessUnitPath, config);
    h.Start();
    ASSERT_TRUE(IsConnected(h.app.link));
    EXPECT_EQ(Text8(h.panel, kLabelUnitName), row.unit_name);
    EXPECT_EQ(Text8(h.panel, kUnitVersion), row.unit_text);
    EXPECT_EQ(Text8(h.panel, kEscBootloaderVersion), row.bootloader_text);
    EXPECT_EQ(Text8(h.panel, kEscFirmwareVersion), row.esc_text);
    EXPECT_EQ(Text8(h.panel, kLabelRiComp), "I-Anteil");

    // Gone: the versions read 0.0.0, the unit's name stays, and label 212 no longer follows the ALDER.
    h.port.Unplug(kHarnessUnitPath);
    ASSERT_FALSE(IsConnected(h.app.link));
    EXPECT_EQ(Text8(h.panel, kLabelUnitName), row.unit_name);
    for (ControlId id : {kUnitVersion, kEscBootloaderVersion, kEscFirmwareVersion}) {
      EXPECT_EQ(Text8(h.panel, id), "0.0.0") << id;
    }
    EXPECT_EQ(Text8(h.panel, kLabelRiComp), "Ri.-Comp.");
  }
}

TEST(FirmwareBox, TitleNamesFamilyAndModelAndLabel212ReadsIAnteilForTheAlderAlone) {
  // Model numbers have 12 bits; label 212 is the same in every language.
  const struct { uint16_t family, model; const char *name, *label; } rows[] = {
      {kFamilyAlder, 60, "ALDER 60", "I-Anteil"},
      {kFamilyBrenta, 4095, "BRENTA 4095", "Ri.-Comp."},
      {kFamilyCorvan, 300, "CORVAN 300", "Ri.-Comp."},
      {kFamilyDelmarZ, 256, "DELMAR-Z 256", "Ri.-Comp."},
      {500, 7, " 7", "Ri.-Comp."},  // no name: two blanks
  };
  for (const Language language : {Language::English, Language::German}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(row.name);
      AppHarness h(language);
      h.AddUnit(row.family, row.model, row.family == kFamilyAlder || row.family == kFamilyDelmarZ ? 0x0104 : 0x0401);
      h.Start();
      const std::string connected = language == Language::English ? "Connected with " : "Verbunden mit ";
      EXPECT_EQ(ToUtf8(h.panel.title), "TAVIO (Version 01.02.00): " + connected + row.name);
      EXPECT_EQ(Text8(h.panel, kLabelRiComp), row.label);
    }
  }
}

// Every control whose enabled state the refresh decides.
const std::vector<ControlId> kRefreshed = {
    kStore, kLoadFile, kSaveFile, kLoadDefaults, kBecVoltage, kReverseRotation, kForwardBackward, kBatteryType,
    kCutoffVoltage, kShutdown, kCapacityLimit, kHoldTime, kGovernorType, kSpoolupTime, kPPart, kRiComp,
    kSoftStart, kBrakeType, kPoleCount, kPoleArrows, kGearRatio, kSlewPos, kSlewNeg, kAutoTiming, kFixTiming,
    kFixTimingAngle, kMinPwm, kMaxStartCurrent, kBrakeSlewPos, kBrakeSlewNeg, kBrakeMaxPwm, kBrakeMinPwm,
    kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnFetTemp, kWarnBecCurrent, kWarnBecTemp};

constexpr uint32_t kGovernor = 0x20, kGovernorStore = 0x60, kSwitching = 0x1, kProportional = 0x3,
                   kAuto = 0x200, kLiPo = 0x4;

TEST(Enabling, EveryFamilyColumnUnderTheGovernorBrakeAndTimingModes) {
  const std::set<ControlId> warnings = {kWarnCutoff, kWarnCapacity, kWarnMotorCurrent, kWarnFetTemp,
                                        kWarnBecCurrent, kWarnBecTemp};
  const std::set<ControlId> governor = {kSpoolupTime, kPPart, kRiComp};
  const std::set<ControlId> brake = {kBrakeSlewPos, kBrakeSlewNeg, kBrakeMaxPwm, kBrakeMinPwm};
  const std::set<ControlId> alder_lacks = {kForwardBackward, kCapacityLimit, kSoftStart, kPoleCount, kPoleArrows,
                                           kGearRatio};
  const std::set<ControlId> delmar_lacks = {kBecVoltage, kBatteryType, kCutoffVoltage, kShutdown, kCapacityLimit,
                                            kGovernorType, kSoftStart, kBrakeType, kGearRatio, kSlewPos,
                                            kSlewNeg, kMinPwm, kWarnBecCurrent, kWarnBecTemp};
  auto join = [](std::initializer_list<std::set<ControlId>> sets) {
    std::set<ControlId> all;
    for (const auto& s : sets) all.insert(s.begin(), s.end());
    return all;
  };
  const struct {
    const char* name;
    uint16_t family, version;
    uint32_t flags;
    std::set<ControlId> disabled;  // all other refreshed controls are enabled
  } rows[] = {
      // CORVAN: soft start follows the governor, the BEC-current warning is never enabled.
      {"CORVAN 0x0401 governor", kFamilyCorvan, 0x0401, kGovernor | kAuto,
       join({{kShutdown, kFixTimingAngle, kWarnBecCurrent}, brake})},
      {"CORVAN 0x0401 governor store, fixed timing", kFamilyCorvan, 0x0401, kGovernorStore,
       join({{kShutdown, kWarnBecCurrent}, brake})},
      {"CORVAN 0x0401 proportional brake", kFamilyCorvan, 0x0401, kProportional,
       join({{kSoftStart, kWarnBecCurrent}, governor})},
      {"CORVAN 0x0401 switching brake", kFamilyCorvan, 0x0401, kSwitching | kAuto,
       join({{kSoftStart, kWarnBecCurrent, kFixTimingAngle, kBrakeMinPwm}, governor})},
      {"CORVAN 0x0400 governor", kFamilyCorvan, 0x0400, kGovernor | kAuto,
       join({{kShutdown, kFixTimingAngle}, brake, warnings})},
      {"CORVAN 0x0402 nothing on", kFamilyCorvan, 0x0402, kAuto,
       join({{kSoftStart, kWarnBecCurrent, kFixTimingAngle}, governor, brake})},
      // BRENTA beside it: the same, but with the BEC-current warning.
      {"BRENTA 0x0401 governor", kFamilyBrenta, 0x0401, kGovernor | kAuto,
       join({{kShutdown, kFixTimingAngle}, brake})},
      {"BRENTA 0x0401 proportional brake", kFamilyBrenta, 0x0401, kProportional,
       join({{kSoftStart}, governor})},
      // ALDER and DELMAR-Z never enable soft start; DELMAR-Z never the shutdown.
      {"ALDER governor", kFamilyAlder, 0x0104, kGovernor | kAuto,
       join({{kShutdown, kFixTimingAngle}, alder_lacks, brake, warnings})},
      {"ALDER proportional brake", kFamilyAlder, 0x0104, kProportional,
       join({alder_lacks, governor, brake, warnings})},
      {"DELMAR-Z governor", kFamilyDelmarZ, 0x0104, kGovernor, join({delmar_lacks, brake})},
      {"DELMAR-Z proportional brake, auto-timing", kFamilyDelmarZ, 0x0104, kProportional | kAuto,
       join({{kFixTimingAngle}, delmar_lacks, governor, brake})},
      // Any other family: everything but the warnings, whatever the modes.
      {"family 500 governor", 500, 0x0401, kGovernor | kAuto, join({{kFixTimingAngle}, warnings})},
      {"family 500 proportional brake", 500, 0x0401, kProportional, warnings},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    AppHarness h;
    h.AddUnit(row.family, 160, row.version);
    h.Start();
    SetFlags(h.app.image, row.flags | kLiPo);
    RefreshDisplay(h.app);
    for (ControlId id : kRefreshed) EXPECT_EQ(h.panel.IsEnabled(id), !row.disabled.contains(id)) << id;
  }
}

TEST(ShowImage, EachLayoutFillsItsCheckBoxesAndRadioButtonsFromTheirBits) {
  // Reverse rotation bit 10, forward/backward bit 13, shutdown bit 8, auto-timing bit 9 (fixed timing its
  // inverse), soft start bit 14. A control the layout lacks keeps what it showed.
  const std::map<ControlId, uint32_t> bits = {{kReverseRotation, 1u << 10}, {kForwardBackward, 1u << 13},
                                              {kShutdown, 1u << 8},         {kAutoTiming, 1u << 9},
                                              {kFixTiming, 1u << 9},        {kSoftStart, 1u << 14}};
  const struct {
    const char* name;
    uint16_t family, version;
    std::set<ControlId> untouched;
  } escs[] = {
      {"ALDER", kFamilyAlder, 0x0104, {kForwardBackward, kSoftStart}},
      {"BRENTA 0x0400", kFamilyBrenta, 0x0400, {}},
      {"CORVAN 0x0401", kFamilyCorvan, 0x0401, {}},
      {"DELMAR-Z", kFamilyDelmarZ, 0x0104, {kSoftStart}},
  };
  const uint32_t patterns[] = {0, 0x6700, 1u << 8, 1u << 9, 1u << 10, 1u << 13, 1u << 14, 0x6700 & ~(1u << 13)};
  for (const auto& esc : escs) {
    for (const uint32_t pattern : patterns) {
      for (const bool before : {false, true}) {
        SCOPED_TRACE(testing::Message() << esc.name << " flags 0x" << std::hex << pattern << " before " << before);
        AppHarness h;
        h.AddUnit(esc.family, 60, esc.version);
        h.Start();
        for (const auto& [id, bit] : bits) h.panel.State(id).checked = before;
        SetFlags(h.app.image, pattern | kLiPo);
        ShowImage(h.app);
        for (const auto& [id, bit] : bits) {
          const bool set = (pattern & bit) != 0;
          const bool want = esc.untouched.contains(id) ? before : (id == kFixTiming ? !set : set);
          EXPECT_EQ(h.panel.GetCheck(id), want) << id;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tavio::test
