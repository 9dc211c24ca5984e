#include "dialogs/PhraseChooser.h"

#include <charconv>
#include <cstdio>

namespace wqe {

namespace {

std::string numbered(char bank, int n, Model m) {
    char text[16];
    std::snprintf(text, sizeof text, m == Model::WQ7000 ? "%c%04d" : "%c%03d", bank, n);
    return text;
}

}  // namespace

int chooserHighestPhrase(int phraseCountCode, Model m) {
    return phraseCountForModel(phraseCountCode, m);
}

std::vector<std::string> PhraseChooser::items() const {
    const int bank = highestPhraseCount(model);
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(1 + playItems() + highest + bank));
    list.push_back(formatRef(refNone(model), model));
    if (allowPlay) list.emplace_back("PLAY");
    for (int n = 1; n <= highest; ++n) list.push_back(numbered('A', n, model));
    for (int n = 1; n <= bank; ++n) list.push_back(numbered('B', n, model));
    return list;
}

int PhraseChooser::position(std::uint16_t ref) const {
    const int base = highestPhraseCount(model);
    if (ref == refNone(model)) return 0;
    if (ref == refPlay(model)) return allowPlay ? 1 : -1;
    if (ref < highest) return ref + 1 + playItems();
    if (ref >= base && ref < 2 * base) return (ref - base + 1) + highest + playItems();
    return -1;
}

std::uint16_t PhraseChooser::valueOfText(std::string_view text) const {
    if (text.empty()) return refNone(model);
    int bankBase = 0;
    switch (text.front()) {
        case 'A':
            bankBase = 0;
            break;
        case 'B':
            bankBase = highestPhraseCount(model);
            break;
        case 'P':
            return refPlay(model);
        default:
            return refNone(model);
    }
    int number = 0;
    const auto [end, ec] = std::from_chars(text.data() + 1, text.data() + text.size(), number);
    (void)end;
    if (ec != std::errc() || number < 1) return refNone(model);
    return static_cast<std::uint16_t>(bankBase + number - 1);
}

std::uint16_t PhraseChooser::valueAt(int pos, std::uint16_t current) const {
    const int count = 1 + playItems() + highest + highestPhraseCount(model);
    if (pos < 0 || pos >= count) return current;
    if (pos == 0) return refNone(model);
    if (allowPlay && pos == 1) return refPlay(model);
    const int n = pos - playItems();  // 1.. over bank A then bank B
    return static_cast<std::uint16_t>(n <= highest ? n - 1
                                                   : highestPhraseCount(model) + n - highest - 1);
}

}  // namespace wqe
