#include "core/shell/string_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/shell/string_ids.h"
#include "core/text/text.h"

namespace tavio {
namespace {

constexpr Language kBoth[] = {Language::English, Language::German};

std::string Load(Language language, StringId id) { return ToUtf8(LoadString(language, id)); }

const char* Name(Language language) { return language == Language::German ? "German" : "English"; }

struct TextCase {
  StringId id;
  const char* english;
  const char* german;
};

TEST(StringTable, ExactTexts) {
  const TextCase cases[] = {
      {200, "BEC voltage", "BEC-Spannung"},
      {202, "Forward/Backward", "Vorwärts/Rückwärts"},
      {207, "Cut off voltage / cell", "Abschaltspannung / Zelle"},
      {219, "Capacity limit", "Kapazitätslimit"},
      {228, "ESC", "Regler"},
      {236, "Max. starting current", "Max. Anlaufstrom"},
      {240, "Max. PWM Brake", "Max. Bremsleistung"},
      {242, "Here is the field for the comment",
       "Um einen Kommentar für einen Parameter zu erhalten, die Maus über den jeweiligen Parameter bewegen."},
      {300, "-BEC output voltage- \r\n\r\nLimits: min 5.0V - max 8.0V \r\n\r\nDefault: 5.6V",
       "-BEC-Ausgangsspannung- \r\n\r\nGrenzwert: Min 5.0V - Max 8.0V \r\n\r\nDefault: 5.6V"},
      {305,
       "-Fix timing- \r\n\r\nAllows fixed timing (if necessary) \r\n\r\nLimits: min 0° - max 30° \r\n\r\n"
       "Default: 5° \r\n\r\nCAUTION: Incorrect settings will result in poor motor operation and excess heat",
       "-Fix Timing- \r\n\r\nErmöglicht eine feste Timing-Einstellung (falls notwendig). \r\n\r\n"
       "Grenzwerte: Min 0° - Max 30° \r\n\r\nDefault: 5°\r\n\r\n"
       "ACHTUNG: Falsche Einstellung hat massive Auswirkungen auf Motorlauf und Wirkungsgrad."},
      {307,
       "-Cut off voltage/cell- \r\n\r\nPosability of changing the under voltage cut off/slow down voltage "
       "\r\n\r\n"
       "Limits: \r\nNiCd/NiMH 700mV - 1200mV, \r\nDefault: 800mV \r\nLiPo 2700mV - 4000mV, \r\n"
       "Default: 3000mV \r\nLiFePo 1800mV - 2600mV \r\nDefault: 2300mV\r\n\r\n"
       "CAUTION: too low values may damage your battery",
       "-Abschaltspannung/Zelle- \r\n\r\nErmöglicht die Anpassung der Abschalt-/Abregel-Spannung \r\n\r\n"
       "Grenzwerte: \r\nNiCd/NiMH 700mV - 1200mV,\r\nDefault: 800mV \r\nLiPo 2700mV - 4000mV,\r\n"
       "Default: 3000mV \r\nLiFePo 1800mV - 2600mV,\r\nDefault: 2300mV \r\n\r\n"
       "ACHTUNG: zu niedrige Werte führen zur Tiefenentladung des Akkus"},
      {314,
       "-Pole count- \r\n\r\nWhen using Telemetry/Logging and would like to have the physical RPM of the "
       "motor "
       "not the logical count of magnetic poles of the motor.\r\n\r\nDefault: 2",
       "-Polzahl- \r\n\r\nUm bei/beim Telemetrie/Logging anstelle der physikalischen Drehzahl die Drehzahl "
       "an "
       "der Motorwelle anzuzeigen, muss die Polzahl des verwendeten Motors eingestellt werden.\r\n\r\n"
       "Grenzwert: Min 2 - Max 32 \r\n\r\nDefault: 2"},
      {339,
       "-Min. Brake PWM- \r\n\r\nEXPERT-PARAMETER! \r\ninfluences the strength of the brake, initiating "
       "minimum "
       "brake strength. Only with proportional brake. \r\n\r\nLimit: min 0% - max 50% \r\n\r\nDefault:0%",
       "-Minimale Bremsleistung- \r\n\r\nEXPERT-PARAMETER! \r\nBeeinflusst, wie stark die Bremse im "
       "Vergleich zur "
       "maximalen Bremsleistung mindestends sein kann. \r\n\r\nACHTUNG: Nur bei proportionaler Bremse. "
       "\r\n\r\n"
       "Grenzwert: Min 0% - Max 50% \r\n\r\nDefault: 0%"},
      {342, "",
       "Um einen Kommentar für einen Parameter zu erhalten, die Maus über den jeweiligen Parameter bewegen."},
      {400,
       "-I-part- \r\n\r\nEXPERT-PARAMETER! \r\nThis parater influence the RPM control characteristic. "
       "\r\n\r\n"
       "Limit: 0 - 10 \r\n\r\nDefault: 4",
       "-I-Anteil- \r\n\r\nEXPERT-PARAMETER! \r\nHat Einfluss auf die Regelcharakteristik der "
       "Drehzahlregelung. "
       "\r\n\r\nGrenzwert: Min 0 - Max 10 \r\n\r\nDefault: 4"},
      {401,
       "-Max starting current- \r\n\r\nEXPERT-PARAMETER! \r\nLimitation of allowed current during start up "
       "of the "
       "motor. This influenced the start up quality. \r\n\r\nLimit: min 10% - max 100%.\r\n\r\nDefault: 100%",
       "-Maximaler Anlaufstrom- \r\n\r\nEXPERT-PARAMETER! \r\nBegrenzung des maximalen Stroms im Anlauf in "
       "Prozent. "
       "Hat Einfluss auf das Anlaufverhalten. \r\n\r\nGrenzwert: Min 10% - Max 100%"},
      {15000, "General", "Allgemein"},
      {15001, "Load defaults", "Modell Defaults laden"},
      {15003, "Type of battery", "Akkutyp"},
      {15004, "Governor", "Drehzahlregelung"},
      {15005, "Off", "Aus"},
      {15008, "Switching brake", "Schaltbremse"},
      {15009, "Proportional", "Proportional"},
      {15014, "TAVIO (Version %02u.%02u.%02u): Connected with %s %u",
       "TAVIO (Version %02u.%02u.%02u): Verbunden mit %s %u"},
      {15015, "TAVIO (Version %02u.%02u.%02u): Not connected",
       "TAVIO (Version %02u.%02u.%02u): Nicht verbunden"},
      {15016, "Load file", "Datei laden"},
      {15017, "Save file", "Datei speichern"},
      {15018, "Settings saved successfully!", "Die Einstellungen wurden erfolgreich gespeichert!"},
      {15019, "The selected file is not a valid memory file, please choose a valid memory file!",
       "Die ausgewählte Datei ist keine gültige Speicherdatei, bitte wählen Sie eine gültige Speicherdatei "
       "aus!"},
      {15020,
       "The selected file is not compatible with the connected controller, please choose a valid memory "
       "file!",
       "Die ausgewählte Datei ist nicht mit dem angeschlossenen Regler kompatibel, bitte wählen Sie eine "
       "gültige "
       "Speicherdatei aus!"},
      {15021,
       "Caution! The stored RPM from the governor store mode will be lost! \r\nDo you want to continue?",
       "Achtung! Damit geht der eingelernte Drehzahlwert des Govenour-Store Modus verloren! \r\n"
       "Wollen Sie fortfahren?"},
      {15022, "Comment", "Kommentar"},
      {15100, "Store on ESC", "Auf Regler speichern"},
      {20002,
       "Error on registration of Windows device message handler. New device could not be deteced on USB "
       "port.Program is closed.",
       nullptr},
      {20004,
       "A programming unit was found on the USB Port but no updatable ESC.  To program the ESC do the "
       "following:",
       nullptr},
      {20005, "No programming unit was found on the USB Port. To program the ESC do the following:", nullptr},
      {20007, "Communication error", nullptr},
      {20008, "System has error code 0x%08x-0x%08x", "System hat Fehlercode 0x%08x-0x%08x"},
      {20009,
       "The communication with the ESC was interrupted by an error. Please try again. If the error occur "
       "again, "
       "please contact DRAVEX service",
       nullptr},
      {20112, "The configuration parameters have been transferred to the ESC successfully", nullptr},
      {20113, "Invalid data", "Ungültige Eingabe"},
      {20114, "This pole count is invalid. The pole count must between 2 and 32 in even numbers.",
       "Die eingegebene Motor-Polzahl ist nicht zulässig. Die Anzahl der Pole muss zwischen 2 und 32 liegen "
       "und "
       "gerade sein."},
      {20115,
       "If you enable the under voltage shutdown, the ESC will turn off as soon as it reaches the specified "
       "cut off "
       "voltage/cell or capacity!",
       "Wenn Sie die Unterspannungsabschaltung aktivieren, schaltet sich der Regler ab, sobald er die "
       "festgelegte "
       "Abschaltspannung/Zelle erreicht hat!"},
      {20122, "Binary File (*.bin)", "Binärdatei (*.bin)"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(Load(Language::English, c.id), c.english);
    if (c.german != nullptr) {
      EXPECT_EQ(Load(Language::German, c.id), c.german);
    }
  }
}

TEST(StringTable, DefaultsDialogTexts) {
  const char* const explain_de =
      "Wählen Sie zum Laden von Defaultwerten den Modelltyp aus und bestätigen Sie mit OK. Bitte beachten "
      "Sie, "
      "dass dadurch alle bisher gemachten Einstellungen verloren gehen. Nur die zuvor im Regler "
      "programmierten "
      "Knüppelwege bleiben erhalten!";
  const TextCase cases[] = {
      {sid::kDefaultsCaption, "Load Model Defaults", "Modelldefaults laden"},
      {sid::kDefaultsModelType, "Model Type", "Modelltyp"},
      {sid::kDefaultsExplainPlanes,
       "For loading defaulds please select model type. Then press OK. Please consider that all made "
       "programming "
       "options are lost by this action.The stored stick ways are kept.",
       explain_de},
      {sid::kDefaultsExplainCopters,
       "For loading defaults please select model type. Then press OK. Please consider that all made "
       "programming "
       "options are lost by this action.The stored stick ways are kept.",
       explain_de},
      {sid::kDefaultsCancel, "Cancel", "Abbrechen"},
      {sid::kDefaultsOk, "OK", "OK"},
      {sid::kModelSailPlane, "Sail plane", "Segelflugzeug"},
      {sid::kModelSportsPlane, "Sports plane", "Motorflugzeug"},
      {sid::kModelHelicopter, "Helicopter", "Helikopter"},
      {sid::kModelRcCar, "RC Car", "RC Car"},
      {sid::kModelMulticopter, "Multicopter", "Multikopter (Andere Stabi-Systeme)"},
      {sid::kModelForwardReverse, "Forward/Reverse", "Vorwärts/Rückwärts"},
      {sid::kModelReverseRotation, "Reverserotation", "Drehrichtungsumkehr"},
      {sid::kModelResetMode1, "Reset (Mode 1)", "Reset (Mode 1)"},
      {sid::kModelResetDji, "Reset (DJI-Mode)", "Reset (DJI-Modus)"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(Load(Language::English, c.id), c.english);
    EXPECT_EQ(Load(Language::German, c.id), c.german);
  }
}

TEST(StringTable, ConnectInstructionsKeepTheirLayoutInBothLanguages) {
  EXPECT_EQ(
      Load(Language::English, sid::kConnectInstructions),
      "1.)\r\nDisconnect the DRAVEX ESC from the receiver (Master and Slave Port) and connect the Master "
      "Port "
      "with the female connector of the LinkBox/LINKPUCK. A BEC or male to male cable required. \r\n"
      "The DELMAR-Z needs instead a program-cable.\r\n\r\n 2.)\r\nConnect the DRAVEX ESC to an appropriate "
      "battery. As soon as the connection is established the LEDs of the DRAVEX ESC and the LinkBox starts "
      "flashing.\r\n\r\n 3.)\r\n Now connect the LinkBox/LINKPUCK with the supplied USB cable to your PC. If "
      "you use a LINKPUCK, please push the button once. \r\n\r\n 4.)\r\n Now push the 'OK'-button, Tavio "
      "starts now.");

  // The German text breaks its lines at the same places: the step headings
  // sit on the same lines, and every line keeps its leading blank.
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
      out.push_back(text.substr(start, at - start));
    }
    out.push_back(text.substr(start));
    return out;
  };
  const auto english = lines(Load(Language::English, sid::kConnectInstructions));
  const auto german = lines(Load(Language::German, sid::kConnectInstructions));
  ASSERT_EQ(english.size(), 12u);
  ASSERT_EQ(german.size(), english.size());
  for (size_t i = 0; i < english.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(english[i].empty(), german[i].empty());
    EXPECT_EQ(english[i].starts_with(' '), german[i].starts_with(' '));
    EXPECT_EQ(english[i].ends_with(' '), german[i].ends_with(' '));
    if (english[i].ends_with(".)")) {
      EXPECT_EQ(german[i], english[i]);
    }
  }
  EXPECT_EQ(german[0], "1.)");
  EXPECT_EQ(german[10], " 4.)");
}

TEST(StringTable, MessagesThatPrecedeTheInstructionsEndWithAColon) {
  // The instruction box appends the connection steps right after these.
  for (StringId id : {sid::kUnitWrongMode, sid::kNoUpdatableEsc, sid::kNoUnitFound, sid::kConnectionLost}) {
    for (Language language : kBoth) {
      SCOPED_TRACE(testing::Message() << id << " " << Name(language));
      const std::string text = Load(language, id);
      EXPECT_TRUE(text.ends_with(':')) << text;
    }
  }
}

// The printf conversions of a pattern, in order ("%%" is no conversion).
std::vector<std::string> Conversions(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 1 < text.size() && text[i + 1] == '%') {
      ++i;
      continue;
    }
    const size_t end = text.find_first_of("diouxXeEfgGcsp", i + 1);
    out.push_back(text.substr(i, end == std::string::npos ? std::string::npos : end - i + 1));
    if (end == std::string::npos) break;
    i = end;
  }
  return out;
}

