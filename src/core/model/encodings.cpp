#include "core/model/encodings.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "core/text/decimal_chars.h"

namespace tavio {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The C library's iswspace for the characters wcstol skips.
bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// wcstol in base 10 with a 32-bit long: returns characters consumed (0 when
// no number), saturating out-of-range values.
size_t ConvertLong(TextView s, int32_t& value) {
  size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    negative = s[i] == u'-';
    ++i;
  }
  if (i >= s.size() || !IsDigit(s[i])) {
    value = 0;
    return 0;
  }
  int64_t magnitude = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  bool saturated = false;
  while (i < s.size() && IsDigit(s[i])) {
    if (!saturated) {
      magnitude = magnitude * 10 + (s[i] - u'0');
      if (magnitude > limit) saturated = true;
    }
    ++i;
  }
  if (saturated) magnitude = limit;
  value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return i;
}

}  // namespace

TextView UnitText(Unit unit) {
  switch (unit) {
    case Unit::Millivolt: return u"mV";
    case Unit::Second: return u"s";
    case Unit::Millisecond: return u"ms";
    case Unit::Ampere: return u"A";
    case Unit::Milliampere: return u"mA";
    case Unit::DegreeC: return u"\u00B0C";
    case Unit::Degree: return u"\u00B0";
    case Unit::Milliohm: return u"mOhm";
    case Unit::Percent: return u"%";
    case Unit::None: break;
  }
  return u"";
}

bool ParseUnitInteger(TextView entry, TextView unit, int32_t& result) {
  size_t start = 0;
  while (start < entry.size() && IsBlank(entry[start])) ++start;
  const TextView rest = entry.substr(start);
  int32_t value = 0;
  const size_t used = ConvertLong(rest, value);
  result = value;
  if (used == 0) return false;
  size_t i = used;
  while (i < rest.size() && IsBlank(rest[i])) ++i;
  if (i < rest.size()) {
    const TextView tail = rest.substr(i);
    for (size_t k = 0; k < unit.size(); ++k) {
      if (k >= tail.size() || tail[k] != unit[k]) return false;
    }
  }
  const std::string canonical = std::to_string(value);
  return !rest.empty() && rest[0] == static_cast<char16_t>(canonical[0]);
}

bool ParseDecimalEntry(TextView entry, char16_t unit_letter, float& result) {
  size_t i = 0;
  while (i < entry.size() && IsSpace(entry[i])) ++i;
  std::string number;
  if (i < entry.size() && (entry[i] == u'+' || entry[i] == u'-')) {
    if (entry[i] == u'-') number.push_back('-');
    ++i;
  }
  size_t digits = 0;
  while (i < entry.size() && IsDigit(entry[i])) {
    number.push_back(static_cast<char>(entry[i++]));
    ++digits;
  }
  if (i < entry.size() && entry[i] == u'.') {
    number.push_back('.');
    ++i;
    while (i < entry.size() && IsDigit(entry[i])) {
      number.push_back(static_cast<char>(entry[i++]));
      ++digits;
    }
  }
  if (digits == 0) return false;
  // An exponent counts only when digits follow it, as with scanf.
  if (i < entry.size() && (entry[i] == u'e' || entry[i] == u'E')) {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < entry.size() && (entry[j] == u'+' || entry[j] == u'-')) {
      exponent.push_back(static_cast<char>(entry[j]));
      ++j;
    }
    if (j < entry.size() && IsDigit(entry[j])) {
      while (j < entry.size() && IsDigit(entry[j])) exponent.push_back(static_cast<char>(entry[j++]));
      number += exponent;
      i = j;
    }
  }
  float value = 0.0f;
  const char* first = number.data();
  const auto [end, ec] = DecimalFromChars(first, first + number.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too large gives infinity, too small gives zero; either way with its sign.
    double wide = 0.0;
    DecimalFromChars(first, first + number.size(), wide);
    const bool negative = number[0] == '-';
    const bool tiny = wide != 0.0 && std::fabs(wide) < 1.0;
    value = tiny ? 0.0f : std::numeric_limits<float>::infinity();
    if (negative) value = -value;
  } else if (ec != std::errc() || end != first + number.size()) {
    return false;
  }
  while (i < entry.size() && IsSpace(entry[i])) ++i;
  if (i < entry.size() && entry[i] != unit_letter) return false;
  result = value;
  return true;
}

