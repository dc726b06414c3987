#pragma once
// IDs of the string table. Every ID has an English and a German text.

#include <cstdint>

namespace tavio {

using StringId = uint16_t;

namespace sid {

// Labels 200..242.
inline constexpr StringId kLabelFirst = 200;
inline constexpr StringId kLabelLast = 242;
inline constexpr StringId kHelpField = 242;  // the help field's initial text

// Help texts.
inline constexpr StringId kHelpFixTiming = 305;
inline constexpr StringId kHelpRiComp = 312;
inline constexpr StringId kHelpMaxStartCurrentAmps = 336;
inline constexpr StringId kHelpIPart = 400;
inline constexpr StringId kHelpMaxStartCurrentPercent = 401;

// Group titles, list items, buttons, window titles, file messages.
inline constexpr StringId kGroupGeneral = 15000;
inline constexpr StringId kButtonLoadDefaults = 15001;
inline constexpr StringId kGroupBattery = 15002;
inline constexpr StringId kLabelBatteryType = 15003;
inline constexpr StringId kGroupGovernor = 15004;
inline constexpr StringId kItemOff = 15005;
inline constexpr StringId kGroupMotor = 15007;
inline constexpr StringId kItemSwitchingBrake = 15008;
inline constexpr StringId kItemProportional = 15009;
inline constexpr StringId kGroupWarnings = 15011;
inline constexpr StringId kGroupExpert = 15013;
inline constexpr StringId kTitleConnected = 15014;
inline constexpr StringId kTitleNotConnected = 15015;
inline constexpr StringId kButtonLoadFile = 15016;
inline constexpr StringId kButtonSaveFile = 15017;
inline constexpr StringId kFileSaved = 15018;
inline constexpr StringId kFileNotValid = 15019;
inline constexpr StringId kFileNotCompatible = 15020;
inline constexpr StringId kGovernorStoreLost = 15021;
inline constexpr StringId kGroupComment = 15022;
inline constexpr StringId kButtonStore = 15100;

// Device link messages.
inline constexpr StringId kAppErrorCaption = 20001;
inline constexpr StringId kRegistrationFailed = 20002;
inline constexpr StringId kUnitWrongMode = 20003;
inline constexpr StringId kNoUpdatableEsc = 20004;
inline constexpr StringId kNoUnitFound = 20005;
inline constexpr StringId kConnectionLost = 20006;
inline constexpr StringId kCommErrorCaption = 20007;
inline constexpr StringId kSystemErrorCode = 20008;
inline constexpr StringId kCommErrorRetry = 20009;
inline constexpr StringId kReadEepromFailed = 20010;
inline constexpr StringId kSystemLockFailed = 20011;
inline constexpr StringId kFlashAccessFailed = 20012;
inline constexpr StringId kEraseFailed = 20013;
inline constexpr StringId kAssignAddressFailed = 20014;
inline constexpr StringId kWriteBlockFailed = 20015;
inline constexpr StringId kConnectInstructions = 20111;
inline constexpr StringId kStoreSucceeded = 20112;
inline constexpr StringId kInvalidDataCaption = 20113;
inline constexpr StringId kInvalidPoleCount = 20114;
inline constexpr StringId kShutdownWarning = 20115;

// Texts of this program's own, beyond the original table.
inline constexpr StringId kUnitAccessDenied = 20120;  // paragraph added to the no-unit box
inline constexpr StringId kFileSaveFailed = 20121;    // a save that could not be completed
inline constexpr StringId kFileDialogFilter = 20122;  // "Binary File (*.bin)"
inline constexpr StringId kFlashCloseFailed = 20130;    // closing FlashAccess 1 failed
inline constexpr StringId kSystemUnlockFailed = 20131;  // closing SystemLock 0 failed
inline constexpr StringId kReadBackFailed = 20132;      // the stored block could not be read back
inline constexpr StringId kReadBackMismatch = 20133;    // the read-back differs; %02X: first offset
inline constexpr StringId kBackupFailed = 20134;        // %s folder, %s reason: the store did not start
inline constexpr StringId kEscErasedRestore = 20135;    // Yes/No; %s: the backup's name
inline constexpr StringId kEscDamagedRestore = 20136;   // Yes/No; %s: the backup's name
inline constexpr StringId kEscErasedNoBackup = 20137;
inline constexpr StringId kEscDamagedNoBackup = 20138;
inline constexpr StringId kFileSaveFailedNew = 20139;   // as 20121, when there was no file before
inline constexpr StringId kNothingToStore = 20140;      // Store while the erased block is shown
inline constexpr StringId kBlockLengthRefused = 20150;  // a store of a block not of the ESC's length
inline constexpr StringId kEscUnreadableRestore = 20151;  // Yes/No; %s: the backup's name
inline constexpr StringId kEscUnreadableNoBackup = 20152;
inline constexpr StringId kEscUnreadableNotBackedUp = 20153;  // the store goes on without a backup
inline constexpr StringId kUnitErrorAnswer = 20154;     // %08x: the code the unit answered identification with
inline constexpr StringId kUnitHeldElsewhere = 20155;   // as 20120 on Windows: another program may hold it
inline constexpr StringId kUnitBrowserRefused = 20156;  // as 20120 in the browser (no path: the browser's own)
inline constexpr StringId kCloseUnstored = 20230;     // closing while the ESC holds other settings

// Model-defaults dialogs.
inline constexpr StringId kDefaultsCaption = 20200;
inline constexpr StringId kDefaultsModelType = 20201;
inline constexpr StringId kDefaultsExplainPlanes = 20202;  // dialog 101
inline constexpr StringId kDefaultsExplainCopters = 20203; // dialog 102
inline constexpr StringId kDefaultsCancel = 20204;
inline constexpr StringId kDefaultsOk = 20205;
inline constexpr StringId kModelSailPlane = 20211;
inline constexpr StringId kModelSportsPlane = 20212;
inline constexpr StringId kModelHelicopter = 20213;
inline constexpr StringId kModelRcCar = 20214;
inline constexpr StringId kModelMulticopter = 20216;
inline constexpr StringId kModelForwardReverse = 20217;
inline constexpr StringId kModelReverseRotation = 20218;
inline constexpr StringId kModelResetMode1 = 20219;
inline constexpr StringId kModelResetDji = 20220;

}  // namespace sid
}  // namespace tavio