TEST(StringTable, PatternsCarryTheSameConversionsInBothLanguages) {
  using List = std::vector<std::string>;
  const struct {
    StringId id;
    List conversions;
  } cases[] = {
      {sid::kTitleConnected, {"%02u", "%02u", "%02u", "%s", "%u"}},
      {sid::kTitleNotConnected, {"%02u", "%02u", "%02u"}},
      {sid::kSystemErrorCode, {"%08x", "%08x"}},
      {sid::kUnitAccessDenied, {"%s"}},
      {sid::kFileSaveFailed, {"%s"}},
  };
  for (const auto& c : cases) {
    for (Language language : kBoth) {
      SCOPED_TRACE(testing::Message() << c.id << " " << Name(language));
      EXPECT_EQ(Conversions(Load(language, c.id)), c.conversions);
    }
  }
}

TEST(StringTable, PlainMessagesHoldNoConversions) {
  // These are shown as they stand; a '%' in them would be a typo.
  for (StringId id : AllStringIds()) {
    if (id < 15000) continue;  // labels and help texts quote percentages
    if (id == sid::kTitleConnected || id == sid::kTitleNotConnected || id == sid::kSystemErrorCode ||
        id == sid::kUnitAccessDenied || id == sid::kFileSaveFailed) {
      continue;
    }
    for (Language language : kBoth) {
      SCOPED_TRACE(testing::Message() << id << " " << Name(language));
      EXPECT_EQ(Load(language, id).find('%'), std::string::npos);
    }
  }
}

