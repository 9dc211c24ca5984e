#include "card/Language.h"

#include <cstdlib>

namespace wqe {

std::optional<Language> parseLanguage(std::string_view text) {
    if (text.starts_with("ja")) return Language::Japanese;
    if (text.starts_with("en") || text == "C" || text == "POSIX") return Language::English;
    return std::nullopt;
}

Language detectLanguage() {
    if (const char* forced = std::getenv("WQE_LANG")) {
        if (auto lang = parseLanguage(forced)) return *lang;
    }
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v)
            return std::string_view(v).starts_with("ja") ? Language::Japanese : Language::English;
    }
    return Language::English;
}

}  // namespace wqe
