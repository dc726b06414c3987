#include "core/text/decimal_chars.h"

#if defined(TAVIO_USES_CHARCONV_FALLBACK)

#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

namespace tavio::charconv_fallback {
namespace {

// The C library's conversions are correctly rounded but follow the thread's
// locale; this holds the "C" locale for one call, on this thread only.
class CLocaleScope {
 public:
  CLocaleScope() : old_(uselocale(CLocale())) {}
  ~CLocaleScope() { uselocale(old_); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  static locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
  }
  locale_t old_;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Length of `word` at p when it is there in any case, else 0.
size_t Word(const char* p, const char* last, const char* word) {
  const size_t n = std::strlen(word);
  if (static_cast<size_t>(last - p) < n) return 0;
  for (size_t i = 0; i < n; ++i) {
    if (Lower(p[i]) != word[i]) return 0;
  }
  return n;
}

struct Scan {
  const char* end = nullptr;  // null: nothing to convert
  bool special = false;       // inf or nan
  bool nonzero = false;       // a digit other than 0 in the number
};

Scan ScanNumber(const char* first, const char* last) {
  Scan scan;
  const char* p = first;
  if (p != last && *p == '-') ++p;
  if (const size_t n = Word(p, last, "infinity") ? 8 : Word(p, last, "inf")) {
    scan.end = p + n;
    scan.special = true;
    return scan;
  }
  if (Word(p, last, "nan")) {
    scan.end = p + 3;
    scan.special = true;
    // "nan(chars)" only with the closing parenthesis.
    const char* q = p + 3;
    if (q != last && *q == '(') {
      ++q;
      while (q != last && (IsDigit(*q) || (Lower(*q) >= 'a' && Lower(*q) <= 'z') || *q == '_')) ++q;
      if (q != last && *q == ')') scan.end = q + 1;
    }
    return scan;
  }
  size_t digits = 0;
  while (p != last && IsDigit(*p)) {
    scan.nonzero |= *p != '0';
    ++p;
    ++digits;
  }
  if (p != last && *p == '.') {
    ++p;
    while (p != last && IsDigit(*p)) {
      scan.nonzero |= *p != '0';
      ++p;
      ++digits;
    }
  }
  if (digits == 0) return scan;
  if (p != last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q != last && (*q == '+' || *q == '-')) ++q;
    if (q != last && IsDigit(*q)) {
      while (q != last && IsDigit(*q)) ++q;
      p = q;
    }
  }
  scan.end = p;
  return scan;
}

template <typename T>
std::from_chars_result Convert(const char* first, const char* last, T& value) {
  const Scan scan = ScanNumber(first, last);
  if (scan.end == nullptr) return {first, std::errc::invalid_argument};
  const std::string text(first, scan.end);
  T result;
  {
    const CLocaleScope c_locale;
    if constexpr (std::is_same_v<T, float>) {
      result = std::strtof(text.c_str(), nullptr);
    } else {
      result = std::strtod(text.c_str(), nullptr);
    }
  }
  // Too large for the type, or a non-zero number that became zero.
  if (!scan.special && (std::isinf(result) || (result == 0 && scan.nonzero))) {
    return {scan.end, std::errc::result_out_of_range};
  }
  value = result;
  return {scan.end, std::errc()};
}

}  // namespace

std::from_chars_result FromChars(const char* first, const char* last, float& value) {
  return Convert(first, last, value);
}

std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  return Convert(first, last, value);
}

std::to_chars_result ToCharsFixed(char* first, char* last, double value, int precision) {
  const CLocaleScope c_locale;
  const int length = std::snprintf(nullptr, 0, "%.*f", precision, value);
  if (length < 0 || length > last - first) return {last, std::errc::value_too_large};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*f", precision, value);
  std::memcpy(first, text.data(), static_cast<size_t>(length));
  return {first + length, std::errc()};
}

}  // namespace tavio::charconv_fallback

#endif