TEST(StringTable, OwnTextsSayWhatHappenedAndWhatToDo) {
  for (Language language : kBoth) {
    SCOPED_TRACE(Name(language));
    const std::string denied = Load(language, sid::kUnitAccessDenied);
    EXPECT_NE(denied.find("LINKBOX"), std::string::npos);
    EXPECT_NE(denied.find("LINKPUCK"), std::string::npos);
    EXPECT_NE(denied.find("\"70-tavio.rules\""), std::string::npos);
    EXPECT_NE(denied.find("/etc/udev/rules.d/"), std::string::npos);
    EXPECT_NE(denied.find("/usr/lib/udev/rules.d/"), std::string::npos);
    EXPECT_EQ(denied.find("\r\n"), std::string::npos) << "one paragraph";

    const std::string failed = Load(language, sid::kFileSaveFailed);
    EXPECT_NE(failed.find(language == Language::German ? "NICHT" : "NOT"), std::string::npos);
  }
  EXPECT_EQ(
      Load(Language::English, sid::kUnitAccessDenied),
      "A programming unit (LINKBOX or LINKPUCK) was found at %s, but access to it was denied. To grant "
      "access, install the udev rule \"70-tavio.rules\" to /etc/udev/rules.d/ (the package installs it to "
      "/usr/lib/udev/rules.d/), then unplug the programming unit and plug it in again.");
  EXPECT_EQ(
      Load(Language::English, sid::kFileSaveFailed),
      "The settings could not be saved to %s. The settings were NOT saved; the existing file is unchanged.");
  EXPECT_EQ(
      ToUtf8(FormatPattern(LoadString(Language::German, sid::kFileSaveFailed), "/tmp/a.bin")),
      "Die Einstellungen konnten nicht in /tmp/a.bin gespeichert werden. Die Einstellungen wurden NICHT "
      "gespeichert, die vorhandene Datei ist unverändert.");
}

