// Entry parsing, rounding, percent arithmetic and the display texts, the
// decimal ones under a decimal-comma process locale too.

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <limits>
#include <string>

#include "core/model/encodings.h"
#include "core/text/text.h"

namespace tavio {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// Runs `check` in the C locale the test starts in, then again under a German
// locale whose decimal point is a comma, and puts the old locale back. (The
// C library under emscripten has no locale with a decimal comma at all.)
template <typename Check>
void InEachLocale(const Check& check) {
  check();
  const std::string old = std::setlocale(LC_ALL, nullptr);
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252"}) {
    if (std::setlocale(LC_ALL, name) != nullptr && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      SCOPED_TRACE(name);
      check();
      std::setlocale(LC_ALL, old.c_str());
      return;
    }
  }
  std::setlocale(LC_ALL, old.c_str());
#ifndef __EMSCRIPTEN__
  GTEST_SKIP() << "no German locale installed (scripts/setup installs de_DE.UTF-8)";
#endif
}

TEST(ParseUnitInteger, Entries) {
  // `value` is stored also when the entry is refused.
  struct Case { const char16_t* entry; const char16_t* unit; bool ok; int32_t value; };
  const Case cases[] = {
      {u"  250 ms", u"ms", true, 250}, {u"250ms", u"ms", true, 250},     {u"250 m", u"ms", false, 250},
      {u"250msX", u"ms", true, 250},   {u"+250", u"ms", false, 250},     {u"0250", u"ms", false, 250},
      {u"0", u"ms", true, 0},          {u"-5", u"ms", true, -5},         {u"abc", u"ms", false, 0},
      {u"12 V", u"", true, 12},        {u"\t250\tms", u"ms", true, 250}, {u"500MS", u"ms", false, 500},
      {u"-0", u"ms", false, 0},        {u"", u"", false, 0},             {u"45 \u00B0C", u"\u00B0C", true, 45},
      {u"45\u00B0", u"\u00B0C", false, 45},
      // Saturation refuses only when it changes the leading character.
      {u"2147483648", u"", true, kMax}, {u"3000000000", u"", false, kMax}, {u"-2147483649", u"", true, kMin},
      // Only spaces and tabs are skipped up front: a newline fails the leading-character test.
      {u"\n250", u"ms", false, 250},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.entry) + " | " + ToUtf8(c.unit));
    int32_t result = 12345;
    EXPECT_EQ(ParseUnitInteger(c.entry, c.unit, result), c.ok);
    EXPECT_EQ(result, c.value);
  }
}

TEST(ParseDecimalEntry, Entries) {
  struct Case { const char16_t* entry; char16_t unit; bool ok; float value; };
  const Case cases[] = {
      {u"5.6", u'V', true, 5.6f},    {u"5.6V", u'V', true, 5.6f},     {u"5.6 V", u'V', true, 5.6f},
      {u"5.6 Volt", u'V', true, 5.6f}, {u"2.50:1", u':', true, 2.5f}, {u"12.5Ah", u'A', true, 12.5f},
      {u".5", u'V', true, 0.5f},     {u"-5.6", u'V', true, -5.6f},    {u"2.5e-1 V", u'V', true, 0.25f},
      {u"5,6", u'V', false, 0},      {u"12.5ah", u'A', false, 0},     {u"12.5V", u'A', false, 0},
      {u"", u'V', false, 0},         {u"   ", u'V', false, 0},        {u".V", u'V', false, 0},
      {u"e5", u'V', false, 0},
  };
  InEachLocale([&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(ToUtf8(c.entry));
      float result = -123.0f;
      EXPECT_EQ(ParseDecimalEntry(c.entry, c.unit, result), c.ok);
      EXPECT_EQ(result, c.ok ? c.value : -123.0f);
    }
  });
}

TEST(RoundHalfUp, Values) {
  const std::pair<float, uint16_t> cases[] = {
      {0.0f, 0}, {2.5f, 3}, {65535.4f, 65535}, {4.5f, 5}, {4.49f, 4}, {100.0f, 100}, {204.8f, 205},
      // Only the low 16 bits are kept; a negative half goes up (ceil), then wraps.
      {65536.0f, 0}, {70000.0f, 4464}, {-2.5f, 0xFFFE}, {-2.6f, 0xFFFD},
      // No integer, or one beyond 64 bits: zero.
      {std::numeric_limits<float>::quiet_NaN(), 0}, {std::numeric_limits<float>::infinity(), 0}, {1e30f, 0}};
  for (const auto& [x, expected] : cases) EXPECT_EQ(RoundHalfUp(x), expected) << x;
}

