#pragma once
// The user's language as a language identifier: the primary language in the low 10 bits, the sub-language
// (country or script) above them.

#include "platform/ui/Types.h"

#include <string_view>

namespace ovrel::ui {

inline constexpr WORD LANG_ENGLISH_US = 0x0409;

/// From a locale name such as "de_DE", "pt_BR.UTF-8" or "fr": the identifier of that language and country,
/// else the primary language's default one, else English (United States).
WORD LangIdFromLocaleName(std::string_view name);
/// The system locale's identifier, or the one pinned by SetSystemDefaultLangID.
WORD GetSystemDefaultLangID();
/// Pins the answer (tests); 0 follows the system again.
void SetSystemDefaultLangID(WORD langId);

}  // namespace ovrel::ui
