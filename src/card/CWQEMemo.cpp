#include "card/CWQEMemo.h"

#include <cstdio>

#include "card/FileIO.h"

namespace wqe {

namespace {

const std::string kEmpty;

// Splits the next line off `rest`, without its end: CR LF, LF or a lone CR
// (files edited on other systems); false at the end.
bool nextLine(std::string_view& rest, std::string_view& line) {
    if (rest.empty()) return false;
    const std::size_t end = rest.find_first_of("\r\n");
    line = rest.substr(0, end);
    if (end == std::string_view::npos) {
        rest = {};
    } else {
        const bool crLf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
        rest = rest.substr(end + (crLf ? 2 : 1));
    }
    return true;
}

// "0001:" or "001:" at the start of a phrase line of the given prefix width.
bool hasNumberPrefix(std::string_view line, std::size_t prefix) {
    if (line.size() < prefix || line[prefix - 1] != ':') return false;
    for (std::size_t i = 0; i + 1 < prefix; ++i)
        if (line[i] < '0' || line[i] > '9') return false;
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

bool CWQEMemo::parse(std::string_view bytes) {
    std::string_view rest = bytes, line;
    if (!nextLine(rest, line)) return true;  // an empty file holds nothing to lose
    bool understood = line == "SystemMemo:";
    systemMemo_.clear();
    bool phrasePart = false;
    while (nextLine(rest, line)) {
        if (line == "PhraseMemo:") {
            phrasePart = true;
            break;
        }
        systemMemo_ += line;
        systemMemo_ += '\n';
    }
    understood = understood && phrasePart;
    std::size_t prefix = 4;
    int i = 0;
    for (; i < kMemoSlots && nextLine(rest, line); ++i) {
        if (i == 0) prefix = line.starts_with("000") ? 5 : 4;
        understood = understood && hasNumberPrefix(line, prefix);
        phraseMemos_[static_cast<std::size_t>(i)] =
            line.size() > prefix ? std::string(line.substr(prefix)) : "";
    }
    // Lines beyond the last slot would be lost by a rewrite.
    while (nextLine(rest, line)) understood = understood && line.empty() && rest.empty();
    return understood;
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
        for (char c : phraseMemos_[static_cast<std::size_t>(i)])
            text += (c == '\n' || c == '\r') ? ' ' : c;
        text += '\n';
    }
    return toCrLf(text);
}

std::string CWQEMemo::serialize() const { return serializeWith(systemMemo_); }

std::string CWQEMemo::serializeFresh() const { return serializeWith(systemMemo_ + "\n"); }

Result<bool> CWQEMemo::load(FileSystem& fsys, const fs::path& path) {
    auto bytes = fsys.readAll(path);
    if (!bytes) return bytes.error();
    return parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

std::string CWQEMemo::read(const std::string& path) {
    auto understood = load(realFileSystem(), path);
    return understood ? std::string() : understood.error().message();
}

std::string CWQEMemo::write(const std::string& path) const {
    const Status s = writeFileAtomic(realFileSystem(), path, serialize());
    return s ? std::string() : s.error().message();
}

std::string CWQEMemo::create(const std::string& path) {
    const Status s = writeFileAtomic(realFileSystem(), path, serializeFresh());
    return s ? std::string() : s.error().message();
}

}  // namespace wqe
