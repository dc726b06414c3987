#pragma once
// Floating-point <charconv> for the core: the standard library's where it has
// it, otherwise a stand-in over the C library with the same results (some
// C++ libraries, emscripten's among them, lack the floating-point overloads).

#include <charconv>
#include <version>

namespace tavio {

namespace charconv_fallback {
// Same contract as std::from_chars in the general format: no leading blank or
// '+', "inf"/"infinity"/"nan"/"nan(...)" in any case, the exponent taken only
// when digits follow it; on an error `value` is left as it was.
std::from_chars_result FromChars(const char* first, const char* last, float& value);
std::from_chars_result FromChars(const char* first, const char* last, double& value);
// Same as std::to_chars(first, last, value, std::chars_format::fixed, precision).
std::to_chars_result ToCharsFixed(char* first, char* last, double value, int precision);
}  // namespace charconv_fallback

#if defined(__cpp_lib_to_chars) && !defined(TAVIO_CHARCONV_FALLBACK)
inline std::from_chars_result DecimalFromChars(const char* first, const char* last, float& value) {
  return std::from_chars(first, last, value);
}
inline std::from_chars_result DecimalFromChars(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value);
}
inline std::to_chars_result DecimalToCharsFixed(char* first, char* last, double value, int precision) {
  return std::to_chars(first, last, value, std::chars_format::fixed, precision);
}
#else
#define TAVIO_USES_CHARCONV_FALLBACK 1
inline std::from_chars_result DecimalFromChars(const char* first, const char* last, float& value) {
  return charconv_fallback::FromChars(first, last, value);
}
inline std::from_chars_result DecimalFromChars(const char* first, const char* last, double& value) {
  return charconv_fallback::FromChars(first, last, value);
}
inline std::to_chars_result DecimalToCharsFixed(char* first, char* last, double value, int precision) {
  return charconv_fallback::ToCharsFixed(first, last, value, precision);
}
#endif

}  // namespace tavio
