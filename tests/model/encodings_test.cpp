// Entry parsing, rounding, percent arithmetic and the display texts.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "core/model/encodings.h"
#include "core/text/text.h"

namespace tavio {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(ParseUnitInteger, Entries) {
  struct Case {
    const char16_t* entry;
    const char16_t* unit;
    bool ok;
    int32_t value;
  };
  const Case cases[] = {
      {u"  250 ms", u"ms", true, 250},
      {u"250ms", u"ms", true, 250},
      {u"250", u"ms", true, 250},
      {u"250   ", u"ms", true, 250},
      {u"\t250\tms", u"ms", true, 250},
      {u" \t 250", u"ms", true, 250},
      {u"250 m", u"ms", false, 250},
      {u"250msX", u"ms", true, 250},
      {u"250 ms and more", u"ms", true, 250},
      {u"500MS", u"ms", false, 500},
      {u"500mS", u"ms", false, 500},
      {u"+250", u"ms", false, 250},
      {u"0250", u"ms", false, 250},
      {u"05ms", u"ms", false, 5},
      {u"0", u"ms", true, 0},
      {u"00", u"", true, 0},
      {u"-0", u"ms", false, 0},
      {u"-5", u"ms", true, -5},
      {u"-5ms", u"ms", true, -5},
      {u"- 5", u"ms", false, 0},
      {u"-", u"ms", false, 0},
      {u"+", u"ms", false, 0},
      {u"abc", u"ms", false, 0},
      {u"ms", u"ms", false, 0},
      {u"", u"ms", false, 0},
      {u"   ", u"ms", false, 0},
      {u"", u"", false, 0},
      {u"12 V", u"", true, 12},
      {u"7x", u"", true, 7},
      {u"12.5", u"", true, 12},
      {u"12.5", u"ms", false, 12},
      {u"1,000", u"", true, 1},
      {u"3200mV", u"mV", true, 3200},
      {u"3200 mv", u"mV", false, 3200},
      {u"12s", u"s", true, 12},
      {u"12 ms", u"s", false, 12},
      {u"8750mA", u"mA", true, 8750},
      {u"8750A", u"mA", false, 8750},
      {u"150A", u"A", true, 150},
      {u"50%", u"%", true, 50},
      {u"50 %x", u"%", true, 50},
      {u"1000mOhm", u"mOhm", true, 1000},
      {u"1000mohm", u"mOhm", false, 1000},
      {u"1000mOh", u"mOhm", false, 1000},
      {u"45\u00B0C", u"\u00B0C", true, 45},
      {u"45 \u00B0C", u"\u00B0C", true, 45},
      {u"45\u00B0", u"\u00B0C", false, 45},
      {u"45C", u"\u00B0C", false, 45},
      {u"45\u00B0c", u"\u00B0C", false, 45},
      {u"30\u00B0", u"\u00B0", true, 30},
      {u"30\u00B0C", u"\u00B0", true, 30},
      {u"30o", u"\u00B0", false, 30},
      // The 32-bit range saturates; only the leading character is compared.
      {u"2147483647", u"", true, kMax},
      {u"2147483648", u"", true, kMax},
      {u"3000000000", u"", false, kMax},
      {u"99999999999999999999ms", u"ms", false, kMax},
      {u"-2147483648", u"", true, kMin},
      {u"-2147483649", u"", true, kMin},
      {u"-99999999999", u"", true, kMin},
      // Only blanks are skipped up front; a newline is left for the number
      // conversion, so the first character no longer matches.
      {u"\n250", u"ms", false, 250},
      {u" \n250", u"ms", false, 250},
      {u"\r5", u"", false, 5},
      {u"250\nms", u"ms", false, 250},
      {u"250\n", u"", true, 250},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.entry) + " | " + ToUtf8(c.unit));
    int32_t result = 12345;
    EXPECT_EQ(ParseUnitInteger(c.entry, c.unit, result), c.ok);
    EXPECT_EQ(result, c.value);
  }
}