std::vector<StringId> ExpectedIds() {
  std::vector<StringId> ids = {200, 201, 202, 203, 204, 205, 207, 208, 209, 210, 211, 213, 214, 215, 218, 219,
                               220, 221, 222, 223, 226, 228, 233, 234, 235, 236, 237, 238, 239, 240, 242};
  for (StringId id = 300; id <= 323; ++id) ids.push_back(id);
  for (StringId id = 333; id <= 340; ++id) ids.push_back(id);
  for (int id : {342,   400,   401,   15000, 15001, 15002, 15003, 15004, 15005, 15007, 15008, 15009,
                 15011, 15013, 15014, 15015, 15016, 15017, 15018, 15019, 15020, 15021, 15022, 15100}) {
    ids.push_back(static_cast<StringId>(id));
  }
  for (StringId id = 20001; id <= 20015; ++id) ids.push_back(id);
  for (StringId id = 20111; id <= 20115; ++id) ids.push_back(id);
  for (int id : {20120, 20121, 20122, 20200, 20201, 20202, 20203, 20204, 20205, 20211, 20212, 20213, 20214,
                 20216, 20217, 20218, 20219, 20220}) {
    ids.push_back(static_cast<StringId>(id));
  }
  return ids;
}

TEST(StringTable, HoldsExactlyTheProgramsIdsInAscendingOrder) {
  const auto ids = AllStringIds();
  EXPECT_EQ(std::vector<StringId>(ids.begin(), ids.end()), ExpectedIds());
}

