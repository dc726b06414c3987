#include "platform/windows/wide_text.h"

#include <windows.h>

#include <climits>

namespace tavio {

std::optional<std::wstring> Utf8ToWide(std::string_view text) {
  if (text.empty()) return std::wstring();
  if (text.size() > INT_MAX) return std::nullopt;
  const int in_length = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), in_length, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), in_length, wide.data(), length) != length) {
    return std::nullopt;
  }
  return wide;
}

std::optional<std::string> WideToUtf8(std::wstring_view text) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int in_length = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), in_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::nullopt;
  std::string utf8(static_cast<size_t>(length), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, text.data(), in_length, utf8.data(), length, nullptr, nullptr) != length) {
    return std::nullopt;
  }
  return utf8;
}

}  // namespace tavio