TEST(ParseDecimalEntry, Entries) {
  struct Case {
    const char16_t* entry;
    char16_t unit;
    bool ok;
    float value;
  };
  const Case cases[] = {
      {u"5.6", u'V', true, 5.6f},
      {u"5.6V", u'V', true, 5.6f},
      {u"5.6 V", u'V', true, 5.6f},
      {u"5.6 Volt", u'V', true, 5.6f},
      {u"  5.6", u'V', true, 5.6f},
      {u"\t5.6\tV", u'V', true, 5.6f},
      {u"5.6\n", u'V', true, 5.6f},
      {u"5.64", u'V', true, 5.64f},
      {u"8", u'V', true, 8.0f},
      {u"5.", u'V', true, 5.0f},
      {u".5", u'V', true, 0.5f},
      {u"-.5", u'V', true, -0.5f},
      {u"-5.6", u'V', true, -5.6f},
      {u"+5.6", u'V', true, 5.6f},
      {u"1e2", u'V', true, 100.0f},
      {u"1E2V", u'V', true, 100.0f},
      {u"2.5e-1", u'V', true, 0.25f},
      {u"5.6e+1 V", u'V', true, 56.0f},
      {u"12.5Ah", u'A', true, 12.5f},
      {u"12.5 A", u'A', true, 12.5f},
      {u"12.34", u'A', true, 12.34f},
      {u"0.0Ah = Aus", u'A', true, 0.0f},
      {u"2.50:1", u':', true, 2.5f},
      {u"2.5 : 1", u':', true, 2.5f},
      {u"655.35", u':', true, 655.35f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.entry));
    float result = -123.0f;
    EXPECT_TRUE(ParseDecimalEntry(c.entry, c.unit, result));
    EXPECT_EQ(result, c.value);
  }
}

TEST(ParseDecimalEntry, Rejected) {
  struct Case {
    const char16_t* entry;
    char16_t unit;
  };
  const Case cases[] = {
      {u"5,6", u'V'},    {u"5.6 v", u'V'},   {u"5.6X", u'V'},  {u"12.5ah", u'A'},
      {u"12.5 ah", u'A'}, {u"12.5V", u'A'},  {u"2.5/1", u':'}, {u"", u'V'},
      {u"   ", u'V'},    {u".", u'V'},       {u".V", u'V'},    {u"V", u'V'},
      {u"-", u'V'},      {u"+-5", u'V'},     {u"--5", u'V'},   {u"Aus", u'A'},
      {u"e5", u'V'},     {u"x5.6", u'V'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.entry));
    float result = 0.0f;
    EXPECT_FALSE(ParseDecimalEntry(c.entry, c.unit, result));
  }
}

TEST(RoundHalfUp, Values) {
  struct Case {
    float x;
    uint16_t expected;
  };
  const Case cases[] = {
      {0.0f, 0},         {0.4f, 0},         {0.5f, 1},         {2.5f, 3},
      {4.5f, 5},         {4.49f, 4},        {4.51f, 5},        {100.0f, 100},
      {204.8f, 205},     {65535.0f, 65535}, {65535.4f, 65535},
      // Only the low 16 bits of the rounded integer are kept.
      {65535.5f, 0},     {65536.0f, 0},     {70000.0f, 4464},  {131071.0f, 65535},
      // Negative values: ceil above a half, floor below it, then the low bits.
      {-0.4f, 0},        {-1.0f, 0xFFFF},   {-2.5f, 0xFFFE},   {-2.6f, 0xFFFD},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RoundHalfUp(c.x), c.expected) << c.x;
  }
}

TEST(RoundHalfUp, HugeAndNonFiniteDoNotCrash) {
  // Floats this large are multiples of 2^16, so the low 16 bits are zero;
  // infinities and NaN have no integer and give zero too.
  const float cases[] = {1e30f,
                         -1e30f,
                         std::numeric_limits<float>::max(),
                         std::numeric_limits<float>::lowest(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()};
  for (float x : cases) {
    EXPECT_EQ(RoundHalfUp(x), 0) << x;
  }
}

TEST(ScaleEntry, DecimalEntriesToStoredIntegers) {
  struct Case {
    float entry;
    double scale;
    uint16_t expected;
  };
  const Case cases[] = {
      {5.6f, 1000.0, 5600},  {7.3f, 1000.0, 7300},   {5.64f, 1000.0, 5640},  {8.0f, 1000.0, 8000},
      {4.99f, 1000.0, 4990}, {4.6f, 10.0, 46},       {2.2f, 10.0, 22},       {0.7f, 10.0, 7},
      {12.34f, 10.0, 123},   {12.35f, 10.0, 124},    {65.0f, 10.0, 650},     {0.0f, 10.0, 0},
      {2.5f, 100.0, 250},    {2.345f, 100.0, 235},   {1.0f, 100.0, 100},     {655.35f, 100.0, 65535},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleEntry(c.entry, c.scale), c.expected) << c.entry << " x " << c.scale;
  }
}

TEST(Fraction4096, Examples) {
  struct ToRaw {
    int32_t percent;
    uint16_t raw;
  };
  const ToRaw to_raw[] = {{0, 0}, {1, 41}, {2, 82}, {5, 205}, {25, 1024}, {33, 1352}, {50, 2048}, {100, 4096}};
  for (const ToRaw& c : to_raw) {
    EXPECT_EQ(PercentToFraction4096(c.percent), c.raw) << c.percent << '%';
  }
  struct ToPercent {
    uint16_t raw;
    uint32_t percent;
  };
  const ToPercent to_percent[] = {{0, 0},       {81, 2},      {100, 2},    {102, 2},   {103, 3},
                                  {204, 5},     {512, 13},    {1365, 33},  {2048, 50}, {4096, 100},
                                  {65535, 1600}};
  for (const ToPercent& c : to_percent) {
    EXPECT_EQ(Fraction4096ToPercent(c.raw), c.percent) << c.raw;
  }
}

