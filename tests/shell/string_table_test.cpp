// The string table: a sample of exact texts, the properties every text
// shares, and the locale rule.

#include "core/text/string_table.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tavio {
namespace {

constexpr Language kBoth[] = {Language::English, Language::German};

std::string Load(Language language, StringId id) { return ToUtf8(LookUpString(language, id)); }

TEST(StringTable, SampleTextsInBothLanguages) {
  const struct { StringId id; const char* english; const char* german; } cases[] = {
      {302, "-Forward/Backward- \r\n\r\nActivates the forward/backward option for the motor",
       "-Vorwärts/Rückwärts- \r\n\r\nAktiviert die Vorwärts/Rückwärts Option"},
      {342, "", "Um einen Kommentar für einen Parameter zu erhalten, die Maus über den jeweiligen Parameter bewegen."},
      {15014, "TAVIO (Version %02u.%02u.%02u): Connected with %s %u", "TAVIO (Version %02u.%02u.%02u): Verbunden mit %s %u"},
      {15015, "TAVIO (Version %02u.%02u.%02u): Not connected", "TAVIO (Version %02u.%02u.%02u): Nicht verbunden"},
      {15021, "Caution! The stored RPM from the governor store mode will be lost! \r\nDo you want to continue?",
       "Achtung! Damit geht der eingelernte Drehzahlwert des Govenour-Store Modus verloren! \r\nWollen Sie fortfahren?"},
      {20008, "System has error code 0x%08x-0x%08x", "System hat Fehlercode 0x%08x-0x%08x"},
      {20230, "The settings shown differ from the ones stored on the ESC.\r\n\r\nDo you want to store the changes on the ESC "
              "before closing?",
       "Die angezeigten Einstellungen weichen von den auf dem Regler gespeicherten ab.\r\n\r\nMöchten Sie die "
       "Änderungen vor dem Schließen auf dem Regler speichern?"},
      {20121, "The settings could not be saved to %s. The settings were NOT saved; the existing file is unchanged.",
       "Die Einstellungen konnten nicht in %s gespeichert werden. Die Einstellungen wurden NICHT gespeichert, die "
       "vorhandene Datei ist unverändert."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Load(Language::English, c.id), c.english) << c.id;
    EXPECT_EQ(Load(Language::German, c.id), c.german) << c.id;
  }
}

// Each warning threshold's English help describes that threshold, with the
// limits its field really has, in the form of the others.
TEST(StringTable, WarningHelpTextsDescribeTheirOwnThreshold) {
  const struct { StringId id; const char* english; } cases[] = {
      {319, "-Warning capacity limit- \r\n\r\nSendra-parameter: \r\nthreshold for the used capacity in Ah. When reached "
            "a transmitter alarm will be activated.\r\n\r\nLimit: min 0.0Ah - max 65.0Ah.\r\n\r\n"
            "Default: 0.0 means not activated"},
      {320, "-Warning motor current- \r\n\r\nSendra-parameter: \r\nthreshold for motor current peaks in A. When "
            "reached a transmitter alarm will be activated.\r\n\r\nLimit: min 0A - max twice the ESC's model number "
            "(320A for a 160).\r\n\r\nDefault: depends on the ESC"},
      {321, "-Warning BEC current- \r\n\r\nSendra-parameter: \r\nthreshold for BEC current in mA. When reached a "
            "transmitter alarm will be activated. (Only for ESCs with BEC current measurement. Not working with all "
            "transmitters)\r\n\r\nLimits: min 0mA - max 30000mA, BRENTA 160: max 20000mA.\r\n\r\n"
            "Default: depends on the ESC"},
      {322, "-Warning FET temperature- \r\n\r\nSendra-parameter: \r\nthreshold for the power stage (FET) "
            "temperature in °C. When reached a transmitter alarm will be activated.\r\n\r\n"
            "Limit: min 20°C - max 90°C.\r\n\r\nDefault: 90°C"},
      {323, "-Warning BEC temperature- \r\n\r\nSendra-parameter: \r\nthreshold for the BEC temperature in °C. When "
            "reached a transmitter alarm will be activated. (Only for ESCs with BEC)\r\n\r\n"
            "Limit: min 20°C - max 90°C.\r\n\r\nDefault: 90°C"},
  };
  for (const auto& c : cases) EXPECT_EQ(Load(Language::English, c.id), c.english) << c.id;
  // The capacity limit's field takes at most 65.0Ah, as its German text says.
  const std::string capacity = Load(Language::English, 308);
  EXPECT_NE(capacity.find("Limit: min 0.0Ah - max 65.0Ah.\r\n"), std::string::npos);
  EXPECT_EQ(capacity.find("1000"), std::string::npos);
}

TEST(StringTable, ConnectInstructionsBreakTheirLinesAlikeInBothLanguages) {
  // Headings alone on their lines, blank lines between the steps, the same leading and trailing blanks.
  const std::regex steps(R"(1\.\)\r\n\S.* \r\n\S.*\S\r\n\r\n 2\.\)\r\n\S.*\S\r\n\r\n 3\.\)\r\n \S.* \r\n\r\n 4\.\)\r\n \S.*\S)");
  for (Language language : kBoth) EXPECT_TRUE(std::regex_match(Load(language, sid::kConnectInstructions), steps));
}

TEST(StringTable, EveryIdHasWellFormedTextsInBothLanguages) {
  const std::pair<int, int> ranges[] = {{200, 205}, {207, 211}, {213, 215}, {218, 223}, {226, 226}, {228, 228},
      {233, 240}, {242, 242}, {300, 323}, {333, 340}, {342, 342}, {400, 401}, {15000, 15005}, {15007, 15009},
      {15011, 15011}, {15013, 15022}, {15100, 15100}, {20001, 20015}, {20111, 20115}, {20120, 20122},
      {20130, 20140}, {20150, 20156}, {20200, 20205}, {20211, 20214}, {20216, 20220}, {20230, 20230}};
  std::vector<StringId> expected;
  for (auto [first, last] : ranges) for (int id = first; id <= last; ++id) expected.push_back(StringId(id));
  const auto ids = AllStringIds();
  EXPECT_EQ(std::vector<StringId>(ids.begin(), ids.end()), expected);
  for (int id : {0, 206, 341, 402, 20116, 65535}) EXPECT_EQ(Load(Language::German, StringId(id)), "") << id;

  const std::regex conversion("%[0-9.]*[a-z]"), help_head("^-[^\r\n]+- ?\r\n\r\n"), crlf("\r\n");
  const auto conversions = [&](const std::string& text) {  // "%02u", "%s", ... in order
    return std::regex_replace(text, conversion, "$&", std::regex_constants::format_no_copy);
  };
  const std::set<StringId> same_in_both = {234, 15007, 15009, 15013, 20205, 20214, 20219};
  for (StringId id : ids) {
    const std::string english = Load(Language::English, id), german = Load(Language::German, id);
    EXPECT_EQ(std::pair(english.empty(), german.empty()), std::pair(id == 342, false)) << id;
    EXPECT_EQ(conversions(german), conversions(english)) << id;
    if (id == 20120 || id == 20121 || id == 20139 || id == 20155) { EXPECT_EQ(conversions(german), "%s") << id; }
    if (id == 20134) { EXPECT_EQ(conversions(german), "%s%s") << id; }
    if (id == 20135 || id == 20136 || id == 20151) { EXPECT_TRUE(german.ends_with("\r\n\r\n%s")) << id; }
    if (id == 20154) { EXPECT_EQ(conversions(german), "%08x") << id; }
    if (id == 20156) { EXPECT_EQ(conversions(german), "") << id; }  // the browser shows no path
    if (id == 20133) {
      for (Language language : kBoth) EXPECT_NE(Load(language, id).find("yte 0x%02X "), std::string::npos);
    }
    EXPECT_EQ(german == english, same_in_both.contains(id)) << id << " left untranslated";
    for (Language language : kBoth) {
      const std::string text = Load(language, id);
      EXPECT_EQ(std::regex_replace(text, crlf, "").find_first_of("\r\n"), std::string::npos) << id;
      const bool help = id >= 300 && id <= 401 && id != 342;  // "-Name-" first, at most 448 characters
      EXPECT_TRUE(!help || (LookUpString(language, id).size() <= 448 && std::regex_search(text, help_head))) << text;
    }
  }
}

TEST(LanguageFromLocaleName, TheLanguagePartDecides) {
  for (const char* name : {"de", "de_DE.UTF-8", "de-AT", "de_CH@euro", "de:en", "German_Germany.1252", "DEU"})
    EXPECT_EQ(LanguageFromLocaleName(name), Language::German) << name;
  for (const char* name : {"en_US.UTF-8", "en:de", "dex", "d", "Germany", "C", "", "_DE"})
    EXPECT_EQ(LanguageFromLocaleName(name), Language::English) << name;
}

}  // namespace
}  // namespace tavio
