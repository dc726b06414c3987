// The floating-point <charconv> stand-in: exact results for a table of
// entries and texts on every compiler, and where the standard library has
// its own, the same answers as it for a large sweep, in a decimal-comma
// locale too.

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <system_error>

#include "core/text/decimal_chars.h"

namespace tavio {
namespace {

namespace fb = charconv_fallback;

constexpr float kFloatUntouched = -7.25f;
constexpr double kDoubleUntouched = -7.25;

// Switches the process to a locale whose decimal point is a comma while alive.
class CommaLocale {
 public:
  CommaLocale() : old_(std::setlocale(LC_ALL, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"}) {
      if (std::setlocale(LC_ALL, name) != nullptr && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
        active_ = true;
        return;
      }
    }
    std::setlocale(LC_ALL, old_.c_str());
  }
  ~CommaLocale() { std::setlocale(LC_ALL, old_.c_str()); }
  bool active() const { return active_; }

 private:
  std::string old_;
  bool active_ = false;
};

template <typename Check>
void InBothLocales(const Check& check) {
  check();
  const CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no German locale installed (scripts/setup installs de_DE.UTF-8)";
  SCOPED_TRACE("decimal-comma locale");
  check();
}

struct FromCase {
  const char* text;
  size_t used;  // characters consumed
  std::errc ec;
  double value;  // exact; ignored unless ec is success
};

// Float results, written as the exact float each must give.
const FromCase kFloatCases[] = {
    {"5.6", 3, {}, 0x1.666666p+2},
    {"0.1", 3, {}, 0x1.99999ap-4},
    {"-5.6V", 4, {}, -0x1.666666p+2},
    {".5", 2, {}, 0.5},
    {"1.e5", 4, {}, 100000.0},
    {"2.5e-1 V", 6, {}, 0.25},
    {"1e", 1, {}, 1.0},
    {"1e+", 1, {}, 1.0},
    {"1E+2x", 4, {}, 100.0},
    {"0x1p3", 1, {}, 0.0},
    {"007", 3, {}, 7.0},
    // Ties go to the even neighbour; one digit past the tie goes up.
    {"16777217", 8, {}, 16777216.0},
    {"16777219", 8, {}, 16777220.0},
    {"1.000000059604644775390625", 26, {}, 1.0},
    {"1.0000000596046447753906250000000000001", 39, {}, 0x1.000002p+0},
    {"1.0000000596046447753906249999999999999", 39, {}, 1.0},
    {"3.4028235e38", 12, {}, 0x1.fffffep+127},
    {"1e-45", 5, {}, 0x1p-149},
    {"0e999999", 8, {}, 0.0},
    {"inf", 3, {}, std::numeric_limits<double>::infinity()},
    {"-INFINITY", 9, {}, -std::numeric_limits<double>::infinity()},
    {"infinit", 3, {}, std::numeric_limits<double>::infinity()},
    // Out of range: consumed, but the value is left as it was.
    {"3.4028236e38", 12, std::errc::result_out_of_range, 0},
    {"1e39", 4, std::errc::result_out_of_range, 0},
    {"-1e39", 5, std::errc::result_out_of_range, 0},
    {"1e-46", 5, std::errc::result_out_of_range, 0},
    // Nothing to convert.
    {"", 0, std::errc::invalid_argument, 0},
    {".", 0, std::errc::invalid_argument, 0},
    {"-", 0, std::errc::invalid_argument, 0},
    {"+1", 0, std::errc::invalid_argument, 0},
    {" 1", 0, std::errc::invalid_argument, 0},
    {"e5", 0, std::errc::invalid_argument, 0},
    {"5,6", 1, {}, 5.0},
};

const FromCase kDoubleCases[] = {
    {"0.1", 3, {}, 0x1.999999999999ap-4},
    {"5.6", 3, {}, 0x1.6666666666666p+2},
    {"9007199254740993", 16, {}, 9007199254740992.0},
    {"9007199254740995", 16, {}, 9007199254740996.0},
    {"1.7976931348623157e308", 22, {}, 0x1.fffffffffffffp+1023},
    {"4.9e-324", 8, {}, 0x0.0000000000001p-1022},
    {"1e39", 4, {}, 1e39},
    {"1.8e308", 7, std::errc::result_out_of_range, 0},
    {"2e-324", 6, std::errc::result_out_of_range, 0},
    {"-0", 2, {}, -0.0},
};

template <typename T>
void CheckFromTable(const FromCase* cases, size_t count, bool standard) {
  for (size_t i = 0; i < count; ++i) {
    const FromCase& c = cases[i];
    SCOPED_TRACE(std::string(standard ? "std: " : "stand-in: ") + c.text);
    const T untouched = static_cast<T>(-7.25);
    T value = untouched;
    const char* last = c.text + std::strlen(c.text);
    std::from_chars_result result;
#if defined(__cpp_lib_to_chars)
    result = standard ? std::from_chars(c.text, last, value) : fb::FromChars(c.text, last, value);
#else
    result = fb::FromChars(c.text, last, value);
#endif
    EXPECT_EQ(result.ptr - c.text, static_cast<std::ptrdiff_t>(c.used));
    EXPECT_EQ(result.ec, c.ec);
    if (c.ec == std::errc()) {
      const T expected = static_cast<T>(c.value);
      EXPECT_EQ(value, expected);
      EXPECT_EQ(std::signbit(value), std::signbit(expected));
    } else {
      EXPECT_EQ(value, untouched);
    }
  }
}

TEST(DecimalFromChars, FloatTable) {
  InBothLocales([] {
    CheckFromTable<float>(kFloatCases, std::size(kFloatCases), false);
#if defined(__cpp_lib_to_chars)
    CheckFromTable<float>(kFloatCases, std::size(kFloatCases), true);  // the table itself is right
#endif
  });
}

TEST(DecimalFromChars, DoubleTable) {
  InBothLocales([] {
    CheckFromTable<double>(kDoubleCases, std::size(kDoubleCases), false);
#if defined(__cpp_lib_to_chars)
    CheckFromTable<double>(kDoubleCases, std::size(kDoubleCases), true);
#endif
  });
}

TEST(DecimalFromChars, NotANumber) {
  struct Case { const char* text; size_t used; bool negative; };
  const Case cases[] = {{"nan", 3, false}, {"NaN(abc_1)x", 10, false}, {"nan(", 3, false},
                        {"nan(a b)", 3, false}, {"-nan", 4, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double value = 0;
    const auto result = fb::FromChars(c.text, c.text + std::strlen(c.text), value);
    EXPECT_EQ(result.ptr - c.text, static_cast<std::ptrdiff_t>(c.used));
    EXPECT_EQ(result.ec, std::errc());
    EXPECT_TRUE(std::isnan(value));
    EXPECT_EQ(std::signbit(value), c.negative);
  }
}

// A text that is read only up to `last`, never beyond it.
TEST(DecimalFromChars, StopsAtTheEndGiven) {
  const char text[] = "12.5e3";
  float value = kFloatUntouched;
  auto result = fb::FromChars(text, text + 4, value);
  EXPECT_EQ(result.ptr, text + 4);
  EXPECT_EQ(value, 12.5f);
  result = fb::FromChars(text, text + 5, value);
  EXPECT_EQ(result.ptr, text + 4);
  double wide = kDoubleUntouched;
  result = fb::FromChars(text, text + 2, wide);
  EXPECT_EQ(result.ptr, text + 2);
  EXPECT_EQ(wide, 12.0);
}

struct FixedCase {
  double value;
  int precision;
  const char* text;
};

const FixedCase kFixedCases[] = {
    {5.6, 1, "5.6"},
    {655.35, 2, "655.35"},
    // Rounded on the exact binary value: the doubles nearest 6.45 and 6.05
    // lie above and below the half; exact halves go to the even digit.
    {6.45, 1, "6.5"},
    {6.05, 1, "6.0"},
    {0.125, 2, "0.12"},
    {0.375, 2, "0.38"},
    {2.5, 0, "2"},
    {3.5, 0, "4"},
    {0.5, 0, "0"},
    {123.456, 0, "123"},
    {-0.0, 1, "-0.0"},
    {-1e-7, 3, "-0.000"},
    {1e21, 0, "1000000000000000000000"},
    {0.1, 20, "0.10000000000000000555"},
    {0x1p-20, 20, "0.00000095367431640625"},
    {std::numeric_limits<double>::infinity(), 2, "inf"},
    {-std::numeric_limits<double>::infinity(), 0, "-inf"},
    {std::numeric_limits<double>::quiet_NaN(), 1, "nan"},
    {-std::numeric_limits<double>::quiet_NaN(), 1, "-nan"},
};

TEST(DecimalToCharsFixed, Table) {
  InBothLocales([] {
    for (const FixedCase& c : kFixedCases) {
      SCOPED_TRACE(std::string(c.text));
      char buffer[64];
      std::memset(buffer, '#', sizeof buffer);
      const auto result = fb::ToCharsFixed(buffer, buffer + sizeof buffer, c.value, c.precision);
      ASSERT_EQ(result.ec, std::errc());
      EXPECT_EQ(std::string(buffer, result.ptr), c.text);
      EXPECT_EQ(*result.ptr, '#');  // no terminator written
#if defined(__cpp_lib_to_chars)
      const auto standard =
          std::to_chars(buffer, buffer + sizeof buffer, c.value, std::chars_format::fixed, c.precision);
      EXPECT_EQ(std::string(buffer, standard.ptr), c.text);
#endif
    }
  });
}

TEST(DecimalToCharsFixed, LongestAndTooSmallBuffers) {
  char big[400];
  const auto result = fb::ToCharsFixed(big, big + sizeof big, std::numeric_limits<double>::max(), 0);
  ASSERT_EQ(result.ec, std::errc());
  EXPECT_EQ(std::string(big, result.ptr).substr(0, 20), "17976931348623157081");
  EXPECT_EQ(result.ptr - big, 309);
  // "123.46" needs six characters exactly.
  char buffer[6];
  auto fits = fb::ToCharsFixed(buffer, buffer + 6, 123.456, 2);
  EXPECT_EQ(fits.ec, std::errc());
  EXPECT_EQ(std::string(buffer, fits.ptr), "123.46");
  const auto short_by_one = fb::ToCharsFixed(buffer, buffer + 5, 123.456, 2);
  EXPECT_EQ(short_by_one.ec, std::errc::value_too_large);
  EXPECT_EQ(short_by_one.ptr, buffer + 5);
}

#if defined(__cpp_lib_to_chars)

// Random numbers in text, and texts lying on and beside the halfway points
// between neighbouring floats, read by both; random doubles written by both.
template <typename T>
void CompareFrom(const std::string& text) {
  T mine = static_cast<T>(-7.25), theirs = static_cast<T>(-7.25);
  const char* first = text.data();
  const char* last = first + text.size();
  const auto a = fb::FromChars(first, last, mine);
  const auto b = std::from_chars(first, last, theirs);
  ASSERT_EQ(a.ptr, b.ptr) << text;
  ASSERT_EQ(a.ec, b.ec) << text;
  if constexpr (sizeof(T) == 4) {
    ASSERT_EQ(std::bit_cast<uint32_t>(mine), std::bit_cast<uint32_t>(theirs)) << text;
  } else {
    ASSERT_EQ(std::bit_cast<uint64_t>(mine), std::bit_cast<uint64_t>(theirs)) << text;
  }
}

std::string RandomNumberText(std::mt19937_64& random, int min_exponent, int max_exponent) {
  std::string text;
  if (random() % 4 == 0) text += '-';
  const size_t digits = 1 + random() % 30;
  const size_t point = random() % (digits + 2);
  for (size_t i = 0; i < digits; ++i) {
    if (i == point) text += '.';
    text += static_cast<char>('0' + random() % 10);
  }
  if (random() % 3 != 0) {
    const int span = max_exponent - min_exponent + 1;
    text += (random() % 2) ? 'e' : 'E';
    text += std::to_string(min_exponent + static_cast<int>(random() % static_cast<unsigned>(span)));
  }
  return text;
}

void Sweep() {
  std::mt19937_64 random(20);
  for (int i = 0; i < 40000; ++i) {
    CompareFrom<float>(RandomNumberText(random, -50, 45));
    CompareFrom<double>(RandomNumberText(random, -330, 315));
  }
  char exact[200];
  for (int i = 0; i < 20000; ++i) {
    // A finite float, the halfway point to the next one as exact decimal text,
    // and the same nudged up and down in its last place.
    const float low = std::bit_cast<float>(static_cast<uint32_t>(random() % 0x7F7FFFFFu));
    const double half = (static_cast<double>(low) + static_cast<double>(std::nextafter(low, std::numeric_limits<float>::infinity()))) / 2;
    const auto end = std::to_chars(exact, exact + sizeof exact, half, std::chars_format::scientific, 120);
    ASSERT_EQ(end.ec, std::errc());
    const std::string text(exact, end.ptr);
    const size_t e = text.find('e');
    CompareFrom<float>(text);
    CompareFrom<float>(text.substr(0, e) + "1" + text.substr(e));
    // Just below: the last non-zero digit one less, then nines.
    std::string below = text.substr(0, e);
    const size_t digit = below.find_last_not_of("0.");
    if (digit != std::string::npos && digit > 0) {
      below.resize(digit + 1);
      below.back() = static_cast<char>(below.back() - 1);
      CompareFrom<float>(below + "999" + text.substr(e));
    }
  }
  char mine[400], theirs[400];
  for (int i = 0; i < 40000; ++i) {
    const double value = (i % 2) ? std::bit_cast<double>(random())
                                 : static_cast<double>(random() % 2000000) / (1 << (random() % 12));
    const int precision = static_cast<int>(random() % 25) - 1;
    const auto a = fb::ToCharsFixed(mine, mine + sizeof mine, value, precision);
    const auto b = std::to_chars(theirs, theirs + sizeof theirs, value, std::chars_format::fixed, precision);
    ASSERT_EQ(a.ec, b.ec) << value;
    if (a.ec == std::errc()) {
      ASSERT_EQ(std::string(mine, a.ptr), std::string(theirs, b.ptr)) << precision;
    }
  }
}

TEST(DecimalChars, SameAsTheStandardLibrary) {
  Sweep();
  const CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no German locale installed (scripts/setup installs de_DE.UTF-8)";
  Sweep();
}

#endif

}  // namespace
}  // namespace tavio