TEST(Fraction4096, EveryPercentRoundTrips) {
  for (int32_t percent = 0; percent <= 100; ++percent) {
    // percent * 40.96 rounded halves up, in integers.
    const auto raw = static_cast<uint16_t>((percent * 4096 + 50) / 100);
    EXPECT_EQ(PercentToFraction4096(percent), raw) << percent;
    EXPECT_EQ(Fraction4096ToPercent(raw), static_cast<uint32_t>(percent)) << percent;
  }
}

TEST(Fraction4096, EveryRawValueRoundsHalfUp) {
  // raw * 100 / 4096 is exact in single precision for every 16-bit raw value,
  // so integer rounding halves up must agree everywhere.
  for (uint32_t raw = 0; raw <= 0xFFFF; ++raw) {
    const uint32_t percent = (raw * 100 + 2048) / 4096;
    ASSERT_EQ(Fraction4096ToPercent(static_cast<uint16_t>(raw)), percent) << raw;
  }
}

TEST(FormatVersion, Texts) {
  struct Case {
    uint32_t version;
    const char16_t* text;
  };
  const Case cases[] = {
      {0x00000103, u"1.3"},       {0x02000105, u"2.1.5"},   {0x0000FFFF, u"255.255"},
      {0x00000300, u"3.0"},       {0x00000000, u"0.0"},     {0x00000010, u"0.16"},
      {0x00AB0103, u"1.3"},       {0x01000000, u"1.0.0"},   {0xFFFFFFFF, u"255.255.255"},
      {0x0A0B0C0D, u"10.12.13"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatVersion(c.version), c.text) << std::hex << c.version;
  }
}

TEST(Formatters, UnitTexts) {
  struct Case {
    Unit unit;
    const char16_t* text;
  };
  const Case cases[] = {
      {Unit::None, u""},       {Unit::Millivolt, u"mV"},    {Unit::Second, u"s"},
      {Unit::Millisecond, u"ms"}, {Unit::Ampere, u"A"},     {Unit::Milliampere, u"mA"},
      {Unit::DegreeC, u"\u00B0C"}, {Unit::Degree, u"\u00B0"}, {Unit::Milliohm, u"mOhm"},
      {Unit::Percent, u"%"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnitText(c.unit), TextView(c.text));
  }
}

TEST(Formatters, UnitInteger) {
  struct Case {
    uint32_t value;
    Unit unit;
    const char16_t* text;
  };
  const Case cases[] = {
      {3200, Unit::Millivolt, u"3200mV"},  {0, Unit::Millivolt, u"0mV"},
      {2000, Unit::Millisecond, u"2000ms"}, {65535, Unit::Millisecond, u"65535ms"},
      {12, Unit::Second, u"12s"},          {150, Unit::Ampere, u"150A"},
      {8750, Unit::Milliampere, u"8750mA"}, {90, Unit::DegreeC, u"90\u00B0C"},
      {5, Unit::Degree, u"5\u00B0"},       {1000, Unit::Milliohm, u"1000mOhm"},
      {100, Unit::Percent, u"100%"},       {4, Unit::None, u"4"},
      {4294967295u, Unit::None, u"4294967295"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatUnitInteger(c.value, c.unit), c.text);
  }
}