uint16_t RoundHalfUp(float x) {
  if (!std::isfinite(x)) return 0;
  const double xd = x;
  const float f = static_cast<float>(std::floor(xd));
  const double r = (static_cast<double>(f) + 0.5 <= xd) ? std::ceil(xd) : static_cast<double>(f);
  // Truncation of values beyond the 64-bit range is not meaningful; keep it defined.
  if (r >= 9.2e18 || r <= -9.2e18) return 0;
  return static_cast<uint16_t>(static_cast<uint64_t>(static_cast<int64_t>(r)));
}

uint16_t ScaleEntry(float entry, double scale) {
  return RoundHalfUp(static_cast<float>(static_cast<double>(entry) * scale));
}

uint16_t PercentToFraction4096(int32_t percent) {
  return RoundHalfUp(static_cast<float>(static_cast<double>(percent) * 4096.0 / 100.0));
}

uint32_t Fraction4096ToPercent(uint16_t raw) {
  return RoundHalfUp(static_cast<float>(static_cast<double>(raw) * 100.0 * 0.000244140625));
}

Text FormatVersion(uint32_t version) {
  const unsigned top = version >> 24;
  const unsigned major = (version >> 8) & 0xFF;
  const unsigned minor = version & 0xFF;
  if (top != 0) return FormatText("%u.%u.%u", top, major, minor);
  return FormatText("%u.%u", major, minor);
}

Text FormatUnitInteger(uint32_t value, Unit unit) {
  Text out = FormatText("%u", value);
  out += UnitText(unit);
  return out;
}

Text FormatMillisecondsAsSeconds(uint16_t ms) { return FormatText("%us", ms / 1000u); }

Text FormatFixed(double value, int decimals) {
  // Locale-independent "%.Nf": the user's locale must never turn '.' into ','.
  char buffer[64];
  const auto [end, ec] =
      DecimalToCharsFixed(buffer, buffer + sizeof buffer, value, decimals);
  if (ec != std::errc()) return Text();
  return FromUtf8(std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

Text FormatMillivoltsAsVolts(uint16_t mv) { return FormatFixed(mv / 1000.0, 1) + u"V"; }

Text FormatDeciAmpHours(uint16_t dah) {
  if (dah == 0) return FormatFixed(0.0, 1) + u"Ah = Aus";
  return FormatFixed(dah / 10.0, 1) + u"Ah";
}

Text FormatRatioTimes100(uint16_t ratio_x100) { return FormatFixed(ratio_x100 / 100.0, 2) + u":1"; }

Text FormatFraction4096(uint16_t raw) { return FormatText("%u%%", Fraction4096ToPercent(raw)); }

Text FormatEncoded(uint32_t raw, Encoding encoding, Unit unit) {
  const auto raw16 = static_cast<uint16_t>(raw);
  switch (encoding) {
    case Encoding::UnitInteger: return FormatUnitInteger(raw, unit);
    case Encoding::MillisecondsAsSeconds: return FormatMillisecondsAsSeconds(raw16);
    case Encoding::MillivoltsAsVolts: return FormatMillivoltsAsVolts(raw16);
    case Encoding::DeciAmpHours: return FormatDeciAmpHours(raw16);
    case Encoding::RatioTimes100: return FormatRatioTimes100(raw16);
    case Encoding::Fraction4096: return FormatFraction4096(raw16);
  }
  return Text();
}

}  // namespace tavio