TEST(StringTable, EveryIdHasTextInBothLanguagesExceptTheEnglishHelpFieldHint) {
  for (StringId id : AllStringIds()) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(LoadString(Language::German, id).empty());
    EXPECT_EQ(LoadString(Language::English, id).empty(), id == 342);
  }
}

TEST(StringTable, NamedIdsAllHaveTexts) {
  const StringId named[] = {
      sid::kLabelFirst,
      sid::kLabelLast,
      sid::kHelpField,
      sid::kHelpFixTiming,
      sid::kHelpRiComp,
      sid::kHelpMaxStartCurrentAmps,
      sid::kHelpIPart,
      sid::kHelpMaxStartCurrentPercent,
      sid::kGroupGeneral,
      sid::kButtonLoadDefaults,
      sid::kGroupBattery,
      sid::kLabelBatteryType,
      sid::kGroupGovernor,
      sid::kItemOff,
      sid::kGroupMotor,
      sid::kItemSwitchingBrake,
      sid::kItemProportional,
      sid::kGroupWarnings,
      sid::kGroupExpert,
      sid::kTitleConnected,
      sid::kTitleNotConnected,
      sid::kButtonLoadFile,
      sid::kButtonSaveFile,
      sid::kFileSaved,
      sid::kFileNotValid,
      sid::kFileNotCompatible,
      sid::kGovernorStoreLost,
      sid::kGroupComment,
      sid::kButtonStore,
      sid::kAppErrorCaption,
      sid::kRegistrationFailed,
      sid::kUnitWrongMode,
      sid::kNoUpdatableEsc,
      sid::kNoUnitFound,
      sid::kConnectionLost,
      sid::kCommErrorCaption,
      sid::kSystemErrorCode,
      sid::kCommErrorRetry,
      sid::kReadEepromFailed,
      sid::kSystemLockFailed,
      sid::kFlashAccessFailed,
      sid::kEraseFailed,
      sid::kAssignAddressFailed,
      sid::kWriteBlockFailed,
      sid::kConnectInstructions,
      sid::kStoreSucceeded,
      sid::kInvalidDataCaption,
      sid::kInvalidPoleCount,
      sid::kShutdownWarning,
      sid::kUnitAccessDenied,
      sid::kFileSaveFailed,
      sid::kFileDialogFilter,
      sid::kDefaultsCaption,
      sid::kDefaultsModelType,
      sid::kDefaultsExplainPlanes,
      sid::kDefaultsExplainCopters,
      sid::kDefaultsCancel,
      sid::kDefaultsOk,
      sid::kModelSailPlane,
      sid::kModelSportsPlane,
      sid::kModelHelicopter,
      sid::kModelRcCar,
      sid::kModelMulticopter,
      sid::kModelForwardReverse,
      sid::kModelReverseRotation,
      sid::kModelResetMode1,
      sid::kModelResetDji,
  };
  for (StringId id : named) {
    for (Language language : kBoth) {
      SCOPED_TRACE(testing::Message() << id << " " << Name(language));
      EXPECT_FALSE(LoadString(language, id).empty());
    }
  }
}

