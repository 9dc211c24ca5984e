// Memo file "WQE_MEMO.TXT": the editor's own text file with one free-text
// system memo and one single-line memo per phrase slot. Texts are kept as the
// bytes found in the file (CP932 on Japanese systems); lines end in CR LF on
// disk and in a line feed in memory.
//
// Lines may end in CR LF, LF or CR when read.
//
//   SystemMemo:
//   <system memo lines>
//   PhraseMemo:
//   0001:<memo of index 0>      (WQ-7000: 1000 lines "%04d:%s")
//   001:<memo of index 0>       (WQ-5000: 500 lines "%03d:%s")
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/FileSystem.h"
#include "card/CWQEData.h"

namespace wqe {

class CWQEMemo : public CWQEData {
public:
    void clear();

    // Parses a memo file's bytes. Either prefix width is accepted, whatever
    // the model; phrase lines beyond those present keep their memos. Returns
    // false when the layout is not the one above (no "SystemMemo:" or
    // "PhraseMemo:" line, a phrase line without its number, lines beyond the
    // last slot): what could be read is kept, but rewriting the file would
    // lose the rest.
    bool parse(std::string_view bytes);
    // Reads and parses a file; the value is parse()'s.
    Result<bool> load(FileSystem& fs, const fs::path& path);
    // The file's bytes for the record's model.
    std::string serialize() const;
    // As serialize, for a card that had no memo file: the system memo part is
    // the (empty) system memo followed by one line feed.
    std::string serializeFresh() const;

    // Earlier file forms. They return an empty string on success, else a
    // message naming the file. Read fails only when the file cannot be read; Write and
    // Create replace the file safely and fail when it cannot be written.
    std::string read(const std::string& path);
    std::string write(const std::string& path) const;
    std::string create(const std::string& path);

    const std::string& systemMemo() const { return systemMemo_; }
    void setSystemMemo(std::string memo) { systemMemo_ = std::move(memo); }
    // Index 0..999; other indexes read as empty and are not stored.
    const std::string& phraseMemo(int i) const;
    void setPhraseMemo(int i, std::string memo);

private:
    std::string serializeWith(std::string_view systemPart) const;

    std::string systemMemo_;
    std::array<std::string, kMemoSlots> phraseMemos_;
};

}  // namespace wqe
