#include "card/CWQEMemo.h"

#include <cstdio>

#include "card/FileIO.h"

namespace wqe {

namespace {

const std::string kEmpty;

// Splits the next line off `rest` (without its LF and a CR before it); false at the end.
bool nextLine(std::string_view& rest, std::string_view& line) {
    if (rest.empty()) return false;
    const std::size_t lf = rest.find('\n');
    line = rest.substr(0, lf);
    rest = lf == std::string_view::npos ? std::string_view{} : rest.substr(lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

// Memory form (LF) to disk form (CR LF).
std::string toCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

void CWQEMemo::clear() {
    systemMemo_.clear();
    for (auto& m : phraseMemos_) m.clear();
}

const std::string& CWQEMemo::phraseMemo(int i) const {
    return (i >= 0 && i < kMemoSlots) ? phraseMemos_[static_cast<std::size_t>(i)] : kEmpty;
}

void CWQEMemo::setPhraseMemo(int i, std::string memo) {
    if (i >= 0 && i < kMemoSlots) phraseMemos_[static_cast<std::size_t>(i)] = std::move(memo);
}

void CWQEMemo::parse(std::string_view bytes) {
    std::string_view rest = bytes, line;
    if (!nextLine(rest, line)) return;  // the "SystemMemo:" line
    systemMemo_.clear();
    while (nextLine(rest, line) && line != "PhraseMemo:") {
        systemMemo_ += line;
        systemMemo_ += '\n';
    }
    std::size_t prefix = 4;
    for (int i = 0; i < kMemoSlots && nextLine(rest, line); ++i) {
        if (i == 0) prefix = line.starts_with("000") ? 5 : 4;
        phraseMemos_[static_cast<std::size_t>(i)] = line.size() > prefix ? std::string(line.substr(prefix)) : "";
    }
}

std::string CWQEMemo::serializeWith(std::string_view systemPart) const {
    const bool w7 = model() == Model::WQ7000;
    const int slots = w7 ? kHighestPhraseCount7000 : kHighestPhraseCount5000;
    std::string text = "SystemMemo:\n";
    text += systemPart;
    // A system memo whose last line lacks its line feed would swallow the
    // "PhraseMemo:" line and with it every phrase memo on the next read.
    if (!systemPart.empty() && systemPart.back() != '\n') text += '\n';
    text += "PhraseMemo:\n";
    char number[16];
    for (int i = 0; i < slots; ++i) {
        std::snprintf(number, sizeof number, w7 ? "%04d:" : "%03d:", i + 1);
        text += number;
        // A phrase memo is one line: a line break inside it would shift every
        // later memo by one line.
        for (char c : phraseMemos_[static_cast<std::size_t>(i)]) text += (c == '\n' || c == '\r') ? ' ' : c;
        text += '\n';
    }
    return toCrLf(text);
}

std::string CWQEMemo::serialize() const { return serializeWith(systemMemo_); }

std::string CWQEMemo::serializeFresh() const { return serializeWith(systemMemo_ + "\n"); }

std::string CWQEMemo::read(const std::string& path) {
    std::string error;
    auto bytes = readWholeFile(path, error);
    if (!bytes) return error;
    parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    return {};
}

std::string CWQEMemo::write(const std::string& path) const { return writeFileAtomic(path, serialize()); }

std::string CWQEMemo::create(const std::string& path) { return writeFileAtomic(path, serializeFresh()); }

}  // namespace wqe