TEST(Formatters, SecondsVoltsAmpHoursRatiosPercent) {
  struct Case {
    Text text;
    const char16_t* expected;
  };
  const Case cases[] = {
      {FormatMillisecondsAsSeconds(1500), u"1s"},
      {FormatMillisecondsAsSeconds(12000), u"12s"},
      {FormatMillisecondsAsSeconds(999), u"0s"},
      {FormatMillisecondsAsSeconds(6999), u"6s"},
      {FormatMillisecondsAsSeconds(0), u"0s"},
      {FormatMillisecondsAsSeconds(65535), u"65s"},
      {FormatMillivoltsAsVolts(5600), u"5.6V"},
      {FormatMillivoltsAsVolts(5640), u"5.6V"},
      // 5.65 and 5.05 are not exact in double: just above and just below.
      {FormatMillivoltsAsVolts(5650), u"5.7V"},
      {FormatMillivoltsAsVolts(5050), u"5.0V"},
      // 5.25 and 5.75 are exact ties: %.1f rounds them to even.
      {FormatMillivoltsAsVolts(5250), u"5.2V"},
      {FormatMillivoltsAsVolts(5750), u"5.8V"},
      {FormatMillivoltsAsVolts(8000), u"8.0V"},
      {FormatMillivoltsAsVolts(0), u"0.0V"},
      {FormatMillivoltsAsVolts(65535), u"65.5V"},
      {FormatDeciAmpHours(0), u"0.0Ah = Aus"},
      {FormatDeciAmpHours(1), u"0.1Ah"},
      {FormatDeciAmpHours(7), u"0.7Ah"},
      {FormatDeciAmpHours(10), u"1.0Ah"},
      {FormatDeciAmpHours(123), u"12.3Ah"},
      {FormatDeciAmpHours(650), u"65.0Ah"},
      {FormatDeciAmpHours(65535), u"6553.5Ah"},
      {FormatRatioTimes100(100), u"1.00:1"},
      {FormatRatioTimes100(250), u"2.50:1"},
      {FormatRatioTimes100(333), u"3.33:1"},
      {FormatRatioTimes100(1005), u"10.05:1"},
      {FormatRatioTimes100(0), u"0.00:1"},
      {FormatRatioTimes100(65535), u"655.35:1"},
      {FormatFraction4096(1365), u"33%"},
      {FormatFraction4096(204), u"5%"},
      {FormatFraction4096(205), u"5%"},
      {FormatFraction4096(81), u"2%"},
      {FormatFraction4096(512), u"13%"},
      {FormatFraction4096(4096), u"100%"},
      {FormatFraction4096(0), u"0%"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.text, c.expected);
  }
}

TEST(Formatters, FixedDecimals) {
  struct Case {
    double value;
    int decimals;
    const char16_t* text;
  };
  const Case cases[] = {
      {0.0, 1, u"0.0"}, {5.6, 1, u"5.6"}, {2.5, 2, u"2.50"}, {1234.5678, 3, u"1234.568"},
      {0.05, 1, u"0.1"}, {7.0, 0, u"7"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text) << c.value;
  }
}

TEST(Formatters, ByEncoding) {
  struct Case {
    uint32_t raw;
    Encoding encoding;
    Unit unit;
    const char16_t* text;
  };
  const Case cases[] = {
      {3000, Encoding::UnitInteger, Unit::Millivolt, u"3000mV"},
      {90, Encoding::UnitInteger, Unit::DegreeC, u"90\u00B0C"},
      {7, Encoding::UnitInteger, Unit::None, u"7"},
      {1500, Encoding::MillisecondsAsSeconds, Unit::None, u"1s"},
      {5600, Encoding::MillivoltsAsVolts, Unit::None, u"5.6V"},
      {0, Encoding::DeciAmpHours, Unit::None, u"0.0Ah = Aus"},
      {1, Encoding::DeciAmpHours, Unit::None, u"0.1Ah"},
      {100, Encoding::RatioTimes100, Unit::None, u"1.00:1"},
      {1365, Encoding::Fraction4096, Unit::None, u"33%"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatEncoded(c.raw, c.encoding, c.unit), c.text);
  }
  EXPECT_EQ(FormatEncoded(12, Encoding::UnitInteger), u"12");
}

// Switches the C locale for one scope and puts the old one back.
class ScopedCLocale {
 public:
  ScopedCLocale() : old_(std::setlocale(LC_ALL, nullptr)) {}
  ~ScopedCLocale() { std::setlocale(LC_ALL, old_.c_str()); }
  bool TryComma() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE@euro", "German_Germany.1252"}) {
      if (std::setlocale(LC_ALL, name) != nullptr && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
        return true;
      }
    }
    std::setlocale(LC_ALL, old_.c_str());
    return false;
  }

 private:
  std::string old_;
};

TEST(Formatters, TextsIgnoreTheProcessLocale) {
  ScopedCLocale scope;
  if (!scope.TryComma()) GTEST_SKIP() << "no German locale installed";
  EXPECT_EQ(FormatMillivoltsAsVolts(5600), u"5.6V");
  EXPECT_EQ(FormatDeciAmpHours(0), u"0.0Ah = Aus");
  EXPECT_EQ(FormatDeciAmpHours(123), u"12.3Ah");
  EXPECT_EQ(FormatRatioTimes100(65535), u"655.35:1");
  EXPECT_EQ(FormatFraction4096(1365), u"33%");
  EXPECT_EQ(FormatMillisecondsAsSeconds(12000), u"12s");
  EXPECT_EQ(FormatUnitInteger(30000, Unit::Milliampere), u"30000mA");
  EXPECT_EQ(FormatVersion(0x02000105), u"2.1.5");
  float value = 0.0f;
  EXPECT_TRUE(ParseDecimalEntry(u"5.6V", u'V', value));
  EXPECT_EQ(value, 5.6f);
  EXPECT_FALSE(ParseDecimalEntry(u"5,6V", u'V', value));
}

}  // namespace
}  // namespace tavio
