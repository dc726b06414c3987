#pragma once
// How raw image values become texts with units, how entered texts become
// numbers, and the rounding rules both directions share.

#include <cstdint>

#include "core/text/text.h"

namespace tavio {

// Unit suffixes of integer entries and texts; matched case-sensitively.
enum class Unit : uint8_t { None, Millivolt, Second, Millisecond, Ampere, Milliampere, DegreeC, Degree, Milliohm, Percent };
TextView UnitText(Unit unit);  // u"mV", u"s", ..., u"%", u""

// Display encodings of the image's raw values.
enum class Encoding : uint8_t {
  UnitInteger, MillisecondsAsSeconds, MillivoltsAsVolts, DeciAmpHours, RatioTimes100, Fraction4096
};

// Skips blanks, converts a base-10 integer like wcstol (saturating at the signed
// 32-bit range), then requires the unit to begin the rest, and refuses entries
// whose first character differs from the canonical number's ('+5', '05', '-0').
// `result` receives the converted value in every case (0 when nothing converted).
bool ParseUnitInteger(TextView entry, TextView unit, int32_t& result);

// The decimal syntax of the BEC voltage, capacity and gear-ratio fields: a
// number with '.' as separator, then optionally blanks and text whose first
// character must be `unit_letter`. The number is held in single precision.
bool ParseDecimalEntry(TextView entry, char16_t unit_letter, float& result);

// Rounds halves up; returns the low 16 bits of the result.
uint16_t RoundHalfUp(float x);

// Entry times scale in double precision, held in single precision, rounded.
uint16_t ScaleEntry(float entry, double scale);

// Whole percent <-> share of 4096.
uint16_t PercentToFraction4096(int32_t percent);
uint32_t Fraction4096ToPercent(uint16_t raw);

// "%.Nf" of the value, always with '.' whatever the process locale.
Text FormatFixed(double value, int decimals);

// "1.3" or "2.1.5": top byte only when non-zero, bits 16..23 never shown.
Text FormatVersion(uint32_t version);

Text FormatUnitInteger(uint32_t value, Unit unit);       // "%umV", "%u%%", "%u", ...
Text FormatMillisecondsAsSeconds(uint16_t ms);          // "%us" of ms / 1000
Text FormatMillivoltsAsVolts(uint16_t mv);              // "%.1fV"
Text FormatDeciAmpHours(uint16_t dah);                  // "%.1fAh", or "0.0Ah = Aus"
Text FormatRatioTimes100(uint16_t ratio_x100);          // "%.2f:1"
Text FormatFraction4096(uint16_t raw);                  // "%u%%" of the rounded percent

// The text for a raw value in the given encoding; `unit` is used by UnitInteger.
Text FormatEncoded(uint32_t raw, Encoding encoding, Unit unit = Unit::None);

}  // namespace tavio
