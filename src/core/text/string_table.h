#pragma once
// The program's string table: every text the window shows, in English and
// German under the same ID.

#include <cstdint>
#include <span>
#include <string_view>

#include "core/text/string_ids.h"
#include "core/text/text.h"

namespace tavio {

enum class Language : uint8_t { English, German };

// The text of `id` in `language`; empty when the ID has no text in it.
TextView LookUpString(Language language, StringId id);

// German when the language part of a locale name ("de_DE.UTF-8", "de-AT",
// "German_Germany.1252") names German, English for everything else.
Language LanguageFromLocaleName(std::string_view name);

// Every ID the table holds, ascending.
std::span<const StringId> AllStringIds();

}  // namespace tavio
