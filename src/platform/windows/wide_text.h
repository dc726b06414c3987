#pragma once
// Windows paths are UTF-16; the core keeps them as UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace tavio {

// Nullopt for text that is not valid UTF-8, or too long for the platform.
std::optional<std::wstring> Utf8ToWide(std::string_view text);
// Unpaired surrogates become U+FFFD; nullopt only when the platform refuses.
std::optional<std::string> WideToUtf8(std::wstring_view text);

}  // namespace tavio
