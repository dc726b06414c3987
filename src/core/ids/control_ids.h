#pragma once
// IDs of the main window's controls and the notification codes their
// commands carry. Every other part finds a control by these IDs.

#include <cstdint>

namespace tavio {

using ControlId = uint16_t;

namespace ctl {

// Parameter controls: fields, check boxes, radio buttons, lists.
inline constexpr ControlId kBecVoltage = 2000;
inline constexpr ControlId kReverseRotation = 2001;
inline constexpr ControlId kForwardBackward = 2002;
inline constexpr ControlId kShutdown = 2003;
inline constexpr ControlId kAutoTiming = 2004;
inline constexpr ControlId kFixTiming = 2005;
inline constexpr ControlId kBatteryType = 2006;
inline constexpr ControlId kCutoffVoltage = 2007;
inline constexpr ControlId kCapacityLimit = 2008;
inline constexpr ControlId kGovernorType = 2009;
inline constexpr ControlId kSpoolupTime = 2010;
inline constexpr ControlId kPPart = 2011;
inline constexpr ControlId kRiComp = 2012;  // I-part on ALDER
inline constexpr ControlId kBrakeType = 2013;
inline constexpr ControlId kPoleCount = 2014;
inline constexpr ControlId kGearRatio = 2015;
inline constexpr ControlId kSlewPos = 2016;
inline constexpr ControlId kSlewNeg = 2017;
inline constexpr ControlId kWarnCutoff = 2018;
inline constexpr ControlId kWarnCapacity = 2019;
inline constexpr ControlId kWarnMotorCurrent = 2020;
inline constexpr ControlId kWarnBecCurrent = 2021;
inline constexpr ControlId kWarnFetTemp = 2022;
inline constexpr ControlId kWarnBecTemp = 2023;
inline constexpr ControlId kFixTimingAngle = 2026;
inline constexpr ControlId kHoldTime = 2033;
inline constexpr ControlId kMinPwm = 2034;
inline constexpr ControlId kSoftStart = 2035;
inline constexpr ControlId kMaxStartCurrent = 2036;
inline constexpr ControlId kBrakeSlewPos = 2037;
inline constexpr ControlId kBrakeSlewNeg = 2038;
inline constexpr ControlId kBrakeMinPwm = 2039;
inline constexpr ControlId kBrakeMaxPwm = 2040;

// Command buttons and the pole-count arrows.
inline constexpr ControlId kLoadFile = 2050;
inline constexpr ControlId kSaveFile = 2051;
inline constexpr ControlId kLoadDefaults = 2053;
inline constexpr ControlId kPoleArrows = 2054;
inline constexpr ControlId kStore = 2055;

// Group boxes.
inline constexpr ControlId kGroupGeneral = 1000;
inline constexpr ControlId kGroupBattery = 1001;
inline constexpr ControlId kGroupGovernor = 1002;
inline constexpr ControlId kGroupMotor = 1003;
inline constexpr ControlId kGroupWarnings = 1004;
inline constexpr ControlId kGroupFirmware = 1005;
inline constexpr ControlId kGroupExpert = 1007;
inline constexpr ControlId kGroupComment = 1008;

// Labels and static texts.
inline constexpr ControlId kLabelBecVoltage = 200;
inline constexpr ControlId kLabelReverseRotation = 201;
inline constexpr ControlId kLabelForwardBackward = 202;
inline constexpr ControlId kLabelShutdown = 203;
inline constexpr ControlId kLabelAutoTiming = 204;
inline constexpr ControlId kLabelFixTiming = 205;
inline constexpr ControlId kLabelBatteryType = 206;
inline constexpr ControlId kLabelCutoffVoltage = 207;
inline constexpr ControlId kLabelCapacityLimit = 208;
inline constexpr ControlId kLabelGovernorType = 209;
inline constexpr ControlId kLabelSpoolupTime = 210;
inline constexpr ControlId kLabelPPart = 211;
inline constexpr ControlId kLabelRiComp = 212;  // "Ri.-Comp.", "I-Anteil" on ALDER
inline constexpr ControlId kLabelBrakeType = 213;
inline constexpr ControlId kLabelPoleCount = 214;
inline constexpr ControlId kLabelGearRatio = 215;
inline constexpr ControlId kLabelSlewPos = 216;
inline constexpr ControlId kLabelSlewNeg = 217;
inline constexpr ControlId kLabelWarnCutoff = 218;
inline constexpr ControlId kLabelWarnCapacity = 219;
inline constexpr ControlId kLabelWarnMotorCurrent = 220;
inline constexpr ControlId kLabelWarnBecCurrent = 221;
inline constexpr ControlId kLabelWarnFetTemp = 222;
inline constexpr ControlId kLabelWarnBecTemp = 223;
inline constexpr ControlId kLabelUnitName = 224;  // "LINKPUCK" or "LINKBOX"
inline constexpr ControlId kUnitVersion = 225;
inline constexpr ControlId kLabelEscBootloader = 226;
inline constexpr ControlId kEscBootloaderVersion = 227;
inline constexpr ControlId kLabelEscFirmware = 228;
inline constexpr ControlId kEscFirmwareVersion = 229;
inline constexpr ControlId kLabelHoldTime = 233;
inline constexpr ControlId kLabelMinPwm = 234;
inline constexpr ControlId kLabelSoftStart = 235;
inline constexpr ControlId kLabelMaxStartCurrent = 236;
inline constexpr ControlId kLabelBrakeSlewPos = 237;
inline constexpr ControlId kLabelBrakeSlewNeg = 238;
inline constexpr ControlId kLabelBrakeMinPwm = 239;
inline constexpr ControlId kLabelBrakeMaxPwm = 240;
inline constexpr ControlId kHelpField = 242;

// Notification codes of the commands the controls send.
inline constexpr uint16_t kBnClicked = 0;
inline constexpr uint16_t kCbnSelEndOk = 9;
// A drop-down list reports its focus changes too; the dispatch shows the
// list's help for them and calls no editor.
inline constexpr uint16_t kCbnSetFocus = 3;
inline constexpr uint16_t kCbnKillFocus = 4;
inline constexpr uint16_t kEnSetFocus = 0x100;
inline constexpr uint16_t kEnKillFocus = 0x200;
inline constexpr uint16_t kEnChange = 0x300;

// The colouring and help rules go by these ranges; which IDs are parameter
// controls the parameter table says (IsParameterId).
inline constexpr ControlId kLabelFirst = 200;
inline constexpr ControlId kLabelLast = 242;
inline constexpr ControlId kGroupFirst = 1000;
inline constexpr ControlId kGroupLast = 1008;
inline constexpr ControlId kParameterFirst = 2000;
inline constexpr ControlId kParameterLast = 2040;
inline constexpr ControlId kCommandFirst = 2050;
inline constexpr ControlId kCommandLast = 2055;

constexpr bool IsLabelId(ControlId id) { return id >= kLabelFirst && id <= kLabelLast; }
constexpr bool IsGroupId(ControlId id) { return id >= kGroupFirst && id <= kGroupLast; }
constexpr bool IsCommandId(ControlId id) { return id >= kCommandFirst && id <= kCommandLast; }

}  // namespace ctl
}  // namespace tavio