TEST(StringTable, IdsWithoutTextGiveEmptyViews) {
  // 206 and 212 are labels whose texts come from elsewhere; the rest lie between used IDs.
  for (int id : {0,   1,     206,   212,   216,   224,   225,   243,   299,   324,   341,
                 402, 15006, 15101, 20000, 20016, 20110, 20116, 20123, 20215, 20221, 65535}) {
    for (Language language : kBoth) {
      SCOPED_TRACE(testing::Message() << id << " " << Name(language));
      EXPECT_TRUE(LoadString(language, static_cast<StringId>(id)).empty());
    }
  }
}

TEST(StringTable, GermanTextsAreTranslatedWhereTheWordsDiffer) {
  // These read the same in both languages; every other German text must differ
  // from its English one, or it was left untranslated.
  const std::set<StringId> same = {234, 15007, 15009, 15013, 20205, 20214, 20219};
  for (StringId id : AllStringIds()) {
    SCOPED_TRACE(id);
    EXPECT_EQ(LoadString(Language::English, id) == LoadString(Language::German, id), same.contains(id));
  }
}

TEST(StringTable, LineBreaksAreCrLfPairs) {
  for (StringId id : AllStringIds()) {
    for (Language language : kBoth) {
      SCOPED_TRACE(testing::Message() << id << " " << Name(language));
      const TextView text = LoadString(language, id);
      for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
          EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == u'\n');
        }
        if (text[i] == u'\n') {
          EXPECT_TRUE(i > 0 && text[i - 1] == u'\r');
        }
      }
    }
  }
}

TEST(StringTable, TextsFitTheirBuffers) {
  for (StringId id : AllStringIds()) {
    for (Language language : kBoth) {
      SCOPED_TRACE(testing::Message() << id << " " << Name(language));
      const TextView text = LoadString(language, id);
      if (id < 300) {  // label buffer
        EXPECT_LE(text.size(), 127u);
      }
      if (id >= 300 && id <= 401) {  // help buffer holds 511
        EXPECT_LE(text.size(), 448u);
      }
      if (id == sid::kTitleConnected || id == sid::kTitleNotConnected) {
        EXPECT_LE(text.size(), 63u);
      }
    }
  }
}

TEST(StringTable, HelpTextsNameTheirParameterBetweenDashes) {
  for (StringId id : AllStringIds()) {
    if (id < 300 || id > 401 || id == 342) continue;
    for (Language language : kBoth) {
      SCOPED_TRACE(testing::Message() << id << " " << Name(language));
      const std::string text = Load(language, id);
      // "-Name- " or "-Name-" on the first line, then a blank line.
      const size_t end = text.find("\r\n\r\n");
      ASSERT_NE(end, std::string::npos);
      std::string title = text.substr(0, end);
      if (title.ends_with(' ')) title.pop_back();
      EXPECT_GE(title.size(), 3u);
      EXPECT_TRUE(title.starts_with('-') && title.ends_with('-')) << title;
      EXPECT_EQ(title.find("\r\n"), std::string::npos);
    }
  }
}

TEST(LanguageFromLocaleName, LanguagePartDecides) {
  const struct {
    const char* name;
    Language expected;
  } cases[] = {
      {"de", Language::German},
      {"de_DE", Language::German},
      {"de-AT", Language::German},
      {"de_CH.UTF-8", Language::German},
      {"de_DE@euro", Language::German},
      {"de.UTF-8", Language::German},
      {"de:en_US", Language::German},
      {"DE_de", Language::German},
      {"German", Language::German},
      {"german", Language::German},
      {"German_Germany.1252", Language::German},
      {"deu", Language::German},
      {"en", Language::English},
      {"en_US.UTF-8", Language::English},
      {"en-GB", Language::English},
      {"en:de", Language::English},
      {"fr_FR", Language::English},
      {"nl_BE", Language::English},
      {"dk", Language::English},
      {"dex", Language::English},
      {"d", Language::English},
      {"C", Language::English},
      {"C.UTF-8", Language::English},
      {"POSIX", Language::English},
      {"", Language::English},
      {"_DE", Language::English},
      {"Germany", Language::English},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LanguageFromLocaleName(c.name), c.expected);
  }
}

}  // namespace
}  // namespace tavio
