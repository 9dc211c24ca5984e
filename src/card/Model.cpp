#include "card/Model.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace wqe {

std::string_view modelName(Model m) { return m == Model::WQ7000 ? "WQ-7000" : "WQ-5000"; }

std::string_view systemFileName(Model m) {
    return m == Model::WQ7000 ? kSystemFileName7000 : kSystemFileName5000;
}

std::string_view phraseFileName(Model m) {
    return m == Model::WQ7000 ? kPhraseFileName7000 : kPhraseFileName5000;
}

std::size_t systemFileSize(Model m) {
    return m == Model::WQ7000 ? kSystemFileSize7000 : kSystemFileSize5000;
}

std::size_t phraseRecordSize(Model m) {
    return m == Model::WQ7000 ? kPhraseRecordSize7000 : kPhraseRecordSize5000;
}

int highestPhraseCount(Model m) {
    return m == Model::WQ7000 ? kHighestPhraseCount7000 : kHighestPhraseCount5000;
}

std::optional<Model> modelFromFileName(std::string_view bareName) {
    if (bareName == kSystemFileName7000) return Model::WQ7000;
    if (bareName == kSystemFileName5000) return Model::WQ5000;
    return std::nullopt;
}

int phraseCountForList(int code) {
    switch (code) {
        case 1:
            return 500;
        case 2:
            return 1000;
        default:
            return 250;
    }
}

int phraseCountForModel(int code, Model m) {
    if (code == 0) return 250;
    if (m == Model::WQ5000) return 500;
    return code == 1 ? 500 : 1000;
}

std::string phraseDataFileName(std::string_view folderPrefix, int index, std::string_view ext) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", index + 1);
    std::string name(folderPrefix);
    name += "_WQP";
    name += number;
    name += '.';
    name += ext;
    return name;
}

bool isPhraseDataFileName(std::string_view name) {
    constexpr std::string_view kPrefix = "_WQP";
    constexpr std::size_t kDigits = 4;
    if (name.size() != kPrefix.size() + kDigits + 4) return false;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    std::string text(name);
    std::transform(text.begin(), text.end(), text.begin(), upper);
    const std::string_view t = text;
    if (!t.starts_with(kPrefix) || t[kPrefix.size() + kDigits] != '.') return false;
    for (std::size_t k = kPrefix.size(); k < kPrefix.size() + kDigits; ++k)
        if (t[k] < '0' || t[k] > '9') return false;
    const std::string_view ext = t.substr(kPrefix.size() + kDigits + 1);
    return ext == "PHR" || ext == "MID" || ext == "WAV";
}

std::string_view dataFileExtension7000(int type, int mode) {
    if (type == 2) return "MID";
    return mode == 5 ? "WAV" : "PHR";
}

std::string_view dataFileExtension5000(int midiFlag) { return midiFlag == 1 ? "MID" : "PHR"; }

std::uint16_t refPlay(Model m) { return m == Model::WQ7000 ? kRefPlay7000 : kRefPlay5000; }
std::uint16_t refNone(Model m) { return m == Model::WQ7000 ? kRefNone7000 : kRefNone5000; }

PhraseRef decodeRef(std::uint16_t value, Model m) {
    const int base = highestPhraseCount(m);
    if (value < base) return {RefKind::A, value + 1};
    if (value < 2 * base) return {RefKind::B, value - base + 1};
    if (value == refPlay(m)) return {RefKind::Play, 0};
    return {RefKind::None, 0};
}

std::uint16_t encodeRef(PhraseRef ref, Model m) {
    const int base = highestPhraseCount(m);
    switch (ref.kind) {
        case RefKind::A:
            return static_cast<std::uint16_t>(ref.number - 1);
        case RefKind::B:
            return static_cast<std::uint16_t>(base + ref.number - 1);
        case RefKind::Play:
            return refPlay(m);
        case RefKind::None:
            break;
    }
    return refNone(m);
}

std::string formatRef(std::uint16_t value, Model m) {
    const PhraseRef ref = decodeRef(value, m);
    const bool w7 = m == Model::WQ7000;
    char text[16];
    switch (ref.kind) {
        case RefKind::A:
            std::snprintf(text, sizeof text, w7 ? "A%04d" : "A%03d", ref.number);
            return text;
        case RefKind::B:
            std::snprintf(text, sizeof text, w7 ? "B%04d" : "B%03d", ref.number);
            return text;
        case RefKind::Play:
            return "PLAY";
        case RefKind::None:
            break;
    }
    return w7 ? "-----" : "----";
}

std::optional<std::uint16_t> parseRef(std::string_view text, Model m) {
    std::string t;
    for (char c : text) t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (t == "PLAY") return refPlay(m);
    if (t == "NONE" || (!t.empty() && t.find_first_not_of('-') == std::string::npos))
        return refNone(m);
    if (t.size() < 2 || (t[0] != 'A' && t[0] != 'B')) return std::nullopt;
    int number = 0;
    const char* first = t.data() + 1;
    const char* last = t.data() + t.size();
    auto [ptr, ec] = std::from_chars(first, last, number);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    if (number < 1 || number > highestPhraseCount(m)) return std::nullopt;
    return encodeRef({t[0] == 'A' ? RefKind::A : RefKind::B, number}, m);
}

}  // namespace wqe
