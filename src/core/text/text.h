#pragma once
// Texts shown in the window are UTF-16, like the platform's wide strings and
// QString; the command-line tool speaks UTF-8. These helpers convert between
// the two and format printf-style patterns into UTF-16.

#include <cstdarg>
#include <string>
#include <string_view>

// printf-style patterns are checked where the compiler knows how.
#if defined(__GNUC__) || defined(__clang__)
#define TAVIO_PRINTF_FORMAT(pattern_index, first_argument) \
  __attribute__((format(printf, pattern_index, first_argument)))
#else
#define TAVIO_PRINTF_FORMAT(pattern_index, first_argument)
#endif

namespace tavio {

using Text = std::u16string;
using TextView = std::u16string_view;

Text FromUtf8(std::string_view utf8);
std::string ToUtf8(TextView text);

// printf-style formatting; the pattern and %s arguments are UTF-8.
Text FormatText(const char* pattern, ...) TAVIO_PRINTF_FORMAT(1, 2);
Text FormatTextV(const char* pattern, va_list args);

// Formats without compile-time checking; for patterns from the string table.
Text FormatTextUnchecked(const char* pattern, ...);

// Formats a UTF-16 pattern taken from the string table.
template <typename... Args>
Text FormatPattern(TextView pattern, Args... args) {
  const std::string utf8 = ToUtf8(pattern);
  return FormatTextUnchecked(utf8.c_str(), args...);
}

// Case-insensitive comparison that folds ASCII letters, enough for device paths.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace tavio