TEST(ScaleEntry, DecimalEntriesToStoredIntegers) {
  struct Case { float entry; double scale; uint16_t raw; };
  const Case cases[] = {{5.6f, 1000.0, 5600}, {7.3f, 1000.0, 7300}, {4.6f, 10.0, 46},
                        {2.2f, 10.0, 22},     {2.5f, 100.0, 250},   {655.35f, 100.0, 65535}};
  for (const Case& c : cases) EXPECT_EQ(ScaleEntry(c.entry, c.scale), c.raw) << c.entry << " x " << c.scale;
}

TEST(Fraction4096, ExamplesAndEveryPercentRoundTrips) {
  const std::pair<int32_t, uint16_t> to_raw[] = {{0, 0}, {5, 205}, {25, 1024}, {50, 2048}, {100, 4096}};
  for (const auto& [percent, raw] : to_raw) EXPECT_EQ(PercentToFraction4096(percent), raw) << percent;
  // 430 and 2068 lie just below a half (10.498 %, 50.488 %).
  const std::pair<uint16_t, uint32_t> to_percent[] = {{204, 5},    {81, 2},   {102, 2},  {103, 3},    {4096, 100},
                                                      {1365, 33},  {430, 10}, {2068, 50}, {65535, 1600}};
  for (const auto& [raw, percent] : to_percent) EXPECT_EQ(Fraction4096ToPercent(raw), percent) << raw;
  for (int32_t percent = 0; percent <= 100; ++percent) {
    EXPECT_EQ(Fraction4096ToPercent(PercentToFraction4096(percent)), static_cast<uint32_t>(percent)) << percent;
  }
}

TEST(FormatVersion, Texts) {
  const std::pair<uint32_t, const char16_t*> cases[] = {
      {0x00000103, u"1.3"}, {0x02000105, u"2.1.5"}, {0x0000FFFF, u"255.255"}, {0x00AB0103, u"1.3"},
      {0xFF000000, u"255.0.0"}};
  InEachLocale([&] {
    for (const auto& [version, text] : cases) EXPECT_EQ(FormatVersion(version), text) << std::hex << version;
  });
}

TEST(FormatEncoded, EveryEncodingAndUnit) {
  using E = Encoding;
  struct Case { uint32_t raw; Encoding encoding; Unit unit; const char16_t* text; };
  const Case cases[] = {
      {3000, E::UnitInteger, Unit::Millivolt, u"3000mV"},   {12, E::UnitInteger, Unit::Second, u"12s"},
      {2000, E::UnitInteger, Unit::Millisecond, u"2000ms"}, {150, E::UnitInteger, Unit::Ampere, u"150A"},
      {30000, E::UnitInteger, Unit::Milliampere, u"30000mA"}, {90, E::UnitInteger, Unit::DegreeC, u"90\u00B0C"},
      {5, E::UnitInteger, Unit::Degree, u"5\u00B0"},        {1000, E::UnitInteger, Unit::Milliohm, u"1000mOhm"},
      {100, E::UnitInteger, Unit::Percent, u"100%"},        {4294967295u, E::UnitInteger, Unit::None, u"4294967295"},
      {1500, E::MillisecondsAsSeconds, Unit::None, u"1s"},  {65535, E::MillisecondsAsSeconds, Unit::None, u"65s"},
      {5600, E::MillivoltsAsVolts, Unit::None, u"5.6V"},    {5650, E::MillivoltsAsVolts, Unit::None, u"5.7V"},
      {65535, E::MillivoltsAsVolts, Unit::None, u"65.5V"},  {0, E::DeciAmpHours, Unit::None, u"0.0Ah = Aus"},
      // The doubles nearest 6.45 and 6.05 lie above and below the half; the floats the other way round.
      {6450, E::MillivoltsAsVolts, Unit::None, u"6.5V"},    {6050, E::MillivoltsAsVolts, Unit::None, u"6.0V"},
      {1, E::DeciAmpHours, Unit::None, u"0.1Ah"},           {65535, E::DeciAmpHours, Unit::None, u"6553.5Ah"},
      {100, E::RatioTimes100, Unit::None, u"1.00:1"},       {65535, E::RatioTimes100, Unit::None, u"655.35:1"},
      {1365, E::Fraction4096, Unit::None, u"33%"},          {204, E::Fraction4096, Unit::None, u"5%"},
  };
  InEachLocale([&] {
    for (const Case& c : cases) EXPECT_EQ(FormatEncoded(c.raw, c.encoding, c.unit), c.text) << c.raw;
  });
}

}  // namespace
}  // namespace tavio
