// The user-interface language of texts chosen in code.
#pragma once

#include <optional>
#include <string_view>

namespace wqe {

enum class Language { English, Japanese };

// "ja"/"en" (also "ja_JP.UTF-8" and the like); nullopt for anything else.
std::optional<Language> parseLanguage(std::string_view text);

// WQE_LANG when set to ja or en; else Japanese when LC_ALL, LC_MESSAGES or
// LANG (the first one set) starts with "ja"; else English.
Language detectLanguage();

inline const char* pick(Language lang, const char* en, const char* ja) {
    return lang == Language::Japanese ? ja : en;
}

}  // namespace wqe
